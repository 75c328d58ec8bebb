#include <gtest/gtest.h>

#include "engine/DateBounds.h"
#include "engine/Matching.h"

#include <string>
#include <vector>

namespace
{

const ZoneRule kUtc = {};
const ZoneRule kEastern = {300, 0, -60, {11, 0, 1, 2, 0}, {3, 0, 2, 2, 0}};
const ZoneRule kSouthern = {-600, 0, -60, {4, 0, 1, 3, 0}, {10, 0, 1, 2, 0}};
// Daylight time from the last Sunday of March 02:00 to the last Sunday of October 03:00.
const ZoneRule kCentral = {-60, 0, -60, {10, 0, 5, 3, 0}, {3, 0, 5, 2, 0}};

// Pickers hold a full date and time; the bounds must read only their own half of each.
CalendarTime PickerDate(int year, int month, int day)
{
    return CalendarTime{year, month, day, 17, 33, 44};
}

CalendarTime PickerTime(int hour, int minute, int second)
{
    return CalendarTime{1999, 9, 9, hour, minute, second};
}

SearchCriteria Bounds(DateCondition condition, bool useTime, CalendarTime firstDate, CalendarTime firstTime,
                      CalendarTime secondDate, CalendarTime secondTime, const ZoneRule& zone = kUtc)
{
    SearchCriteria criteria;
    criteria.dateCondition = condition;
    criteria.useTime = useTime;
    ComputeDateBounds(criteria, firstDate, firstTime, secondDate, secondTime, zone);
    return criteria;
}

SearchCriteria DayBounds(DateCondition condition, CalendarTime date, const ZoneRule& zone = kUtc)
{
    return Bounds(condition, false, date, PickerTime(8, 0, 0), PickerDate(2030, 1, 1), PickerTime(9, 0, 0), zone);
}

constexpr int64_t kMayFirst = 1714521600; // 2024-05-01 00:00:00 UTC

} // namespace

TEST(DateBoundsTest, IsByDateRunsToTheNextMidnight)
{
    const SearchCriteria criteria = DayBounds(DateCondition::Is, PickerDate(2024, 5, 1));
    EXPECT_EQ(criteria.dateFrom, kMayFirst);
    EXPECT_EQ(criteria.dateTo, kMayFirst + 86400);
    EXPECT_TRUE(DateMatches(criteria, kMayFirst));
    EXPECT_TRUE(DateMatches(criteria, kMayFirst + 86400));
    EXPECT_FALSE(DateMatches(criteria, kMayFirst - 1));
    EXPECT_FALSE(DateMatches(criteria, kMayFirst + 86401));
}

TEST(DateBoundsTest, BeforeAndAfterByDateUseTheDaysMidnight)
{
    const SearchCriteria before = DayBounds(DateCondition::IsBefore, PickerDate(2024, 5, 1));
    EXPECT_TRUE(DateMatches(before, kMayFirst));
    EXPECT_FALSE(DateMatches(before, kMayFirst + 1));

    const SearchCriteria after = DayBounds(DateCondition::IsAfter, PickerDate(2024, 5, 1));
    EXPECT_TRUE(DateMatches(after, kMayFirst + 8 * 3600));
    EXPECT_TRUE(DateMatches(after, kMayFirst));
    EXPECT_FALSE(DateMatches(after, kMayFirst - 1));
}

TEST(DateBoundsTest, BetweenByDateEndsAtTheLastSecondOfTheSecondDate)
{
    const SearchCriteria criteria = Bounds(DateCondition::IsBetween, false, PickerDate(2024, 5, 1), PickerTime(8, 0, 0),
                                           PickerDate(2024, 5, 3), PickerTime(9, 0, 0));
    EXPECT_EQ(criteria.dateFrom, kMayFirst);
    EXPECT_EQ(criteria.dateTo, kMayFirst + 3 * 86400 - 1);
    EXPECT_TRUE(DateMatches(criteria, criteria.dateTo));
    EXPECT_FALSE(DateMatches(criteria, criteria.dateTo + 1));
    EXPECT_FALSE(DateMatches(criteria, criteria.dateFrom - 1));
}

