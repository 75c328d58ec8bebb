#pragma once

#include <cstdint>
#include <windows.h>

#include "engine/LocalTime.h"

// The system's time zone rule; UTC when the system cannot tell.
ZoneRule CurrentZoneRule();

// The time a file is tested by: its file time moved to local time by the offset in force now,
// whatever the file's date, then read as a local calendar time by the zone's rule.
int64_t TestedTimeOfFileTime(const FILETIME& fileTime, const ZoneRule& zone);
