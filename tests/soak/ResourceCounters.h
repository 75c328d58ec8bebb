// What a long-lived process can leak, counted for the soak. Where the platform's
// own counters say nothing (Wine answers 0), the objects are counted one by one.
#pragma once

#include <cstddef>
#include <string>

struct ResourceCounts
{
    size_t gdiObjects = 0;
    size_t userObjects = 0;
    size_t kernelHandles = 0;
    size_t privateBytes = 0;
};

ResourceCounts CountResources();
// Only the private bytes: cheap enough to sample often.
size_t PrivateBytes();
// Where each figure came from: the platform's counter or the count by hand.
std::string CountSources();
