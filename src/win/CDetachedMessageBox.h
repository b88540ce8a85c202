#pragma once

#include <windows.h>

#include <string>

// A message box that runs on a short-lived thread of its own, shown on the
// caller's desktop. A modal loop on a thread whose queue the program relies
// on (the switcher's) would take and drop its thread messages, a switch
// request or the stop message among them, for as long as the box is open.
class CDetachedMessageBox {
public:
    // Copies the texts and returns at once, before the box is closed. False
    // when the box's thread could not be started; nothing is shown then.
    static bool Show(const wchar_t* text, const wchar_t* caption, UINT type);
    // The same on the desktop of that name; on the caller's when it is null
    // or cannot be opened.
    static bool ShowOn(const wchar_t* desktopName, const wchar_t* text, const wchar_t* caption,
                       UINT type);

    ~CDetachedMessageBox();
    CDetachedMessageBox(const CDetachedMessageBox&) = delete;
    CDetachedMessageBox& operator=(const CDetachedMessageBox&) = delete;

private:
    CDetachedMessageBox(const wchar_t* text, const wchar_t* caption, UINT type, HDESK desktop);
    static bool Start(CDetachedMessageBox* box);
    static DWORD WINAPI ThreadProc(void* box);
    static HDESK CopyOfCallersDesktop();
    static HDESK OpenByName(const wchar_t* desktopName);
    void Run() const;

    std::wstring m_text;
    std::wstring m_caption;
    UINT m_type;
    HDESK m_desktop;
};
