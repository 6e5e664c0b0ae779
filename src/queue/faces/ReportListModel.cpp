#include "queue/faces/ReportListModel.h"

#include "queue/faces/AppIcons.h"
#include "transfer/ReportList.h"

ReportListModel::ReportListModel(ReportList& list, QStringList captions, QObject* parent)
    : QAbstractTableModel(parent), list_(list), captions_(std::move(captions)) {
    connect(&list_, &ReportList::aboutToInsertRow, this,
            [this](int row) { beginInsertRows({}, row, row); });
    connect(&list_, &ReportList::rowInserted, this, [this] { endInsertRows(); });
    connect(&list_, &ReportList::aboutToRemoveRow, this,
            [this](int row) { beginRemoveRows({}, row, row); });
    connect(&list_, &ReportList::rowRemoved, this, [this] { endRemoveRows(); });
    connect(&list_, &ReportList::aboutToReset, this, [this] { beginResetModel(); });
    connect(&list_, &ReportList::reset, this, [this] { endResetModel(); });
    connect(&list_, &ReportList::rowChanged, this, [this](int row, int subItem) {
        emit dataChanged(index(row, subItem), index(row, subItem), {Qt::DisplayRole});
    });
    connect(&list_, &ReportList::refreshed, this, [this] {
        if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1));
    });
}

int ReportListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : list_.Count();
}

int ReportListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant ReportListModel::data(const QModelIndex& index, int role) const {
    const ListRowPtr row = list_.At(index.row());
    if (!row) return {};
    if (index.column() == 0) {
        if (role == Qt::DecorationRole) return AppIcons::ListIcon(row->SmallIcon);
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return row->SubItem(index.column());
    return {};
}

QVariant ReportListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return captions_.value(section);
}
