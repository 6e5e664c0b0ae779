#pragma once

#include <QByteArray>
#include <QString>

class ReportList;

// "History.ini": both lists as flat 7-line records (sub-items 1 to 6 and the save
// date), the Downloads rows first, then the line "Complete List", the Complete
// rows, and the line "Finish History"; lines end in CR LF, text is UTF-8.
class HistoryFile {
public:
    static const QString kCompleteMarker;  // "Complete List"
    static const QString kFinishMarker;    // "Finish History"

    // The file's content for the two lists; every record's line 7 is saveDate.
    static QByteArray Serialize(const ReportList& lstMain, const ReportList& lstComplete,
                                const QString& saveDate);

    // Replaces the rows of both lists with the records of content. A download that
    // was running when the file was written comes back "Paused/Stoped". A file cut
    // short keeps the rows it holds, a partial last record included; a record of
    // which no line was read adds no row. A marker met inside a record ends the
    // section and drops that partial row.
    static void Parse(const QByteArray& content, ReportList& lstMain, ReportList& lstComplete);
};
