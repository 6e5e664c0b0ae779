#include "core/modGlobalVariables.h"

#include "common/AppPaths.h"
#include "common/CRegister.h"
#include "core/Language.h"
#include "core/SettingsFields.h"
#include "core/SettingsLists.h"

SettingsRecord Settings;
QString LastDir;
QString LangFile;
std::int32_t ExistChoice = -2;

const QStringList& SettingsValueNames() {
    static const QStringList names = [] {
        QStringList list;
        for (const SettingsField& field : SettingsFields()) list << field.name;
        return list;
    }();
    return names;
}

void LoadSettings() {
    SettingsLists& lists = SettingsLists::instance();
    lists.LoadfromINI();
    lists.LoadRegistryValues();

    // Every field starts at its default, so a missing value or one that does not
    // convert leaves the default in place.
    SettingsRecord loaded;
    loaded.TextSameDir = AppPaths::downloadFolder();
    const CRegister reg;
    for (const SettingsField& field : SettingsFields()) {
        const QString text = reg.REGGetSetting(HKEY_LOCAL_MACHINE, kLumetKey, field.name);
        if (!text.isEmpty()) field.load(loaded, text);
    }
    Settings = loaded;
    // The language chosen in the settings dialog (and kept at every history save).
    if (const QString language = StoredLanguageFile(); !language.isEmpty()) LangFile = language;
    ExistChoice = -2;
}

QStringList SettingsRecordLines() {
    QStringList lines;
    for (const SettingsField& field : SettingsFields())
        lines << field.name + QLatin1Char('=') + field.text(Settings);
    return lines;
}
