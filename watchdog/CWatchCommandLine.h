#pragma once

#include <windows.h>

#include <cstddef>

// The watchdog's command line: its quoted path, then the values of the two
// handles it inherits from Quillow, in hexadecimal:
//     "C:\...\QuillowWatch.exe" 1a4 1b0
// Quillow writes it; the watchdog reads it back. Written without the C
// runtime, which the watchdog does not link.
class CWatchCommandLine {
public:
    // Room for a long path, its quotes and two 64-bit values.
    static constexpr size_t kChars = 1024;

    // False, leaving nothing usable in buffer, when the line does not fit
    // or the path could not be quoted.
    static bool Format(wchar_t* buffer, size_t capacity, const wchar_t* exePath, HANDLE quillow,
                       HANDLE block);
    // False unless the line holds exactly the program and two non-zero
    // hexadecimal values of at most 64 bits.
    static bool Parse(const wchar_t* commandLine, HANDLE* quillow, HANDLE* block);

private:
    static const wchar_t* SkipProgram(const wchar_t* text);
    static const wchar_t* SkipSpaces(const wchar_t* text);
    static const wchar_t* ReadHex(const wchar_t* text, HANDLE* value);
    static bool Append(wchar_t* buffer, size_t capacity, size_t* length, wchar_t ch);
    static bool AppendHex(wchar_t* buffer, size_t capacity, size_t* length, HANDLE value);
};
