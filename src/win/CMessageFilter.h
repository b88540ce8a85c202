#pragma once

#include <windows.h>

// A window that wants a look at each message before it is dispatched
// (dialog keyboard handling, accelerators).
class CMessageFilter {
public:
    virtual BOOL PreTranslateMessage(MSG* msg) = 0;

protected:
    ~CMessageFilter() = default;
};
