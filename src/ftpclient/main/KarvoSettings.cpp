#include "ftpclient/main/KarvoSettings.h"

#include "common/CRegister.h"
#include "core/TextConversion.h"

namespace KarvoSettings {

const QString kKey = QStringLiteral("\\Software\\VornelKarvo\\FTP4.0\\");

QString Read(const QString& name, const QString& def) {
    return CRegister().REGGetSetting(HKEY_LOCAL_MACHINE, kKey, name, def);
}

bool Write(const QString& name, const QString& value) {
    return CRegister().REGSaveSetting(HKEY_LOCAL_MACHINE, kKey, name, value);
}

bool ReadBoolean(const QString& name, bool def) {
    return TextToBoolean(Read(name, def ? QStringLiteral("1") : QStringLiteral("0"))).value_or(def);
}

QString Language() {
    // The hive never answers an empty value, so the default covers it too.
    return Read(QStringLiteral("Language"), QStringLiteral("English.ini"));
}

}  // namespace KarvoSettings
