#pragma once

#include <QByteArray>
#include <QString>

// Rules for the names a server hands us and the paths we build from them.
namespace FtpNames {

// True when a name from a listing may become a local file or folder inside the
// chosen folder: one path component, not empty, not "." or "..", without "/"
// or NUL. Anything else could write outside the folder the user chose.
bool isSafeLocalName(const QString& name);

// The remote path of `name` inside the remote folder `folder` (both as bytes).
QByteArray joinRemote(const QByteArray& folder, const QByteArray& name);

// "folder/pattern" as the folder part and the pattern; a mask without "/" is a
// pattern in the current folder (empty folder part). An empty pattern is "*".
struct Mask {
    QString folder;
    QString pattern;
};
Mask splitMask(const QString& mask);

// "*" and "?" wildcards, without regard to letter case. "*.*" matches every
// name, also one without a dot, as the desktop programs the users know do;
// an empty mask matches everything.
bool matches(const QString& mask, const QString& name);

}  // namespace FtpNames
