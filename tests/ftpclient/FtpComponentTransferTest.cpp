// Single-file transfers against the scripted server, as rows: the script, the
// call, the commands that must go over the wire (in this order, others may lie
// between), the outcome, and the local or remote bytes afterwards.
#include "ScriptedComponentFixture.h"

#include <QRegularExpression>
#include <QTcpSocket>
#include <sys/resource.h>
#include <csignal>

namespace {

const QByteArray kRemote = patternBytes(300 * 1000 + 7, 7);
const QByteArray kOld = "the old local file, which must survive a failed transfer";

struct TransferRow {
    const char* name;
    std::function<void(ScriptedFtpServer&, FtpComponent&, const QString& target)> script;
    std::function<FtpResult(FtpComponent&, const QString& target)> call;
    qint32 error;
    QList<QByteArray> wire;
    // The local file "target" afterwards, or the remote "/up.bin" for uploads.
    QByteArray localAfter;
    QByteArray remoteAfter;
};

void PrintTo(const TransferRow& row, std::ostream* os) {
    *os << row.name;
}

class FtpComponentTransferTest : public ScriptedComponentFixture,
                                 public ::testing::WithParamInterface<TransferRow> {};

TEST_P(FtpComponentTransferTest, SendsAndEndsAsScripted) {
    const TransferRow& row = GetParam();
    server.addFile(QStringLiteral("file.bin"), kRemote);
    const QString target = localPath(QStringLiteral("target"));
    ASSERT_TRUE(writeWholeFile(target, kOld));
    QObject::connect(&ftp, &FtpComponent::fileExists, [](const QString&, bool& replace) { replace = true; });
    row.script(server, ftp, target);
    connectOk();
    const FtpResult result = row.call(ftp, target);
    EXPECT_EQ(number(result), row.error) << (result ? result->description.toStdString() : "");
    QList<QByteArray> lines = sent();
    for (const QByteArray& expected : row.wire) {
        const qsizetype at = lines.indexOf(expected);
        EXPECT_GE(at, 0) << "not sent in order: " << expected.toStdString();
        if (at >= 0) lines = lines.mid(at + 1);
    }
    if (!row.localAfter.isNull()) {
        EXPECT_TRUE(readFile(target) == row.localAfter);
    }
    if (!row.remoteAfter.isNull()) {
        EXPECT_TRUE(server.files().value(QStringLiteral("/up.bin")) == row.remoteAfter);
    }
    // No temporary file is left beside the target.
    EXPECT_EQ(localEntries(), QStringList{QStringLiteral("target")});
    // The connection is in step afterwards: the next command gets its own reply.
    if (ftp.state() == FtpComponent::Idle) {
        QString folder;
        EXPECT_EQ(ftp.currentFolder(folder), std::nullopt);
        EXPECT_EQ(folder, QStringLiteral("/"));
    }
}

FtpResult get(FtpComponent& ftp, const QString& target) {
    return ftp.receiveFile(QStringLiteral("file.bin"), 0, target);
}

void none(ScriptedFtpServer&, FtpComponent&, const QString&) {}

ScriptedFtpTransfer closing(const QByteArray& reply) {
    ScriptedFtpTransfer transfer;
    transfer.closing = reply;
    return transfer;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FtpComponentTransferTest,
    ::testing::Values(
        TransferRow{"passive", none, get, 0, {"TYPE I", "SIZE file.bin", "PASV", "RETR file.bin"}, kRemote, {}},
        TransferRow{"227 names another host",
                    [](ScriptedFtpServer& s, FtpComponent&, const QString&) { s.setPassiveAddress("10,0,0,5"); }, get,
                    0, {"PASV", "RETR file.bin"}, kRemote, {}},
        TransferRow{"EPSV when PASV is refused",
                    [](ScriptedFtpServer& s, FtpComponent&, const QString&) {
                        s.onCommand("PASV", "502 PASV not allowed.\r\n");
                    },
                    get, 0, {"PASV", "EPSV", "RETR file.bin"}, kRemote, {}},
        TransferRow{"active", [](ScriptedFtpServer&, FtpComponent& f, const QString&) { f.passiveMode = false; }, get,
                    0, {"TYPE I", "RETR file.bin"}, kRemote, {}},
        TransferRow{"short transfer keeps the old file",
                    [](ScriptedFtpServer& s, FtpComponent&, const QString&) {
                        ScriptedFtpTransfer shortOne;
                        shortOne.closeAfter = 1000;
                        s.setTransfer(shortOne);
                    },
                    get, FtpErrors::kShortTransfer, {"RETR file.bin"}, kOld, {}},
        TransferRow{"426 keeps the old file",
                    [](ScriptedFtpServer& s, FtpComponent&, const QString&) {
                        s.setTransfer(closing("426 Connection closed; transfer aborted.\r\n"));
                    },
                    get, FtpErrors::kServerRefused, {"RETR file.bin"}, kOld, {}},
        TransferRow{"451 keeps the old file",
                    [](ScriptedFtpServer& s, FtpComponent&, const QString&) {
                        s.setTransfer(closing("451 Local error in processing.\r\n"));
                    },
                    get, FtpErrors::kServerRefused, {"RETR file.bin"}, kOld, {}},
        TransferRow{"550 keeps the old file",
                    none, [](FtpComponent& f, const QString& t) { return f.receiveFile(QStringLiteral("nothere"), 0, t); },
                    FtpErrors::kServerRefused, {"RETR nothere"}, kOld, {}},
        TransferRow{"resume from the local length",
                    [](ScriptedFtpServer&, FtpComponent&, const QString& t) { writeWholeFile(t, kRemote.left(1000)); },
                    [](FtpComponent& f, const QString& t) { return f.receiveFile(QStringLiteral("file.bin"), 1000, t); },
                    0, {"REST 1000", "RETR file.bin"}, kRemote, {}},
        TransferRow{"ASCII never resumes",
                    [](ScriptedFtpServer& s, FtpComponent& f, const QString& t) {
                        s.addFile(QStringLiteral("text.txt"), "one\r\ntwo\r\n");
                        writeWholeFile(t, "one\n");
                        f.representation = 1;
                    },
                    [](FtpComponent& f, const QString& t) { return f.receiveFile(QStringLiteral("text.txt"), 4, t); },
                    0, {"TYPE A", "RETR text.txt"}, "one\ntwo\n", {}},
        TransferRow{"upload from offset 0 never appends",
                    [](ScriptedFtpServer& s, FtpComponent&, const QString& t) {
                        s.addFile(QStringLiteral("up.bin"), "older remote bytes");
                        writeWholeFile(t, kRemote);
                    },
                    [](FtpComponent& f, const QString& t) { return f.sendFile(t, 0, QStringLiteral("up.bin"), true); },
                    0, {"TYPE I", "PASV", "STOR up.bin"}, {}, kRemote},
        TransferRow{"upload resumes with REST",
                    [](ScriptedFtpServer& s, FtpComponent&, const QString& t) {
                        s.addFile(QStringLiteral("up.bin"), kRemote.left(5000));
                        writeWholeFile(t, kRemote);
                    },
                    [](FtpComponent& f, const QString& t) { return f.sendFile(t, 5000, QStringLiteral("up.bin"), true); },
                    0, {"REST 5000", "STOR up.bin"}, {}, kRemote},
        TransferRow{"upload appends when REST is refused",
                    [](ScriptedFtpServer& s, FtpComponent&, const QString& t) {
                        s.addFile(QStringLiteral("up.bin"), kRemote.left(5000));
                        s.onCommand("REST", "502 REST not implemented.\r\n");
                        writeWholeFile(t, kRemote);
                    },
                    [](FtpComponent& f, const QString& t) { return f.sendFile(t, 5000, QStringLiteral("up.bin"), true); },
                    0, {"REST 5000", "APPE up.bin"}, {}, kRemote},
        TransferRow{"offset without resume stores whole",
                    [](ScriptedFtpServer& s, FtpComponent&, const QString& t) {
                        s.addFile(QStringLiteral("up.bin"), "x");
                        writeWholeFile(t, kRemote);
                    },
                    [](FtpComponent& f, const QString& t) { return f.sendFile(t, 5000, QStringLiteral("up.bin"), false); },
                    0, {"STOR up.bin"}, {}, kRemote},
        TransferRow{"ASCII upload sends CR LF",
                    [](ScriptedFtpServer&, FtpComponent& f, const QString& t) {
                        writeWholeFile(t, "a\nb\n");
                        f.representation = 1;
                    },
                    [](FtpComponent& f, const QString& t) { return f.sendFile(t, 0, QStringLiteral("up.bin"), false); },
                    0, {"TYPE A", "STOR up.bin"}, {}, "a\r\nb\r\n"}),
    [](const auto& info) {
        QString name = QString::fromLatin1(info.param.name);
        name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")), QStringLiteral("_"));
        return name.toStdString();
    });

TEST_F(ScriptedComponentFixture, ActiveModeTakesTheDataConnectionOnlyFromTheServer) {
    server.addFile(QStringLiteral("file.bin"), kRemote);
    ftp.passiveMode = false;
    // Someone else on the machine races to the announced port first.
    QTcpSocket intruder;
    server.onCommand("PORT", [&](const QByteArray& argument) {
        const QList<QByteArray> n = argument.split(',');
        intruder.bind(QHostAddress(QStringLiteral("127.0.0.2")));
        intruder.connectToHost(QHostAddress::LocalHost, quint16(n[4].toInt() * 256 + n[5].toInt()));
        intruder.waitForConnected(5000);
        return ScriptedFtpServer::Reply::standard();
    });
    connectOk();
    EXPECT_EQ(ftp.receiveFile(QStringLiteral("file.bin"), 0, localPath(QStringLiteral("f"))), std::nullopt);
    EXPECT_TRUE(readFile(localPath(QStringLiteral("f"))) == kRemote);
    EXPECT_TRUE(log.filter(QStringLiteral("Refused a data connection from 127.0.0.2")).size() == 1) << log.join('\n').toStdString();
}

TEST_F(ScriptedComponentFixture, PassiveModeConnectsToTheControlPeerNotToThe227Address) {
    server.addFile(QStringLiteral("file.bin"), kRemote);
    server.setPassiveAddress("203,0,113,9");
    connectOk();
    EXPECT_EQ(ftp.receiveFile(QStringLiteral("file.bin"), 0, localPath(QStringLiteral("f"))), std::nullopt);
    EXPECT_TRUE(readFile(localPath(QStringLiteral("f"))) == kRemote);
    EXPECT_EQ(log.filter(QStringLiteral("named 203.0.113.9 for the data connection; connecting to 127.0.0.1")).size(), 1);
}

TEST_F(ScriptedComponentFixture, AFailedLocalWriteIsAFailureAndKeepsTheOldFile) {
    server.addFile(QStringLiteral("file.bin"), kRemote);
    const QString target = localPath(QStringLiteral("target"));
    ASSERT_TRUE(writeWholeFile(target, kOld));
    QObject::connect(&ftp, &FtpComponent::fileExists, [](const QString&, bool& replace) { replace = true; });
    connectOk();
    // A file-size limit below the download makes the local write fail, as a full disk would.
    struct rlimit previous {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = previous;
    limit.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    const FtpResult result = ftp.receiveFile(QStringLiteral("file.bin"), 0, target);
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(number(result), FtpErrors::kLocalFile);
    EXPECT_TRUE(readFile(target) == kOld);
    EXPECT_EQ(localEntries(), QStringList{QStringLiteral("target")});
    // The transfer was stopped on the server too, and the connection still works.
    EXPECT_TRUE(sent().contains("ABOR"));
    QString folder;
    EXPECT_EQ(ftp.currentFolder(folder), std::nullopt);
}

TEST_F(ScriptedComponentFixture, AnExistingFileIsKeptWhenTheAnswerIsNo) {
    server.addFile(QStringLiteral("file.bin"), kRemote);
    const QString target = localPath(QStringLiteral("target"));
    ASSERT_TRUE(writeWholeFile(target, kOld));
    QString asked;
    QObject::connect(&ftp, &FtpComponent::fileExists, [&](const QString& name, bool&) { asked = name; });
    connectOk();
    EXPECT_EQ(ftp.receiveFile(QStringLiteral("file.bin"), 0, target), std::nullopt);
    EXPECT_EQ(asked, QStringLiteral("file.bin"));
    EXPECT_TRUE(readFile(target) == kOld);
    EXPECT_FALSE(sent().contains("RETR file.bin"));
    EXPECT_EQ(skipped, (QList<QPair<QString, qint32>>{{QStringLiteral("file.bin"), FtpComponent::kExistsNotReplaced}}));
}

}  // namespace
