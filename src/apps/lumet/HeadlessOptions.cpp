#include "apps/lumet/HeadlessOptions.h"

#include "common/CRegister.h"
#include "core/modGlobalVariables.h"
#include "transfer/TlsContext.h"

#include <QFileInfo>

bool HeadlessOptions::IsOption(const QString& text) {
    for (const char* option : {"--existing", "--set", "--cacert", "--stats"})
        if (text == QLatin1String(option)) return true;
    return false;
}

bool HeadlessOptions::parse(const QStringList& arguments, const QStringList& own,
                            const std::function<bool(const QString&, const QString&)>& takeOwn) {
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& option = arguments[i];
        if (option == QLatin1String("--stats")) {
            stats_ = true;
            continue;
        }
        const bool isOwn = own.contains(option);
        if (!isOwn && !IsOption(option)) {
            error_ = QStringLiteral("unknown option \"%1\"").arg(option);
            return false;
        }
        if (i + 1 >= arguments.size()) {
            error_ = QStringLiteral("%1 needs a value").arg(option);
            return false;
        }
        const QString& value = arguments[++i];
        if (!(isOwn ? takeOwn(option, value) : take(option, value))) return false;
    }
    return true;
}

bool HeadlessOptions::take(const QString& option, const QString& value) {
    if (option == QLatin1String("--existing")) {
        if (value == QLatin1String("overwrite"))
            existChoice_ = 0;
        else if (value == QLatin1String("resume"))
            existChoice_ = -1;
        else if (value == QLatin1String("skip"))
            existChoice_ = -2;
        else {
            error_ = QStringLiteral("--existing takes overwrite, resume or skip, not \"%1\"").arg(value);
            return false;
        }
    } else if (option == QLatin1String("--cacert")) {
        // Read now, so that a wrong name is a usage error and not a failed download.
        const QString caFile = QFileInfo(value).absoluteFilePath();
        if (!TlsContext::Create(caFile, &error_)) {
            fileError_ = true;
            return false;
        }
        sets_ << QStringLiteral("CAFile=") + caFile;
    } else if (option == QLatin1String("--set")) {
        const qsizetype equals = value.indexOf(QLatin1Char('='));
        const QString name = equals < 0 ? value : value.left(equals);
        bool known = false;
        for (const QString& valueName : SettingsValueNames())
            known = known || valueName.compare(name, Qt::CaseInsensitive) == 0;
        if (equals < 0 || !known) {
            error_ = QStringLiteral("--set needs NAME=VALUE with a setting name; \"%1\" is not one").arg(name);
            return false;
        }
        sets_ << value;
    }
    return true;
}

void HeadlessOptions::apply() const {
    for (const QString& assignment : sets_) {
        const qsizetype equals = assignment.indexOf(QLatin1Char('='));
        CRegister::SetSessionOverride(HKEY_LOCAL_MACHINE, kLumetKey, assignment.left(equals),
                                      assignment.mid(equals + 1));
    }
    LoadSettings();
    if (LangFile.isEmpty()) LangFile = QStringLiteral("English.ini");
}
