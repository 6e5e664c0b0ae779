// The scheduler dialog's logic over an injected clock, and its coarse timer.
#include "common/AppPaths.h"
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
        ScheduleExistChoice = 1;
        LangFile = QStringLiteral("English.ini");
        form.Now = [this] { return now; };
    }

    static QString stored(const char* name) {
        return CRegister().REGGetSetting(HKEY_LOCAL_MACHINE, kLumetKey, QLatin1String(name),
                                         QStringLiteral("<missing>"));
    }
    // The user sets a time on the 24-hour clock and confirms.
    void confirm(const char* hour, const char* minute) {
        form.chkNoSchedule.Value = false;
        form.cboHour.Text = QLatin1String(hour);
        form.cboMinute.Text = QLatin1String(minute);
        form.cboType.Text = QStringLiteral("24HR");
        form.cmdOK_Click();
    }

    TempRoot root_;
    QDateTime now{QDate(2024, 5, 6), QTime(14, 0, 20)};  // a Monday
    ExtraTimer timer;
    frmSchedule form{timer};
    QSignalSpy closes{&form, &frmSchedule::unloadRequested};
};

TEST_F(frmScheduleTest, LoadingShowsTheStoredValuesAndTheControlsFollowTheirRules) {
    form.Form_Load();
    EXPECT_EQ(form.cboHour.Items.size(), 24);
    EXPECT_EQ(form.cboHour.Items.first(), QStringLiteral("1"));
    EXPECT_EQ(form.cboHour.Items.last(), QStringLiteral("00"));
    EXPECT_EQ(form.cboMinute.Items.size(), 12);
    EXPECT_EQ(form.cboMinute.Items.last(), QStringLiteral(":55"));
    // Defaults: nothing scheduled, so every time control is off.
    EXPECT_TRUE(form.chkNoSchedule.Value);
    for (const ListControl* list : {&form.cboHour, &form.cboStopHour}) EXPECT_FALSE(list->Enabled);
    EXPECT_FALSE(form.optSelectDay.Enabled);
    EXPECT_FALSE(form.chkStop.Enabled);
    EXPECT_TRUE(form.optOverWrite.Value && form.optOverWrite.Enabled && form.optSkip.Enabled);

    form.chkNoSchedule.Value = false;
    form.chkNoSchedule_Click();
    EXPECT_TRUE(form.cboHour.Enabled && form.optToday.Value && form.chkStop.Enabled);
    EXPECT_FALSE(form.chkMon.Enabled);  // day boxes only for selected days
    EXPECT_FALSE(form.cboStopHour.Enabled);
    form.optSelectDay_Click();
    EXPECT_TRUE(form.chkMon.Enabled && !form.optToday.Value);
    form.chkStop.Value = true;
    form.chkStop_Click();
    EXPECT_TRUE(form.cboStopType.Enabled);

    form.cboHour.Text = QStringLiteral("13");
    form.cboHour_Click();
    EXPECT_EQ(form.cboType.Text, QStringLiteral("24HR"));
    form.cboType.Text = QStringLiteral("PM");
    form.cboHour.Text = QStringLiteral("12");
    form.cboHour_Click();
    EXPECT_EQ(form.cboType.Text, QStringLiteral("PM"));

    form.chkNoSchedule.Value = true;
    form.chkNoSchedule_Click();
    EXPECT_FALSE(form.chkMon.Enabled || form.cboStopType.Enabled || form.optToday.Enabled);
}

TEST_F(frmScheduleTest, OkStoresTheWrittenFormsArmsTheTimerAndCloses) {
    form.Form_Load();
    form.optSelectDay_Click();
    form.chkMon.Value = true;
    form.optOverWrite.Value = false;
    form.optResume.Value = true;
    confirm("14", ":30");
    EXPECT_EQ(closes.size(), 1);
    EXPECT_TRUE(ScriptedDialogs::current().calls().empty());
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.IntervalUnit(), 1);
    EXPECT_EQ(timer.Interval(), 29);
    EXPECT_EQ(ScheduleExistChoice, 2);
    const std::pair<const char*, const char*> expected[] = {
        {"NoSchedule", "0"}, {"SchHour", "14"},      {"SchMinute", ":30"}, {"SchType", "24HR"},
        {"Today", "False"},  {"SelectDay", "True"},  {"Mon", "1"},         {"Tue", "0"},
        {"OverWrite", "False"}, {"Resume", "True"},  {"SchStop", "0"}};
    for (const auto& [name, text] : expected) EXPECT_EQ(stored(name), QLatin1String(text)) << name;
}

