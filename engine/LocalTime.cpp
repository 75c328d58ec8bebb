#include "engine/LocalTime.h"

#include <algorithm>
#include <cstdio>

namespace
{

constexpr int64_t kSecondsPerDay = 86400;

// About 317 million years either side of 1970: far beyond any file or picker date, and it keeps
// the year within int and every sum below far from overflow.
constexpr int64_t kSecondsLimit = 10000000000000000;

// Floor division and its remainder, so that negative fields and dates before 1970 normalise
// the same way as later ones.
int64_t FloorDiv(int64_t a, int64_t b)
{
    const int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

int64_t FloorMod(int64_t a, int64_t b)
{
    return a - FloorDiv(a, b) * b;
}

// Days from 1970-01-01 to a proleptic Gregorian date (month 1..12), counted in 400-year eras.
int64_t DaysFromCivil(int64_t year, int month, int64_t day)
{
    const int64_t y = month <= 2 ? year - 1 : year;
    const int64_t era = FloorDiv(y, 400);
    const int64_t yearOfEra = y - era * 400;
    const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(int64_t days, int64_t& year, int& month, int& day)
{
    const int64_t shifted = days + 719468;
    const int64_t era = FloorDiv(shifted, 146097);
    const int64_t dayOfEra = shifted - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t monthIndex = (5 * dayOfYear + 2) / 153; // 0 = March
    day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

// The reading of a clock without zone, in seconds, with every field normalised.
int64_t ReadingSeconds(const CalendarTime& t)
{
    const int64_t months = static_cast<int64_t>(t.month) - 1;
    const int64_t year = t.year + FloorDiv(months, 12);
    const int month = static_cast<int>(FloorMod(months, 12)) + 1;
    const int64_t days = DaysFromCivil(year, month, 1) + (static_cast<int64_t>(t.day) - 1);
    return days * kSecondsPerDay + static_cast<int64_t>(t.hour) * 3600 +
           static_cast<int64_t>(t.minute) * 60 + t.second;
}

int64_t YearOfReading(int64_t reading)
{
    int64_t year;
    int month;
    int day;
    CivilFromDays(FloorDiv(reading, kSecondsPerDay), year, month, day);
    return year;
}

bool IsValidTransition(const TransitionDate& d)
{
    return d.month >= 1 && d.month <= 12 && d.dayOfWeek >= 0 && d.dayOfWeek <= 6 && d.week >= 1 &&
           d.week <= 5;
}

bool HasDaylightTime(const ZoneRule& zone)
{
    return IsValidTransition(zone.daylightDate) && IsValidTransition(zone.standardDate);
}

// Local minus UTC, in seconds.
int64_t StandardOffset(const ZoneRule& zone)
{
    return -(static_cast<int64_t>(zone.bias) + zone.standardBias) * 60;
}

int64_t DaylightOffset(const ZoneRule& zone)
{
    return -(static_cast<int64_t>(zone.bias) + zone.daylightBias) * 60;
}

// The clock reading at which a transition happens in the given year.
int64_t TransitionReading(int64_t year, const TransitionDate& d)
{
    const int64_t first = DaysFromCivil(year, d.month, 1);
    const int64_t daysInMonth = DaysFromCivil(d.month == 12 ? year + 1 : year, d.month % 12 + 1, 1) - first;
    const int64_t firstWeekday = FloorMod(first + 4, 7); // 1970-01-01 was a Thursday
    int64_t day = 1 + FloorMod(d.dayOfWeek - firstWeekday, 7) + (d.week - 1) * 7;
    if (day > daysInMonth)
        day -= 7;
    return (first + day - 1) * kSecondsPerDay + static_cast<int64_t>(d.hour) * 3600 +
           static_cast<int64_t>(d.minute) * 60 + d.second;
}

bool IsDaylightAt(int64_t seconds, const ZoneRule& zone)
{
    if (!HasDaylightTime(zone))
        return false;
    const int64_t year = YearOfReading(seconds + StandardOffset(zone));
    const int64_t start = TransitionReading(year, zone.daylightDate) - StandardOffset(zone);
    const int64_t end = TransitionReading(year, zone.standardDate) - DaylightOffset(zone);
    if (start < end)
        return seconds >= start && seconds < end;
    // Southern hemisphere: daylight time spans the turn of the year.
    if (start > end)
        return seconds >= start || seconds < end;
    return false;
}

} // namespace

int64_t LocalToSeconds(CalendarTime local, const ZoneRule& zone)
{
    const int64_t reading = ReadingSeconds(local);
    const int64_t asStandard = reading - StandardOffset(zone);
    const int64_t asDaylight = reading - DaylightOffset(zone);
    const bool standardFits = !IsDaylightAt(asStandard, zone);
    const bool daylightFits = IsDaylightAt(asDaylight, zone);
    if (standardFits && daylightFits)
        return std::min(asStandard, asDaylight); // shown twice: its first occurrence
    if (standardFits)
        return asStandard;
    if (daylightFits)
        return asDaylight;
    // Skipped: read with the offset in force before the jump, which lands after it.
    return std::max(asStandard, asDaylight);
}

CalendarTime SecondsToLocal(int64_t seconds, const ZoneRule& zone)
{
    const int64_t t = std::clamp(seconds, -kSecondsLimit, kSecondsLimit);
    const int64_t reading = t + (IsDaylightAt(t, zone) ? DaylightOffset(zone) : StandardOffset(zone));
    const int64_t days = FloorDiv(reading, kSecondsPerDay);
    const int64_t secondOfDay = reading - days * kSecondsPerDay;
    int64_t year;
    CalendarTime local;
    CivilFromDays(days, year, local.month, local.day);
    local.year = static_cast<int>(year);
    local.hour = static_cast<int>(secondOfDay / 3600);
    local.minute = static_cast<int>(secondOfDay / 60 % 60);
    local.second = static_cast<int>(secondOfDay % 60);
    return local;
}

std::string FormatDateText(const CalendarTime& local)
{
    if (local.month < 1 || local.month > 12 || local.day < 1 || local.day > 31 || local.hour < 0 ||
        local.hour > 23 || local.minute < 0 || local.minute > 59 || local.second < 0 || local.second > 59)
        return std::string();
    char text[32];
    std::snprintf(text, sizeof(text), "%02d/%02d/%02d %02d:%02d:%02d", local.month, local.day,
                  static_cast<int>(FloorMod(local.year, 100)), local.hour, local.minute, local.second);
    return text;
}

int64_t TestedTime(CalendarTime localFromFileTime, bool converted, const ZoneRule& zone)
{
    if (!converted || localFromFileTime.year < 1900)
        return 0;
    return LocalToSeconds(localFromFileTime, zone);
}

int64_t TestedTimeOfTicks(uint64_t ticks, int biasNow, const ZoneRule& zone)
{
    const int64_t kSecondsFrom1601To1970 = 11644473600;
    if (ticks > (uint64_t)INT64_MAX)
        return TestedTime({}, false, zone);
    int64_t local = (int64_t)(ticks / 10000000) - kSecondsFrom1601To1970 - (int64_t)biasNow * 60;
    return TestedTime(SecondsToLocal(local, ZoneRule()), true, zone);
}
