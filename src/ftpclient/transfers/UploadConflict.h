#pragma once

#include "ftpclient/transfers/KarvoWindow.h"

#include <QDateTime>
#include <QString>
#include <QtGlobal>

// The rules of an upload whose file the remote folder holds already.
namespace UploadConflict {

// The remote copy differs in size or in date: the user is asked. Dates are
// compared to the minute, the finest a listing shows; an unknown remote date
// leaves the decision to the size.
bool differs(qint64 localSize, const QDateTime& localTime, qint64 remoteSize,
             const QDateTime& remoteTime);

// Resume continues the remote copy, so it is possible only while the remote
// copy is shorter than the local file; from an equal or longer one it would
// store nothing, or garbage, and report success.
bool canResume(qint64 localSize, qint64 remoteSize);

// What the upload does with the file after the decision (eResumeFile).
struct Plan {
    enum Action { Send, Skip, Cancel };
    Action action = Send;
    qint64 offset = 0;
    bool resume = false;
    // Why a Resume became a Skip; empty otherwise.
    QString note;
};
Plan apply(int eResumeFile, const QString& name, qint64 localSize, qint64 remoteSize);

// The two texts of the file-exists dialog.
QString sourceText(qint64 localSize, const QDateTime& localTime);
QString destinationText(qint64 remoteSize, const QDateTime& remoteTime);

}  // namespace UploadConflict
