#include "engine/DateBounds.h"

namespace
{

CalendarTime At(const CalendarTime& date, int hour, int minute, int second)
{
    return CalendarTime{date.year, date.month, date.day, hour, minute, second};
}

} // namespace

void ComputeDateBounds(SearchCriteria& criteria, CalendarTime firstDate, CalendarTime firstTime,
                       CalendarTime secondDate, CalendarTime secondTime, const ZoneRule& zone)
{
    const bool isCondition = criteria.dateCondition == DateCondition::Is;
    if (!criteria.useTime)
    {
        criteria.dateFrom = LocalToSeconds(At(firstDate, 0, 0, 0), zone);
        // Hour 24 is the next midnight, so a day lasts 23, 24 or 25 hours as the clock does.
        criteria.dateTo = isCondition ? LocalToSeconds(At(firstDate, 24, 0, 0), zone)
                                      : LocalToSeconds(At(secondDate, 23, 59, 59), zone);
        return;
    }
    criteria.dateFrom = LocalToSeconds(At(firstDate, firstTime.hour, firstTime.minute, firstTime.second), zone);
    criteria.dateTo = isCondition
                          ? criteria.dateFrom
                          : LocalToSeconds(At(secondDate, secondTime.hour, secondTime.minute, secondTime.second), zone);
}

uint64_t SizeBound(int value, int unitIndex)
{
    static constexpr uint64_t kUnits[] = {1, 1024, 1048576, 1073741824};
    if (value < 0)
        return 0;
    const uint64_t unit = unitIndex >= 0 && unitIndex < 4 ? kUnits[unitIndex] : 1;
    // At most (2^31 - 1) * 2^30, well inside 64 bits.
    return static_cast<uint64_t>(value) * unit;
}

void ComputeSizeBounds(SearchCriteria& criteria, int fromValue, int toValue, int unitIndex)
{
    criteria.sizeFrom = SizeBound(fromValue, unitIndex);
    criteria.sizeTo = SizeBound(toValue, unitIndex);
}
