#pragma once

#include <windows.h>

#include <vector>

#include "win/CIdleHandler.h"
#include "win/CMessageFilter.h"

// A thread's message pump with pre-translate filters and idle handlers.
class CMessageLoop {
public:
    virtual ~CMessageLoop() = default;

    void AddMessageFilter(CMessageFilter* filter);
    void RemoveMessageFilter(CMessageFilter* filter);
    void AddIdleHandler(CIdleHandler* handler);
    void RemoveIdleHandler(CIdleHandler* handler);

    // Pumps until WM_QUIT and returns its exit code.
    int Run();

    // Filters are asked newest first; the first that consumes the message wins.
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual BOOL OnIdle(int idleCount);

    // Mouse moves, paints and caret blinks arrive constantly and carry no
    // news, so they do not re-arm the idle handlers.
    static bool IsIdleMessage(const MSG& msg);

protected:
    std::vector<CMessageFilter*> m_filters;
    std::vector<CIdleHandler*> m_idleHandlers;
    MSG m_msg{};
};
