#include "ftpclient/faces/FileListModel.h"

#include "ftpclient/browsing/FileList.h"
#include "ftpclient/faces/KarvoIcons.h"

namespace karvo {

FileListModel::FileListModel(FileList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list) {
    connect(&list_, &FileList::aboutToClear, this, [this] { beginResetModel(); });
    connect(&list_, &FileList::cleared, this, [this] { endResetModel(); });
    connect(&list_, &FileList::aboutToAddRow, this,
            [this](int row) { beginInsertRows({}, row, row); });
    connect(&list_, &FileList::rowAdded, this, [this] { endInsertRows(); });
}

int FileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : list_.Count();
}

int FileListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= list_.Count()) return {};
    const FileRow& row = list_.At(index.row());
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            switch (index.column()) {
                case NameColumn:
                    return row.name;
                case SizeColumn:
                    return row.sizeText;
                case DateColumn:
                    return row.dateText;
                case TypeColumn:
                    return row.typeText;
            }
            break;
        case Qt::DecorationRole:
            if (index.column() == NameColumn) return KarvoIcons::Row(row.icon);
            break;
        case Qt::TextAlignmentRole:
            if (index.column() == SizeColumn) return int(Qt::AlignRight | Qt::AlignVCenter);
            break;
        case SortRole:
            switch (index.column()) {
                case SizeColumn:
                    return row.sizeText.isEmpty() ? qint64(-1) : row.size;
                case DateColumn:
                    return row.date;
                default:
                    return row.name.toLower();
            }
    }
    return {};
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
        case NameColumn:
            return QStringLiteral("Name");
        case SizeColumn:
            return QStringLiteral("Size (bytes)");
        case DateColumn:
            return QStringLiteral("Date");
        case TypeColumn:
            return QStringLiteral("Type");
    }
    return {};
}

}  // namespace karvo
