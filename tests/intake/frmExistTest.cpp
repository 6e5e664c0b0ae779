// The existing-file dialog's three answers, each followed by a real download
// of the same target: overwrite, resume and skip.
#include "intake/faces/frmExist.h"
#include "support/ConnectionsSoFar.h"
#include "support/HttpFileResponder.h"
#include "support/ScriptedHttpServer.h"
#include "transfer/DownloadFixture.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

class frmExistTest : public DownloadFixture {
protected:
    // Shows the dialog the way the queue does (ExistChoice 0 first) and lets
    // `press` act on it once it is up; returns the choice it leaves.
    static int ask(const std::function<void(frmExist&)>& press) {
        ExistChoice = 0;
        QTimer::singleShot(0, [press] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<frmExist*>(widget);
                if (dialog && dialog->isVisible()) press(*dialog);
            }
        });
        return frmExist::Ask(nullptr);
    }

    const QByteArray data = patternBytes(20000, 61);
};

TEST_F(frmExistTest, OverwriteReplacesTheWholeFile) {
    ASSERT_TRUE(writeWholeFile(target(), QByteArray(30000, 'Z')));
    const int choice = ask([](frmExist& dialog) { dialog.cmdOverwrite->click(); });
    EXPECT_EQ(choice, 0);
    ScriptedHttpServer server;
    server.setHandler(HttpFileResponder(data));
    start(server.url(QStringLiteral("f")), target(), choice);
    ASSERT_TRUE(waitForOutcome());
    expectFile(target(), data);
}

TEST_F(frmExistTest, ResumeContinuesTheExistingFile) {
    ASSERT_TRUE(writeWholeFile(target(), data.left(10000)));
    const int choice = ask([](frmExist& dialog) { dialog.cmdResume->click(); });
    EXPECT_EQ(choice, -1);
    ScriptedHttpServer server;
    server.setHandler(HttpFileResponder(data));
    start(server.url(QStringLiteral("f")), target(), choice);
    ASSERT_TRUE(waitForOutcome());
    expectFile(target(), data);
    // Continued "Rollback" bytes before the end of what was there.
    QList<QByteArray> ranges;
    for (const auto& request : server.requests()) ranges << request.header("Range");
    EXPECT_TRUE(ranges.contains("bytes=5903-19999")) << ranges.join(", ").toStdString();
}

TEST_F(frmExistTest, CancelSkipsTheDownload) {
    ASSERT_TRUE(writeWholeFile(target(), "keep me"));
    const int choice = ask([](frmExist& dialog) { dialog.Command3->click(); });
    EXPECT_EQ(choice, -2);
    ScriptedHttpServer server;
    frmDownload& dl = start(server.url(QStringLiteral("f")), target(), choice);
    EXPECT_EQ(dl.outcome(), frmDownload::Outcome::Unloaded);
    EXPECT_EQ(connectionsSoFar(server), 0);
    QFile file(target());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("keep me"));
}

// Esc or the window's X skip: nothing is overwritten. What is returned is the
// dialog's own answer, whatever another start left in ExistChoice meanwhile.
TEST_F(frmExistTest, ClosingTheWindowSkipsAndTheAnswerIsTheDialogsOwn) {
    EXPECT_EQ(ask([](frmExist& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); }), -2);
    EXPECT_EQ(ask([](frmExist& dialog) {
                  ExistChoice = -1;
                  dialog.close();
              }),
              -2);
    EXPECT_EQ(ask([](frmExist& dialog) {
                  dialog.cmdResume->click();
                  ExistChoice = 0;
              }),
              -1);
}

}  // namespace
