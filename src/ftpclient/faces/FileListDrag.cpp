#include "ftpclient/faces/FileListDrag.h"

#include "ftpclient/browsing/FileList.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QMouseEvent>

namespace karvo {

FileListDrag::FileListDrag(FileList& list, ListDrag::List side, QObject* parent)
    : QObject(parent), list_(list), side_(side) {}

void FileListDrag::attach(QAbstractItemView* view) {
    views_.append({view, view->viewport()});
    // A press on a selected row keeps the other selected rows until the
    // release, so that a drag can take them all.
    view->setDragEnabled(true);
    view->setAcceptDrops(true);
    view->viewport()->setAcceptDrops(true);
    view->viewport()->installEventFilter(this);
}

QAbstractItemView* FileListDrag::viewOf(QObject* viewport) const {
    for (const auto& [view, port] : views_)
        if (port == viewport) return view;
    return nullptr;
}

bool FileListDrag::eventFilter(QObject* watched, QEvent* event) {
    // Only the events of a mouse or a drag: others also come while a view is
    // being taken down, when it must not be touched.
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            break;
        default:
            return false;
    }
    QAbstractItemView* view = viewOf(watched);
    if (!view) return false;
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            const QModelIndex index = view->indexAt(mouse->position().toPoint());
            pressedOnSelection_ = mouse->button() == Qt::LeftButton && index.isValid() &&
                                  view->selectionModel()->isSelected(index);
            pressedAt_ = mouse->position().toPoint();
            return false;
        }
        case QEvent::MouseMove: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (!pressedOnSelection_ || !(mouse->buttons() & Qt::LeftButton)) return false;
            if ((mouse->position().toPoint() - pressedAt_).manhattanLength() < QApplication::startDragDistance())
                return true;
            pressedOnSelection_ = false;
            QStringList names;
            for (int index : list_.SelectedIndexes()) names << list_.At(index).name;
            if (names.isEmpty()) return true;
            auto* drag = new QDrag(view);
            drag->setMimeData(ListDrag::dragData(side_, names));
            drag->exec(Qt::CopyAction);
            return true;
        }
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (ListDrag::dropAction(drag->mimeData(), side_) == ListDrag::Action::None) {
                drag->ignore();
            } else {
                drag->setDropAction(Qt::CopyAction);
                drag->accept();
            }
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const ListDrag::Action action = ListDrag::dropAction(drop->mimeData(), side_);
            if (action == ListDrag::Action::None) {
                drop->ignore();
                return true;
            }
            const QStringList files = ListDrag::droppedFiles(drop->mimeData());
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            // After the drag has ended for the source: the transfer runs its
            // own event loop.
            QMetaObject::invokeMethod(
                this, [this, action, files] { emit dropped(action, files); }, Qt::QueuedConnection);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace karvo
