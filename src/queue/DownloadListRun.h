#pragma once

#include "queue/DownloadListFile.h"
#include "transfer/ListRow.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <vector>

class DownloadQueue;
class frmDownload;

// Runs the entries of a download list through the queue, the way the desktop
// program runs its downloads: each in a download window of its own, as many at
// once as the queue takes (DownloadQueue::kMaxRows), the others waiting in list
// order for a window to finish. A finished download's row leaves the Downloads
// list (the queue moves a completed one to the Complete list), so that the next
// one can start.
//
// A target's folder is made when it is missing. A target that exists is
// overwritten, resumed or skipped as existChoice says (0, -1, -2, as
// ExistChoice), for every entry alike.
class DownloadListRun : public QObject {
    Q_OBJECT
public:
    enum class Outcome { Completed, Failed, Skipped };
    struct Result {
        DownloadListFile::Entry entry;
        Outcome outcome = Outcome::Failed;
        QString status;       // why it failed
        qint64 bytes = 0;     // the target's size when the download ended
        qint64 elapsedMs = 0;
    };

    DownloadListRun(DownloadQueue& queue, std::vector<DownloadListFile::Entry> entries,
                    int existChoice, QObject* parent = nullptr);

    // Starts the first downloads; finished() follows once every one has ended
    // (at once, from the event loop, for an empty list).
    void start();
    // Ends the run now: every running download is stopped and reported as failed
    // with the status given; the waiting ones are never started.
    void stop(const QString& status);

    int running() const { return static_cast<int>(running_.size()); }
    int waiting() const { return static_cast<int>(entries_.size() - next_); }
    const std::vector<Result>& results() const { return results_; }

signals:
    void ended(const DownloadListRun::Result& result);
    void finished();

private:
    struct Running {
        DownloadListFile::Entry entry;
        QPointer<frmDownload> window;
        QElapsedTimer clock;
        bool skipIfExists = false;
    };

    void fill();
    void bind(frmDownload* window);
    void end(frmDownload* window, Outcome outcome, const QString& status);
    void finishIfDone();

    DownloadQueue& queue_;
    std::vector<DownloadListFile::Entry> entries_;
    std::size_t next_ = 0;
    int existChoice_ = 0;
    QHash<frmDownload*, Running> running_;
    // The entry being handed to the queue, until its window has been loaded.
    const DownloadListFile::Entry* starting_ = nullptr;
    bool startingBound_ = false;
    // Rows of downloads that ended without completing; they leave the Downloads
    // list before the next start.
    std::vector<ListRowPtr> finishedRows_;
    bool fillQueued_ = false;
    bool stopped_ = false;
    bool finished_ = false;
    std::vector<Result> results_;
};
