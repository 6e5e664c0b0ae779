#include "transfer/ProgressJournal.h"

#include "common/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QByteArray kFirstLine = "Lumet progress journal 1";
constexpr int kMaxDigits = 18;

std::optional<qint64> number(const QByteArray& text) {
    if (text.isEmpty() || text.size() > kMaxDigits) return std::nullopt;
    qint64 value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// A validator goes back to the server in a header line: one with a control
// character is neither written nor read.
bool isValidator(const QByteArray& value) {
    if (value.isEmpty()) return false;
    for (char c : value)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    return true;
}

}  // namespace

QByteArray ProgressJournal::toText() const {
    QByteArray text = kFirstLine + '\n';
    text += "url " + url.toUtf8() + '\n';
    text += "size " + QByteArray::number(size) + '\n';
    if (isValidator(etag)) text += "etag " + etag + '\n';
    if (isValidator(lastModified)) text += "last-modified " + lastModified + '\n';
    for (const Segment& segment : segments)
        text += "segment " + QByteArray::number(segment.start) + ' ' +
                QByteArray::number(segment.end) + ' ' + QByteArray::number(segment.next) + '\n';
    text += "end\n";
    return text;
}

std::optional<ProgressJournal> ProgressJournal::parse(const QByteArray& text) {
    if (text.size() > kMaxBytes || !text.endsWith('\n')) return std::nullopt;
    const QList<QByteArray> lines = text.chopped(1).split('\n');
    if (lines.size() < 2 || lines.first() != kFirstLine || lines.last() != "end")
        return std::nullopt;
    ProgressJournal journal;
    bool hasUrl = false;
    bool hasSize = false;
    for (qsizetype n = 1; n + 1 < lines.size(); ++n) {
        const QByteArray& line = lines[n];
        const qsizetype blank = line.indexOf(' ');
        if (blank <= 0 || blank + 1 == line.size()) return std::nullopt;
        const QByteArray key = line.left(blank);
        const QByteArray value = line.mid(blank + 1);
        if (key == "url" && !hasUrl) {
            journal.url = QString::fromUtf8(value);
            hasUrl = true;
        } else if (key == "size" && !hasSize) {
            const std::optional<qint64> size = number(value);
            if (!size) return std::nullopt;
            journal.size = *size;
            hasSize = true;
        } else if (key == "etag" && journal.etag.isEmpty() && isValidator(value)) {
            journal.etag = value;
        } else if (key == "last-modified" && journal.lastModified.isEmpty() && isValidator(value)) {
            journal.lastModified = value;
        } else if (key == "segment" && journal.segments.size() < kMaxSegments) {
            const QList<QByteArray> fields = value.split(' ');
            if (fields.size() != 3) return std::nullopt;
            const std::optional<qint64> start = number(fields[0]);
            const std::optional<qint64> end = number(fields[1]);
            const std::optional<qint64> next = number(fields[2]);
            if (!start || !end || !next) return std::nullopt;
            journal.segments.append({*start, *end, *next});
        } else {
            return std::nullopt;
        }
    }
    if (!hasUrl || !hasSize || journal.segments.isEmpty()) return std::nullopt;
    // The segments cover the file from its first byte to its last, each one's
    // next byte within its own range: no position can point outside the file or
    // before the start of its segment.
    qint64 expectedStart = 0;
    for (const Segment& segment : journal.segments) {
        if (segment.start != expectedStart || segment.end < segment.start ||
            segment.next < segment.start || segment.next > segment.end)
            return std::nullopt;
        expectedStart = segment.end;
    }
    if (expectedStart != journal.size) return std::nullopt;
    return journal;
}

bool ProgressJournal::complete() const {
    for (const Segment& segment : segments)
        if (segment.next != segment.end) return false;
    return true;
}

std::optional<ProgressJournal> ProgressJournal::read(const QString& path, bool& damaged) {
    damaged = false;
    QFile file(path);
    if (!file.exists()) return std::nullopt;
    std::optional<ProgressJournal> journal;
    if (file.open(QIODevice::ReadOnly)) journal = parse(file.read(kMaxBytes + 1));
    damaged = !journal;
    return journal;
}

bool ProgressJournal::write(const QString& path) const {
    return WriteFileAtomically(path, toText(), 0600);
}

void ProgressJournal::remove(const QString& path) {
    QFile::remove(path);
    // A write killed halfway leaves its temporary file ("<journal>.tmp.<pid>.<n>.part").
    const QFileInfo info(path);
    const QString prefix = info.fileName() + QStringLiteral(".tmp.");
    QDir folder = info.absoluteDir();
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden))
        if (name.startsWith(prefix) && name.endsWith(QLatin1String(".part"))) folder.remove(name);
}
