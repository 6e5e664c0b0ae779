#include "queue/faces/ReportView.h"

#include "queue/faces/ReportListModel.h"
#include "queue/faces/TextDrop.h"
#include "transfer/ReportList.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QMouseEvent>

namespace {
constexpr int kTwipsPerPixel = 15;
}

ReportView::ReportView(ReportList& list, const QStringList& captions, const QList<int>& widths,
                       QWidget* parent)
    : QTreeView(parent), list_(list), model_(new ReportListModel(list, captions, this)) {
    setModel(model_);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setAlternatingRowColors(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideMiddle);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    for (int column = 0; column < widths.size(); ++column) {
        if (widths[column] == 0)
            setColumnHidden(column, true);
        else
            setColumnWidth(column, widths[column] / kTwipsPerPixel);
    }
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ReportView::rowsFromSelection);
    connect(&list_, &ReportList::selectionChanged, this, &ReportView::selectFromRows);
    connect(&list_, &ReportList::reset, this, &ReportView::selectFromRows);
}

void ReportView::selectFromRows() {
    if (syncing_) return;
    syncing_ = true;
    QItemSelection selection;
    for (int i = 0; i < list_.Count(); ++i)
        if (list_.At(i)->Selected)
            selection.select(model_->index(i, 0), model_->index(i, ReportListModel::kColumns - 1));
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    syncing_ = false;
}

void ReportView::rowsFromSelection() {
    if (syncing_) return;
    syncing_ = true;
    for (int i = 0; i < list_.Count(); ++i)
        list_.At(i)->Selected = selectionModel()->isRowSelected(i, {});
    syncing_ = false;
}

void ReportView::mouseReleaseEvent(QMouseEvent* event) {
    QTreeView::mouseReleaseEvent(event);
    if (event->button() == Qt::RightButton)
        emit rightButtonReleased(event->globalPosition().toPoint());
}

void ReportView::dragEnterEvent(QDragEnterEvent* event) { AcceptTextDrag(event); }

void ReportView::dragMoveEvent(QDragMoveEvent* event) { AcceptTextDrag(event); }

void ReportView::dropEvent(QDropEvent* event) {
    if (const auto text = TakeTextDrop(event)) emit textDropped(*text);
}
