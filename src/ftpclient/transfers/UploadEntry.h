#pragma once

#include "ftpclient/transfers/KarvoWindow.h"

#include <QList>
#include <QString>

// A local file or folder to send: where it lies and the name it gets on the
// server (its own name).
struct UploadEntry {
    QString path;
    QString name;
    bool folder = false;

    // The selected rows of the local list, in the current local folder.
    static QList<UploadEntry> fromSelection(const QString& localFolder,
                                            const QList<KarvoListItem>& rows);
    // Files and folders dropped from another program, by their paths.
    static QList<UploadEntry> fromPaths(const QStringList& paths);
};
