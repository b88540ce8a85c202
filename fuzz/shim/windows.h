#pragma once

// The few Win32 names that the parsers of outside input use, for their
// native Linux build under libFuzzer. wchar_t is 32 bits here, so the wide
// texts hold UTF-16 code units one per wchar_t, as the fuzz targets build
// them; the conversions below treat them so, as Windows does.

#include <cstddef>
#include <cstdint>

using BYTE = unsigned char;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using USHORT = unsigned short;
using LONG = std::int32_t;
using BOOL = int;
using LPCSTR = const char*;
using LPSTR = char*;
using LPCWSTR = const wchar_t*;
using LPWSTR = wchar_t*;
using LPBOOL = BOOL*;

constexpr UINT CP_UTF8 = 65001;
constexpr DWORD MAXDWORD = 0xFFFFFFFFu;
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_NO_UNICODE_TRANSLATION = 1113;
constexpr DWORD ERROR_ENVVAR_NOT_FOUND = 203;

inline bool IS_HIGH_SURROGATE(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool IS_LOW_SURROGATE(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void SetLastError(DWORD error);
DWORD GetLastError();

// CP_UTF8 only, flags 0, as the product calls them: a count of -1 includes
// the terminator; a zero capacity asks for the size; a buffer too small
// fails with ERROR_INSUFFICIENT_BUFFER. Invalid input becomes U+FFFD.
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* text, int count, wchar_t* out,
                        int capacity);
int WideCharToMultiByte(UINT codePage, DWORD flags, const wchar_t* text, int count, char* out,
                        int capacity, const char* defaultChar, BOOL* usedDefault);

// Read from a table of the shim's own (setenv would leak every value it
// replaces, and the fuzzer replaces them millions of times), with the
// Windows contract for the result: the length without terminator when it fits, the
// size needed with terminator when it does not, 0 and ERROR_ENVVAR_NOT_FOUND
// when the name is not set.
DWORD GetEnvironmentVariableW(const wchar_t* name, wchar_t* out, DWORD capacity);

// The fuzz targets' side of that table; a null value removes the name.
void ShimSetVariable(const wchar_t* name, const wchar_t* value);
