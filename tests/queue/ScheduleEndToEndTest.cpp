// The scheduler on the desktop: a time picked in the dialog from the toolbar, a
// restart, and the row left over in History.ini downloads by itself at that time.
#include "FaceFixture.h"
#include "common/AppPaths.h"
#include "common/CRegister.h"
#include "common/QStringPrinter.h"
#include "queue/faces/frmScheduleFace.h"
#include "support/HttpFileResponder.h"
#include "support/Sha256.h"
#include "support/TestData.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

namespace {

class ScheduleEndToEndTest : public FaceFixture {
protected:
    void start() {
        main->Scheduler.Now = [this] { return now; };
        main->hooks.schedule = [this] { frmScheduleFace::Show(main->Scheduler, face.get()); };
        ASSERT_TRUE(main->Startup());
    }
    // What the user does in the dialog once the toolbar has opened it.
    static void pickTime(frmScheduleFace& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Schedule Downloads"));
        EXPECT_TRUE(dialog.isModal());
        EXPECT_FALSE(dialog.cboHour->isEnabled());
        dialog.chkNoSchedule->click();
        EXPECT_TRUE(dialog.cboHour->isEnabled());
        EXPECT_FALSE(dialog.DayBoxes[2]->isEnabled());
        dialog.cboHour->setCurrentText(QStringLiteral("14"));
        EXPECT_EQ(dialog.cboType->currentText(), QStringLiteral("24HR"));
        dialog.cboMinute->setCurrentText(QStringLiteral(":30"));
        dialog.optSelectDay->click();
        dialog.DayBoxes[2]->click();  // Monday
        dialog.DayBoxes[3]->click();
        dialog.chkStop->click();
        dialog.cboStopHour->setCurrentText(QStringLiteral("18"));
        dialog.optResume->click();
        screenshot(dialog, QStringLiteral("scheduler.png"));
        dialog.cmdOK->click();
    }

    QDateTime now{QDate(2024, 5, 6), QTime(14, 0, 20)};  // a Monday
};

TEST_F(ScheduleEndToEndTest, ALeftOverRowDownloadsByItselfAtThePickedTimeAfterARestart) {
    const QByteArray data = patternBytes(300'000, 21);
    ScriptedHttpServer server;
    server.setHandler(HttpFileResponder(data));
    QTemporaryDir downloads;
    ASSERT_TRUE(downloads.isValid());
    const QString target = downloads.filePath(QStringLiteral("file.bin"));
    ASSERT_TRUE(writeWholeFile(target, data.left(135'000)));
    const QString url = server.url(QStringLiteral("file.bin"));
    ASSERT_TRUE(writeWholeFile(AppFilePath(QStringLiteral("History.ini")),
                               (target + "\r\n45%\r\n292.97 KB\r\n131.84 KB\r\nPaused/Stoped\r\n" +
                                url + "\r\n05/06/24\r\nComplete List\r\nFinish History\r\n")
                                   .toUtf8()));
    start();
    EXPECT_FALSE(main->ExtraTimer1.Enabled());  // nothing scheduled yet
    bool seen = false;
    QTimer::singleShot(0, face.get(), [&] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<frmScheduleFace*>(widget); dialog && !seen) {
                seen = true;
                pickTime(*dialog);
            }
    });
    main->FlashCommand(QStringLiteral("IDC_FS_Schedule"));
    ASSERT_TRUE(seen);
    EXPECT_EQ(main->ExtraTimer1.Interval(), 29);
    const std::pair<const char*, const char*> expected[] = {
        {"NoSchedule", "0"},   {"SchHour", "14"},     {"SchMinute", ":30"},   {"SchType", "24HR"},
        {"SelectDay", "True"}, {"Mon", "1"},          {"Sat", "0"},           {"Resume", "True"},
        {"SchStop", "1"},      {"SchStopHour", "18"}, {"SchStopType", "24HR"}};
    for (const auto& [name, text] : expected)
        EXPECT_EQ(CRegister().REGGetSetting(HKEY_LOCAL_MACHINE, kLumetKey, QLatin1String(name)),
                  QLatin1String(text))
            << name;

    face->close();
    destroy();
    create();
    now = QDateTime(now.date(), QTime(14, 29, 50));
    start();
    ASSERT_EQ(main->Queue.lstMain.Count(), 1);
    const ListRowPtr row = main->Queue.lstMain.At(0);
    EXPECT_EQ(main->ExtraTimer1.IntervalUnit(), 0);
    EXPECT_EQ(main->ExtraTimer1.Interval(), 9);
    ScriptedDialogs::current().allowOkMessages();  // "Download Successful."
    for (int ticks = 0; !main->Queue.BusyWindowOf(row.get()) && ticks < 30; ++ticks) {
        now = now.addSecs(1);
        main->ExtraTimer1.Tick();
    }
    EXPECT_EQ(now.time(), QTime(14, 30));
    EXPECT_EQ(main->ExtraTimer1.Interval(), 210);  // minutes to the stop time, 18:00

    ASSERT_TRUE(waitFor([&] { return main->Queue.lstComplete.Count() == 1; }, 60000));
    EXPECT_EQ(sha256OfFile(target), sha256Hex(data));
    // The dialog's choice for an existing file: continued from its end less the
    // roll-back, not fetched afresh.
    ASSERT_FALSE(server.requests().isEmpty());
    EXPECT_EQ(server.requests().last().header("Range"), QByteArray("bytes=130903-299999"));
}

}  // namespace
