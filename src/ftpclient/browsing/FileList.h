#pragma once

#include "ftpclient/main/ControlStates.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

namespace karvo {

// One row of a file list: the name as it really is (also for folders; every
// path is built from it), the icon that is also the type, and the texts of the
// columns "Size (bytes)", "Date" and the hidden type column.
struct FileRow {
    enum Icon { File = 1, Folder = 2, Link = 3 };

    QString name;
    int icon = File;
    qint64 size = 0;
    QDateTime date;
    QString sizeText;
    QString dateText;
    // "F" file, "D" folder, "E" link.
    QString typeText;
    bool selected = false;

    bool isFolder() const { return icon == Folder; }
    bool isLink() const { return icon == Link; }

    // A row as the lists show it: size as decimal text (empty when `showSize`
    // is false) and the date in the user's short date and time format.
    static FileRow Make(const QString& name, int icon, qint64 size, const QDateTime& date,
                        bool showSize = true);
};

// A report-style list of files without any widget ("Local System" and "Remote
// System"): rows, their selection and the list's view mode. Faces show it.
class FileList : public QObject {
    Q_OBJECT
public:
    // The view modes of the list.
    enum View { LargeIcons = 0, SmallIcons = 1, List = 2, Report = 3 };

    explicit FileList(QObject* parent = nullptr) : QObject(parent) {}

    void Clear();
    void Add(const FileRow& row);
    int Count() const { return int(rows_.size()); }
    const FileRow& At(int index) const { return rows_.at(index); }
    const QList<FileRow>& Rows() const { return rows_; }
    // The row of that name; -1 when there is none.
    int IndexOf(const QString& name) const;

    void SetSelected(int index, bool selected);
    // Exactly these rows selected.
    void SetSelection(const QList<int>& indexes);
    QList<int> SelectedIndexes() const;
    // The first selected row, or nullptr.
    const FileRow* FirstSelected() const;
    Selection SelectionKinds() const;

    int View() const { return view_; }
    void SetView(int view);

signals:
    void aboutToClear();
    void cleared();
    void aboutToAddRow(int index);
    void rowAdded(int index);
    void selectionChanged();
    void viewChanged(int view);

private:
    QList<FileRow> rows_;
    int view_ = Report;
};

}  // namespace karvo
