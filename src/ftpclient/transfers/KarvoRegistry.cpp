#include "ftpclient/transfers/KarvoRegistry.h"

#include "common/CRegister.h"

namespace KarvoRegistry {

const QString kKey = QStringLiteral("\\Software\\VornelKarvo\\FTP4.0\\");

QString get(const QString& name, const QString& def) {
    return CRegister().REGGetSetting(HKEY_LOCAL_MACHINE, kKey, name, def);
}

bool save(const QString& name, const QString& value) {
    return CRegister().REGSaveSetting(HKEY_LOCAL_MACHINE, kKey, name, value);
}

bool getBool(const QString& name, bool def) {
    const QString text = get(name, QString()).trimmed();
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
    bool ok = false;
    const double number = text.toDouble(&ok);
    return ok ? number != 0 : def;
}

}  // namespace KarvoRegistry
