#include "update/CUpdateReply.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

namespace {
const char kProgramNamePattern[] = "progName:(.+?)</br>";
const char kVersionPattern[] = "version:(.+?)</br>";
const char kRevisionPattern[] = "revision:(.+?)</br>";
const char kAddressPattern[] = "url:(.+?)</br>";
const char kRequiredMinimumPattern[] = "requiredMiniRevision:(.+?)</br>";

bool IsBlank(char c) { return isspace(static_cast<unsigned char>(c)) != 0; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}

void CUpdateReply::Flatten(char* text)
{
    if (!text)
        return;
    for (char* at = text; *at; ++at) {
        if (*at == '\r' || *at == '\n' || *at == '\t')
            *at = ' ';
    }
}

void CUpdateReply::Extract(const char* reply, Items* items)
{
    *items = Items();
    m_matcher.Match(reply, kProgramNamePattern, items->programName, sizeof(items->programName));
    m_matcher.Match(reply, kVersionPattern, items->version, sizeof(items->version));
    m_matcher.Match(reply, kRevisionPattern, items->revisionText, sizeof(items->revisionText));
    m_matcher.Match(reply, kAddressPattern, items->address, sizeof(items->address));
    m_matcher.Match(reply, kRequiredMinimumPattern, items->requiredMinimumText,
                    sizeof(items->requiredMinimumText));
    // A cut in the middle of a character would show as a stray symbol.
    TrimBrokenUtf8Tail(items->version);
    TrimBrokenUtf8Tail(items->address);
    if (!ReadRevision(items->revisionText, &items->revision))
        items->revision = kMissingRevision;
    if (!ReadNumber(items->requiredMinimumText, &items->requiredMinimum))
        items->requiredMinimum = kMissingRequiredMinimum;
}

bool CUpdateReply::ReadNumber(const char* text, DWORD* value)
{
    if (!text)
        return false;
    const char* at = text;
    while (IsBlank(*at))
        ++at;
    if (*at == '+' || *at == '-')
        ++at;
    if (!IsDigit(*at))
        return false;
    // Read as 32 bits whatever long is on the building machine: strtoll
    // saturates far beyond, and the clamp gives what "%d" gives on Windows
    // without its undefined overflow.
    long long number = strtoll(text, nullptr, 10);
    if (number > 0x7FFFFFFFLL)
        number = 0x7FFFFFFFLL;
    if (number < -0x80000000LL)
        number = -0x80000000LL;
    *value = static_cast<DWORD>(static_cast<LONG>(number));
    return true;
}

bool CUpdateReply::ReadRevision(const char* text, DWORD* value)
{
    if (!text)
        return false;
    const char* at = text;
    while (IsBlank(*at))
        ++at;
    if (!IsDigit(*at))
        return false;
    DWORD number = 0;
    for (; IsDigit(*at); ++at) {
        const DWORD digit = static_cast<DWORD>(*at - '0');
        if (number > (kRevisionLimit - 1 - digit) / 10)
            return false;
        number = number * 10 + digit;
    }
    while (IsBlank(*at))
        ++at;
    if (*at != '\0' || number == 0)
        return false;
    *value = number;
    return true;
}

void CUpdateReply::ConvertCut(const char* utf8, wchar_t* out, int capacity)
{
    if (!out || capacity <= 0)
        return;
    out[0] = L'\0';
    if (!utf8 || !*utf8)
        return;
    // MultiByteToWideChar refuses a text that does not fit instead of
    // cutting it, so convert whole first and cut afterwards.
    const int needed = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    if (needed <= 1)
        return;
    std::wstring wide(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), needed);
    int length = needed - 1;
    if (length > capacity - 1) {
        length = capacity - 1;
        if (length > 0 && IS_HIGH_SURROGATE(wide[static_cast<size_t>(length) - 1]))
            --length;
    }
    wmemcpy(out, wide.data(), static_cast<size_t>(length));
    out[length] = L'\0';
}

void CUpdateReply::TrimBrokenUtf8Tail(char* text)
{
    const size_t length = strlen(text);
    size_t lead = length;
    // Walk back over at most three continuation bytes to the lead byte.
    for (size_t back = 0; back < 4 && lead > 0; ++back) {
        --lead;
        const unsigned char byte = static_cast<unsigned char>(text[lead]);
        if ((byte & 0xC0) == 0x80)
            continue;
        size_t expected = 1;
        if ((byte & 0xE0) == 0xC0)
            expected = 2;
        else if ((byte & 0xF0) == 0xE0)
            expected = 3;
        else if ((byte & 0xF8) == 0xF0)
            expected = 4;
        if (length - lead < expected)
            text[lead] = '\0';
        return;
    }
}
