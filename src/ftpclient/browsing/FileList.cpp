#include "ftpclient/browsing/FileList.h"

#include <QLocale>

namespace karvo {

FileRow FileRow::Make(const QString& name, int icon, qint64 size, const QDateTime& date,
                      bool showSize) {
    FileRow row;
    row.name = name;
    row.icon = icon;
    row.size = size;
    row.date = date;
    row.sizeText = showSize ? QString::number(size) : QString();
    row.dateText = date.isValid() ? QLocale().toString(date, QLocale::ShortFormat) : QString();
    row.typeText = icon == Folder ? QStringLiteral("D")
                   : icon == Link ? QStringLiteral("E")
                                  : QStringLiteral("F");
    return row;
}

void FileList::Clear() {
    const bool hadSelection = !SelectedIndexes().isEmpty();
    emit aboutToClear();
    rows_.clear();
    emit cleared();
    if (hadSelection) emit selectionChanged();
}

void FileList::Add(const FileRow& row) {
    emit aboutToAddRow(int(rows_.size()));
    rows_.append(row);
    emit rowAdded(int(rows_.size()) - 1);
    if (row.selected) emit selectionChanged();
}

int FileList::IndexOf(const QString& name) const {
    for (int i = 0; i < rows_.size(); ++i)
        if (rows_[i].name == name) return i;
    return -1;
}

void FileList::SetSelected(int index, bool selected) {
    if (index < 0 || index >= rows_.size() || rows_[index].selected == selected) return;
    rows_[index].selected = selected;
    emit selectionChanged();
}

void FileList::SetSelection(const QList<int>& indexes) {
    bool changed = false;
    for (int i = 0; i < rows_.size(); ++i) {
        const bool selected = indexes.contains(i);
        if (rows_[i].selected == selected) continue;
        rows_[i].selected = selected;
        changed = true;
    }
    if (changed) emit selectionChanged();
}

QList<int> FileList::SelectedIndexes() const {
    QList<int> indexes;
    for (int i = 0; i < rows_.size(); ++i)
        if (rows_[i].selected) indexes << i;
    return indexes;
}

const FileRow* FileList::FirstSelected() const {
    for (const FileRow& row : rows_)
        if (row.selected) return &row;
    return nullptr;
}

Selection FileList::SelectionKinds() const {
    Selection selection;
    for (const FileRow& row : rows_) {
        if (!row.selected) continue;
        if (row.isFolder()) {
            ++selection.folders;
        } else if (row.isLink()) {
            ++selection.links;
        } else {
            ++selection.files;
        }
    }
    return selection;
}

void FileList::SetView(int view) {
    if (view < LargeIcons || view > Report || view == view_) return;
    view_ = view;
    emit viewChanged(view);
}

}  // namespace karvo
