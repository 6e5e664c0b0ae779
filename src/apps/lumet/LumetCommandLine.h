#pragma once

#include "settings/IntegrationSwitches.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <utility>

// The options of the lumet executable. Each option is one entry of the table in
// run(); an unknown option is named on stderr with the usage text, and lumet
// ends with 2. Without arguments lumet becomes the desktop program.
class LumetCommandLine {
public:
    static constexpr int kUsageError = 2;

    // The arguments after the program name.
    explicit LumetCommandLine(QStringList arguments) : arguments_(std::move(arguments)) {}

    // Runs the chosen option and returns the exit code.
    int run();

    // The synopsis, one line per way of calling lumet.
    static QString usage();
    // `--help`: the synopsis, every option and the exit codes.
    static QString helpText();

    // `--print-settings`: the effective settings as "Name=value" lines, the
    // record's fields in load order, then LastDir, LangFile and the rows of
    // both Settings.ini lists.
    static QStringList SettingsLines();

private:
    // No arguments: replaces this process by the desktop program beside it.
    int startDesktop();
    int printSettings();
    int help();
    int version();
    // Names the problem and shows the synopsis on stderr; returns kUsageError.
    static int usageError(const QString& problem);
    // A usage error, or (fileError) a file named by the options that cannot be
    // used: only the problem, no synopsis. Returns kUsageError.
    static int parseError(const QString& problem, bool fileError);
    // `--get ADDRESS --save-to FILE ...`: one download without a window.
    int get();
    // `--get-list LIST ...`: every line of LIST through the download queue.
    int getList();
    // `--browser-integration on|off`, `--start-with-desktop on|off`: clicks the
    // settings dialog's box into that state and prints each change it made; 1
    // with the reason on stderr when the change could not be made.
    int runSwitch(const std::function<SwitchOutcome(bool)>& click);

    QStringList arguments_;
};
