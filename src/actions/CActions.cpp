#include "CActions.h"

// cleaners: includes

// processes: includes

// launcher: includes

void CActions::Mute()
{
    // cleaners: mute
}

void CActions::MonitorOff()
{
    // cleaners: monitor off
}

void CActions::ClearBrowserHistory()
{
    // cleaners: browser history
}

void CActions::ClearTypedUrls()
{
    // cleaners: typed urls
}

void CActions::ClearRecentDocuments()
{
    // cleaners: recent documents
}

void CActions::SetTaskManagerPolicy(DWORD value)
{
    // cleaners: task manager
    (void)value;
}

void CActions::CloseWindowsWithTitle(const wchar_t* text)
{
    // processes: close windows
    (void)text;
}

void CActions::OpenFile(const wchar_t* path, const wchar_t* desktopName)
{
    // launcher: open file
    (void)path;
    (void)desktopName;
}

void CActions::OpenWebSite(const wchar_t* address, const wchar_t* desktopName)
{
    // launcher: open web site
    (void)address;
    (void)desktopName;
}

void CActions::TerminateProcesses(const std::vector<std::wstring>& names)
{
    // processes: terminate
    (void)names;
}
