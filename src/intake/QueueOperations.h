#pragma once

#include <QString>

class ReportList;

// What the intake needs of the download queue: its two lists and its two start
// routines. The queue implements it; tests use a recording double.
class QueueOperations {
public:
    virtual ~QueueOperations() = default;

    // Starts a download. rowIndex < 0 asks for a new row in the Downloads list;
    // a positive value names an existing row (1-based) whose slot is reused.
    virtual void AddDownload(const QString& address, const QString& target, int rowIndex) = 0;
    // Adds a row with status "Not Downloaded" without starting it.
    virtual void AddLaterDownload(const QString& address, const QString& target) = 0;

    virtual ReportList& DownloadsList() = 0;  // lstMain
    virtual ReportList& CompleteList() = 0;   // lstComplete
};
