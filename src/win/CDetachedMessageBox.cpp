#include "win/CDetachedMessageBox.h"

#include <memory>

#include "base/CTrace.h"

bool CDetachedMessageBox::Show(const wchar_t* text, const wchar_t* caption, UINT type)
{
    return Start(new CDetachedMessageBox(text, caption, type, CopyOfCallersDesktop()));
}

bool CDetachedMessageBox::ShowOn(const wchar_t* desktopName, const wchar_t* text,
                                 const wchar_t* caption, UINT type)
{
    HDESK desktop = OpenByName(desktopName);
    return Start(
        new CDetachedMessageBox(text, caption, type, desktop ? desktop : CopyOfCallersDesktop()));
}

bool CDetachedMessageBox::Start(CDetachedMessageBox* made)
{
    std::unique_ptr<CDetachedMessageBox> box(made);
    HANDLE thread = CreateThread(nullptr, 0, ThreadProc, box.get(), 0, nullptr);
    if (!thread)
        return false;
    box.release();  // the thread owns it now
    CloseHandle(thread);
    return true;
}

CDetachedMessageBox::CDetachedMessageBox(const wchar_t* text, const wchar_t* caption, UINT type,
                                         HDESK desktop)
    : m_text(text ? text : L""), m_caption(caption ? caption : L""), m_type(type), m_desktop(desktop)
{
}

HDESK CDetachedMessageBox::OpenByName(const wchar_t* desktopName)
{
    if (!desktopName || !*desktopName)
        return nullptr;
    return OpenDesktopW(desktopName, 0, FALSE,
                        DESKTOP_CREATEWINDOW | DESKTOP_CREATEMENU | DESKTOP_READOBJECTS |
                            DESKTOP_WRITEOBJECTS);
}

HDESK CDetachedMessageBox::CopyOfCallersDesktop()
{
    // A handle of the box's own: the caller may close its handle while the
    // box is still open.
    HANDLE copy = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetThreadDesktop(GetCurrentThreadId()),
                         GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
        return nullptr;
    return static_cast<HDESK>(copy);
}

DWORD WINAPI CDetachedMessageBox::ThreadProc(void* box)
{
    std::unique_ptr<CDetachedMessageBox> owned(static_cast<CDetachedMessageBox*>(box));
    owned->Run();
    return 0;
}

void CDetachedMessageBox::Run() const
{
    // A new thread starts on the process's first desktop, which need not be
    // the one the caller works on. Without the copy the box still shows,
    // there.
    HDESK initial = GetThreadDesktop(GetCurrentThreadId());
    const bool moved = m_desktop && SetThreadDesktop(m_desktop);
    if (m_desktop && !moved)
        CTrace::LastError(L"SetThreadDesktop", m_caption.c_str());
    MessageBoxW(nullptr, m_text.c_str(), m_caption.c_str(), m_type);
    // The box's window is gone, so the thread may move back, and only then
    // may the handle be closed: a desktop in use by a thread cannot be.
    if (moved)
        SetThreadDesktop(initial);
}

CDetachedMessageBox::~CDetachedMessageBox()
{
    if (m_desktop)
        CloseDesktop(m_desktop);
}
