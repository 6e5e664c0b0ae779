// A download list through the queue: twenty windows at once, the others waiting
// for one to end; each ending is reported once, with its line.
#include "QueueFixture.h"
#include "common/QStringPrinter.h"
#include "queue/DownloadListRun.h"

#include <QFile>

namespace {

class DownloadListRunTest : public QueueFixture {
protected:
    // Entries f1.bin ... fn.bin on lines 1 ... n, from the server that never answers.
    std::vector<DownloadListFile::Entry> entries(int n) const {
        std::vector<DownloadListFile::Entry> list;
        for (int i = 1; i <= n; ++i) {
            const QString name = QStringLiteral("f%1.bin").arg(i);
            list.push_back({i, silentUrl(name), target(name)});
        }
        return list;
    }

    // The window of the download of line `line`, while it runs.
    frmDownload* windowOfLine(int line) const {
        for (const auto& window : queue.DownloadSlots)
            if (window && window->SavePath == target(QStringLiteral("f%1.bin").arg(line)) &&
                window->outcome() == frmDownload::Outcome::Running)
                return window;
        return nullptr;
    }

    static void timeOut(frmDownload* window) {
        ASSERT_NE(window, nullptr);
        window->TimeoutTicks = 1;
        window->tmrTimeOut_Timer();
    }
};

TEST_F(DownloadListRunTest, TwentyRunAtOnceAndEachEndLetsTheNextWaitingOneStart) {
    Settings.Retry = false;
    // Lines 2 and 3 exist already and are to be kept.
    for (const char* name : {"f2.bin", "f3.bin"}) {
        QFile file(target(QLatin1String(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("kept");
    }
    DownloadListRun run(queue, entries(24), -2);
    std::vector<DownloadListRun::Result> ended;
    int finished = 0;
    QObject::connect(&run, &DownloadListRun::ended,
                     [&](const DownloadListRun::Result& result) { ended.push_back(result); });
    QObject::connect(&run, &DownloadListRun::finished, [&] { ++finished; });

    run.start();
    // The skipped ones end at once; their rows leave before the next starts.
    ASSERT_EQ(ended.size(), 2u);
    for (int k = 0; k < 2; ++k) {
        EXPECT_EQ(ended[k].entry.line, k + 2);
        EXPECT_EQ(ended[k].outcome, DownloadListRun::Outcome::Skipped);
    }
    ASSERT_TRUE(waitFor([&] { return run.running() == 20; }));
    EXPECT_EQ(run.waiting(), 2);
    EXPECT_EQ(queue.lstMain.Count(), 20);
    EXPECT_EQ(windowOfLine(23), nullptr);
    EXPECT_TRUE(dialogCalls().empty());

    // Two time out for good: lines 23 and 24 take their places, in list order.
    timeOut(windowOfLine(5));
    timeOut(windowOfLine(1));
    ASSERT_EQ(ended.size(), 4u);
    EXPECT_EQ(ended[2].entry.line, 5);
    EXPECT_EQ(ended[3].entry.line, 1);
    for (int k = 2; k < 4; ++k) {
        EXPECT_EQ(ended[k].outcome, DownloadListRun::Outcome::Failed);
        EXPECT_EQ(ended[k].status, QStringLiteral("Connection has timed out."));
    }
    ASSERT_TRUE(waitFor([&] { return run.waiting() == 0; }));
    EXPECT_EQ(run.running(), 20);
    EXPECT_NE(windowOfLine(23), nullptr);
    EXPECT_NE(windowOfLine(24), nullptr);
    EXPECT_EQ(queue.lstMain.Count(), 20);
    EXPECT_EQ(finished, 0);

    // Stopped: every running one is reported once, and the run finishes once.
    run.stop(QStringLiteral("Interrupted"));
    ASSERT_TRUE(waitFor([&] { return finished > 0; }));
    ASSERT_EQ(ended.size(), 24u);
    std::vector<int> lines;
    for (const DownloadListRun::Result& result : ended) lines.push_back(result.entry.line);
    std::sort(lines.begin(), lines.end());
    for (int i = 0; i < 24; ++i) EXPECT_EQ(lines[i], i + 1);
    for (std::size_t k = 4; k < ended.size(); ++k) EXPECT_EQ(ended[k].status, QStringLiteral("Interrupted"));
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(run.results().size(), 24u);
    // The skipped targets were not touched.
    QFile kept(target(QStringLiteral("f2.bin")));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("kept"));
}

TEST_F(DownloadListRunTest, AnEmptyListFinishesFromTheEventLoopWithNothingStarted) {
    DownloadListRun run(queue, {}, 0);
    int finished = 0;
    QObject::connect(&run, &DownloadListRun::finished, [&] { ++finished; });
    run.start();
    EXPECT_EQ(finished, 0);
    ASSERT_TRUE(waitFor([&] { return finished == 1; }));
    EXPECT_EQ(windowCount(), 0);
}

}  // namespace
