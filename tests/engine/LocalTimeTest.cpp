#include <gtest/gtest.h>

#include "engine/LocalTime.h"

namespace
{

const ZoneRule kUtc = {};
// Daylight time from the 2nd Sunday of March 02:00 to the 1st Sunday of November 02:00.
const ZoneRule kEastern = {300, 0, -60, {11, 0, 1, 2, 0}, {3, 0, 2, 2, 0}};
// Daylight time from the 1st Sunday of October 02:00 to the 1st Sunday of April 03:00.
const ZoneRule kSouthern = {-600, 0, -60, {4, 0, 1, 3, 0}, {10, 0, 1, 2, 0}};

bool SameFields(const CalendarTime& a, const CalendarTime& b)
{
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
           a.minute == b.minute && a.second == b.second;
}

} // namespace

TEST(LocalToSecondsTest, KnownMomentsInFixedZones)
{
    EXPECT_EQ(LocalToSeconds({1970, 1, 1, 0, 0, 0}, kUtc), 0);
    EXPECT_EQ(LocalToSeconds({1969, 12, 31, 23, 59, 59}, kUtc), -1);
    EXPECT_EQ(LocalToSeconds({1900, 1, 1, 0, 0, 0}, kUtc), -2208988800);
    EXPECT_EQ(LocalToSeconds({1601, 1, 1, 0, 0, 0}, kUtc), -11644473600);
    EXPECT_EQ(LocalToSeconds({2038, 1, 19, 3, 14, 8}, kUtc), 2147483648);
    EXPECT_EQ(LocalToSeconds({2100, 3, 1, 0, 0, 0}, kUtc), 4107542400);
    EXPECT_EQ(LocalToSeconds({2400, 2, 29, 0, 0, 0}, kUtc), 13574563200);
    EXPECT_EQ(LocalToSeconds({2024, 5, 1, 13, 45, 10}, kUtc), 1714571110);

    const ZoneRule plusTwo = {-120};
    const ZoneRule minusFiveThirty = {330};
    EXPECT_EQ(LocalToSeconds({2024, 5, 1, 0, 0, 0}, plusTwo), 1714521600 - 7200);
    EXPECT_EQ(LocalToSeconds({2024, 5, 1, 0, 0, 0}, minusFiveThirty), 1714521600 + 19800);
    EXPECT_TRUE(SameFields(SecondsToLocal(1714521600, minusFiveThirty), {2024, 4, 30, 18, 30, 0}));
}

TEST(LocalToSecondsTest, NormalisesOutOfRangeFields)
{
    const int64_t mayFirst = 1714521600;
    EXPECT_EQ(LocalToSeconds({2024, 4, 30, 24, 0, 0}, kUtc), mayFirst);
    EXPECT_EQ(LocalToSeconds({2024, 4, 30, 23, 59, 60}, kUtc), mayFirst);
    EXPECT_EQ(LocalToSeconds({2024, 5, 0, 0, 0, 0}, kUtc), mayFirst - 86400);
    EXPECT_EQ(LocalToSeconds({2024, 5, 1, 0, -1, 0}, kUtc), mayFirst - 60);
    EXPECT_EQ(LocalToSeconds({2023, 17, 1, 0, 0, 0}, kUtc), mayFirst);
    EXPECT_EQ(LocalToSeconds({2025, -7, 1, 0, 0, 0}, kUtc), mayFirst);
    EXPECT_EQ(LocalToSeconds({2023, 2, 29, 0, 0, 0}, kUtc), LocalToSeconds({2023, 3, 1, 0, 0, 0}, kUtc));
    EXPECT_EQ(LocalToSeconds({1900, 2, 29, 0, 0, 0}, kUtc), LocalToSeconds({1900, 3, 1, 0, 0, 0}, kUtc));
}

TEST(LocalToSecondsTest, DaylightSavingNorthern)
{
    // 2024-01-15 12:00 EST and 2024-07-15 12:00 EDT.
    EXPECT_EQ(LocalToSeconds({2024, 1, 15, 12, 0, 0}, kEastern), 1705338000);
    EXPECT_EQ(LocalToSeconds({2024, 7, 15, 12, 0, 0}, kEastern), 1721059200);

    // 02:30 on 10 March does not exist: it is moved forward to 03:30 EDT (07:30 UTC).
    EXPECT_EQ(LocalToSeconds({2024, 3, 10, 2, 30, 0}, kEastern), 1710055800);
    EXPECT_TRUE(SameFields(SecondsToLocal(1710055800, kEastern), {2024, 3, 10, 3, 30, 0}));
    EXPECT_EQ(LocalToSeconds({2024, 3, 10, 1, 59, 59}, kEastern), 1710053999);
    EXPECT_EQ(LocalToSeconds({2024, 3, 10, 3, 0, 0}, kEastern), 1710054000);

    // 01:30 on 3 November happens twice: the first one (EDT, 05:30 UTC) is taken.
    EXPECT_EQ(LocalToSeconds({2024, 11, 3, 1, 30, 0}, kEastern), 1730611800);
    EXPECT_TRUE(SameFields(SecondsToLocal(1730611800, kEastern), {2024, 11, 3, 1, 30, 0}));
    EXPECT_TRUE(SameFields(SecondsToLocal(1730611800 + 3600, kEastern), {2024, 11, 3, 1, 30, 0}));
    EXPECT_EQ(LocalToSeconds({2024, 11, 3, 2, 0, 0}, kEastern), 1730617200);
}

