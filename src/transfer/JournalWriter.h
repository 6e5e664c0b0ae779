#pragma once

#include <QByteArray>
#include <QString>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

// Writes progress journals away from the event loop. A journal may only name
// bytes that are on the disk, so each write first syncs the download's file
// (fdatasync), and that can take a third of a second while data pours in; on a
// thread of its own it holds up no socket and no timer. The thread touches no Qt
// object: it gets plain paths and bytes, and writes files.
//
// One writer serves the program; jobs run in the order they came. A newer journal
// for a path replaces one for the same path that has not begun, so a slow disk
// never builds a queue. The event loop only hands jobs over and, where a journal
// must be on disk before it goes on (set-up, pause, stop, shutdown, completion),
// waits for the path's jobs to end.
class JournalWriter {
public:
    static JournalWriter& instance();
    ~JournalWriter();
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    // Syncs the file at `dataPath` (what any handle wrote to it), then writes
    // `text` to `path` in one step, readable by the owner only. When the data
    // cannot be synced the older journal stays.
    void submit(const QString& path, const QString& dataPath, const QByteArray& text);
    // Returns when no job for `path` waits or runs.
    void wait(const QString& path);

private:
    JournalWriter() = default;
    struct Job {
        QString path;
        QByteArray dataPath;
        QByteArray text;
    };
    void run();
    bool pending(const QString& path) const;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> jobs_;
    QString running_;  // the path of the job under way
    bool stopping_ = false;
    std::thread thread_;
};
