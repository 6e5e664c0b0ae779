#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The desktop's trash (the freedesktop trash folders) for local files.
namespace LocalTrash {

// Moves a file or a folder (a link as itself) to the trash; the reason when
// it cannot. Never deletes for good instead.
std::optional<QString> moveToTrash(const QString& path);

// This user's trash folders: the one in the data folder
// (${XDG_DATA_HOME:-~/.local/share}/Trash) and those of the mounted volumes
// (.Trash-<uid> and .Trash/<uid> at their tops) that exist.
QStringList folders();

// Deletes everything inside the given trash folders (their files/ and info/
// folders stay). A trash folder that is a link, or is not this user's, is left
// alone (on a shared volume another user could plant one), and no link inside
// is followed. The reasons of what could not be deleted.
QStringList empty(const QStringList& trashFolders);

}  // namespace LocalTrash
