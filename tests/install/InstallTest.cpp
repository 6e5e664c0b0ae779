// What `cmake --install` and `cpack -G DEB` make of the build: the programs, menu
// entries that desktop-file-validate accepts and that start installed programs,
// their icons, the user's guide, the browser extensions with host manifests that
// name the installed host, and a package with the libraries Qt loads at run time
// among its dependencies.
#include "settings/BrowserIntegration.h"
#include "support/WaitFor.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

struct Ran {
    int exitCode = -1;
    QString output;
};

Ran run(const QString& program, const QStringList& arguments, int timeoutMs = 240000) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    Ran ran;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        ran.output = QStringLiteral("did not finish: ") + program;
        return ran;
    }
    ran.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    ran.output = QString::fromLocal8Bit(process.readAll());
    return ran;
}

// The menu entries under share/applications of an installation or of the source tree.
QStringList menuEntries(const QString& prefix) {
    QStringList names;
    for (const QFileInfo& entry : QDir(prefix + QStringLiteral("/share/applications"))
                                      .entryInfoList({QStringLiteral("*.desktop")}, QDir::Files))
        names << entry.absoluteFilePath();
    return names;
}

QJsonDocument jsonOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QJsonDocument::fromJson(file.readAll());
}

// The browser files under share/vornelkarvo/browser of an installation in root
// (the prefix's folder, or a package's unpacked tree) whose programs are in bindir.
void expectBrowserFiles(const QString& root, const QString& bindir) {
    const QString browser = root + QStringLiteral("/share/vornelkarvo/browser/");
    EXPECT_TRUE(QFileInfo::exists(browser + QStringLiteral("chromium/manifest.json")));
    EXPECT_TRUE(QFileInfo::exists(browser + QStringLiteral("chromium/click-filter.js")));
    EXPECT_GT(QFileInfo(browser + QStringLiteral("karvoie-firefox.xpi")).size(), 0);
    // The same manifests as the integration switch writes for one user.
    const QString host = bindir + QStringLiteral("/karvoie-host");
    const QString manifests = browser + QStringLiteral("native-messaging-hosts/");
    EXPECT_EQ(jsonOf(manifests + QStringLiteral("chromium/org.vornelkarvo.karvoie.json")),
              QJsonDocument::fromJson(BrowserIntegration::ChromiumManifest(host)));
    EXPECT_EQ(jsonOf(manifests + QStringLiteral("firefox/org.vornelkarvo.karvoie.json")),
              QJsonDocument::fromJson(BrowserIntegration::FirefoxManifest(host)));
}

// Every menu entry of the source tree.
TEST(InstallTest, MenuEntriesOfTheSourceTreeAreValid) {
    const QStringList entries = menuEntries(QStringLiteral(VK_SOURCE_DIR));
    EXPECT_EQ(entries.size(), 2);
    for (const QString& entry : entries) {
        SCOPED_TRACE(entry.toStdString());
        const Ran validate = run(QStringLiteral("desktop-file-validate"), {entry});
        EXPECT_EQ(validate.exitCode, 0) << validate.output.toStdString();
        EXPECT_TRUE(validate.output.isEmpty()) << validate.output.toStdString();
    }
}

