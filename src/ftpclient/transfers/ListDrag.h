#pragma once

#include <QStringList>

class QMimeData;

// Drag and drop between the two file lists. A drag from one of our lists
// carries a type of our own naming the list it came from, so a drop can tell
// it from text or files dragged in from another program.
//
// - A drag from the local list dropped on the remote list uploads the local
//   selection; from the remote list on the local list, downloads the remote
//   selection. A list does not take its own drag.
// - Files dragged in from another program and dropped on the remote list are
//   uploaded: those files, not whatever the local list has selected.
// - Anything else (text, addresses, files dropped on the local list) is
//   refused.
namespace ListDrag {

enum class List { Local, Remote };
enum class Action { None, UploadSelection, DownloadSelection, UploadFiles };

// The data of a drag from one of the lists; the text is the dragged names,
// one a line.
QMimeData* dragData(List source, const QStringList& names);

Action dropAction(const QMimeData* data, List target);

// The local paths of files dragged in from another program.
QStringList droppedFiles(const QMimeData* data);

}  // namespace ListDrag
