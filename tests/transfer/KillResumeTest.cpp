// The headless program ended by a signal while it downloads from a rate-limited
// nginx, then run again with "--existing resume": the file is the server's, byte
// for byte, or the run says why it cannot be.
#include "DownloadFixture.h"
#include "LumetProcess.h"
#include "common/QStringPrinter.h"
#include "support/NginxServer.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <csignal>
#include <cstdio>
#include <sys/stat.h>

namespace {

constexpr qint64 kSize = 4 * 1024 * 1024;
constexpr qint64 kRatePerConnection = 1024 * 1024;

class KillResumeTest : public DownloadFixture {
protected:
    void SetUp() override {
        DownloadFixture::SetUp();
        ASSERT_TRUE(docs_.isValid());
    }

    QByteArray publish(const QString& name, quint32 seed) {
        const QByteArray data = patternBytes(kSize, seed);
        EXPECT_TRUE(writeWholeFile(docs_.filePath(name), data));
        return data;
    }

    // --get ... with six segments (the size lies in the last band), or one connection.
    static QStringList arguments(const QString& url, const QString& out, bool segmented, const char* existing) {
        QStringList list = {QStringLiteral("--get"), url, QStringLiteral("--save-to"), out,
                            QStringLiteral("--existing"), QLatin1String(existing), QStringLiteral("--set"),
                            segmented ? QStringLiteral("Segment=1") : QStringLiteral("Segment=0")};
        for (int k = 1; k <= 8; ++k) list << QStringLiteral("--set") << QStringLiteral("SegmentSize%1=1000").arg(k);
        list << QStringLiteral("--set") << QStringLiteral("SegmentSize9=1001");
        return list;
    }

    static std::unique_ptr<QProcess> startLumet(const QStringList& arguments) {
        auto process = std::make_unique<QProcess>();
        process->setProgram(QStringLiteral(LUMET_BINARY));
        process->setArguments(arguments);
        process->start();
        return process;
    }

    // What the file's blocks hold, 0 while there is no file.
    static qint64 allocatedBytes(const QString& path) {
        struct stat st {};
        if (::stat(QFile::encodeName(path).constData(), &st) != 0) return 0;
        return qint64(st.st_blocks) * 512;
    }

