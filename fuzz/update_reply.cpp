// The update server's reply, from the flattened text to what the decision
// would store: the items, the revision rule, the UTF-16 texts and the web
// address check.
#include <cstring>
#include <cwchar>
#include <string>

#include "FuzzCheck.h"
#include "update/CUpdateReply.h"
#include "update/CWebAddress.h"

namespace {
// As CUpdateQuery and CUpdateDecision size them.
constexpr size_t kReplyCapacity = 10240;
constexpr int kVersionChars = 22;
constexpr int kAddressChars = 266;

bool Terminated(const char* text, size_t capacity) { return memchr(text, 0, capacity) != nullptr; }

void CheckWide(const wchar_t* text, int capacity)
{
    FUZZ_CHECK(wcsnlen(text, static_cast<size_t>(capacity)) < static_cast<size_t>(capacity));
    const size_t length = wcslen(text);
    // A cut never leaves the first half of a pair at the end.
    FUZZ_CHECK(length == 0 || !IS_HIGH_SURROGATE(text[length - 1]));
}
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    // What recv can leave in the reply buffer: any bytes, cut at capacity - 1.
    std::string reply(reinterpret_cast<const char*>(data), size < kReplyCapacity ? size : kReplyCapacity - 1);
    CUpdateReply::Flatten(reply.data());
    FUZZ_CHECK(strpbrk(reply.c_str(), "\r\n\t") == nullptr);

    static CUpdateReply reader;
    CUpdateReply::Items items;
    reader.Extract(reply.c_str(), &items);
    FUZZ_CHECK(Terminated(items.programName, sizeof(items.programName)));
    FUZZ_CHECK(Terminated(items.version, sizeof(items.version)));
    FUZZ_CHECK(Terminated(items.revisionText, sizeof(items.revisionText)));
    FUZZ_CHECK(Terminated(items.address, sizeof(items.address)));
    FUZZ_CHECK(Terminated(items.requiredMinimumText, sizeof(items.requiredMinimumText)));
    FUZZ_CHECK(items.revision < CUpdateReply::kRevisionLimit);

    wchar_t version[kVersionChars];
    wchar_t address[kAddressChars];
    CUpdateReply::ConvertCut(items.version, version, kVersionChars);
    CUpdateReply::ConvertCut(items.address, address, kAddressChars);
    CheckWide(version, kVersionChars);
    CheckWide(address, kAddressChars);
    if (CWebAddress::IsPlain(address))
        FUZZ_CHECK(wcspbrk(address, L"\" \t\r\n") == nullptr);

    // The revision text on its own, as any bytes.
    std::string text(reinterpret_cast<const char*>(data), size < 300 ? size : 300);
    DWORD value = 0;
    if (CUpdateReply::ReadRevision(text.c_str(), &value))
        FUZZ_CHECK(value > 0 && value < CUpdateReply::kRevisionLimit);
    return 0;
}
