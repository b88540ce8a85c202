#pragma once

#include <windows.h>

#include <cstddef>

#include "../settings/CRegistryPath.h"
#include "CPatternMatcher.h"

// Starts the program a document is registered to open with, or the shell
// with a web address, directly on a named desktop so that its windows appear
// there. The command lines themselves are built by CCommandText. Every text is built in a buffer of fixed size; a text that would not
// fit is refused, never cut, because a cut command line can start another
// program or open another address than the one the user chose.
class CProgramLauncher {
public:
    // Capacities in wide characters, terminator included.
    static constexpr size_t kClassNameChars = 266;
    static constexpr size_t kKeyPathChars = 266;
    static constexpr size_t kCommandChars = 266;
    static constexpr size_t kVariableNameChars = 266;
    static constexpr size_t kExpandedChars = 266;
    static constexpr size_t kCommandLineChars = 524;
    static constexpr size_t kWebCommandLineChars = 266;

    explicit CProgramLauncher(CPatternMatcher& matcher);
    CProgramLauncher(const CProgramLauncher&) = delete;
    CProgramLauncher& operator=(const CProgramLauncher&) = delete;

    // Starts the program registered to open the file, on the named desktop.
    void OpenFile(const wchar_t* path, const wchar_t* desktopName);
    // Starts explorer.exe from the Windows directory with the address.
    void OpenWebSite(const wchar_t* address, const wchar_t* desktopName,
                     const wchar_t* windowsDirectory);

    // The command line that opens the file. Returns false when the extension
    // has no open command (out is then empty) or when the line would not fit
    // (out then holds the registered command, or as much of the line as
    // fits, for the failure message).
    bool BuildFileCommandLine(const wchar_t* path, wchar_t* out, size_t capacity);
    // The open command registered for the file's extension, unexpanded.
    bool FindRegisteredCommand(const wchar_t* path, wchar_t* out, size_t capacity);
    // Replaces each %NAME% with the variable's value, left to right. An
    // undefined name is kept as written, and its closing % may open the next
    // reference, as the Windows shell expands them.
    bool ExpandVariables(const wchar_t* command, wchar_t* out, size_t capacity);
    // The expanded command with its first "%1" replaced by the path, or with
    // the path appended after one blank when it has none.
    static bool InsertPath(const wchar_t* expanded, const wchar_t* path, wchar_t* out,
                           size_t capacity);
    // explorer.exe with the address as its one quoted argument; a quote in
    // the address is written as %22.
    static bool BuildWebSiteCommandLine(const wchar_t* address, const wchar_t* windowsDirectory,
                                        wchar_t* out, size_t capacity);
    // True when the address goes to the shell as written: five characters
    // or more, beginning with the letters http in either case.
    static bool IsPassedUnchanged(const wchar_t* address);

private:
    static bool Start(wchar_t* commandLine, const wchar_t* desktopName);
    static void TellFailure(const wchar_t* text, const wchar_t* desktopName);
    bool ReadDefaultValue(const wchar_t* keyPath, wchar_t* out, size_t capacity);

    CPatternMatcher& m_matcher;
    CRegistryPath m_classes;
};
