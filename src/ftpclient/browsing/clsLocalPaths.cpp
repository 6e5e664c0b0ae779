#include "ftpclient/browsing/clsLocalPaths.h"

#include "common/Dialogs.h"
#include "ftpclient/component/FtpNames.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace karvo {

namespace {

QString reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QString folderPath(QString path) {
    if (!path.endsWith(u'/')) path += u'/';
    return path;
}

// File systems that hold no user files: kernel interfaces, containers' layers.
bool isPseudoVolume(const QStorageInfo& volume) {
    static const QList<QByteArray> kTypes = {
        "proc",        "sysfs",          "cgroup",    "cgroup2", "devtmpfs",    "devpts",
        "mqueue",      "securityfs",     "debugfs",   "tracefs", "pstore",      "bpf",
        "fusectl",     "configfs",       "hugetlbfs", "autofs",  "binfmt_misc", "nsfs",
        "efivarfs",    "rpc_pipefs",     "squashfs",  "overlay", "ramfs",       "nfsd",
        "fuse.portal", "fuse.gvfsd-fuse"};
    if (kTypes.contains(volume.fileSystemType())) return true;
    const QString root = volume.rootPath();
    for (const char* system : {"/proc", "/sys", "/dev", "/run", "/boot/efi"}) {
        const QString prefix = QString::fromLatin1(system);
        if (root == prefix || root.startsWith(prefix + u'/')) {
            // Removable media appear below /run/media.
            return !root.startsWith(QStringLiteral("/run/media/"));
        }
    }
    return false;
}

}  // namespace

bool clsLocalPaths::RetrieveLocalFolderContents(const QString& sPath) {
    return retrieve(sPath, QString());
}

bool clsLocalPaths::RetrieveDefinedLocalFolderContents(const QString& sPath,
                                                       const QString& definedType) {
    return retrieve(sPath, definedType);
}

bool clsLocalPaths::retrieve(const QString& path, const QString& mask) {
    const QString folder = folderPath(path);
    const QByteArray encoded = QFile::encodeName(folder);
    DIR* dir = ::opendir(encoded.constData());
    QList<QByteArray> names;
    int error = dir ? 0 : errno;
    if (dir) {
        errno = 0;
        while (const dirent* entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name != "." && name != "..") names << name;
            errno = 0;
        }
        error = errno;
        ::closedir(dir);
    }
    if (error != 0) {
        Dialogs::instance().message(QStringLiteral("Cannot read the contents of ") + folder,
                                    Dialogs::Buttons::OK, Dialogs::Icon::Critical,
                                    QStringLiteral("FTP Client[Error]"));
        return false;
    }
    QList<QString> decoded;
    for (const QByteArray& name : names) decoded << QFile::decodeName(name);
    std::sort(decoded.begin(), decoded.end(), [](const QString& a, const QString& b) {
        const int blind = a.compare(b, Qt::CaseInsensitive);
        return blind != 0 ? blind < 0 : a < b;
    });
    for (const QString& name : decoded) {
        if (!mask.isEmpty() && !FtpNames::matches(mask, name)) continue;
        const QByteArray full = QFile::encodeName(folder + name);
        struct stat info {};
        int attributes = 0;
        if (::stat(full.constData(), &info) == 0) {
            // A link to a folder is browsed like the folder.
            attributes = S_ISDIR(info.st_mode) ? kFolderAttribute : 0;
        } else {
            attributes = kUnreadable;
            if (::lstat(full.constData(), &info) != 0) info = {};
        }
        const QDateTime modified = info.st_mtim.tv_sec != 0
                                       ? QDateTime::fromSecsSinceEpoch(info.st_mtim.tv_sec)
                                       : QDateTime();
        emit UpdateLocalEntry(name, modified, qint64(info.st_size), attributes);
    }
    emit AddToLocalPaths(folder);
    return true;
}

void clsLocalPaths::RetrieveLogicalDrives() {
    QStringList drives = {QStringLiteral("/"), folderPath(QDir::homePath())};
    QStringList volumes;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady() || isPseudoVolume(volume)) continue;
        volumes << folderPath(volume.rootPath());
    }
    volumes.sort();
    for (const QString& volume : volumes)
        if (!drives.contains(volume)) drives << volume;
    for (const QString& drive : drives) emit LogicalDriveFound(drive);
}

QString clsLocalPaths::DeleteLocalFile(const QString& sFileToDelete) {
    struct stat info {};
    const QByteArray path = QFile::encodeName(sFileToDelete);
    if (::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode)) return reason(EISDIR);
    return ::unlink(path.constData()) == 0 ? QString() : reason(errno);
}

QString clsLocalPaths::RenameLocalFile(const QString& sCurrentName, const QString& sNewName) {
    const QByteArray from = QFile::encodeName(sCurrentName);
    const QByteArray to = QFile::encodeName(sNewName);
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return QString();
    if (errno != EINVAL && errno != ENOSYS) return reason(errno);
    // A file system that cannot promise it: look first, then rename.
    struct stat info {};
    if (::lstat(to.constData(), &info) == 0) return reason(EEXIST);
    return ::rename(from.constData(), to.constData()) == 0 ? QString() : reason(errno);
}

QString clsLocalPaths::RemoveLocalFolder(const QString& sFolderToDelete) {
    return ::rmdir(QFile::encodeName(sFolderToDelete).constData()) == 0 ? QString() : reason(errno);
}

QString clsLocalPaths::CreateLocalFolder(const QString& sFolderToCreate) {
    return ::mkdir(QFile::encodeName(sFolderToCreate).constData(), 0777) == 0 ? QString()
                                                                              : reason(errno);
}

}  // namespace karvo
