#pragma once

#include <windows.h>

#include <cstddef>

#include "base/CPatternMatcher.h"

// Reads the items out of what the maker's server sent back. Nothing here
// touches the network, the registry or a window: the reply is outside input
// and this is where it is taken apart, so the same code is fuzzed natively.
class CUpdateReply {
public:
    static constexpr DWORD kMissingRevision = 0;
    static constexpr DWORD kMissingRequiredMinimum = 0x9999;
    // The stored revision only ever grows, so one absurd number would bar
    // every genuine update for good; anything from here up is not believed.
    static constexpr DWORD kRevisionLimit = 0x80000000u;

    // What the reply announced, bounded as the items are read.
    struct Items {
        char programName[264] = {};
        char version[20] = {};
        char revisionText[268] = {};
        char address[264] = {};
        char requiredMinimumText[268] = {};
        DWORD revision = kMissingRevision;
        DWORD requiredMinimum = kMissingRequiredMinimum;
    };

    // Carriage returns, line feeds and tabs become blanks: the patterns
    // read a value only up to the end of a line.
    static void Flatten(char* text);
    void Extract(const char* reply, Items* items);
    // "%d" reading: blanks, an optional sign, at least one digit. Out-of-range
    // numbers saturate instead of being undefined. False when nothing is read.
    static bool ReadNumber(const char* text, DWORD* value);
    // Only a plain positive decimal below kRevisionLimit, blanks around it
    // allowed: no sign, no trailing letters, no overflow.
    static bool ReadRevision(const char* text, DWORD* value);
    // UTF-8 to UTF-16, cut to capacity - 1 characters; never leaves half a
    // surrogate pair at the end. out is always terminated.
    static void ConvertCut(const char* utf8, wchar_t* out, int capacity);

private:
    static void TrimBrokenUtf8Tail(char* text);

    CPatternMatcher m_matcher;
};
