#pragma once

#include <windows.h>

#include "win/CWindow.h"

// A static control: a label or a picture.
class CStatic : public CWindow {
public:
    CStatic() = default;
    explicit CStatic(HWND hwnd) : CWindow(hwnd) {}

    static constexpr const wchar_t* GetWndClassName() { return L"Static"; }
};
