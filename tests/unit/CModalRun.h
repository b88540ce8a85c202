// Runs a dialog's modal loop on a thread of its own, as a password thread
// does, so that a test can drive it the way the user would.
#pragma once

#include <windows.h>

#include <string>

// Long enough for a loaded Wine to show a dialog, short enough that a dialog
// that never comes fails the test instead of hanging the run.
inline constexpr DWORD kWaitMs = 10000;

struct VisibleDialogSearch {
    HWND found = nullptr;
};

inline BOOL CALLBACK FindVisibleDialog(HWND hwnd, LPARAM param)
{
    wchar_t className[16] = L"";
    GetClassNameW(hwnd, className, 16);
    if (std::wstring(className) != L"#32770" || !IsWindowVisible(hwnd))
        return TRUE;
    reinterpret_cast<VisibleDialogSearch*>(param)->found = hwnd;
    return FALSE;
}

template <class Dialog>
class CModalRun {
public:
    explicit CModalRun(Dialog& dialog, LPARAM init = 0) : m_dialog(dialog), m_init(init)
    {
        m_thread = CreateThread(nullptr, 0, Proc, this, 0, &m_threadId);
    }

    ~CModalRun()
    {
        if (!m_thread)
            return;
        // A test that failed half-way still closes its dialog.
        if (WaitForSingleObject(m_thread, 0) == WAIT_TIMEOUT && m_window)
            PostMessageW(m_window, WM_COMMAND, IDCANCEL, 0);
        WaitForSingleObject(m_thread, kWaitMs);
        CloseHandle(m_thread);
    }

    // The dialog once it is shown, which is after WM_INITDIALOG has run.
    HWND Window()
    {
        for (DWORD waited = 0; !m_window && m_thread && waited < kWaitMs; waited += 10) {
            VisibleDialogSearch search;
            EnumThreadWindows(m_threadId, FindVisibleDialog, reinterpret_cast<LPARAM>(&search));
            m_window = search.found;
            if (!m_window)
                Sleep(10);
        }
        return m_window;
    }

    HWND Item(int id) { return GetDlgItem(Window(), id); }

    // What DoModal returned, or -2 when the dialog is still open.
    INT_PTR Result()
    {
        if (!m_thread || WaitForSingleObject(m_thread, kWaitMs) != WAIT_OBJECT_0)
            return -2;
        return m_result;
    }

    INT_PTR Press(int commandId)
    {
        SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(commandId, BN_CLICKED), 0);
        return Result();
    }

    DWORD ThreadId() const { return m_threadId; }

private:
    static DWORD WINAPI Proc(void* param)
    {
        auto* self = static_cast<CModalRun*>(param);
        self->m_result = self->m_dialog.DoModal(nullptr, self->m_init);
        return 0;
    }

    Dialog& m_dialog;
    LPARAM m_init;
    HANDLE m_thread = nullptr;
    DWORD m_threadId = 0;
    HWND m_window = nullptr;
    INT_PTR m_result = -2;
};

