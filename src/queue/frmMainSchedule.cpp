// The main window's half of the scheduler: what runs when ExtraTimer1 expires.
#include "common/Dialogs.h"
#include "queue/ScheduleGlobals.h"
#include "queue/frmMain.h"
#include "transfer/frmDownload.h"

void frmMain::ExtraTimer1_Timer() {
    const bool fireNow = Scheduler.InitTimer(false);
    const bool pauseNow = Scheduler.PauseNow;
    if (fireNow) {
        ScheduledRun = true;
        RunSchedule();
        ScheduledRun = false;
    } else if (pauseNow) {
        Queue.PauseAll();
    }
    // Both runs let the event loop turn: the program may have ended meanwhile.
    if (shutDown_) return;
    if (fireNow || pauseNow) Scheduler.AfterRun();
}

void frmMain::RunSchedule() {
    // The rows are taken first: rows can complete and leave the list while a
    // start lets the event loop run, and each row is looked up again before use.
    const std::vector<ListRowPtr> rows = Queue.lstMain.Rows();
    for (const ListRowPtr& row : rows) {
        if (shutDown_) return;
        const int index = Queue.lstMain.IndexOf(row.get());
        if (index < 0) continue;
        const QString progress = row->SubItem(2);
        if (progress == QLatin1String("0 %") || progress == QLatin1String("100%")) continue;
        // A paused download goes on where it stopped; one that runs is left alone.
        // Starting either afresh would put a second writer on its file.
        if (frmDownload* window = Queue.BusyWindowOf(row.get())) {
            if (DownloadQueue::IsPaused(window)) window->Pause_Resume();
            continue;
        }
        if (Queue.lstMain.Count() >= DownloadQueue::kMaxRows) {
            // Every further start would be refused as well: the refusal is said
            // once, and starts made while it shows are not the schedule's.
            ScheduledRun = false;
            Dialogs::show(QStringLiteral("You exceed maximum number of downloads"),
                          Dialogs::Icon::Critical);
            return;
        }
        Queue.AddDownload(row->SubItem(6), row->SubItem(1), index + 1);
    }
}
