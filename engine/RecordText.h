// The texts of the deletion record: one CSV record per chosen file. No Windows
// API, so they are tested natively too.
#pragma once

#include "engine/LocalTime.h"

#include <cstdint>
#include <string>
#include <vector>

// One CSV record ending in CRLF: a field holding a comma, a quote or a line
// break is quoted, with its quotes doubled.
std::string CsvRecord(const std::vector<std::string>& fields);

// What became of a chosen file.
enum class DeletionOutcome
{
    Deleted,
    Recycled,
    Skipped,
    Changed,
    Failed,
};

// The record's first line.
std::string DeletionRecordHeading();
// "YYYY-MM-DD hh:mm:ss".
std::string RecordTimeText(const CalendarTime& local);
// A line of the record: when, which file, its size and date as the list shows
// them, its outcome and, for all but a deletion or recycling, why.
std::string DeletionRecordLine(const std::string& time, const std::string& path, uint64_t size,
                               const std::string& date, DeletionOutcome outcome, const std::string& reason);
