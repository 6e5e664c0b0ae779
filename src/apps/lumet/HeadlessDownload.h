#pragma once

#include "apps/lumet/HeadlessOptions.h"

#include <QObject>
#include <QString>
#include <QStringList>

// `lumet --get ADDRESS --save-to FILE [--existing overwrite|resume|skip]
// [--cacert FILE] [--set NAME=VALUE]... [--stats]`: runs one download window
// without any face, with the settings of the hive (and the --set values for this
// run only).
// On a terminal it keeps one progress line on stderr; its last line says where
// the file went, why it failed, that it was skipped, or (Ctrl+C) where the
// partial file is and how to resume it. The exit code tells the outcome: 0
// completed (or skipped), 1 failed, 2 usage error, 128 + N when stopped by
// signal N (SIGTERM, SIGINT, SIGHUP).
class HeadlessDownload : public QObject {
    Q_OBJECT
public:
    // Whether the text is one of the options above (so lumet hands it here).
    static bool IsOption(const QString& text);

    // Parses the arguments after the program name. False with a message in
    // error() on a usage error.
    bool parse(const QStringList& arguments);
    QString error() const { return options_.error(); }
    // The options were right but a file they name cannot be used (--cacert): the
    // usage would not help.
    bool fileError() const { return options_.fileError(); }

    // Runs the download in the application's event loop; returns the exit code.
    int run();

private:
    QString address_;
    QString saveTo_;
    HeadlessOptions options_;
};
