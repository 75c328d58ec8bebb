#pragma once

#include <cstdint>
#include <windows.h>

#include "engine/LocalTime.h"

// The system's time zone rule; UTC when the system cannot tell.
ZoneRule CurrentZoneRule();

// The offset from UTC in force now, daylight saving included, in minutes (UTC = local + bias).
int CurrentBias();

// The time a file is tested by: its file time moved to local time by biasNow (taken once per
// search: asking the system per file costs more than the rest of the test), then read as a
// local calendar time by the zone's rule.
int64_t TestedTimeOfFileTime(const FILETIME& fileTime, int biasNow, const ZoneRule& zone);
