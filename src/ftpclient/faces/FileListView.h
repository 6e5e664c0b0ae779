#pragma once

#include <QStackedWidget>

class QItemSelectionModel;
class QListView;
class QSortFilterProxyModel;
class QTreeView;

namespace karvo {

class FileList;
class FileListModel;

// A file list in its view mode: large icons, small icons and list in a list
// view, report in a table whose headers sort the rows. Both views share one
// selection, which is the list's: the views follow the rows' selected flags
// and set them.
class FileListView : public QStackedWidget {
    Q_OBJECT
public:
    explicit FileListView(FileList& list, QWidget* parent = nullptr);

    QTreeView* reportView() const { return report_; }
    QListView* iconView() const { return icons_; }
    // The view of the list's current mode.
    QWidget* currentView() const;
    // The position, in the views' order, of the list's row; -1 when not shown.
    QModelIndex indexOfRow(int row) const;

signals:
    // A row was double-clicked or entered with Enter (and is now the only one selected).
    void activated();
    // The right button was pressed at this global position.
    void contextMenu(const QPoint& globalPosition);

private:
    void applyView(int view);
    void rowsFromSelection();
    void selectionFromRows();
    void onDoubleClick(const QModelIndex& index);
    void onContextMenu(QWidget* view, const QPoint& position);

    FileList& list_;
    FileListModel* model_;
    QSortFilterProxyModel* proxy_;
    QItemSelectionModel* selection_;
    QTreeView* report_;
    QListView* icons_;
    bool syncing_ = false;
};

}  // namespace karvo
