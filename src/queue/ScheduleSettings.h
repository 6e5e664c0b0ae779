#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

// A time of day as the scheduler's three lists show it: "1" … "23", "00";
// ":00" … ":55"; "AM", "PM", "24HR".
struct ScheduleTime {
    QString Hour;
    QString Minute;
    QString Type;
};

// The scheduler's values as the registry keeps them under the program key, in
// the texts the dialog's lists show. Missing values, and list texts that are not
// items of their list (a hand edit), read as their defaults.
//
// Beside the start time there is an optional stop time ("SchStop",
// "SchStopHour", "SchStopMinute", "SchStopType"), at which running downloads
// are paused; it is off by default.
struct ScheduleSettings {
    static const QStringList HourItems;
    static const QStringList MinuteItems;
    static const QStringList TypeItems;
    // Value names of the day boxes, in the order the boxes are looked at.
    static const std::array<QString, 7> DayNames;

    bool NoSchedule = true;  // "Do not schdeule Downloads"
    ScheduleTime Start{QStringLiteral("1"), QStringLiteral(":00"), QStringLiteral("AM")};
    bool SelectDay = false;      // selected days; otherwise "Today Only"
    std::array<bool, 7> Days{};  // Saturday … Friday
    bool OverWrite = true;
    bool Resume = false;
    bool Skip = false;
    bool Stop = false;  // "Pause downloads at"
    ScheduleTime StopAt{QStringLiteral("7"), QStringLiteral(":00"), QStringLiteral("AM")};

    static ScheduleSettings Load();
    // Writes every value: boxes as "0"/"1", options as "True"/"False", lists as their texts.
    void Store() const;

    // 1 overwrite, 2 resume, 3 skip: what a scheduled restart does with an existing file.
    std::int16_t ExistChoice() const;
    // Whether the box of the weekday (0 Sunday … 6 Saturday) is ticked.
    bool Today(int weekday) const;
    // Whether the day box's value name denotes the weekday.
    static bool IsScheduleDay(int weekday, const QString& name);
};
