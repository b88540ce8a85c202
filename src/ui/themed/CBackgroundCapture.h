#pragma once

#include <windows.h>

// Makes a control look transparent: a pattern brush of exactly what the
// source window draws behind the control. Filling the control's client area
// with it (PatBlt, PATCOPY) shows the source's background through it.
class CBackgroundCapture {
public:
    // The caller owns the brush; nullptr when any step fails.
    static HBRUSH Capture(HWND control, HWND source);

    // Where the control's window rectangle lies in the source's client
    // coordinates.
    static RECT ControlRectInSource(HWND control, HWND source);
};
