#include "base/CTrace.h"

#include <iterator>

#include "base/CTextWriter.h"

void CTrace::Failure(const wchar_t* call, DWORD error, const wchar_t* context)
{
    wchar_t code[24];
    CTextWriter(code, std::size(code)).Text(L"error ").Number(error);
    Write(call, code, context);
}

void CTrace::LastError(const wchar_t* call, const wchar_t* context)
{
    Failure(call, GetLastError(), context);
}

void CTrace::Result(const wchar_t* call, HRESULT result, const wchar_t* context)
{
    wchar_t code[24] = L"0x";
    const unsigned long bits = static_cast<unsigned long>(result);
    for (int shift = 28, at = 2; shift >= 0; shift -= 4, ++at) {
        code[at] = L"0123456789ABCDEF"[(bits >> shift) & 0xF];
        code[at + 1] = L'\0';
    }
    Write(call, code, context);
}

void CTrace::Write(const wchar_t* call, const wchar_t* code, const wchar_t* context)
{
    const DWORD lastError = GetLastError();
    wchar_t line[320];
    CTextWriter writer(line, std::size(line) - 1);  // room kept for the line's end
    writer.Text(L"Quillow: ").Text(call).Text(L" failed, ").Text(code);
    if (context && context[0])
        writer.Text(L" (").Text(context).Letter(L')');
    const size_t length = writer.Length();
    line[length] = L'\n';
    line[length + 1] = L'\0';
    // The narrow call, with the line in the ANSI code page: that is what
    // OutputDebugStringW hands a debug viewer anyway, and Wine prints only
    // the narrow one with +debugstr.
    char narrow[std::size(line) * 2];
    if (WideCharToMultiByte(CP_ACP, 0, line, -1, narrow, sizeof(narrow), nullptr, nullptr) > 0)
        OutputDebugStringA(narrow);
    SetLastError(lastError);
}
