#include "support/ScriptedFtpServer.h"

#include "FtpTestClient.h"
#include "support/Sha256.h"
#include "support/TestData.h"
#include "support/WaitFor.h"

#include <gtest/gtest.h>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>
#include <memory>

namespace {

using Reply = ScriptedFtpServer::Reply;

const QByteArray kFile = patternBytes(5000, 7);

class ScriptedFtpServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.start());
        server.addFile(QStringLiteral("pub/file.bin"), kFile);
    }

    // Connected, greeted and logged in.
    void login() {
        ASSERT_TRUE(client.connectTo(server.port()));
        ASSERT_EQ(client.reply(), "220 Scripted FTP server ready.\r\n");
        ASSERT_EQ(client.command("USER anonymous\r\n"), "331 Password required for anonymous.\r\n");
        ASSERT_EQ(client.command("PASS guest@\r\n"), "230 Login successful.\r\n");
    }

    // PASV and a connected data socket.
    std::unique_ptr<QTcpSocket> openPassive() {
        const quint16 port = passivePort(client.command("PASV\r\n"));
        auto data = std::make_unique<QTcpSocket>();
        if (port == 0) return data;
        data->connectToHost(QHostAddress::LocalHost, port);
        waitFor([&] { return data->state() == QAbstractSocket::ConnectedState; });
        return data;
    }

    ScriptedFtpServer server;
    FtpTestClient client;
};

TEST_F(ScriptedFtpServerTest, PassiveRetrFromRestOffsetSendsTheRestAndRecordsExactLines) {
    login();
    EXPECT_EQ(client.command("TYPE I\r\n"), "200 Type set to I.\r\n");
    const std::unique_ptr<QTcpSocket> data = openPassive();
    ASSERT_EQ(data->state(), QAbstractSocket::ConnectedState);
    EXPECT_EQ(client.command("REST 1234\r\n"), "350 Restart position accepted (1234).\r\n");
    EXPECT_EQ(client.command("RETR pub/file.bin\r\n"),
              "150 Opening BINARY mode data connection for pub/file.bin (5000 bytes).\r\n");

    const FtpDataRead received = readUntilClosed(*data);
    EXPECT_TRUE(received.closed);
    EXPECT_EQ(sha256Hex(received.data), sha256Hex(kFile.mid(1234)));
    EXPECT_EQ(client.reply(), "226 Transfer complete.\r\n");
    EXPECT_EQ(client.command("QUIT\r\n"), "221 Goodbye.\r\n");
    EXPECT_TRUE(client.waitClosed());

    // The 150 and the 226 reach the client in reads of their own.
    EXPECT_TRUE(client.reads().contains(
        "150 Opening BINARY mode data connection for pub/file.bin (5000 bytes).\r\n"));
    EXPECT_TRUE(client.reads().contains("226 Transfer complete.\r\n"));
    const QList<QByteArray> expected = {
        "USER anonymous\r\n", "PASS guest@\r\n",       "TYPE I\r\n", "PASV\r\n",
        "REST 1234\r\n",      "RETR pub/file.bin\r\n", "QUIT\r\n"};
    EXPECT_EQ(server.commands(0), expected);
    EXPECT_EQ(server.connectionCount(), 1);
}

TEST_F(ScriptedFtpServerTest, ActiveRetrConnectsToThePortAddressOr425WhenNobodyListens) {
    login();
    QTcpServer listener;
    ASSERT_TRUE(listener.listen(QHostAddress::LocalHost, 0));
    const QByteArray port = QByteArray::number(listener.serverPort() / 256) + "," +
                            QByteArray::number(listener.serverPort() % 256);
    EXPECT_EQ(client.command("PORT 127,0,0,1," + port + "\r\n"),
              "200 PORT command successful.\r\n");
    EXPECT_EQ(client.command("RETR /pub/file.bin\r\n"),
              "150 Opening BINARY mode data connection for /pub/file.bin (5000 bytes).\r\n");
    ASSERT_TRUE(waitFor([&] { return listener.hasPendingConnections(); }));
    std::unique_ptr<QTcpSocket> data(listener.nextPendingConnection());
    EXPECT_EQ(readUntilClosed(*data).data, kFile);
    EXPECT_EQ(client.reply(), "226 Transfer complete.\r\n");

    listener.close();
    EXPECT_EQ(client.command("PORT 127,0,0,1," + port + "\r\n"),
              "200 PORT command successful.\r\n");
    EXPECT_EQ(client.command("RETR pub/file.bin\r\n"), "425 Can't open data connection.\r\n");
}

struct Exchange {
    QByteArray command;
    QByteArray replyStart;
};

struct ScriptCase {
    const char* name;
    std::function<void(ScriptedFtpServer&)> script;
    QList<Exchange> dialogue;  // after the login
};

