#include "CPatternMatcher.h"

#include <windows.h>

#include <pcre.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

namespace {
std::string ToUtf8(const wchar_t* text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return {};
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
    utf8.resize(static_cast<size_t>(size) - 1);
    return utf8;
}
}

size_t CPatternMatcher::Match(const char* subject, const char* pattern, char* out,
                              size_t outCapacity)
{
    if (out && outCapacity > 0)
        out[0] = '\0';
    const char* error = nullptr;
    int errorOffset = 0;
    pcre* compiled = pcre_compile(pattern, PCRE_CASELESS | PCRE_MULTILINE, &error, &errorOffset,
                                  nullptr);
    if (!compiled)
        return 0;
    const int pairs = pcre_exec(compiled, nullptr, subject, static_cast<int>(strlen(subject)), 0, 0,
                                m_offsets, static_cast<int>(std::size(m_offsets)));
    pcre_free(compiled);
    if (pairs <= 0)
        return 0;

    const int start = m_offsets[2 * (pairs - 1)];
    const int end = m_offsets[2 * (pairs - 1) + 1];
    if (start < 0 || end < start)
        return 0;  // the last group took no part in the match
    size_t length = static_cast<size_t>(end - start);
    // Bounded twice: by the matcher's own buffer and by the caller's.
    length = std::min(length, kTextCapacity - 1);
    memcpy(m_text, subject + start, length);
    m_text[length] = '\0';
    if (out && outCapacity > 0) {
        length = std::min(length, outCapacity - 1);
        memcpy(out, m_text, length);
        out[length] = '\0';
    }
    return length;
}

size_t CPatternMatcher::MatchWide(const wchar_t* subject, const wchar_t* pattern, wchar_t* out,
                                  size_t outCapacity)
{
    if (out && outCapacity > 0)
        out[0] = L'\0';
    const std::string subject8 = ToUtf8(subject);
    const std::string pattern8 = ToUtf8(pattern);
    if (pattern8.empty())
        return 0;
    char extract[kTextCapacity];
    const size_t length = Match(subject8.c_str(), pattern8.c_str(), extract, sizeof(extract));
    if (length == 0 || !out || outCapacity == 0)
        return 0;
    // A cut in the middle of a UTF-8 sequence loses that character, nothing more.
    const int written = MultiByteToWideChar(CP_UTF8, 0, extract, static_cast<int>(length), out,
                                            static_cast<int>(outCapacity - 1));
    out[written > 0 ? written : 0] = L'\0';
    return written > 0 ? length : 0;
}
