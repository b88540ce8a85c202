#include "CHotkeyCode.h"

#include <cwchar>

namespace {

struct KeyRange {
    UINT first;
    UINT last;
    const wchar_t* format;
    UINT base;  // subtracted from the code, or 0 to print the code itself
};

// Keypad digits read like the digit row: a hot key shown as "5" is the same
// to the user whichever 5 it was.
constexpr KeyRange kRanges[] = {
    {0x70, 0x87, L"F%u", 0x6F},
    {0x30, 0x39, L"%u", 0x30},
    {0x60, 0x69, L"%u", 0x60},
    {0x41, 0x5A, L"%lc", 0},
};

struct NamedKey {
    UINT code;
    const wchar_t* name;
};

// Punctuation is listed under its OEM code and under its ASCII code, since
// some keyboard drivers report the one and some the other.
constexpr NamedKey kNamedKeys[] = {
    {0xC0, L"`"},  {0xBD, L"-"},  {0xBB, L"="},  {0x3D, L"="},  {0xDB, L"["},
    {0x5B, L"["},  {0xDD, L"]"},  {0x5D, L"]"},  {0xDC, L"\\"}, {0x5C, L"\\"},
    {0xBA, L";"},  {0x3B, L";"},  {0xDE, L"'"},  {0xBC, L","},  {0x2C, L","},
    {0xBE, L"."},  {0xBF, L"/"},  {0x2F, L"/"},  {0x20, L"SPACE"},
    {0x08, L"BACK"},      {0x21, L"PAGE_UP"}, {0x22, L"PAGE_DOWN"}, {0x23, L"END"},
    {0x24, L"HOME"},      {0x25, L"LEFT"},    {0x27, L"RIGHT"},     {0x26, L"UP"},
    {0x28, L"DOWN"},      {0x2D, L"INSERT"},  {0x2E, L"DEL"},       {0x6C, L"SEP"},
    {0x6D, L"SUB"},       {0x6E, L"."},       {0x6F, L"/"},
};

}  // namespace

UINT CHotkeyCode::KeyName(UINT code, wchar_t (&name)[12])
{
    for (const KeyRange& range : kRanges) {
        if (code >= range.first && code <= range.last) {
            swprintf(name, 12, range.format, code - range.base);
            return code;
        }
    }
    for (const NamedKey& named : kNamedKeys) {
        if (code == named.code) {
            swprintf(name, 12, L"%ls", named.name);
            return code;
        }
    }
    name[0] = L'\0';
    return 0;
}

void CHotkeyCode::Text(wchar_t (&text)[40]) const
{
    text[0] = L'\0';
    if (key == 0)
        return;
    wchar_t name[12];
    KeyName(key, name);
    swprintf(text, 40, L"%ls%ls%ls%ls", ctrl ? L"Ctrl+" : L"", alt ? L"Alt+" : L"",
             shift ? L"Shift+" : L"", name);
}

CHotkeyCode CHotkeyCode::Normalised(DWORD enabled, DWORD key, DWORD shift, DWORD ctrl, DWORD alt)
{
    CHotkeyCode code;
    code.key = key & 0xFF;
    if (code.key == 0)
        return code;
    code.enabled = enabled ? 1 : 0;
    code.shift = shift ? 1 : 0;
    code.ctrl = ctrl ? 1 : 0;
    code.alt = alt ? 1 : 0;
    return code;
}
