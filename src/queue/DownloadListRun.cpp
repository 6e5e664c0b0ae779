#include "queue/DownloadListRun.h"

#include "core/modFunctions.h"
#include "queue/DownloadQueue.h"
#include "transfer/frmDownload.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

DownloadListRun::DownloadListRun(DownloadQueue& queue, std::vector<DownloadListFile::Entry> entries,
                                 int existChoice, QObject* parent)
    : QObject(parent), queue_(queue), entries_(std::move(entries)), existChoice_(existChoice) {
    connect(&queue_, &DownloadQueue::windowLoaded, this, &DownloadListRun::bind);
}

void DownloadListRun::start() {
    const int choice = existChoice_;
    queue_.AskExistChoice = [choice] { return choice; };
    fill();
}

void DownloadListRun::fill() {
    fillQueued_ = false;
    // Finished rows leave first: the queue counts the rows of the Downloads list.
    for (const ListRowPtr& row : finishedRows_) queue_.lstMain.Remove(row);
    finishedRows_.clear();
    while (!stopped_ && !queue_.IsShuttingDown() && next_ < entries_.size() &&
           queue_.lstMain.Count() < DownloadQueue::kMaxRows) {
        const DownloadListFile::Entry& entry = entries_[next_++];
        // A list names targets in folders of their own, which may not exist yet.
        QDir().mkpath(QFileInfo(entry.target).path());
        starting_ = &entry;
        startingBound_ = false;
        queue_.AddDownload(entry.address, entry.target, -1);
        starting_ = nullptr;
        if (!startingBound_) {
            results_.push_back({entry, Outcome::Failed, QStringLiteral("No download window was free."), 0, 0});
            emit ended(results_.back());
        }
    }
    finishIfDone();
}

void DownloadListRun::bind(frmDownload* window) {
    if (!starting_) return;
    startingBound_ = true;
    Running running;
    running.entry = *starting_;
    running.window = window;
    running.clock.start();
    running.skipIfExists = existChoice_ == -2 && FileExists(starting_->target);
    running_.insert(window, running);
    connect(window, &frmDownload::completed, this, [this, window] { end(window, Outcome::Completed, {}); });
    connect(window, &frmDownload::failed, this,
            [this, window](const QString& status) { end(window, Outcome::Failed, status); });
    // Without completing or failing first: the existing target was to be kept, or
    // the window was closed under the download.
    connect(window, &frmDownload::unloaded, this, [this, window] {
        const auto it = running_.constFind(window);
        if (it == running_.cend()) return;
        if (it->skipIfExists)
            end(window, Outcome::Skipped, {});
        else
            end(window, Outcome::Failed, QStringLiteral("The download window was closed."));
    });
}

void DownloadListRun::end(frmDownload* window, Outcome outcome, const QString& status) {
    const auto it = running_.find(window);
    if (it == running_.end()) return;
    const Running running = *it;
    running_.erase(it);
    if (running.window) running.window->disconnect(this);
    const QFileInfo file(running.entry.target);
    results_.push_back({running.entry, outcome, status, file.exists() ? file.size() : 0,
                        running.clock.elapsed()});
    // A completed row has moved to the Complete list; any other stays until the
    // next start, and leaves then.
    if (outcome != Outcome::Completed && running.window && running.window->ListItem)
        finishedRows_.push_back(running.window->ListItem);
    emit ended(results_.back());
    // The window's handler is still on the stack: the next download starts from
    // the event loop.
    if (!fillQueued_) {
        fillQueued_ = true;
        QTimer::singleShot(0, this, &DownloadListRun::fill);
    }
}

void DownloadListRun::stop(const QString& status) {
    stopped_ = true;
    const QList<frmDownload*> windows = running_.keys();
    for (frmDownload* window : windows) {
        const auto it = running_.constFind(window);
        if (it == running_.cend()) continue;
        if (it->window) it->window->StopDown();
        end(window, Outcome::Failed, status);
    }
    finishIfDone();
}

void DownloadListRun::finishIfDone() {
    if (finished_ || !running_.isEmpty() || (!stopped_ && next_ < entries_.size())) return;
    finished_ = true;
    QTimer::singleShot(0, this, &DownloadListRun::finished);
}
