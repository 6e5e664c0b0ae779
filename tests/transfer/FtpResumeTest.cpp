// Continuing, pausing and completing FTP transfers against the scripted server:
// the REST offsets, where the data lands, and transfers that end short or
// without a size.
#include "FtpFixture.h"
#include "core/modFunctions.h"

namespace {

using FtpResumeTest = FtpFixture;

TEST_F(FtpResumeTest, ContinuedFileRestartsTwiceRollbackBeforeItsEnd) {
    const QByteArray data = publish(60000, 11);
    // The first 10 000 bytes are there already.
    ASSERT_TRUE(writeWholeFile(target(), data.left(10000)));
    frmDownload& dl = start(url(), target(), -1);
    ASSERT_TRUE(waitForOutcome());
    expectFile(target(), data);
    // 10 000 − 4 096, then once more 4 096 back at the first 200; the data lands
    // at position REST + 1.
    EXPECT_EQ(commandOf("REST"), "REST 1809\r\n");
    EXPECT_EQ(server.dataBytesSent(), 60000 - 1809);
    EXPECT_EQ(dl.ContentLength, 60000);
}

TEST_F(FtpResumeTest, ContinuedFileLongerThanTheServersLosesItsTail) {
    const QByteArray data = publish(30000, 12);
    const QByteArray local = data + QByteArray(40000, 'y');  // longer than the server's file
    ASSERT_TRUE(writeWholeFile(target(), local));
    Settings.Rollback = 30000;
    start(url(), target(), -1);
    ASSERT_TRUE(waitForOutcome());
    expectFile(target(), data);
    // 70 000 − 30 000, then 30 000 back once more from the next byte.
    EXPECT_EQ(commandOf("REST"), "REST 10001\r\n");
}

TEST_F(FtpResumeTest, ShortFileIsContinuedFromItsStart) {
    const QByteArray data = publish(9000, 13);
    ASSERT_TRUE(writeWholeFile(target(), data.left(3000)));
    start(url(), target(), -1);
    ASSERT_TRUE(waitForOutcome());
    expectFile(target(), data);
    EXPECT_EQ(commandOf("REST"), "REST 0\r\n");
}

TEST_F(FtpResumeTest, FreshDownloadReplacesAnOlderLongerFile) {
    const QByteArray data = publish(20000, 14);
    ASSERT_TRUE(writeWholeFile(target(), QByteArray(90000, 'z')));
    start(url(), target(), 0);
    ASSERT_TRUE(waitForOutcome());
    expectFile(target(), data);
    EXPECT_EQ(commandOf("REST"), "REST 0\r\n");
}

TEST_F(FtpResumeTest, PauseAndResumeInTheMiddleGiveACorrectFile) {
    Settings.UsePASV = true;
    const QByteArray data = publish(600000, 15);
    server.setTransfer(throttled(3000));
    frmDownload& dl = start(url(), target());
    ASSERT_TRUE(waitFor([&] { return dl.SegNext[0] > 60000; }));
    dl.Pause_Resume();
    EXPECT_EQ(dl.cmdPause.Caption, QStringLiteral("&Resume"));
    EXPECT_EQ(dl.lblStatus, QStringLiteral("Paused/Stopped"));
    EXPECT_EQ(dl.FtpState, 0);
    EXPECT_FALSE(dl.PortSent);
    EXPECT_FALSE(dl.PasvConnected);
    EXPECT_FALSE(dl.tmrUpdate.isActive());
    const qint64 pausedAt = dl.SegNext[0];
    waitFor([] { return false; }, 100);
    EXPECT_EQ(dl.SegNext[0], pausedAt);

    dl.Pause_Resume();
    EXPECT_EQ(dl.lblStatus, QStringLiteral("Downloading"));
    EXPECT_TRUE(dl.ResumeMode);
    EXPECT_TRUE(dl.tmrUpdate.isActive());
    ASSERT_TRUE(waitForOutcome(60000));
    expectFile(target(), data);
    ASSERT_EQ(server.connectionCount(), 2);
    EXPECT_EQ(commandOf("REST", 1), "REST " + QByteArray::number(pausedAt - 2 * 4096 + 1) + "\r\n");
    EXPECT_EQ(server.commands(1).first(), "USER anonymous\r\n");
}

TEST_F(FtpResumeTest, PauseBeforeTheTransferStartsAgainFromTheFirstByte) {
    const QByteArray data = publish(4000, 16);
    // The first login is never answered: the pause comes while it waits.
    server.queueReplies("USER", {Reply("")});
    frmDownload& dl = start(url(), target());
    ASSERT_TRUE(waitFor([&] { return server.commands(0).size() == 1; }));
    dl.Pause_Resume();
    EXPECT_EQ(dl.lblStatus, QStringLiteral("Paused/Stopped"));
    dl.Pause_Resume();
    ASSERT_TRUE(waitForOutcome());
    expectFile(target(), data);
    EXPECT_EQ(commandOf("REST", 1), "REST 0\r\n");
}

TEST_F(FtpResumeTest, ShortTransferWithCompletionReplyFetchesTheRest) {
    const QByteArray data = publish(200000, 17);
    server.queueTransfer(endingAfter(100000, "226 Transfer complete.\r\n"));
    start(url(), target());
    ASSERT_TRUE(waitForOutcome());
    expectFile(target(), data);
    ASSERT_EQ(server.connectionCount(), 2);
    EXPECT_EQ(commandOf("REST", 1), "REST " + QByteArray::number(100001 - 2 * 4096 + 1) + "\r\n");
}

TEST_F(FtpResumeTest, AbortedTransferFetchesTheRest) {
    Settings.UsePASV = true;
    const QByteArray data = publish(150000, 18);
    server.queueTransfer(endingAfter(70000, "426 Connection closed; transfer aborted.\r\n"));
    start(url(), target());
    ASSERT_TRUE(waitForOutcome());
    expectFile(target(), data);
    EXPECT_EQ(server.connectionCount(), 2);
}

TEST_F(FtpResumeTest, OpeningReplyWithoutSizeEndsWithTheDataConnection) {
    const struct {
        const char* opening;
        bool passive;
    } cases[] = {
        {"150 Opening BINARY mode data connection.\r\n", false},
        {"125 Data connection already open. Transfer starting.\r\n", true},
    };
    quint32 seed = 19;
    for (const auto& c : cases) {
        Settings.UsePASV = c.passive;
        const QByteArray data = publish(250000, seed++);
        server.setTransfer(opening(c.opening));
        frmDownload& dl = start(url(), target());
        ASSERT_TRUE(waitForOutcome());
        expectFile(target(), data);
        EXPECT_EQ(dl.ContentLength, data.size());
        EXPECT_EQ(dl.lblFileSize, FormatSize(data.size()));
    }
}

TEST_F(FtpResumeTest, EndOfDataWithoutCompletionReplyIsNotTakenAsTheEnd) {
    const QByteArray data = publish(80000, 21);
    Transfer aborted = endingAfter(30000, "426 Connection closed; transfer aborted.\r\n");
    aborted.opening = "150 Opening BINARY mode data connection.\r\n";
    server.queueTransfer(aborted);
    server.setTransfer(opening("150 Opening BINARY mode data connection.\r\n"));
    frmDownload& dl = start(url(), target());
    ASSERT_TRUE(waitForOutcome());
    expectFile(target(), data);
    EXPECT_EQ(dl.ContentLength, data.size());
    EXPECT_EQ(server.connectionCount(), 2);
}

TEST_F(FtpResumeTest, ResumedTransferAnnouncingWhatIsLeftStillEndsRight) {
    const QByteArray data = publish(50000, 22);
    ASSERT_TRUE(writeWholeFile(target(), data.left(30000)));
    // Some servers announce the bytes left after REST, not the file's size.
    server.setTransfer(
        opening("150 Opening BINARY mode data connection for file.bin (28191 bytes).\r\n"));
    start(url(), target(), -1);
    ASSERT_TRUE(waitForOutcome());
    expectFile(target(), data);
    EXPECT_EQ(commandOf("REST"), "REST 21809\r\n");
}

TEST_F(FtpResumeTest, RefusedRestStartsFromTheFirstByte) {
    const struct {
        Reply reply;
        int existChoice;
    } cases[] = {
        {"504 Reply marker for REST not supported.\r\n", 0},
        {"502 Command not implemented.\r\n", 0},
        {"504 Reply marker for REST not supported.\r\n", -1},
    };
    quint32 seed = 23;
    int connection = 0;
    for (const auto& c : cases) {
        const QByteArray data = publish(40000, seed++);
        if (c.existChoice == -1) {
            ASSERT_TRUE(writeWholeFile(target(), data.left(20000)));
        }
        server.onCommand("REST", c.reply);
        frmDownload& dl = start(url(), target(), c.existChoice);
        ASSERT_TRUE(waitForOutcome());
        expectFile(target(), data);
        EXPECT_EQ(dl.lblResume, QStringLiteral("**RESUME NOT SUPPORTED**"));
        EXPECT_EQ(server.commands(connection).last(), "RETR pub/file.bin\r\n");
        ++connection;
    }
}

// The control connection is lost, the login after it is refused for the moment,
// and the time-out retries: the retry continues what is on disk.
TEST_F(FtpResumeTest, RetryAfterAFailedReloginContinuesFromTheFile) {
    Settings.Timeout = 10;
    const QByteArray data = publish(120000, 27);
    Transfer stalling;
    stalling.stallAfter = 50000;
    server.queueTransfer(stalling);
    server.queueReplies("USER", {Reply::standard(), "421 Too busy, come back later.\r\n"});
    frmDownload& dl = start(url(), target());
    ASSERT_TRUE(waitFor([&] { return dl.SegNext[0] == 50001; }));
    server.dropControl(0);
    ASSERT_TRUE(waitFor([&] { return dl.TransferLog.contains("421 Too busy"); }));
    tickTimeOutToTheEnd();
    ASSERT_TRUE(waitForOutcome());
    expectFile(target(), data);
    ASSERT_EQ(server.connectionCount(), 3);
    // 50 000 bytes on disk, Rollback back at the start and once more at the first 200.
    EXPECT_EQ(commandOf("REST", 2), "REST " + QByteArray::number(50000 - 2 * 4096 + 1) + "\r\n");
}

TEST_F(FtpResumeTest, ControlConnectionLostMidTransferContinues) {
    const QByteArray data = publish(120000, 26);
    Transfer stalling;
    stalling.stallAfter = 50000;
    server.queueTransfer(stalling);
    frmDownload& dl = start(url(), target());
    ASSERT_TRUE(waitFor([&] { return dl.SegNext[0] == 50001; }));
    server.dropControl(0);
    ASSERT_TRUE(waitForOutcome());
    expectFile(target(), data);
    EXPECT_EQ(commandOf("REST", 1), "REST " + QByteArray::number(50001 - 2 * 4096 + 1) + "\r\n");
}

}  // namespace
