// One running copy per program name, across processes.
#include "common/SingleInstance.h"

#include "common/AppPaths.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include "QStringPrinter.h"

#include <memory>

namespace {

constexpr int kBoundMs = 30000;  // bounds a failing test only

// A helper process holding (or failing to take) the lock; its first line says which.
class Holder {
public:
    explicit Holder(const QString& name) {
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QCoreApplication::applicationDirPath() + "/common_helper", {"hold", name});
    }
    ~Holder() { release(); }
    QByteArray answer() {
        while (!process_.canReadLine()) {
            if (!process_.waitForReadyRead(kBoundMs)) return "<no answer>";
        }
        return process_.readLine().trimmed();
    }
    void release() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.closeWriteChannel();
        process_.waitForFinished(kBoundMs);
    }
    void kill() {
        process_.kill();
        process_.waitForFinished(kBoundMs);
    }

private:
    QProcess process_;
};

class SingleInstanceTest : public ::testing::Test {
protected:
    TempRoot root;
};

TEST_F(SingleInstanceTest, ASecondProcessIsRefusedUntilTheFirstEnds) {
    Holder first("Lumet");
    ASSERT_EQ(first.answer(), "first");
    Holder second("Lumet");
    EXPECT_EQ(second.answer(), "refused");
    Holder other("Karvo");
    EXPECT_EQ(other.answer(), "first");
    {
        SingleInstance here("Lumet");
        EXPECT_FALSE(here.isFirst());
    }
    first.release();
    Holder third("Lumet");
    EXPECT_EQ(third.answer(), "first");
}

TEST_F(SingleInstanceTest, AKilledHolderLeavesTheLockFree) {
    Holder crashed("Lumet");
    ASSERT_EQ(crashed.answer(), "first");
    crashed.kill();
    SingleInstance next("Lumet");
    EXPECT_TRUE(next.isFirst());
    EXPECT_TRUE(QFileInfo::exists(AppPaths::runtimeFolder() + "/Lumet.lock"));
}

TEST_F(SingleInstanceTest, WithinOneProcessTheSecondHolderIsRefusedToo) {
    auto first = std::make_unique<SingleInstance>("Karvo");
    EXPECT_TRUE(first->isFirst());
    EXPECT_FALSE(SingleInstance("Karvo").isFirst());
    first.reset();
    EXPECT_TRUE(SingleInstance("Karvo").isFirst());
    EXPECT_EQ(SingleInstance::runningMessage(), "There is running instance");
}

}  // namespace
