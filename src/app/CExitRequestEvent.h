#pragma once

#include <windows.h>

// The named event through which the installer and the uninstaller ask every
// Quillow of the session to end. A window would be found only from its own
// desktop, and Quillow's frame may sit on a desktop the installer cannot
// see (it runs on whichever one is shown); a kernel object in the session's
// namespace is reached from any desktop.
//
// Manual-reset, so that one SetEvent reaches every instance. Whoever sets it
// resets it again once the processes it waits for have ended, or when it
// gives up on them, so that a Quillow started afterwards is not ended too.
class CExitRequestEvent {
public:
    // packaging/Quillow.nsi opens the event by this same name.
    static constexpr const wchar_t* kName = L"Local\\Orvane.Quillow.Exit";

    CExitRequestEvent() = default;
    ~CExitRequestEvent();
    CExitRequestEvent(const CExitRequestEvent&) = delete;
    CExitRequestEvent& operator=(const CExitRequestEvent&) = delete;

    // Creates the event, or opens it when another Quillow made it first.
    // False when neither works (the name is taken by another kind of object,
    // or its owner let us no access): Quillow then runs on without it, and
    // the installer falls back on finding the frame.
    bool Create(const wchar_t* name = kName);
    HANDLE Handle() const { return m_event; }
    // Whether the request still stands.
    bool IsSet() const;

private:
    HANDLE m_event = nullptr;
};
