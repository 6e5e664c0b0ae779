#include "queue/ScheduleEvaluation.h"

#include "core/TextConversion.h"
#include "core/modFunctions.h"

#include <optional>

namespace {

using Action = ScheduleDecision::Action;
using ClockTime = std::pair<int, int>;

SystemTime clockOf(const QDateTime& at) {
    const QTime time = at.time();
    SystemTime t;
    t.wHour = time.hour();
    t.wMinute = time.minute();
    t.wSecond = time.second();
    t.wMilliseconds = time.msec();
    return t;
}

SystemTime clockAt(int hour, int minute, int second) {
    SystemTime t;
    t.wHour = hour;
    t.wMinute = minute;
    t.wSecond = second;
    return t;
}

// Hour 24 is the midnight that ends the day.
QDateTime dueOn(const QDate& day, const ClockTime& time) {
    if (time.first >= 24) return QDateTime(day.addDays(1), QTime(0, time.second));
    return QDateTime(day, QTime(time.first, time.second));
}

ScheduleDecision reject(const char* key, const char* text) {
    ScheduleDecision d;
    d.Do = Action::Reject;
    d.MessageKey = QLatin1String(key);
    d.Message = QLatin1String(text);
    return d;
}

ScheduleDecision arm(std::int32_t unit, std::int32_t interval, ScheduleEvent event,
                     const QDateTime& target) {
    ScheduleDecision d;
    d.Do = Action::Arm;
    d.IntervalUnit = unit;
    d.Interval = interval;
    d.Event = event;
    d.Target = target;
    return d;
}

ScheduleDecision fire(ScheduleEvent event, const QDateTime& target) {
    ScheduleDecision d;
    d.Do = Action::Fire;
    d.Event = event;
    d.Target = target;
    return d;
}

ScheduleDecision act(Action action) {
    ScheduleDecision d;
    d.Do = action;
    return d;
}

// Armed in minutes until 23:59:59 and one more, so the next look falls just
// after midnight. In the day's last second the interval is 0: the next tick.
ScheduleDecision waitUntilMidnight(const QDateTime& now) {
    SystemTime target = clockAt(23, 59, 59);
    const SystemTime left = TimeDiff(target, clockOf(now));
    return arm(1, left.wHour * 60 + left.wMinute + 1, ScheduleEvent::Start, QDateTime());
}

struct Candidate {
    ScheduleEvent event;
    QDateTime target;
    SystemTime left;  // hours negative once the time of day has passed
    bool passed;
};

Candidate candidate(ScheduleEvent event, const ClockTime& time, const QDateTime& now,
                    const ScheduleMemory& memory) {
    SystemTime target = clockAt(time.first, time.second, 0);
    const SystemTime left = TimeDiff(target, clockOf(now));
    const QDateTime at = dueOn(now.date(), time);
    const bool ran = memory.FiredUpTo.isValid() && at <= memory.FiredUpTo;
    return {event, at, left, left.wHour < 0 || ran};
}

// The hour of the day a time names, 0 to 24 (24: the coming midnight), and its
// minute; nothing for an "AM" or "PM" hour above 12. "12 AM" is midnight and
// "12 PM" noon, as a clock shows them; "00" is the start of the day.
std::optional<ClockTime> clockTimeOf(const ScheduleTime& time) {
    const int hour = TextToWholeNumber<int>(time.Hour).value_or(0);
    const int minute = TextToWholeNumber<int>(time.Minute.right(2)).value_or(0);
    const bool am = time.Type == QLatin1String("AM");
    const bool pm = time.Type == QLatin1String("PM");
    if ((am || pm) && hour > 12) return std::nullopt;
    if (am && hour == 12) return ClockTime{24, minute};
    if (pm && hour != 12) return ClockTime{hour + 12, minute};
    return ClockTime{hour, minute};
}

}  // namespace

ScheduleDecision EvaluateSchedule(const ScheduleSettings& settings, const QDateTime& now,
                                  ScheduleTrigger trigger, const ScheduleMemory& memory) {
    if (settings.NoSchedule) return act(Action::Disarm);
    // Both times are checked before anything else: a time that cannot be used must
    // be said when it is confirmed, not found silently on a later day.
    const std::optional<ClockTime> start = clockTimeOf(settings.Start);
    const std::optional<ClockTime> stop =
        settings.Stop ? clockTimeOf(settings.StopAt) : std::nullopt;
    if (!start || (settings.Stop && !stop)) return reject("13023", "Incorrect Time!!...");

    if (trigger == ScheduleTrigger::Expiry && memory.ArmedTarget.isValid() &&
        now >= memory.ArmedTarget) {
        // A start that comes so late that the stop time has passed as well is not run.
        bool stoppedMeanwhile = false;
        if (memory.ArmedEvent == ScheduleEvent::Start && stop) {
            const QDateTime stopAt = dueOn(now.date(), *stop);
            stoppedMeanwhile = memory.ArmedTarget < stopAt && stopAt <= now;
        }
        if (!stoppedMeanwhile) return fire(memory.ArmedEvent, memory.ArmedTarget);
    }

    if (settings.SelectDay && !settings.Today(now.date().dayOfWeek() % 7))
        return waitUntilMidnight(now);

    const Candidate first = candidate(ScheduleEvent::Start, *start, now, memory);
    // On selected days a passed time is simply next due on the next ticked day.
    if (first.passed && !settings.SelectDay && trigger == ScheduleTrigger::Confirm)
        return reject("13024", "This is a previous time!!...");
    std::optional<Candidate> next;
    if (!first.passed) next = first;
    if (stop) {
        const Candidate second = candidate(ScheduleEvent::Stop, *stop, now, memory);
        // A stop at the very time of the start would undo it at once: the start wins.
        if (!second.passed && second.target != first.target &&
            (!next || second.target < next->target))
            next = second;
    }
    if (!next) return settings.SelectDay ? waitUntilMidnight(now) : act(Action::Idle);

    const SystemTime& left = next->left;
    if (left.wHour == 0 && left.wMinute == 0 && left.wSecond == 0) {
        // Due within this second. Outside an expiry it is armed for the next tick,
        // which then finds it due.
        if (trigger == ScheduleTrigger::Expiry) return fire(next->event, next->target);
        return arm(0, 0, next->event, next->target);
    }
    if (left.wHour > 0 || left.wMinute > 0)
        return arm(1, left.wHour * 60 + left.wMinute, next->event, next->target);
    return arm(0, left.wSecond - 1, next->event, next->target);
}
