// The list commands, the walks over the windows and the total rate.
#include "QueueFixture.h"
#include "common/QStringPrinter.h"
#include "support/HttpFileResponder.h"
#include "support/TestData.h"

#include <QFileInfo>

namespace {

using QueueCommandsTest = QueueFixture;

QStringList column(const ReportList& list, int k) {
    QStringList texts;
    for (const ListRowPtr& row : list.Rows()) texts << row->SubItem(k);
    return texts;
}

TEST_F(QueueCommandsTest, SortingByAColumnFlipsTheOrderWithEveryClick) {
    queue.AddLaterDownload(QStringLiteral("http://h/2"), QStringLiteral("b.zip"));
    queue.AddLaterDownload(QStringLiteral("http://h/1"), QStringLiteral("A.zip"));
    queue.AddLaterDownload(QStringLiteral("http://h/3"), QStringLiteral("c.zip"));
    const ListRowPtr a = queue.lstMain.At(1);
    std::vector<std::pair<int, bool>> signalled;
    QObject::connect(&queue, &DownloadQueue::sortChanged, [&](int column, bool ascending) {
        signalled.emplace_back(column, ascending);
    });

    queue.lstMain_ColumnClick(1);
    EXPECT_EQ(column(queue.lstMain, 1), (QStringList{"A.zip", "b.zip", "c.zip"}));
    queue.lstMain_ColumnClick(1);
    EXPECT_EQ(column(queue.lstMain, 1), (QStringList{"c.zip", "b.zip", "A.zip"}));
    queue.lstMain_ColumnClick(6);
    EXPECT_EQ(column(queue.lstMain, 6), (QStringList{"http://h/1", "http://h/2", "http://h/3"}));
    EXPECT_EQ(signalled, (std::vector<std::pair<int, bool>>{{1, true}, {1, false}, {6, true}}));
    // Rows are moved, not copied: whoever holds one still holds the same row.
    EXPECT_EQ(queue.lstMain.At(0), a);
    a->setSubItem(5, QStringLiteral("Downloading..."));
    EXPECT_EQ(queue.lstMain.At(0)->SubItem(5), QStringLiteral("Downloading..."));
}

TEST_F(QueueCommandsTest, SelectionAndRemovalOfRows) {
    addLaterRows(4);
    queue.SelectAll();
    EXPECT_EQ(queue.lstMain.SelectedRows().size(), 4u);
    queue.DeselectAll();
    EXPECT_FALSE(queue.lstMain.AnySelected());
    queue.lstMain.SetSelected(0, true);
    queue.lstMain.SetSelected(2, true);
    queue.RemoveSelection();
    EXPECT_EQ(column(queue.lstMain, 1), (QStringList{target("f2.bin"), target("f4.bin")}));
    EXPECT_FALSE(queue.lstMain.AnySelected());

    for (int i = 0; i < 3; ++i) queue.lstComplete.Add(4)->setSubItem(1, QString::number(i));
    queue.lstComplete.SetSelected(1, true);
    queue.RemoveCompleteSelection();
    EXPECT_EQ(column(queue.lstComplete, 1), (QStringList{"0", "2"}));
    queue.RemoveAllComplete();
    EXPECT_EQ(queue.lstComplete.Count(), 0);

    // Clearing the queue leaves the windows alone.
    queue.AddDownload(silentUrl(QStringLiteral("r.bin")), target(QStringLiteral("r.bin")), -1);
    queue.ClearQueue();
    EXPECT_EQ(queue.lstMain.Count(), 0);
    EXPECT_EQ(windowCount(), 1);
    EXPECT_TRUE(DownloadQueue::IsBusy(queue.DownloadSlots[2]));
}

class RunningDownloadsTest : public QueueFixture {
protected:
    void SetUp() override {
        QueueFixture::SetUp();
        server_.setHandler(HttpFileResponder(patternBytes(2'000'000, 7), {.bytesPerTick = 1000}));
    }

    frmDownload* startRunning(const QString& name) {
        queue.AddDownload(server_.url(name), target(name), -1);
        frmDownload* window = queue.DownloadSlots[queue.lstMain.Count() - 1];
        EXPECT_TRUE(waitFor([&] { return window->tmrUpdate.isActive(); }));
        return window;
    }

