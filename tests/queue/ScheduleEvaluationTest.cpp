// The scheduler's rule as a table over times of day.
#include "common/QStringPrinter.h"
#include "queue/ScheduleEvaluation.h"

#include <gtest/gtest.h>

namespace {

using Action = ScheduleDecision::Action;
using Trigger = ScheduleTrigger;

// "HH:mm[:ss[.zzz]]" on Monday 6 May 2024; a leading "+" is the next day. "" is none.
QDateTime at(const char* text) {
    QString time = QLatin1String(text);
    if (time.isEmpty()) return {};
    const int day = time.startsWith(QLatin1Char('+')) ? 1 : 0;
    time.remove(QLatin1Char('+'));
    QTime clock;
    for (const char* format : {"HH:mm:ss.zzz", "HH:mm:ss", "HH:mm"})
        if (!clock.isValid()) clock = QTime::fromString(time, QLatin1String(format));
    return QDateTime(QDate(2024, 5, 6).addDays(day), clock);
}

ScheduleSettings startAt(const char* hour, const char* minute, const char* type,
                         std::initializer_list<const char*> days = {}) {
    ScheduleSettings s;
    s.NoSchedule = false;
    s.Start = {QLatin1String(hour), QLatin1String(minute), QLatin1String(type)};
    s.SelectDay = days.size() > 0;
    for (const char* name : days)
        for (std::size_t i = 0; i < s.Days.size(); ++i)
            s.Days[i] = s.Days[i] || ScheduleSettings::DayNames[i] == QLatin1String(name);
    return s;
}

ScheduleSettings withStop(ScheduleSettings s, const char* hour, const char* type) {
    s.Stop = true;
    s.StopAt = {QLatin1String(hour), QStringLiteral(":00"), QLatin1String(type)};
    return s;
}

ScheduleMemory armed(const char* target, ScheduleEvent event = ScheduleEvent::Start) {
    return {at(target), event, {}};
}
ScheduleMemory ran(const char* moment) {
    return {{}, ScheduleEvent::Start, at(moment)};
}

TEST(ScheduleEvaluationTest, WhatIsArmedOrRunAtEachTimeOfDay) {
    struct Row {
        const char* name;
        ScheduleSettings settings;
        const char* now;
        Trigger trigger;
        ScheduleMemory memory;
        Action action;
        int unit = 0;
        int interval = 0;
        const char* target = "";  // the armed or due moment
        ScheduleEvent event = ScheduleEvent::Start;
        const char* messageKey = "";
    };
    const ScheduleSettings s1430 = startAt("14", ":30", "24HR");
    const ScheduleSettings onTue = startAt("14", ":30", "24HR", {"Tue"});
    const ScheduleSettings onMon = startAt("14", ":30", "24HR", {"Mon"});
    const ScheduleSettings nightly = withStop(
        startAt("1", ":00", "AM", {"Sat", "Sun", "Mon", "Tue", "Wed", "Thr", "fri"}), "7", "AM");
    ScheduleSettings off = s1430;
    off.NoSchedule = true;
    const auto start = ScheduleEvent::Start;
    const auto stop = ScheduleEvent::Stop;
    const ScheduleMemory none;
    // clang-format off
    const std::vector<Row> rows = {
        // Minutes first, then seconds; due in the second before the time.
        {"01", s1430, "14:00:20", Trigger::Confirm, none, Action::Arm, 1, 29, "14:30"},
        {"02", s1430, "14:29:20", Trigger::Expiry, armed("14:30"), Action::Arm, 0, 39, "14:30"},
        {"03", s1430, "14:29:59.400", Trigger::Expiry, armed("14:30"), Action::Fire, 0, 0, "14:30"},
        {"04 F1 late", s1430, "14:31:05", Trigger::Expiry, armed("14:30"), Action::Fire, 0, 0, "14:30"},
        {"05 nothing armed", s1430, "14:31:05", Trigger::Expiry, none, Action::Idle},
        {"06 F10", s1430, "14:29:59.300", Trigger::Confirm, none, Action::Arm, 0, 0, "14:30"},
        {"07 passed", s1430, "14:30:00.001", Trigger::Confirm, none, Action::Reject, 0, 0, "", start, "13024"},
        {"08 passed at start-up", s1430, "15:00", Trigger::Silent, none, Action::Idle},
        // The clock list.
        {"09 F3 12 AM", startAt("12", ":00", "AM"), "14:00", Trigger::Confirm, none, Action::Arm, 1, 600, "+00:00"},
        {"10 F3 12 PM", startAt("12", ":00", "PM"), "11:00", Trigger::Confirm, none, Action::Arm, 1, 60, "12:00"},
        {"11 F3 12:05 PM", startAt("12", ":05", "PM"), "13:00", Trigger::Confirm, none, Action::Reject, 0, 0, "", start, "13024"},
        {"12 00 24HR", startAt("00", ":00", "24HR"), "00:00:30", Trigger::Confirm, none, Action::Reject, 0, 0, "", start, "13024"},
        {"13 AM above 12", startAt("13", ":00", "AM"), "09:00", Trigger::Confirm, none, Action::Reject, 0, 0, "", start, "13023"},
        {"14 F4", off, "14:00", Trigger::Silent, none, Action::Disarm},
        // Selected days; the 6th is a Monday.
        {"15 unticked day", onTue, "14:00:20", Trigger::Confirm, none, Action::Arm, 1, 600},
        {"16 F2 last second", onTue, "23:59:59.500", Trigger::Expiry, none, Action::Arm, 1, 0},
        {"17 ticked next day", onTue, "+00:00:00.200", Trigger::Expiry, none, Action::Arm, 1, 869, "+14:30"},
        {"18 F5 passed", onMon, "15:00", Trigger::Confirm, none, Action::Arm, 1, 540},
        {"19 F5 after the run", onMon, "14:30:00.500", Trigger::Silent, ran("14:30"), Action::Arm, 1, 570},
        {"20 today only after the run", s1430, "14:30:00.500", Trigger::Silent, ran("14:30"), Action::Idle},
        // 1 AM to 7 AM every day.
        {"21 start first", nightly, "00:30", Trigger::Confirm, none, Action::Arm, 1, 30, "01:00"},
        {"22 then the stop", nightly, "01:00:00.500", Trigger::Silent, ran("01:00"), Action::Arm, 1, 359, "07:00", stop},
        {"23 stop due", nightly, "06:59:59.500", Trigger::Expiry, armed("07:00", stop), Action::Fire, 0, 0, "07:00", stop},
        {"24 start after its stop", nightly, "08:00", Trigger::Expiry, armed("01:00"), Action::Arm, 1, 960},
        {"25 incorrect stop", withStop(s1430, "13", "PM"), "09:00", Trigger::Confirm, none, Action::Reject, 0, 0, "", start, "13023"},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const ScheduleDecision d =
            EvaluateSchedule(row.settings, at(row.now), row.trigger, row.memory);
        EXPECT_EQ(d.Do, row.action);
        EXPECT_EQ(d.MessageKey, QLatin1String(row.messageKey));
        EXPECT_EQ(d.IntervalUnit, row.unit);
        EXPECT_EQ(d.Interval, row.interval);
        EXPECT_EQ(d.Target, at(row.target));
        EXPECT_EQ(d.Event, row.event);
    }
}

}  // namespace
