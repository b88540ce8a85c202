#include "settings/CHotkeyCode.h"

#include "base/CTextWriter.h"

#include <cwchar>

namespace {

struct KeyRange {
    UINT first;
    UINT last;
    const wchar_t* prefix;
    UINT base;    // subtracted from the code
    bool letter;  // the result is shown as a character, not as a number
};

// Keypad digits read like the digit row: a hot key shown as "5" is the same
// to the user whichever 5 it was.
constexpr KeyRange kRanges[] = {
    {0x70, 0x87, L"F", 0x6F, false},
    {0x30, 0x39, L"", 0x30, false},
    {0x60, 0x69, L"", 0x60, false},
    {0x41, 0x5A, L"", 0, true},
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
            CTextWriter text(name, 12);
            text.Text(range.prefix);
            if (range.letter)
                text.Letter(static_cast<wchar_t>(code - range.base));
            else
                text.Number(code - range.base);
            return code;
        }
    }
    for (const NamedKey& named : kNamedKeys) {
        if (code == named.code) {
            CTextWriter(name, 12).Text(named.name);
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
    CTextWriter(text, 40).Text(ctrl ? L"Ctrl+" : L"").Text(alt ? L"Alt+" : L"")
        .Text(shift ? L"Shift+" : L"").Text(name);
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