    ScriptedHttpServer server_;
};

TEST_F(RunningDownloadsTest, PauseResumeAndStopAllReachEveryRunningWindow) {
    frmDownload* a = startRunning(QStringLiteral("a.bin"));
    frmDownload* b = startRunning(QStringLiteral("b.bin"));
    // A third one still connecting: no data flows yet.
    queue.AddDownload(silentUrl(QStringLiteral("c.bin")), target(QStringLiteral("c.bin")), -1);
    frmDownload* connecting = queue.DownloadSlots[2];

    queue.PauseAll();
    for (frmDownload* w : {a, b}) {
        EXPECT_FALSE(w->tmrUpdate.isActive());
        EXPECT_EQ(w->cmdPause.Caption, QStringLiteral("&Resume"));
        EXPECT_EQ(w->Rate, 0);
    }
    EXPECT_EQ(connecting->cmdPause.Caption, QStringLiteral("&Pause"));

    queue.ResumeAll();
    for (frmDownload* w : {a, b}) {
        EXPECT_TRUE(w->tmrUpdate.isActive());
        EXPECT_EQ(w->cmdPause.Caption, QStringLiteral("&Pause"));
        EXPECT_EQ(w->lblStatus, QStringLiteral("Downloading"));
    }
    // Resuming does not pause what is still connecting, nor create windows for empty slots.
    EXPECT_EQ(connecting->cmdPause.Caption, QStringLiteral("&Pause"));
    EXPECT_EQ(windowCount(), 3);

    queue.StopAll();
    for (frmDownload* w : {a, b}) {
        EXPECT_FALSE(w->tmrUpdate.isActive());
        EXPECT_EQ(w->cmdStop.Caption, QStringLiteral("&Close"));
        EXPECT_EQ(w->lblStatus, QStringLiteral("Paused/Stopped"));
    }
    // A stopped window is not resumed by Resume All: its button is disabled.
    queue.ResumeAll();
    EXPECT_FALSE(a->tmrUpdate.isActive());
    EXPECT_EQ(a->cmdPause.Caption, QStringLiteral("&Resume"));
}

// The rows say what their windows say, in the list and in History.ini; a stopped
// or closed download frees its row: Resume All continues it from what is on disk,
// and Re-Download starts it again.
TEST_F(RunningDownloadsTest, RowsFollowTheirWindowsAndStoppedOnesCanBeStartedAgain) {
    const QString paused = QStringLiteral("Paused/Stopped");
    startRunning(QStringLiteral("a.bin"));
    startRunning(QStringLiteral("b.bin"));
    const auto statuses = [&] { return column(queue.lstMain, 5); };

    queue.PauseAll();
    EXPECT_EQ(statuses(), QStringList({paused, paused}));
    queue.ResumeAll();
    EXPECT_TRUE(waitFor([&] { return statuses() == QStringList(2, "Downloading..."); }));
    // Enough on disk that a continuation does not begin at the first byte.
    EXPECT_TRUE(waitFor([&] {
        return queue.DownloadSlots[0]->ReceivedBytes() > 3 * Settings.Rollback &&
               queue.DownloadSlots[1]->ReceivedBytes() > 3 * Settings.Rollback;
    }));
    queue.StopAll();
    EXPECT_EQ(statuses(), QStringList({paused, paused}));
    queue.SaveHistory();
    const QByteArray history = readWholeFile(DownloadQueue::HistoryPath());
    EXPECT_EQ(history.count("\r\nPaused/Stopped\r\n"), 2) << history.constData();

    // Resume All continues each from the end of its file, less the rollback.
    const qsizetype requestsBefore = server_.requests().size();
    std::vector<qint64> onDisk;
    for (const char* name : {"a.bin", "b.bin"}) onDisk.push_back(QFileInfo(target(name)).size());
    queue.ResumeAll();
    for (int i = 0; i < 2; ++i) {
        frmDownload* window = queue.DownloadSlots[i];
        ASSERT_TRUE(window) << i;
        EXPECT_EQ(window->ListItem, queue.lstMain.At(i));
        EXPECT_TRUE(waitFor([&] { return window->tmrUpdate.isActive(); })) << i;
    }
    // The first byte asked for after the probes: inside what each file held.
    std::vector<qint64> firstBytes;
    for (qsizetype r = requestsBefore; r < server_.requests().size(); ++r) {
        const QByteArray range = server_.requests()[r].header("Range");
        const qint64 first = range.mid(6, range.indexOf('-') - 6).toLongLong();
        if (range.startsWith("bytes=") && first > 0) firstBytes.push_back(first);
    }
    ASSERT_EQ(firstBytes.size(), 2u);
    std::sort(firstBytes.begin(), firstBytes.end());
    std::sort(onDisk.begin(), onDisk.end());
    for (int i = 0; i < 2; ++i) {
        EXPECT_LE(firstBytes[i], onDisk[i]) << i;
        EXPECT_GE(firstBytes[i], onDisk[i] - Settings.Rollback - 1) << i;
    }

    // Stopped and closed, and one row still reading as running: Re-Download
    // starts both again without calling them busy.
    queue.StopAll();
    for (const QPointer<frmDownload>& window : queue.DownloadSlots)
        if (window) window->Unload();
    EXPECT_EQ(statuses(), QStringList(2, "Transfer Stopped"));
    queue.lstMain.At(0)->setSubItem(5, QStringLiteral("Downloading..."));
    queue.AskExistChoice = [] { return -1; };
    queue.SelectAll();
    queue.ReDownload();
    EXPECT_TRUE(dialogCalls().empty());
    EXPECT_EQ(windowCount(), 2);
    EXPECT_EQ(queue.lstMain.Count(), 2);
}

// Stop All asks before it stops a segmented download; the program ending while
// the question is open unloads the window under it, and nothing more happens.
TEST_F(RunningDownloadsTest, AShutdownDuringTheStopQuestionEndsTheWalk) {
    Settings.Segment = 1;
    Settings.SegmentSize1 = 1;
    Settings.SegmentSize2 = 1e12;
    ScriptedDialogs::current().answerMessage(Dialogs::Answer::Yes);  // segments?
    frmDownload* segmented = startRunning(QStringLiteral("a.bin"));
    ASSERT_EQ(segmented->SegCount, 2);
    const QPointer<frmDownload> watched = segmented;
    int asked = 0;
    ScriptedDialogs::current().answerMessage(Dialogs::Answer::Yes);  // stop?
    ScriptedDialogs::current().whileMessageShown([&](const ScriptedDialogs::Call&) {
        ++asked;
        queue.BeginShutdown();
        queue.UnloadAllDownloads();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    });
    queue.StopAll();
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(watched);
    EXPECT_EQ(windowCount(), 0);
}

TEST_F(QueueCommandsTest, TheTotalRateAddsEverySlotAndKeepsTheLastValueOnAnEmptyList) {
    addLaterRows(2);
    queue.AddDownload(silentUrl(QStringLiteral("a.bin")), target(QStringLiteral("a.bin")), -1);
    queue.AddDownload(silentUrl(QStringLiteral("b.bin")), target(QStringLiteral("b.bin")), -1);
    queue.DownloadSlots[2]->Rate = 1500;
    queue.DownloadSlots[3]->Rate = 2000;
    QStringList shown;
    QObject::connect(&queue, &DownloadQueue::totalRateChanged,
                     [&](const QString& text) { shown << text; });
    queue.tmrGraph_Timer();
    EXPECT_EQ(queue.TotalRate, 3500);
    EXPECT_EQ(shown.last(), QStringLiteral("Total Transfer Rate: 03.50 Kbps"));
    EXPECT_EQ(queue.GraphFrame, 1);
    for (int i = 0; i < 3; ++i) queue.tmrGraph_Timer();
    EXPECT_EQ(queue.GraphFrame, 0);

    queue.ClearQueue();
    queue.DownloadSlots[2]->Rate = 0;
    queue.tmrGraph_Timer();
    EXPECT_EQ(queue.TotalRate, 3500);
    EXPECT_EQ(shown.last(), QStringLiteral("Total Transfer Rate: 03.50 Kbps"));
    EXPECT_EQ(shown.size(), 5);
}

TEST(FormatKbpsTest, AtLeastTwoWholeDigitsAndTwoToThreeDecimals) {
    QLocale::setDefault(QLocale::c());
    const std::pair<double, const char*> cases[] = {
        {0, "00.00"},      {1.5, "01.50"},      {12.3456, "12.346"}, {123.456, "123.456"},
        {0.0004, "00.00"}, {1234.5, "1234.50"}, {9.9999, "10.00"},   {-3, "00.00"},
    };
    for (const auto& [kbps, text] : cases)
        EXPECT_EQ(DownloadQueue::FormatKbps(kbps), QLatin1String(text)) << kbps;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(DownloadQueue::FormatKbps(1.5), QStringLiteral("01,50"));
    QLocale::setDefault(QLocale::c());
}

}  // namespace
