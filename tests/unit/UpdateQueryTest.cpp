#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "ScratchRegistryKey.h"
#include "update/CUpdateQuery.h"

namespace {

// What the maker's server is sent, written out here on its own rather than
// taken from the code under test.
const char kPath[] = "/checkup/orvane-quillow-veil-key/";
const char kExpectedRequest[] =
    "GET  /checkup/orvane-quillow-veil-key/ HTTP/1.1\r\n"
    "Host:127.0.0.1\r\n"
    "Accept:*/*\r\n"
    "User-Agent:Mozilla/4.0 (compatible;MSIE 5.00; Windows 98)\r\n"
    "Pragma: no-cache\r\n"
    "Cache-Control: no-cache\r\n"
    "Connection:Close\r\n"
    "\r\n";

const char kHeaders[] = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n\r\n";

// A web server of the test's own on 127.0.0.1: accepts one connection, reads
// the request, answers with scripted pieces and pauses, and closes or keeps
// the connection open as told.
class LocalResponder {
public:
    struct Script {
        std::vector<std::string> pieces;
        DWORD pauseMs = 0;
        bool keepOpen = false;
    };

    LocalResponder()
    {
        WSADATA data{};
        m_started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
        m_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_requestRead = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int size = sizeof(address);
        if (bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
            listen(m_listener, 1) == 0 &&
            getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size) == 0)
            m_port = ntohs(address.sin_port);
    }

    ~LocalResponder()
    {
        SetEvent(m_stop);
        // Closing the listener ends an accept that no client ever answered.
        closesocket(m_listener);
        if (m_thread) {
            WaitForSingleObject(m_thread, 10000);
            CloseHandle(m_thread);
        }
        CloseHandle(m_requestRead);
        CloseHandle(m_stop);
        if (m_started)
            WSACleanup();
    }

    bool Serve(Script script)
    {
        m_script = std::move(script);
        m_thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
        return m_port != 0 && m_thread != nullptr;
    }

    USHORT Port() const { return m_port; }

    std::string Request() const
    {
        return WaitForSingleObject(m_requestRead, 10000) == WAIT_OBJECT_0 ? m_request
                                                                          : "(no request)";
    }

private:
    static DWORD WINAPI Run(void* self)
    {
        auto* responder = static_cast<LocalResponder*>(self);
        SOCKET client = accept(responder->m_listener, nullptr, nullptr);
        if (client == INVALID_SOCKET)
            return 1;
        responder->Answer(client);
        closesocket(client);
        return 0;
    }

    void Answer(SOCKET client)
    {
        ReadRequest(client);
        for (const std::string& piece : m_script.pieces) {
            if (!SendAll(client, piece))
                return;
            if (m_script.pauseMs && WaitForSingleObject(m_stop, m_script.pauseMs) == WAIT_OBJECT_0)
                return;
        }
        if (m_script.keepOpen)
            WaitForSingleObject(m_stop, 60000);
    }

    void ReadRequest(SOCKET client)
    {
        char piece[512];
        while (m_request.find("\r\n\r\n") == std::string::npos && m_request.size() < 4096) {
            const int got = recv(client, piece, sizeof(piece), 0);
            if (got <= 0)
                break;
            m_request.append(piece, static_cast<size_t>(got));
        }
        SetEvent(m_requestRead);
    }

    static bool SendAll(SOCKET client, const std::string& text)
    {
        size_t sent = 0;
        while (sent < text.size()) {
            const int got = send(client, text.data() + sent, static_cast<int>(text.size() - sent), 0);
            if (got <= 0)
                return false;
            sent += static_cast<size_t>(got);
        }
        return true;
    }

    bool m_started = false;
    SOCKET m_listener = INVALID_SOCKET;
    USHORT m_port = 0;
    HANDLE m_thread = nullptr;
    HANDLE m_stop = nullptr;
    HANDLE m_requestRead = nullptr;
    Script m_script;
    std::string m_request;
};

// A port on which nobody listens: bound for a moment, then let go.
USHORT ClosedPort()
{
    WSADATA data{};
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof(address);
    bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
    closesocket(probe);
    WSACleanup();
    return ntohs(address.sin_port);
}

std::string Split(const std::string& text, size_t pieceSize, std::vector<std::string>* pieces)
{
    for (size_t at = 0; at < text.size(); at += pieceSize)
        pieces->push_back(text.substr(at, pieceSize));
    return text;
}

