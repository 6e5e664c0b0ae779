#pragma once

#include <cstdint>

// The scheduler's program-wide flags that the queue's start routine reads.
extern bool ScheduledRun;  // true only while the scheduled restart runs
// What a scheduled restart does with a target file that exists: 1 overwrite,
// 2 resume, 3 skip.
extern std::int16_t ScheduleExistChoice;

// ScheduleExistChoice as an existing-file decision: 0 overwrite, -1 resume, -2 skip.
std::int32_t ExistChoiceOfSchedule(std::int16_t scheduleChoice);
