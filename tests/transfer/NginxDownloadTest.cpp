// Downloads from a real nginx: the window itself, and the headless program.
#include "DownloadFixture.h"
#include "LumetProcess.h"
#include "support/NginxServer.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace {

class NginxDownloadTest : public DownloadFixture {
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

    QTemporaryDir docs_;
};

TEST_F(NginxDownloadTest, OneConnectionAndSixSegments) {
    const QByteArray small = publish(QStringLiteral("small.bin"), 1500000, 40);
    const QByteArray large = publish(QStringLiteral("large.bin"), 24 * 1024 * 1024 + 77, 41);
    NginxServer nginx({.documentRoot = docs_.path()});
    ASSERT_TRUE(nginx.start()) << nginx.errorString().toStdString();

    start(nginx.url(QStringLiteral("small.bin")), target(QStringLiteral("small.bin")));
    ASSERT_TRUE(waitForOutcome(60000));
    expectFile(target(QStringLiteral("small.bin")), small);

    Settings.Segment = 1;
    ScriptedDialogs::current().answerMessage(Dialogs::Answer::Yes);
    frmDownload& dl = start(nginx.url(QStringLiteral("large.bin")), target(QStringLiteral("large.bin")));
    ASSERT_TRUE(waitForOutcome(120000));
    expectFile(target(QStringLiteral("large.bin")), large);
    EXPECT_EQ(dl.SegCount, 6);
}

TEST_F(NginxDownloadTest, PausedSegmentsResumeFromARateLimitedServer) {
    Settings.Segment = 1;
    Settings.SegmentSize1 = 1000;
    Settings.SegmentSize2 = 10 * 1024 * 1024;
    const QByteArray data = publish(QStringLiteral("f.bin"), 3 * 1024 * 1024, 42);
    NginxServer nginx({.documentRoot = docs_.path(), .limitRate = 2 * 1024 * 1024});
    ASSERT_TRUE(nginx.start()) << nginx.errorString().toStdString();
    ScriptedDialogs::current().answerMessage(Dialogs::Answer::Yes);
    frmDownload& dl = start(nginx.url(QStringLiteral("f.bin")), target());
    ASSERT_TRUE(waitFor([&] { return dl.SegCount == 2 && dl.ReceivedBytes() > 300000; }, 30000));
    dl.Pause_Resume();
    waitFor([] { return false; }, 100);
    dl.Pause_Resume();
    ASSERT_TRUE(waitForOutcome(60000));
    expectFile(target(), data);
}

using HeadlessGetTest = NginxDownloadTest;

TEST_F(HeadlessGetTest, DownloadsSegmentedAndSkipsExisting) {
    const QByteArray data = publish(QStringLiteral("g.bin"), 3 * 1024 * 1024 + 5, 43);
    NginxServer nginx({.documentRoot = docs_.path()});
    ASSERT_TRUE(nginx.start()) << nginx.errorString().toStdString();
    const QString out = target(QStringLiteral("g.bin"));

    LumetRun run = runLumet({QStringLiteral("--get"), nginx.url(QStringLiteral("g.bin")), QStringLiteral("--save-to"), out,
                     QStringLiteral("--set"), QStringLiteral("Segment=1"), QStringLiteral("--set"),
                     QStringLiteral("SegmentSize1=1048576")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(sha256OfFile(out), sha256Hex(data));
    EXPECT_TRUE(run.err.contains(QStringLiteral("Download Successful."))) << run.err.toStdString();
    // --set never reaches the hive.
    EXPECT_EQ(CRegister().REGGetSetting(HKEY_LOCAL_MACHINE, kLumetKey, QStringLiteral("Segment"), QStringLiteral("absent")),
              QStringLiteral("absent"));

    ASSERT_TRUE(writeWholeFile(out, "old"));
    run = runLumet({QStringLiteral("--get"), nginx.url(QStringLiteral("g.bin")), QStringLiteral("--save-to"), out,
                 QStringLiteral("--existing"), QStringLiteral("skip")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(sha256OfFile(out), sha256Hex("old"));

    run = runLumet({QStringLiteral("--get"), nginx.url(QStringLiteral("g.bin")), QStringLiteral("--save-to"), out});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(sha256OfFile(out), sha256Hex(data));
}

TEST_F(HeadlessGetTest, FailuresAndUsageErrors) {
    NginxServer nginx({.documentRoot = docs_.path()});
    ASSERT_TRUE(nginx.start()) << nginx.errorString().toStdString();
    LumetRun run = runLumet({QStringLiteral("--get"), nginx.url(QStringLiteral("missing.bin")), QStringLiteral("--save-to"),
                     target()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("HTTP 404-Object Not Found"))) << run.err.toStdString();

    const QStringList usageErrors[] = {
        {QStringLiteral("--get"), nginx.url(QStringLiteral("x"))},
        {QStringLiteral("--get"), nginx.url(QStringLiteral("x")), QStringLiteral("--save-to"), target(),
         QStringLiteral("--set"), QStringLiteral("NoSuchSetting=1")},
        {QStringLiteral("--get"), nginx.url(QStringLiteral("x")), QStringLiteral("--save-to"), target(),
         QStringLiteral("--existing"), QStringLiteral("maybe")},
        {QStringLiteral("--get"), QStringLiteral("httpx://127.0.0.1/x"), QStringLiteral("--save-to"), target()},
        {QStringLiteral("--bogus")},
    };
    for (const QStringList& arguments : usageErrors) {
        run = runLumet(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
    }
    EXPECT_FALSE(QFile::exists(target()));
}

TEST_F(HeadlessGetTest, RefusedConnectionWithoutRetryExitsOne) {
    // Bound, not listening, not shared: refused for as long as the test runs.
    QTcpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress::LocalHost, 0, QAbstractSocket::DontShareAddress));
    const quint16 closedPort = holder.localPort();
    const LumetRun run = runLumet({QStringLiteral("--get"), QStringLiteral("http://127.0.0.1:%1/f").arg(closedPort),
                           QStringLiteral("--save-to"), target(), QStringLiteral("--set"),
                           QStringLiteral("Retry=0")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Connection refused."))) << run.err.toStdString();
}

}  // namespace
