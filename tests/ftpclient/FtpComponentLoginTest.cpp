// Logging in, as rows: what the server is scripted to answer, what the
// questions answer, and what goes over the wire and into the log.
#include "ScriptedComponentFixture.h"

namespace {

struct LoginRow {
    const char* name;
    std::function<void(ScriptedFtpServer&)> script;
    QString accountAnswer;
    QStringList passwordAnswers;
    qint32 error;
    QList<QByteArray> wire;  // the commands in order, from USER on
};

void PrintTo(const LoginRow& row, std::ostream* os) {
    *os << row.name;
}

class FtpComponentLoginTest : public ScriptedComponentFixture, public ::testing::WithParamInterface<LoginRow> {};

TEST_P(FtpComponentLoginTest, SendsAndEndsAsScripted) {
    const LoginRow& row = GetParam();
    row.script(server);
    QStringList passwords = row.passwordAnswers;
    QObject::connect(&ftp, &FtpComponent::accountRequired, [&](QString& answer) { answer = row.accountAnswer; });
    QObject::connect(&ftp, &FtpComponent::wrongPassword, [&](QString& answer) {
        answer = passwords.isEmpty() ? QString() : passwords.takeFirst();
    });
    const FtpResult result = ftp.connectToServer();
    EXPECT_EQ(number(result), row.error) << (result ? result->description.toStdString() : "");
    EXPECT_EQ(ftp.state(), row.error == 0 ? FtpComponent::Idle : FtpComponent::NotConnected);
    EXPECT_EQ(sent(), row.wire);
    // Neither the password nor an account ever reaches the log.
    for (const QString& line : log) {
        EXPECT_FALSE(line.contains(QLatin1String(kPassword))) << line.toStdString();
        EXPECT_FALSE(line.contains(QLatin1String("Right-Pass"))) << line.toStdString();
        EXPECT_FALSE(line.contains(QLatin1String("acct-42"))) << line.toStdString();
    }
}

const QByteArray kPass = QByteArray("PASS ") + kPassword;

INSTANTIATE_TEST_SUITE_P(
    Rows, FtpComponentLoginTest,
    ::testing::Values(
        LoginRow{"plain", [](ScriptedFtpServer&) {}, {}, {}, 0, {"USER karvo", kPass, "FEAT"}},
        LoginRow{"utf8 offered",
                 [](ScriptedFtpServer& s) { s.onCommand("FEAT", "211-Features:\r\n UTF8\r\n MLST type*;size*;\r\n211 End\r\n"); },
                 {}, {}, 0, {"USER karvo", kPass, "FEAT", "OPTS UTF8 ON"}},
        LoginRow{"account asked",
                 [](ScriptedFtpServer& s) {
                     s.onCommand("PASS", "332 Need account for login.\r\n");
                     s.onCommand("ACCT", "230 Account accepted.\r\n");
                 },
                 QStringLiteral("acct-42"), {}, 0, {"USER karvo", kPass, "ACCT acct-42", "FEAT"}},
        LoginRow{"account not given",
                 [](ScriptedFtpServer& s) { s.onCommand("PASS", "332 Need account for login.\r\n"); }, QString(), {},
                 FtpErrors::kLoginRefused, {"USER karvo", kPass}},
        LoginRow{"password corrected",
                 [](ScriptedFtpServer& s) { s.requireLogin(QStringLiteral("karvo"), QStringLiteral("Right-Pass")); },
                 {}, {QStringLiteral("Right-Pass")}, 0,
                 {"USER karvo", kPass, "USER karvo", "PASS Right-Pass", "FEAT"}},
        LoginRow{"password given up",
                 [](ScriptedFtpServer& s) { s.requireLogin(QStringLiteral("karvo"), QStringLiteral("Right-Pass")); },
                 {}, {}, FtpErrors::kLoginRefused, {"USER karvo", kPass}},
        LoginRow{"three wrong passwords are enough",
                 [](ScriptedFtpServer& s) { s.requireLogin(QStringLiteral("karvo"), QStringLiteral("Right-Pass")); },
                 {}, {QStringLiteral("w1"), QStringLiteral("w2"), QStringLiteral("w3")}, FtpErrors::kLoginRefused,
                 {"USER karvo", kPass, "USER karvo", "PASS w1", "USER karvo", "PASS w2"}},
        LoginRow{"greeting refuses",
                 [](ScriptedFtpServer& s) { s.setGreeting("421 Too many users.\r\n"); }, {}, {},
                 FtpErrors::kServerRefused, {}}),
    [](const auto& info) {
        QString name = QString::fromLatin1(info.param.name);
        name.replace(QLatin1Char(' '), QLatin1Char('_'));
        return name.toStdString();
    });

TEST_F(ScriptedComponentFixture, NothingWithALineBreakOrNulReachesTheServer) {
    connectOk();
    const qsizetype before = server.commands(0).size();
    const QString hostile[] = {QStringLiteral("x\r\nDELE important"), QStringLiteral("x\nRMD /"),
                               QString::fromUtf8("x\0y", 3)};
    for (const QString& name : hostile) {
        EXPECT_EQ(number(ftp.deleteFile(name)), FtpErrors::kUnsafeArgument);
        EXPECT_EQ(number(ftp.changeFolder(name)), FtpErrors::kUnsafeArgument);
        EXPECT_EQ(number(ftp.rename(QStringLiteral("ok"), name)), FtpErrors::kUnsafeArgument);
        EXPECT_EQ(number(ftp.createFolder(name)), FtpErrors::kUnsafeArgument);
        EXPECT_EQ(number(ftp.sendCommand(name)), FtpErrors::kUnsafeArgument);
        EXPECT_EQ(number(ftp.receiveFile(name, 0, localPath(QStringLiteral("r")))), FtpErrors::kUnsafeArgument);
        EXPECT_EQ(number(ftp.sendFiles(localPath(QStringLiteral("*")), name, true, false)),
                  FtpErrors::kUnsafeArgument);
    }
    EXPECT_EQ(server.commands(0).size(), before);
    EXPECT_EQ(ftp.state(), FtpComponent::Idle);

    FtpComponent other;
    other.serverAddress = QStringLiteral("127.0.0.1");
    other.serverPort = server.port();
    other.userName = QStringLiteral("karvo\r\nDELE x");
    EXPECT_EQ(number(other.connectToServer()), FtpErrors::kUnsafeArgument);
    EXPECT_EQ(server.connectionCount(), 1);
}

TEST_F(ScriptedComponentFixture, CustomCommandsAreSentAsTypedAndTheirRefusalIsNoFailure) {
    connectOk();
    EXPECT_EQ(ftp.sendCommand(QStringLiteral("SITE CHMOD 644 a.txt")), std::nullopt);
    EXPECT_EQ(ftp.sendCommand(QStringLiteral("pass typed-secret")), std::nullopt);
    EXPECT_EQ(sent().mid(3), (QList<QByteArray>{"SITE CHMOD 644 a.txt", "pass typed-secret"}));
    EXPECT_TRUE(log.contains(QStringLiteral("502 Command not implemented.")));
    EXPECT_TRUE(log.contains(QStringLiteral("PASS ****")));
    for (const QString& line : log) EXPECT_FALSE(line.contains(QLatin1String("typed-secret")));
}

TEST_F(ScriptedComponentFixture, CallsBeforeConnectingOrDuringACallAreRefusedWithoutAByte) {
    EXPECT_EQ(number(ftp.deleteFile(QStringLiteral("a"))), FtpErrors::kNotConnected);
    connectOk();
    server.addFile(QStringLiteral("big.bin"), patternBytes(64 * 1024, 1));
    ScriptedFtpTransfer slow;
    slow.bytesPerTick = 1024;
    server.setTransfer(slow);
    FtpResult nested = std::nullopt;
    bool tried = false;
    QObject::connect(&ftp, &FtpComponent::progress, [&] {
        if (tried) return;
        tried = true;
        nested = ftp.deleteFile(QStringLiteral("big.bin"));
    });
    EXPECT_EQ(ftp.receiveFile(QStringLiteral("big.bin"), 0, localPath(QStringLiteral("big.bin"))), std::nullopt);
    EXPECT_TRUE(tried);
    EXPECT_EQ(number(nested), FtpErrors::kBusy);
    EXPECT_FALSE(sent().contains("DELE big.bin"));
    EXPECT_EQ(readFile(localPath(QStringLiteral("big.bin"))), patternBytes(64 * 1024, 1));
}

}  // namespace
