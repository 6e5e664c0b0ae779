#include "queue/DownloadQueue.h"

#include "common/Dialogs.h"
#include "core/Language.h"
#include "core/UrlParser.h"
#include "core/modFunctions.h"
#include "core/modGlobalVariables.h"
#include "queue/ScheduleGlobals.h"
#include "transfer/frmDownload.h"

#include <QCoreApplication>
#include <QLocale>

namespace {

const QString kNotAvailable = QStringLiteral("N/A");
const QString kLimitMessage = QStringLiteral("You exceed maximum number of downloads");

}  // namespace

DownloadQueue::DownloadQueue(QObject* parent) : QObject(parent) {
    tmrGraph.setInterval(250);
    connect(&tmrGraph, &QTimer::timeout, this, &DownloadQueue::tmrGraph_Timer);
}

// The windows are children of the queue and go with it.
DownloadQueue::~DownloadQueue() = default;

bool DownloadQueue::IsBusy(const frmDownload* window) {
    if (!window) return false;
    if (window->CompletionRunning()) return true;
    return window->outcome() == frmDownload::Outcome::Running &&
           window->cmdStop.Caption != window->CaptionClose;
}

bool DownloadQueue::IsPaused(const frmDownload* window) {
    return window && window->outcome() == frmDownload::Outcome::Running &&
           !window->tmrUpdate.isActive() && window->cmdPause.Enabled &&
           window->cmdPause.Caption == window->CaptionResume;
}

bool DownloadQueue::IsStopped(const frmDownload* window) {
    return window && window->outcome() == frmDownload::Outcome::Running &&
           window->cmdStop.Caption == window->CaptionClose;
}

frmDownload* DownloadQueue::BusyWindowOf(const ListRow* row) const {
    for (const QPointer<frmDownload>& window : DownloadSlots)
        if (IsBusy(window) && window->ListItem.get() == row) return window;
    return nullptr;
}

bool DownloadQueue::refusedByRowLimit() const {
    if (lstMain.Count() < kMaxRows) return false;
    Dialogs::show(kLimitMessage, Dialogs::Icon::Critical);
    return true;
}

void DownloadQueue::AddDownload(const QString& address, const QString& target, int rowIndex) {
    if (refusedByRowLimit()) return;
    ListRowPtr row = rowIndex > 0 ? lstMain.At(rowIndex - 1) : nullptr;
    // The scheduler restarts rows by position; one whose download still runs stays as it is.
    if (row && BusyWindowOf(row.get())) return;
    start(address, target, rowIndex > 0 ? rowIndex - 1 : lstMain.Count(), row);
}

void DownloadQueue::RedownloadRow(const QString& address, const QString& target, int rowIndex,
                                  const ListRowPtr& row) {
    if (refusedByRowLimit()) return;
    if (rowIndex > 0 && row && BusyWindowOf(row.get())) {
        Dialogs::show(QStringLiteral("Selected file is already in downloading process"),
                      Dialogs::Icon::Critical);
        return;
    }
    start(address, target, rowIndex > 0 ? rowIndex - 1 : lstMain.Count(),
          rowIndex > 0 ? row : nullptr);
}

void DownloadQueue::start(const QString& address, const QString& target, int preferredSlot,
                          ListRowPtr row, std::optional<int> choice) {
    if (shuttingDown_) return;
    const QString url = ListRow::WithoutLineBreaks(address);
    const QString path = ListRow::WithoutLineBreaks(target);
    const int slot = slotFor(preferredSlot);
    if (slot < 0) {
        Dialogs::show(kLimitMessage, Dialogs::Icon::Critical);
        return;
    }
    if (row) unloadIdleWindowsOf(row.get());
    const QPointer<frmDownload> window = loadWindow(slot);

    ExistChoice = 0;
    if (!choice) {
        choice = 0;
        if (FileExists(path) && FileIsReadable(path)) {
            if (ScheduledRun)
                choice = ExistChoiceOfSchedule(ScheduleExistChoice);
            else if (AskExistChoice)
                choice = AskExistChoice();
        }
    }
    // The dialog runs the event loop: the program may have begun to shut down
    // meanwhile (its dialogs then return at once), or the slot went to another start.
    if (!window || DownloadSlots[slot] != window) return;
    if (shuttingDown_) {
        window->Unload();
        return;
    }

    ParseUrlInto(url, *window);
    if (!row) {
        row = lstMain.Add(1);
        row->setSubItem(1, path);
        row->setSubItem(2, QStringLiteral("0%"));
        row->setSubItem(3, kNotAvailable);
        row->setSubItem(4, kNotAvailable);
        row->setSubItem(5, kNotAvailable);
        row->setSubItem(6, url);
    }
    window->ListItem = row;
    // A file continued to its end is the same completed download as before.
    if (*choice == -1)
        connect(window, &frmDownload::completed, this, [this, path] { completeEarlierRow(path); });

    emit windowShown(window);
    window->SavePath = path;
    window->txtSaveTo = path;
    window->txtURL = url;
    window->URL = url;
    // Read by the window as it starts.
    ExistChoice = *choice;
    window->StartDownload();
}

// The Complete row the window has just added for target goes into an earlier
// row of the same file, which takes its texts.
void DownloadQueue::completeEarlierRow(const QString& target) {
    const std::vector<ListRowPtr>& rows = lstComplete.Rows();
    if (rows.empty() || rows.back()->SubItem(1) != target) return;
    const ListRowPtr added = rows.back();
    for (const ListRowPtr& row : rows) {
        if (row == added) return;
        if (row->SubItem(1) != target) continue;
        for (int k = 1; k <= 6; ++k) row->setSubItem(k, added->SubItem(k));
        lstComplete.Remove(added);
        return;
    }
}

