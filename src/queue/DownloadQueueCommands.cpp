// The queue's commands on its lists and on the running downloads.
#include "common/Dialogs.h"
#include "queue/DownloadQueue.h"
#include "transfer/frmDownload.h"

namespace {

// An address as the lists keep it may carry text before its scheme; the restart
// takes it from the first "http://" (else "https://"), then from the first "ftp://"
// (in any letter case).
QString fromScheme(QString address) {
    if (address.indexOf(QLatin1String("http://"), 0, Qt::CaseInsensitive) < 0) {
        const qsizetype at = address.indexOf(QLatin1String("https://"), 0, Qt::CaseInsensitive);
        if (at >= 0) address = address.mid(at);
    }
    for (const QLatin1String scheme : {QLatin1String("http://"), QLatin1String("ftp://")}) {
        const qsizetype at = address.indexOf(scheme, 0, Qt::CaseInsensitive);
        if (at >= 0) address = address.mid(at);
    }
    return address;
}

}  // namespace

void DownloadQueue::ReDownload() {
    // The rows are taken first: restarting one may show a dialog, and the list
    // can change while it is open.
    for (const ListRowPtr& row : lstMain.SelectedRows()) {
        if (shuttingDown_) return;
        const int index = lstMain.IndexOf(row.get());
        if (index < 0) continue;
        const QString address = fromScheme(row->SubItem(6));
        if (address.isEmpty()) return;
        // The row's window tells, not its status text: a row whose window was
        // stopped or closed may still read "Downloading...".
        if (BusyWindowOf(row.get())) {
            Dialogs::show(QStringLiteral("Selected file is already in downloading process"),
                          Dialogs::Icon::Critical);
            continue;
        }
        RedownloadRow(address, row->SubItem(1), index + 1, row);
    }
}

void DownloadQueue::ReDownloadComplete() {
    for (const ListRowPtr& row : lstComplete.SelectedRows()) {
        if (shuttingDown_) return;
        const QString address = fromScheme(row->SubItem(6));
        if (address.isEmpty()) return;
        AddDownload(address, row->SubItem(1), -1);
    }
}

// The walks let the windows' sockets and timers run between the slots; a window can
// unload meanwhile, so each slot is looked at only after the turns before it.
void DownloadQueue::PauseAll() {
    for (int i = 0; i < kSlots && !shuttingDown_; ++i) {
        turnEventLoop();
        frmDownload* window = DownloadSlots[i];
        if (!shuttingDown_ && window && window->tmrUpdate.isActive()) window->Pause_Resume();
        turnEventLoop();
    }
}

// Paused downloads are resumed; toggling a window whose transfer is still
// connecting would pause it instead. A stopped download has closed its file: it is
// started again as a resume of what is on disk, segments included (its progress
// journal says where each one stands).
void DownloadQueue::ResumeAll() {
    for (int i = 0; i < kSlots && !shuttingDown_; ++i) {
        turnEventLoop();
        frmDownload* window = DownloadSlots[i];
        if (shuttingDown_) return;
        if (IsPaused(window))
            window->Pause_Resume();
        else if (IsStopped(window))
            restartStopped(window);
        turnEventLoop();
    }
}

void DownloadQueue::restartStopped(frmDownload* window) {
    const ListRowPtr row = window->ListItem;
    const int index = row ? lstMain.IndexOf(row.get()) : -1;
    if (index < 0) return;
    start(window->URL, window->SavePath, index, row, -1);
}

void DownloadQueue::StopAll() {
    for (int i = 0; i < kSlots && !shuttingDown_; ++i) {
        frmDownload* window = DownloadSlots[i];
        if (window && window->tmrUpdate.isActive()) window->StopMe();
    }
}

void DownloadQueue::ClearQueue() {
    lstMain.Clear();
}

void DownloadQueue::RemoveSelection() {
    while (lstMain.AnySelected()) lstMain.RemoveAt(lstMain.FirstSelected());
    lstMain.Refresh();
}

void DownloadQueue::RemoveCompleteSelection() {
    while (lstComplete.AnySelected()) lstComplete.RemoveAt(lstComplete.FirstSelected());
    lstComplete.Refresh();
}

void DownloadQueue::lstMain_ColumnClick(int column) {
    sortColumn_ = column;
    sortAscending_ = !sortAscending_;
    lstMain.Sort(column, sortAscending_);
    emit sortChanged(sortColumn_, sortAscending_);
}
