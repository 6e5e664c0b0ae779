#pragma once

#include <QAbstractTableModel>

namespace karvo {

class FileList;

// A file list as a table: "Name" (with the row's icon), "Size (bytes)", "Date"
// and the type column ("F", "D", "E") that the views hide. SortRole gives
// values that sort as numbers and dates where the texts would not.
class FileListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NameColumn, SizeColumn, DateColumn, TypeColumn, kColumns };
    static constexpr int SortRole = Qt::UserRole + 1;

    explicit FileListModel(FileList& list, QObject* parent = nullptr);

    FileList& list() const { return list_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    FileList& list_;
};

}  // namespace karvo
