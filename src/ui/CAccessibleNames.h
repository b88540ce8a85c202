#pragma once

#include <windows.h>
#include <oleacc.h>

#include <string>
#include <vector>

#include "ui/IAccessibleNames.h"

// Dynamic Annotation (IAccPropServices) for the controls of one window: what
// it gives stays with each control, where every tool's standard object finds
// it, until this object goes and takes it back. It starts COM on its thread
// for as long as it lives, if the thread has none yet. Without the service
// (a system without it, COM refusing) the controls keep the names the tools
// find themselves, and nothing else changes.
class CAccessibleNames : public IAccessibleNames {
public:
    CAccessibleNames();
    ~CAccessibleNames() override;
    CAccessibleNames(const CAccessibleNames&) = delete;
    CAccessibleNames& operator=(const CAccessibleNames&) = delete;

    void Name(HWND control, const wchar_t* name) override;
    void Role(HWND control, long role) override;

    bool HasService() const { return m_services != nullptr; }

    // The factory windows use unless told otherwise.
    static std::unique_ptr<IAccessibleNames> Make();

    // What a box is called after the check box of its line: that label
    // as it shows, without the colon that leads to the box: "Open Specified
    // File:" gives "Open Specified File", "Left && Right" "Left & Right".
    static std::wstring NameOfLine(const wchar_t* label);
    // The second of two boxes that take the same thing twice.
    static std::wstring ConfirmationOf(const std::wstring& name);

private:
    void Remember(HWND control);

    IAccPropServices* m_services = nullptr;
    bool m_startedCom = false;
    std::vector<HWND> m_annotated;
};
