// Replacing a file's content in one step.
#include "common/AtomicFile.h"

#include "support/TempRoot.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "QStringPrinter.h"

#include <sys/stat.h>

namespace {

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

mode_t modeOf(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

class AtomicFileTest : public ::testing::Test {
protected:
    QStringList filesInRoot() const { return QDir(root.path()).entryList(QDir::Files); }
    TempRoot root;
};

TEST_F(AtomicFileTest, CreatesAndReplacesWithExactlyTheGivenBytes) {
    const QString path = root.file("Settings.ini");
    const QByteArray binary("a\0b\r\n\xFF", 6);
    ASSERT_TRUE(WriteFileAtomically(path, binary));
    EXPECT_EQ(contentOf(path), binary);
    ASSERT_TRUE(WriteFileAtomically(path, "shorter"));
    EXPECT_EQ(contentOf(path), "shorter");
    ASSERT_TRUE(WriteFileAtomically(path, QByteArray()));
    EXPECT_EQ(contentOf(path), QByteArray());
    EXPECT_EQ(filesInRoot(), QStringList({"Settings.ini"}));
}

TEST_F(AtomicFileTest, KeepsThePermissionsOfTheFileItReplaces) {
    const QString path = root.file("site.Profile");
    ASSERT_TRUE(WriteFileAtomically(path, "old"));
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0600), 0);
    ASSERT_TRUE(WriteFileAtomically(path, "new"));
    EXPECT_EQ(modeOf(path), 0600u);
}

TEST_F(AtomicFileTest, AGivenModeHoldsForNewAndReplacedFiles) {
    const QString path = root.file("file.bin.lumet");
    ASSERT_TRUE(WriteFileAtomically(path, "one", 0600));
    EXPECT_EQ(modeOf(path), 0600u);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0644), 0);
    ASSERT_TRUE(WriteFileAtomically(path, "two", 0600));
    EXPECT_EQ(modeOf(path), 0600u);
    EXPECT_EQ(contentOf(path), "two");
}

TEST_F(AtomicFileTest, WritesThroughASymbolicLinkAndKeepsTheLink) {
    const QString target = root.file("real.ini");
    const QString link = root.file("link.ini");
    ASSERT_TRUE(WriteFileAtomically(target, "old"));
    ASSERT_TRUE(QFile::link(target, link));
    ASSERT_TRUE(WriteFileAtomically(link, "new"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(contentOf(target), "new");
}

TEST_F(AtomicFileTest, FailsWithoutLeavingAnythingWhenTheFileCannotBeReplaced) {
    EXPECT_FALSE(WriteFileAtomically(root.file("missing/folder/x.ini"), "x"));
    // A folder in the way: the temporary file is written but cannot be renamed.
    ASSERT_TRUE(QDir().mkpath(root.file("taken")));
    EXPECT_FALSE(WriteFileAtomically(root.file("taken"), "x"));
    EXPECT_TRUE(QFileInfo(root.file("taken")).isDir());
    EXPECT_TRUE(filesInRoot().isEmpty()) << filesInRoot().join(", ").toStdString();
}

}  // namespace
