#pragma once

#include <cstdint>
#include <string>

#include "engine/FoundFile.h"

// The values are the indexes of the search page's drop-down choices, so an index converts with
// static_cast. A value outside the list is kept as it is and never passes a test.
enum class DateKind : int { Created = 0, Modified = 1, Accessed = 2 };
// IsOlderThan and IsWithinLast take their bound, a moment computed from an age, in dateFrom.
enum class DateCondition : int
{
    Any = 0,
    Is = 1,
    IsBefore = 2,
    IsAfter = 3,
    IsBetween = 4,
    IsOlderThan = 5,
    IsWithinLast = 6
};
enum class AgeUnit : int { Days = 0, Weeks = 1, Months = 2, Years = 3 };
enum class SizeCondition : int { Any = 0, IsMoreThan = 1, IsLessThan = 2, IsBetween = 3 };

struct SearchCriteria
{
    DateKind dateKind = DateKind::Modified;
    DateCondition dateCondition = DateCondition::Any;
    bool useTime = false;
    int64_t dateFrom = 0; // seconds since 1970-01-01 00:00:00 UTC
    int64_t dateTo = 0;
    // UTF-8, the wanted extensions without their "*.", separated by ';' when there are
    // several ("doc", "tmp;log"); empty, or an empty or "*" item, means all files.
    std::string fileType;
    SizeCondition sizeCondition = SizeCondition::Any;
    uint64_t sizeFrom = 0; // bytes
    uint64_t sizeTo = 0;
};
