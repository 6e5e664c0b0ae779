#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace karvo {

// A path box ("Local Directory", "Remote Directory"): the paths visited, each
// once, and the text shown. Paths are compared with their letter case: on
// these file systems "docs" and "DOCS" are two folders.
class PathBox : public QObject {
    Q_OBJECT
public:
    explicit PathBox(QObject* parent = nullptr) : QObject(parent) {}

    const QStringList& Entries() const { return entries_; }
    QString Text() const { return text_; }
    void SetText(const QString& text);

    // A path already in the box only becomes its text; a new one is added and
    // selected.
    void AddPathToComboBox(const QString& path);
    // Adds the path (once) without showing it.
    void AddItem(const QString& path);
    void Clear();

signals:
    void changed();

private:
    QStringList entries_;
    QString text_;
};

}  // namespace karvo
