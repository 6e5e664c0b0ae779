// `lumet --get-list` against nginx: a short list with a comment, a bad line and a
// file the server does not have.
#include "DownloadFixture.h"
#include "LumetProcess.h"
#include "common/QStringPrinter.h"
#include "support/NginxServer.h"

#include <QFileInfo>
#include <QProcess>
#include <csignal>
#include <QRegularExpression>

namespace {

class LumetListTest : public DownloadFixture {
protected:
    QByteArray publish(const QString& name, qint64 size, quint32 seed) {
        const QByteArray data = patternBytes(size, seed);
        EXPECT_TRUE(writeWholeFile(docs_.filePath(name), data));
        return data;
    }

    QString writeList(const QStringList& lines) {
        const QString path = dir_.filePath(QStringLiteral("downloads.list"));
        EXPECT_TRUE(writeWholeFile(path, lines.join(u'\n').toUtf8() + '\n'));
        return path;
    }

    QTemporaryDir docs_;
};

TEST_F(LumetListTest, EveryGoodLineIsSavedAndTheMissingFileAndTheBadLineAreNamed) {
    ASSERT_TRUE(docs_.isValid());
    // Large enough for two segments each with "Segment" on.
    const QByteArray a = publish(QStringLiteral("a.bin"), 3 * 1024 * 1024 + 5, 90);
    const QByteArray c = publish(QStringLiteral("c.bin"), 2 * 1024 * 1024 + 700, 91);
    NginxServer nginx({.documentRoot = docs_.path()});
    ASSERT_TRUE(nginx.start()) << nginx.errorString().toStdString();
    const QString outA = target(QStringLiteral("a.bin"));
    // In a folder that does not exist yet, with a name beyond ASCII.
    const QString outC = target(QStringLiteral("Grüße/c 1.bin"));
    const QString outMissing = target(QStringLiteral("missing.bin"));
    const QString list = writeList({
        QStringLiteral("# two files and one the server does not have"),
        nginx.url(QStringLiteral("a.bin")) + u'\t' + outA,
        nginx.url(QStringLiteral("missing.bin")) + u'\t' + outMissing,
        QStringLiteral("this line has no tab"),
        QString(),
        nginx.url(QStringLiteral("c.bin")) + u'\t' + outC,
    });

    LumetRun run = runLumet({QStringLiteral("--get-list"), list, QStringLiteral("--set"),
                             QStringLiteral("Segment=1"), QStringLiteral("--stats")});
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    EXPECT_EQ(sha256OfFile(outA), sha256Hex(a));
    EXPECT_EQ(sha256OfFile(outC), sha256Hex(c));
    EXPECT_FALSE(QFileInfo::exists(outMissing));
    const QStringList lines = run.err.split(u'\n', Qt::SkipEmptyParts);
    const QStringList expected = {
        list + QStringLiteral(":4: skipped, no tab between the address and the target"),
        list + QStringLiteral(":2: Saved %1 (3.00 MB).").arg(outA),
        list + QStringLiteral(":3: Download failed: HTTP 404-Object Not Found (%1)")
                   .arg(nginx.url(QStringLiteral("missing.bin"))),
        list + QStringLiteral(":6: Saved %1 (2.00 MB).").arg(outC),
    };
    for (const QString& line : expected)
        EXPECT_TRUE(lines.contains(line)) << line.toStdString() << "\n" << run.err.toStdString();
    // Nothing else but the total and the figures: no window's message or question.
    ASSERT_EQ(lines.size(), expected.size() + 2) << run.err.toStdString();
    EXPECT_TRUE(lines[lines.size() - 2].startsWith(
        QStringLiteral("Total: 3 downloads, 2 completed, 1 failed, 0 skipped, 1 bad line; 5.00 MB in ")))
        << lines[lines.size() - 2].toStdString();
    static const QRegularExpression stats(QStringLiteral(
        "^stats: 500 ms ticks late by median [0-9.]+ ms, p99 [0-9.]+ ms, max [0-9.]+ ms "
        "\\([0-9]+ ticks\\); peak resident [0-9.]+ MiB; on a CPU [0-9.]+ s, waiting for one [0-9.]+ s$"));
    EXPECT_TRUE(stats.match(lines.last()).hasMatch()) << lines.last().toStdString();

    // --set held for every line: both files came in segments.
    QFile log(nginx.accessLogPath());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray requests = log.readAll();
    for (const char* file : {"GET /a.bin", "GET /c.bin"}) {
        bool segmented = false;
        for (const QByteArray& request : requests.split('\n'))
            segmented = segmented || (request.contains(file) && request.contains("Ostel Segment 1"));
        EXPECT_TRUE(segmented) << file;
    }

    // --existing holds for every line too: the files there are kept, the missing
    // one fails again.
    run = runLumet({QStringLiteral("--existing"), QStringLiteral("skip"), QStringLiteral("--get-list"), list});
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    for (const auto& [line, out] : {std::pair{2, outA}, std::pair{6, outC}})
        EXPECT_TRUE(run.err.contains(
            list + QStringLiteral(":%1: Skipped: %2 exists and --existing skip keeps it.").arg(line).arg(out)))
            << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("Total: 3 downloads, 0 completed, 1 failed, 2 skipped, 1 bad line")))
        << run.err.toStdString();
    EXPECT_EQ(sha256OfFile(outA), sha256Hex(a));
}

