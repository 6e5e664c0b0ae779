#pragma once

#include "intake/QueueOperations.h"
#include "transfer/ReportList.h"

#include <QDate>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <array>
#include <functional>
#include <optional>

class frmDownload;

// The download queue: the Downloads list (lstMain) and the Complete list
// (lstComplete), the table of download windows, the routines that start, pause,
// resume, stop and restart downloads, the list commands, the total rate and the
// history file. No widgets: the main window's face shows the lists and the
// windows' faces show DownloadSlots.
class DownloadQueue : public QObject, public QueueOperations {
    Q_OBJECT
public:
    static constexpr int kSlots = 21;
    // Starts are refused at this many rows, although there is one slot more.
    static constexpr int kMaxRows = 20;
    // "Let the event loop run 14 times" around each slot of the long walks.
    static constexpr int kEventTurns = 14;

    explicit DownloadQueue(QObject* parent = nullptr);
    ~DownloadQueue() override;

    ReportList lstMain;
    ReportList lstComplete;
    ReportList& DownloadsList() override { return lstMain; }
    ReportList& CompleteList() override { return lstComplete; }

    // The download windows by slot, created on first use; null while a slot has
    // none. A window that unloads leaves its slot empty.
    std::array<QPointer<frmDownload>, kSlots> DownloadSlots;

    // Asks what to do with the target of a download that is being started when the
    // file exists (the existing-file dialog): 0 overwrite, -1 resume, -2 skip. The
    // answer is taken from the return value: the program-wide ExistChoice may have
    // been changed by another start while the dialog was open.
    std::function<int()> AskExistChoice;

    // --- Start routines
    void AddDownload(const QString& address, const QString& target, int rowIndex) override;
    void AddLaterDownload(const QString& address, const QString& target) override;
    // Restarts the download of row (1-based position rowIndex) in its own slot.
    void RedownloadRow(const QString& address, const QString& target, int rowIndex,
                       const ListRowPtr& row);
    void UnloadAllDownloads();
    // The program is ending: from now on nothing is started, and every walk over
    // rows or windows that is under way stops at its next step.
    void BeginShutdown() { shuttingDown_ = true; }
    bool IsShuttingDown() const { return shuttingDown_; }

    // --- Commands on the downloads
    void ReDownload();          // the selected Downloads rows
    void ReDownloadComplete();  // the selected Complete rows, as new downloads
    void PauseAll();
    void ResumeAll();
    void StopAll();

    // --- List commands
    void ClearQueue();
    void SelectAll() { lstMain.SetAllSelected(true); }
    void DeselectAll() { lstMain.SetAllSelected(false); }
    void RemoveSelection();
    void RefreshQueue() { lstMain.Refresh(); }
    void RemoveCompleteSelection();
    void RemoveAllComplete() { lstComplete.Clear(); }
    // A click on a column header of the Downloads list: sorts by that column, the
    // order flipping with every click.
    void lstMain_ColumnClick(int column);
    int SortColumn() const { return sortColumn_; }
    bool SortAscending() const { return sortAscending_; }

    // --- Total transfer rate, every 250 ms
    QTimer tmrGraph;
    void tmrGraph_Timer();
    double TotalRate = 0;  // bytes per second
    int GraphFrame = 0;    // cycles 0..3 while data flows
    QString TotalRateText;
    // Kbps in the form "#0#.#0#": at least two whole digits, two to three decimals.
    static QString FormatKbps(double kbps);

    // --- History file
    static QString HistoryPath();
    // When LoadHistory could not read the file, it is kept as it is and the lists
    // are saved to "History.ini.new" beside it; both steps are logged.
    void SaveHistory(const QDate& today = QDate::currentDate());
    void LoadHistory();

    // The row's window while its download runs or is paused; null otherwise.
    frmDownload* BusyWindowOf(const ListRow* row) const;
    // A window that holds a download in progress (running, connecting or paused),
    // or whose completion handler has not returned yet.
    static bool IsBusy(const frmDownload* window);
    // A window whose transfer waits for its resume button.
    static bool IsPaused(const frmDownload* window);
    // A window whose transfer the user stopped (or closed): it shows Close.
    static bool IsStopped(const frmDownload* window);

signals:
    // A window was created in a slot.
    void windowLoaded(frmDownload* window);
    // A window is to be shown (its download is being started).
    void windowShown(frmDownload* window);
    // The window of a slot reports on the main window's status line.
    void slotStatus(int slot, const QString& text);
    void totalRateChanged(const QString& text);
    void sortChanged(int column, bool ascending);

private:
    // choice: the existing-file decision when the caller has made it already;
    // otherwise it is asked for (or taken from the schedule) when the target exists.
    void start(const QString& address, const QString& target, int preferredSlot, ListRowPtr row,
               std::optional<int> choice = std::nullopt);
    void restartStopped(frmDownload* window);
    void followStatus(frmDownload* window);
    void completeEarlierRow(const QString& target);
    bool refusedByRowLimit() const;
    int slotFor(int preferred) const;
    frmDownload* loadWindow(int slot);
    void releaseWindow(frmDownload* window);
    void offerFreshStart(const QPointer<frmDownload>& window);
    void unloadIdleWindowsOf(const ListRow* row);
    static void turnEventLoop();
    static void logHistory(const QString& text, const QString& method);

    int sortColumn_ = -1;
    bool sortAscending_ = false;
    bool shuttingDown_ = false;
    bool historyUnreadable_ = false;
};