    QTemporaryDir docs_;
};

// Ten runs, segmented and one connection in turn, each ended by SIGKILL at a
// random moment: once the file holds a random amount of data (from none to all
// of it), whatever the machine's speed. The amounts come from a seed that is
// printed (and taken from KILL_LOOP_SEED when set), so a failing run can be
// repeated; the outcome must not depend on it.
TEST_F(KillResumeTest, KilledAtAnyMomentResumesToTheServersFile) {
    const QByteArray data = publish(QStringLiteral("f.bin"), 70);
    NginxServer nginx({.documentRoot = docs_.path(), .limitRate = kRatePerConnection});
    ASSERT_TRUE(nginx.start()) << nginx.errorString().toStdString();
    const quint32 seed = qEnvironmentVariableIsSet("KILL_LOOP_SEED")
                             ? quint32(qEnvironmentVariableIntValue("KILL_LOOP_SEED"))
                             : quint32(QDateTime::currentMSecsSinceEpoch());
    std::printf("kill loop seed %u (set KILL_LOOP_SEED=%u to repeat)\n", seed, seed);
    RecordProperty("seed", std::to_string(seed));
    QRandomGenerator random(seed);

    int killed = 0;
    int exactFiles = 0;
    for (int run = 0; run < 10; ++run) {
        const bool segmented = run % 2 == 0;
        // Small amounts as often as large ones: the first moments, where the
        // segments are set up, are worth as many runs as the rest.
        const qint64 killAt = qint64(random.bounded(quint32(kSize)) >> random.bounded(8));
        SCOPED_TRACE(QStringLiteral("run %1, %2, SIGKILL once %3 bytes are in the file")
                         .arg(run)
                         .arg(segmented ? "six segments" : "one connection")
                         .arg(killAt)
                         .toStdString());
        const QString out = target(QStringLiteral("run%1.bin").arg(run));
        const QString url = nginx.url(QStringLiteral("f.bin"));

        std::unique_ptr<QProcess> first = startLumet(arguments(url, out, segmented, "resume"));
        ASSERT_TRUE(first->waitForStarted());
        // The blocks the file occupies: what its writes have put in it, holes
        // between the segments not counted.
        ASSERT_TRUE(waitFor([&] { return first->state() == QProcess::NotRunning || allocatedBytes(out) >= killAt; },
                            120000));
        const bool finished = first->state() == QProcess::NotRunning;
        const qint64 inFile = allocatedBytes(out);
        if (!finished) {
            first->kill();
            ASSERT_TRUE(first->waitForFinished(10000));
            ++killed;
        }
        const LumetRun resumed = runLumet(arguments(url, out, segmented, "resume"));
        std::printf("run %d: %s, %s with %lld bytes in the file, resume exit %d\n", run,
                    segmented ? "segmented" : "single", finished ? "finished" : "killed", qlonglong(inFile),
                    resumed.exitCode);
        EXPECT_EQ(resumed.exitCode, 0) << resumed.err.toStdString();
        const bool exact = sha256OfFile(out) == sha256Hex(data);
        EXPECT_TRUE(exact);
        exactFiles += exact ? 1 : 0;
        EXPECT_FALSE(QFileInfo::exists(ProgressJournal::PathFor(out)));
    }
    std::printf("kill loop: %d of 10 runs killed mid-way, %d of 10 files byte-exact\n", killed, exactFiles);
}

// The server's file is replaced between the runs (same size, new bytes, new date):
// the resumed run refuses it and leaves the old bytes and their journal alone; a
// run that overwrites then fetches the new file.
TEST_F(KillResumeTest, ServerFileReplacedBetweenRunsIsRefused) {
    const QByteArray before = publish(QStringLiteral("f.bin"), 71);
    // Slow enough that the first run is still going when the test ends it.
    NginxServer nginx({.documentRoot = docs_.path(), .limitRate = kRatePerConnection / 8});
    ASSERT_TRUE(nginx.start()) << nginx.errorString().toStdString();
    const QString url = nginx.url(QStringLiteral("f.bin"));
    const QString out = target();

    // A kill of the usual kind ends the first run once every segment has bytes.
    std::unique_ptr<QProcess> first = startLumet(arguments(url, out, true, "overwrite"));
    ASSERT_TRUE(waitFor(
        [&] {
            if (first->state() == QProcess::NotRunning) return true;
            const std::optional<ProgressJournal> journal = [&] {
                bool damaged = false;
                return ProgressJournal::read(ProgressJournal::PathFor(out), damaged);
            }();
            if (!journal || journal->segments.size() != 6) return false;
            for (const ProgressJournal::Segment& s : journal->segments)
                if (s.next - s.start < 65536) return false;
            return true;
        },
        60000));
    ASSERT_EQ(first->state(), QProcess::Running);
    first->terminate();
    ASSERT_TRUE(first->waitForFinished(10000));
    EXPECT_EQ(first->exitCode(), 128 + SIGTERM);
    bool damaged = false;
    const std::optional<ProgressJournal> stopped = ProgressJournal::read(ProgressJournal::PathFor(out), damaged);
    ASSERT_TRUE(stopped);
    EXPECT_FALSE(stopped->etag.isEmpty());

    const QByteArray after = patternBytes(kSize, 72);
    ASSERT_TRUE(writeWholeFile(docs_.filePath(QStringLiteral("new.bin")), after));
    QFile replaced(docs_.filePath(QStringLiteral("new.bin")));
    ASSERT_TRUE(replaced.open(QIODevice::ReadWrite));
    ASSERT_TRUE(replaced.setFileTime(QDateTime::currentDateTimeUtc().addSecs(3600), QFileDevice::FileModificationTime));
    replaced.close();
    ASSERT_TRUE(QFile::remove(docs_.filePath(QStringLiteral("f.bin"))));
    ASSERT_TRUE(QFile::rename(docs_.filePath(QStringLiteral("new.bin")), docs_.filePath(QStringLiteral("f.bin"))));

    const LumetRun resumed = runLumet(arguments(url, out, true, "resume"));
    EXPECT_EQ(resumed.exitCode, 1);
    EXPECT_TRUE(resumed.err.contains(QStringLiteral("The file on the server has changed since this download began.")))
        << resumed.err.toStdString();
    EXPECT_EQ(ProgressJournal::read(ProgressJournal::PathFor(out), damaged), stopped);
    QFile file(out);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray onDisk = file.readAll();
    for (const ProgressJournal::Segment& s : stopped->segments)
        EXPECT_TRUE(onDisk.mid(s.start, s.next - s.start) == before.mid(s.start, s.next - s.start)) << s.start;
    file.close();

    const LumetRun fresh = runLumet(arguments(url, out, true, "overwrite"));
    EXPECT_EQ(fresh.exitCode, 0) << fresh.err.toStdString();
    EXPECT_EQ(sha256OfFile(out), sha256Hex(after));
    EXPECT_FALSE(QFileInfo::exists(ProgressJournal::PathFor(out)));
}

}  // namespace
