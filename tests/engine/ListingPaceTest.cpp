// How many threads list at once, on hosts whose listing gains from threads in
// different ways: it settles where one thread more stops paying.
#include "engine/ListingPace.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
// Feeds the pace a walk of `seconds` in steps of one folder listed every
// millisecond-ish, at the rate the host gives for the number of threads allowed.
unsigned SettleOn(unsigned maxThreads, const std::function<double(unsigned)>& entriesPerSecond, double seconds = 2)
{
    ListingPace pace(maxThreads);
    double now = 0;
    double entries = 0;
    const double step = 0.001;
    while (now < seconds)
    {
        now += step;
        entries += entriesPerSecond(pace.Active()) * step;
        pace.Sample(uint64_t(entries), now);
        EXPECT_GE(pace.Active(), 1u);
        EXPECT_LE(pace.Active(), maxThreads);
    }
    return pace.Active();
}
}

TEST(ListingPace, StaysOnOneThreadWhereListingDoesNotRunInParallel)
{
    EXPECT_EQ(SettleOn(2, [](unsigned) { return 140000.0; }), 1u);
    EXPECT_EQ(SettleOn(8, [](unsigned) { return 140000.0; }), 1u);
    // Threads that slow one another down.
    EXPECT_EQ(SettleOn(4, [](unsigned threads) { return 140000.0 / threads; }), 1u);
    // A small gain is not worth a thread.
    EXPECT_EQ(SettleOn(2, [](unsigned threads) { return threads == 1 ? 140000.0 : 150000.0; }), 1u);
}

TEST(ListingPace, TakesThreadsWhileTheyPay)
{
    EXPECT_EQ(SettleOn(2, [](unsigned threads) { return 100000.0 * threads; }), 2u);
    EXPECT_EQ(SettleOn(8, [](unsigned threads) { return 100000.0 * threads; }), 8u);
    // Two threads fill the disk; a third gains nothing.
    EXPECT_EQ(SettleOn(8, [](unsigned threads) { return threads >= 2 ? 200000.0 : 100000.0; }), 2u);
}

TEST(ListingPace, DecidesOnlyOnAFullWindow)
{
    // A walk too short to time keeps the one thread it started with.
    EXPECT_EQ(SettleOn(4, [](unsigned threads) { return 100000.0 * threads; }, ListingPace::kWindowSeconds / 2), 1u);
    // Many seconds with too few entries to time: a slow network folder.
    EXPECT_EQ(SettleOn(4, [](unsigned threads) { return 100.0 * threads; }), 1u);
    ListingPace single(1);
    EXPECT_FALSE(single.Sample(1000000, 10));
    EXPECT_EQ(single.Active(), 1u);
    ListingPace none(0);
    EXPECT_EQ(none.Active(), 1u);
}
