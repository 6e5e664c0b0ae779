#include "queue/HistoryFile.h"

#include "transfer/ReportList.h"

#include <QStringDecoder>
#include <QStringList>

const QString HistoryFile::kCompleteMarker = QStringLiteral("Complete List");
const QString HistoryFile::kFinishMarker = QStringLiteral("Finish History");

namespace {

constexpr int kRecordLines = 7;

void appendLine(QByteArray& out, const QString& text) {
    out += text.toUtf8();
    out += "\r\n";
}

void appendRecords(QByteArray& out, const ReportList& list, const QString& saveDate) {
    for (const ListRowPtr& row : list.Rows()) {
        for (int k = 1; k <= 6; ++k) appendLine(out, row->SubItem(k));
        appendLine(out, saveDate);
    }
}

// Older files may come from a single-byte code page; those read as Latin-1.
QString decode(const QByteArray& content) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(content);
    return utf8.hasError() ? QString::fromLatin1(content) : text;
}

// Lines end in CR LF; a bare LF ends a line too, and a stray CR is dropped.
QStringList splitLines(const QByteArray& content) {
    QStringList lines = decode(content).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (QString& line : lines) line.remove(QLatin1Char('\r'));
    return lines;
}

class LineReader {
public:
    explicit LineReader(QStringList lines) : lines_(std::move(lines)) {}
    bool atEnd() const { return next_ >= lines_.size(); }
    QString read() { return lines_[next_++]; }

private:
    QStringList lines_;
    qsizetype next_ = 0;
};

// Reads one record into a new row of list. Returns false when the section ends:
// its marker was read or the file ended.
bool readRecord(LineReader& reader, ReportList& list, int icon, const QString& marker,
                bool downloads) {
    ListRowPtr row;
    for (int k = 1; k <= kRecordLines; ++k) {
        if (reader.atEnd()) return false;
        QString line = reader.read();
        if (line == marker) {
            if (row) list.Remove(row);
            return false;
        }
        if (downloads && line == QLatin1String("Downloading..."))
            line = QStringLiteral("Paused/Stoped");
        if (!row) row = list.Add(icon);
        row->setSubItem(k, line);
    }
    return true;
}

}  // namespace

QByteArray HistoryFile::Serialize(const ReportList& lstMain, const ReportList& lstComplete,
                                  const QString& saveDate) {
    QByteArray out;
    appendRecords(out, lstMain, saveDate);
    appendLine(out, kCompleteMarker);
    appendRecords(out, lstComplete, saveDate);
    appendLine(out, kFinishMarker);
    return out;
}

void HistoryFile::Parse(const QByteArray& content, ReportList& lstMain, ReportList& lstComplete) {
    lstMain.Clear();
    lstComplete.Clear();
    LineReader reader(splitLines(content));
    while (readRecord(reader, lstMain, 1, kCompleteMarker, true)) {
    }
    while (readRecord(reader, lstComplete, 4, kFinishMarker, false)) {
    }
}
