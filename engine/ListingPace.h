// How many threads list folders at once. Listing in parallel pays only where the
// file system answers several threads at a time; elsewhere every extra thread
// adds its own cost. So a walk starts with one thread and takes one more only
// while each thread added lists a clear share of what one thread alone lists;
// once a thread more brings no such gain, the number that last gained stays.
#pragma once

#include <cstdint>

class ListingPace
{
public:
    // A thread more must add this share of one thread's rate to stay.
    static constexpr double kGain = 0.15;
    // Each number of threads is timed over at least this long and this many entries,
    // so that one large or small folder does not decide.
    static constexpr double kWindowSeconds = 0.03;
    static constexpr uint64_t kWindowEntries = 2000;

    explicit ListingPace(unsigned maxThreads);

    // How many threads may list now, and at most.
    unsigned Active() const { return active; }
    unsigned MaxThreads() const { return maxThreads; }
    // The entries listed so far and the walk's time; true when Active() changed.
    bool Sample(uint64_t entries, double seconds);

private:
    const unsigned maxThreads;
    unsigned active = 1;
    bool settled;
    uint64_t windowEntries = 0;
    double windowStart = 0;
    // The rate of the window before this one, with one thread fewer, and of the first.
    double previousRate = 0;
    double oneThreadRate = 0;
};
