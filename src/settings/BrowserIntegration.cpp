#include "settings/BrowserIntegration.h"

#include "common/AppPaths.h"
#include "common/AtomicFile.h"
#include "common/BrowserHelperIds.h"
#include "common/CRegister.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QString kDescription = QStringLiteral("KarvoIE: hands browser downloads to Lumet");

QString configHome() {
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    return QDir::isAbsolutePath(config) ? QDir::cleanPath(config)
                                        : QDir::homePath() + QStringLiteral("/.config");
}

QString manifestName() {
    return BrowserHelperIds::kHostName + QStringLiteral(".json");
}

QByteArray manifest(const QString& hostPath, const char* allowKey, const QString& allowed) {
    QJsonObject object;
    object.insert(QLatin1String("name"), BrowserHelperIds::kHostName);
    object.insert(QLatin1String("description"), kDescription);
    object.insert(QLatin1String("path"), hostPath);
    object.insert(QLatin1String("type"), QStringLiteral("stdio"));
    object.insert(QLatin1String(allowKey), QJsonArray{allowed});
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

// Single quotes keep every character of the text as it is, but a single quote.
QString shellQuoted(const QString& text) {
    QString quoted = text;
    quoted.replace(u'\'', QLatin1String("'\\''"));
    return u'\'' + quoted + u'\'';
}

QString hiveKeyName() {
    return QStringLiteral("HKEY_LOCAL_MACHINE") + BrowserIntegration::RegistrationKey();
}

bool writeFile(const QString& path, const QByteArray& content, QFile::Permissions permissions,
               QStringList& written, QString& failure) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !WriteFileAtomically(path, content) ||
        !QFile::setPermissions(path, permissions)) {
        failure = QStringLiteral("%1 cannot be written").arg(path);
        return false;
    }
    written << path;
    return true;
}

}  // namespace

QString BrowserIntegration::RegistrationKey() {
    return BrowserHelperIds::kHelperObjectsKey + BrowserHelperIds::kClassId;
}

QString BrowserIntegration::ChromiumManifestPath() {
    return configHome() + QStringLiteral("/chromium/NativeMessagingHosts/") + manifestName();
}

QString BrowserIntegration::FirefoxManifestPath() {
    return QDir::homePath() + QStringLiteral("/.mozilla/native-messaging-hosts/") + manifestName();
}

QString BrowserIntegration::WrapperPath() {
    const QString root = AppPaths::rootOverride();
    return root.isEmpty() ? QString() : root + QStringLiteral("/browser/karvoie-host.sh");
}

QString BrowserIntegration::DefaultHostPath() {
    return QDir(AppPaths::executableFolder()).filePath(BrowserHelperIds::kHostExecutable);
}

bool BrowserIntegration::KeyPresent() {
    return CRegister()
        .GetAllKeys(HKEY_LOCAL_MACHINE, BrowserHelperIds::kHelperObjectsKey)
        .contains(BrowserHelperIds::kClassId, Qt::CaseInsensitive);
}

bool BrowserIntegration::IsOn() {
    return KeyPresent() && QFileInfo(ChromiumManifestPath()).isFile() &&
           QFileInfo(FirefoxManifestPath()).isFile();
}

QByteArray BrowserIntegration::ChromiumManifest(const QString& hostPath) {
    return manifest(
        hostPath, "allowed_origins",
        QStringLiteral("chrome-extension://%1/").arg(BrowserHelperIds::kChromiumExtensionId));
}

QByteArray BrowserIntegration::FirefoxManifest(const QString& hostPath) {
    return manifest(hostPath, "allowed_extensions", BrowserHelperIds::kFirefoxExtensionId);
}

QByteArray BrowserIntegration::WrapperScript(const QString& root, const QString& hostPath) {
    return QStringLiteral(
               "#!/bin/sh\n"
               "# Written by Lumet's browser-integration switch: starts the KarvoIE host\n"
               "# with the installation folder Lumet uses.\n"
               "exec env VORNELKARVO_ROOT=%1 %2 \"$@\"\n")
        .arg(shellQuoted(root), shellQuoted(hostPath))
        .toUtf8();
}

bool BrowserIntegration::SwitchOn(const QString& hostPath, QStringList& changes, QString& failure) {
    const QFileInfo host(hostPath);
    if (!host.isAbsolute() || !host.isFile() || !host.isExecutable()) {
        failure = QStringLiteral("the browser host program is not at %1").arg(hostPath);
        return false;
    }
    const QString hostFile = host.canonicalFilePath();
    QStringList written;
    bool keyWritten = false;
    const auto ok = [&]() -> bool {
        if (!CRegister().REGSaveSetting(HKEY_LOCAL_MACHINE, RegistrationKey(), QString(),
                                        QString())) {
            failure = QStringLiteral("%1 cannot be written").arg(hiveKeyName());
            return false;
        }
        keyWritten = true;
        QString started = hostFile;
        const QString wrapper = WrapperPath();
        if (!wrapper.isEmpty()) {
            const QFile::Permissions executable =
                QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
            if (!writeFile(wrapper, WrapperScript(AppPaths::rootOverride(), hostFile), executable,
                           written, failure))
                return false;
            started = wrapper;
        }
        const QFile::Permissions readable =
            QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
        return writeFile(ChromiumManifestPath(), ChromiumManifest(started), readable, written,
                         failure) &&
               writeFile(FirefoxManifestPath(), FirefoxManifest(started), readable, written,
                         failure);
    }();
    if (!ok) {
        // Half an integration would leave the box saying on while no browser can capture.
        for (const QString& path : written) QFile::remove(path);
        if (keyWritten) CRegister().REGDeleteSetting(HKEY_LOCAL_MACHINE, RegistrationKey());
        return false;
    }
    changes << QStringLiteral("wrote ") + hiveKeyName();
    for (const QString& path : written) changes << QStringLiteral("wrote ") + path;
    return true;
}

bool BrowserIntegration::SwitchOff(QStringList& changes, QString& failure) {
    QStringList left;
    if (KeyPresent()) {
        if (CRegister().REGDeleteSetting(HKEY_LOCAL_MACHINE, RegistrationKey()))
            changes << QStringLiteral("removed ") + hiveKeyName();
        else
            left << hiveKeyName();
    }
    for (const QString& path : {ChromiumManifestPath(), FirefoxManifestPath(), WrapperPath()}) {
        if (path.isEmpty() || !QFileInfo::exists(path)) continue;
        if (QFile::remove(path))
            changes << QStringLiteral("removed ") + path;
        else
            left << path;
    }
    if (left.isEmpty()) return true;
    failure = QStringLiteral("%1 cannot be removed").arg(left.join(QLatin1String(", ")));
    return false;
}
