#pragma once

#include <windows.h>

#include "win/CBitmap.h"

// A picture stretched, whole, over a window's whole client area: the frame's
// gradient and the dialogs' backgrounds.
class CBackgroundImage {
public:
    // An image that cannot be loaded leaves the window to its default erase.
    bool Load(UINT pngId);
    bool IsLoaded() const { return !m_image.IsNull(); }
    // False when there is no image, so that the caller lets the system erase.
    bool Paint(HDC target, const RECT& client) const;

private:
    CBitmap m_image;
};