// --- The fetch ----------------------------------------------------------

TEST(UpdateFetchTest, RequestReachesTheServerByteForByte)
{
    LocalResponder server;
    ASSERT_TRUE(server.Serve({{std::string(kHeaders) + "ok"}}));
    CUpdateQuery query(L"Software\\QuillowTest-Unused");
    char reply[CUpdateQuery::kReplyCapacity];
    query.Fetch("127.0.0.1", kPath, server.Port(), reply, sizeof(reply));
    EXPECT_EQ(std::string(kExpectedRequest), server.Request());
}

TEST(UpdateFetchTest, ReplySplitOverManyPiecesIsReadWhole)
{
    std::string body;
    for (int line = 0; body.size() < 6000; ++line)
        body += "line " + std::to_string(line) + " of the reply\r\n";
    LocalResponder::Script script;
    const std::string whole = Split(std::string(kHeaders) + body, 97, &script.pieces);
    script.pauseMs = 2;
    LocalResponder server;
    ASSERT_TRUE(server.Serve(script));
    ASSERT_GT(script.pieces.size(), 50u);

    CUpdateQuery query(L"Software\\QuillowTest-Unused");
    char reply[CUpdateQuery::kReplyCapacity];
    EXPECT_EQ(whole.size(), query.Fetch("127.0.0.1", kPath, server.Port(), reply, sizeof(reply)));
    EXPECT_EQ(whole, std::string(reply));
}

TEST(UpdateFetchTest, OverLongReplyIsCutAtCapacityAndNothingIsWrittenPastIt)
{
    std::string body(30000, 'x');
    for (size_t at = 0; at < body.size(); at += 100)
        body[at] = static_cast<char>('a' + (at / 100) % 26);
    LocalResponder::Script script;
    const std::string whole = Split(std::string(kHeaders) + body, 5000, &script.pieces);
    LocalResponder server;
    ASSERT_TRUE(server.Serve(script));

    CUpdateQuery query(L"Software\\QuillowTest-Unused");
    std::vector<char> buffer(CUpdateQuery::kReplyCapacity + 64, '#');
    const size_t got =
        query.Fetch("127.0.0.1", kPath, server.Port(), buffer.data(), CUpdateQuery::kReplyCapacity);
    EXPECT_EQ(CUpdateQuery::kReplyCapacity - 1, got);
    EXPECT_EQ('\0', buffer[CUpdateQuery::kReplyCapacity - 1]);
    EXPECT_EQ(whole.substr(0, CUpdateQuery::kReplyCapacity - 1), std::string(buffer.data()));
    EXPECT_EQ(std::string(64, '#'),
              std::string(buffer.data() + CUpdateQuery::kReplyCapacity, 64));
}

TEST(UpdateFetchTest, ServerThatNeverClosesIsEndedByTheReceiveTimeOut)
{
    LocalResponder::Script script;
    script.pieces = {std::string(kHeaders) + "version:4.2</br>"};
    script.keepOpen = true;
    LocalResponder server;
    ASSERT_TRUE(server.Serve(script));

    CUpdateQuery query(L"Software\\QuillowTest-Unused", 1000);
    char reply[CUpdateQuery::kReplyCapacity];
    const ULONGLONG start = GetTickCount64();
    const size_t got = query.Fetch("127.0.0.1", kPath, server.Port(), reply, sizeof(reply));
    const ULONGLONG elapsed = GetTickCount64() - start;
    EXPECT_GE(elapsed, 900u);
    EXPECT_LT(elapsed, 8000u);
    // What came before the time-out is kept.
    EXPECT_EQ(std::string(kHeaders) + "version:4.2</br>", std::string(reply, got));
}

TEST(UpdateFetchTest, TricklingServerIsEndedByOneDeadlineForTheWholeReply)
{
    LocalResponder::Script script;
    Split(std::string(kHeaders) + std::string(500, 'z'), 1, &script.pieces);
    script.pauseMs = 100;  // 50 s in all, were it let through
    LocalResponder server;
    ASSERT_TRUE(server.Serve(script));

    CUpdateQuery query(L"Software\\QuillowTest-Unused", 1000);
    char reply[CUpdateQuery::kReplyCapacity];
    const ULONGLONG start = GetTickCount64();
    const size_t got = query.Fetch("127.0.0.1", kPath, server.Port(), reply, sizeof(reply));
    EXPECT_LT(GetTickCount64() - start, 8000u);
    EXPECT_GT(got, 0u);
    EXPECT_LT(got, script.pieces.size());
}

