#pragma once

#include <windows.h>

#include <cstddef>

#include "base/CPatternMatcher.h"

// Builds the command lines the program launcher starts, from texts that come
// from outside: the open command another program registered, the variables
// it names, the path and the address the user typed. Nothing here starts a
// process or reads the registry, so the same code is fuzzed natively. Every
// text is built in the caller's buffer of fixed size; a text that would not
// fit is refused, never cut.
class CCommandText {
public:
    static constexpr size_t kVariableNameChars = 266;  // terminator included

    explicit CCommandText(CPatternMatcher& matcher);
    CCommandText(const CCommandText&) = delete;
    CCommandText& operator=(const CCommandText&) = delete;

    // Replaces each %NAME% with the variable's value, left to right. An
    // undefined name is kept as written, and its closing % may open the next
    // reference, as the Windows shell expands them.
    bool ExpandVariables(const wchar_t* command, wchar_t* out, size_t capacity);
    // The expanded command with its first "%1" replaced by the path, or with
    // the path appended after one blank when it has none.
    static bool InsertPath(const wchar_t* expanded, const wchar_t* path, wchar_t* out,
                           size_t capacity);
    // explorer.exe from the Windows directory with the address as its one
    // argument, in quotes. A quote inside the address is written as %22.
    static bool BuildWebSiteCommandLine(const wchar_t* address, const wchar_t* windowsDirectory,
                                        wchar_t* out, size_t capacity);
    // True when the address goes to the shell as written: five characters
    // or more, beginning with the letters http in either case.
    static bool IsPassedUnchanged(const wchar_t* address);

private:
    bool ExpandNextReference(const wchar_t*& rest, wchar_t* out, size_t capacity,
                             size_t& length, bool& more);
    static bool AppendVariable(const wchar_t* name, wchar_t* out, size_t capacity,
                               size_t& length, bool& defined);

    CPatternMatcher& m_matcher;
};
