// The lumet executable from a terminal: help and version, options it does not
// know, and what `--get` says on stderr: a progress line on a terminal only, and a
// last line that tells where the file went, why it failed, that it was skipped,
// or how to resume it after Ctrl+C.
#include "DownloadFixture.h"
#include "common/QStringPrinter.h"
#include "LumetProcess.h"
#include "support/NginxServer.h"
#include "support/TestCertificates.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QHostAddress>
#include <QTcpSocket>
#include <csignal>

namespace {

class LumetCommandLineTest : public DownloadFixture {
protected:
    void SetUp() override {
        DownloadFixture::SetUp();
        ASSERT_TRUE(docs_.isValid());
    }

    QByteArray publish(const QString& name, qint64 size, quint32 seed) {
        const QByteArray data = patternBytes(size, seed);
        EXPECT_TRUE(writeWholeFile(docs_.filePath(name), data));
        return data;
    }

    // A port that refuses connections for as long as the test runs: bound, not
    // listening, not shared, so no other test can take it meanwhile.
    quint16 closedPort() {
        if (holder_.state() != QAbstractSocket::BoundState) {
            EXPECT_TRUE(holder_.bind(QHostAddress::LocalHost, 0, QAbstractSocket::DontShareAddress));
        }
        return holder_.localPort();
    }

    // The path in single quotes, as a POSIX shell reads it back.
    static QString quoted(QString path) {
        return QLatin1Char('\'') + path.replace(QLatin1Char('\''), QLatin1String("'\\''")) + QLatin1Char('\'');
    }

