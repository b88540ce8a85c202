#pragma once

#include "win/IForegroundWindow.h"

// The system's own foreground window.
class CSystemForegroundWindow final : public IForegroundWindow {
public:
    static CSystemForegroundWindow& Instance();

    bool Bring(HWND window) override;
    HWND Current() const override;
    void Flash(HWND window) override;
};
