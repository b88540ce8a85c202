#pragma once

#include <winsock2.h>
#include <windows.h>

#include <cstddef>

#include "app/CMyAppModule.h"
#include "update/CUpdateDecision.h"
#include "update/CUpdateReply.h"

// Asks the maker's web server whether a newer version exists: one HTTP/1.1
// GET over a plain TCP connection, then the items of the reply picked out
// by the reply reader and handed to the update decision. Runs on the
// update-check thread only; its matcher and registry object are its own, so
// it never shares them with the switcher.
class CUpdateQuery {
public:
    static constexpr USHORT kHttpPort = 80;
    static constexpr size_t kRequestCapacity = 400;
    static constexpr size_t kReplyCapacity = 10240;  // terminator included
    static constexpr size_t kPieceSize = 4096;
    static constexpr DWORD kSendTimeoutMs = 10000;
    // Not in the original design: without it a server that never closes
    // the connection would hold the update-check thread for good.
    static constexpr DWORD kReceiveTimeoutMs = 30000;

    explicit CUpdateQuery(const wchar_t* settingsKey = g_module.m_settingsKey,
                          DWORD receiveTimeoutMs = kReceiveTimeoutMs);
    CUpdateQuery(const CUpdateQuery&) = delete;
    CUpdateQuery& operator=(const CUpdateQuery&) = delete;

    // The product always asks on port 80; tests talk to a local server.
    void Run(const char* host, const char* path, LONG evaluate)
    {
        RunOnPort(host, path, kHttpPort, evaluate);
    }
    void RunOnPort(const char* host, const char* path, USHORT port, LONG evaluate);

    // Returns the bytes stored in reply, 0 on any failure. reply is always
    // terminated (empty on failure); a longer reply is cut at capacity - 1
    // bytes and the rest is not read.
    size_t Fetch(const char* host, const char* path, USHORT port, char* reply, size_t capacity);

    // The request bytes; 0 when path and host do not fit the buffer (the
    // request is refused, never cut).
    static size_t FormRequest(const char* path, const char* host, char* out, size_t capacity);

    const char* Reply() const { return m_reply; }
    const CUpdateReply::Items& LastItems() const { return m_items; }

private:
    size_t FetchStarted(const char* host, const char* path, USHORT port, char* reply,
                        size_t capacity);
    size_t FetchOver(SOCKET socket, const char* host, const char* path, USHORT port,
                     char* reply, size_t capacity);
    static bool Connect(SOCKET socket, const char* host, USHORT port);
    static bool SendRequest(SOCKET socket, const char* host, const char* path);
    size_t Receive(SOCKET socket, char* reply, size_t capacity) const;

    CUpdateReply m_replyReader;
    CUpdateDecision m_decision;
    DWORD m_receiveTimeoutMs;
    char m_reply[kReplyCapacity] = {};
    CUpdateReply::Items m_items;
};
