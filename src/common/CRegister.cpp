#include "common/CRegister.h"

#include "common/Hive.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>

namespace {

// Names reach the registry as zero-terminated strings: anything after a NUL is not part
// of the name.
QString cutAtNul(const QString& name) {
    const qsizetype nul = name.indexOf(QChar(u'\0'));
    return nul < 0 ? name : name.left(nul);
}

// "*" and the empty name both mean the key's default value.
QString hiveValueName(const QString& valueName) {
    const QString name = cutAtNul(valueName);
    return name == QLatin1String("*") ? QString() : name;
}

// "HKEY_LOCAL_MACHINE\Software\..." for the hive, or nothing for an unknown root or a
// path that cannot stand on one line of the file.
std::optional<QString> fullKeyName(std::int32_t root, const QString& keyPath) {
    const QString rootName = CRegister::RootName(root);
    const QString path = cutAtNul(CRegister::NormalizeKeyPath(keyPath));
    if (rootName.isEmpty() || path.contains(u'\n') || path.contains(u'\r')) return std::nullopt;
    return path.isEmpty() ? rootName : rootName + u'\\' + path;
}

struct Overrides {
    QMutex mutex;
    QHash<QString, QString> values;
};

Overrides& overrides() {
    static Overrides instance;
    return instance;
}

QString overrideKey(const QString& fullName, const QString& valueName) {
    return (fullName + u'\n' + valueName).toCaseFolded();
}

std::optional<QString> sessionOverride(const QString& fullName, const QString& valueName) {
    Overrides& o = overrides();
    QMutexLocker lock(&o.mutex);
    const auto found = o.values.constFind(overrideKey(fullName, valueName));
    if (found == o.values.cend()) return std::nullopt;
    return *found;
}

}  // namespace

QString CRegister::REGGetSetting(std::int32_t root, const QString& keyPath,
                                 const QString& valueName, const QString& def) const {
    const std::optional<QString> key = fullKeyName(root, keyPath);
    if (!key) return def;
    const QString name = hiveValueName(valueName);
    std::optional<QString> data = sessionOverride(*key, name);
    if (!data) data = Hive::load().value(*key, name);
    // A value of size 0 was never read by the original either: it gives the default.
    if (!data || data->isEmpty()) return def;
    return *data;
}

bool CRegister::REGSaveSetting(std::int32_t root, const QString& keyPath, const QString& valueName,
                               const QString& value) const {
    const std::optional<QString> key = fullKeyName(root, keyPath);
    if (!key) return false;
    const QString name = hiveValueName(valueName);
    bool unchanged = false;
    const bool written = Hive::update([&](Hive& hive) {
        // Rewriting the same text would only cost an fsync.
        unchanged = hive.value(*key, name) == value;
        if (unchanged) return false;
        hive.setValue(*key, name, value);
        return true;
    });
    return written || unchanged;
}

bool CRegister::REGSaveSettings(std::int32_t root, const QString& keyPath,
                                const QList<std::pair<QString, QString>>& values) const {
    const std::optional<QString> key = fullKeyName(root, keyPath);
    if (!key) return false;
    bool unchanged = false;
    const bool written = Hive::update([&](Hive& hive) {
        unchanged = true;
        for (const auto& [valueName, value] : values) {
            const QString name = hiveValueName(valueName);
            if (hive.value(*key, name) == value) continue;
            unchanged = false;
            hive.setValue(*key, name, value);
        }
        return !unchanged;
    });
    return written || unchanged;
}

bool CRegister::REGDeleteSetting(std::int32_t root, const QString& keyPath,
                                 const QString& valueName) const {
    const std::optional<QString> key = fullKeyName(root, keyPath);
    if (!key) return false;
    if (valueName.isEmpty()) {
        return Hive::update([&](Hive& hive) { return hive.removeKeyTree(*key); });
    }
    const QString name = hiveValueName(valueName);
    return Hive::update([&](Hive& hive) { return hive.removeValue(*key, name); });
}

QStringList CRegister::GetAllKeys(std::int32_t root, const QString& keyPath) const {
    const std::optional<QString> key = fullKeyName(root, keyPath);
    if (!key) return {};
    QStringList names = Hive::load().subkeys(*key);
    for (QString& name : names) name = cutAtNul(name);
    return names;
}

void CRegister::SetSessionOverride(std::int32_t root, const QString& keyPath,
                                   const QString& valueName, const QString& value) {
    const std::optional<QString> key = fullKeyName(root, keyPath);
    if (!key) return;
    Overrides& o = overrides();
    QMutexLocker lock(&o.mutex);
    o.values.insert(overrideKey(*key, hiveValueName(valueName)), value);
}

void CRegister::ClearSessionOverrides() {
    Overrides& o = overrides();
    QMutexLocker lock(&o.mutex);
    o.values.clear();
}

QString CRegister::NormalizeKeyPath(const QString& keyPath) {
    QString path = keyPath;
    if (path.startsWith(u'\\')) path.remove(0, 1);
    if (path.endsWith(u'\\')) path.chop(1);
    return path;
}

QString CRegister::RootName(std::int32_t root) {
    switch (root) {
        case HKEY_CLASSES_ROOT:
            return QStringLiteral("HKEY_CLASSES_ROOT");
        case HKEY_CURRENT_USER:
            return QStringLiteral("HKEY_CURRENT_USER");
        case HKEY_LOCAL_MACHINE:
            return QStringLiteral("HKEY_LOCAL_MACHINE");
        case HKEY_USERS:
            return QStringLiteral("HKEY_USERS");
        default:
            return QString();
    }
}
