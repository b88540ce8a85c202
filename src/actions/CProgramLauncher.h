#pragma once

#include <windows.h>

#include <cstddef>

#include "actions/CShellOpener.h"
#include "base/CPatternMatcher.h"

// Starts the program the user chose to open a document with, or the shell
// with a web address, directly on a named desktop so that its windows appear
// there. A document whose program has no command line is opened through the
// shell instead, on that desktop too. The command lines themselves are built
// by CCommandText. Every text is built in a buffer of fixed size; a text that
// would not fit is refused, never cut, because a cut command line can start
// another program or open another address than the one the user chose.
class CProgramLauncher {
public:
    // Capacities in wide characters, terminator included.
    static constexpr size_t kCommandChars = 266;
    static constexpr size_t kVariableNameChars = 266;
    static constexpr size_t kExpandedChars = 266;
    static constexpr size_t kCommandLineChars = 524;
    static constexpr size_t kWebCommandLineChars = 266;

    explicit CProgramLauncher(CPatternMatcher& matcher);
    // With the shell's calls for a document without a command line put in
    // by a test.
    CProgramLauncher(CPatternMatcher& matcher, CShellOpener::AttachCall attach,
                     CShellOpener::ExecuteCall execute);
    CProgramLauncher(const CProgramLauncher&) = delete;
    CProgramLauncher& operator=(const CProgramLauncher&) = delete;

    // Starts the program the user's choice for the file's type opens it
    // with, on the named desktop, or has the shell open it there. Says so
    // when nothing can.
    void OpenFile(const wchar_t* path, const wchar_t* desktopName);
    // Starts explorer.exe from the Windows directory with the address.
    void OpenWebSite(const wchar_t* address, const wchar_t* desktopName,
                     const wchar_t* windowsDirectory);

    // The command line that opens the file. Returns false when the extension
    // has no open command (out is then empty) or when the line would not fit
    // (out then holds the registered command, or as much of the line as
    // fits, for the failure message).
    bool BuildFileCommandLine(const wchar_t* path, wchar_t* out, size_t capacity);
    // The open command of the program the user chose for the file's
    // extension, as the shell finds it (the user's choice first, then the
    // extension's class), unexpanded. False when there is none, also when
    // the program is started by the shell itself (DelegateExecute).
    bool FindRegisteredCommand(const wchar_t* path, wchar_t* out, size_t capacity);
    // A path with a quote or a control character could end the quoted
    // argument it goes into and add others: refused before any command line.
    static bool IsAcceptablePath(const wchar_t* path);
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

    CPatternMatcher& m_matcher;
    CShellOpener m_shellOpener;
};
