#pragma once

#include "queue/ScheduleSettings.h"

#include <QDateTime>
#include <QString>
#include <cstdint>

// What the scheduler waits for: the start of the left-over downloads, or the
// optional stop time at which running downloads are paused.
enum class ScheduleEvent { Start, Stop };

// Who asks for the evaluation: the user confirming the dialog, the program's
// start-up or a re-arm after a run, or the expiry of the scheduler's timer.
enum class ScheduleTrigger { Confirm, Silent, Expiry };

// What the scheduler remembers between evaluations. The timer counts ticks, not
// wall time; the moment it was armed for lets an expiry that comes late (a
// suspended machine, a busy event loop) still run what was due.
struct ScheduleMemory {
    QDateTime ArmedTarget;  // null while nothing is armed, or for the wait until midnight
    ScheduleEvent ArmedEvent = ScheduleEvent::Start;
    QDateTime FiredUpTo;  // events due at or before this moment have run
};

struct ScheduleDecision {
    enum class Action {
        Reject,  // the time cannot be used: MessageKey/Message; nothing changes
        Idle,    // nothing to wait for: the timer goes off, nothing is stored
        Disarm,  // scheduling is switched off: the timer goes off, the values are stored
        Arm,     // the timer is armed: IntervalUnit, Interval; the values are stored
        Fire,    // Event is due now (timer expiry only)
    };
    Action Do = Action::Idle;
    QString MessageKey;
    QString Message;
    std::int32_t IntervalUnit = 0;
    std::int32_t Interval = 0;
    ScheduleEvent Event = ScheduleEvent::Start;
    QDateTime Target;  // Arm: when the event is due (null for the wait until midnight); Fire: the
                       // due moment
};

// The scheduler's rule, without timers or windows: what to do at `now`.
// The timer is armed in whole minutes while minutes remain (expiring up to a
// minute early), then in seconds; an event fires when less than a second
// remains. On a day that is not ticked, and in selected-days mode once the day's
// events have passed, it waits until just after midnight and looks again.
ScheduleDecision EvaluateSchedule(const ScheduleSettings& settings, const QDateTime& now,
                                  ScheduleTrigger trigger, const ScheduleMemory& memory);
