// A hot key code as the registry holds it, five DWORDs anyone can write,
// to the text shown for it.
#include <fuzzer/FuzzedDataProvider.h>

#include <cwchar>

#include "FuzzCheck.h"
#include "settings/CHotkeyCode.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const DWORD enabled = input.ConsumeIntegral<DWORD>();
    const DWORD key = input.ConsumeIntegral<DWORD>();
    const DWORD shift = input.ConsumeIntegral<DWORD>();
    const DWORD ctrl = input.ConsumeIntegral<DWORD>();
    const DWORD alt = input.ConsumeIntegral<DWORD>();

    const CHotkeyCode code = CHotkeyCode::Normalised(enabled, key, shift, ctrl, alt);
    FUZZ_CHECK(code.key <= 0xFF);
    FUZZ_CHECK(code.enabled <= 1 && code.shift <= 1 && code.ctrl <= 1 && code.alt <= 1);
    FUZZ_CHECK(code.key != 0 || (code.enabled == 0 && code.shift == 0 && code.ctrl == 0 &&
                                 code.alt == 0));

    wchar_t text[40];
    code.Text(text);
    FUZZ_CHECK(wcsnlen(text, 40) < 40);
    if (code.key == 0)
        FUZZ_CHECK(text[0] == L'\0');

    // Any code, not only the 8 bits the settings keep: the edit control
    // hands over what the keyboard driver sent.
    wchar_t name[12];
    const UINT asked = input.ConsumeIntegral<UINT>();
    const UINT named = CHotkeyCode::KeyName(asked, name);
    FUZZ_CHECK(wcsnlen(name, 12) < 12);
    FUZZ_CHECK(named == 0 || named == asked);
    FUZZ_CHECK((named == 0) == (name[0] == L'\0'));
    return 0;
}