TEST_F(ScriptedFtpServerTest, ScriptedRepliesTakeThePlaceOfTheUsualOnes) {
    const QByteArray usualPasv = "227 Entering Passive Mode (127,0,0,1,";
    const QList<ScriptCase> cases = {
        {"fixed reply, every time",
         [](ScriptedFtpServer& s) {
             s.onCommand("REST", "504 Reply marker for REST not supported.\r\n");
         },
         {{"REST 100\r\n", "504 Reply marker for REST not supported.\r\n"},
          {"REST 100\r\n", "504 Reply marker for REST not supported.\r\n"},
          {"SIZE pub/file.bin\r\n", "213 5000\r\n"}}},
        {"queue, then the usual answer",
         [](ScriptedFtpServer& s) {
             s.queueReplies("PASV",
                            {Reply::standard(), "227 Entering Passive Mode (10,0,0,5,4,1)\r\n"});
         },
         {{"PASV\r\n", usualPasv},
          {"PASV\r\n", "227 Entering Passive Mode (10,0,0,5,4,1)\r\n"},
          {"PASV\r\n", usualPasv}}},
        {"handler by argument",
         [](ScriptedFtpServer& s) {
             s.onCommand("SIZE", [](const QByteArray& argument) {
                 return argument == "gone.bin" ? Reply("550 gone.bin: No such file.\r\n")
                                               : Reply::standard();
             });
         },
         {{"SIZE gone.bin\r\n", "550 gone.bin: No such file.\r\n"},
          {"SIZE pub/file.bin\r\n", "213 5000\r\n"}}},
    };
    for (const ScriptCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedFtpServer scripted;
        ASSERT_TRUE(scripted.start());
        scripted.addFile(QStringLiteral("pub/file.bin"), kFile);
        c.script(scripted);
        FtpTestClient ftp;
        ASSERT_TRUE(ftp.connectTo(scripted.port()));
        ftp.reply();
        ftp.command("USER u\r\n");
        ASSERT_EQ(ftp.command("PASS p\r\n"), "230 Login successful.\r\n");
        for (const Exchange& exchange : c.dialogue) {
            const QByteArray reply = ftp.command(exchange.command);
            EXPECT_TRUE(reply.startsWith(exchange.replyStart))
                << exchange.command.constData() << " -> " << reply.constData();
        }
    }
}

TEST_F(ScriptedFtpServerTest, SplitReplyArrivesInPiecesAndJoinedRepliesInOneRead) {
    server.setGreeting(Reply::split({"22", "0 Scripted", " ready.\r\n"}));
    server.onCommand("NOOP", "200 first\r\n200 second\r\n");
    ASSERT_TRUE(client.connectTo(server.port()));
    EXPECT_EQ(client.reply(), "220 Scripted ready.\r\n");
    EXPECT_EQ(client.command("NOOP\r\n"), "200 first\r\n");
    EXPECT_EQ(client.reply(), "200 second\r\n");
    EXPECT_EQ(client.reads(), (QList<QByteArray>{"22", "0 Scripted", " ready.\r\n",
                                                 "200 first\r\n200 second\r\n"}));
}

TEST_F(ScriptedFtpServerTest, DelayedReplyKeepsTheOrderAndDropClosesTheConnection) {
    server.onCommand("USER", Reply("331 Slow.\r\n").delayed(100));
    server.onCommand("PASS", Reply::drop());
    QList<QByteArray> announced;
    QObject::connect(&server, &ScriptedFtpServer::commandReceived,
                     [&](int, const QByteArray& line) { announced.append(line); });
    ASSERT_TRUE(client.connectTo(server.port()));
    client.reply();
    client.send("USER u\r\nNOOP\r\nPASS p\r\n");
    EXPECT_EQ(client.reply(), "331 Slow.\r\n");
    EXPECT_EQ(client.reply(), "200 NOOP ok.\r\n");
    EXPECT_TRUE(client.waitClosed());
    EXPECT_EQ(server.commands(0), (QList<QByteArray>{"USER u\r\n", "NOOP\r\n", "PASS p\r\n"}));
    EXPECT_EQ(announced, server.commands(0));
}

TEST_F(ScriptedFtpServerTest, WrongPasswordIsRefusedAndNothingWorksBeforeLogin) {
    server.requireLogin(QStringLiteral("karvo"), QStringLiteral("secret"));
    ASSERT_TRUE(client.connectTo(server.port()));
    client.reply();
    client.command("USER karvo\r\n");
    EXPECT_EQ(client.command("PASS wrong\r\n"), "530 Login incorrect.\r\n");
    EXPECT_EQ(client.command("PASV\r\n"), "530 Please login with USER and PASS.\r\n");
    client.command("USER karvo\r\n");
    EXPECT_EQ(client.command("PASS secret\r\n"), "230 Login successful.\r\n");
}

struct TransferCase {
    const char* name;
    ScriptedFtpServer::Transfer plan;
    QByteArray expectedData;
    QByteArray opening;
    bool throttled;
};