    QTemporaryDir docs_;
    QTcpSocket holder_;
};

TEST_F(LumetCommandLineTest, HelpVersionAndOptionsItDoesNotKnow) {
    const QString url = QStringLiteral("http://127.0.0.1:%1/f.bin").arg(closedPort());
    const struct {
        QStringList arguments;
        int exitCode;
        const char* out;  // contained in stdout
        const char* err;  // contained in stderr
    } cases[] = {
        {{QStringLiteral("--help")}, 0, "--cacert FILE", ""},
        {{QStringLiteral("-h")}, 0, "Exit codes:", ""},
        {{QStringLiteral("--version")}, 0, "lumet " VK_VERSION, ""},
        {{QStringLiteral("--help"), QStringLiteral("x")}, 2, "", "--help takes no value"},
        {{QStringLiteral("--bogus")}, 2, "", "lumet: unknown option \"--bogus\""},
        {{QStringLiteral("--start-with-desktop"), QStringLiteral("yes")}, 2, "",
         "lumet: --start-with-desktop takes on or off"},
        {{QStringLiteral("--get"), url, QStringLiteral("--save-to"), target(), QStringLiteral("--frob")},
         2, "", "lumet: unknown option \"--frob\""},
        {{QStringLiteral("--get"), url, QStringLiteral("--save-to")}, 2, "", "--save-to needs a value"},
        {{QStringLiteral("--get"), QStringLiteral("gopher://h/f"), QStringLiteral("--save-to"), target()},
         2, "", "the address must begin with http://, https:// or ftp://"},
        {{QStringLiteral("--get"), url, QStringLiteral("--save-to"), target(), QStringLiteral("--cacert"),
          dir_.filePath(QStringLiteral("none.pem"))},
         2, "", "Cannot read the certificate file"},
        {{QStringLiteral("--get"), url, QStringLiteral("--save-to"), target(), QStringLiteral("--cacert"),
          QStringLiteral(LUMET_BINARY)},
         2, "", "holds no PEM certificate."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const LumetRun run = runLumet(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
        EXPECT_TRUE(run.out.contains(QLatin1String(c.out))) << run.out.toStdString();
        EXPECT_TRUE(run.err.contains(QLatin1String(c.err))) << run.err.toStdString();
        // Help goes to stdout alone; a usage error names itself on stderr, never stdout.
        EXPECT_EQ(run.out.isEmpty(), c.exitCode != 0);
        if (c.exitCode == 0) {
            EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
        }
        // A file that cannot be used is no misuse: the usage would not help.
        EXPECT_EQ(run.err.contains(QStringLiteral("usage: lumet")),
                  c.exitCode == 2 && !run.err.contains(QStringLiteral("certificate file")))
            << run.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(target()));
}

TEST_F(LumetCommandLineTest, LastLineSaysWhereTheFileWentOrWhyNot) {
    TestCertificates certificates;
    ASSERT_TRUE(certificates.make()) << certificates.error().toStdString();
    const QByteArray data = publish(QStringLiteral("f.bin"), 2 * 1024 * 1024 + 3, 80);
    NginxServer nginx({.documentRoot = docs_.path(),
                       .certificate = certificates.server().certificate,
                       .certificateKey = certificates.server().key});
    ASSERT_TRUE(nginx.start()) << nginx.errorString().toStdString();
    const QString out = target(QStringLiteral("f.bin"));
    const QStringList get = {QStringLiteral("--get"), nginx.url(QStringLiteral("f.bin")),
                             QStringLiteral("--save-to"), out};

    LumetRun run = runLumet(get + QStringList{QStringLiteral("--cacert"), certificates.authorityFile(),
                                              QStringLiteral("--set"), QStringLiteral("PromptDone=0")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(sha256OfFile(out), sha256Hex(data));
    EXPECT_EQ(run.err, QStringLiteral("Saved %1 (2.00 MB).\n").arg(out));

    run = runLumet(get + QStringList{QStringLiteral("--existing"), QStringLiteral("skip")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.lastLine(), QStringLiteral("Skipped: %1 exists and --existing skip keeps it.").arg(out));

    // Without the authority the certificate is refused.
    run = runLumet(get);
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    EXPECT_EQ(run.lastLine(),
              QStringLiteral("Download failed: TLS certificate of 127.0.0.1 refused: unknown issuer."));

    // A refused connection says so once the retries are spent: two attempts here.
    const quint16 port = closedPort();
    run = runLumet({QStringLiteral("--get"), QStringLiteral("http://127.0.0.1:%1/f").arg(port),
                    QStringLiteral("--save-to"), target(), QStringLiteral("--set"),
                    QStringLiteral("Retries=0")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.lastLine(),
              QStringLiteral("Download failed: Cannot connect to 127.0.0.1:%1: Connection refused.").arg(port));
    run = runLumet({QStringLiteral("--get"), QStringLiteral("https://nosuch.invalid/f"),
                    QStringLiteral("--save-to"), target(), QStringLiteral("--set"), QStringLiteral("Retry=0")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.lastLine(), QStringLiteral("Download failed: Cannot connect to nosuch.invalid:443: Host not found."));
}

// On a terminal (here a pseudo-terminal of script(1)) one progress line is
// rewritten in place and the last line stands on its own; in a pipe there is no
// progress at all (the other tests read stderr from a pipe).
TEST_F(LumetCommandLineTest, ProgressLineOnlyOnATerminal) {
    const QByteArray data = publish(QStringLiteral("slow.bin"), 1200000, 81);
    NginxServer nginx({.documentRoot = docs_.path(), .limitRate = 400000});
    ASSERT_TRUE(nginx.start()) << nginx.errorString().toStdString();
    const QString out = target(QStringLiteral("slow.bin"));
    const QString command = QStringLiteral("%1 --get %2 --save-to %3 --set PromptDone=0")
                                .arg(quoted(QStringLiteral(LUMET_BINARY)), nginx.url(QStringLiteral("slow.bin")),
                                     quoted(out));
    QProcess script;
    script.start(QStringLiteral("script"), {QStringLiteral("-qec"), command, QStringLiteral("/dev/null")});
    ASSERT_TRUE(script.waitForFinished(120000));
    EXPECT_EQ(script.exitCode(), 0);
    const QString terminal = QString::fromLocal8Bit(script.readAll());
    EXPECT_EQ(sha256OfFile(out), sha256Hex(data));
    EXPECT_TRUE(terminal.contains(QStringLiteral("\r\033[K"))) << terminal.toStdString();
    EXPECT_TRUE(terminal.contains(QStringLiteral(" of 1.14 MB "))) << terminal.toStdString();
    // The progress line is cleared, then the last line follows on its own.
    EXPECT_TRUE(terminal.endsWith(QStringLiteral("\r\033[KSaved %1 (1.14 MB).\r\n").arg(out)))
        << terminal.toStdString();
}

TEST_F(LumetCommandLineTest, CtrlCTellsWhereThePartialFileIsAndHowToResume) {
    const QByteArray data = publish(QStringLiteral("big.bin"), 3 * 1024 * 1024, 82);
    NginxServer nginx({.documentRoot = docs_.path(), .limitRate = 500000});
    ASSERT_TRUE(nginx.start()) << nginx.errorString().toStdString();
    const QString out = target(QStringLiteral("big.bin"));
    QProcess lumet;
    lumet.start(QStringLiteral(LUMET_BINARY), {QStringLiteral("--get"), nginx.url(QStringLiteral("big.bin")),
                                               QStringLiteral("--save-to"), out});
    ASSERT_TRUE(lumet.waitForStarted());
    ASSERT_TRUE(waitFor([&] { return QFileInfo(out).size() > 200000; }, 60000));
    ::kill(static_cast<pid_t>(lumet.processId()), SIGINT);
    ASSERT_TRUE(lumet.waitForFinished(30000));
    EXPECT_EQ(lumet.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(lumet.exitCode(), 128 + SIGINT);
    const QStringList lines = QString::fromLocal8Bit(lumet.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 2);
    const qint64 partial = QFileInfo(out).size();
    EXPECT_GT(partial, 0);
    EXPECT_LT(partial, data.size());
    EXPECT_TRUE(lines[lines.size() - 2].startsWith(QStringLiteral("Interrupted. The partial file is %1 (").arg(out)))
        << lines.join(u'\n').toStdString();
    // The test's folder has blanks in its name: the command quotes it.
    EXPECT_EQ(lines.last(), QStringLiteral("  lumet --get %1 --save-to %2 --existing resume")
                                .arg(nginx.url(QStringLiteral("big.bin")), quoted(out)));

    // The command it gives goes on from the partial file.
    const LumetRun run = runLumet({QStringLiteral("--get"), nginx.url(QStringLiteral("big.bin")),
                                   QStringLiteral("--save-to"), out, QStringLiteral("--existing"),
                                   QStringLiteral("resume")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(sha256OfFile(out), sha256Hex(data));
}

}  // namespace
