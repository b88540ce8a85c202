#pragma once

#include <windows.h>

// A device context handle with the drawing calls the program makes. The
// managed form deletes a DC it created; the handle form only borrows one.
template <bool t_bManaged>
class CDCT {
public:
    HDC m_hDC = nullptr;

    CDCT() = default;
    explicit CDCT(HDC dc) : m_hDC(dc) {}
    ~CDCT()
    {
        if (t_bManaged)
            DeleteDC();
    }

    CDCT(const CDCT& other) requires(!t_bManaged) : m_hDC(other.m_hDC) {}
    CDCT(const CDCT&) requires(t_bManaged) = delete;
    CDCT& operator=(const CDCT& other) requires(!t_bManaged)
    {
        m_hDC = other.m_hDC;
        return *this;
    }
    CDCT& operator=(const CDCT&) requires(t_bManaged) = delete;
    CDCT(CDCT&& other) noexcept : m_hDC(other.Detach()) {}
    CDCT& operator=(CDCT&& other) noexcept
    {
        if (this != &other)
            Attach(other.Detach());
        return *this;
    }

    operator HDC() const { return m_hDC; }
    bool IsNull() const { return m_hDC == nullptr; }

    void Attach(HDC dc)
    {
        if (t_bManaged && m_hDC && m_hDC != dc)
            ::DeleteDC(m_hDC);
        m_hDC = dc;
    }

    HDC Detach()
    {
        HDC dc = m_hDC;
        m_hDC = nullptr;
        return dc;
    }

    HDC CreateCompatibleDC(HDC reference = nullptr)
    {
        Attach(::CreateCompatibleDC(reference));
        return m_hDC;
    }

    BOOL DeleteDC()
    {
        if (!m_hDC)
            return FALSE;
        const BOOL deleted = ::DeleteDC(m_hDC);
        m_hDC = nullptr;
        return deleted;
    }

    HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }

    BOOL PatBlt(int x, int y, int width, int height, DWORD rop = PATCOPY)
    {
        return ::PatBlt(m_hDC, x, y, width, height, rop);
    }

    BOOL BitBlt(int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                DWORD rop = SRCCOPY)
    {
        return ::BitBlt(m_hDC, x, y, width, height, source, sourceX, sourceY, rop);
    }

    BOOL StretchBlt(int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                    int sourceWidth, int sourceHeight, DWORD rop = SRCCOPY)
    {
        return ::StretchBlt(m_hDC, x, y, width, height, source, sourceX, sourceY, sourceWidth,
                            sourceHeight, rop);
    }

    // Blends a source with pre-multiplied per-pixel alpha over this DC, the
    // whole source further weighted by the constant alpha. An empty
    // rectangle on either side draws nothing: AlphaBlend would fail on it.
    BOOL AlphaBlend(int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                    int sourceWidth, int sourceHeight, BYTE constantAlpha)
    {
        if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0)
            return FALSE;
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, constantAlpha, AC_SRC_ALPHA};
        return ::AlphaBlend(m_hDC, x, y, width, height, source, sourceX, sourceY, sourceWidth,
                            sourceHeight, blend);
    }

    int FillRect(const RECT& rect, HBRUSH brush) { return ::FillRect(m_hDC, &rect, brush); }

    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    COLORREF SetTextColor(COLORREF colour) { return ::SetTextColor(m_hDC, colour); }
    COLORREF SetBkColor(COLORREF colour) { return ::SetBkColor(m_hDC, colour); }

    // A count of -1 takes the text up to its terminating zero.
    int DrawText(const wchar_t* text, int count, RECT* rect, UINT format)
    {
        return ::DrawTextW(m_hDC, text, count, rect, format);
    }

    BOOL ExtTextOut(int x, int y, UINT options, const RECT* rect, const wchar_t* text,
                    UINT count, const INT* spacing = nullptr)
    {
        return ::ExtTextOutW(m_hDC, x, y, options, rect, text, count, spacing);
    }

    BOOL GetTextExtent(const wchar_t* text, int count, SIZE* size) const
    {
        return ::GetTextExtentPoint32W(m_hDC, text, count, size);
    }

    BOOL GetTextMetrics(TEXTMETRICW* metrics) const { return ::GetTextMetricsW(m_hDC, metrics); }

    // In device units: where pixel (0, 0) of a pattern brush lands.
    BOOL SetBrushOrg(int x, int y, POINT* old = nullptr)
    {
        return ::SetBrushOrgEx(m_hDC, x, y, old);
    }

    BOOL LPtoDP(POINT* points, int count = 1) const { return ::LPtoDP(m_hDC, points, count); }

    BOOL SetViewportOrg(int x, int y, POINT* old = nullptr)
    {
        return ::SetViewportOrgEx(m_hDC, x, y, old);
    }

    // Top to bottom, from the first colour to the second.
    BOOL GradientFillVertical(const RECT& rect, COLORREF top, COLORREF bottom)
    {
        if (rect.right <= rect.left || rect.bottom <= rect.top)
            return FALSE;
        TRIVERTEX corners[2] = {Vertex(rect.left, rect.top, top),
                                Vertex(rect.right, rect.bottom, bottom)};
        GRADIENT_RECT span{0, 1};
        return ::GradientFill(m_hDC, corners, 2, &span, 1, GRADIENT_FILL_RECT_V);
    }

    BOOL Polygon(const POINT* points, int count) { return ::Polygon(m_hDC, points, count); }

private:
    static TRIVERTEX Vertex(LONG x, LONG y, COLORREF colour)
    {
        // TRIVERTEX takes 16 bits a channel; the byte goes in the high half.
        return TRIVERTEX{x, y, static_cast<COLOR16>(GetRValue(colour) << 8),
                         static_cast<COLOR16>(GetGValue(colour) << 8),
                         static_cast<COLOR16>(GetBValue(colour) << 8), 0};
    }
};

using CDC = CDCT<true>;
using CDCHandle = CDCT<false>;
