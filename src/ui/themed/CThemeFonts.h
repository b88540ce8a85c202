#pragma once

#include <windows.h>

#include "win/CDpi.h"

// The fonts the themed windows draw their text in, all derived from the
// system's own, at the DPI of the window they are for. The caller owns every
// font made here.
class CThemeFonts {
public:
    // What SPI_GETNONCLIENTMETRICS reports; zeroed when it fails.
    static NONCLIENTMETRICSW ReadNonClientMetrics();

    // Moves the height 2 pixels at 96 DPI further from zero, whichever sign
    // it has.
    static void Enlarge(LOGFONTW& font, CDpi dpi = CDpi());

    // base nullptr: the default GUI font. base is already at dpi.
    static HFONT CreateEnlarged(HFONT base, CDpi dpi = CDpi());
    // The system's metrics are at the system DPI; these are brought to dpi.
    static HFONT CreateEnlargedMenuFont(CDpi dpi = CDpi::OfSystem());
    static HFONT CreatePageFont(CDpi dpi = CDpi());

    // The structure size SPI_GETNONCLIENTMETRICS accepts: systems before
    // Vista reject the size that includes iPaddedBorderWidth.
    static UINT NonClientMetricsSize(DWORD majorVersion);

private:
    static DWORD MajorSystemVersion();
};
