#pragma once

#include <cwchar>

// A text in a fixed-size buffer, always terminated. Assigning a longer text
// keeps its first N-1 characters: nothing is ever written past the buffer.
template <size_t N>
class CFixedText {
public:
    static constexpr size_t kCapacity = N;

    CFixedText() = default;
    explicit CFixedText(const wchar_t* text) { Assign(text); }

    void Assign(const wchar_t* text)
    {
        size_t length = 0;
        if (text) {
            while (length < N - 1 && text[length] != L'\0') {
                m_text[length] = text[length];
                ++length;
            }
        }
        m_text[length] = L'\0';
    }

    const wchar_t* c_str() const { return m_text; }
    bool empty() const { return m_text[0] == L'\0'; }
    size_t length() const { return wcslen(m_text); }
    bool operator==(const wchar_t* other) const { return other && wcscmp(m_text, other) == 0; }

private:
    wchar_t m_text[N] = {};
};
