// The trace is read as a user's debug viewer reads it: through the DBWIN
// buffer that OutputDebugStringW writes to when no debugger is attached.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "base/CTrace.h"
#include "threads/CShownDesktop.h"

namespace {

class CDebugViewer {
public:
    CDebugViewer()
    {
        m_mutex = CreateMutexW(nullptr, FALSE, L"DBWinMutex");
        m_bufferReady = CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_BUFFER_READY");
        m_dataReady = CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY");
        m_section = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kSize,
                                       L"DBWIN_BUFFER");
        if (m_section)
            m_view = static_cast<const char*>(MapViewOfFile(m_section, FILE_MAP_READ, 0, 0, kSize));
    }
    ~CDebugViewer()
    {
        if (m_view)
            UnmapViewOfFile(m_view);
        for (HANDLE handle : {m_section, m_dataReady, m_bufferReady, m_mutex})
            if (handle)
                CloseHandle(handle);
    }

    bool Ready() const { return m_view && m_bufferReady && m_dataReady; }

    // Runs what should leave a trace and collects every line written
    // meanwhile. Each writer waits until the viewer has taken the line
    // before, so the lines are taken on a thread of their own.
    template <class Action>
    std::string Collect(Action action)
    {
        std::string lines;
        std::atomic<bool> done{false};
        std::thread reader([&] {
            SetEvent(m_bufferReady);
            for (;;) {
                if (WaitForSingleObject(m_dataReady, 200) != WAIT_OBJECT_0) {
                    if (done.load())
                        return;
                    continue;
                }
                // The writer's process id, then its text.
                lines.append(m_view + sizeof(DWORD), strnlen(m_view + sizeof(DWORD), kSize - 5));
                SetEvent(m_bufferReady);
            }
        });
        action();
        done.store(true);
        reader.join();
        return lines;
    }

private:
    static constexpr DWORD kSize = 4096;
    HANDLE m_mutex = nullptr;
    HANDLE m_bufferReady = nullptr;
    HANDLE m_dataReady = nullptr;
    HANDLE m_section = nullptr;
    const char* m_view = nullptr;
};

BOOL WINAPI RefusingSwitchDesktop(HDESK)
{
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

TEST(TraceTest, ARefusedSwitchLeavesTheCallItsErrorAndWhere)
{
    CDebugViewer viewer;
    ASSERT_TRUE(viewer.Ready());
    CWatchBlock block{};
    CWatchdog watchdog{&block};
    CCrashGuard crashGuard{RefusingSwitchDesktop};
    CShownDesktop shown{watchdog, crashGuard, RefusingSwitchDesktop};
    shown.SetDesktops(reinterpret_cast<HDESK>(1), reinterpret_cast<HDESK>(2));

    bool switched = true;
    const std::string trace = viewer.Collect([&] { switched = shown.Show(ISwitchPort::kPrivate); });
    EXPECT_FALSE(switched);
    EXPECT_NE(std::string::npos,
              trace.find("Quillow: SwitchDesktop failed, error 5 (to the private desktop)\n"))
        << trace;
}

TEST(TraceTest, ALineKeepsTheLastErrorAndCutsWhatDoesNotFit)
{
    CDebugViewer viewer;
    ASSERT_TRUE(viewer.Ready());
    const std::wstring longContext(1000, L'x');
    const std::string trace = viewer.Collect([&] {
        SetLastError(ERROR_INVALID_HANDLE);
        CTrace::LastError(L"CloseHandle");
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
        CTrace::Result(L"CoCreateInstance", E_NOTIMPL, L"the mixer");
        CTrace::Failure(L"RegSetValueExW", ERROR_ACCESS_DENIED, longContext.c_str());
    });
    EXPECT_NE(std::string::npos, trace.find("Quillow: CloseHandle failed, error 6\n")) << trace;
    EXPECT_NE(std::string::npos,
              trace.find("Quillow: CoCreateInstance failed, 0x80004001 (the mixer)\n"))
        << trace;
    // A context too long for the line is cut, and the line still ends.
    const size_t cut = trace.find("Quillow: RegSetValueExW failed, error 5 (xxx");
    ASSERT_NE(std::string::npos, cut) << trace;
    const size_t end = trace.find('\n', cut);
    ASSERT_NE(std::string::npos, end);
    EXPECT_LT(end - cut, 320u);
}

}  // namespace
