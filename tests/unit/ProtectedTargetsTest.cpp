#include <gtest/gtest.h>

#include <windows.h>

#include "actions/CProtectedTargets.h"

namespace {

// Image names compare as the file system compares them: in any case.
TEST(ProtectedTargetsTest, SystemProcessesTheShellAndQuillowsOwnAreNeverEndedInAnyCase)
{
    for (const wchar_t* name : {L"sYsTeM", L"CSRSS.EXE", L"Explorer.EXE", L"quillow.exe",
                                L"QUILLOWWATCH.EXE"})
        EXPECT_TRUE(CProtectedTargets::IsNeverEnded(name)) << name;
}

TEST(ProtectedTargetsTest, NamesThatOnlyResembleTheProtectedOnesMayBeEnded)
{
    for (const wchar_t* name : {L"system.exe", L"Quillow", L"QuillowWatch", L"explorer",
                                L"myexplorer.exe", L"svchost.exe.bak", L"notepad.exe", L""})
        EXPECT_FALSE(CProtectedTargets::IsNeverEnded(name)) << name;
    EXPECT_FALSE(CProtectedTargets::IsNeverEnded(nullptr));
}

TEST(ProtectedTargetsTest, WindowsOfSystemProcessesAreLeftAloneButTheShellsAndOursMayClose)
{
    EXPECT_TRUE(CProtectedTargets::AreWindowsLeftAlone(L"DWM.exe"));
    EXPECT_TRUE(CProtectedTargets::AreWindowsLeftAlone(L"csrss.exe"));
    EXPECT_TRUE(CProtectedTargets::AreWindowsLeftAlone(L"TextInputHost.exe"));
    // A folder window, a console, the settings window: the user's to close.
    EXPECT_FALSE(CProtectedTargets::AreWindowsLeftAlone(L"explorer.exe"));
    EXPECT_FALSE(CProtectedTargets::AreWindowsLeftAlone(L"conhost.exe"));
    EXPECT_FALSE(CProtectedTargets::AreWindowsLeftAlone(L"Quillow.exe"));
    EXPECT_FALSE(CProtectedTargets::AreWindowsLeftAlone(L"notepad.exe"));
    EXPECT_FALSE(CProtectedTargets::AreWindowsLeftAlone(nullptr));
}

TEST(ProtectedTargetsTest, PerThreadAndShellDesktopClassesAreNeverClosedInAnyCase)
{
    for (const wchar_t* name : {L"ime", L"msctfime ui", L"GDI+ HOOK WINDOW CLASS", L"PROGMAN",
                                L"shell_traywnd"})
        EXPECT_TRUE(CProtectedTargets::IsNeverClosedClass(name)) << name;
}

TEST(ProtectedTargetsTest, OrdinaryClassesAndNearNamesMayBeClosed)
{
    // A folder window, a console window, a dialog, and names merely like
    // the protected ones.
    for (const wchar_t* name : {L"CabinetWClass", L"ConsoleWindowClass", L"#32770", L"IME2",
                                L"Notepad", L"Progman2", L""})
        EXPECT_FALSE(CProtectedTargets::IsNeverClosedClass(name)) << name;
    EXPECT_FALSE(CProtectedTargets::IsNeverClosedClass(nullptr));
}

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeWindowOfClass(const wchar_t* className)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = PlainProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, className, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                           windowClass.hInstance, nullptr);
}

TEST(ProtectedTargetsTest, AWindowIsJudgedByItsOwnClass)
{
    HWND hook = MakeWindowOfClass(L"GDI+ Hook Window Class");
    HWND document = MakeWindowOfClass(L"QwProtectedTestDocument");
    ASSERT_NE(nullptr, hook);
    ASSERT_NE(nullptr, document);
    EXPECT_TRUE(CProtectedTargets::IsNeverClosedWindow(hook));
    EXPECT_FALSE(CProtectedTargets::IsNeverClosedWindow(document));
    DestroyWindow(hook);
    DestroyWindow(document);
    // Gone: nothing to post to.
    EXPECT_TRUE(CProtectedTargets::IsNeverClosedWindow(document));
}

}  // namespace
