#pragma once

#include "ftpclient/transfers/ListDrag.h"

#include <QObject>
#include <QPoint>
#include <QStringList>
#include <utility>

class QAbstractItemView;

namespace karvo {

class FileList;

// Drag and drop for the views of one file list: a drag that starts on a
// selected row carries the list's selection (ListDrag's data, naming this
// list), and a drop is taken only as ListDrag allows, then handed on.
class FileListDrag : public QObject {
    Q_OBJECT
public:
    FileListDrag(FileList& list, ListDrag::List side, QObject* parent = nullptr);

    // Adds a view that shows the list.
    void attach(QAbstractItemView* view);

signals:
    void dropped(ListDrag::Action action, const QStringList& files);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAbstractItemView* viewOf(QObject* viewport) const;

    FileList& list_;
    ListDrag::List side_;
    // Each view with its viewport, as attached.
    QList<std::pair<QAbstractItemView*, QObject*>> views_;
    QPoint pressedAt_;
    bool pressedOnSelection_ = false;
};

}  // namespace karvo
