// The open command another program registered, expanded and given the
// path, and the web-site address on explorer's command line.
#include <fuzzer/FuzzedDataProvider.h>

#include <cwchar>
#include <string>

#include "actions/CCommandText.h"
#include "FuzzCheck.h"

namespace {
// As CProgramLauncher sizes them.
constexpr size_t kExpandedChars = 266;
constexpr size_t kCommandLineChars = 524;
constexpr size_t kWebCommandLineChars = 266;

// UTF-16 code units, lone surrogates included, one per wchar_t as on
// Windows; the terminator ends the text early.
std::wstring TakeWide(FuzzedDataProvider& input, size_t most)
{
    const size_t count = input.ConsumeIntegralInRange<size_t>(0, most);
    std::wstring text;
    for (size_t i = 0; i < count && input.remaining_bytes() > 0; ++i) {
        const auto unit = input.ConsumeIntegral<unsigned short>();
        if (unit == 0)
            break;
        text += static_cast<wchar_t>(unit);
    }
    return text;
}

// Variables the commands can name; values long enough to reach the buffer's
// end from any position.
void SetVariables(FuzzedDataProvider& input)
{
    for (const wchar_t* name : {L"QA", L"QB", L"SystemRoot"}) {
        const std::wstring value = TakeWide(input, 600);
        ShimSetVariable(name, input.ConsumeBool() ? nullptr : value.c_str());
    }
}

size_t Count(const wchar_t* text, wchar_t c)
{
    size_t count = 0;
    for (; *text; ++text)
        count += *text == c;
    return count;
}
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    SetVariables(input);
    const std::wstring command = TakeWide(input, 300);
    const std::wstring path = TakeWide(input, 300);
    const std::wstring address = TakeWide(input, 300);

    static CPatternMatcher matcher;
    CCommandText text(matcher);
    wchar_t expanded[kExpandedChars];
    const bool fits = text.ExpandVariables(command.c_str(), expanded, kExpandedChars);
    FUZZ_CHECK(wcsnlen(expanded, kExpandedChars) < kExpandedChars);
    if (fits && command.find(L'%') == std::wstring::npos)
        FUZZ_CHECK(command == expanded);

    wchar_t commandLine[kCommandLineChars];
    if (CCommandText::InsertPath(expanded, path.c_str(), commandLine, kCommandLineChars))
        FUZZ_CHECK(wcslen(commandLine) >= wcslen(expanded) - (wcsstr(expanded, L"%1") ? 2 : 0));
    FUZZ_CHECK(wcsnlen(commandLine, kCommandLineChars) < kCommandLineChars);

    wchar_t webLine[kWebCommandLineChars];
    if (CCommandText::BuildWebSiteCommandLine(address.c_str(), L"C:\\windows", webLine,
                                              kWebCommandLineChars)) {
        // Two quotes around the program, two around the address, none inside.
        FUZZ_CHECK(Count(webLine, L'"') == 4);
        FUZZ_CHECK(webLine[wcslen(webLine) - 1] == L'"');
    }
    FUZZ_CHECK(wcsnlen(webLine, kWebCommandLineChars) < kWebCommandLineChars);
    return 0;
}
