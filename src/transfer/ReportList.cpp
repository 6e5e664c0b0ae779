#include "transfer/ReportList.h"

#include <algorithm>

ListRowPtr ReportList::Add(int smallIcon) {
    auto row = std::make_shared<ListRow>(smallIcon);
    emit aboutToInsertRow(Count());
    rows_.push_back(row);
    connect(row.get(), &ListRow::changed, this, [this, raw = row.get()](int subItem) {
        const int index = IndexOf(raw);
        if (index >= 0) emit rowChanged(index, subItem);
    });
    emit rowInserted(Count() - 1);
    return row;
}

bool ReportList::Remove(const ListRowPtr& row) {
    const int index = IndexOf(row.get());
    if (index < 0) return false;
    RemoveAt(index);
    return true;
}

void ReportList::RemoveAt(int index) {
    if (index < 0 || index >= Count()) return;
    emit aboutToRemoveRow(index);
    rows_[index]->disconnect(this);
    rows_.erase(rows_.begin() + index);
    emit rowRemoved(index);
}

void ReportList::Clear() {
    emit aboutToReset();
    for (const ListRowPtr& row : rows_) row->disconnect(this);
    rows_.clear();
    emit reset();
}

ListRowPtr ReportList::At(int index) const {
    return index >= 0 && index < Count() ? rows_[index] : nullptr;
}

int ReportList::IndexOf(const ListRow* row) const {
    for (int i = 0; i < Count(); ++i)
        if (rows_[i].get() == row) return i;
    return -1;
}

void ReportList::Sort(int subItem, bool ascending) {
    emit aboutToReset();
    std::stable_sort(rows_.begin(), rows_.end(), [&](const ListRowPtr& a, const ListRowPtr& b) {
        const int order = a->SubItem(subItem).compare(b->SubItem(subItem), Qt::CaseInsensitive);
        return ascending ? order < 0 : order > 0;
    });
    emit reset();
}

void ReportList::SetSelected(int index, bool selected) {
    if (index < 0 || index >= Count() || rows_[index]->Selected == selected) return;
    rows_[index]->Selected = selected;
    emit selectionChanged();
}

void ReportList::SetAllSelected(bool selected) {
    for (const ListRowPtr& row : rows_) row->Selected = selected;
    emit selectionChanged();
}

int ReportList::FirstSelected() const {
    for (int i = 0; i < Count(); ++i)
        if (rows_[i]->Selected) return i;
    return -1;
}

std::vector<ListRowPtr> ReportList::SelectedRows() const {
    std::vector<ListRowPtr> selected;
    for (const ListRowPtr& row : rows_)
        if (row->Selected) selected.push_back(row);
    return selected;
}
