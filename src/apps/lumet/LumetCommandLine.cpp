#include "apps/lumet/LumetCommandLine.h"

#include "apps/lumet/HeadlessDownload.h"
#include "core/SettingsLists.h"
#include "core/modGlobalVariables.h"

#include <cstdio>
#include <functional>

QString LumetCommandLine::usage() {
    return QStringLiteral(
        "usage: lumet --get ADDRESS --save-to FILE [--existing overwrite|resume|skip] "
        "[--set NAME=VALUE]...\n"
        "       lumet --print-settings\n");
}

int LumetCommandLine::run() {
    struct Option {
        QLatin1String name;
        std::function<int()> handler;
    };
    const Option options[] = {
        {QLatin1String("--print-settings"), [this] { return printSettings(); }},
        {QLatin1String("--get"), [this] { return get(); }},
    };
    if (!arguments_.isEmpty()) {
        for (const Option& option : options) {
            if (arguments_.first() == option.name) return option.handler();
        }
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
