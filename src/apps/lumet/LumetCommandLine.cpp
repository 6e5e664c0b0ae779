#include "apps/lumet/LumetCommandLine.h"

#include "apps/lumet/HeadlessDownload.h"
#include "apps/lumet/HeadlessList.h"
#include "core/SettingsLists.h"
#include "core/modGlobalVariables.h"
#include "settings/IntegrationSwitches.h"
#include "transfer/TlsContext.h"

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
        "[--cacert FILE] [--set NAME=VALUE]... [--stats]\n"
        "       lumet --get-list LIST [--existing ...] [--cacert FILE] [--set NAME=VALUE]... "
        "[--stats]\n"
        "       lumet --print-settings\n"
        "       lumet --browser-integration on|off\n"
        "       lumet --start-with-desktop on|off\n"
        "       lumet --help | --version\n"
        "       lumet                      (starts the desktop program, lumet-desktop)\n");
}

QString LumetCommandLine::helpText() {
    return QStringLiteral("Lumet, the Vornel download manager.\n\n") + usage() +
           QStringLiteral(
               "\n"
               "--get ADDRESS       download one http://, https:// or ftp:// address with the\n"
               "                    settings of the hive; on a terminal a progress line shows\n"
               "                    percent, size, rate and time left; the last line says where\n"
               "                    the file went or why it failed\n"
               "--save-to FILE      where the file is saved\n"
               "--get-list LIST     download every line of LIST, ADDRESS<tab>FILE (blank lines\n"
               "                    and lines starting with # are skipped, a bad line is named\n"
               "                    and skipped), through the download queue: up to 20 at once,\n"
               "                    the others waiting; one line per download as it ends, then\n"
               "                    the total; the other options hold for every line\n"
               "--existing CHOICE   when FILE exists: overwrite (the default), resume, skip\n"
               "--cacert FILE       trust the certificate authorities in FILE (PEM) besides\n"
               "                    the system's, for this run (the setting \"CAFile\" always)\n"
               "--set NAME=VALUE    one setting for this run only, e.g. --set Segment=1;\n"
               "                    --print-settings lists the names\n"
               "--stats             at the end: how late the event loop's 500 ms ticks ran\n"
               "                    (median, p99, max), the peak resident memory, and how\n"
               "                    long lumet ran on a CPU and waited for one\n"
               "--print-settings    the effective settings, one Name=value a line\n"
               "--browser-integration on|off\n"
               "                    browser capture: registers the helper and the browsers'\n"
               "                    host manifests for this user (off removes them)\n"
               "--start-with-desktop on|off\n"
               "                    start lumet-desktop when you log in\n"
               "--help              this text\n"
               "--version           the version of lumet, Qt and the TLS library\n"
               "\n"
               "Exit codes:\n"
               "  0      completed, skipped with --existing skip, or the switch was set\n"
               "         (--get-list: every line completed or was skipped)\n"
               "  1      the download failed, or the switch could not be set\n"
               "         (--get-list: any download failed, or a line was bad)\n"
               "  2      usage error\n"
               "  128+N  stopped by signal N: 130 for Ctrl+C, 143 for kill (the partial file\n"
               "         stays; the last line tells how to resume it)\n");
}

int LumetCommandLine::run() {
    struct Option {
        QLatin1String name;
        std::function<int()> handler;
    };
    const Option options[] = {
        {QLatin1String("--help"), [this] { return help(); }},
        {QLatin1String("-h"), [this] { return help(); }},
        {QLatin1String("--version"), [this] { return version(); }},
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
    // The options of --get and --get-list may come in any order.
    if (arguments_.contains(QLatin1String("--get-list"))) {
        if (arguments_.contains(QLatin1String("--get")))
            return usageError(QStringLiteral("--get and --get-list do not go together"));
        return getList();
    }
    for (const Option& option : options) {
        if (arguments_.first() == option.name) return option.handler();
    }
    if (HeadlessDownload::IsOption(arguments_.first())) return get();
    return usageError(QStringLiteral("unknown option \"%1\"").arg(arguments_.first()));
}

int LumetCommandLine::usageError(const QString& problem) {
    std::fprintf(stderr, "lumet: %s\n%sTry \"lumet --help\" for more.\n", qPrintable(problem),
                 qPrintable(usage()));
    return kUsageError;
}

int LumetCommandLine::help() {
    if (arguments_.size() != 1) return usageError(QStringLiteral("--help takes no value"));
    const QByteArray text = helpText().toUtf8();
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int LumetCommandLine::version() {
    if (arguments_.size() != 1) return usageError(QStringLiteral("--version takes no value"));
    std::printf("lumet %s\nQt %s, TLS: %s\n", qPrintable(QCoreApplication::applicationVersion()),
                qVersion(), qPrintable(TlsContext::LibraryVersion()));
    return std::fflush(stdout) == 0 ? 0 : 1;
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

int LumetCommandLine::getList() {
    HeadlessList list;
    if (!list.parse(arguments_)) return parseError(list.error(), list.fileError());
    return list.run();
}

int LumetCommandLine::get() {
    HeadlessDownload download;
    if (!download.parse(arguments_)) return parseError(download.error(), download.fileError());
    return download.run();
}

int LumetCommandLine::parseError(const QString& error, bool fileError) {
    if (!fileError) return usageError(error);
    // A file that cannot be used is no misuse: the usage would not help.
    std::fprintf(stderr, "lumet: %s\n", qPrintable(error));
    return kUsageError;
}

int LumetCommandLine::printSettings() {
    if (arguments_.size() != 1) return usageError(QStringLiteral("--print-settings takes no value"));
    LoadSettings();
    // The language the program starts with when none was chosen.
    if (LangFile.isEmpty()) LangFile = QStringLiteral("English.ini");
    const QByteArray text = SettingsLines().join(u'\n').toUtf8() + '\n';
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int LumetCommandLine::runSwitch(const std::function<SwitchOutcome(bool)>& click) {
    const QString state = arguments_.value(1);
    if (arguments_.size() != 2 || (state != QLatin1String("on") && state != QLatin1String("off")))
        return usageError(QStringLiteral("%1 takes on or off").arg(arguments_.first()));
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