TEST(UpdateFetchTest, RefusedConnectionGivesAnEmptyReply)
{
    CUpdateQuery query(L"Software\\QuillowTest-Unused");
    char reply[64];
    memset(reply, 'x', sizeof(reply));
    EXPECT_EQ(0u, query.Fetch("127.0.0.1", kPath, ClosedPort(), reply, sizeof(reply)));
    EXPECT_STREQ("", reply);
}

TEST(UpdateFetchTest, HostThatDoesNotResolveGivesAnEmptyReply)
{
    CUpdateQuery query(L"Software\\QuillowTest-Unused");
    char reply[64];
    memset(reply, 'x', sizeof(reply));
    EXPECT_EQ(0u, query.Fetch("no-such-host.quillow.invalid", kPath, 80, reply, sizeof(reply)));
    EXPECT_STREQ("", reply);
}

TEST(UpdateFetchTest, WinsockIsLeftAsFoundAfterSuccessAndFailure)
{
    // Every WSAStartup of the fetch is balanced: after it, a socket call
    // without a startup of our own still fails with WSANOTINITIALISED.
    CUpdateQuery query(L"Software\\QuillowTest-Unused");
    char reply[64];
    query.Fetch("127.0.0.1", kPath, ClosedPort(), reply, sizeof(reply));
    {
        LocalResponder server;
        ASSERT_TRUE(server.Serve({{std::string(kHeaders)}}));
        query.Fetch("127.0.0.1", kPath, server.Port(), reply, sizeof(reply));
    }
    WSASetLastError(0xdeadbeef);
    EXPECT_EQ(INVALID_SOCKET, socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    EXPECT_EQ(WSANOTINITIALISED, WSAGetLastError());
}

TEST(UpdateFetchTest, RequestThatDoesNotFitIsRefusedNotCut)
{
    const std::string longPath = "/" + std::string(500, 'p');
    char request[CUpdateQuery::kRequestCapacity];
    memset(request, 'x', sizeof(request));
    EXPECT_EQ(0u, CUpdateQuery::FormRequest(longPath.c_str(), "host", request, sizeof(request)));
    EXPECT_STREQ("", request);
}

// --- Reading the items --------------------------------------------------

class UpdateItemsTest : public ::testing::Test {
protected:
    CUpdateReply::Items Read(const char* reply)
    {
        CUpdateReply::Items items;
        reader.Extract(reply, &items);
        return items;
    }

    CUpdateReply reader;
};

TEST_F(UpdateItemsTest, EveryItemIsReadUpToItsMarker)
{
    const auto items = Read(
        "progName:Quillow</br>version:4.2.0.11</br>revision:11</br>"
        "url:http://www.orvane.com/download/</br>requiredMiniRevision:10</br>");
    EXPECT_STREQ("Quillow", items.programName);
    EXPECT_STREQ("4.2.0.11", items.version);
    EXPECT_EQ(11u, items.revision);
    EXPECT_STREQ("http://www.orvane.com/download/", items.address);
    EXPECT_EQ(10u, items.requiredMinimum);
}

TEST_F(UpdateItemsTest, ItemNamesAndMarkersMatchInAnyLetterCase)
{
    const auto items = Read(
        "VERSION:4.2.0.11</BR>ReViSiOn:11</bR>URL:http://x.example/</Br>"
        "REQUIREDminiREVISION:10</BR>");
    EXPECT_STREQ("4.2.0.11", items.version);
    EXPECT_EQ(11u, items.revision);
    EXPECT_STREQ("http://x.example/", items.address);
    EXPECT_EQ(10u, items.requiredMinimum);
}

TEST_F(UpdateItemsTest, RevisionPlacedAfterRequiredMiniRevisionIsReadFromIt)
{
    // The known trap: "revision:" also matches the end of the longer name.
    const auto items = Read("requiredMiniRevision:10</br>revision:11</br>");
    EXPECT_EQ(10u, items.revision);
    EXPECT_EQ(10u, items.requiredMinimum);
}

TEST_F(UpdateItemsTest, MissingItemsTakeTheirDefaults)
{
    const auto items = Read("HTTP/1.1 200 OK  nothing to see here");
    EXPECT_STREQ("", items.programName);
    EXPECT_STREQ("", items.version);
    EXPECT_STREQ("", items.address);
    EXPECT_EQ(0u, items.revision);
    EXPECT_EQ(0x9999u, items.requiredMinimum);
}

TEST_F(UpdateItemsTest, EmptyValueCountsAsMissing)
{
    // The shortest value is one character: "revision:</br>" has none, and the
    // match runs on to the next marker instead.
    const auto items = Read("revision:</br>requiredMiniRevision:</br>");
    EXPECT_EQ(0x9999u, items.requiredMinimum);
}

TEST_F(UpdateItemsTest, NumberWithoutDigitsCountsAsMissing)
{
    const auto items = Read("revision:eleven</br>requiredMiniRevision:-</br>");
    EXPECT_EQ(0u, items.revision);
    EXPECT_EQ(0x9999u, items.requiredMinimum);
}

TEST_F(UpdateItemsTest, NumbersAreReadAsPercentD)
{
    DWORD value = 0;
    EXPECT_TRUE(CUpdateReply::ReadNumber("  12abc", &value));
    EXPECT_EQ(12u, value);
    EXPECT_TRUE(CUpdateReply::ReadNumber("+7", &value));
    EXPECT_EQ(7u, value);
    EXPECT_TRUE(CUpdateReply::ReadNumber("-1", &value));
    EXPECT_EQ(0xFFFFFFFFu, value);
    EXPECT_TRUE(CUpdateReply::ReadNumber("99999999999999", &value));
    EXPECT_EQ(0x7FFFFFFFu, value);
    EXPECT_FALSE(CUpdateReply::ReadNumber(" x1", &value));
    EXPECT_FALSE(CUpdateReply::ReadNumber("", &value));
}

TEST_F(UpdateItemsTest, RevisionThatIsNoPlainPositiveDecimalBelowTwoToThe31IsIgnored)
{
    // Each of these, once stored, would outrank every genuine revision.
    for (const char* text : {"-1", "4294967295", "2147483648", "99999999999999", "12abc", "+12",
                             "0", " ", "1 2", "0x20"}) {
        const std::string reply = std::string("revision:") + text + "</br>";
        EXPECT_EQ(CUpdateReply::kMissingRevision, Read(reply.c_str()).revision) << text;
    }
}

TEST_F(UpdateItemsTest, RevisionUpToTwoToThe31MinusOneIsRead)
{
    EXPECT_EQ(11u, Read("revision:11</br>").revision);
    EXPECT_EQ(11u, Read("revision: 011 </br>").revision) << "blanks around, leading zero";
    EXPECT_EQ(0x7FFFFFFFu, Read("revision:2147483647</br>").revision);
}

TEST_F(UpdateItemsTest, OverLongValuesAreCutToTheirBuffers)
{
    const std::string reply = "version:" + std::string(40, 'v') + "</br>url:http://" +
                              std::string(400, 'u') + "</br>";
    const auto items = Read(reply.c_str());
    EXPECT_EQ(std::string(19, 'v'), items.version);
    EXPECT_EQ(263u, strlen(items.address));
}

TEST_F(UpdateItemsTest, CutVersionNeverEndsInHalfACharacter)
{
    // 18 ASCII bytes, then a two-byte character that would straddle the cut.
    const std::string reply = "version:" + std::string(18, '1') + "\xC3\xA9" + "</br>";
    const auto items = Read(reply.c_str());
    EXPECT_EQ(std::string(18, '1'), items.version);
}

TEST(UpdateFlattenTest, LineBreaksAndTabsBecomeBlanks)
{
    char text[] = "a\r\nb\tc\nd\re";
    CUpdateReply::Flatten(text);
    EXPECT_STREQ("a  b c d e", text);
}

// --- The whole query ----------------------------------------------------

// Each test of the whole query writes to a scratch key of its own.
class UpdateQueryTest : public ::testing::Test {
protected:
    const CScratchRegistryKey scratch{L"Update"};

    void Ask(const std::string& body, LONG evaluate = 1)
    {
        LocalResponder server;
        ASSERT_TRUE(server.Serve({{std::string(kHeaders) + body}}));
        CUpdateQuery query(scratch.Path().c_str());
        query.RunOnPort("127.0.0.1", kPath, server.Port(), evaluate);
        lastReply = query.Reply();
    }

    std::string lastReply;
};

const char kAnnouncement[] =
    "progName:Quillow</br>version:4.2.0.11</br>revision:11</br>"
    "url:http://www.orvane.com/download/</br>requiredMiniRevision:10</br>";

TEST_F(UpdateQueryTest, AnnouncedNewerRevisionIsStored)
{
    Ask(kAnnouncement);
    EXPECT_EQ(L"4.2.0.11", scratch.ReadText(L"UPDATE_VERSION"));
    EXPECT_EQ(L"http://www.orvane.com/download/", scratch.ReadText(L"UPDATE_URL"));
    EXPECT_EQ(11u, scratch.ReadDword(L"UPDATE_REVISION"));
    EXPECT_EQ(0u, scratch.ReadDword(L"UPDATE_SHOWED"));
}

TEST_F(UpdateQueryTest, WholeReplyIsFlattenedToOneLine)
{
    Ask("version:4.2\r\n</br>\tend\r\n");
    ASSERT_FALSE(lastReply.empty());
    EXPECT_EQ(std::string::npos, lastReply.find_first_of("\r\n\t"));
    EXPECT_NE(std::string::npos, lastReply.find("HTTP/1.1 200 OK  Content-Type"));
}

TEST_F(UpdateQueryTest, ValueWithLineBreaksIsReadWithBlanks)
{
    Ask("version:4.2\r\n0.11</br>revision:11</br>url:http://a.example/dl</br>"
        "requiredMiniRevision:10</br>");
    EXPECT_EQ(L"4.2  0.11", scratch.ReadText(L"UPDATE_VERSION"));
}

TEST_F(UpdateQueryTest, AddressBrokenByALineBreakIsNotStored)
{
    // Read as "http://a.example/ dl", which the prompt would never open.
    Ask("version:4.2</br>revision:11</br>url:http://a.example/\ndl</br>"
        "requiredMiniRevision:10</br>");
    EXPECT_FALSE(scratch.Has(L"UPDATE_URL"));
    EXPECT_FALSE(scratch.Has(L"UPDATE_REVISION"));
}

TEST_F(UpdateQueryTest, RevisionMinusOneDoesNotPinTheRecord)
{
    Ask("version:6.6.6</br>revision:-1</br>url:http://a.example/</br>"
        "requiredMiniRevision:0</br>");
    EXPECT_FALSE(scratch.Has(L"UPDATE_REVISION"));
    Ask(kAnnouncement);
    EXPECT_EQ(11u, scratch.ReadDword(L"UPDATE_REVISION")) << "the genuine update still gets in";
}

TEST_F(UpdateQueryTest, Utf8TextsAreStoredAsUtf16)
{
    Ask("version:4.2 \xC3\x9F\xE2\x82\xAC</br>revision:11</br>url:http://a.example/\xC3\xA9</br>"
        "requiredMiniRevision:10</br>");
    EXPECT_EQ(L"4.2 \u00DF\u20AC", scratch.ReadText(L"UPDATE_VERSION"));
    EXPECT_EQ(L"http://a.example/\u00E9", scratch.ReadText(L"UPDATE_URL"));
}

TEST_F(UpdateQueryTest, ReplyIsNotEvaluatedWhenTheSettingIsOff)
{
    Ask(kAnnouncement, 0);
    EXPECT_FALSE(lastReply.empty()) << "the request is still made";
    EXPECT_FALSE(scratch.Has(L"UPDATE_REVISION"));
    EXPECT_FALSE(scratch.Has(L"UPDATE_VERSION"));
}

TEST_F(UpdateQueryTest, ReplyWithoutRevisionOrMinimumNeverAnnounces)
{
    Ask("version:9.9</br>url:http://a.example/</br>requiredMiniRevision:1</br>");
    Ask("version:9.9</br>revision:99</br>url:http://a.example/</br>");
    EXPECT_FALSE(scratch.Has(L"UPDATE_REVISION"));
}

TEST_F(UpdateQueryTest, RevisionAfterRequiredMiniRevisionAnnouncesNothing)
{
    Ask("version:4.2.0.11</br>url:http://a.example/</br>requiredMiniRevision:10</br>"
        "revision:11</br>");
    EXPECT_FALSE(scratch.Has(L"UPDATE_REVISION"));
}

TEST_F(UpdateQueryTest, RefusedConnectionWritesNothing)
{
    CUpdateQuery query(scratch.Path().c_str());
    query.RunOnPort("127.0.0.1", kPath, ClosedPort(), 1);
    EXPECT_STREQ("", query.Reply());
    EXPECT_FALSE(scratch.Has(L"UPDATE_REVISION"));
}

}  // namespace
