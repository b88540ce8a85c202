#pragma once

#include <windows.h>

// Work done when the thread's queue runs empty; returning FALSE stops further
// idle calls until the next non-trivial message arrives.
class CIdleHandler {
public:
    virtual BOOL OnIdle() = 0;

protected:
    ~CIdleHandler() = default;
};
