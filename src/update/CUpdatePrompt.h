#pragma once

#include <windows.h>

#include <functional>

#include "app/CMyAppModule.h"
#include "base/CRegistryPath.h"

// Offers a stored announcement once per run, when the settings window is
// brought up, and opens the download page on consent. Runs on the
// user-interface thread and never talks to the server.
class CUpdatePrompt {
public:
    using MessageBoxFunction = std::function<int(HWND, const wchar_t*, const wchar_t*, UINT)>;
    using OpenFunction = std::function<void(const wchar_t*)>;

    static constexpr DWORD kVersionChars = 20;   // terminator included
    static constexpr DWORD kAddressChars = 260;  // terminator included
    static constexpr size_t kTextChars = 160;

    // The message box and the opening of the address are parameters so that
    // tests can answer and watch without windows or a browser.
    explicit CUpdatePrompt(const wchar_t* settingsKey = g_module.m_settingsKey,
                           MessageBoxFunction messageBox = ::MessageBoxW,
                           OpenFunction open = OpenInBrowser);
    CUpdatePrompt(const CUpdatePrompt&) = delete;
    CUpdatePrompt& operator=(const CUpdatePrompt&) = delete;

    // Does nothing while an earlier call's question is still open.
    void Run(HWND owner);

    // The question with the version in place of "%s"; cut to fit.
    static void FormText(const wchar_t* version, wchar_t* out, size_t capacity);

private:
    static void OpenInBrowser(const wchar_t* address);
    bool AlreadyShown() const;
    void Offer(HWND owner);

    CRegistryPath m_registry;
    MessageBoxFunction m_messageBox;
    OpenFunction m_open;
    bool m_running = false;
};
