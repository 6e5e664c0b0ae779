#pragma once

#include "apps/lumet/HeadlessOptions.h"

#include <QObject>
#include <QString>
#include <QStringList>

// `lumet --get-list FILE [--existing overwrite|resume|skip] [--cacert FILE]
// [--set NAME=VALUE]... [--stats]`: downloads every line of FILE (ADDRESS, a tab,
// TARGET; see DownloadListFile) through the download queue, as the desktop
// program would: up to twenty at once, the others waiting for a window. The
// options hold for every line. On stderr: each bad line with its number, one line
// per download as it ends ("FILE:LINE: ..."), then the total. The exit code is 0
// when every line completed (or was skipped), 1 when any failed or was bad, 2 on
// a usage error, 128 + the signal's number when interrupted.
class HeadlessList : public QObject {
    Q_OBJECT
public:
    static bool IsOption(const QString& text);

    bool parse(const QStringList& arguments);
    QString error() const { return options_.error(); }
    // The list or the --cacert file cannot be used: no usage error.
    bool fileError() const { return options_.fileError(); }

    int run();

private:
    QString listFile_;
    HeadlessOptions options_;
};
