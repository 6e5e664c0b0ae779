#pragma once

#include <QString>

class frmDownload;

// The texts `lumet --get` prints about its download: the progress line and the
// final line, which says where the file went or why it did not.
namespace DownloadReport {

// " 42%  4.20 MB of 10.00 MB  1.05 MB /Second  00:00:05 left"
QString ProgressLine(const frmDownload& window);

QString Saved(const QString& path, qint64 size);
QString Failed(const QString& status);
QString Skipped(const QString& path);
// Stopped by the user (Ctrl+C): where the partial file is and how to go on with it.
QString Interrupted(const frmDownload& window, const QString& address, const QString& path);

// The word quoted for a POSIX shell when it needs quoting.
QString ShellQuoted(const QString& word);

}  // namespace DownloadReport