// A paused or stopped download says so in its row as its window does; while the
// transfer runs the window writes the row itself.
void DownloadQueue::followStatus(frmDownload* window) {
    if (!window->ListItem || !(IsPaused(window) || IsStopped(window))) return;
    window->ListItem->setSubItem(5, window->lblStatus);
}

void DownloadQueue::AddLaterDownload(const QString& address, const QString& target) {
    const ListRowPtr row = lstMain.Add(1);
    row->setSubItem(1, target);
    row->setSubItem(2, QStringLiteral("0%"));
    row->setSubItem(3, kNotAvailable);
    row->setSubItem(4, kNotAvailable);
    row->setSubItem(5, QStringLiteral("Not Downloaded"));
    row->setSubItem(6, address);
    ExistChoice = -2;
}

// The slot of a download is its row position; when rows were removed that slot's
// window may still be busy with another download, and then the lowest slot that is
// free (or holds a finished window) is taken instead.
int DownloadQueue::slotFor(int preferred) const {
    if (preferred >= 0 && preferred < kSlots && !IsBusy(DownloadSlots[preferred])) return preferred;
    for (int i = 0; i < kSlots; ++i)
        if (!IsBusy(DownloadSlots[i])) return i;
    return -1;
}

frmDownload* DownloadQueue::loadWindow(int slot) {
    // A finished window gives its slot to the new download.
    if (frmDownload* old = DownloadSlots[slot]) old->Unload();
    auto* window = new frmDownload(&lstMain, &lstComplete, this);
    window->Index = slot;
    connect(window, &frmDownload::unloaded, this, [this, window] { releaseWindow(window); });
    connect(window, &frmDownload::statusLine, this,
            [this, window](const QString& text) { emit slotStatus(window->Index, text); });
    connect(window, &frmDownload::changed, this, [this, window] { followStatus(window); });
    connect(window, &frmDownload::notice, this,
            [this, window](const QString& text) { emit slotStatus(window->Index, text); });
    // Asked once the window's own handler has returned: the answer may replace it.
    connect(window, &frmDownload::failed, this, [this, window] {
        if (window->RemoteChanged())
            QTimer::singleShot(0, this, [this, w = QPointer<frmDownload>(window)] { offerFreshStart(w); });
    });
    DownloadSlots[slot] = window;
    emit windowLoaded(window);
    return window;
}

// The server's file changed under a download: the user may fetch the new one from
// its first byte, in the same row.
void DownloadQueue::offerFreshStart(const QPointer<frmDownload>& window) {
    if (!window) return;
    const QString question =
        frmDownload::RemoteChangedText() + QStringLiteral("\r\nDownload it again from the start?");
    if (!Dialogs::ask(question, Dialogs::Icon::Question)) return;
    // The question ran the event loop: the window or its row may be gone.
    if (!window || !window->ListItem) return;
    const int position = lstMain.IndexOf(window->ListItem.get());
    if (position < 0) return;
    const ListRowPtr row = window->ListItem;
    const QString path = window->SavePath;
    const QString url = window->URL;
    // Gone before the start, so that no existing-file question comes.
    KillFileQuiet(path);
    RedownloadRow(url, path, position + 1, row);
}

void DownloadQueue::releaseWindow(frmDownload* window) {
    for (QPointer<frmDownload>& slot : DownloadSlots)
        if (slot == window) slot = nullptr;
    window->deleteLater();
}

// A row restarted while its old window still shows a finished download: that
// window must not write into the row any more.
void DownloadQueue::unloadIdleWindowsOf(const ListRow* row) {
    for (const QPointer<frmDownload>& window : DownloadSlots)
        if (window && window->ListItem.get() == row) window->Unload();
}

void DownloadQueue::turnEventLoop() {
    for (int i = 0; i < kEventTurns; ++i) QCoreApplication::processEvents();
}

void DownloadQueue::UnloadAllDownloads() {
    for (int i = 0; i < kSlots; ++i) {
        turnEventLoop();
        if (frmDownload* window = DownloadSlots[i]) window->Unload();
        turnEventLoop();
    }
}

void DownloadQueue::tmrGraph_Timer() {
    if (lstMain.Count() > 0) {
        TotalRate = 0;
        for (const QPointer<frmDownload>& window : DownloadSlots)
            if (window) TotalRate += window->Rate;
        if (TotalRate > 0) GraphFrame = (GraphFrame + 1) % 4;
    }
    // A looked-up caption loses its trailing blank; the number keeps its distance.
    QString caption =
        SetCaptionfromINI(QStringLiteral("01008"), QStringLiteral("Total Transfer Rate: "));
    while (caption.endsWith(QLatin1Char(' '))) caption.chop(1);
    TotalRateText =
        caption + QLatin1Char(' ') + FormatKbps(TotalRate / 1000) + QStringLiteral(" Kbps");
    emit totalRateChanged(TotalRateText);
}

QString DownloadQueue::FormatKbps(double kbps) {
    if (!(kbps >= 0) || kbps > 1e15) kbps = 0;
    QString text = QString::number(kbps, 'f', 3);
    if (text.endsWith(QLatin1Char('0'))) text.chop(1);
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    if (point < 2) text.prepend(QString(2 - point, QLatin1Char('0')));
    return text.replace(QLatin1Char('.'), QLocale().decimalPoint());
}
