#pragma once

#include <cstdint>
#include <string>

// Local calendar arithmetic in 64-bit seconds since 1970-01-01 00:00:00 UTC, on the proleptic
// Gregorian calendar, with the zone described by a rule instead of the process's time zone.

struct CalendarTime
{
    int year;
    int month; // 1..12
    int day;
    int hour;
    int minute;
    int second;
};

// A yearly daylight-saving transition: the given weekday (0 = Sunday) of the given week of the
// month (1..5, 5 = the last one), at the given local time of day.
struct TransitionDate
{
    int month; // 0 = the zone has no daylight saving time
    int dayOfWeek;
    int week;
    int hour;
    int minute;
    int second = 0;
};

// The zone as the system describes it: UTC = local time + bias (+ standardBias or daylightBias),
// all in minutes. daylightDate is read on the standard clock, standardDate on the daylight clock.
struct ZoneRule
{
    int bias = 0;
    int standardBias = 0;
    int daylightBias = 0;
    TransitionDate standardDate = {};
    TransitionDate daylightDate = {};
};

// Like mktime with the daylight-saving state left to the rule: out-of-range fields normalise
// (hour 24 is the next day's midnight, month 13 the next January, day 0 the previous month's
// last day). A reading the clock skips when daylight time starts is moved forward by the jump
// (02:30 becomes 03:30 daylight time); a reading the clock shows twice when it ends is taken at
// its first occurrence (daylight time).
int64_t LocalToSeconds(CalendarTime local, const ZoneRule& zone);

// Like localtime: the local reading of a moment, with the daylight-saving state of its date.
CalendarTime SecondsToLocal(int64_t seconds, const ZoneRule& zone);

// "MM/dd/yy HH:mm:ss", what "%c" gives in the C locale; empty when a field is out of range.
std::string FormatDateText(const CalendarTime& local);

// The time a file is tested by: 0 when the conversion of its file time failed or its local year
// is before 1900, otherwise its local reading in seconds.
int64_t TestedTime(CalendarTime localFromFileTime, bool converted, const ZoneRule& zone);

// The tested time of a file time (100 ns ticks since 1601-01-01 UTC): moved to local time by
// biasNow (minutes, UTC = local + bias, the offset in force now whatever the file's date), read
// as calendar fields, then as TestedTime does. Ticks past the signed 64-bit range do not convert.
int64_t TestedTimeOfTicks(uint64_t ticks, int biasNow, const ZoneRule& zone);
