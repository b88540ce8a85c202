#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "win/CDetachedMessageBox.h"

namespace {

constexpr UINT kCallerMessage = WM_APP + 7;
constexpr DWORD kWait = 10000;

std::wstring UniqueCaption()
{
    static int counter = 0;
    return L"QwBox-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
}

struct CBoxSearch {
    std::wstring caption;
    HWND found = nullptr;
};

BOOL CALLBACK FindCaption(HWND window, LPARAM search)
{
    auto* s = reinterpret_cast<CBoxSearch*>(search);
    wchar_t caption[128] = {};
    GetWindowTextW(window, caption, 128);
    if (s->caption != caption)
        return TRUE;
    s->found = window;
    return FALSE;
}

HWND WaitForBox(const std::wstring& caption)
{
    CBoxSearch search{caption};
    for (DWORD waited = 0; waited < kWait && !search.found; waited += 25) {
        EnumWindows(FindCaption, reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            Sleep(25);
    }
    return search.found;
}

std::wstring BoxText(HWND box)
{
    // MessageBox puts its text in the static control with id 0xFFFF.
    wchar_t text[256] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 256);
    return text;
}

// Closes the box as its OK button would, and waits until its thread is gone.
bool CloseBox(HWND box)
{
    HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, GetWindowThreadProcessId(box, nullptr));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    const bool ended = thread && WaitForSingleObject(thread, kWait) == WAIT_OBJECT_0;
    if (thread)
        CloseHandle(thread);
    return ended;
}

// The caller: a thread with a queue of its own, as the switcher has.
struct CCaller {
    std::wstring caption;
    bool shown = false;
    bool messageKept = false;

    static DWORD WINAPI ThreadProc(void* parameter)
    {
        auto* caller = static_cast<CCaller*>(parameter);
        MSG msg;
        PeekMessageW(&msg, nullptr, kCallerMessage, kCallerMessage, PM_NOREMOVE);
        PostThreadMessageW(GetCurrentThreadId(), kCallerMessage, 0, 0);
        wchar_t text[] = L"The document could not be opened.";
        caller->shown = CDetachedMessageBox::Show(text, caller->caption.c_str(), MB_OK);
        // The box must have taken its own copy.
        wmemset(text, L'x', wcslen(text));
        caller->messageKept =
            PeekMessageW(&msg, nullptr, kCallerMessage, kCallerMessage, PM_REMOVE) != FALSE;
        return 0;
    }
};

TEST(DetachedMessageBoxTest, CallerReturnsWhileTheBoxIsOpenAndKeepsItsThreadMessages)
{
    CCaller caller{UniqueCaption()};
    HANDLE thread = CreateThread(nullptr, 0, CCaller::ThreadProc, &caller, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    HWND box = WaitForBox(caller.caption);
    ASSERT_NE(nullptr, box);
    // Checked before the box is closed: a modal loop on the caller would
    // still hold it here, and would have eaten its message.
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, kWait));
    EXPECT_NE(GetWindowThreadProcessId(box, nullptr), GetThreadId(thread));
    EXPECT_EQ(L"The document could not be opened.", BoxText(box)) << "the box kept its own copy";
    EXPECT_TRUE(CloseBox(box));
    WaitForSingleObject(thread, kWait);
    CloseHandle(thread);
    EXPECT_TRUE(caller.shown);
    EXPECT_TRUE(caller.messageKept);
}

}  // namespace
