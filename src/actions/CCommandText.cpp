#include "actions/CCommandText.h"

#include <cwchar>

namespace {

const wchar_t kReferencePattern[] = L"%([^%]+?)%";

// Appends count characters of text, or as many as fit. out stays terminated
// either way; false tells the caller the text was cut.
bool Append(wchar_t* out, size_t capacity, size_t& length, const wchar_t* text, size_t count)
{
    const size_t room = capacity - 1 - length;
    const size_t taken = count < room ? count : room;
    wmemcpy(out + length, text, taken);
    length += taken;
    out[length] = L'\0';
    return taken == count;
}

bool Append(wchar_t* out, size_t capacity, size_t& length, const wchar_t* text)
{
    return Append(out, capacity, length, text, wcslen(text));
}

// The address is explorer's one argument, between quotes: a quote of its own
// would end that argument and make the rest further arguments. %22 is how a
// URL writes a quote, so the address still opens what the user typed.
bool AppendQuotedAddress(wchar_t* out, size_t capacity, size_t& length, const wchar_t* address)
{
    const wchar_t* run = address;
    for (const wchar_t* at = address;; ++at) {
        if (*at != L'"' && *at != L'\0')
            continue;
        if (!Append(out, capacity, length, run, static_cast<size_t>(at - run)))
            return false;
        if (*at == L'\0')
            return true;
        if (!Append(out, capacity, length, L"%22"))
            return false;
        run = at + 1;
    }
}

bool IsLetter(wchar_t c, wchar_t small) { return c == small || c == small - (L'a' - L'A'); }

}  // namespace

CCommandText::CCommandText(CPatternMatcher& matcher) : m_matcher(matcher) {}

bool CCommandText::ExpandVariables(const wchar_t* command, wchar_t* out, size_t capacity)
{
    if (!out || capacity == 0)
        return false;
    out[0] = L'\0';
    if (!command)
        return false;
    size_t length = 0;
    const wchar_t* rest = command;
    bool fits = true;
    bool more = true;
    while (fits && more)
        fits = ExpandNextReference(rest, out, capacity, length, more);
    return fits && Append(out, capacity, length, rest);
}

bool CCommandText::ExpandNextReference(const wchar_t*& rest, wchar_t* out, size_t capacity,
                                       size_t& length, bool& more)
{
    more = false;
    wchar_t name[kVariableNameChars];
    if (m_matcher.MatchWide(rest, kReferencePattern, name, kVariableNameChars) == 0)
        return true;
    // The matcher gives the name, not where it stands; the first place the
    // whole reference occurs is where the match was, since any earlier one
    // would have matched first. A name cut by the matcher is found nowhere,
    // and the rest is then kept as written.
    wchar_t reference[kVariableNameChars + 2];
    size_t referenceLength = 0;
    Append(reference, kVariableNameChars + 2, referenceLength, L"%");
    Append(reference, kVariableNameChars + 2, referenceLength, name);
    Append(reference, kVariableNameChars + 2, referenceLength, L"%");
    const wchar_t* at = wcsstr(rest, reference);
    if (!at)
        return true;
    if (!Append(out, capacity, length, rest, static_cast<size_t>(at - rest)))
        return false;
    more = true;
    bool defined = false;
    if (!AppendVariable(name, out, capacity, length, defined))
        return false;
    if (defined) {
        rest = at + referenceLength;
        return true;
    }
    // Kept as written up to its closing %, which may open the next reference.
    rest = at + referenceLength - 1;
    return Append(out, capacity, length, at, referenceLength - 1);
}

bool CCommandText::AppendVariable(const wchar_t* name, wchar_t* out, size_t capacity,
                                  size_t& length, bool& defined)
{
    const size_t room = capacity - length;
    SetLastError(0);
    const DWORD result = GetEnvironmentVariableW(
        name, out + length, room > MAXDWORD ? MAXDWORD : static_cast<DWORD>(room));
    if (result == 0) {
        defined = GetLastError() != ERROR_ENVVAR_NOT_FOUND;
        out[length] = L'\0';
        return true;
    }
    defined = true;
    if (result >= room) {
        // The value does not fit: whatever the call left there is dropped.
        out[length] = L'\0';
        return false;
    }
    length += result;
    return true;
}

bool CCommandText::InsertPath(const wchar_t* expanded, const wchar_t* path, wchar_t* out,
                              size_t capacity)
{
    if (!out || capacity == 0)
        return false;
    out[0] = L'\0';
    if (!expanded || !path)
        return false;
    size_t length = 0;
    const wchar_t* placeholder = wcsstr(expanded, L"%1");
    if (!placeholder) {
        return Append(out, capacity, length, expanded) && Append(out, capacity, length, L" ") &&
               Append(out, capacity, length, path);
    }
    return Append(out, capacity, length, expanded, static_cast<size_t>(placeholder - expanded)) &&
           Append(out, capacity, length, path) &&
           Append(out, capacity, length, placeholder + 2);
}

bool CCommandText::BuildWebSiteCommandLine(const wchar_t* address, const wchar_t* windowsDirectory,
                                           wchar_t* out, size_t capacity)
{
    if (!out || capacity == 0)
        return false;
    out[0] = L'\0';
    if (!address || !windowsDirectory)
        return false;
    size_t length = 0;
    return Append(out, capacity, length, L"\"") &&
           Append(out, capacity, length, windowsDirectory) &&
           Append(out, capacity, length, L"\\explorer.exe\" \"") &&
           (IsPassedUnchanged(address) || Append(out, capacity, length, L"http://")) &&
           AppendQuotedAddress(out, capacity, length, address) &&
           Append(out, capacity, length, L"\"");
}

bool CCommandText::IsPassedUnchanged(const wchar_t* address)
{
    // Only the four letters count: "https" and "httpx" alike pass, "ftp://"
    // and every other scheme get http:// in front.
    if (!address || wcsnlen(address, 5) < 5)
        return false;
    return IsLetter(address[0], L'h') && IsLetter(address[1], L't') &&
           IsLetter(address[2], L't') && IsLetter(address[3], L'p');
}
