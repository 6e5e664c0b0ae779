#include "queue/ScheduleGlobals.h"

bool ScheduledRun = false;
std::int16_t ScheduleExistChoice = 1;

std::int32_t ExistChoiceOfSchedule(std::int16_t scheduleChoice) {
    switch (scheduleChoice) {
        case 1:
            return 0;
        case 2:
            return -1;
        default:
            return -2;
    }
}
