#pragma once

#include <windows.h>

// A brush handle; the managed form deletes its brush when it goes.
template <bool t_bManaged>
class CBrushT {
public:
    HBRUSH m_hBrush = nullptr;

    CBrushT() = default;
    explicit CBrushT(HBRUSH brush) : m_hBrush(brush) {}
    ~CBrushT()
    {
        if (t_bManaged)
            DeleteObject();
    }

    CBrushT(const CBrushT& other) requires(!t_bManaged) : m_hBrush(other.m_hBrush) {}
    CBrushT(const CBrushT&) requires(t_bManaged) = delete;
    CBrushT& operator=(const CBrushT& other) requires(!t_bManaged)
    {
        m_hBrush = other.m_hBrush;
        return *this;
    }
    CBrushT& operator=(const CBrushT&) requires(t_bManaged) = delete;
    CBrushT(CBrushT&& other) noexcept : m_hBrush(other.Detach()) {}
    CBrushT& operator=(CBrushT&& other) noexcept
    {
        if (this != &other)
            Attach(other.Detach());
        return *this;
    }

    operator HBRUSH() const { return m_hBrush; }
    bool IsNull() const { return m_hBrush == nullptr; }

    void Attach(HBRUSH brush)
    {
        if (t_bManaged && m_hBrush && m_hBrush != brush)
            ::DeleteObject(m_hBrush);
        m_hBrush = brush;
    }

    HBRUSH Detach()
    {
        HBRUSH brush = m_hBrush;
        m_hBrush = nullptr;
        return brush;
    }

    HBRUSH CreateSolidBrush(COLORREF colour)
    {
        Attach(::CreateSolidBrush(colour));
        return m_hBrush;
    }

    // The brush copies the bitmap, so the caller may delete it afterwards.
    HBRUSH CreatePatternBrush(HBITMAP bitmap)
    {
        Attach(bitmap ? ::CreatePatternBrush(bitmap) : nullptr);
        return m_hBrush;
    }

    BOOL DeleteObject()
    {
        if (!m_hBrush)
            return FALSE;
        const BOOL deleted = ::DeleteObject(m_hBrush);
        m_hBrush = nullptr;
        return deleted;
    }
};

using CBrush = CBrushT<true>;
using CBrushHandle = CBrushT<false>;
