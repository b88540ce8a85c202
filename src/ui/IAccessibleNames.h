#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <memory>

// Names and roles given to controls for assistive tools, where the control
// itself cannot say them: a box whose label is a check box beside it, a
// picture that only decorates. The tools' standard objects for the control
// report them in place of their own guess.
class IAccessibleNames {
public:
    virtual ~IAccessibleNames() = default;

    virtual void Name(HWND control, const wchar_t* name) = 0;
    // One of the ROLE_SYSTEM_ values.
    virtual void Role(HWND control, long role) = 0;

    // A box named after the label of its line (a check box beside it); a
    // second box that takes the same thing again gets that name and
    // " (confirm)", so the two can be told apart.
    void NameByLabel(HWND dialog, int labelId, int boxId, int confirmationId = 0);
    // Each control a picture that only decorates.
    void MarkAsGraphics(HWND dialog, std::initializer_list<int> ids);
};

// Where a window gets its names from; tests give one that records.
using AccessibleNamesFactory = std::function<std::unique_ptr<IAccessibleNames>()>;
