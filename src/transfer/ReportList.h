#pragma once

#include "transfer/ListRow.h"

#include <QObject>
#include <vector>

// The rows of a report-style list (the Downloads and the Complete list), without
// any widget: faces show it, the queue and the download windows change it.
class ReportList : public QObject {
    Q_OBJECT
public:
    explicit ReportList(QObject* parent = nullptr) : QObject(parent) {}

    // Appends an empty row with the given small icon.
    ListRowPtr Add(int smallIcon);
    // Removes the row if it is in the list; false otherwise.
    bool Remove(const ListRowPtr& row);
    void RemoveAt(int index);
    void Clear();

    int Count() const { return static_cast<int>(rows_.size()); }
    ListRowPtr At(int index) const;
    // 0-based position of the row, -1 when it is not in the list.
    int IndexOf(const ListRow* row) const;
    const std::vector<ListRowPtr>& Rows() const { return rows_; }

signals:
    void rowInserted(int index);
    void rowRemoved(int index);
    void rowChanged(int index, int subItem);
    void cleared();

private:
    std::vector<ListRowPtr> rows_;
};
