#include "transfer/SegmentFile.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

bool SegmentFile::open(const QString& path) {
    close();
    const QByteArray native = QFile::encodeName(path);
    fd_ = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        lastError_ = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    return true;
}

void SegmentFile::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool SegmentFile::writeAt(qint64 offset, const char* data, qint64 size) {
    if (fd_ < 0) {
        lastError_ = QStringLiteral("file not open");
        return false;
    }
    while (size > 0) {
        const ssize_t n = ::pwrite(fd_, data, static_cast<size_t>(size), offset);
        if (n < 0) {
            if (errno == EINTR) continue;
            lastError_ = QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        data += n;
        offset += n;
        size -= n;
    }
    return true;
}

bool SegmentFile::readAt(qint64 offset, char* data, qint64 size) {
    if (fd_ < 0) return false;
    while (size > 0) {
        const ssize_t n = ::pread(fd_, data, static_cast<size_t>(size), offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        offset += n;
        size -= n;
    }
    return true;
}

bool SegmentFile::truncate(qint64 length) {
    if (fd_ < 0) return false;
    if (::ftruncate(fd_, length) != 0) {
        lastError_ = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    return true;
}
