// The scheduler's rule as a table over times of day, and its stored values.
#include "common/CRegister.h"
#include "common/QStringPrinter.h"
#include "core/modGlobalVariables.h"
#include "queue/ScheduleEvaluation.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

namespace {

using Action = ScheduleDecision::Action;
using Trigger = ScheduleTrigger;
constexpr auto Start = ScheduleEvent::Start;
constexpr auto Stop = ScheduleEvent::Stop;

// Monday 6 May 2024, or a later day; "HH:mm:ss.zzz" with the seconds optional.
QDateTime at(const char* time, int day = 0) {
    const QString text = QLatin1String(time);
    QTime clock = QTime::fromString(text, QStringLiteral("HH:mm:ss.zzz"));
    if (!clock.isValid()) clock = QTime::fromString(text, QStringLiteral("HH:mm:ss"));
    if (!clock.isValid()) clock = QTime::fromString(text, QStringLiteral("HH:mm"));
    return QDateTime(QDate(2024, 5, 6).addDays(day), clock);
}

ScheduleSettings startAt(const char* hour, const char* minute, const char* type) {
    ScheduleSettings s;
    s.NoSchedule = false;
    s.Start = {QLatin1String(hour), QLatin1String(minute), QLatin1String(type)};
    return s;
}

// Selected-days mode with the boxes given by value name.
ScheduleSettings onDays(ScheduleSettings s, std::initializer_list<const char*> names) {
    s.SelectDay = true;
    for (const char* name : names)
        for (std::size_t i = 0; i < s.Days.size(); ++i)
            if (ScheduleSettings::DayNames[i] == QLatin1String(name)) s.Days[i] = true;
    return s;
}

ScheduleSettings stopAt(ScheduleSettings s, const char* hour, const char* type) {
    s.Stop = true;
    s.StopAt = {QLatin1String(hour), QStringLiteral(":00"), QLatin1String(type)};
    return s;
}

ScheduleSettings everyDay(ScheduleSettings s) {
    return onDays(std::move(s), {"Sat", "Sun", "Mon", "Tue", "Wed", "Thr", "fri"});
}

struct Row {
    const char* name;
    ScheduleSettings settings;
    QDateTime now;
    Trigger trigger;
    ScheduleMemory memory;
    Action action;
    int unit = 0;
    int interval = 0;
    ScheduleEvent event = Start;
    QDateTime target = {};
    const char* messageKey = "";
};

ScheduleMemory armedFor(const QDateTime& target, ScheduleEvent event = Start) {
    return {target, event, {}};
}

ScheduleMemory ranAt(const QDateTime& moment) {
    return {{}, Start, moment};
}

TEST(ScheduleEvaluationTest, WhatIsArmedOrRunAtEachTimeOfDay) {
    const ScheduleSettings at1430 = startAt("14", ":30", "24HR");
    const ScheduleSettings window = stopAt(everyDay(startAt("1", ":00", "AM")), "7", "AM");
    const std::vector<Row> rows = {
        // A schedule confirmed ahead of time: minutes, then seconds, then due.
        {"01 minutes first", at1430, at("14:00:20"), Trigger::Confirm, {}, Action::Arm, 1, 29,
         Start, at("14:30")},
        {"02 then seconds", at1430, at("14:29:20"), Trigger::Expiry, armedFor(at("14:30")),
         Action::Arm, 0, 39, Start, at("14:30")},
        {"03 due in the second before", at1430, at("14:29:59.400"), Trigger::Expiry,
         armedFor(at("14:30")), Action::Fire, 0, 0, Start, at("14:30")},
        {"04 F1 a late expiry still runs", at1430, at("14:31:05"), Trigger::Expiry,
         armedFor(at("14:30")), Action::Fire, 0, 0, Start, at("14:30")},
        {"05 F1 a day late as well", at1430, at("09:00", 1), Trigger::Expiry,
         armedFor(at("14:30")), Action::Fire, 0, 0, Start, at("14:30")},
        {"06 passed, nothing armed: idle", at1430, at("14:31:05"), Trigger::Expiry, {},
         Action::Idle},
        {"07 F10 OK in the second before", at1430, at("14:29:59.300"), Trigger::Confirm, {},
         Action::Arm, 0, 0, Start, at("14:30")},
        {"08 F10 start-up in the second before", at1430, at("14:29:59.001"), Trigger::Silent, {},
         Action::Arm, 0, 0, Start, at("14:30")},
        {"09 passed at OK", at1430, at("14:30:00.001"), Trigger::Confirm, {}, Action::Reject, 0, 0,
         Start, {}, "13024"},
        {"10 passed at start-up", at1430, at("15:00"), Trigger::Silent, {}, Action::Idle},
        // The clock list.
        {"11 F3 12 AM is the coming midnight", startAt("12", ":00", "AM"), at("14:00"),
         Trigger::Confirm, {}, Action::Arm, 1, 600, Start, at("00:00", 1)},
        {"12 F3 12:30 AM after midnight", startAt("12", ":30", "AM"), at("23:59:00"),
         Trigger::Confirm, {}, Action::Arm, 1, 31, Start, at("00:30", 1)},
        {"13 F3 12 PM is noon", startAt("12", ":00", "PM"), at("11:00"), Trigger::Confirm, {},
         Action::Arm, 1, 60, Start, at("12:00")},
        {"14 F3 12:05 PM after noon is past", startAt("12", ":05", "PM"), at("13:00"),
         Trigger::Confirm, {}, Action::Reject, 0, 0, Start, {}, "13024"},
        {"15 1:15 PM", startAt("1", ":15", "PM"), at("13:00"), Trigger::Confirm, {}, Action::Arm,
         1, 15, Start, at("13:15")},
        {"16 00 on the 24-hour clock is always past", startAt("00", ":00", "24HR"),
         at("00:00:30"), Trigger::Confirm, {}, Action::Reject, 0, 0, Start, {}, "13024"},
        {"17 an AM hour above 12", startAt("13", ":00", "AM"), at("09:00"), Trigger::Confirm, {},
         Action::Reject, 0, 0, Start, {}, "13023"},
        {"18 a PM hour above 12 at start-up", startAt("14", ":00", "PM"), at("09:00"),
         Trigger::Silent, {}, Action::Reject, 0, 0, Start, {}, "13023"},
        {"19 F4 not scheduled", [] {
             ScheduleSettings s = startAt("14", ":30", "24HR");
             s.NoSchedule = true;
             return s;
         }(),
         at("14:00"), Trigger::Silent, {}, Action::Disarm},
        // Selected days; 6 May 2024 is a Monday.
        {"20 an unticked day waits for midnight", onDays(at1430, {"Tue"}), at("14:00:20"),
         Trigger::Confirm, {}, Action::Arm, 1, 600},
        {"21 F2 the day's last second waits one tick", onDays(at1430, {"Tue"}),
         at("23:59:59.500"), Trigger::Expiry, {}, Action::Arm, 1, 0},
        {"22 just after midnight on the ticked day", onDays(at1430, {"Tue"}), at("00:00:00.200", 1),
         Trigger::Expiry, {}, Action::Arm, 1, 869, Start, at("14:30", 1)},
        {"23 F5 a passed time on a ticked day waits for the next", onDays(at1430, {"Mon"}),
         at("15:00"), Trigger::Confirm, {}, Action::Arm, 1, 540},
        {"24 F5 after the run on a ticked day", onDays(at1430, {"Mon"}), at("14:30:00.500"),
         Trigger::Silent, ranAt(at("14:30")), Action::Arm, 1, 570},
        {"25 today only stays off after its run", at1430, at("14:30:00.500"), Trigger::Silent,
         ranAt(at("14:30")), Action::Idle},
        // A start and a stop time: 1 AM to 7 AM every day.
        {"26 stop: the start comes first", window, at("00:30"), Trigger::Confirm, {}, Action::Arm,
         1, 30, Start, at("01:00")},
        {"27 stop: after the start the stop is armed", window, at("01:00:00.500"),
         Trigger::Silent, ranAt(at("01:00")), Action::Arm, 1, 359, Stop, at("07:00")},
        {"28 stop: due", window, at("06:59:59.500"), Trigger::Expiry, armedFor(at("07:00"), Stop),
         Action::Fire, 0, 0, Stop, at("07:00")},
        {"29 stop: a start that comes after the stop is not run", window, at("08:00"),
         Trigger::Expiry, armedFor(at("01:00")), Action::Arm, 1, 960},
        {"30 stop: confirmed between the two", window, at("03:00"), Trigger::Confirm, {},
         Action::Arm, 1, 240, Stop, at("07:00")},
        {"31 stop: an incorrect stop time", stopAt(at1430, "13", "PM"), at("09:00"),
         Trigger::Confirm, {}, Action::Reject, 0, 0, Start, {}, "13023"},
        {"32 stop: off means the start alone", [&] {
             ScheduleSettings s = window;
             s.Stop = false;
             return s;
         }(),
         at("01:00:00.500"), Trigger::Silent, ranAt(at("01:00")), Action::Arm, 1, 1380},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const ScheduleDecision d =
            EvaluateSchedule(row.settings, row.now, row.trigger, row.memory);
        EXPECT_EQ(d.Do, row.action);
        EXPECT_EQ(d.MessageKey, QLatin1String(row.messageKey));
        if (row.action == Action::Arm) {
            EXPECT_EQ(d.IntervalUnit, row.unit);
            EXPECT_EQ(d.Interval, row.interval);
        }
        if (row.action == Action::Arm || row.action == Action::Fire) {
            EXPECT_EQ(d.Target, row.target);
            if (row.target.isValid()) {
                EXPECT_EQ(d.Event, row.event);
            }
        }
    }
}

QString stored(const char* name) {
    return CRegister().REGGetSetting(HKEY_LOCAL_MACHINE, kLumetKey, QLatin1String(name),
                                     QStringLiteral("<missing>"));
}

void store(const char* name, const char* text) {
    CRegister().REGSaveSetting(HKEY_LOCAL_MACHINE, kLumetKey, QLatin1String(name),
                               QLatin1String(text));
}

TEST(ScheduleSettingsTest, ValuesAreStoredInTheirWrittenFormsAndReadBackOrDefaulted) {
    TempRoot root;
    ScheduleSettings s = onDays(stopAt(startAt("14", ":30", "24HR"), "6", "AM"), {"Mon", "fri"});
    s.OverWrite = false;
    s.Resume = true;
    s.Store();
    const std::pair<const char*, const char*> expected[] = {
        {"NoSchedule", "0"}, {"SchHour", "14"},      {"SchMinute", ":30"}, {"SchType", "24HR"},
        {"Today", "False"},  {"SelectDay", "True"},  {"Sat", "0"},         {"Mon", "1"},
        {"fri", "1"},        {"OverWrite", "False"}, {"Resume", "True"},   {"Skip", "False"},
        {"SchStop", "1"},    {"SchStopHour", "6"},   {"SchStopMinute", ":00"},
        {"SchStopType", "AM"}};
    for (const auto& [name, text] : expected) EXPECT_EQ(stored(name), QLatin1String(text)) << name;
    const ScheduleSettings back = ScheduleSettings::Load();
    EXPECT_EQ(back.Start.Hour, QStringLiteral("14"));
    EXPECT_TRUE(back.SelectDay);
    EXPECT_EQ(back.Days, s.Days);
    EXPECT_EQ(back.ExistChoice(), 2);
    EXPECT_TRUE(back.Stop);
    EXPECT_EQ(back.StopAt.Hour, QStringLiteral("6"));

    // Hand edits: texts that are not list items fall back, either Boolean spelling reads.
    store("SchHour", "25");
    store("SchMinute", ":07");
    store("SchType", "am");
    store("Tue", "True");
    store("OverWrite", "0");
    store("Resume", "False");
    store("Skip", "1");
    const ScheduleSettings edited = ScheduleSettings::Load();
    EXPECT_EQ(edited.Start.Hour, QStringLiteral("1"));
    EXPECT_EQ(edited.Start.Minute, QStringLiteral(":00"));
    EXPECT_EQ(edited.Start.Type, QStringLiteral("AM"));
    EXPECT_TRUE(edited.Today(2));
    EXPECT_EQ(edited.ExistChoice(), 3);

    // A fresh installation: nothing scheduled, 1:00 AM, today only, overwrite.
    TempRoot fresh;
    const ScheduleSettings none = ScheduleSettings::Load();
    EXPECT_TRUE(none.NoSchedule);
    EXPECT_FALSE(none.SelectDay);
    EXPECT_FALSE(none.Stop);
    EXPECT_EQ(none.ExistChoice(), 1);
}

TEST(ScheduleSettingsTest, DayNamesAnswerTheirWeekdayOnly) {
    const char* names[] = {"Sun", "Mon", "Tue", "Wed", "Thr", "fri", "Sat"};
    for (int weekday = 0; weekday < 7; ++weekday)
        for (int other = 0; other < 7; ++other)
            EXPECT_EQ(ScheduleSettings::IsScheduleDay(weekday, QLatin1String(names[other])),
                      weekday == other)
                << weekday << names[other];
    EXPECT_FALSE(ScheduleSettings::IsScheduleDay(5, QStringLiteral("Fri")));
}

}  // namespace
