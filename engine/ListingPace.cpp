#include "engine/ListingPace.h"

ListingPace::ListingPace(unsigned maxThreads) : maxThreads(maxThreads < 1 ? 1 : maxThreads), settled(maxThreads <= 1)
{
}

bool ListingPace::Sample(uint64_t entries, double seconds)
{
    if (settled)
        return false;
    const double elapsed = seconds - windowStart;
    const uint64_t listed = entries - windowEntries;
    if (elapsed < kWindowSeconds || listed < kWindowEntries)
        return false;
    const double rate = double(listed) / elapsed;
    windowEntries = entries;
    windowStart = seconds;
    if (active == 1)
        oneThreadRate = rate;
    else if (rate < previousRate + oneThreadRate * kGain)
    {
        // The last thread added brought nothing worth its cost.
        active--;
        settled = true;
        return true;
    }
    previousRate = rate;
    if (active == maxThreads)
    {
        settled = true;
        return false;
    }
    active++;
    return true;
}
