#include "support/PyFtpdServer.h"

#include "FtpTestClient.h"
#include "support/Sha256.h"
#include "support/TestData.h"
#include "support/WaitFor.h"

#include <gtest/gtest.h>
#include <QTcpSocket>

namespace {

class PyFtpdServerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.start()) << server.errorString().toStdString(); }

    PyFtpdServer server;
};

TEST_F(PyFtpdServerTest, AnonymousAndTheUserLogInAndAWrongPasswordDoesNot) {
    struct Login {
        QByteArray user;
        QByteArray password;
        QByteArray replyStart;
    };
    const QList<Login> logins = {
        {"anonymous", "guest@example.org", "230 "},
        {server.user().toUtf8(), server.password().toUtf8(), "230 "},
        {server.user().toUtf8(), "wrong", "530 "},
    };
    for (const Login& login : logins) {
        SCOPED_TRACE(login.user.constData());
        FtpTestClient client;
        ASSERT_TRUE(client.connectTo(server.port()));
        EXPECT_TRUE(client.reply().startsWith("220 "));
        EXPECT_TRUE(client.command("USER " + login.user + "\r\n").startsWith("331 "));
        const QByteArray reply = client.command("PASS " + login.password + "\r\n");
        EXPECT_TRUE(reply.startsWith(login.replyStart)) << reply.constData();
    }
}

TEST_F(PyFtpdServerTest, PassiveRetrWithRestSendsTheFileFromTheOffset) {
    const QByteArray file = patternBytes(300000, 11);
    ASSERT_TRUE(server.putFile(QStringLiteral("pub/big.bin"), file));
    FtpTestClient client;
    ASSERT_TRUE(client.connectTo(server.port()));
    client.reply();
    client.command("USER anonymous\r\n");
    ASSERT_TRUE(client.command("PASS guest@\r\n").startsWith("230 "));
    EXPECT_TRUE(client.command("TYPE I\r\n").startsWith("200 "));

    for (const qint64 offset : {qint64(0), qint64(123457)}) {
        SCOPED_TRACE(offset);
        const QByteArray pasv = client.command("PASV\r\n");
        ASSERT_TRUE(pasv.startsWith("227 ") && pasv.contains("(127,0,0,1,")) << pasv.constData();
        QTcpSocket data;
        data.connectToHost(QHostAddress::LocalHost, passivePort(pasv));
        EXPECT_TRUE(
            client.command("REST " + QByteArray::number(offset) + "\r\n").startsWith("350 "));
        const QByteArray opening = client.command("RETR pub/big.bin\r\n");
        // pyftpdlib says 125 when the data connection already stands, 150 otherwise.
        EXPECT_TRUE(opening.startsWith("125 ") || opening.startsWith("150 "))
            << opening.constData();
        const FtpDataRead received = readUntilClosed(data);
        EXPECT_TRUE(received.closed);
        EXPECT_EQ(sha256Hex(received.data), sha256Hex(file.mid(offset)));
        EXPECT_TRUE(client.reply().startsWith("226 "));
    }
}

}  // namespace
