#include "update/CWebAddress.h"

#include <cwchar>
#include <cwctype>

namespace {
bool StartsWithNoCase(const wchar_t* text, const wchar_t* prefix)
{
    for (; *prefix; ++text, ++prefix) {
        if (towlower(static_cast<wint_t>(*text)) != towlower(static_cast<wint_t>(*prefix)))
            return false;
    }
    return true;
}
}

bool CWebAddress::IsPlain(const wchar_t* address)
{
    if (!address)
        return false;
    size_t schemeLength = 0;
    if (StartsWithNoCase(address, L"http://"))
        schemeLength = 7;
    else if (StartsWithNoCase(address, L"https://"))
        schemeLength = 8;
    else
        return false;
    if (address[schemeLength] == L'\0')
        return false;
    // A blank or a quote would let the address spill into further
    // arguments of the browser's command line; a real URL has them
    // percent-encoded.
    for (const wchar_t* at = address; *at; ++at) {
        if (iswspace(static_cast<wint_t>(*at)) || iswcntrl(static_cast<wint_t>(*at)) ||
            *at == L'"')
            return false;
    }
    return true;
}
