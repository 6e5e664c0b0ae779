#pragma once

#include <QString>

// Holds an exclusive lock on "<name>.lock" in the runtime folder for the life of
// the object, so that a second copy of a program can tell that one runs already.
// The lock dies with the process, so a crashed instance never blocks the next.
class SingleInstance {
public:
    explicit SingleInstance(const QString& name);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this process holds the lock (no other instance runs).
    bool isFirst() const { return fd_ >= 0; }

    // The text shown when another instance runs.
    static QString runningMessage() { return QStringLiteral("There is running instance"); }

private:
    int fd_ = -1;
};
