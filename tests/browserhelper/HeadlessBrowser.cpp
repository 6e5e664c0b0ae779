#include "HeadlessBrowser.h"

#include "common/BrowserHelperIds.h"

#include <signal.h>
#include <unistd.h>
#include <QDir>
#include <QFile>

namespace {

QString program(HeadlessBrowser::Kind kind) {
    return kind == HeadlessBrowser::Kind::Chromium ? QStringLiteral("/usr/bin/chromium")
                                                   : QStringLiteral("/usr/bin/firefox-esr");
}

bool writeText(const QString& path, const QString& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) > 0;
}

}  // namespace

HeadlessBrowser::HeadlessBrowser(Kind kind, const QString& folder) : kind_(kind), folder_(folder) {
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.setChildProcessModifier([] { ::setsid(); });
}

HeadlessBrowser::~HeadlessBrowser() {
    if (process_.state() == QProcess::NotRunning) return;
    ::kill(-pid_t(process_.processId()), SIGKILL);
    process_.waitForFinished(30000);
}

QString HeadlessBrowser::unavailableReason(Kind kind) {
    QProcess version;
    version.start(program(kind), {QStringLiteral("--version")});
    if (version.waitForFinished(60000) && version.exitStatus() == QProcess::NormalExit &&
        version.exitCode() == 0)
        return QString();
    version.kill();
    version.waitForFinished(5000);
    return program(kind) + QStringLiteral(" does not run here (scripts/deps.sh installs it)");
}

bool HeadlessBrowser::start(const QString& url) {
    QDir().mkpath(downloadFolder());
    QStringList arguments;
    if (kind_ == Kind::Chromium) {
        const QString profile =
            qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/chromium");
        if (!writeText(
                profile + QStringLiteral("/Default/Preferences"),
                QStringLiteral(
                    R"({"download": {"default_directory": "%1", "prompt_for_download": false},
                            "profile": {"default_content_setting_values": {"automatic_downloads": 1}}})")
                    .arg(downloadFolder())))
            return false;
        arguments = {QStringLiteral("--headless=new"),
                     QStringLiteral("--disable-gpu"),
                     QStringLiteral("--no-first-run"),
                     QStringLiteral("--disable-background-networking"),
                     QStringLiteral("--disable-component-update"),
                     QStringLiteral("--disable-sync"),
                     QStringLiteral("--disable-features=HttpsUpgrades"),
                     QStringLiteral("--user-data-dir=") + profile,
                     QStringLiteral("--load-extension=" KARVOIE_CHROMIUM_EXTENSION)};
        // Its sandbox refuses to run as root.
        if (::geteuid() == 0) arguments << QStringLiteral("--no-sandbox");
    } else {
        // ESR installs an unsigned extension it finds in the profile.
        const QString profile = folder_ + QStringLiteral("/firefox-profile");
        QDir().mkpath(profile + QStringLiteral("/extensions"));
        if (!QFile::copy(QStringLiteral(KARVOIE_FIREFOX_XPI),
                         profile + QStringLiteral("/extensions/") +
                             BrowserHelperIds::kFirefoxExtensionId + QStringLiteral(".xpi")))
            return false;
        QString preferences;
        for (const QString& preference :
             {QStringLiteral(R"("xpinstall.signatures.required", false)"),
              QStringLiteral(R"("extensions.autoDisableScopes", 0)"),
              QStringLiteral(R"("dom.security.https_first", false)"),
              QStringLiteral(R"("browser.download.folderList", 2)"),
              QStringLiteral(R"("browser.download.dir", "%1")").arg(downloadFolder()),
              QStringLiteral(R"("browser.download.always_ask_before_handling_new_types", false)")})
            preferences += QStringLiteral("user_pref(%1);\n").arg(preference);
        if (!writeText(profile + QStringLiteral("/user.js"), preferences)) return false;
        arguments = {QStringLiteral("--headless"), QStringLiteral("--no-remote"),
                     QStringLiteral("--profile"), profile};
    }
    process_.start(program(kind_), arguments << url);
    return process_.waitForStarted(30000);
}
