#pragma once

#include <cstddef>

// Writes texts and numbers one after another into a caller's buffer, which
// stays terminated after every step. What does not fit is cut, and the cut
// is remembered, so that a caller for whom a cut text would name something
// else (a path, a request) can refuse it. The few texts Quillow composes need
// nothing more than this, and the C runtime's printf would bring its whole
// formatting engine, floating point included, into the program.
template <class Char>
class CTextWriterT {
public:
    CTextWriterT(Char* out, size_t capacity) : m_out(out), m_capacity(capacity)
    {
        if (m_capacity > 0)
            m_out[0] = Char(0);
        else
            m_cut = true;
    }

    CTextWriterT& Text(const Char* text)
    {
        for (; text && *text; ++text)
            Put(*text);
        return *this;
    }

    CTextWriterT& Letter(Char letter)
    {
        Put(letter);
        return *this;
    }

    CTextWriterT& Number(unsigned long long value)
    {
        Char digits[20];
        int count = 0;
        do {
            digits[count++] = static_cast<Char>('0' + value % 10);
            value /= 10;
        } while (value != 0);
        while (count > 0)
            Put(digits[--count]);
        return *this;
    }

    // Everything written fitted.
    bool Whole() const { return !m_cut; }
    size_t Length() const { return m_length; }

private:
    void Put(Char letter)
    {
        if (m_cut || m_length + 1 >= m_capacity) {
            m_cut = true;
            return;
        }
        m_out[m_length++] = letter;
        m_out[m_length] = Char(0);
    }

    Char* m_out;
    size_t m_capacity;
    size_t m_length = 0;
    bool m_cut = false;
};

using CTextWriter = CTextWriterT<wchar_t>;
using CTextWriterA = CTextWriterT<char>;
