#include "CProgramLauncher.h"

#include <shlwapi.h>

#include <cwchar>
#include <string>

#include "../core/CDetachedMessageBox.h"
#include "../core/CMyAppModule.h"

namespace {

const wchar_t kReferencePattern[] = L"%([^%]+?)%";
const wchar_t kWebSiteFailure[] = L"CreateProcess for OpenWebsite failed";

// Appends count characters of text, or as many as fit. out stays terminated
// either way; false tells the caller the text was cut.
bool Append(wchar_t* out, size_t capacity, size_t& length, const wchar_t* text, size_t count)
{
    const size_t room = capacity - 1 - length;
    const size_t taken = count < room ? count : room;
    wmemcpy(out + length, text, taken);
    length += taken;
    out[length] = L'\0';
    return taken == count;
}

bool Append(wchar_t* out, size_t capacity, size_t& length, const wchar_t* text)
{
    return Append(out, capacity, length, text, wcslen(text));
}

bool IsLetter(wchar_t c, wchar_t small) { return c == small || c == small - (L'a' - L'A'); }

}  // namespace

CProgramLauncher::CProgramLauncher(CPatternMatcher& matcher) : m_matcher(matcher)
{
    m_classes.SetRoot(HKEY_CLASSES_ROOT);
}

void CProgramLauncher::OpenFile(const wchar_t* path, const wchar_t* desktopName)
{
    if (!path)
        return;
    wchar_t commandLine[kCommandLineChars];
    if (!BuildFileCommandLine(path, commandLine, kCommandLineChars)) {
        // Empty when nothing is registered, which is no failure to report;
        // otherwise the line was too long to start.
        if (commandLine[0] != L'\0')
            TellFailure(commandLine);
        return;
    }
    if (!Start(commandLine, desktopName))
        TellFailure(commandLine);
}

void CProgramLauncher::OpenWebSite(const wchar_t* address, const wchar_t* desktopName,
                                   const wchar_t* windowsDirectory)
{
    if (!address || !windowsDirectory)
        return;
    wchar_t commandLine[kWebCommandLineChars];
    if (!BuildWebSiteCommandLine(address, windowsDirectory, commandLine, kWebCommandLineChars) ||
        !Start(commandLine, desktopName))
        TellFailure(kWebSiteFailure);
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
        size_t length = 0;
        Append(out, capacity, length, command);
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
    wchar_t className[kClassNameChars];
    if (!ReadDefaultValue(extension, className, kClassNameChars))
        return false;
    wchar_t keyPath[kKeyPathChars];
    size_t length = 0;
    if (!Append(keyPath, kKeyPathChars, length, className) ||
        !Append(keyPath, kKeyPathChars, length, L"\\shell\\Open\\command"))
        return false;
    return ReadDefaultValue(keyPath, out, capacity);
}

bool CProgramLauncher::ReadDefaultValue(const wchar_t* keyPath, wchar_t* out, size_t capacity)
{
    out[0] = L'\0';
    if (m_classes.SetPath(keyPath) != ERROR_SUCCESS)
        return false;
    // A value longer than the buffer is refused by the read itself.
    DWORD chars = capacity > MAXDWORD ? MAXDWORD : static_cast<DWORD>(capacity);
    return m_classes.ReadString(nullptr, out, &chars) == ERROR_SUCCESS && out[0] != L'\0';
}

bool CProgramLauncher::ExpandVariables(const wchar_t* command, wchar_t* out, size_t capacity)
{
    if (!out || capacity == 0)
        return false;
    out[0] = L'\0';
    if (!command)
        return false;
    size_t length = 0;
    const wchar_t* rest = command;
    bool fits = true;
    bool more = true;
    while (fits && more)
        fits = ExpandNextReference(rest, out, capacity, length, more);
    return fits && Append(out, capacity, length, rest);
}

