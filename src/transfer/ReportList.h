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

    // Orders the rows by the text of one column, ignoring letter case; rows with
    // equal texts keep their order. Column 0 is the icon column, whose text is empty.
    void Sort(int subItem, bool ascending);

    // Selection, as the rows' Selected flags.
    void SetSelected(int index, bool selected);
    void SetAllSelected(bool selected);
    bool AnySelected() const { return FirstSelected() >= 0; }
    // Position of the first selected row from the top, -1 when none is.
    int FirstSelected() const;
    // The selected rows, top to bottom.
    std::vector<ListRowPtr> SelectedRows() const;

    // Asks the faces to show every row again.
    void Refresh() { emit refreshed(); }

signals:
    void aboutToInsertRow(int index);
    void rowInserted(int index);
    void aboutToRemoveRow(int index);
    void rowRemoved(int index);
    // Around Clear and Sort: every position may have changed.
    void aboutToReset();
    void reset();
    void rowChanged(int index, int subItem);
    void selectionChanged();
    void refreshed();

private:
    std::vector<ListRowPtr> rows_;
};
