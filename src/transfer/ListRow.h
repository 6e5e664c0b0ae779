#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <memory>

// One row of a report list: a small icon and the text sub-items 1 to 7. Rows are
// shared objects: the list holds them and a download window keeps its own row, so
// sorting or removing other rows never re-targets a window.
class ListRow : public QObject {
    Q_OBJECT
public:
    static constexpr int kSubItems = 7;

    explicit ListRow(int smallIcon = 0) : SmallIcon(smallIcon) {}

    QString SubItem(int k) const { return k >= 1 && k <= kSubItems ? items_[k] : QString(); }
    void setSubItem(int k, const QString& text) {
        if (k < 1 || k > kSubItems || items_[k] == text) return;
        items_[k] = text;
        emit changed(k);
    }

    int SmallIcon = 0;
    bool Selected = false;

signals:
    void changed(int subItem);

private:
    std::array<QString, kSubItems + 1> items_;
};

using ListRowPtr = std::shared_ptr<ListRow>;
