#include "engine/LocalZone.h"

namespace
{

// Whole-second times compare with a transition at 23:59:59.999 as with the next whole second.
TransitionDate TransitionOf(const SYSTEMTIME& date)
{
    return TransitionDate{date.wMonth, date.wDayOfWeek, date.wDay, date.wHour, date.wMinute,
                          date.wSecond + (date.wMilliseconds != 0 ? 1 : 0)};
}

} // namespace

ZoneRule CurrentZoneRule()
{
    TIME_ZONE_INFORMATION info = {};
    if (GetTimeZoneInformation(&info) == TIME_ZONE_ID_INVALID)
        return ZoneRule();
    ZoneRule zone;
    zone.bias = info.Bias;
    zone.standardBias = info.StandardBias;
    zone.daylightBias = info.DaylightBias;
    zone.standardDate = TransitionOf(info.StandardDate);
    zone.daylightDate = TransitionOf(info.DaylightDate);
    return zone;
}

int64_t TestedTimeOfFileTime(const FILETIME& fileTime, const ZoneRule& zone)
{
    FILETIME localFileTime = {};
    SYSTEMTIME fields = {};
    const bool converted = FileTimeToLocalFileTime(&fileTime, &localFileTime) &&
                           FileTimeToSystemTime(&localFileTime, &fields);
    const CalendarTime local = {fields.wYear, fields.wMonth, fields.wDay, fields.wHour, fields.wMinute, fields.wSecond};
    return TestedTime(local, converted, zone);
}
