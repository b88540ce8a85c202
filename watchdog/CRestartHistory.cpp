#include "CRestartHistory.h"

namespace {
constexpr int kMaxDigits = 20;  // a 64-bit tick count
}

void CRestartHistory::Parse(const wchar_t* text)
{
    m_count = 0;
    if (!text)
        return;
    DWORD count = 0;
    ULONGLONG ticks[kMaxRestarts] = {};
    const wchar_t* ch = text;
    while (*ch) {
        while (*ch == L' ')
            ++ch;
        if (!*ch)
            break;
        if (count == kMaxRestarts)
            return;  // more than any watchdog writes: not ours
        ULONGLONG value = 0;
        int digits = 0;
        for (; *ch >= L'0' && *ch <= L'9'; ++ch) {
            if (++digits > kMaxDigits || value > (~0ull - 9) / 10)
                return;
            value = value * 10 + static_cast<ULONGLONG>(*ch - L'0');
        }
        if (digits == 0 || (*ch && *ch != L' '))
            return;
        ticks[count++] = value;
    }
    for (DWORD i = 0; i < count; ++i)
        m_ticks[i] = ticks[i];
    m_count = count;
}

void CRestartHistory::DropOlderThan(ULONGLONG now)
{
    DWORD kept = 0;
    for (DWORD i = 0; i < m_count; ++i) {
        // A tick from the future is no restart of this boot's.
        if (m_ticks[i] <= now && now - m_ticks[i] < kWindowMs)
            m_ticks[kept++] = m_ticks[i];
    }
    m_count = kept;
}

bool CRestartHistory::Allows(ULONGLONG now) const
{
    CRestartHistory recent = *this;
    recent.DropOlderThan(now);
    return recent.m_count < kMaxRestarts;
}

void CRestartHistory::Record(ULONGLONG now)
{
    DropOlderThan(now);
    if (m_count == kMaxRestarts) {
        for (DWORD i = 1; i < m_count; ++i)
            m_ticks[i - 1] = m_ticks[i];
        --m_count;
    }
    m_ticks[m_count++] = now;
}

bool CRestartHistory::Format(wchar_t* text, DWORD capacity) const
{
    if (capacity == 0)
        return false;
    DWORD length = 0;
    for (DWORD i = 0; i < m_count; ++i) {
        wchar_t digits[kMaxDigits];
        int n = 0;
        ULONGLONG value = m_ticks[i];
        do {
            digits[n++] = static_cast<wchar_t>(L'0' + value % 10);
            value /= 10;
        } while (value && n < kMaxDigits);
        // The blank, the digits and the closing zero must all fit.
        if (length + (i ? 1 : 0) + static_cast<DWORD>(n) + 1 > capacity) {
            text[0] = L'\0';
            return false;
        }
        if (i)
            text[length++] = L' ';
        while (n)
            text[length++] = digits[--n];
    }
    text[length] = L'\0';
    return true;
}
