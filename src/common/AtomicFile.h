#pragma once

#include <QByteArray>
#include <QString>

// Replaces a file's content so that a crash or a full disk leaves either the old
// or the new content, never a mix: writes a temporary file in the same folder,
// fsyncs it, renames it over the target and fsyncs the folder.
// Returns false (and leaves the old file untouched) when any step fails. The temporary
// file is "<target>.tmp.<pid>.<n>.part"; a writer killed mid-way leaves it behind.
// Writing through a symbolic link replaces the file the link points to; the new file
// keeps the old one's permissions.
bool WriteFileAtomically(const QString& path, const QByteArray& content);
// The same, and the file gets exactly the permission bits `mode` (0600: only its
// owner may read it) whatever the old one had.
bool WriteFileAtomically(const QString& path, const QByteArray& content, unsigned mode);
