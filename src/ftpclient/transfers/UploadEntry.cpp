#include "ftpclient/transfers/UploadEntry.h"

#include <QDir>
#include <QFileInfo>

QList<UploadEntry> UploadEntry::fromSelection(const QString& localFolder,
                                              const QList<KarvoListItem>& rows) {
    QList<UploadEntry> entries;
    for (const KarvoListItem& row : rows)
        entries.append({QDir(localFolder).filePath(row.name), row.name, row.isFolder()});
    return entries;
}

QList<UploadEntry> UploadEntry::fromPaths(const QStringList& paths) {
    QList<UploadEntry> entries;
    for (const QString& path : paths) {
        const QFileInfo info(QDir::cleanPath(path));
        if (info.fileName().isEmpty()) continue;
        entries.append({info.filePath(), info.fileName(), info.isDir()});
    }
    return entries;
}
