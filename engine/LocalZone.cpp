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

int CurrentBias()
{
    TIME_ZONE_INFORMATION info = {};
    switch (GetTimeZoneInformation(&info))
    {
    case TIME_ZONE_ID_DAYLIGHT:
        return info.Bias + info.DaylightBias;
    case TIME_ZONE_ID_STANDARD:
        return info.Bias + info.StandardBias;
    case TIME_ZONE_ID_UNKNOWN:
        return info.Bias;
    }
    return 0;
}

int64_t TestedTimeOfFileTime(const FILETIME& fileTime, int biasNow, const ZoneRule& zone)
{
    uint64_t ticks = (uint64_t)fileTime.dwHighDateTime << 32 | fileTime.dwLowDateTime;
    return TestedTimeOfTicks(ticks, biasNow, zone);
}