TEST(DateBoundsTest, DateAndTimeReadsBothPickers)
{
    const SearchCriteria is = Bounds(DateCondition::Is, true, PickerDate(2024, 5, 1), PickerTime(13, 45, 10),
                                     PickerDate(2030, 1, 1), PickerTime(9, 0, 0));
    EXPECT_EQ(is.dateFrom, kMayFirst + 13 * 3600 + 45 * 60 + 10);
    EXPECT_EQ(is.dateTo, is.dateFrom);
    EXPECT_TRUE(DateMatches(is, is.dateFrom));
    EXPECT_FALSE(DateMatches(is, is.dateFrom + 1));
    EXPECT_FALSE(DateMatches(is, is.dateFrom - 1));

    const SearchCriteria between = Bounds(DateCondition::IsBetween, true, PickerDate(2024, 5, 1), PickerTime(8, 0, 0),
                                          PickerDate(2024, 5, 2), PickerTime(9, 30, 0));
    EXPECT_EQ(between.dateFrom, kMayFirst + 8 * 3600);
    EXPECT_EQ(between.dateTo, kMayFirst + 86400 + 9 * 3600 + 30 * 60);

    const SearchCriteria after = Bounds(DateCondition::IsAfter, true, PickerDate(2024, 5, 1), PickerTime(8, 0, 0),
                                        PickerDate(2024, 5, 2), PickerTime(9, 30, 0));
    EXPECT_TRUE(DateMatches(after, kMayFirst + 8 * 3600));
    EXPECT_FALSE(DateMatches(after, kMayFirst + 8 * 3600 - 1));
}

TEST(DateBoundsTest, DaysWithADaylightSavingChange)
{
    const struct
    {
        const ZoneRule* zone;
        CalendarTime date;
        int64_t start;
        int hours;
    } days[] = {
        {&kEastern, PickerDate(2024, 3, 10), 1710046800, 23},
        {&kEastern, PickerDate(2024, 11, 3), 1730606400, 25},
        {&kSouthern, PickerDate(2024, 4, 7), 1712408400, 25},
        {&kSouthern, PickerDate(2024, 10, 6), 1728136800, 23},
        {&kCentral, PickerDate(2024, 3, 31), 1711839600, 23},
        {&kCentral, PickerDate(2024, 10, 27), 1729980000, 25},
        {&kEastern, PickerDate(2024, 5, 1), kMayFirst + 4 * 3600, 24},
    };
    for (const auto& day : days)
    {
        const SearchCriteria criteria = DayBounds(DateCondition::Is, day.date, *day.zone);
        EXPECT_EQ(criteria.dateFrom, day.start) << day.date.month << "-" << day.date.day;
        EXPECT_EQ(criteria.dateTo - criteria.dateFrom, day.hours * 3600) << day.date.month << "-" << day.date.day;
    }
}

TEST(DateBoundsTest, DatesFarFrom1970)
{
    const SearchCriteria old = Bounds(DateCondition::IsBetween, false, PickerDate(1900, 1, 1), PickerTime(0, 0, 0),
                                      PickerDate(1969, 12, 31), PickerTime(0, 0, 0));
    EXPECT_EQ(old.dateFrom, -2208988800);
    EXPECT_EQ(old.dateTo, -1);
    EXPECT_FALSE(DateMatches(old, 0));

    const SearchCriteria late = DayBounds(DateCondition::IsAfter, PickerDate(2100, 3, 1));
    EXPECT_EQ(late.dateFrom, 4107542400);
}

