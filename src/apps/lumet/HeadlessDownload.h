#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class frmDownload;
class ReportList;

// `lumet --get ADDRESS --save-to FILE [--existing overwrite|resume|skip]
// [--set NAME=VALUE]...`: runs one download window without any face, with the
// settings of the hive (and the --set values for this run only), printing its
// progress to stderr. The exit code tells the outcome: 0 completed (or skipped),
// 1 failed, 2 usage error, 128 + N stopped by signal N (SIGTERM, SIGINT, SIGHUP).
class HeadlessDownload : public QObject {
    Q_OBJECT
public:
    // Parses the arguments after the program name. False with a message in
    // error() on a usage error.
    bool parse(const QStringList& arguments);
    QString error() const { return error_; }

    // Runs the download in the application's event loop; returns the exit code.
    int run();

private:
    QString address_;
    QString saveTo_;
    int existChoice_ = 0;
    QStringList sets_;
    QString error_;
    bool interactive_ = false;
    bool progressShown_ = false;
};
