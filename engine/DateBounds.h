#pragma once

#include <cstdint>

#include "engine/LocalTime.h"
#include "engine/SearchCriteria.h"

// Sets dateFrom and dateTo from the search page's pickers: only the date fields of the date
// arguments and only the time-of-day fields of the time arguments are read.
void ComputeDateBounds(SearchCriteria& criteria, CalendarTime firstDate, CalendarTime firstTime,
                       CalendarTime secondDate, CalendarTime secondTime, const ZoneRule& zone);

// Sets dateFrom to the moment `amount` units before `now`, a local clock reading: days and weeks
// keep the time of day, months and years go by the calendar with the day held within the month
// (March 31 less one month is the last day of February). Converted as ComputeDateBounds does.
void ComputeAgeBound(SearchCriteria& criteria, CalendarTime now, int amount, AgeUnit unit, const ZoneRule& zone);

// A size in bytes from a whole number and a unit index (0 = B, 1 = KB, 2 = MB, 3 = GB). A
// negative value counts as 0 and an unknown unit as bytes. Never wraps around.
uint64_t SizeBound(int value, int unitIndex);

void ComputeSizeBounds(SearchCriteria& criteria, int fromValue, int toValue, int unitIndex);