TEST_F(ScriptedFtpServerTest, TransferPlansShapeTheDataAndTheReplies) {
    ScriptedFtpServer::Transfer shortPlan;
    shortPlan.closeAfter = 700;
    ScriptedFtpServer::Transfer noSize;
    noSize.opening = "150 Opening BINARY mode data connection.\r\n";
    ScriptedFtpServer::Transfer throttled;
    throttled.bytesPerTick = 1000;
    throttled.tickMs = 1;
    const QByteArray usualOpening =
        "150 Opening BINARY mode data connection for pub/file.bin (5000 bytes).\r\n";
    const QList<TransferCase> cases = {
        {"short transfer then 226", shortPlan, kFile.left(700), usualOpening, false},
        {"150 without a size", noSize, kFile, noSize.opening, false},
        {"throttled", throttled, kFile, usualOpening, true},
    };
    login();
    for (const TransferCase& c : cases) {
        SCOPED_TRACE(c.name);
        server.queueTransfer(c.plan);
        const std::unique_ptr<QTcpSocket> data = openPassive();
        EXPECT_EQ(client.command("RETR pub/file.bin\r\n"), c.opening);
        const FtpDataRead received = readUntilClosed(*data);
        EXPECT_EQ(received.data, c.expectedData);
        if (c.throttled) {
            EXPECT_GT(received.reads, 1);
        }
        EXPECT_EQ(client.reply(), "226 Transfer complete.\r\n");
    }
    // The queue is used up: the next RETR is whole again.
    const std::unique_ptr<QTcpSocket> data = openPassive();
    client.command("RETR pub/file.bin\r\n");
    EXPECT_EQ(readUntilClosed(*data).data, kFile);
    EXPECT_EQ(server.dataBytesSent(), 700 + 5000 + 5000 + 5000);
}

TEST_F(ScriptedFtpServerTest, StalledTransferKeepsTheDataConnectionOpenWithoutClosingReply) {
    ScriptedFtpServer::Transfer stall;
    stall.stallAfter = 300;
    server.setTransfer(stall);
    login();
    const std::unique_ptr<QTcpSocket> data = openPassive();
    client.command("RETR pub/file.bin\r\n");
    QByteArray received;
    ASSERT_TRUE(waitFor([&] {
        received += data->readAll();
        return received.size() >= 300;
    }));
    // Bounded look for anything more: more bytes, a close or a reply would be wrong.
    const qsizetype readsBefore = client.reads().size();
    EXPECT_FALSE(waitFor(
        [&] {
            return data->bytesAvailable() > 0 || data->state() != QAbstractSocket::ConnectedState ||
                   client.reads().size() > readsBefore;
        },
        200));
    EXPECT_EQ(received, kFile.left(300));
    // The client giving up is answered as an aborted transfer.
    data->abort();
    EXPECT_EQ(client.reply(), "426 Connection closed; transfer aborted.\r\n");
    server.dropControl(0);
    EXPECT_TRUE(client.waitClosed());
}

TEST_F(ScriptedFtpServerTest, FileCommandsWorkOnTheInMemoryTree) {
    login();
    const QList<Exchange> dialogue = {
        {"MKD up\r\n", "257 \"/up\" created.\r\n"},
        {"CWD up\r\n", "250 Directory successfully changed.\r\n"},
        {"PWD\r\n", "257 \"/up\" is the current directory.\r\n"},
        {"RNFR /pub/file.bin\r\n", "350 Ready for RNTO.\r\n"},
        {"RNTO moved.bin\r\n", "250 Rename successful.\r\n"},
        {"SIZE /up/moved.bin\r\n", "213 5000\r\n"},
        {"SIZE /pub/file.bin\r\n", "550 Could not get file size.\r\n"},
        {"CDUP\r\n", "250 Directory successfully changed.\r\n"},
        {"RMD pub\r\n", "250 Remove directory operation successful.\r\n"},
        {"DELE up/moved.bin\r\n", "250 Delete operation successful.\r\n"},
        {"CWD nowhere\r\n", "550 Failed to change directory.\r\n"},
        {"XYZZY\r\n", "502 Command not implemented.\r\n"},
    };
    for (const Exchange& exchange : dialogue) {
        EXPECT_EQ(client.command(exchange.command), exchange.replyStart)
            << exchange.command.constData();
    }

    std::unique_ptr<QTcpSocket> data = openPassive();
    EXPECT_EQ(client.command("STOR up/new.bin\r\n"), "150 Ok to send data.\r\n");
    data->write(kFile.left(999));
    data->disconnectFromHost();
    EXPECT_EQ(client.reply(), "226 Transfer complete.\r\n");
    EXPECT_EQ(server.files().value(QStringLiteral("/up/new.bin")), kFile.left(999));

    server.addFile(QStringLiteral("up/a.txt"), "abc");
    data = openPassive();
    EXPECT_EQ(client.command("LIST -la up\r\n"), "150 Here comes the directory listing.\r\n");
    EXPECT_EQ(readUntilClosed(*data).data,
              "-rw-r--r-- 1 ftp ftp            3 Jan 01 00:00 a.txt\r\n"
              "-rw-r--r-- 1 ftp ftp          999 Jan 01 00:00 new.bin\r\n");
    EXPECT_EQ(client.reply(), "226 Directory send OK.\r\n");
    data = openPassive();
    client.command("NLST /\r\n");
    EXPECT_EQ(readUntilClosed(*data).data, "up\r\n");
}

}  // namespace
