#pragma once

#include <QString>
#include <QtGlobal>

// One handle on the local file of a download. Every segment writes through its own
// handle at absolute positions (pwrite), so segments never move each other's file
// position and no bytes are buffered or copied into part files.
class SegmentFile {
public:
    SegmentFile() = default;
    ~SegmentFile() { close(); }
    SegmentFile(const SegmentFile&) = delete;
    SegmentFile& operator=(const SegmentFile&) = delete;

    // Opens (creating when missing) for reading and writing. False on failure;
    // lastError() tells why.
    bool open(const QString& path);
    void close();
    bool isOpen() const { return fd_ >= 0; }

    // Writes all of data at the 0-based offset; false on failure.
    bool writeAt(qint64 offset, const char* data, qint64 size);
    // Reads exactly size bytes at the 0-based offset; false when the file has fewer.
    bool readAt(qint64 offset, char* data, qint64 size);
    // Cuts the file to length bytes.
    bool truncate(qint64 length);
    QString lastError() const { return lastError_; }

private:
    int fd_ = -1;
    QString lastError_;
};
