#include "apps/lumet/LumetCommandLine.h"

#include "apps/lumet/HeadlessDownload.h"
#include "core/SettingsLists.h"
#include "core/modGlobalVariables.h"
#include "settings/IntegrationSwitches.h"

#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>

QString LumetCommandLine::usage() {
    return QStringLiteral(
        "usage: lumet --get ADDRESS --save-to FILE [--existing overwrite|resume|skip] "
        "[--set NAME=VALUE]...\n"
        "       lumet --print-settings\n"
        "       lumet --browser-integration on|off\n"
        "       lumet --start-with-desktop on|off\n"
        "       lumet                      (starts the desktop program, lumet-desktop)\n");
}

int LumetCommandLine::run() {
    struct Option {
        QLatin1String name;
        std::function<int()> handler;
    };
    const Option options[] = {
        {QLatin1String("--print-settings"), [this] { return printSettings(); }},
        {QLatin1String("--get"), [this] { return get(); }},
        {QLatin1String("--browser-integration"),
         [this] { return runSwitch(&IntegrationSwitches::chkIE_Click); }},
        {QLatin1String("--start-with-desktop"),
         [this] {
             return runSwitch([](bool on) { return IntegrationSwitches::chkStartWin_Click(on); });
         }},
    };
    if (arguments_.isEmpty()) return startDesktop();
    for (const Option& option : options) {
        if (arguments_.first() == option.name) return option.handler();
    }
    std::fputs(qPrintable(usage()), stderr);
    return kUsageError;
}

QStringList LumetCommandLine::SettingsLines() {
    QStringList lines = SettingsRecordLines();
    lines << QStringLiteral("LastDir=") + LastDir << QStringLiteral("LangFile=") + LangFile;
    lines << SettingsLists::instance().RowLines();
    return lines;
}

int LumetCommandLine::startDesktop() {
    const QString program =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("lumet-desktop"));
    const QByteArray path = QFile::encodeName(program);
    char* const argv[] = {const_cast<char*>(path.constData()), nullptr};
    ::execv(path.constData(), argv);
    std::fprintf(stderr, "lumet: cannot start %s: %s\n", path.constData(), std::strerror(errno));
    return 1;
}

int LumetCommandLine::get() {
    HeadlessDownload download;
    if (!download.parse(arguments_)) {
        std::fprintf(stderr, "lumet: %s\n%s", qPrintable(download.error()), qPrintable(usage()));
        return kUsageError;
    }
    return download.run();
}

int LumetCommandLine::printSettings() {
    if (arguments_.size() != 1) {
        std::fputs(qPrintable(usage()), stderr);
        return kUsageError;
    }
    LoadSettings();
    // The language the program starts with when none was chosen.
    if (LangFile.isEmpty()) LangFile = QStringLiteral("English.ini");
    const QByteArray text = SettingsLines().join(u'\n').toUtf8() + '\n';
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int LumetCommandLine::runSwitch(const std::function<SwitchOutcome(bool)>& click) {
    const QString state = arguments_.value(1);
    if (arguments_.size() != 2 || (state != QLatin1String("on") && state != QLatin1String("off"))) {
        std::fputs(qPrintable(usage()), stderr);
        return kUsageError;
    }
    LoadSettings();
    const SwitchOutcome outcome = click(state == QLatin1String("on"));
    for (const QString& change : outcome.changes) std::printf("%s\n", qPrintable(change));
    if (outcome.changes.isEmpty())
        std::printf("nothing to change: already %s\n", qPrintable(state));
    std::fflush(stdout);
    if (outcome.ok()) return 0;
    std::fprintf(stderr, "lumet: %s\n", qPrintable(outcome.failure));
    return 1;
}
