#include "transfer/JournalWriter.h"

#include "common/AtomicFile.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

JournalWriter& JournalWriter::instance() {
    static JournalWriter writer;
    return writer;
}

// The jobs handed over are finished before the program ends.
JournalWriter::~JournalWriter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void JournalWriter::submit(const QString& path, const QString& dataPath, const QByteArray& text) {
    {
        std::lock_guard lock(mutex_);
        if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
        Job job{path, QFile::encodeName(dataPath), text};
        bool replaced = false;
        for (Job& waiting : jobs_) {
            if (waiting.path != path) continue;
            waiting = std::move(job);
            replaced = true;
            break;
        }
        if (!replaced) jobs_.push_back(std::move(job));
    }
    changed_.notify_all();
}

bool JournalWriter::pending(const QString& path) const {
    if (running_ == path) return true;
    for (const Job& job : jobs_)
        if (job.path == path) return true;
    return false;
}

void JournalWriter::wait(const QString& path) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return !pending(path); });
}

void JournalWriter::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        if (jobs_.empty()) return;
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        running_ = job.path;
        lock.unlock();
        // A sync reaches the data every handle of the file wrote, closed ones too.
        // A journal whose data could not be synced would name bytes a power cut
        // may still take: then the older journal stays.
        const int fd = ::open(job.dataPath.constData(), O_RDONLY | O_CLOEXEC);
        const bool synced = fd >= 0 && ::fdatasync(fd) == 0;
        if (fd >= 0) ::close(fd);
        if (synced) WriteFileAtomically(job.path, job.text, 0600);
        lock.lock();
        running_.clear();
        changed_.notify_all();
    }
}
