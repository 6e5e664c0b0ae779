#include "HeadlessBrowser.h"

#include "common/BrowserHelperIds.h"

#include <signal.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString program(HeadlessBrowser::Kind kind) {
    return kind == HeadlessBrowser::Kind::Chromium ? QStringLiteral("/usr/bin/chromium")
                                                   : QStringLiteral("/usr/bin/firefox-esr");
}

QString configHome() {
    return qEnvironmentVariable("XDG_CONFIG_HOME");
}

bool writeText(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}

}  // namespace

HeadlessBrowser::HeadlessBrowser(Kind kind, QString folder)
    : kind_(kind), folder_(std::move(folder)) {
    process_.setProcessChannelMode(QProcess::MergedChannels);
    // A group of its own: the browser's helper processes end with it.
    process_.setChildProcessModifier([] { ::setsid(); });
}

QString HeadlessBrowser::unavailableReason(Kind kind) {
    const QString path = program(kind);
    if (!QFileInfo(path).isExecutable())
        return path + QStringLiteral(" is not installed (scripts/deps.sh installs it)");
    QProcess version;
    version.setProcessChannelMode(QProcess::MergedChannels);
    version.start(path, {QStringLiteral("--version")});
    if (!version.waitForFinished(60000) || version.exitStatus() != QProcess::NormalExit ||
        version.exitCode() != 0) {
        version.kill();
        version.waitForFinished(5000);
        return path + QStringLiteral(" --version does not run: ") +
               QString::fromLocal8Bit(version.readAll()).trimmed();
    }
    return QString();
}

bool HeadlessBrowser::prepareChromium() {
    QJsonObject download;
    download.insert(QLatin1String("default_directory"), downloadFolder());
    download.insert(QLatin1String("prompt_for_download"), false);
    QJsonObject settings;
    settings.insert(QLatin1String("automatic_downloads"), 1);
    QJsonObject profile;
    profile.insert(QLatin1String("default_content_setting_values"), settings);
    QJsonObject preferences;
    preferences.insert(QLatin1String("download"), download);
    preferences.insert(QLatin1String("profile"), profile);
    return writeText(configHome() + QStringLiteral("/chromium/Default/Preferences"),
                     QJsonDocument(preferences).toJson());
}

bool HeadlessBrowser::prepareFirefox() {
    const QString profile = folder_ + QStringLiteral("/firefox-profile");
    const QString xpi = profile + QStringLiteral("/extensions/") +
                        BrowserHelperIds::kFirefoxExtensionId + QStringLiteral(".xpi");
    QDir().mkpath(QFileInfo(xpi).absolutePath());
    if (!QFile::copy(QStringLiteral(KARVOIE_FIREFOX_XPI), xpi)) return false;
    const QStringList preferences = {
        // The extension is ours and unsigned; ESR installs it from the profile.
        QStringLiteral("\"xpinstall.signatures.required\", false"),
        QStringLiteral("\"extensions.autoDisableScopes\", 0"),
        QStringLiteral("\"app.update.enabled\", false"),
        QStringLiteral("\"browser.shell.checkDefaultBrowser\", false"),
        QStringLiteral("\"datareporting.policy.dataSubmissionEnabled\", false"),
        QStringLiteral("\"toolkit.telemetry.enabled\", false"),
        QStringLiteral("\"network.captive-portal-service.enabled\", false"),
        QStringLiteral("\"network.connectivity-service.enabled\", false"),
        QStringLiteral("\"dom.security.https_first\", false"),
        QStringLiteral("\"browser.download.folderList\", 2"),
        QStringLiteral("\"browser.download.dir\", \"%1\"").arg(downloadFolder()),
        QStringLiteral("\"browser.download.useDownloadDir\", true"),
        QStringLiteral("\"browser.download.always_ask_before_handling_new_types\", false"),
    };
    QByteArray userJs;
    for (const QString& preference : preferences)
        userJs += "user_pref(" + preference.toUtf8() + ");\n";
    return writeText(profile + QStringLiteral("/user.js"), userJs);
}

bool HeadlessBrowser::start(const QString& url) {
    QDir().mkpath(downloadFolder());
    QStringList arguments;
    if (kind_ == Kind::Chromium) {
        if (!prepareChromium()) {
            error_ = QStringLiteral("cannot write Chromium's preferences");
            return false;
        }
        arguments << QStringLiteral("--headless=new") << QStringLiteral("--disable-gpu")
                  << QStringLiteral("--no-first-run")
                  << QStringLiteral("--no-default-browser-check")
                  << QStringLiteral("--disable-background-networking")
                  << QStringLiteral("--disable-component-update")
                  << QStringLiteral("--disable-sync")
                  << QStringLiteral("--disable-features=HttpsUpgrades")
                  << QStringLiteral("--user-data-dir=") + configHome() + QStringLiteral("/chromium")
                  << QStringLiteral("--load-extension=" KARVOIE_CHROMIUM_EXTENSION);
        // Its sandbox refuses to run as root.
        if (::geteuid() == 0) arguments << QStringLiteral("--no-sandbox");
    } else {
        if (!prepareFirefox()) {
            error_ = QStringLiteral("cannot prepare the Firefox profile");
            return false;
        }
        arguments << QStringLiteral("--headless") << QStringLiteral("--no-remote")
                  << QStringLiteral("--profile") << folder_ + QStringLiteral("/firefox-profile");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("MOZ_CRASHREPORTER_DISABLE"), QStringLiteral("1"));
        process_.setProcessEnvironment(environment);
    }
    arguments << url;
    process_.start(program(kind_), arguments);
    if (!process_.waitForStarted(30000)) {
        error_ = process_.errorString();
        return false;
    }
    return true;
}

void HeadlessBrowser::stop() {
    if (process_.state() == QProcess::NotRunning) return;
    ::kill(-pid_t(process_.processId()), SIGKILL);
    process_.waitForFinished(30000);
}

QString HeadlessBrowser::output() {
    output_ += process_.readAll();
    return QString::fromLocal8Bit(output_);
}