TEST(DateBoundsTest, AgesGoBackByTheLocalCalendar)
{
    const struct
    {
        const ZoneRule* zone;
        CalendarTime now;
        int amount;
        AgeUnit unit;
        CalendarTime bound;
        // False where the bound's reading is one the clock skips.
        bool shown = true;
    } ages[] = {
        // Month ends: the day is held within the shorter month.
        {&kUtc, {2024, 3, 31, 10, 15, 20}, 1, AgeUnit::Months, {2024, 2, 29, 10, 15, 20}},
        {&kUtc, {2023, 3, 31, 10, 15, 20}, 1, AgeUnit::Months, {2023, 2, 28, 10, 15, 20}},
        {&kUtc, {2024, 5, 31, 23, 59, 59}, 3, AgeUnit::Months, {2024, 2, 29, 23, 59, 59}},
        {&kUtc, {2024, 1, 31, 0, 0, 0}, 1, AgeUnit::Months, {2023, 12, 31, 0, 0, 0}},
        // Leap days.
        {&kUtc, {2024, 2, 29, 12, 0, 0}, 1, AgeUnit::Years, {2023, 2, 28, 12, 0, 0}},
        {&kUtc, {2028, 2, 29, 12, 0, 0}, 4, AgeUnit::Years, {2024, 2, 29, 12, 0, 0}},
        {&kUtc, {2024, 3, 29, 12, 0, 0}, 1, AgeUnit::Months, {2024, 2, 29, 12, 0, 0}},
        {&kUtc, {2024, 3, 1, 6, 0, 0}, 1, AgeUnit::Days, {2024, 2, 29, 6, 0, 0}},
        {&kUtc, {2024, 1, 5, 6, 0, 0}, 2, AgeUnit::Weeks, {2023, 12, 22, 6, 0, 0}},
        {&kUtc, {2024, 6, 1, 6, 0, 0}, 9999, AgeUnit::Days, {1997, 1, 15, 6, 0, 0}},
        // Across a daylight-saving change the time of day stays.
        {&kEastern, {2024, 3, 12, 10, 0, 0}, 1, AgeUnit::Weeks, {2024, 3, 5, 10, 0, 0}},
        {&kEastern, {2024, 11, 4, 9, 0, 0}, 2, AgeUnit::Days, {2024, 11, 2, 9, 0, 0}},
        {&kSouthern, {2024, 10, 7, 12, 0, 0}, 1, AgeUnit::Days, {2024, 10, 6, 12, 0, 0}},
        // A reading the clock skips or shows twice is read as the pickers' readings are.
        {&kEastern, {2024, 3, 11, 2, 30, 0}, 1, AgeUnit::Days, {2024, 3, 10, 2, 30, 0}, false},
        {&kEastern, {2024, 11, 10, 1, 30, 0}, 1, AgeUnit::Weeks, {2024, 11, 3, 1, 30, 0}},
    };
    for (const auto& age : ages)
    {
        SearchCriteria criteria;
        criteria.dateCondition = DateCondition::IsOlderThan;
        ComputeAgeBound(criteria, age.now, age.amount, age.unit, *age.zone);
        const std::string what = "row " + std::to_string(&age - ages);
        const CalendarTime b = age.bound;
        EXPECT_EQ(criteria.dateFrom, Bounds(DateCondition::IsAfter, true, b, b, b, b, *age.zone).dateFrom) << what;
        const CalendarTime read = SecondsToLocal(criteria.dateFrom, *age.zone);
        if (age.shown)
        {
            EXPECT_EQ(std::vector<int>({read.year, read.month, read.day, read.hour, read.minute, read.second}),
                      std::vector<int>({b.year, b.month, b.day, b.hour, b.minute, b.second}))
                << what;
        }

        // Older is strictly before the bound; within the last is at or after it.
        EXPECT_TRUE(DateMatches(criteria, criteria.dateFrom - 1)) << what;
        EXPECT_FALSE(DateMatches(criteria, criteria.dateFrom)) << what;
        criteria.dateCondition = DateCondition::IsWithinLast;
        EXPECT_TRUE(DateMatches(criteria, criteria.dateFrom)) << what;
        EXPECT_FALSE(DateMatches(criteria, criteria.dateFrom - 1)) << what;
    }
}

TEST(SizeBoundsTest, UnitsMultiplyIn64Bits)
{
    EXPECT_EQ(SizeBound(7, 0), 7u);
    EXPECT_EQ(SizeBound(7, 1), 7u * 1024);
    EXPECT_EQ(SizeBound(10, 2), 10u * 1048576);
    EXPECT_EQ(SizeBound(5, 3), 5ull * 1073741824);
    EXPECT_EQ(SizeBound(2147483647, 3), 2147483647ull * 1073741824);
    EXPECT_EQ(SizeBound(-1, 3), 0u);
    EXPECT_EQ(SizeBound(3, 4), 3u);
    EXPECT_EQ(SizeBound(3, -1), 3u);

    SearchCriteria criteria;
    criteria.sizeCondition = SizeCondition::IsBetween;
    ComputeSizeBounds(criteria, 4, 6, 3);
    EXPECT_EQ(criteria.sizeFrom, 4ull * 1073741824);
    EXPECT_EQ(criteria.sizeTo, 6ull * 1073741824);
    EXPECT_TRUE(SizeMatches(criteria, 5ull * 1073741824));
    EXPECT_FALSE(SizeMatches(criteria, 1073741824));
}
