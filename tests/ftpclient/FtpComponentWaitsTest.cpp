// Every wait ends: a silent server, an abort during a transfer or a command,
// a disconnect during a call, and a server that goes away.
#include "ScriptedComponentFixture.h"

#include <QTimer>

namespace {

TEST_F(ScriptedComponentFixture, ASilentServerTimesOutAndTheConnectionCloses) {
    ftp.timeLimitMs = 300;
    server.onCommand("PWD", "");  // never answered
    connectOk();
    int disconnects = 0;
    QObject::connect(&ftp, &FtpComponent::disconnected, [&] {
        EXPECT_EQ(ftp.state(), FtpComponent::NotConnected);
        ++disconnects;
    });
    QString folder;
    EXPECT_EQ(number(ftp.currentFolder(folder)), FtpErrors::kTimedOut);
    EXPECT_EQ(ftp.state(), FtpComponent::NotConnected);
    EXPECT_EQ(disconnects, 1);

    // Also before the greeting.
    ScriptedFtpServer silent;
    ASSERT_TRUE(silent.start());
    silent.setGreeting("");
    FtpComponent other;
    other.serverAddress = QStringLiteral("127.0.0.1");
    other.serverPort = silent.port();
    other.timeLimitMs = 300;
    EXPECT_EQ(number(other.connectToServer()), FtpErrors::kTimedOut);
    EXPECT_EQ(other.state(), FtpComponent::NotConnected);
}

TEST_F(ScriptedComponentFixture, AbortDuringATransferReturnsAbortedAndLeavesTheConnectionInStep) {
    server.addFile(QStringLiteral("big.bin"), patternBytes(2 * 1024 * 1024, 5));
    ScriptedFtpTransfer slow;
    slow.bytesPerTick = 4096;
    server.setTransfer(slow);
    const QString target = localPath(QStringLiteral("big.bin"));
    ASSERT_TRUE(writeWholeFile(target, "old"));
    QObject::connect(&ftp, &FtpComponent::fileExists, [](const QString&, bool& replace) { replace = true; });
    QList<qint32> completed;
    QObject::connect(&ftp, &FtpComponent::operationCompleted, [&](qint32 code) { completed << code; });
    QObject::connect(&ftp, &FtpComponent::progress, [&](const QString&, const QString&, qint64, qint64 done, int) {
        if (done > 16 * 1024) ftp.setAbort(true);
    });
    connectOk();
    completed.clear();
    EXPECT_EQ(number(ftp.receiveFile(QStringLiteral("big.bin"), 0, target)), FtpErrors::kAborted);
    EXPECT_EQ(completed, QList<qint32>{FtpErrors::kAborted});
    EXPECT_EQ(readFile(target), QByteArray("old"));
    EXPECT_EQ(localEntries(), QStringList{QStringLiteral("big.bin")});
    EXPECT_TRUE(sent().contains("ABOR"));
    EXPECT_EQ(ftp.state(), FtpComponent::Idle);
    QString folder;
    EXPECT_EQ(ftp.currentFolder(folder), std::nullopt);
    EXPECT_EQ(folder, QStringLiteral("/"));
}

TEST_F(ScriptedComponentFixture, AbortReturnsEvenWhenTheServerNeverAnswers) {
    ftp.timeLimitMs = 400;
    server.onCommand("LIST", "");
    connectOk();
    QTimer::singleShot(50, &ftp, [this] { ftp.setAbort(true); });
    EXPECT_EQ(number(ftp.listFolder(QString())), FtpErrors::kAborted);
    EXPECT_EQ(ftp.state(), FtpComponent::NotConnected);
}

TEST_F(ScriptedComponentFixture, DisconnectDuringACallAbortsItFirst) {
    server.addFile(QStringLiteral("big.bin"), patternBytes(1024 * 1024, 6));
    ScriptedFtpTransfer stalls;
    stalls.stallAfter = 32 * 1024;
    server.setTransfer(stalls);
    connectOk();
    FtpResult disconnectResult = FtpError{};
    int disconnects = 0;
    QObject::connect(&ftp, &FtpComponent::disconnected, [&] { ++disconnects; });
    bool once = false;
    // The user disconnects while the file comes in (the data stalls after 32 KiB,
    // so the call is still running whenever the timer fires).
    QObject::connect(&ftp, &FtpComponent::receivingFile, [&] {
        QTimer::singleShot(200, &ftp, [&] {
            once = true;
            disconnectResult = ftp.disconnectFromServer();
        });
    });
    EXPECT_EQ(number(ftp.receiveFile(QStringLiteral("big.bin"), 0, localPath(QStringLiteral("b")))),
              FtpErrors::kAborted);
    EXPECT_TRUE(once);
    EXPECT_EQ(disconnectResult, std::nullopt);
    EXPECT_EQ(ftp.state(), FtpComponent::NotConnected);
    EXPECT_EQ(disconnects, 1);
    EXPECT_TRUE(localEntries().isEmpty());
}

TEST_F(ScriptedComponentFixture, AServerThatClosesTheConnectionIsReportedOnce) {
    connectOk();
    int disconnects = 0;
    QObject::connect(&ftp, &FtpComponent::disconnected, [&] { ++disconnects; });
    server.onCommand("CWD", ScriptedFtpServer::Reply("421 Service not available, closing.\r\n").thenDrop());
    EXPECT_EQ(number(ftp.changeFolder(QStringLiteral("x"))), FtpErrors::kServerRefused);
    waitFor([&] { return disconnects > 0; }, 5000);
    EXPECT_EQ(disconnects, 1);
    EXPECT_EQ(ftp.state(), FtpComponent::NotConnected);
    EXPECT_EQ(number(ftp.changeFolder(QStringLiteral("x"))), FtpErrors::kNotConnected);
    // Disconnecting now is harmless and announces nothing more.
    EXPECT_EQ(ftp.disconnectFromServer(), std::nullopt);
    EXPECT_EQ(disconnects, 1);
}

TEST_F(ScriptedComponentFixture, DisconnectSaysGoodbyeThenReportsStateZero) {
    connectOk();
    QList<int> statesAtEvent;
    QObject::connect(&ftp, &FtpComponent::disconnected, [&] { statesAtEvent << ftp.state(); });
    EXPECT_EQ(ftp.disconnectFromServer(), std::nullopt);
    EXPECT_EQ(sent().last(), QByteArray("QUIT"));
    EXPECT_EQ(statesAtEvent, QList<int>{FtpComponent::NotConnected});
}

}  // namespace