// Ctrl+C: every running download is named as incomplete, the waiting ones are
// counted, and lumet ends with 128 + SIGINT.
TEST_F(LumetListTest, CtrlCEndsEveryRunningDownloadAndStartsNoMore) {
    ASSERT_TRUE(docs_.isValid());
    publish(QStringLiteral("slow.bin"), 1024 * 1024, 92);
    NginxServer nginx({.documentRoot = docs_.path(), .limitRate = 100000});
    ASSERT_TRUE(nginx.start()) << nginx.errorString().toStdString();
    QStringList lines;
    for (int i = 1; i <= 22; ++i)
        lines << nginx.url(QStringLiteral("slow.bin")) + u'\t' + target(QStringLiteral("out/%1.bin").arg(i));
    const QString list = writeList(lines);
    QProcess lumet;
    lumet.start(QStringLiteral(LUMET_BINARY), {QStringLiteral("--get-list"), list});
    ASSERT_TRUE(lumet.waitForStarted());
    ASSERT_TRUE(waitFor([&] { return QFileInfo(target(QStringLiteral("out/1.bin"))).size() > 0; }, 60000));
    ::kill(static_cast<pid_t>(lumet.processId()), SIGINT);
    ASSERT_TRUE(lumet.waitForFinished(30000));
    EXPECT_EQ(lumet.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(lumet.exitCode(), 128 + SIGINT);
    const QString err = QString::fromLocal8Bit(lumet.readAllStandardError());
    const QString incomplete = QStringLiteral(": Download failed: Interrupted; the file is incomplete. (%1)")
                                   .arg(nginx.url(QStringLiteral("slow.bin")));
    EXPECT_EQ(err.count(incomplete), 20) << err.toStdString();
    EXPECT_TRUE(err.contains(list + QStringLiteral(":20") + incomplete)) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("Interrupted: 2 more downloads were not started.")));
    EXPECT_TRUE(err.contains(QStringLiteral("Total: 20 downloads, 0 completed, 20 failed, 0 skipped, 0 bad lines;")));
    EXPECT_FALSE(QFileInfo::exists(target(QStringLiteral("out/21.bin"))));
}

TEST_F(LumetListTest, UsageErrorsOfTheListMode) {
    const struct {
        QStringList arguments;
        const char* err;
    } cases[] = {
        {{QStringLiteral("--get-list")}, "--get-list needs a value"},
        {{QStringLiteral("--get-list"), QStringLiteral("/nonexistent/list")}, "cannot read /nonexistent/list"},
        {{QStringLiteral("--get-list"), QStringLiteral("/dev/null"), QStringLiteral("--save-to"), target()},
         "unknown option \"--save-to\""},
        {{QStringLiteral("--get"), QStringLiteral("http://h/f"), QStringLiteral("--get-list"),
          QStringLiteral("/dev/null")},
         "--get and --get-list do not go together"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const LumetRun run = runLumet(c.arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.contains(QLatin1String(c.err))) << run.err.toStdString();
        // A list that cannot be read is no misuse: the usage would not help.
        EXPECT_EQ(run.err.contains(QStringLiteral("usage: lumet")), !run.err.contains(QStringLiteral("cannot read")))
            << run.err.toStdString();
    }
    // An empty list is done at once.
    const LumetRun empty = runLumet({QStringLiteral("--get-list"), QStringLiteral("/dev/null")});
    EXPECT_EQ(empty.exitCode, 0) << empty.err.toStdString();
    EXPECT_TRUE(empty.lastLine().startsWith(
        QStringLiteral("Total: 0 downloads, 0 completed, 0 failed, 0 skipped, 0 bad lines; ")))
        << empty.err.toStdString();
}

}  // namespace
