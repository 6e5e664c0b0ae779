// The scheduler dialog's logic over an injected clock, and its coarse timer.
#include "common/CRegister.h"
#include "common/QStringPrinter.h"
#include "core/Language.h"
#include "core/modGlobalVariables.h"
#include "queue/ExtraTimer.h"
#include "queue/ScheduleGlobals.h"
#include "queue/frmSchedule.h"
#include "support/ScriptedDialogs.h"
#include "support/TempRoot.h"
#include "support/TestData.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QSignalSpy>

namespace {

class frmScheduleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ScriptedDialogs::current().clear();
        ScriptedDialogs::current().allowOkMessages();
        ScheduleExistChoice = 1;
        LangFile = QStringLiteral("English.ini");
        form.Now = [this] { return now; };
    }

    static QString stored(const char* name) {
        return CRegister().REGGetSetting(HKEY_LOCAL_MACHINE, kLumetKey, QLatin1String(name));
    }
    // The user sets a time on the 24-hour clock and confirms.
    void confirm(const char* hour) {
        form.chkNoSchedule.Value = false;
        form.cboHour.Text = QLatin1String(hour);
        form.cboType.Text = QStringLiteral("24HR");
        form.cmdOK_Click();
    }

    TempRoot root_;
    QDateTime now{QDate(2024, 5, 6), QTime(14, 0, 20)};
    ExtraTimer timer;
    frmSchedule form{timer};
    QSignalSpy closes{&form, &frmSchedule::unloadRequested};
};

// F11: a rejected OK leaves the stored values, the scheduler's choice and the
// armed timer as they were; the messages go through the language file.
TEST_F(frmScheduleTest, ARejectedOkSaysWhyAndChangesNothing) {
    ASSERT_TRUE(QDir().mkpath(LanguageFolder()));
    ASSERT_TRUE(writeWholeFile(LanguageFolder() + LangFile, "[Zu]\r\n13024=Vorbei\r\n"));
    confirm("15");
    ASSERT_EQ(timer.Interval(), 59);
    form.optOverWrite.Value = false;
    form.optSkip.Value = true;
    for (const auto& [hour, type, message] :
         {std::tuple{"13", "AM", "Incorrect Time!!..."}, std::tuple{"9", "24HR", "Vorbei"}}) {
        ScriptedDialogs::current().clear();
        ScriptedDialogs::current().allowOkMessages();
        form.cboHour.Text = QLatin1String(hour);
        form.cboType.Text = QLatin1String(type);
        form.cmdOK_Click();
        ASSERT_EQ(ScriptedDialogs::current().calls().size(), 1u);
        EXPECT_EQ(ScriptedDialogs::current().calls()[0].text, QLatin1String(message));
        EXPECT_EQ(ScriptedDialogs::current().calls()[0].icon, Dialogs::Icon::Exclamation);
        EXPECT_EQ(closes.size(), 1);  // the first OK only
        EXPECT_EQ(stored("SchHour"), QStringLiteral("15"));
        EXPECT_EQ(stored("Skip"), QStringLiteral("False"));
        EXPECT_EQ(ScheduleExistChoice, 1);
        EXPECT_TRUE(timer.Enabled() && timer.Interval() == 59);
    }
}

// F6: the expiry works on what was confirmed, not on what the user is editing.
TEST_F(frmScheduleTest, AnExpiryWhileTheDialogIsEditedNeitherSavesNorClosesIt) {
    form.cboMinute.Text = QStringLiteral(":30");
    confirm("14");
    form.Form_Load();  // opened again
    form.cboHour.Text = QStringLiteral("9");
    form.optOverWrite.Value = false;
    form.optSkip.Value = true;
    now = QDateTime(now.date(), QTime(14, 29, 59, 600));
    EXPECT_TRUE(form.InitTimer(false));
    EXPECT_FALSE(timer.Enabled());  // off while the run is under way
    EXPECT_EQ(form.cboHour.Text, QStringLiteral("9"));
    EXPECT_TRUE(form.optSkip.Value);
    EXPECT_EQ(closes.size(), 1);
    EXPECT_EQ(stored("SchHour"), QStringLiteral("14"));
    EXPECT_EQ(ScheduleExistChoice, 1);
    form.AfterRun();  // today only: stays off
    EXPECT_FALSE(timer.Enabled() || form.InitTimer(false));
}

// F4: the box that is ticked by default means what it says.
TEST_F(frmScheduleTest, DoNotScheduleArmsNothing) {
    now = QDateTime(now.date(), QTime(0, 30));  // before the default 1:00 AM
    form.InitTimer(true);
    EXPECT_FALSE(timer.Enabled());
    confirm("14");
    ASSERT_TRUE(timer.Enabled());
    form.chkNoSchedule.Value = true;
    form.cmdOK_Click();
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(stored("NoSchedule"), QStringLiteral("1"));
    EXPECT_EQ(closes.size(), 2);
}

TEST(ExtraTimerTest, FiresAfterIntervalTimesTheUnitInTicks) {
    // {unit, interval, ticks until the first Timer; 0: not within a day and more}
    for (const auto& [unit, interval, ticks] : {std::tuple{0, 3, 3},
                                                {0, 0, 1},
                                                {0, -1, 1},
                                                {1, 2, 120},
                                                {2, 1, 3600},
                                                {3, 1, 86400},
                                                {4, 1, 0}}) {
        SCOPED_TRACE(testing::Message() << unit << "/" << interval);
        ExtraTimer timer;
        QSignalSpy fired(&timer, &ExtraTimer::Timer);
        timer.setIntervalUnit(unit);
        timer.setEnabled(true);
        timer.setInterval(interval);
        int first = 0;
        for (int tick = 1; tick <= 90000 && first == 0; ++tick) {
            timer.Tick();
            if (fired.size() == 1) first = tick;
        }
        EXPECT_EQ(first, ticks);
    }
    ExtraTimer timer;
    QSignalSpy fired(&timer, &ExtraTimer::Timer);
    timer.Tick();  // starts disabled, interval 1: no count
    timer.setEnabled(true);
    timer.Tick();
    timer.setInterval(2);  // a new interval counts from the start
    timer.Tick();
    timer.Tick();
    EXPECT_EQ(fired.size(), 2);
}

}  // namespace
