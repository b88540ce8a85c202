#include "base/CPatternMatcher.h"

#include <windows.h>

#include <pcre.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
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

// The length of text without a last character that a cut left unfinished.
size_t WholeCharacters(const char* text, size_t length)
{
    const auto isContinuation = [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
    };
    size_t lead = length;
    // A character has at most three continuation bytes.
    while (lead > 0 && length - lead < 3 && isContinuation(text[lead - 1]))
        --lead;
    if (lead == 0)
        return length;
    const unsigned char first = static_cast<unsigned char>(text[lead - 1]);
    const size_t needed = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
    return length - (lead - 1) < needed ? lead - 1 : length;
}

// How many of the first count units of text can be handed on without
// parting a surrogate pair.
size_t WholeUnits(const wchar_t* text, size_t count, size_t available)
{
    if (count < available && count > 0 && IS_HIGH_SURROGATE(text[count - 1]))
        return count - 1;
    return count;
}
}

size_t CPatternMatcher::Match(const char* subject, const char* pattern, char* out,
                              size_t outCapacity)
{
    if (out && outCapacity > 0)
        out[0] = '\0';
    if (!subject || !pattern)
        return 0;
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
    size_t length = Match(subject8.c_str(), pattern8.c_str(), extract, sizeof(extract));
    length = WholeCharacters(extract, length);
    if (length == 0 || !out || outCapacity == 0)
        return 0;
    // Converted whole first: asked to fill a buffer too small for all of it,
    // MultiByteToWideChar fails and gives nothing rather than what fits. The
    // 263 bytes of an extract never make more than 263 UTF-16 units.
    wchar_t wide[kTextCapacity];
    const int converted = MultiByteToWideChar(CP_UTF8, 0, extract, static_cast<int>(length), wide,
                                              static_cast<int>(kTextCapacity - 1));
    if (converted <= 0)
        return 0;
    const size_t available = static_cast<size_t>(converted);
    const size_t count = WholeUnits(wide, std::min(available, outCapacity - 1), available);
    wmemcpy(out, wide, count);
    out[count] = L'\0';
    if (count == available)
        return length;
    const int cutLength = WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(count), nullptr, 0,
                                              nullptr, nullptr);
    return cutLength > 0 ? static_cast<size_t>(cutLength) : 0;
}