TEST(LocalToSecondsTest, DaylightSavingSouthern)
{
    // Daylight time spans the new year: January is +11, July +10.
    EXPECT_EQ(LocalToSeconds({2024, 1, 15, 12, 0, 0}, kSouthern), 1705280400);
    EXPECT_EQ(LocalToSeconds({2024, 7, 15, 12, 0, 0}, kSouthern), 1721008800);
    EXPECT_EQ(LocalToSeconds({2024, 12, 31, 23, 0, 0}, kSouthern), LocalToSeconds({2025, 1, 1, 0, 0, 0}, kSouthern) - 3600);

    // 02:30 on 7 April happens twice (first one at +11); 02:30 on 6 October is skipped.
    EXPECT_EQ(LocalToSeconds({2024, 4, 7, 2, 30, 0}, kSouthern), 1712417400);
    EXPECT_EQ(LocalToSeconds({2024, 10, 6, 2, 30, 0}, kSouthern), 1728145800);
    EXPECT_TRUE(SameFields(SecondsToLocal(1728145800, kSouthern), {2024, 10, 6, 3, 30, 0}));
}

TEST(LocalToSecondsTest, RoundTripsOrdinaryTimes)
{
    const CalendarTime times[] = {
        {1900, 1, 1, 0, 0, 0},    {1969, 12, 31, 23, 59, 59}, {1970, 1, 1, 0, 0, 0},
        {2000, 2, 29, 12, 0, 0},  {2024, 2, 29, 23, 59, 59},  {2024, 5, 1, 13, 45, 10},
        {2100, 2, 28, 6, 7, 8},   {2100, 12, 31, 23, 59, 59}, {2400, 2, 29, 18, 0, 0},
        {1601, 1, 1, 0, 0, 0},    {30827, 12, 31, 23, 59, 59},
    };
    for (const ZoneRule* zone : {&kUtc, &kEastern, &kSouthern})
    {
        for (const CalendarTime& time : times)
        {
            const CalendarTime back = SecondsToLocal(LocalToSeconds(time, *zone), *zone);
            EXPECT_TRUE(SameFields(back, time)) << time.year << "-" << time.month << "-" << time.day;
        }
    }
}

TEST(LocalToSecondsTest, EveryQuarterHourOfAYearReadsBack)
{
    // Every moment reads back to itself except the second pass of the repeated hour, which
    // reads back to the first pass.
    for (const ZoneRule* zone : {&kEastern, &kSouthern})
    {
        int repeated = 0;
        const int64_t start = LocalToSeconds({2024, 1, 1, 0, 0, 0}, *zone);
        for (int64_t t = start; t < start + 366 * 86400; t += 900)
        {
            const int64_t back = LocalToSeconds(SecondsToLocal(t, *zone), *zone);
            if (back == t - 3600)
                ++repeated;
            else
                ASSERT_EQ(back, t);
        }
        EXPECT_EQ(repeated, 4);
    }
}

TEST(LocalToSecondsTest, ExtremeFieldsStayDefined)
{
    const int64_t far = LocalToSeconds({2147483647, 2147483647, 2147483647, 2147483647, 0, 0}, kEastern);
    EXPECT_GT(far, 0);
    const CalendarTime clamped = SecondsToLocal(INT64_MIN, kEastern);
    EXPECT_LT(clamped.year, -300000000);
    EXPECT_EQ(FormatDateText(SecondsToLocal(INT64_MAX, kSouthern)).size(), 17u);
}

TEST(FormatDateTextTest, TwoDigitFieldsAnd24HourClock)
{
    EXPECT_EQ(FormatDateText({2024, 5, 1, 13, 45, 10}), "05/01/24 13:45:10");
    EXPECT_EQ(FormatDateText({1905, 12, 31, 23, 59, 59}), "12/31/05 23:59:59");
    EXPECT_EQ(FormatDateText({2000, 1, 1, 0, 0, 0}), "01/01/00 00:00:00");
    EXPECT_EQ(FormatDateText({2024, 13, 1, 0, 0, 0}), "");
    EXPECT_EQ(FormatDateText({2024, 1, 1, 24, 0, 0}), "");
    EXPECT_EQ(FormatDateText({2024, 1, 0, 0, 0, 0}), "");
}

TEST(TestedTimeTest, FailedOrEarlyTimesCountAsZero)
{
    EXPECT_EQ(TestedTime({2024, 5, 1, 0, 0, 0}, false, kUtc), 0);
    EXPECT_EQ(TestedTime({1899, 12, 31, 23, 59, 59}, true, kEastern), 0);
    EXPECT_EQ(TestedTime({1601, 1, 1, 0, 0, 0}, true, kUtc), 0);
    EXPECT_EQ(TestedTime({1900, 1, 1, 0, 0, 0}, true, kUtc), -2208988800);
    EXPECT_EQ(TestedTime({2024, 5, 1, 13, 45, 10}, true, kEastern), 1714571110 + 4 * 3600);
    EXPECT_EQ(FormatDateText(SecondsToLocal(0, kEastern)), "12/31/69 19:00:00");
}

TEST(TestedTimeOfTicksTest, MovesByTheBiasInForceNowAndRejectsWhatCannotConvert)
{
    const ZoneRule utc;
    // 2024-05-01 12:00:00 UTC in 100 ns ticks since 1601.
    const uint64_t noon = (uint64_t)(1714564800LL + 11644473600LL) * 10000000;
    EXPECT_EQ(TestedTimeOfTicks(noon, 0, utc), 1714564800);
    // Two hours east of UTC (bias -120): the local reading is 14:00.
    EXPECT_EQ(TestedTimeOfTicks(noon, -120, utc), 1714564800 + 7200);
    EXPECT_EQ(TestedTimeOfTicks(noon + 9999999, 0, utc), 1714564800);
    EXPECT_EQ(TestedTimeOfTicks(0, 0, utc), 0);
    EXPECT_EQ(TestedTimeOfTicks(UINT64_MAX, 0, utc), 0);
}
