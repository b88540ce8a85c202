#pragma once

#include <windows.h>

#include "CWatchBlock.h"

// Quillow's half of QuillowWatch.exe: starts it, and keeps the page it reads
// once Quillow has ended up to date. Every mark is safe to make whether or
// not the watchdog runs; without it they simply go nowhere.
class CWatchdog {
public:
    // block: where the marks go until Start shares a page; tests pass their own.
    explicit CWatchdog(CWatchBlock* block = nullptr) : m_block(block ? block : &m_unshared) {}
    // The page is never unmapped: a worker still switching while the process
    // ends must not write into freed memory.
    CWatchdog(const CWatchdog&) = delete;
    CWatchdog& operator=(const CWatchdog&) = delete;

    static CWatchdog& Instance();

    // Starts QuillowWatch.exe from beside our own exe. Called from the main
    // thread before any other thread exists, so that no other CreateProcess
    // can inherit the two handles made inheritable for it. False if it could
    // not be started; Quillow runs on without it.
    bool Start();
    bool Start(const wchar_t* watchExe);

    void SetPrivateShown(bool shown);
    void SetTaskManagerPolicySet(bool set);
    void SetRestoreGuarded(bool guarded);
    bool PrivateShown() const { return m_block->privateShown != 0; }
    bool TaskManagerPolicySet() const { return m_block->taskManagerPolicySet != 0; }
    // The very last thing of a normal exit.
    void MarkCleanStop();

private:
    bool ShareBlock();
    bool Launch(const wchar_t* watchExe, HANDLE process, HANDLE block);

    CWatchBlock m_unshared{};
    CWatchBlock* m_block;
    HANDLE m_mapping = nullptr;
    void* m_view = nullptr;
};
