#pragma once

#include <windows.h>

// A bitmap handle. The managed form deletes its bitmap when it goes; the
// handle form only borrows one.
template <bool t_bManaged>
class CBitmapT {
public:
    HBITMAP m_hBitmap = nullptr;

    CBitmapT() = default;
    explicit CBitmapT(HBITMAP bitmap) : m_hBitmap(bitmap) {}
    ~CBitmapT()
    {
        if (t_bManaged)
            DeleteObject();
    }

    // Two owners of one bitmap would delete it twice.
    CBitmapT(const CBitmapT& other) requires(!t_bManaged) : m_hBitmap(other.m_hBitmap) {}
    CBitmapT(const CBitmapT&) requires(t_bManaged) = delete;
    CBitmapT& operator=(const CBitmapT& other) requires(!t_bManaged)
    {
        m_hBitmap = other.m_hBitmap;
        return *this;
    }
    CBitmapT& operator=(const CBitmapT&) requires(t_bManaged) = delete;
    CBitmapT(CBitmapT&& other) noexcept : m_hBitmap(other.Detach()) {}
    CBitmapT& operator=(CBitmapT&& other) noexcept
    {
        if (this != &other)
            Attach(other.Detach());
        return *this;
    }

    operator HBITMAP() const { return m_hBitmap; }
    bool IsNull() const { return m_hBitmap == nullptr; }

    // The managed form lets go of the bitmap it held before.
    void Attach(HBITMAP bitmap)
    {
        if (t_bManaged && m_hBitmap && m_hBitmap != bitmap)
            ::DeleteObject(m_hBitmap);
        m_hBitmap = bitmap;
    }

    HBITMAP Detach()
    {
        HBITMAP bitmap = m_hBitmap;
        m_hBitmap = nullptr;
        return bitmap;
    }

    HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height)
    {
        Attach(::CreateCompatibleBitmap(dc, width, height));
        return m_hBitmap;
    }

    BOOL DeleteObject()
    {
        if (!m_hBitmap)
            return FALSE;
        const BOOL deleted = ::DeleteObject(m_hBitmap);
        m_hBitmap = nullptr;
        return deleted;
    }

    // False, and the size left alone, when there is no bitmap to ask.
    bool GetSize(SIZE& size) const
    {
        BITMAP info{};
        if (!m_hBitmap || ::GetObjectW(m_hBitmap, sizeof(info), &info) != sizeof(info))
            return false;
        size.cx = info.bmWidth;
        size.cy = info.bmHeight;
        return true;
    }
};

using CBitmap = CBitmapT<true>;
using CBitmapHandle = CBitmapT<false>;
