#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A fresh, empty VORNELKARVO_ROOT for the life of the object; the previous value
// comes back afterwards. Use it where a test needs a state of its own beyond the
// per-process root the test main sets up.
class TempRoot {
public:
    TempRoot() : previous_(qgetenv("VORNELKARVO_ROOT")) {
        qputenv("VORNELKARVO_ROOT", dir_.path().toLocal8Bit());
    }
    ~TempRoot() { qputenv("VORNELKARVO_ROOT", previous_); }
    TempRoot(const TempRoot&) = delete;
    TempRoot& operator=(const TempRoot&) = delete;

    QString path() const { return dir_.path(); }
    QString file(const QString& relative) const { return dir_.filePath(relative); }

private:
    QByteArray previous_;
    QTemporaryDir dir_;
};
