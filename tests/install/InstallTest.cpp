// What `cmake --install` and `cpack -G DEB` make of the build: the programs, menu
// entries that desktop-file-validate accepts and that start installed programs,
// their icons, the user's guide, and a package with the libraries Qt loads at run
// time among its dependencies.
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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

// The programs whose menu entry the install carries: the desktop program, and
// Karvo when the tree builds it.
QStringList menuEntries(const QString& prefix) {
    QStringList names;
    for (const QFileInfo& entry : QDir(prefix + QStringLiteral("/share/applications"))
                                      .entryInfoList({QStringLiteral("*.desktop")}, QDir::Files))
        names << entry.absoluteFilePath();
    return names;
}

TEST(InstallTest, MenuEntriesIconsGuideAndPrograms) {
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    const Ran install = run(QStringLiteral("cmake"), {QStringLiteral("--install"), QStringLiteral(VK_BUILD_DIR),
                                                      QStringLiteral("--prefix"), prefix.path()});
    ASSERT_EQ(install.exitCode, 0) << install.output.toStdString();

    for (const char* file : {"bin/lumet", "bin/lumet-desktop", "bin/lumet-send"})
        EXPECT_TRUE(QFileInfo(prefix.filePath(QLatin1String(file))).isExecutable()) << file;
    EXPECT_TRUE(QFileInfo::exists(prefix.filePath(QStringLiteral("share/vornelkarvo/guide/index.html"))));

    const QStringList entries = menuEntries(prefix.path());
    ASSERT_TRUE(entries.contains(prefix.filePath(QStringLiteral("share/applications/lumet.desktop"))))
        << entries.join(u' ').toStdString();
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
         {"./usr/bin/lumet", "./usr/bin/lumet-desktop", "./usr/bin/lumet-send",
          "./usr/share/applications/lumet.desktop", "./usr/share/icons/hicolor/scalable/apps/lumet.svg",
          "./usr/share/vornelkarvo/guide/index.html"}) {
        EXPECT_TRUE(contents.output.contains(QLatin1String(file) + QLatin1Char('\n'))) << file;
    }
    // Nothing outside /usr, nothing of the build tree.
    for (const QString& line : contents.output.split(u'\n', Qt::SkipEmptyParts)) {
        const QString path = line.section(u' ', -1);
        EXPECT_TRUE(path == QLatin1String("./") || path.startsWith(QLatin1String("./usr/"))) << path.toStdString();
    }

    const Ran fields = run(QStringLiteral("dpkg-deb"), {QStringLiteral("--field"), deb, QStringLiteral("Package"),
                                                        QStringLiteral("Version"), QStringLiteral("Depends")});
    ASSERT_EQ(fields.exitCode, 0) << fields.output.toStdString();
    EXPECT_TRUE(fields.output.contains(QStringLiteral("Package: vornelkarvo"))) << fields.output.toStdString();
    EXPECT_TRUE(fields.output.contains(QStringLiteral("Version: 1.0.0"))) << fields.output.toStdString();
    for (const char* dependency : {"libqt6network6", "libqt6widgets6", "libssl3", "qt6-qpa-plugins"})
        EXPECT_TRUE(fields.output.contains(QLatin1String(dependency))) << dependency;
}

}  // namespace
