// What a long-lived process can leak, counted for the soak. Where the platform's
// own counters say nothing (Wine answers 0), the objects are counted one by one.
#pragma once

#include <cstddef>
#include <string>

// One figure, where it came from, and why there is none when it could not be counted.
struct ResourceCount
{
    size_t value = 0;
    std::string source;
    std::string failure;
};

struct ResourceCounts
{
    ResourceCount gdiObjects;
    ResourceCount userObjects;
    ResourceCount kernelHandles;
    ResourceCount privateBytes;
};

ResourceCounts CountResources();
// Only the private bytes: cheap enough to sample often.
size_t PrivateBytes();
