#pragma once

#include <QAbstractTableModel>
#include <QStringList>

class ReportList;

// A report list as a table: column 0 the row's small icon, columns 1 to 7 its
// sub-items, with the given header captions.
class ReportListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumns = 8;

    ReportListModel(ReportList& list, QStringList captions, QObject* parent = nullptr);

    ReportList& list() const { return list_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    ReportList& list_;
    QStringList captions_;
};
