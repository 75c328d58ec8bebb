#include "engine/DateBounds.h"

#include <algorithm>

namespace
{

CalendarTime At(const CalendarTime& date, int hour, int minute, int second)
{
    return CalendarTime{date.year, date.month, date.day, hour, minute, second};
}

bool IsLeapYear(int64_t year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int64_t year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Floor division by 12, so that months before year 0 fall in the right year too.
int64_t YearsOfMonths(int64_t months)
{
    return months >= 0 ? months / 12 : -((-months + 11) / 12);
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

void ComputeAgeBound(SearchCriteria& criteria, CalendarTime now, int amount, AgeUnit unit, const ZoneRule& zone)
{
    CalendarTime bound = now;
    switch (unit)
    {
    case AgeUnit::Days:
        bound.day -= amount;
        break;
    case AgeUnit::Weeks:
        bound.day -= 7 * amount;
        break;
    case AgeUnit::Months:
    case AgeUnit::Years:
    {
        const int64_t monthsBack = unit == AgeUnit::Years ? 12 * int64_t(amount) : amount;
        const int64_t months = int64_t(now.year) * 12 + (now.month - 1) - monthsBack;
        const int64_t year = YearsOfMonths(months);
        bound.year = int(year);
        bound.month = int(months - year * 12) + 1;
        bound.day = std::min(now.day, DaysInMonth(year, bound.month));
        break;
    }
    }
    // Days before the month's first normalise into the months before it.
    criteria.dateFrom = LocalToSeconds(bound, zone);
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
