#pragma once

#include "core/modGlobalVariables.h"
#include "intake/QueueOperations.h"
#include "transfer/ReportList.h"

#include <ostream>
#include <vector>

// The queue as the intake sees it: records every start and adds the rows the
// real start routines add, so tests can read the lists afterwards. It sets no
// ExistChoice: what the intake decides is read from the calls and the globals.
class RecordingQueue : public QueueOperations {
public:
    struct Call {
        bool later;
        QString address;
        QString target;
        int rowIndex;
        bool operator==(const Call&) const = default;
    };
    static Call start(const QString& a, const QString& t) { return {false, a, t, -1}; }
    static Call later(const QString& a, const QString& t) { return {true, a, t, 0}; }

    void AddDownload(const QString& address, const QString& target, int rowIndex) override {
        calls.push_back({false, address, target, rowIndex});
        if (rowIndex < 0) addRow(address, target, QStringLiteral("0%"), QStringLiteral("N/A"));
    }
    void AddLaterDownload(const QString& address, const QString& target) override {
        calls.push_back(later(address, target));
        addRow(address, target, QStringLiteral("0%"), QStringLiteral("Not Downloaded"));
    }
    ReportList& DownloadsList() override { return lstMain; }
    ReportList& CompleteList() override { return lstComplete; }

    void addRow(const QString& address, const QString& target, const QString& progress,
                const QString& status = QStringLiteral("Downloading...")) {
        const ListRowPtr row = lstMain.Add(1);
        row->setSubItem(1, target);
        row->setSubItem(2, progress);
        row->setSubItem(5, status);
        row->setSubItem(6, address);
    }

    std::vector<Call> calls;
    ReportList lstMain;
    ReportList lstComplete;
};

inline void PrintTo(const RecordingQueue::Call& c, std::ostream* out) {
    *out << (c.later ? "AddLaterDownload(" : "AddDownload(") << c.address.toStdString() << ", "
         << c.target.toStdString() << ", " << c.rowIndex << ")";
}
