#include "ftpclient/faces/FileListView.h"

#include "ftpclient/browsing/FileList.h"
#include "ftpclient/faces/FileListModel.h"

#include <QHeaderView>
#include <QListView>
#include <QSortFilterProxyModel>
#include <QTreeView>

namespace karvo {

FileListView::FileListView(FileList& list, QWidget* parent)
    : QStackedWidget(parent),
      list_(list),
      model_(new FileListModel(list, this)),
      proxy_(new QSortFilterProxyModel(this)),
      selection_(nullptr),
      report_(new QTreeView(this)),
      icons_(new QListView(this)) {
    proxy_->setSourceModel(model_);
    proxy_->setSortRole(FileListModel::SortRole);
    selection_ = new QItemSelectionModel(proxy_, this);

    report_->setModel(proxy_);
    report_->setSelectionModel(selection_);
    report_->setRootIsDecorated(false);
    report_->setUniformRowHeights(true);
    report_->setAllColumnsShowFocus(true);
    report_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    report_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    report_->setColumnHidden(FileListModel::TypeColumn, true);
    report_->setColumnWidth(FileListModel::NameColumn, 200);
    report_->setColumnWidth(FileListModel::SizeColumn, 90);
    report_->header()->setStretchLastSection(true);
    // The rows keep the order they were listed in until a header is clicked.
    report_->header()->setSortIndicator(-1, Qt::AscendingOrder);
    report_->setSortingEnabled(true);

    icons_->setModel(proxy_);
    icons_->setSelectionModel(selection_);
    icons_->setModelColumn(FileListModel::NameColumn);
    icons_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    icons_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    icons_->setResizeMode(QListView::Adjust);
    icons_->setWrapping(true);
    icons_->setUniformItemSizes(true);

    addWidget(report_);
    addWidget(icons_);
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(report_), static_cast<QAbstractItemView*>(icons_)}) {
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        // A double-click, or Enter on the current row.
        connect(view, &QAbstractItemView::activated, this, &FileListView::onDoubleClick);
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, view](const QPoint& position) { onContextMenu(view, position); });
    }
    connect(selection_, &QItemSelectionModel::selectionChanged, this,
            &FileListView::rowsFromSelection);
    connect(&list_, &FileList::selectionChanged, this, &FileListView::selectionFromRows);
    connect(&list_, &FileList::viewChanged, this, &FileListView::applyView);
    applyView(list_.View());
}

QWidget* FileListView::currentView() const {
    return currentWidget();
}

QModelIndex FileListView::indexOfRow(int row) const {
    return proxy_->mapFromSource(model_->index(row, FileListModel::NameColumn));
}

void FileListView::applyView(int view) {
    if (view == FileList::Report) {
        setCurrentWidget(report_);
        return;
    }
    switch (view) {
        case FileList::LargeIcons:
            icons_->setViewMode(QListView::IconMode);
            icons_->setIconSize(QSize(32, 32));
            icons_->setGridSize(QSize(96, 64));
            icons_->setFlow(QListView::LeftToRight);
            break;
        case FileList::SmallIcons:
            icons_->setViewMode(QListView::ListMode);
            icons_->setIconSize(QSize(16, 16));
            icons_->setGridSize(QSize(160, 22));
            icons_->setFlow(QListView::LeftToRight);
            break;
        default:
            icons_->setViewMode(QListView::ListMode);
            icons_->setIconSize(QSize(16, 16));
            icons_->setGridSize(QSize());
            icons_->setFlow(QListView::TopToBottom);
            break;
    }
    icons_->setWrapping(true);
    setCurrentWidget(icons_);
}

void FileListView::rowsFromSelection() {
    if (syncing_) return;
    syncing_ = true;
    QList<int> rows;
    for (const QModelIndex& index : selection_->selectedRows(FileListModel::NameColumn))
        rows << proxy_->mapToSource(index).row();
    list_.SetSelection(rows);
    syncing_ = false;
}

void FileListView::selectionFromRows() {
    if (syncing_) return;
    syncing_ = true;
    QItemSelection wanted;
    for (int row : list_.SelectedIndexes()) {
        const QModelIndex index = indexOfRow(row);
        wanted.select(index, index.siblingAtColumn(FileListModel::kColumns - 1));
    }
    selection_->select(wanted, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    syncing_ = false;
}

void FileListView::onDoubleClick(const QModelIndex& index) {
    if (!index.isValid()) return;
    list_.SetSelection({proxy_->mapToSource(index).row()});
    emit activated();
}

void FileListView::onContextMenu(QWidget* view, const QPoint& position) {
    auto* itemView = static_cast<QAbstractItemView*>(view);
    const QModelIndex index = itemView->indexAt(position);
    // A right click on a row that is not selected makes it the selection.
    if (index.isValid() && !selection_->isSelected(index))
        list_.SetSelection({proxy_->mapToSource(index).row()});
    emit contextMenu(itemView->viewport()->mapToGlobal(position));
}

}  // namespace karvo