// F11: a rejected OK leaves the stored values, the scheduler's choice and the
// armed timer as they were.
TEST_F(frmScheduleTest, ARejectedOkSaysWhyAndChangesNothing) {
    ASSERT_TRUE(QDir().mkpath(LanguageFolder()));
    ASSERT_TRUE(writeWholeFile(LanguageFolder() + LangFile,
                               "[Zu]\r\n13024=Diese Zeit ist vorbei\r\n"));
    struct Case {
        const char* hour;
        const char* type;
        const char* message;
    };
    for (const Case& c : {Case{"13", "AM", "Incorrect Time!!..."},
                          Case{"9", "24HR", "Diese Zeit ist vorbei"}}) {
        SCOPED_TRACE(c.message);
        ScriptedDialogs::current().clear();
        ScriptedDialogs::current().allowOkMessages();
        closes.clear();
        confirm("15", ":00");
        ASSERT_EQ(timer.Interval(), 59);
        ASSERT_EQ(ScheduleExistChoice, 1);

        form.optOverWrite.Value = false;
        form.optSkip.Value = true;
        form.cboHour.Text = QLatin1String(c.hour);
        form.cboType.Text = QLatin1String(c.type);
        form.cmdOK_Click();
        ASSERT_EQ(ScriptedDialogs::current().calls().size(), 1u);
        EXPECT_EQ(ScriptedDialogs::current().calls()[0].text, QLatin1String(c.message));
        EXPECT_EQ(ScriptedDialogs::current().calls()[0].icon, Dialogs::Icon::Exclamation);
        EXPECT_EQ(closes.size(), 1);  // the earlier OK only
        EXPECT_EQ(stored("SchHour"), QStringLiteral("15"));
        EXPECT_EQ(stored("Skip"), QStringLiteral("False"));
        EXPECT_EQ(ScheduleExistChoice, 1);
        EXPECT_TRUE(timer.Enabled());
        EXPECT_EQ(timer.Interval(), 59);
        form.optSkip.Value = false;
        form.optOverWrite.Value = true;
    }
}

// F6: the expiry works on what was confirmed, not on what the user is typing.
TEST_F(frmScheduleTest, AnExpiryWhileTheDialogIsEditedNeitherSavesNorClosesIt) {
    confirm("14", ":30");
    form.Form_Load();  // the user opens the dialog again
    closes.clear();
    form.cboHour.Text = QStringLiteral("9");
    form.optOverWrite.Value = false;
    form.optSkip.Value = true;

    now = QDateTime(now.date(), QTime(14, 29, 59, 600));
    EXPECT_TRUE(form.InitTimer(false));
    EXPECT_FALSE(timer.Enabled());  // off while the run is under way
    EXPECT_EQ(form.cboHour.Text, QStringLiteral("9"));
    EXPECT_TRUE(form.optSkip.Value);
    EXPECT_EQ(closes.size(), 0);
    EXPECT_EQ(stored("SchHour"), QStringLiteral("14"));
    EXPECT_EQ(ScheduleExistChoice, 1);
    // After the run a today-only schedule stays off.
    form.AfterRun();
    EXPECT_FALSE(timer.Enabled());
    EXPECT_FALSE(form.InitTimer(false));
}

// F4: the box that is ticked by default means what it says.
TEST_F(frmScheduleTest, DoNotScheduleArmsNothing) {
    now = QDateTime(now.date(), QTime(0, 30));
    EXPECT_FALSE(form.InitTimer(true));  // 1:00 AM is the default time
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(stored("NoSchedule"), QStringLiteral("<missing>"));

    confirm("14", ":30");
    ASSERT_TRUE(timer.Enabled());
    form.chkNoSchedule.Value = true;
    form.cmdOK_Click();
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(stored("NoSchedule"), QStringLiteral("1"));
    EXPECT_EQ(closes.size(), 2);
    EXPECT_FALSE(form.InitTimer(true));
    EXPECT_FALSE(timer.Enabled());
}

TEST(ExtraTimerTest, FiresAfterIntervalTimesTheUnitInTicks) {
    struct Case {
        int unit;
        int interval;
        int ticks;  // until the first Timer; 0: never within a day and more
    };
    for (const Case& c : {Case{0, 3, 3}, Case{0, 0, 1}, Case{0, -1, 1}, Case{1, 2, 120},
                          Case{2, 1, 3600}, Case{3, 1, 86400}, Case{4, 1, 0}, Case{1, 0, 1}}) {
        SCOPED_TRACE(testing::Message() << c.unit << "/" << c.interval);
        ExtraTimer timer;
        QSignalSpy fired(&timer, &ExtraTimer::Timer);
        timer.setIntervalUnit(c.unit);
        timer.setEnabled(true);
        timer.setInterval(c.interval);
        int first = 0;
        for (int tick = 1; tick <= 90000 && first == 0; ++tick) {
            timer.Tick();
            if (fired.size() == 1) first = tick;
        }
        EXPECT_EQ(first, c.ticks);
    }

    ExtraTimer timer;
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1);
    EXPECT_EQ(timer.IntervalUnit(), 0);
    QSignalSpy fired(&timer, &ExtraTimer::Timer);
    timer.Tick();  // disabled: no count
    timer.setInterval(2);
    timer.setEnabled(true);
    timer.Tick();
    timer.setInterval(2);  // a new interval counts from the start
    timer.Tick();
    EXPECT_EQ(fired.size(), 0);
    timer.Tick();
    timer.Tick();
    timer.Tick();
    EXPECT_EQ(fired.size(), 2);  // and again after each firing
}

}  // namespace
