#pragma once

#include <QByteArray>
#include <QDir>
#include <QHash>
#include <QString>
#include <vector>

// A list of downloads for the queue, one a line: ADDRESS, a tab, TARGET (the file
// to save to; a relative one is taken from baseDir). Blank lines and lines whose
// first visible character is "#" are skipped; a line ended by CR LF reads as one
// ended by LF; a UTF-8 byte order mark at the start is no part of the first line.
//
// A line that cannot be a download is named with its number and why, and left
// out: no tab, an empty address or target, an address that is not http://,
// https:// or ftp://, control characters, bytes that are not UTF-8, or a target
// that an earlier line of the list already writes (two downloads into one file
// would corrupt each other).
class DownloadListFile {
public:
    struct Entry {
        int line = 0;  // 1-based
        QString address;
        QString target;  // absolute, cleaned
    };
    struct BadLine {
        int line = 0;
        QString reason;
    };

    static DownloadListFile Parse(const QByteArray& content, const QDir& baseDir);

    const std::vector<Entry>& entries() const { return entries_; }
    const std::vector<BadLine>& badLines() const { return badLines_; }

private:
    void takeLine(int number, const QByteArray& bytes, const QDir& baseDir);

    std::vector<Entry> entries_;
    std::vector<BadLine> badLines_;
    QHash<QString, int> lineOfTarget_;
};
