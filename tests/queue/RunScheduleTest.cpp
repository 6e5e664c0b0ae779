// The scheduled restart of the left-over rows of the Downloads list.
#include "QueueFixture.h"
#include "common/CRegister.h"
#include "common/QStringPrinter.h"
#include "queue/frmMain.h"
#include "support/HttpFileResponder.h"
#include "support/TestData.h"

namespace {

class RunScheduleTest : public QueueFixture {
protected:
    int windows() const {
        return static_cast<int>(std::count_if(q.DownloadSlots.begin(), q.DownloadSlots.end(),
                                              [](const auto& window) { return !!window; }));
    }

    frmMain main;
    DownloadQueue& q = main.Queue;
};

TEST_F(RunScheduleTest, LeftOverRowsRestartInTheirPlacePausedOnesResumeOthersStay) {
    ScriptedHttpServer files;
    files.setHandler(HttpFileResponder(patternBytes(2'000'000, 3), {.bytesPerTick = 1000}));
    const char* names[] = {"a", "b", "c", "d"};
    for (const char* name : names) q.AddLaterDownload(silentUrl(name), target(name));
    q.lstMain.At(0)->setSubItem(2, QStringLiteral("0 %"));
    q.lstMain.At(2)->setSubItem(2, QStringLiteral("45%"));  // as left by an earlier run
    q.lstMain.At(3)->setSubItem(2, QStringLiteral("100%"));
    q.AddDownload(files.url(QStringLiteral("e")), target(QStringLiteral("e")), -1);
    const QPointer<frmDownload> paused = q.DownloadSlots[4];
    ASSERT_TRUE(waitFor([&] { return paused->tmrUpdate.isActive(); }));
    paused->Pause_Resume();
    ASSERT_TRUE(DownloadQueue::IsPaused(paused));
    q.AddDownload(silentUrl(QStringLiteral("f")), target(QStringLiteral("f")), -1);
    const QPointer<frmDownload> connecting = q.DownloadSlots[5];
    const std::vector<ListRowPtr> rows = q.lstMain.Rows();

    // The first restart lets the list change: the row above the walk's position leaves it.
    bool removed = false;
    QObject::connect(&q, &DownloadQueue::windowShown, &q, [&] {
        if (!std::exchange(removed, true)) q.lstMain.Remove(rows[0]);
    });
    ScheduledRun = true;
    main.RunSchedule();
    ScheduledRun = false;

    EXPECT_TRUE(dialogCalls().empty());
    EXPECT_EQ(q.lstMain.Count(), 5);
    // "0%" and "45%" are restarted into their own rows; "0 %" and "100%" are not.
    ASSERT_NE(q.BusyWindowOf(rows[1].get()), nullptr);
    ASSERT_NE(q.BusyWindowOf(rows[2].get()), nullptr);
    EXPECT_EQ(q.BusyWindowOf(rows[1].get())->URL, silentUrl(QStringLiteral("b")));
    EXPECT_EQ(q.BusyWindowOf(rows[2].get())->SavePath, target(QStringLiteral("c")));
    EXPECT_EQ(q.BusyWindowOf(rows[3].get()), nullptr);
    // The paused download goes on in its own window; the connecting one is left alone.
    EXPECT_EQ(q.DownloadSlots[4], paused);
    EXPECT_TRUE(paused->tmrUpdate.isActive());
    EXPECT_EQ(q.DownloadSlots[5], connecting);
    EXPECT_EQ(connecting->ListItem, rows[5]);
    EXPECT_EQ(windows(), 4);
}

// Notes whether the scheduled existing-file choice was still on at each message.
struct RecordingDialogs : ScriptedDialogs {
    std::vector<bool> scheduled;
    Answer message(const QString& text, Buttons buttons, Icon icon, const QString& title) override {
        scheduled.push_back(ScheduledRun);
        return ScriptedDialogs::message(text, buttons, icon, title);
    }
};

// F8: a full list refuses every restart; that is said once, after the scheduled
// existing-file choice is off.
TEST_F(RunScheduleTest, AFullListIsRefusedWithOneMessage) {
    for (int i = 0; i < DownloadQueue::kMaxRows; ++i)
        q.AddLaterDownload(silentUrl("x"), target("x"));
    RecordingDialogs dialogs;
    dialogs.allowOkMessages();
    Dialogs::setInstance(&dialogs);
    ScheduledRun = true;
    main.RunSchedule();
    Dialogs::setInstance(&ScriptedDialogs::current());
    ASSERT_EQ(dialogs.calls().size(), 1u);
    EXPECT_EQ(dialogs.calls()[0].text, QStringLiteral("You exceed maximum number of downloads"));
    EXPECT_EQ(dialogs.scheduled, std::vector<bool>{false});
    EXPECT_EQ(windows(), 0);
}

// The stop time pauses what runs as Pause All does; the start that follows
// resumes it. The clock moves one second per tick of the scheduler's timer.
TEST_F(RunScheduleTest, TheStopTimePausesRunningDownloadsAndTheNextStartResumesThem) {
    const std::pair<const char*, const char*> values[] = {
        {"NoSchedule", "0"},      {"SchHour", "14"},      {"SchMinute", ":30"},
        {"SchType", "24HR"},      {"SchStop", "1"},       {"SchStopHour", "14"},
        {"SchStopMinute", ":00"}, {"SchStopType", "24HR"}};
    for (const auto& [name, text] : values)
        CRegister().REGSaveSetting(HKEY_LOCAL_MACHINE, kLumetKey, QLatin1String(name),
                                   QLatin1String(text));
    QDateTime now(QDate(2024, 5, 6), QTime(13, 59, 58));
    main.Scheduler.Now = [&] { return now; };
    ScriptedHttpServer files;
    files.setHandler(HttpFileResponder(patternBytes(2'000'000, 5), {.bytesPerTick = 1000}));
    q.AddDownload(files.url(QStringLiteral("r")), target(QStringLiteral("r")), -1);
    const QPointer<frmDownload> window = q.DownloadSlots[0];
    ASSERT_TRUE(waitFor([&] { return window->tmrUpdate.isActive(); }));

    main.Scheduler.InitTimer(true);
    const auto tickUntil = [&](const std::function<bool()>& done, int limit) {
        int ticks = 0;
        while (!done() && ticks < limit) {
            now = now.addSecs(1);
            main.ExtraTimer1.Tick();
            ++ticks;
        }
        return now.time();
    };
    EXPECT_EQ(tickUntil([&] { return DownloadQueue::IsPaused(window); }, 60), QTime(14, 0, 0));
    EXPECT_TRUE(main.ExtraTimer1.Enabled());  // the start still comes today
    EXPECT_EQ(tickUntil([&] { return window->tmrUpdate.isActive(); }, 3600), QTime(14, 30, 0));
    EXPECT_EQ(q.DownloadSlots[0], window);
    EXPECT_FALSE(main.ExtraTimer1.Enabled());
}

}  // namespace
