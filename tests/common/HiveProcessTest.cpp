// The hive shared by several processes: writers that run at the same time, readers
// during a write, and a writer killed in the middle of one.
#include "common/CRegister.h"
#include "common/Hive.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include "QStringPrinter.h"

#include <memory>

namespace {

const QString kKey = QStringLiteral("\\Software\\VornelKarvo\\Test\\");
const QString kFullKey = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\VornelKarvo\\Test");
// Bounds for a failing test only; nothing waits for them to pass.
constexpr int kStartMs = 30000;
constexpr int kRunMs = 240000;

std::unique_ptr<QProcess> startHelper(const QStringList& arguments) {
    auto process = std::make_unique<QProcess>();
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(QCoreApplication::applicationDirPath() + QStringLiteral("/common_helper"),
                   arguments);
    EXPECT_TRUE(process->waitForStarted(kStartMs)) << process->errorString().toStdString();
    return process;
}

// The number in the helper's last "wrote N" line, once at least `atLeast` writes are done.
long waitForWrites(QProcess& process, long atLeast) {
    long last = 0;
    while (last < atLeast) {
        if (!process.canReadLine() && !process.waitForReadyRead(kRunMs)) return last;
        while (process.canReadLine()) {
            const QByteArray line = process.readLine().trimmed();
            if (line.startsWith("wrote ")) last = line.mid(6).toLong();
        }
    }
    return last;
}

// "Big" must be one whole value the churning helper wrote: size letters, ":" and the
// number of its write.
void expectWholeBigValue(const Hive& hive, int size) {
    const std::optional<QString> big = hive.value(kFullKey, QStringLiteral("Big"));
    ASSERT_TRUE(big.has_value());
    const qsizetype colon = big->indexOf(u':');
    ASSERT_EQ(colon, size) << big->left(80).toStdString();
    const QStringView letters = QStringView(*big).left(colon);
    EXPECT_EQ(letters.count(letters[0]), size);
    bool number = false;
    EXPECT_GE(QStringView(*big).mid(colon + 1).toLong(&number), 0);
    EXPECT_TRUE(number) << big->mid(colon).toStdString();
}

class HiveProcessTest : public ::testing::Test {
protected:
    TempRoot root;
    CRegister reg;
};

TEST_F(HiveProcessTest, TwoProcessesWritingAtOnceLoseNothing) {
    constexpr int kWrites = 500;
    auto first = startHelper({"write", "P", QString::number(kWrites)});
    auto second = startHelper({"write", "Q", QString::number(kWrites)});
    // Both are running before either writes, so their writes interleave.
    first->write("go\n");
    second->write("go\n");
    ASSERT_TRUE(first->waitForBytesWritten(kStartMs));
    ASSERT_TRUE(second->waitForBytesWritten(kStartMs));
    ASSERT_TRUE(first->waitForFinished(kRunMs));
    ASSERT_TRUE(second->waitForFinished(kRunMs));
    EXPECT_EQ(first->exitCode(), 0);
    EXPECT_EQ(second->exitCode(), 0);

    EXPECT_EQ(reg.REGGetSetting(HKEY_LOCAL_MACHINE, kKey, "Counter"), QString::number(2 * kWrites));
    int missing = 0;
    for (const QString id : {"P", "Q"}) {
        for (int i = 0; i < kWrites; ++i) {
            const QString name = QStringLiteral("%1_%2").arg(id).arg(i);
            if (reg.REGGetSetting(HKEY_LOCAL_MACHINE, kKey, name) != name + "-data") ++missing;
        }
    }
    EXPECT_EQ(missing, 0);
}

TEST_F(HiveProcessTest, AWriterKilledMidWriteLeavesTheOldOrTheNewValue) {
    constexpr int kSize = 1 << 20;
    ASSERT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kKey, "Keep", "kept"));
    ASSERT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kKey, "Big",
                                   QString(kSize, u'z') + QStringLiteral(":0")));

    // Killed after a different number of finished writes each time, so the kill falls
    // into different steps of the write in progress.
    for (long writes : {1L, 2L, 3L, 5L, 8L}) {
        auto writer = startHelper({"churn", QString::number(kSize)});
        ASSERT_GE(waitForWrites(*writer, writes), writes);
        writer->kill();
        ASSERT_TRUE(writer->waitForFinished(kRunMs));

        const Hive hive = Hive::load();
        expectWholeBigValue(hive, kSize);
        EXPECT_EQ(hive.value(kFullKey, QStringLiteral("Keep")), QStringLiteral("kept"));
    }

    // The next write clears the temporary files the killed writers left.
    ASSERT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kKey, "After", "1"));
    const QStringList left = QFileInfo(Hive::filePath()).absoluteDir().entryList(QDir::Files);
    EXPECT_EQ(left, QStringList({"registry.lock", "registry.reg"}));
}

TEST_F(HiveProcessTest, ReadersNeverSeeAHalfWrittenFile) {
    constexpr int kSize = 256 << 10;
    ASSERT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kKey, "Big",
                                   QString(kSize, u'z') + QStringLiteral(":0")));
    auto writer = startHelper({"churn", QString::number(kSize)});
    long seen = waitForWrites(*writer, 1);
    ASSERT_GE(seen, 1);

    for (int read = 0; read < 300 && !HasFailure(); ++read) {
        expectWholeBigValue(Hive::load(), kSize);
        // Keep reading until the writer has moved on a few times under our feet.
        if (read % 50 == 49) seen = waitForWrites(*writer, seen + 1);
    }
    writer->kill();
    ASSERT_TRUE(writer->waitForFinished(kRunMs));
}

}  // namespace
