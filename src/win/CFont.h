#pragma once

#include <windows.h>

// A font handle; the managed form deletes its font when it goes.
template <bool t_bManaged>
class CFontT {
public:
    HFONT m_hFont = nullptr;

    CFontT() = default;
    explicit CFontT(HFONT font) : m_hFont(font) {}
    ~CFontT()
    {
        if (t_bManaged)
            DeleteObject();
    }

    CFontT(const CFontT& other) requires(!t_bManaged) : m_hFont(other.m_hFont) {}
    CFontT(const CFontT&) requires(t_bManaged) = delete;
    CFontT& operator=(const CFontT& other) requires(!t_bManaged)
    {
        m_hFont = other.m_hFont;
        return *this;
    }
    CFontT& operator=(const CFontT&) requires(t_bManaged) = delete;
    CFontT(CFontT&& other) noexcept : m_hFont(other.Detach()) {}
    CFontT& operator=(CFontT&& other) noexcept
    {
        if (this != &other)
            Attach(other.Detach());
        return *this;
    }

    operator HFONT() const { return m_hFont; }
    bool IsNull() const { return m_hFont == nullptr; }

    void Attach(HFONT font)
    {
        if (t_bManaged && m_hFont && m_hFont != font)
            ::DeleteObject(m_hFont);
        m_hFont = font;
    }

    HFONT Detach()
    {
        HFONT font = m_hFont;
        m_hFont = nullptr;
        return font;
    }

    HFONT CreateFontIndirect(const LOGFONTW* logFont)
    {
        Attach(logFont ? ::CreateFontIndirectW(logFont) : nullptr);
        return m_hFont;
    }

    // False, and the structure left alone, when there is no font to ask.
    bool GetLogFont(LOGFONTW& logFont) const
    {
        LOGFONTW read{};
        if (!m_hFont || ::GetObjectW(m_hFont, sizeof(read), &read) != sizeof(read))
            return false;
        logFont = read;
        return true;
    }

    BOOL DeleteObject()
    {
        if (!m_hFont)
            return FALSE;
        const BOOL deleted = ::DeleteObject(m_hFont);
        m_hFont = nullptr;
        return deleted;
    }
};

using CFont = CFontT<true>;
using CFontHandle = CFontT<false>;