bool CProgramLauncher::ExpandNextReference(const wchar_t*& rest, wchar_t* out, size_t capacity,
                                           size_t& length, bool& more)
{
    more = false;
    wchar_t name[kVariableNameChars];
    if (m_matcher.MatchWide(rest, kReferencePattern, name, kVariableNameChars) == 0)
        return true;
    // The matcher gives the name, not where it stands; the first place the
    // whole reference occurs is where the match was, since any earlier one
    // would have matched first. A name cut by the matcher is found nowhere,
    // and the rest is then kept as written.
    wchar_t reference[kVariableNameChars + 2];
    size_t referenceLength = 0;
    Append(reference, kVariableNameChars + 2, referenceLength, L"%");
    Append(reference, kVariableNameChars + 2, referenceLength, name);
    Append(reference, kVariableNameChars + 2, referenceLength, L"%");
    const wchar_t* at = wcsstr(rest, reference);
    if (!at)
        return true;
    if (!Append(out, capacity, length, rest, static_cast<size_t>(at - rest)))
        return false;
    more = true;
    bool defined = false;
    if (!AppendVariable(name, out, capacity, length, defined))
        return false;
    if (defined) {
        rest = at + referenceLength;
        return true;
    }
    // Kept as written up to its closing %, which may open the next reference.
    rest = at + referenceLength - 1;
    return Append(out, capacity, length, at, referenceLength - 1);
}

bool CProgramLauncher::AppendVariable(const wchar_t* name, wchar_t* out, size_t capacity,
                                      size_t& length, bool& defined)
{
    const size_t room = capacity - length;
    SetLastError(0);
    const DWORD result = GetEnvironmentVariableW(
        name, out + length, room > MAXDWORD ? MAXDWORD : static_cast<DWORD>(room));
    if (result == 0) {
        defined = GetLastError() != ERROR_ENVVAR_NOT_FOUND;
        out[length] = L'\0';
        return true;
    }
    defined = true;
    if (result >= room) {
        // The value does not fit: whatever the call left there is dropped.
        out[length] = L'\0';
        return false;
    }
    length += result;
    return true;
}

bool CProgramLauncher::InsertPath(const wchar_t* expanded, const wchar_t* path, wchar_t* out,
                                  size_t capacity)
{
    if (!out || capacity == 0)
        return false;
    out[0] = L'\0';
    if (!expanded || !path)
        return false;
    size_t length = 0;
    const wchar_t* placeholder = wcsstr(expanded, L"%1");
    if (!placeholder) {
        return Append(out, capacity, length, expanded) && Append(out, capacity, length, L" ") &&
               Append(out, capacity, length, path);
    }
    return Append(out, capacity, length, expanded, static_cast<size_t>(placeholder - expanded)) &&
           Append(out, capacity, length, path) &&
           Append(out, capacity, length, placeholder + 2);
}

bool CProgramLauncher::BuildWebSiteCommandLine(const wchar_t* address,
                                               const wchar_t* windowsDirectory, wchar_t* out,
                                               size_t capacity)
{
    if (!out || capacity == 0)
        return false;
    out[0] = L'\0';
    if (!address || !windowsDirectory)
        return false;
    size_t length = 0;
    return Append(out, capacity, length, L"\"") &&
           Append(out, capacity, length, windowsDirectory) &&
           Append(out, capacity, length, L"\\explorer.exe\" \"") &&
           (IsPassedUnchanged(address) || Append(out, capacity, length, L"http://")) &&
           Append(out, capacity, length, address) && Append(out, capacity, length, L"\"");
}

bool CProgramLauncher::IsPassedUnchanged(const wchar_t* address)
{
    // Only the four letters count: "https" and "httpx" alike pass, "ftp://"
    // and every other scheme get http:// in front.
    if (!address || wcsnlen(address, 5) < 5)
        return false;
    return IsLetter(address[0], L'h') && IsLetter(address[1], L't') &&
           IsLetter(address[2], L't') && IsLetter(address[3], L'p');
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

void CProgramLauncher::TellFailure(const wchar_t* text)
{
    // Not on this thread: the switcher must go on taking switch requests
    // while the user reads it, and must never own a window, or its next
    // SetThreadDesktop fails.
    CDetachedMessageBox::Show(text, g_module.m_fullName, MB_OK);
}
