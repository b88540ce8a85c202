#pragma once

#include <cstddef>

// Picks a piece out of a text with a regular expression (PCRE, case-blind,
// multi-line): the last group the match captured, or the whole match when the
// pattern has no group. One instance must not be used by two threads at once.
class CPatternMatcher {
public:
    static constexpr size_t kTextCapacity = 264;

    // Returns the length in bytes of the extracted text, 0 when nothing
    // matched. out always ends up terminated; an extract longer than out (or
    // than the matcher's own 264-byte buffer) is cut to fit.
    size_t Match(const char* subject, const char* pattern, char* out, size_t outCapacity);
    // The same for wide texts, matched in their UTF-8 form; the length
    // returned is that of the extract in UTF-8. A cut never parts a
    // character: what would be left of it is dropped.
    size_t MatchWide(const wchar_t* subject, const wchar_t* pattern, wchar_t* out,
                     size_t outCapacity);

private:
    int m_offsets[60] = {};
    char m_text[kTextCapacity] = {};
};
