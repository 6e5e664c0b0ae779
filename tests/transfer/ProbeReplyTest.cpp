// How the download window reads the probe's reply: sizes, redirects, 416, errors.
#include "DownloadFixture.h"
#include "support/HttpFileResponder.h"
#include "support/ScriptedFtpServer.h"
#include "support/ScriptedHttpServer.h"

#include <QDateTime>
#include <QHostAddress>
#include <QLocale>
#include <QTcpSocket>

namespace {

using Reply = ScriptedHttpServer::Reply;

class ProbeReplyTest : public DownloadFixture {};

TEST_F(ProbeReplyTest, Probe200ThenSegmentOnWsHttp) {
    const QByteArray data = patternBytes(5000, 3);
    ScriptedHttpServer server;
    server.setHandler(HttpFileResponder(data));
    frmDownload& dl = start(server.url(QStringLiteral("f.bin")), target());
    ASSERT_TRUE(waitForOutcome());
    expectFile(target(), data);
    EXPECT_EQ(dl.ContentLength, 5000);
    EXPECT_EQ(dl.lblResume, QStringLiteral("** Resume Supported **"));
    EXPECT_EQ(dl.lblStatus, QStringLiteral("Transfer Completed..."));
    EXPECT_TRUE(dl.TransferLog.contains("HTTP/1.1 200"));
}

TEST_F(ProbeReplyTest, First416ThenFullRangeProbeAnd206) {
    const QByteArray data = patternBytes(3000, 4);
    ScriptedHttpServer server;
    server.setHandler(HttpFileResponder(data, {.rejectBadRanges = true}));
    frmDownload& dl = start(server.url(QStringLiteral("f.bin")), target());
    ASSERT_TRUE(waitForOutcome());
    expectFile(target(), data);
    ASSERT_EQ(server.requests().size(), 3);
    EXPECT_EQ(server.requests()[0].header("Range"), QByteArray("bytes=-"));
    EXPECT_EQ(server.requests()[1].header("Range"), QByteArray("bytes=0-"));
    EXPECT_EQ(server.requests()[2].header("Range"), QByteArray("bytes=0-2999"));
    // Check_Create1 clears the flag again.
    EXPECT_FALSE(dl.ProbeFullRange);
}

TEST_F(ProbeReplyTest, ZeroByteFileIsCompletedNotReprobedForever) {
    ScriptedHttpServer server;
    server.setHandler(HttpFileResponder(QByteArray(), {.rejectBadRanges = true}));
    start(server.url(QStringLiteral("empty")), target());
    ASSERT_TRUE(waitForOutcome());
    expectFile(target(), QByteArray());
    EXPECT_EQ(server.requests().size(), 2);
}

TEST_F(ProbeReplyTest, SecondUnsatisfiableRangeStops) {
    ScriptedHttpServer server;
    for (int i = 0; i < 2; ++i)
        server.enqueue(Reply::make("HTTP/1.1 416 Requested Range Not Satisfiable",
                                   {"Content-Range: bytes */77", "Content-Length: 0"}, {}));
    frmDownload& dl = start(server.url(QStringLiteral("f")), target());
    ASSERT_TRUE(waitForOutcome());
    EXPECT_EQ(dl.outcome(), frmDownload::Outcome::Failed);
    EXPECT_EQ(dl.lblStatus, QStringLiteral("HTTP 416 - Requested Range Not Satisfiable"));
    EXPECT_EQ(server.requests().size(), 2);
}

TEST_F(ProbeReplyTest, ErrorTableSetsStatusAndDisablesButtons) {
    const std::pair<int, const char*> cases[] = {
        {400, "HTTP 400-Bad Request"},
        {401, "HTTP 401.x-You are not authorized to view this page"},
        {403, "HTTP 403.x - Forbidden: Acess Denied"},
        {404, "HTTP 404-Object Not Found"},
        {405, "HTTP 405 - Resource Not Allowed"},
        {406, "HTTP Error 406 - Not Acceptable"},
        {407, "HTTP 407 - Proxy Authentication Required"},
        {410, "HTTP Error 410 - Permanently not available"},
        {412, "HTTP 412 - Precondition Failed"},
        {414, "HTTP 414 - Request - URI Too Long"},
        {500, "HTTP Error 500-Server Error - The server failed to fulfill an apparently valid request"},
        {501, "Error 501 - Not implemented"},
        {502, "HTTP 502 - Bad Gateway"},
    };
    for (const auto& [code, text] : cases) {
        SCOPED_TRACE(code);
        ScriptedHttpServer server;
        server.enqueue(Reply::withLength("HTTP/1.1 " + QByteArray::number(code) + " X", "<html>error</html>", {}));
        frmDownload& dl = start(server.url(QStringLiteral("f")), target());
        ASSERT_TRUE(waitForOutcome());
        EXPECT_EQ(dl.outcome(), frmDownload::Outcome::Failed);
        EXPECT_EQ(dl.lblStatus, QString::fromLatin1(text));
        EXPECT_EQ(dl.ListItem->SubItem(5), QString::fromLatin1(text));
        EXPECT_EQ(dl.ListItem->SubItem(2), QStringLiteral("0 %"));
        EXPECT_FALSE(dl.cmdPause.Enabled);
        // A failed window can be closed.
        EXPECT_TRUE(dl.cmdStop.Enabled);
        EXPECT_EQ(dl.cmdStop.Caption, QStringLiteral("&Close"));
        EXPECT_FALSE(QFile::exists(target()));
    }
}

TEST_F(ProbeReplyTest, RedirectChainsFollowAndTheFifthRestarts) {
    const QByteArray data = patternBytes(2048, 5);
    ScriptedHttpServer server;
    HttpFileResponder file(data);
    // /r0 -> /r1 -> ... -> /rN -> /file; relative and absolute locations mixed.
    const int hops = 6;
    server.setHandler([&](const ScriptedHttpServer::Request& request) {
        const QByteArray path = request.target;
        if (path.startsWith("/r")) {
            const int n = path.mid(2).toInt();
            const QByteArray next = n + 1 < hops ? "r" + QByteArray::number(n + 1) : QByteArray("file");
            const QByteArray location = n % 2 ? server.url(QString::fromLatin1(next)).toLatin1() : next;
            return Reply::withLength(n % 3 == 2 ? "HTTP/1.1 307 Temporary Redirect" : "HTTP/1.1 302 Found",
                                     {}, {"Location: " + location});
        }
        return file(request);
    });
    frmDownload& dl = start(server.url(QStringLiteral("r0")), target());
    ASSERT_TRUE(waitForOutcome());
    expectFile(target(), data);
    EXPECT_EQ(dl.RedirectCount, hops);
    EXPECT_EQ(dl.txtURL, server.url(QStringLiteral("file")));
    QList<QByteArray> targets;
    for (const auto& request : server.requests()) targets << request.target;
    const QList<QByteArray> expected = {"/r0", "/r1", "/r2", "/r3", "/r4", "/r5", "/file", "/file"};
    EXPECT_EQ(targets, expected);
}

TEST_F(ProbeReplyTest, RedirectCycleStopsWithAStatus) {
    ScriptedHttpServer server;
    server.setHandler([](const ScriptedHttpServer::Request&) {
        return Reply::withLength("HTTP/1.1 301 Moved Permanently", {}, {"Location: /loop"});
    });
    frmDownload& dl = start(server.url(QStringLiteral("loop")), target());
    ASSERT_TRUE(waitForOutcome());
    EXPECT_EQ(dl.outcome(), frmDownload::Outcome::Failed);
    EXPECT_EQ(dl.lblStatus, QStringLiteral("Too many redirects (more than 20)."));
    EXPECT_EQ(server.requests().size(), 21);
}

// A secure address is followed like any other (HttpsTest has the whole way).
TEST_F(ProbeReplyTest, RedirectToSecureAddressIsFollowed) {
    Settings.Retry = false;
    // Bound, not listening, not shared: refused for as long as the test runs.
    QTcpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress::LocalHost, 0, QAbstractSocket::DontShareAddress));
    const quint16 closedPort = holder.localPort();
    ScriptedHttpServer server;
    server.enqueue(Reply::withLength("HTTP/1.1 302 Found", {},
                                     {"Location: https://127.0.0.1:" + QByteArray::number(closedPort) + "/g"}));
    frmDownload& dl = start(server.url(QStringLiteral("f")), target());
    ASSERT_TRUE(waitFor([&] { return dl.TimeoutTicks == 1 && dl.IsHTTPS; }));
    EXPECT_EQ(dl.Port, closedPort);
    EXPECT_EQ(dl.Path, QStringLiteral("g"));
    dl.tmrTimeOut_Timer();
    EXPECT_EQ(dl.outcome(), frmDownload::Outcome::Failed);
    EXPECT_EQ(dl.lblStatus,
              QStringLiteral("Cannot connect to 127.0.0.1:%1: Connection refused.").arg(closedPort));
    EXPECT_EQ(server.requests().size(), 1);
}

