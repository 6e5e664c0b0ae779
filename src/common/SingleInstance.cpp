#include "common/SingleInstance.h"

#include "common/AppPaths.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>

SingleInstance::SingleInstance(const QString& name) {
    const QString folder = AppPaths::runtimeFolder();
    if (folder.isEmpty()) return;
    QString fileName = name;
    fileName.replace(u'/', u'_');
    const QByteArray path = QFile::encodeName(folder + u'/' + fileName + QStringLiteral(".lock"));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return;
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        ::close(fd);
        return;
    }
    // The lock file stays when we end: removing it would let two later starts lock two
    // different files of the same name (one opened before the removal, one after).
    fd_ = fd;
}

SingleInstance::~SingleInstance() {
    if (fd_ >= 0) ::close(fd_);
}
