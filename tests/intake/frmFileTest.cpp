// The save prompt: the save-as dialog on load, change, begin, later and cancel.
#include "IntakeFixture.h"
#include "common/AppPaths.h"
#include "intake/faces/frmFileFace.h"
#include "intake/frmFile.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace {

// Scripted dialogs that also keep the filter of each save-as dialog.
class FilterRecordingDialogs : public ScriptedDialogs {
public:
    std::optional<QString> saveAs(const QString& title, const QString& initialPath,
                                  const QString& filter) override {
        calls << title + u'|' + initialPath + u'|' + filter;
        return ScriptedDialogs::saveAs(title, initialPath, filter);
    }
    QStringList calls;
};

class frmFileTest : public IntakeFixture {
protected:
    void SetUp() override {
        IntakeFixture::SetUp();
        Dialogs::setInstance(&dialogs);
    }
    void TearDown() override { Dialogs::setInstance(&ScriptedDialogs::current()); }

    frmFileFace* open(const std::optional<QString>& chosen) {
        dialogs.answerText(chosen);
        return frmFileFace::Open(queue, address, nullptr);
    }

    const QString address = QStringLiteral("http://server/dir/a.zip");
    const QString chosen = inFolder(QStringLiteral("b.zip"));
    FilterRecordingDialogs dialogs;
};

// The first prompt, with no file chosen yet, opens in the user's download folder.
TEST_F(frmFileTest, WithoutALastFolderThePromptOpensInTheDownloadFolder) {
    LastDir.clear();
    EXPECT_EQ(open(std::nullopt), nullptr);
    ASSERT_EQ(dialogs.calls.size(), 1);
    EXPECT_EQ(dialogs.calls[0].section(u'|', 1, 1),
              AppPaths::downloadFolder() + QStringLiteral("/a.zip"));
}

TEST_F(frmFileTest, TheSaveAsDialogComesFirstAndChangeOffersTheTarget) {
    EXPECT_EQ(open(std::nullopt), nullptr);
    EXPECT_EQ(LastDir, inFolder(QStringLiteral("last.bin")));
    QPointer<frmFileFace> face = open(chosen);
    ASSERT_TRUE(face);
    EXPECT_TRUE(face->isVisible());
    EXPECT_FALSE(face->isModal());
    EXPECT_EQ(face->txtURL->text(), address);
    EXPECT_EQ(face->txtSaveTo->text(), chosen);
    EXPECT_EQ(LastDir, chosen);

    dialogs.answerText(std::nullopt);
    face->cmdChange->click();
    EXPECT_EQ(face->txtSaveTo->text(), chosen);
    const QString other = inFolder(QStringLiteral("c.zip"));
    dialogs.answerText(other);
    face->cmdChange->click();
    EXPECT_EQ(face->txtSaveTo->text(), other);
    const QString filter = QStringLiteral("|All Files(*.*)|*.*");
    EXPECT_EQ(dialogs.calls,
              QStringList(
                  {QStringLiteral("[Save file to?]|") + inFolder(QStringLiteral("a.zip")) + filter,
                   QStringLiteral("[Save file to?]|") + inFolder(QStringLiteral("a.zip")) + filter,
                   QStringLiteral("Save file to...|") + chosen + filter,
                   QStringLiteral("Save file to...|") + chosen + filter}));
    EXPECT_EQ(LastDir, chosen);
    EXPECT_TRUE(queue.calls.empty());
    delete face;
}

TEST_F(frmFileTest, BeginStartsAsOverwriteLaterQueuesCancelDrops) {
    const std::pair<QPushButton * frmFileFace::*, std::vector<RecordingQueue::Call>> cases[] = {
        {&frmFileFace::cmdBeginDown, {RecordingQueue::start(address, chosen)}},
        {&frmFileFace::cmdDownLater, {RecordingQueue::later(address, chosen)}},
        {&frmFileFace::cmdCancel, {}},
    };
    for (const auto& [button, calls] : cases) {
        queue.calls.clear();
        QPointer<frmFileFace> face = open(chosen);
        ASSERT_TRUE(face);
        ExistChoice = -1;
        (face->*button)->click();
        EXPECT_EQ(queue.calls, calls);
        // Only Begin settles the choice (as overwrite); Later leaves it to the queue.
        EXPECT_EQ(ExistChoice, button == &frmFileFace::cmdBeginDown ? 0 : -1);
        // The prompt goes once it is done.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(face.isNull());
    }
}

}  // namespace
