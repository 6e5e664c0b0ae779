#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>
#include <optional>

// The progress journal of a download: a small text file beside the target
// (TARGET.lumet, readable by its owner only) that says which bytes of the target
// hold the server's file, so that a download ended by anything (a stop, a crash,
// a kill, a power cut) continues each segment where it was instead of guessing
// from the file's length. A segmented file's length says nothing about the holes
// between its segments.
//
//   Lumet progress journal 1
//   url http://host/file.bin
//   size 104857600
//   etag "65f3-6400000"
//   last-modified Mon, 08 Dec 2025 23:09:00 GMT
//   segment 0 52428800 1234567
//   segment 52428800 104857600 60000000
//   end
//
// Lines end with LF. "etag" and "last-modified" are the server's validators of
// the file, each present only when the server gave it. A "segment" line holds
// three 0-based byte offsets: the segment's first byte, the byte after its last
// one, and the first byte not yet on disk; one segment line is a download over
// one connection, two to six a segmented one. The segments follow each other
// without a gap from 0 to the size. "end" closes the file: a journal cut short
// has none.
class ProgressJournal {
public:
    struct Segment {
        qint64 start = 0;
        qint64 end = 0;
        qint64 next = 0;
        bool operator==(const Segment&) const = default;
    };

    static constexpr int kMaxSegments = 6;
    // A journal is a few hundred bytes; anything much larger is not one.
    static constexpr qint64 kMaxBytes = 16 * 1024;

    QString url;
    qint64 size = 0;
    QByteArray etag;
    QByteArray lastModified;
    QList<Segment> segments;

    bool operator==(const ProgressJournal&) const = default;

    static QString PathFor(const QString& target) { return target + QStringLiteral(".lumet"); }

    QByteArray toText() const;
    // Nothing when the text is not a whole, consistent journal.
    static std::optional<ProgressJournal> parse(const QByteArray& text);

    // Every segment has all its bytes.
    bool complete() const;

    // The journal at path; nothing when there is none, or when it cannot be read
    // or is not a journal (then `damaged` is set).
    static std::optional<ProgressJournal> read(const QString& path, bool& damaged);
    // Replaces the journal at path in one step (mode 0600); false when that failed.
    bool write(const QString& path) const;
    // Removes the journal at path and what an interrupted write left beside it.
    static void remove(const QString& path);
};
