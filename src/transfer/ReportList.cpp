#include "transfer/ReportList.h"

ListRowPtr ReportList::Add(int smallIcon) {
    auto row = std::make_shared<ListRow>(smallIcon);
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
    rows_[index]->disconnect(this);
    rows_.erase(rows_.begin() + index);
    emit rowRemoved(index);
}

void ReportList::Clear() {
    for (const ListRowPtr& row : rows_) row->disconnect(this);
    rows_.clear();
    emit cleared();
}

ListRowPtr ReportList::At(int index) const {
    return index >= 0 && index < Count() ? rows_[index] : nullptr;
}

int ReportList::IndexOf(const ListRow* row) const {
    for (int i = 0; i < Count(); ++i)
        if (rows_[i].get() == row) return i;
    return -1;
}
