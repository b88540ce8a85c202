#include "CWatchCommandLine.h"

#include <cstdint>

namespace {

constexpr int kMaxHexDigits = 16;

int HexDigit(wchar_t ch)
{
    if (ch >= L'0' && ch <= L'9')
        return ch - L'0';
    if (ch >= L'a' && ch <= L'f')
        return ch - L'a' + 10;
    if (ch >= L'A' && ch <= L'F')
        return ch - L'A' + 10;
    return -1;
}

}  // namespace

bool CWatchCommandLine::Format(wchar_t* buffer, size_t capacity, const wchar_t* exePath,
                               HANDLE quillow, HANDLE block)
{
    if (capacity == 0)
        return false;
    buffer[0] = L'\0';
    size_t length = 0;
    bool fits = Append(buffer, capacity, &length, L'"');
    for (const wchar_t* ch = exePath; fits && *ch; ++ch) {
        // A quote would end the path early and turn its rest into arguments.
        if (*ch == L'"')
            fits = false;
        else
            fits = Append(buffer, capacity, &length, *ch);
    }
    fits = fits && Append(buffer, capacity, &length, L'"') &&
           Append(buffer, capacity, &length, L' ') &&
           AppendHex(buffer, capacity, &length, quillow) &&
           Append(buffer, capacity, &length, L' ') &&
           AppendHex(buffer, capacity, &length, block);
    if (!fits) {
        buffer[0] = L'\0';
        return false;
    }
    buffer[length] = L'\0';
    return true;
}

bool CWatchCommandLine::Parse(const wchar_t* commandLine, HANDLE* quillow, HANDLE* block)
{
    if (!commandLine)
        return false;
    const wchar_t* ch = SkipProgram(commandLine);
    HANDLE first = nullptr, second = nullptr;
    ch = ReadHex(SkipSpaces(ch), &first);
    if (!ch)
        return false;
    ch = ReadHex(SkipSpaces(ch), &second);
    if (!ch || *SkipSpaces(ch) != L'\0')
        return false;
    *quillow = first;
    *block = second;
    return true;
}

const wchar_t* CWatchCommandLine::SkipProgram(const wchar_t* text)
{
    // The same rule as CreateProcess: a quoted name ends at the next quote,
    // a bare one at the first blank.
    if (*text == L'"') {
        ++text;
        while (*text && *text != L'"')
            ++text;
        return *text ? text + 1 : text;
    }
    while (*text && *text != L' ' && *text != L'\t')
        ++text;
    return text;
}

const wchar_t* CWatchCommandLine::SkipSpaces(const wchar_t* text)
{
    while (*text == L' ' || *text == L'\t')
        ++text;
    return text;
}

const wchar_t* CWatchCommandLine::ReadHex(const wchar_t* text, HANDLE* value)
{
    uint64_t number = 0;
    int digits = 0;
    for (int digit = HexDigit(*text); digit >= 0; digit = HexDigit(*++text)) {
        if (++digits > kMaxHexDigits)
            return nullptr;
        number = (number << 4) | static_cast<uint64_t>(digit);
    }
    // The value must end at a blank or the end: "1a4x" is not a handle.
    if (digits == 0 || number == 0 || (*text && *text != L' ' && *text != L'\t'))
        return nullptr;
    *value = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(number));
    return text;
}

bool CWatchCommandLine::Append(wchar_t* buffer, size_t capacity, size_t* length, wchar_t ch)
{
    // One place is always kept for the closing zero.
    if (*length + 1 >= capacity)
        return false;
    buffer[(*length)++] = ch;
    return true;
}

bool CWatchCommandLine::AppendHex(wchar_t* buffer, size_t capacity, size_t* length, HANDLE value)
{
    const uint64_t number = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(value));
    int shift = 60;
    while (shift > 0 && ((number >> shift) & 0xF) == 0)
        shift -= 4;
    for (; shift >= 0; shift -= 4) {
        if (!Append(buffer, capacity, length, L"0123456789abcdef"[(number >> shift) & 0xF]))
            return false;
    }
    return true;
}
