#include "windows.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

thread_local DWORD g_lastError = 0;
std::map<std::wstring, std::wstring> g_variables;

constexpr char32_t kReplacement = 0xFFFD;

// One code point from UTF-8; a malformed or cut sequence yields U+FFFD and
// consumes one byte, so that decoding always moves on.
char32_t DecodeOne(const unsigned char* at, size_t left, size_t* used)
{
    const unsigned char lead = at[0];
    *used = 1;
    if (lead < 0x80)
        return lead;
    size_t length = 0;
    char32_t value = 0;
    char32_t lowest = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, lowest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, lowest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, lowest = 0x10000;
    } else {
        return kReplacement;
    }
    if (left < length)
        return kReplacement;
    for (size_t i = 1; i < length; ++i) {
        if ((at[i] & 0xC0) != 0x80)
            return kReplacement;
        value = (value << 6) | (at[i] & 0x3F);
    }
    if (value < lowest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return kReplacement;
    *used = length;
    return value;
}

std::vector<wchar_t> ToUnits(const char* text, size_t length)
{
    std::vector<wchar_t> units;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    for (size_t at = 0; at < length;) {
        size_t used = 0;
        const char32_t code = DecodeOne(bytes + at, length - at, &used);
        at += used;
        if (code >= 0x10000) {
            units.push_back(static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10)));
            units.push_back(static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<wchar_t>(code));
        }
    }
    return units;
}

void AppendUtf8(std::string& out, char32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string ToUtf8(const wchar_t* text, size_t count)
{
    std::string out;
    for (size_t at = 0; at < count; ++at) {
        const char32_t unit = static_cast<char32_t>(text[at]) & 0xFFFF;
        if (IS_HIGH_SURROGATE(static_cast<wchar_t>(unit)) && at + 1 < count &&
            IS_LOW_SURROGATE(text[at + 1])) {
            const char32_t low = static_cast<char32_t>(text[at + 1]);
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
            ++at;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            AppendUtf8(out, kReplacement);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

size_t WideLength(const wchar_t* text)
{
    size_t length = 0;
    while (text[length])
        ++length;
    return length;
}

}  // namespace

void SetLastError(DWORD error) { g_lastError = error; }
DWORD GetLastError() { return g_lastError; }

int MultiByteToWideChar(UINT, DWORD, const char* text, int count, wchar_t* out, int capacity)
{
    if (!text || count == 0 || capacity < 0 || (capacity > 0 && !out)) {
        SetLastError(87);
        return 0;
    }
    const size_t length = count < 0 ? strlen(text) + 1 : static_cast<size_t>(count);
    const std::vector<wchar_t> units = ToUnits(text, length);
    if (capacity == 0)
        return static_cast<int>(units.size());
    if (units.size() > static_cast<size_t>(capacity)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(out, units.data(), units.size() * sizeof(wchar_t));
    return static_cast<int>(units.size());
}

int WideCharToMultiByte(UINT, DWORD, const wchar_t* text, int count, char* out, int capacity,
                        const char*, BOOL* usedDefault)
{
    if (usedDefault)
        *usedDefault = 0;
    if (!text || count == 0 || capacity < 0 || (capacity > 0 && !out)) {
        SetLastError(87);
        return 0;
    }
    const size_t length = count < 0 ? WideLength(text) + 1 : static_cast<size_t>(count);
    const std::string bytes = ToUtf8(text, length);
    if (capacity == 0)
        return static_cast<int>(bytes.size());
    if (bytes.size() > static_cast<size_t>(capacity)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(out, bytes.data(), bytes.size());
    return static_cast<int>(bytes.size());
}

DWORD GetEnvironmentVariableW(const wchar_t* name, wchar_t* out, DWORD capacity)
{
    const auto found = g_variables.find(name);
    if (found == g_variables.end()) {
        SetLastError(ERROR_ENVVAR_NOT_FOUND);
        return 0;
    }
    const std::wstring& value = found->second;
    if (value.size() + 1 > capacity)
        return static_cast<DWORD>(value.size() + 1);
    if (!value.empty())
        std::memcpy(out, value.data(), value.size() * sizeof(wchar_t));
    out[value.size()] = L'\0';
    return static_cast<DWORD>(value.size());
}

void ShimSetVariable(const wchar_t* name, const wchar_t* value)
{
    if (value)
        g_variables[name] = value;
    else
        g_variables.erase(name);
}
