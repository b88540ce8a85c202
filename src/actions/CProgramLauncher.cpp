#include "actions/CProgramLauncher.h"

#include <shlwapi.h>

#include <cwchar>
#include <string>
#include <utility>

#include "actions/CCommandText.h"
#include "app/CMyAppModule.h"
#include "base/CTextWriter.h"
#include "win/CDetachedMessageBox.h"

namespace {

const wchar_t kWebSiteFailure[] = L"CreateProcess for OpenWebsite failed";

}  // namespace

CProgramLauncher::CProgramLauncher(CPatternMatcher& matcher)
    : m_matcher(matcher), m_shellOpener(TellFailure)
{
}

CProgramLauncher::CProgramLauncher(CPatternMatcher& matcher, CShellOpener::AttachCall attach,
                                   CShellOpener::ExecuteCall execute)
    : m_matcher(matcher), m_shellOpener(TellFailure, std::move(attach), std::move(execute))
{
}

void CProgramLauncher::OpenFile(const wchar_t* path, const wchar_t* desktopName)
{
    if (!path)
        return;
    if (!IsAcceptablePath(path)) {
        TellFailure(path, desktopName);
        return;
    }
    wchar_t commandLine[kCommandLineChars];
    if (BuildFileCommandLine(path, commandLine, kCommandLineChars)) {
        if (!Start(commandLine, desktopName))
            TellFailure(commandLine, desktopName);
        return;
    }
    // A command that expands too long is the user's to see; no command at
    // all is the shell's to deal with, and it tells when it cannot either.
    if (commandLine[0] != L'\0')
        TellFailure(commandLine, desktopName);
    else
        m_shellOpener.Open(path, desktopName);
}

bool CProgramLauncher::IsAcceptablePath(const wchar_t* path)
{
    if (!path || path[0] == L'\0')
        return false;
    for (const wchar_t* at = path; *at; ++at) {
        if (*at == L'"' || *at < L' ' || *at == 0x7F)
            return false;
    }
    return true;
}

void CProgramLauncher::OpenWebSite(const wchar_t* address, const wchar_t* desktopName,
                                   const wchar_t* windowsDirectory)
{
    if (!address || !windowsDirectory)
        return;
    wchar_t commandLine[kWebCommandLineChars];
    if (!BuildWebSiteCommandLine(address, windowsDirectory, commandLine, kWebCommandLineChars) ||
        !Start(commandLine, desktopName))
        TellFailure(kWebSiteFailure, desktopName);
}

bool CProgramLauncher::BuildFileCommandLine(const wchar_t* path, wchar_t* out, size_t capacity)
{
    if (!out || capacity == 0)
        return false;
    out[0] = L'\0';
    wchar_t command[kCommandChars];
    if (!FindRegisteredCommand(path, command, kCommandChars))
        return false;
    wchar_t expanded[kExpandedChars];
    if (!ExpandVariables(command, expanded, kExpandedChars)) {
        // What the user can recognise in the failure message is the command
        // as registered; the expansion was cut off at the value too long.
        CTextWriter(out, capacity).Text(command);
        return false;
    }
    return InsertPath(expanded, path, out, capacity);
}

bool CProgramLauncher::FindRegisteredCommand(const wchar_t* path, wchar_t* out, size_t capacity)
{
    if (!out || capacity == 0)
        return false;
    out[0] = L'\0';
    const wchar_t* extension = PathFindExtensionW(path);
    if (!extension || extension[0] == L'\0')
        return false;
    // The shell's own lookup honours the program the user chose for the
    // type (UserChoice), which a class read from HKEY_CLASSES_ROOT misses;
    // for a classic class it gives the same command. An extension nobody
    // registered is not sent to the "Open with" command, and a command
    // longer than the buffer is refused, not cut: the shell, which needs no
    // buffer of ours, opens the document then.
    DWORD chars = capacity > MAXDWORD ? MAXDWORD : static_cast<DWORD>(capacity);
    const HRESULT found = AssocQueryStringW(ASSOCF_NOTRUNCATE | ASSOCF_INIT_IGNOREUNKNOWN,
                                            ASSOCSTR_COMMAND, extension, L"open", out, &chars);
    if (found != S_OK || out[0] == L'\0') {
        out[0] = L'\0';
        return false;
    }
    // Whatever the call wrote, it is read as a string that ends in the buffer.
    out[capacity - 1] = L'\0';
    return true;
}

bool CProgramLauncher::ExpandVariables(const wchar_t* command, wchar_t* out, size_t capacity)
{
    return CCommandText(m_matcher).ExpandVariables(command, out, capacity);
}

bool CProgramLauncher::InsertPath(const wchar_t* expanded, const wchar_t* path, wchar_t* out,
                                  size_t capacity)
{
    return CCommandText::InsertPath(expanded, path, out, capacity);
}

bool CProgramLauncher::BuildWebSiteCommandLine(const wchar_t* address,
                                               const wchar_t* windowsDirectory, wchar_t* out,
                                               size_t capacity)
{
    return CCommandText::BuildWebSiteCommandLine(address, windowsDirectory, out, capacity);
}

bool CProgramLauncher::IsPassedUnchanged(const wchar_t* address)
{
    return CCommandText::IsPassedUnchanged(address);
}

bool CProgramLauncher::Start(wchar_t* commandLine, const wchar_t* desktopName)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    // lpDesktop is declared writable, so it gets a copy of its own.
    std::wstring desktop(desktopName ? desktopName : L"");
    startup.lpDesktop = desktopName ? desktop.data() : nullptr;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    // We never look at the program again; holding its handles would keep
    // its process object alive after it ends.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

void CProgramLauncher::TellFailure(const wchar_t* text, const wchar_t* desktopName)
{
    // Not on this thread: the switcher must go on taking switch requests
    // while the user reads it, and must never own a window. Shown where the
    // program would have opened, which is where the user now is.
    CDetachedMessageBox::ShowOn(desktopName, text, g_module.m_fullName, MB_OK);
}
