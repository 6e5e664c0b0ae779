#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <memory>

// One row of a report list: a small icon and the text sub-items 1 to 7. Rows are
// shared objects: the list holds them and a download window keeps its own row, so
// sorting or removing other rows never re-targets a window.
//
// A row never holds a line break: the history file keeps one sub-item per line,
// and a CR or LF inside one would shift every later record.
class ListRow : public QObject {
    Q_OBJECT
public:
    static constexpr int kSubItems = 7;

    explicit ListRow(int smallIcon = 0) : SmallIcon(smallIcon) {}

    QString SubItem(int k) const { return k >= 1 && k <= kSubItems ? items_[k] : QString(); }
    void setSubItem(int k, const QString& text) {
        if (k < 1 || k > kSubItems) return;
        const QString clean = WithoutLineBreaks(text);
        if (items_[k] == clean) return;
        items_[k] = clean;
        emit changed(k);
    }

    // The text with every CR and LF removed.
    static QString WithoutLineBreaks(QString text) {
        text.remove(QLatin1Char('\r'));
        text.remove(QLatin1Char('\n'));
        return text;
    }

    int SmallIcon = 0;
    bool Selected = false;

signals:
    void changed(int subItem);

private:
    std::array<QString, kSubItems + 1> items_;
};

using ListRowPtr = std::shared_ptr<ListRow>;
