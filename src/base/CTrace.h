#pragma once

#include <windows.h>

// One line for each failure that nothing else tells of, so that a user's
// report can be explained: any debug viewer shows the lines, and Wine prints
// them with WINEDEBUG=+debugstr. Nothing the user sees changes, and the
// thread's last error is left as the failed call set it.
//
//   Quillow: SwitchDesktop failed, error 5 (to the private desktop)
class CTrace {
public:
    // error: the failed call's Win32 error code, as GetLastError gave it.
    static void Failure(const wchar_t* call, DWORD error, const wchar_t* context = nullptr);
    // The calling thread's last error, read here.
    static void LastError(const wchar_t* call, const wchar_t* context = nullptr);
    // For calls that answer an HRESULT, written in hexadecimal as documented.
    static void Result(const wchar_t* call, HRESULT result, const wchar_t* context = nullptr);

private:
    static void Write(const wchar_t* call, const wchar_t* code, const wchar_t* context);
};
