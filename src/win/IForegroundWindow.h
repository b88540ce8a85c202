#pragma once

#include <windows.h>

// The foreground window, as the password prompt asks for it. Windows grants
// the foreground only to the process that saw the last input, or to one it
// allowed. The prompt must see when it was refused, and Wine never refuses,
// so the calls stand behind this for tests to fake.
class IForegroundWindow {
public:
    // True when the window was brought to the foreground.
    virtual bool Bring(HWND window) = 0;
    virtual HWND Current() const = 0;
    // Flashes the window until the user brings it to the foreground.
    virtual void Flash(HWND window) = 0;

protected:
    ~IForegroundWindow() = default;
};
