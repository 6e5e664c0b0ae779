#include "ftpclient/fileops/LocalTrash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>
#include <sys/stat.h>
#include <unistd.h>

namespace LocalTrash {

namespace {

// A real folder (not a link) of this user.
bool ownFolder(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_uid == ::getuid();
}

// $topdir/.Trash may serve every user only as a real folder with the sticky bit.
bool sharedTrashRoot(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           (st.st_mode & S_ISVTX);
}

QString removeEntry(const QFileInfo& entry) {
    if (entry.isDir() && !entry.isSymLink()) {
        if (QDir(entry.filePath()).removeRecursively()) return {};
        return QStringLiteral("Cannot delete %1").arg(entry.filePath());
    }
    QFile file(entry.filePath());
    if (file.remove()) return {};
    return QStringLiteral("Cannot delete %1: %2").arg(entry.filePath(), file.errorString());
}

}  // namespace

std::optional<QString> moveToTrash(const QString& path) {
    QFile file(path);
    if (file.moveToTrash()) return std::nullopt;
    return file.errorString().isEmpty() ? QStringLiteral("Cannot move %1 to the trash").arg(path)
                                        : file.errorString();
}

QStringList folders() {
    QStringList found;
    const QString home =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Trash");
    if (QFileInfo(home).isDir()) found << home;
    const QString uid = QString::number(::getuid());
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady()) continue;
        const QDir top(volume.rootPath());
        const QString own = top.filePath(QStringLiteral(".Trash-") + uid);
        if (QFileInfo(own).isDir() && !found.contains(own)) found << own;
        const QString shared = top.filePath(QStringLiteral(".Trash"));
        const QString mine = shared + u'/' + uid;
        if (sharedTrashRoot(shared) && QFileInfo(mine).isDir() && !found.contains(mine)) found << mine;
    }
    return found;
}

QStringList empty(const QStringList& trashFolders) {
    QStringList errors;
    for (const QString& trash : trashFolders) {
        if (!ownFolder(trash)) {
            if (QFileInfo::exists(trash) || QFileInfo(trash).isSymLink())
                errors << QStringLiteral("%1 is not a trash folder of this user; left alone").arg(trash);
            continue;
        }
        const QFileInfoList parts = QDir(trash).entryInfoList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QFileInfo& part : parts) {
            if (!part.isDir() || part.isSymLink()) {
                if (QString error = removeEntry(part); !error.isEmpty()) errors << error;
                continue;
            }
            const QFileInfoList entries = QDir(part.filePath())
                                              .entryInfoList(QDir::AllEntries | QDir::Hidden |
                                                             QDir::System | QDir::NoDotAndDotDot);
            for (const QFileInfo& entry : entries)
                if (QString error = removeEntry(entry); !error.isEmpty()) errors << error;
        }
    }
    return errors;
}

}  // namespace LocalTrash