TEST(InstallTest, MenuEntriesIconsGuideAndPrograms) {
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    const Ran install = run(QStringLiteral("cmake"), {QStringLiteral("--install"), QStringLiteral(VK_BUILD_DIR),
                                                      QStringLiteral("--prefix"), prefix.path()});
    ASSERT_EQ(install.exitCode, 0) << install.output.toStdString();

    for (const char* file : {"bin/lumet", "bin/lumet-desktop", "bin/lumet-send", "bin/karvo", "bin/karvoie-host"})
        EXPECT_TRUE(QFileInfo(prefix.filePath(QLatin1String(file))).isExecutable()) << file;
    // What the build tree keeps beside the programs is under share/vornelkarvo.
    for (const char* file : {"share/vornelkarvo/guide/index.html", "share/vornelkarvo/FTPHelp.html",
                             "share/vornelkarvo/SProfiles/GNU.Profile", "share/vornelkarvo/Lang-I/English.ini"})
        EXPECT_TRUE(QFileInfo::exists(prefix.filePath(QLatin1String(file)))) << file;
    EXPECT_FALSE(QFileInfo::exists(prefix.filePath(QStringLiteral("bin/FTPHelp.html"))));
    expectBrowserFiles(prefix.path(), prefix.filePath(QStringLiteral("bin")));
    const Ran version = run(prefix.filePath(QStringLiteral("bin/lumet")), {QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0) << version.output.toStdString();

    const QStringList entries = menuEntries(prefix.path());
    ASSERT_EQ(entries, (QStringList{prefix.filePath(QStringLiteral("share/applications/karvo.desktop")),
                                    prefix.filePath(QStringLiteral("share/applications/lumet.desktop"))}));
    for (const QString& entry : entries) {
        SCOPED_TRACE(entry.toStdString());
        const Ran validate = run(QStringLiteral("desktop-file-validate"), {entry});
        EXPECT_EQ(validate.exitCode, 0) << validate.output.toStdString();
        EXPECT_TRUE(validate.output.isEmpty()) << validate.output.toStdString();
        QSettings desktop(entry, QSettings::IniFormat);
        desktop.beginGroup(QStringLiteral("Desktop Entry"));
        const QString exec = desktop.value(QStringLiteral("Exec")).toString().section(u' ', 0, 0);
        const QString icon = desktop.value(QStringLiteral("Icon")).toString();
        EXPECT_TRUE(QFileInfo(prefix.filePath(QStringLiteral("bin/") + exec)).isExecutable()) << exec.toStdString();
        EXPECT_TRUE(QFileInfo::exists(
            prefix.filePath(QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(icon))))
            << icon.toStdString();
    }

    // What the menu entry starts comes up: its hand-over channel listens, and it ends
    // cleanly when told to.
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    QProcess desktop;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VORNELKARVO_ROOT"), root.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    desktop.setProcessEnvironment(environment);
    desktop.setProcessChannelMode(QProcess::MergedChannels);
    desktop.start(prefix.filePath(QStringLiteral("bin/lumet-desktop")), {});
    ASSERT_TRUE(desktop.waitForStarted(10000));
    const QString handOver = root.filePath(QStringLiteral("run/KarvoRecieveMessage"));
    EXPECT_TRUE(waitFor([&] { return QFileInfo::exists(handOver); }, 60000));
    ASSERT_EQ(::kill(static_cast<pid_t>(desktop.processId()), SIGTERM), 0);
    ASSERT_TRUE(desktop.waitForFinished(30000));
    EXPECT_EQ(desktop.exitCode(), 0) << desktop.readAll().constData();

    // Karvo's window comes up too: it holds its one-copy lock.
    QProcess karvo;
    karvo.setProcessEnvironment(environment);
    karvo.setProcessChannelMode(QProcess::MergedChannels);
    karvo.start(prefix.filePath(QStringLiteral("bin/karvo")), {});
    ASSERT_TRUE(karvo.waitForStarted(10000));
    const QByteArray lock = QFile::encodeName(root.filePath(QStringLiteral("run/karvo.lock")));
    const auto lockedByKarvo = [&] {
        const int fd = ::open(lock.constData(), O_RDWR | O_CLOEXEC);
        if (fd < 0) return false;
        const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
        ::close(fd);
        return held;
    };
    EXPECT_TRUE(waitFor(lockedByKarvo, 60000)) << karvo.readAll().constData();
    EXPECT_EQ(karvo.state(), QProcess::Running);
    karvo.kill();
    ASSERT_TRUE(karvo.waitForFinished(30000));
}

TEST(InstallTest, DebianPackageFilesAndDependencies) {
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    const Ran cpack = run(QStringLiteral("cpack"),
                          {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                           QStringLiteral(VK_BUILD_DIR "/CPackConfig.cmake"), QStringLiteral("-B"), out.path()});
    ASSERT_EQ(cpack.exitCode, 0) << cpack.output.toStdString();
    const QStringList debs = QDir(out.path()).entryList({QStringLiteral("*.deb")}, QDir::Files);
    ASSERT_EQ(debs.size(), 1) << cpack.output.toStdString();
    const QString deb = out.filePath(debs.first());

    const Ran contents = run(QStringLiteral("dpkg-deb"), {QStringLiteral("--contents"), deb});
    ASSERT_EQ(contents.exitCode, 0) << contents.output.toStdString();
    for (const char* file :
         {"./usr/bin/lumet", "./usr/bin/lumet-desktop", "./usr/bin/lumet-send", "./usr/bin/karvo",
          "./usr/bin/karvoie-host", "./usr/share/applications/lumet.desktop",
          "./usr/share/icons/hicolor/scalable/apps/lumet.svg", "./usr/share/applications/karvo.desktop",
          "./usr/share/icons/hicolor/scalable/apps/karvo.svg", "./usr/share/vornelkarvo/guide/index.html",
          "./usr/share/vornelkarvo/browser/karvoie-firefox.xpi", "./usr/share/vornelkarvo/FTPHelp.html",
          "./usr/share/vornelkarvo/SProfiles/GNU.Profile", "./usr/share/vornelkarvo/Lang-I/English.ini"}) {
        EXPECT_TRUE(contents.output.contains(QLatin1String(file) + QLatin1Char('\n'))) << file;
    }
    // The host manifests name the host where the package puts it.
    const Ran unpack = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), deb, out.filePath(QStringLiteral("tree"))});
    ASSERT_EQ(unpack.exitCode, 0) << unpack.output.toStdString();
    expectBrowserFiles(out.filePath(QStringLiteral("tree/usr")), QStringLiteral("/usr/bin"));
    // Nothing outside /usr, nothing of the build tree.
    for (const QString& line : contents.output.split(u'\n', Qt::SkipEmptyParts)) {
        const QString path = line.section(u' ', -1);
        EXPECT_TRUE(path == QLatin1String("./") || path.startsWith(QLatin1String("./usr/"))) << path.toStdString();
    }

    const Ran fields = run(QStringLiteral("dpkg-deb"), {QStringLiteral("--field"), deb, QStringLiteral("Package"),
                                                        QStringLiteral("Version"), QStringLiteral("Depends")});
    ASSERT_EQ(fields.exitCode, 0) << fields.output.toStdString();
    EXPECT_TRUE(fields.output.contains(QStringLiteral("Package: vornelkarvo"))) << fields.output.toStdString();
    EXPECT_TRUE(fields.output.contains(QStringLiteral("Version: " VK_VERSION))) << fields.output.toStdString();
    for (const char* dependency : {"libqt6network6", "libqt6widgets6", "libssl3", "qt6-qpa-plugins"})
        EXPECT_TRUE(fields.output.contains(QLatin1String(dependency))) << dependency;
}

}  // namespace
