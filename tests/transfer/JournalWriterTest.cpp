// The journal writer: a journal follows data that reached the disk, or is not
// written at all.
#include "transfer/JournalWriter.h"

#include "support/TempRoot.h"
#include "support/TestData.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

TEST(JournalWriterTest, WritesOnlyAfterTheDataWasSynced) {
    TempRoot root;
    const QString data = root.file("f.bin");
    const QString journal = root.file("f.bin.lumet");
    ASSERT_TRUE(writeWholeFile(data, "bytes"));
    JournalWriter& writer = JournalWriter::instance();
    writer.submit(journal, data, "one");
    writer.wait(journal);
    EXPECT_EQ(readWholeFile(journal), "one");
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(journal).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    // The data file is gone: nothing can be synced, the older journal stays.
    ASSERT_TRUE(QFile::remove(data));
    writer.submit(journal, data, "two");
    writer.wait(journal);
    EXPECT_EQ(readWholeFile(journal), "one");
}

}  // namespace
