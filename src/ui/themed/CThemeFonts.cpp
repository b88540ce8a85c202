#include "ui/themed/CThemeFonts.h"

namespace {

// The page text is a fixed 14-pixel character height whatever the system's
// message font size, so page layouts made in dialog units keep their look.
constexpr LONG kPageFontHeight = -14;
constexpr LONG kEnlargement = 2;
// NONCLIENTMETRICSW without, and with, iPaddedBorderWidth.
constexpr UINT kMetricsSizeBeforeVista = 500;
constexpr UINT kMetricsSize = 504;

using RtlGetVersionProc = LONG(WINAPI*)(OSVERSIONINFOW*);

}  // namespace

DWORD CThemeFonts::MajorSystemVersion()
{
    // GetVersionEx reports what the manifest claims support for; the kernel
    // tells the truth.
    OSVERSIONINFOW version{sizeof(version)};
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    FARPROC entry = ntdll ? GetProcAddress(ntdll, "RtlGetVersion") : nullptr;
    auto rtlGetVersion = reinterpret_cast<RtlGetVersionProc>(reinterpret_cast<void*>(entry));
    if (rtlGetVersion && rtlGetVersion(&version) == 0)
        return version.dwMajorVersion;
    // Every system accepts the older, shorter structure.
    return 5;
}

UINT CThemeFonts::NonClientMetricsSize(DWORD majorVersion)
{
    return majorVersion > 5 ? kMetricsSize : kMetricsSizeBeforeVista;
}

NONCLIENTMETRICSW CThemeFonts::ReadNonClientMetrics()
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = NonClientMetricsSize(MajorSystemVersion());
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
        metrics = NONCLIENTMETRICSW{};
    return metrics;
}

void CThemeFonts::Enlarge(LOGFONTW& font, CDpi dpi)
{
    const LONG enlargement = dpi.Scale(kEnlargement);
    font.lfHeight += font.lfHeight <= 0 ? -enlargement : enlargement;
}

HFONT CThemeFonts::CreateEnlarged(HFONT base, CDpi dpi)
{
    LOGFONTW font{};
    HGDIOBJ source = base ? static_cast<HGDIOBJ>(base) : GetStockObject(DEFAULT_GUI_FONT);
    if (GetObjectW(source, sizeof(font), &font) != sizeof(font))
        return nullptr;
    Enlarge(font, dpi);
    return CreateFontIndirectW(&font);
}

HFONT CThemeFonts::CreateEnlargedMenuFont(CDpi dpi)
{
    NONCLIENTMETRICSW metrics = ReadNonClientMetrics();
    if (!metrics.cbSize)
        return CreateEnlarged(nullptr, dpi);
    LOGFONTW& font = metrics.lfMenuFont;
    font.lfHeight = dpi.From(font.lfHeight, CDpi::OfSystem());
    Enlarge(font, dpi);
    return CreateFontIndirectW(&font);
}

HFONT CThemeFonts::CreatePageFont(CDpi dpi)
{
    NONCLIENTMETRICSW metrics = ReadNonClientMetrics();
    LOGFONTW font = metrics.lfMessageFont;
    if (!metrics.cbSize)
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    font.lfHeight = dpi.Scale(kPageFontHeight);
    return CreateFontIndirectW(&font);
}
