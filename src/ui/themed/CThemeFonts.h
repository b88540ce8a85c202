#pragma once

#include <windows.h>

// The fonts the themed windows draw their text in, all derived from the
// system's own. The caller owns every font made here.
class CThemeFonts {
public:
    // What SPI_GETNONCLIENTMETRICS reports; zeroed when it fails.
    static NONCLIENTMETRICSW ReadNonClientMetrics();

    // Moves the height 2 further from zero, whichever sign it has.
    static void Enlarge(LOGFONTW& font);

    // base nullptr: the default GUI font.
    static HFONT CreateEnlarged(HFONT base);
    static HFONT CreateEnlargedMenuFont();
    static HFONT CreatePageFont();

    // The structure size SPI_GETNONCLIENTMETRICS accepts: systems before
    // Vista reject the size that includes iPaddedBorderWidth.
    static UINT NonClientMetricsSize(DWORD majorVersion);

private:
    static DWORD MajorSystemVersion();
};
