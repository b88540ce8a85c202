#pragma once

#include <windows.h>

// Selects an object into a DC for one scope and puts the old one back, so no
// early return leaves a bitmap or font selected (and thus undeletable).
class CScopedSelect {
public:
    CScopedSelect(HDC dc, HGDIOBJ object)
        : m_dc(dc), m_old(dc && object ? ::SelectObject(dc, object) : nullptr)
    {
    }
    ~CScopedSelect()
    {
        if (m_old && m_old != HGDI_ERROR)
            ::SelectObject(m_dc, m_old);
    }
    CScopedSelect(const CScopedSelect&) = delete;
    CScopedSelect& operator=(const CScopedSelect&) = delete;

    // False when the object could not be selected (none given, or a bitmap
    // that is already selected elsewhere).
    bool Selected() const { return m_old && m_old != HGDI_ERROR; }

private:
    HDC m_dc;
    HGDIOBJ m_old;
};
