// The four timers of the download window, driven tick by tick.
#include "DownloadFixture.h"
#include "support/HttpFileResponder.h"
#include "support/ScriptedHttpServer.h"

#include <QTcpSocket>

namespace {

using Reply = ScriptedHttpServer::Reply;

class TimersTest : public DownloadFixture {};

TEST_F(TimersTest, TimeOutCountsDownAndRetriesWhileRetriesLast) {
    Settings.Timeout = 3;
    Settings.Retries = 2;
    ScriptedHttpServer server;
    server.setHandler([](const ScriptedHttpServer::Request&) { return Reply::silence(); });
    frmDownload& dl = start(server.url(QStringLiteral("f")), target());
    ASSERT_TRUE(waitFor([&] { return server.requests().size() == 1; }));
    EXPECT_TRUE(dl.tmrTimeOut.isActive());
    dl.tmrTimeOut.stop();  // the test is the clock

    dl.tmrTimeOut_Timer();
    EXPECT_EQ(dl.lblTimer, QStringLiteral("Timeout: 2 sec."));
    dl.tmrTimeOut_Timer();
    EXPECT_EQ(dl.lblTimer, QStringLiteral("Timeout: 1 sec."));
    // "Retries" 2 allows three restarts; the fourth time-out gives up.
    for (int restart = 1; restart <= 3; ++restart) {
        dl.tmrTimeOut_Timer();
        dl.tmrTimeOut.stop();
        EXPECT_EQ(dl.RetryCount, restart);
        EXPECT_EQ(dl.lblStatus, QStringLiteral("Connection has timed out."));
        EXPECT_EQ(dl.ListItem->SubItem(5), QStringLiteral("Connection has timed out."));
        ASSERT_TRUE(waitFor([&] { return server.requests().size() == restart + 1; }));
        EXPECT_EQ(dl.TimeoutTicks, 3);
        dl.tmrTimeOut_Timer();
        dl.tmrTimeOut_Timer();
    }
    dl.tmrTimeOut_Timer();
    EXPECT_EQ(dl.outcome(), frmDownload::Outcome::Failed);
    EXPECT_EQ(dl.RetryCount, 3);
    EXPECT_FALSE(dl.tmrTimeOut.isActive());
    waitFor([] { return false; }, 100);
    EXPECT_EQ(server.requests().size(), 4);
}

TEST_F(TimersTest, RefusedConnectionEndsAtTheNextTick) {
    Settings.Retry = false;
    // A port bound without listening and without address reuse: it refuses
    // connections, and nobody else can take it while the test runs.
    QTcpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress::LocalHost, 0, QAbstractSocket::DontShareAddress));
    const quint16 closedPort = holder.localPort();
    frmDownload& dl = start(QStringLiteral("http://127.0.0.1:%1/f").arg(closedPort), target());
    ASSERT_TRUE(waitFor([&] { return dl.TimeoutTicks == 1; }));
    dl.tmrTimeOut_Timer();
    EXPECT_EQ(dl.outcome(), frmDownload::Outcome::Failed);
    // What the socket said, not only that time ran out.
    EXPECT_EQ(dl.lblStatus,
              QStringLiteral("Cannot connect to 127.0.0.1:%1: Connection refused.").arg(closedPort));
    EXPECT_EQ(dl.ListItem->SubItem(5), dl.lblStatus);
}

TEST_F(TimersTest, RateAndTimeLeftUseTheDisplayedFormulas) {
    QLocale::setDefault(QLocale::c());
    frmDownload dl(&lstMain, &lstComplete);
    dl.ContentLength = 100000;
    dl.SegStart[1] = 100000;
    dl.SegNext[0] = 5001;  // 5000 bytes since the last tick
    dl.tmrUpdate2_Timer();
    EXPECT_EQ(dl.lblTransferRate, QStringLiteral("2.44 KB /Second"));
    EXPECT_EQ(dl.Rate, 2500);
    // (100000 - 5000 - 1) / (5000 + 1 - 0) ticks.
    EXPECT_EQ(dl.lblTimeRemaining, QStringLiteral("00:00:18"));
    EXPECT_EQ(dl.LastReceived, 5000);
    // No growth: the rate label says so, Rate keeps its last value.
    dl.tmrUpdate2_Timer();
    EXPECT_EQ(dl.lblTransferRate, QStringLiteral("0 Bytes /Second"));
    EXPECT_EQ(dl.Rate, 2500);
    // A rollback shrinks the count: no speed and no time left below zero.
    dl.SegNext[0] = 1001;
    dl.tmrUpdate2_Timer();
    EXPECT_EQ(dl.lblTransferRate, QStringLiteral("0 Bytes /Second"));
    EXPECT_EQ(dl.Rate, 2500);
    EXPECT_EQ(dl.lblTimeRemaining, QStringLiteral("00:00:00"));
}