// A redirect to another scheme starts the download anew on that scheme.
TEST_F(ProbeReplyTest, RedirectToFtpDownloadsOverFtp) {
    const QByteArray data = patternBytes(40000, 9);
    ScriptedFtpServer ftp;
    ASSERT_TRUE(ftp.start());
    ftp.addFile(QStringLiteral("pub/file.bin"), data);
    ScriptedHttpServer server;
    const QByteArray location = "ftp://127.0.0.1:" + QByteArray::number(ftp.port()) + "/pub/file.bin";
    server.enqueue(Reply::withLength("HTTP/1.1 302 Found", {}, {"Location: " + location}));
    frmDownload& dl = start(server.url(QStringLiteral("f")), target());
    ASSERT_TRUE(waitForOutcome());
    expectFile(target(), data);
    EXPECT_TRUE(dl.IsFTP);
    EXPECT_EQ(server.requests().size(), 1);
    EXPECT_EQ(ftp.commands(0).last(), "RETR pub/file.bin\r\n");
}

// Interim responses (1xx) before the final one are skipped, on the probe (200)
// and on the segment (206), without another request.
TEST_F(ProbeReplyTest, InterimResponsesBeforeTheReplyAreSkipped) {
    const QByteArray data = patternBytes(6000, 10);
    const struct {
        const char* name;
        QByteArray interim;
        QList<qint64> splitAt;
    } cases[] = {
        {"100", "HTTP/1.1 100 Continue\r\n\r\n", {}},
        {"102", "HTTP/1.1 102 unexpected huh?!\r\n\r\n", {}},
        {"103 with headers", "HTTP/1.1 103 Early Hints\r\nLink: </a.css>; rel=preload\r\n\r\n", {}},
        {"two in a row", "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 199 Something New\r\nX: y\r\n\r\n", {}},
        // Cut inside the status line, inside the blank line, and right after it.
        {"split across reads", "HTTP/1.1 102 Processing\r\n\r\n", {5, 25, 27}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedHttpServer server;
        HttpFileResponder file(data);
        server.setHandler([&](const ScriptedHttpServer::Request& request) {
            Reply reply = file(request);
            reply.raw = c.interim + reply.bytes();
            reply.splitAt = c.splitAt;
            return reply;
        });
        frmDownload& dl = start(server.url(QStringLiteral("f")), target());
        ASSERT_TRUE(waitForOutcome());
        expectFile(target(), data);
        ASSERT_EQ(server.requests().size(), 2);
        EXPECT_EQ(server.requests()[1].header("Range"), QByteArray("bytes=0-5999"));
        EXPECT_EQ(dl.TransferLog.count(c.interim.left(c.interim.indexOf('\r'))), 2);
    }
}

TEST_F(ProbeReplyTest, SizeUnknownOrChunkedIsReadToItsEnd) {
    const QByteArray data = patternBytes(70000, 6);
    struct Case {
        const char* name;
        bool chunked;
    };
    for (const Case& c : {Case{"until close", false}, Case{"chunked", true}}) {
        SCOPED_TRACE(c.name);
        ScriptedHttpServer server;
        server.setHandler([&](const ScriptedHttpServer::Request&) {
            if (c.chunked)
                return Reply::make("HTTP/1.1 200 OK", {"Transfer-Encoding: chunked"},
                                   Reply::chunked({data.left(1000), data.mid(1000, 50000), data.mid(51000)}));
            return Reply::make("HTTP/1.0 200 OK", {"Content-Type: application/octet-stream"}, data);
        });
        frmDownload& dl = start(server.url(QStringLiteral("gen")), target());
        ASSERT_TRUE(waitForOutcome());
        expectFile(target(), data);
        EXPECT_EQ(dl.ContentLength, data.size());
        EXPECT_EQ(server.requests().last().header("Range"), QByteArray("bytes=0-"));
    }
}

TEST_F(ProbeReplyTest, HeaderSplitAcrossReadsAndBodyThatLooksLikeAHeader) {
    QByteArray data = "content-type: text/html\r\nlocation: x\r\n\r\n" + patternBytes(4000, 7);
    ScriptedHttpServer server;
    server.setHandler([&](const ScriptedHttpServer::Request& request) {
        const auto range = HttpFileResponder::parseRange(request.header("Range"), data.size());
        const bool whole = range.kind != HttpFileResponder::Range::Kind::Part;
        const qint64 first = whole ? 0 : range.first;
        const qint64 last = whole ? data.size() - 1 : range.last;
        Reply reply = Reply::withLength(
            whole ? "HTTP/1.1 200 OK" : "HTTP/1.1 206 Partial Content", data.mid(first, last - first + 1),
            {"Content-Type: application/octet-stream",
             "Content-Range: bytes " + QByteArray::number(first) + "-" + QByteArray::number(last) + "/" +
                 QByteArray::number(data.size())});
        // Cut inside the header, inside the blank line, and inside the body.
        reply.splitAt = {10, reply.headerSize() - 2, reply.headerSize() + 30};
        return reply;
    });
    start(server.url(QStringLiteral("f")), target());
    ASSERT_TRUE(waitForOutcome());
    expectFile(target(), data);
}

// A status line and then nothing, or interim replies only: no answer yet, and
// the time-out keeps running.
TEST_F(ProbeReplyTest, HalfAHeaderKeepsTheTimeOutRunning) {
    Settings.Retry = false;
    const QByteArray cases[] = {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\nContent-Ty",
                                "HTTP/1.1 100 Continue\r\n\r\n"};
    for (const QByteArray& sent : cases) {
        SCOPED_TRACE(sent.constData());
        ScriptedHttpServer server;
        Reply reply = Reply::fromRaw(sent);
        reply.stallAfterBytes = sent.size();
        server.enqueue(reply);
        frmDownload& dl = start(server.url(QStringLiteral("f")), target());
        int arrivals = 0;
        QObject::connect(&dl.WSHead, &SocketSet::dataArrival, [&arrivals] { ++arrivals; });
        ASSERT_TRUE(waitFor([&] { return arrivals > 0; }));
        EXPECT_TRUE(dl.tmrTimeOut.isActive());
        EXPECT_TRUE(dl.lblTimerVisible);
        for (int i = 0; i < Settings.Timeout && dl.outcome() == frmDownload::Outcome::Running; ++i)
            dl.tmrTimeOut_Timer();
        EXPECT_EQ(dl.outcome(), frmDownload::Outcome::Failed);
        EXPECT_EQ(dl.lblStatus, QStringLiteral("Connection has timed out."));
    }
}

// A reply without a rule waits for the time-out; a busy server that says when
// to come back gets at least that long, up to "RetryTime" seconds.
TEST_F(ProbeReplyTest, BusyServerSaysWhenToRetry) {
    Settings.RetryTime = 300;  // seconds: 200 ticks of 1.5 s
    const QByteArray inAnHour = QLocale::c()
                                    .toString(QDateTime::currentDateTimeUtc().addSecs(3600),
                                              QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"))
                                    .toLatin1();
    const struct {
        QByteArray status;
        QByteArray retryAfter;  // empty: no such header
        int ticks;
    } cases[] = {
        {"HTTP/1.1 503 Service Unavailable", {}, 60},
        {"HTTP/1.1 503 Service Unavailable", "120", 80},
        {"HTTP/1.1 429 Too Many Requests", "30", 60},
        {"HTTP/1.1 429 Too Many Requests", inAnHour, 200},
        {"HTTP/1.1 503 Service Unavailable", "Mon, 04 Mar 2024 12:00:00 GMT", 60},
        {"HTTP/1.1 504 Gateway Timeout", "120", 60},
        {"HTTP/1.1 101 Switching Protocols", {}, 60},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.status + " / " + c.retryAfter).constData());
        ScriptedHttpServer server;
        QList<QByteArray> headers;
        if (!c.retryAfter.isEmpty()) headers << "Retry-After: " + c.retryAfter;
        server.setHandler([&](const ScriptedHttpServer::Request&) { return Reply::withLength(c.status, "busy", headers); });
        frmDownload& dl = start(server.url(QStringLiteral("f")), target());
        ASSERT_TRUE(waitFor([&] { return dl.lblStatus == QString::fromLatin1(c.status); }));
        EXPECT_EQ(dl.TimeoutTicks, c.ticks);
        EXPECT_TRUE(dl.tmrTimeOut.isActive());
    }
}

TEST_F(ProbeReplyTest, UnlistedStatusWaitsForTheTimeOut) {
    Settings.Retry = false;
    ScriptedHttpServer server;
    server.enqueue(Reply::withLength("HTTP/1.1 503 Service Unavailable", "busy", {}));
    frmDownload& dl = start(server.url(QStringLiteral("f")), target());
    ASSERT_TRUE(waitFor([&] { return server.requests().size() == 1 && dl.lblStatus.contains("503"); }));
    EXPECT_EQ(dl.lblStatus, QStringLiteral("HTTP/1.1 503 Service Unavailable"));
    EXPECT_TRUE(dl.tmrTimeOut.isActive());
    // The ticks run out: with no retry allowed the window stops with the time-out text.
    for (int i = 0; i < Settings.Timeout && dl.outcome() == frmDownload::Outcome::Running; ++i)
        dl.tmrTimeOut_Timer();
    EXPECT_EQ(dl.outcome(), frmDownload::Outcome::Failed);
    EXPECT_EQ(dl.lblStatus, QStringLiteral("Connection has timed out."));
}

}  // namespace
