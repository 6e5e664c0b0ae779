// Pause, resume and stop of running downloads, one connection and segmented.
#include "DownloadFixture.h"
#include "support/HttpFileResponder.h"
#include "support/ScriptedFtpServer.h"
#include "support/ScriptedHttpServer.h"

#include <QFileInfo>
#include <functional>

namespace {

using Reply = ScriptedHttpServer::Reply;

class PauseResumeTest : public DownloadFixture {
protected:
    static QList<QByteArray> rangesOf(const ScriptedHttpServer& server, const QByteArray& agent) {
        QList<QByteArray> ranges;
        for (const auto& request : server.requests())
            if (request.header("User-Agent") == agent) ranges << request.header("Range").mid(6);
        return ranges;
    }
};

TEST_F(PauseResumeTest, OneConnectionResumesRollbackBeforeTheLastWrittenByte) {
    const QByteArray data = patternBytes(400000, 20);
    ScriptedHttpServer server;
    server.setHandler(HttpFileResponder(data, {.bytesPerTick = 2000}));
    frmDownload& dl = start(server.url(QStringLiteral("f")), target());
    ASSERT_TRUE(waitFor([&] { return dl.SegNext[0] > 30000; }));
    dl.Pause_Resume();
    EXPECT_EQ(dl.cmdPause.Caption, QStringLiteral("&Resume"));
    EXPECT_FALSE(dl.cmdStop.Enabled);
    EXPECT_EQ(dl.lblStatus, QStringLiteral("Paused/Stopped"));
    EXPECT_EQ(dl.Rate, 0);
    EXPECT_FALSE(dl.tmrUpdate.isActive());
    const qint64 written = dl.SegNext[0] - 1;
    // Nothing more arrives while paused.
    waitFor([] { return false; }, 200);
    EXPECT_EQ(dl.SegNext[0] - 1, written);

    dl.Pause_Resume();
    EXPECT_EQ(dl.cmdPause.Caption, QStringLiteral("&Pause"));
    EXPECT_EQ(dl.lblStatus, QStringLiteral("Downloading"));
    EXPECT_TRUE(dl.tmrUpdate.isActive());
    ASSERT_TRUE(waitForOutcome());
    expectFile(target(), data);
    const QList<QByteArray> ranges = rangesOf(server, "Ostel Segment 0");
    ASSERT_EQ(ranges.size(), 2);
    EXPECT_EQ(ranges[1], QByteArray::number(written - 4096) + "-399999");
}

TEST_F(PauseResumeTest, PauseBeforeAnyByteRestartsFromTheFirstByte) {
    const QByteArray data = patternBytes(3000, 21);
    ScriptedHttpServer server;
    HttpFileResponder file(data);
    int segmentRequests = 0;
    server.setHandler([&](const ScriptedHttpServer::Request& request) {
        if (request.header("User-Agent").startsWith("Ostel") && segmentRequests++ == 0) return Reply::silence();
        return file(request);
    });
    frmDownload& dl = start(server.url(QStringLiteral("f")), target());
    ASSERT_TRUE(waitFor([&] { return segmentRequests == 1; }));
    dl.Pause_Resume();
    dl.Pause_Resume();
    ASSERT_TRUE(waitForOutcome());
    expectFile(target(), data);
    EXPECT_EQ(rangesOf(server, "Ostel Segment 0"), (QList<QByteArray>{"0-2999", "0-2999"}));
}

TEST_F(PauseResumeTest, SixSegmentsPauseAndResumeIntoACorrectFile) {
    Settings.Segment = 1;
    Settings.SegmentSize1 = 10;
    Settings.SegmentSize2 = 20;
    Settings.SegmentSize3 = 21;
    Settings.SegmentSize4 = 30;
    Settings.SegmentSize5 = 31;
    Settings.SegmentSize6 = 40;
    Settings.SegmentSize7 = 41;
    Settings.SegmentSize8 = 50;
    Settings.SegmentSize9 = 51;
    const QByteArray data = patternBytes(600000, 22);
    ScriptedHttpServer server;
    server.setHandler(HttpFileResponder(data, {.rejectBadRanges = true, .bytesPerTick = 1500}));
    ScriptedDialogs::current().answerMessage(Dialogs::Answer::Yes);
    frmDownload& dl = start(server.url(QStringLiteral("f")), target());
    ASSERT_TRUE(waitFor([&] { return dl.SegCount == 6 && dl.ReceivedBytes() > 60000; }));
    dl.Pause_Resume();
    std::array<qint64, 6> pausedAt{};
    for (int i = 0; i < 6; ++i) pausedAt[i] = dl.SegNext[i];
    dl.Pause_Resume();
    ASSERT_TRUE(waitForOutcome(60000));
    expectFile(target(), data);
    // Segment 0 goes back twice the rollback, the others once, never before the
    // start of their 100000 bytes.
    for (int i = 0; i < 6; ++i) {
        const QList<QByteArray> ranges = rangesOf(server, "Ostel Segment " + QByteArray::number(i));
        ASSERT_GE(ranges.size(), 2) << i;
        qint64 next = pausedAt[i];
        if (i == 0 && 4096 < next) next -= 4096;
        if (4096 < next) next = std::max<qint64>(next - 4096, 100000 * i + 1);
        const qint64 expectedFirst = next - 1;
        EXPECT_EQ(ranges[1].left(ranges[1].indexOf('-')).toLongLong(), expectedFirst) << i;
    }
}

// Before the probe has answered the size is unknown, not zero: Pause pauses and
// Stop stops, as at any other time.
TEST_F(PauseResumeTest, PauseAndStopWhileTheProbeWaits) {
    const QByteArray data = patternBytes(3000, 27);
    ScriptedHttpServer server;
    HttpFileResponder file(data);
    int probes = 0;
    server.setHandler([&](const ScriptedHttpServer::Request& request) {
        if (request.header("User-Agent") == "Zu" && probes++ == 0) return Reply::silence();
        return file(request);
    });
    for (const bool stop : {false, true}) {
        SCOPED_TRACE(stop ? "stop" : "pause");
        probes = 0;
        frmDownload& dl = start(server.url(QStringLiteral("f")), target());
        ASSERT_TRUE(waitFor([&] { return probes == 1; }));
        stop ? dl.StopMe() : dl.Pause_Resume();
        EXPECT_EQ(dl.outcome(), frmDownload::Outcome::Running);
        EXPECT_EQ(dl.lblStatus, QStringLiteral("Paused/Stopped"));
        EXPECT_EQ(dl.cmdStop.Caption, stop ? QStringLiteral("&Close") : QStringLiteral("&Stop"));
        EXPECT_FALSE(dl.tmrTimeOut.isActive());
        // A paused probe asks anew on resume; a stopped window closes.
        stop ? dl.StopMe() : dl.Pause_Resume();
        ASSERT_TRUE(waitForOutcome());
        if (!stop) expectFile(target(), data);
        EXPECT_EQ(dl.outcome(), stop ? frmDownload::Outcome::Unloaded : frmDownload::Outcome::Completed);
    }
}

// Stop ends a transfer for good: neither the stall rule's tick nor a Resume
// (all) brings it back to write into its closed file.
TEST_F(PauseResumeTest, AStoppedDownloadStaysStopped) {
    Settings.StopResume = true;
    const QByteArray data = patternBytes(400000, 28);
    ScriptedHttpServer http;
    http.setHandler(HttpFileResponder(data, {.bytesPerTick = 2000}));
    ScriptedFtpServer ftp;
    ASSERT_TRUE(ftp.start());
    ftp.addFile(QStringLiteral("pub/file.bin"), data);
    ScriptedFtpServer::Transfer slow;
    slow.bytesPerTick = 2000;
    ftp.setTransfer(slow);
    const struct {
        const char* name;
        QString address;
        std::function<int()> connections;
    } cases[] = {
        {"http", http.url(QStringLiteral("f")), [&] { return http.connectionCount(); }},
        {"ftp", QStringLiteral("ftp://127.0.0.1:%1/pub/file.bin").arg(ftp.port()),
         [&] { return ftp.connectionCount(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString out = target(QLatin1String(c.name));
        frmDownload& dl = start(c.address, out);
        ASSERT_TRUE(waitFor([&] { return dl.SegNext[0] > 30000; }));
        dl.StopMe();
        EXPECT_FALSE(dl.tmrReconnect.Enabled());
        const int connections = c.connections();
        const qint64 size = QFileInfo(out).size();
        dl.tmrUpdate2_Timer();  // nothing arrives any more: the stall rule would act
        dl.tmrReconnect_Timer();
        dl.Pause_Resume();
        waitFor([] { return false; }, 200);
        EXPECT_EQ(c.connections(), connections);
        EXPECT_EQ(QFileInfo(out).size(), size);
        EXPECT_EQ(dl.lblStatus, QStringLiteral("Paused/Stopped"));
        EXPECT_EQ(dl.outcome(), frmDownload::Outcome::Running);
    }
}

TEST_F(PauseResumeTest, StopOfASegmentedDownloadAsksFirst) {
    Settings.Segment = 1;
    Settings.SegmentSize1 = 10;
    Settings.SegmentSize2 = 1000000;
    const QByteArray data = patternBytes(300000, 23);
    ScriptedHttpServer server;
    server.setHandler(HttpFileResponder(data, {.bytesPerTick = 1000}));
    ScriptedDialogs& dialogs = ScriptedDialogs::current();
    dialogs.answerMessage(Dialogs::Answer::Yes);
    frmDownload& dl = start(server.url(QStringLiteral("f")), target());
    ASSERT_TRUE(waitFor([&] { return dl.ReceivedBytes() > 5000; }));

    dialogs.answerMessage(Dialogs::Answer::No);
    dl.StopMe();
    EXPECT_EQ(dialogs.calls().back().text,
              QStringLiteral("you will not be able to resume this file later(Segmented mode only), Stop?"));
    EXPECT_TRUE(dl.tmrUpdate.isActive());
    EXPECT_EQ(dl.cmdStop.Caption, QStringLiteral("&Stop"));

    dialogs.answerMessage(Dialogs::Answer::Yes);
    dl.StopMe();
    EXPECT_FALSE(dl.tmrUpdate.isActive());
    EXPECT_EQ(dl.cmdStop.Caption, QStringLiteral("&Close"));
    EXPECT_TRUE(dl.cmdStop.Enabled);
    EXPECT_FALSE(dl.cmdPause.Enabled);
    EXPECT_TRUE(dl.cmdOpen.Visible);
    EXPECT_EQ(dl.lblStatus, QStringLiteral("Paused/Stopped"));
    EXPECT_EQ(dl.ListItem->SubItem(4), dl.lblRecievedSize);

    dl.StopMe();
    EXPECT_EQ(dl.outcome(), frmDownload::Outcome::Unloaded);
}

TEST_F(PauseResumeTest, CompletionMovesTheRowAndCounts) {
    const QByteArray data = patternBytes(5000, 24);
    ScriptedHttpServer server;
    server.setHandler(HttpFileResponder(data));
    frmDownload& dl = start(server.url(QStringLiteral("f")), target());
    ASSERT_TRUE(waitForOutcome());
    expectFile(target(), data);
    EXPECT_EQ(lstMain.Count(), 0);
    ASSERT_EQ(lstComplete.Count(), 1);
    const ListRowPtr done = lstComplete.At(0);
    EXPECT_EQ(done->SmallIcon, 4);
    EXPECT_EQ(done->SubItem(1), target());
    EXPECT_EQ(done->SubItem(2), QStringLiteral("100%"));
    EXPECT_EQ(done->SubItem(5), QStringLiteral("Download Success"));
    EXPECT_EQ(done->SubItem(6), server.url(QStringLiteral("f")));
    EXPECT_EQ(Settings.Downloads, 1);
    EXPECT_EQ(Settings.AllBytes, 5000);
    CRegister reg;
    EXPECT_EQ(reg.REGGetSetting(HKEY_LOCAL_MACHINE, kLumetKey, QStringLiteral("Downloads")), QStringLiteral("1"));
    EXPECT_EQ(reg.REGGetSetting(HKEY_LOCAL_MACHINE, kLumetKey, QStringLiteral("AllBytes")), QStringLiteral("5000"));
    const auto& message = ScriptedDialogs::current().calls().back();
    EXPECT_EQ(message.text, QStringLiteral("Download Successful."));
    EXPECT_EQ(message.icon, Dialogs::Icon::Information);
    EXPECT_EQ(dl.Caption, QStringLiteral("f [100%]"));
    // Pause on a finished download changes nothing; Close closes.
    dl.Pause_Resume();
    EXPECT_EQ(dl.outcome(), frmDownload::Outcome::Completed);
    EXPECT_EQ(dl.cmdStop.Caption, QStringLiteral("&Close"));
    dl.StopMe();
    EXPECT_EQ(dl.outcome(), frmDownload::Outcome::Unloaded);
}

TEST_F(PauseResumeTest, CompletionPromptAndAutoCloseFollowTheHive) {
    CRegister reg;
    reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kLumetKey, QStringLiteral("PromptDone"), QStringLiteral("True"));
    reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kLumetKey, QStringLiteral("CloseDownloadWindowWhenDone"),
                       QStringLiteral("1"));
    const QByteArray data = patternBytes(100, 25);
    ScriptedHttpServer server;
    server.setHandler(HttpFileResponder(data));
    ScriptedDialogs::current().allowOkMessages(false);
    frmDownload& dl = start(server.url(QStringLiteral("f")), target());
    ASSERT_TRUE(waitFor([&] { return dl.outcome() == frmDownload::Outcome::Unloaded; }));
    // "True" is not "1": no message; the window closed itself.
    EXPECT_TRUE(ScriptedDialogs::current().calls().empty());
    EXPECT_EQ(sha256OfFile(target()), sha256Hex(data));
}

TEST_F(PauseResumeTest, ANeverUsedWindowIgnoresTheToggle) {
    frmDownload dl(&lstMain, &lstComplete);
    dl.Pause_Resume();
    dl.Pause_Resume();
    EXPECT_EQ(dl.WSHead.state(0), SocketSet::Closed);
    EXPECT_EQ(dl.wsHTTP.state(0), SocketSet::Closed);
    EXPECT_FALSE(dl.tmrUpdate.isActive());
    EXPECT_EQ(dl.outcome(), frmDownload::Outcome::Running);
}

}  // namespace
