#include "update/CUpdateQuery.h"

#include "base/CTextWriter.h"

#include <cstdio>
#include <cstring>

namespace {
// Kept byte for byte as the maker's server has always seen it, odd
// spacing included: two blanks after GET, no blank after most colons.
// The request is these three pieces with the path and the host between them.
const char kRequestStart[] = "GET  ";
const char kRequestHost[] = " HTTP/1.1\r\nHost:";
const char kRequestEnd[] =
    "\r\nAccept:*/*\r\nUser-Agent:Mozilla/4.0 (compatible;MSIE 5.00; "
    "Windows 98)\r\nPragma: no-cache\r\nCache-Control: no-cache\r\nConnection:Close\r\n\r\n";

size_t Smaller(size_t a, size_t b) { return a < b ? a : b; }
}

CUpdateQuery::CUpdateQuery(const wchar_t* settingsKey, DWORD receiveTimeoutMs)
    : m_decision(settingsKey), m_receiveTimeoutMs(receiveTimeoutMs)
{
}

void CUpdateQuery::RunOnPort(const char* host, const char* path, USHORT port, LONG evaluate)
{
    m_items = CUpdateReply::Items();
    if (Fetch(host, path, port, m_reply, kReplyCapacity) == 0)
        return;
    CUpdateReply::Flatten(m_reply);
    if (!evaluate)
        return;
    m_replyReader.Extract(m_reply, &m_items);
    m_decision.Decide(m_items.version, m_items.address, m_items.revision,
                      m_items.requiredMinimum);
}

size_t CUpdateQuery::Fetch(const char* host, const char* path, USHORT port, char* reply,
                           size_t capacity)
{
    if (!reply || capacity == 0)
        return 0;
    reply[0] = '\0';
    if (!host || !path)
        return 0;
    WSADATA data{};
    if (WSAStartup(0x0002, &data) != 0)
        return 0;
    size_t received = 0;
    if (LOBYTE(data.wVersion) == 2)
        received = FetchStarted(host, path, port, reply, capacity);
    WSACleanup();
    return received;
}

size_t CUpdateQuery::FetchStarted(const char* host, const char* path, USHORT port, char* reply,
                                  size_t capacity)
{
    const protoent* tcp = getprotobyname("tcp");
    if (!tcp)
        return 0;
    SOCKET connection = socket(AF_INET, SOCK_STREAM, tcp->p_proto);
    if (connection == INVALID_SOCKET)
        return 0;
    const size_t received = FetchOver(connection, host, path, port, reply, capacity);
    closesocket(connection);
    return received;
}

size_t CUpdateQuery::FetchOver(SOCKET connection, const char* host, const char* path, USHORT port,
                               char* reply, size_t capacity)
{
    if (!Connect(connection, host, port))
        return 0;
    if (!SendRequest(connection, host, path))
        return 0;
    return Receive(connection, reply, capacity);
}

bool CUpdateQuery::Connect(SOCKET connection, const char* host, USHORT port)
{
    const hostent* entry = gethostbyname(host);
    if (!entry || entry->h_addrtype != AF_INET || !entry->h_addr_list || !entry->h_addr_list[0])
        return false;
    const DWORD sendTimeout = kSendTimeoutMs;
    setsockopt(connection, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&sendTimeout),
               sizeof(sendTimeout));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    memcpy(&address.sin_addr, entry->h_addr_list[0],
           Smaller(sizeof(address.sin_addr), static_cast<size_t>(entry->h_length)));
    return connect(connection, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) !=
           SOCKET_ERROR;
}

bool CUpdateQuery::SendRequest(SOCKET connection, const char* host, const char* path)
{
    char request[kRequestCapacity];
    const size_t length = FormRequest(path, host, request, sizeof(request));
    if (length == 0)
        return false;
    // A blocking send hands over all or fails; a short count would still
    // be a request the server cannot make sense of.
    return send(connection, request, static_cast<int>(length), 0) == static_cast<int>(length);
}

size_t CUpdateQuery::Receive(SOCKET connection, char* reply, size_t capacity) const
{
    // One deadline for the whole reply, handed to each recv as what is left
    // of it: a server trickling a byte at a time is ended as surely as one
    // that sends nothing.
    const ULONGLONG deadline = GetTickCount64() + m_receiveTimeoutMs;
    size_t received = 0;
    while (received < capacity - 1) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            break;
        const DWORD remaining = static_cast<DWORD>(deadline - now);
        setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&remaining),
                   sizeof(remaining));
        const size_t piece = Smaller(kPieceSize, capacity - 1 - received);
        const int got = recv(connection, reply + received, static_cast<int>(piece), 0);
        if (got <= 0)
            break;
        received += static_cast<size_t>(got);
    }
    reply[received] = '\0';
    return received;
}

size_t CUpdateQuery::FormRequest(const char* path, const char* host, char* out, size_t capacity)
{
    if (!out || capacity == 0)
        return 0;
    out[0] = '\0';
    if (!path || !host)
        return 0;
    CTextWriterA request(out, capacity);
    request.Text(kRequestStart).Text(path).Text(kRequestHost).Text(host).Text(kRequestEnd);
    if (!request.Whole()) {
        out[0] = '\0';
        return 0;
    }
    return request.Length();
}
