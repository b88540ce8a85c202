// A visible top-level window that stands in for the frame in window tests:
// it records the commands its children send and lets a test look at the
// sender at the very moment a command arrives.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "win/CWindowImpl.h"

class CCommandRecorder : public CWindowImpl<CCommandRecorder> {
public:
    DECLARE_WND_CLASS_EX(L"QuillowTestCommandRecorder", 0,
                         reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), 0)

    struct Command {
        WPARAM wParam;
        LPARAM lParam;
    };

    std::vector<Command> commands;
    std::function<void(const Command&)> onCommand;

    explicit CCommandRecorder(DWORD exStyle = 0, int width = 600, int height = 200)
    {
        const RECT rect{0, 0, width, height};
        Create(nullptr, &rect, L"", WS_POPUP | WS_VISIBLE, exStyle | WS_EX_NOACTIVATE);
    }
    ~CCommandRecorder()
    {
        if (IsWindow())
            DestroyWindow();
    }

    BEGIN_MSG_MAP(CCommandRecorder)
        MESSAGE_HANDLER(WM_COMMAND, OnCommand)
    END_MSG_MAP()

private:
    LRESULT OnCommand(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        const Command command{wParam, lParam};
        if (onCommand)
            onCommand(command);
        commands.push_back(command);
        return 0;
    }
};

// Runs this thread's messages until the condition holds or the time is up;
// returns the condition's last answer.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= timeoutMs)
            return done();
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

// Runs this thread's messages for the given time.
inline void PumpFor(DWORD ms)
{
    PumpUntil([] { return false; }, ms);
}

// Delivers what a test posted, and whatever that caused, before it looks.
inline void PumpPosted()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}