// The caption names the file as the server knows it, whatever the protocol.
TEST_F(TimersTest, CaptionShowsTheDecodedFileName) {
    const std::pair<const char*, const char*> cases[] = {
        {"http://127.0.0.1/dir/a%20b.bin", "a b.bin [50%]"},
        {"http://127.0.0.1/f", "f [50%]"},
        {"ftp://127.0.0.1/big.bin", "big.bin [50%]"},
        {"ftp://127.0.0.1/pub/my file.bin", "my file.bin [50%]"},
    };
    for (const auto& [address, caption] : cases) {
        frmDownload dl(&lstMain, &lstComplete);
        ParseUrlInto(QString::fromUtf8(address), dl);
        dl.ContentLength = 100;
        dl.SegStart[1] = 100;
        dl.SegNext[0] = 51;
        dl.Update(0);
        EXPECT_EQ(dl.Caption, QString::fromUtf8(caption)) << address;
    }
}

TEST_F(TimersTest, ElapsedTimeAdvancesHalfASecondPerTick) {
    frmDownload dl(&lstMain, &lstComplete);
    dl.ContentLength = 10;
    dl.SegStart[1] = 10;
    for (int i = 0; i < 5; ++i) dl.tmrUpdate_Timer();
    EXPECT_EQ(dl.ElapsedSeconds, 2.5);
    EXPECT_EQ(dl.lblElapsedTime, QStringLiteral("00:00:02"));
}

TEST_F(TimersTest, ZeroLengthCompletesAtTheFirstTick) {
    ScriptedHttpServer server;
    server.enqueue(Reply::withLength("HTTP/1.1 200 OK", {}, {}));
    frmDownload& dl = start(server.url(QStringLiteral("empty")), target());
    ASSERT_TRUE(waitFor([&] { return dl.tmrUpdate.isActive(); }));
    dl.tmrUpdate_Timer();
    expectFile(target(), QByteArray());
}

TEST_F(TimersTest, StallRulePausesThenResumes) {
    const QByteArray data = patternBytes(50000, 30);
    ScriptedHttpServer server;
    HttpFileResponder file(data);
    int segmentRequests = 0;
    server.setHandler([&](const ScriptedHttpServer::Request& request) {
        Reply reply = file(request);
        // The first transfer stops sending after 20000 bytes and keeps the line open.
        if (request.header("User-Agent").startsWith("Ostel") && segmentRequests++ == 0)
            reply.stallAfterBytes = reply.headerSize() + 20000;
        return reply;
    });
    Settings.StopResume = true;
    frmDownload& dl = start(server.url(QStringLiteral("f")), target());
    ASSERT_TRUE(waitFor([&] { return dl.SegNext[0] == 20001; }));
    EXPECT_TRUE(dl.tmrReconnect.Enabled());
    EXPECT_EQ(dl.tmrReconnect.Interval(), 300);
    dl.tmrUpdate2_Timer();  // LastReceived catches up
    dl.tmrReconnect_Timer();
    EXPECT_EQ(dl.cmdPause.Caption, QStringLiteral("&Resume"));
    dl.tmrReconnect_Timer();
    EXPECT_EQ(dl.cmdPause.Caption, QStringLiteral("&Pause"));
    ASSERT_TRUE(waitForOutcome());
    expectFile(target(), data);
    EXPECT_EQ(segmentRequests, 2);
}

}  // namespace
