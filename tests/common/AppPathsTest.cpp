// Where the programs keep their files, and that the runtime folder stays private.
#include "common/AppPaths.h"

#include "EnvironmentGuard.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include "QStringPrinter.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

mode_t modeOf(const QString& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
    return st.st_mode & 07777;
}

class AppPathsTest : public ::testing::Test {
protected:
    TempRoot root;
    EnvironmentGuard env;
};

TEST_F(AppPathsTest, UnderARootBothFoldersLieInIt) {
    const QString program = AppPaths::programFolder();
    const QString runtime = AppPaths::runtimeFolder();
    EXPECT_EQ(program, root.file("program"));
    EXPECT_EQ(runtime, root.file("run"));
    EXPECT_TRUE(QFileInfo(program).isDir());
    EXPECT_EQ(modeOf(program), 0700u);
    EXPECT_EQ(modeOf(runtime), 0700u);
    EXPECT_EQ(AppFilePath("Settings.ini"), root.file("program/Settings.ini"));
}

TEST_F(AppPathsTest, ARelativeRootIsTakenFromTheCurrentFolder) {
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(root.path()));
    env.set("VORNELKARVO_ROOT", "inner/");
    const QString program = AppPaths::programFolder();
    QDir::setCurrent(previous);
    EXPECT_EQ(program, root.file("inner/program"));
}

TEST_F(AppPathsTest, WithoutARootTheDesktopFoldersAreUsed) {
    env.unset("VORNELKARVO_ROOT");
    env.set("HOME", root.path().toLocal8Bit());
    env.set("XDG_DATA_HOME", root.file("data").toLocal8Bit());
    env.set("XDG_RUNTIME_DIR", root.file("xdg-run").toLocal8Bit());
    EXPECT_EQ(AppPaths::programFolder(), root.file("data/VornelKarvo"));
    EXPECT_EQ(AppPaths::runtimeFolder(), root.file("xdg-run/VornelKarvo"));

    env.set("XDG_DATA_HOME", "relative/is/ignored");
    env.unset("XDG_RUNTIME_DIR");
    EXPECT_EQ(AppPaths::programFolder(), root.file(".local/share/VornelKarvo"));
    EXPECT_EQ(AppPaths::runtimeFolder(), QStringLiteral("/tmp/VornelKarvo-%1").arg(::geteuid()));
    EXPECT_EQ(AppFilePath("History.ini"), root.file(".local/share/VornelKarvo/History.ini"));
}

TEST_F(AppPathsTest, TheDownloadFolderIsTheXdgOneElseDownloadsInHome) {
    env.set("HOME", root.path().toLocal8Bit());
    env.set("XDG_CONFIG_HOME", root.file("config").toLocal8Bit());
    EXPECT_EQ(AppPaths::downloadFolder(), root.file("Downloads"));
    ASSERT_TRUE(QDir().mkpath(root.file("config")));
    QFile dirs(root.file("config/user-dirs.dirs"));
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOWNLOAD_DIR=\"$HOME/Fetched\"\n");
    dirs.close();
    EXPECT_EQ(AppPaths::downloadFolder(), root.file("Fetched"));
}

TEST_F(AppPathsTest, TightensALooseRuntimeFolderOfOurs) {
    ASSERT_TRUE(QDir().mkpath(root.file("run")));
    ASSERT_EQ(::chmod(QFile::encodeName(root.file("run")).constData(), 0777), 0);
    EXPECT_EQ(AppPaths::runtimeFolder(), root.file("run"));
    EXPECT_EQ(modeOf(root.file("run")), 0700u);
}

// What the programs ship is beside them in the build tree and under
// share/vornelkarvo when installed (the build tree has a share/vornelkarvo/guide).
TEST_F(AppPathsTest, ShippedFilesBesideTheProgramElseInstalled) {
    const QString beside = root.file("bin");
    ASSERT_TRUE(QDir().mkpath(beside + QStringLiteral("/Lang-I")));
    ASSERT_TRUE(QDir(AppPaths::sharedDataFolder()).exists(QStringLiteral("guide")));
    const struct {
        const char* name;
        QString expected;
    } cases[] = {
        {"Lang-I", beside + QStringLiteral("/Lang-I")},
        {"guide", AppPaths::sharedDataFolder() + QStringLiteral("/guide")},
        {"FTPHelp.html", beside + QStringLiteral("/FTPHelp.html")},  // in neither: where it belongs
    };
    for (const auto& c : cases)
        EXPECT_EQ(AppPaths::shippedPath(beside, QLatin1String(c.name)), c.expected) << c.name;
}

TEST_F(AppPathsTest, RefusesARuntimeFolderSomeoneElsePlanted) {
    env.set("HOME", root.file("home").toLocal8Bit());
    const QString fallback = root.file("home/.cache/VornelKarvo-run");

    // A link to a folder elsewhere is not a folder of ours.
    ASSERT_TRUE(QDir().mkpath(root.file("elsewhere")));
    ASSERT_TRUE(QFile::link(root.file("elsewhere"), root.file("run")));
    EXPECT_EQ(AppPaths::runtimeFolder(), fallback);
    EXPECT_EQ(modeOf(fallback), 0700u);
    ASSERT_TRUE(QFile::remove(root.file("run")));

    ASSERT_TRUE(QDir().mkpath(root.file("run")));
    if (::chown(QFile::encodeName(root.file("run")).constData(), ::geteuid() + 4242, -1) != 0)
        GTEST_SKIP() << "handing a folder to another user needs root";
    EXPECT_EQ(AppPaths::runtimeFolder(), fallback);
}

}  // namespace
