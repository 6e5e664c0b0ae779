#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// The options that `--get` and `--get-list` share: what to do with a target that
// exists (--existing overwrite|resume|skip), settings for this run only (--set
// NAME=VALUE, any number), more trusted certificate authorities (--cacert FILE),
// and --stats (how late the event loop's ticks ran, and the peak memory, at the
// end).
class HeadlessOptions {
public:
    static bool IsOption(const QString& text);

    // Parses the arguments after the program name: the shared options go here,
    // the caller's own (each followed by a value) to takeOwn, which returns false
    // after setting its own message. False on a usage error, with error() saying
    // what it is.
    bool parse(const QStringList& arguments, const QStringList& own,
               const std::function<bool(const QString& option, const QString& value)>& takeOwn);
    QString error() const { return error_; }
    // The options were right but a file they name cannot be used (the list, the
    // --cacert file): the usage would not help.
    bool fileError() const { return fileError_; }
    void setError(const QString& error, bool fileError = false) {
        error_ = error;
        fileError_ = fileError;
    }

    // Makes the --set values (and --cacert) this run's settings, then loads the settings.
    void apply() const;

    // 0 overwrite, -1 resume, -2 skip, as ExistChoice.
    int existChoice() const { return existChoice_; }
    bool stats() const { return stats_; }

private:
    bool take(const QString& option, const QString& value);

    int existChoice_ = 0;
    QStringList sets_;
    bool stats_ = false;
    QString error_;
    bool fileError_ = false;
};
