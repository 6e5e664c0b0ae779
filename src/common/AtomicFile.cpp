#include "common/AtomicFile.h"
#include "common/WriteAll.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <optional>

namespace {

bool fsyncFolder(const QByteArray& folder) {
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// Beside the target (so the rename stays within one file system); the process id and
// a per-process counter keep parallel writers apart.
QByteArray temporaryName(const QByteArray& target) {
    static std::atomic<unsigned> counter{0};
    return target + ".tmp." + QByteArray::number(::getpid()) + "." +
           QByteArray::number(counter.fetch_add(1)) + ".part";
}

bool writeAtomically(const QString& path, const QByteArray& content, std::optional<mode_t> mode) {
    // Writing through a symbolic link replaces the file it points to, not the link.
    QString target = path;
    const QFileInfo info(path);
    if (info.isSymLink()) target = info.symLinkTarget();

    const QByteArray targetName = QFile::encodeName(target);
    const QByteArray folder = QFile::encodeName(QFileInfo(target).absolutePath());

    struct stat old {};
    const bool exists = ::stat(targetName.constData(), &old) == 0;

    QByteArray tmpName;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tmpName = temporaryName(targetName);
        // A file meant for its owner alone is never readable by others, not even empty.
        fd = ::open(tmpName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode ? *mode : 0666);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;

    // Keep the permissions the user gave the old file (a settings file may hold passwords).
    bool ok = mode ? ::fchmod(fd, *mode) == 0 : !exists || ::fchmod(fd, old.st_mode & 07777) == 0;
    ok = ok && WriteAll(fd, content) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(tmpName.constData(), targetName.constData()) == 0;
    if (!ok) {
        ::unlink(tmpName.constData());
        return false;
    }
    // The rename is only durable once the folder entry is on disk; the new content is
    // already in place for every reader, so a failure here is not reported as one.
    fsyncFolder(folder);
    return true;
}

}  // namespace

bool WriteFileAtomically(const QString& path, const QByteArray& content) {
    return writeAtomically(path, content, std::nullopt);
}

bool WriteFileAtomically(const QString& path, const QByteArray& content, unsigned mode) {
    return writeAtomically(path, content, static_cast<mode_t>(mode & 07777));
}
