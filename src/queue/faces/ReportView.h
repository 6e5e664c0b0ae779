#pragma once

#include <QTreeView>

class ReportList;
class ReportListModel;

// A report list shown as a table of rows. The selection is the rows' Selected
// flags: the view follows them and sets them. Dropped text and the right-button
// release are handed on as signals.
class ReportView : public QTreeView {
    Q_OBJECT
public:
    // widths: of the columns in twips (0 hides a column).
    ReportView(ReportList& list, const QStringList& captions, const QList<int>& widths,
               QWidget* parent = nullptr);

    ReportListModel* reportModel() const { return model_; }

signals:
    void rightButtonReleased(const QPoint& globalPosition);
    void textDropped(const QString& text);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void selectFromRows();
    void rowsFromSelection();

    ReportList& list_;
    ReportListModel* model_;
    bool syncing_ = false;
};
