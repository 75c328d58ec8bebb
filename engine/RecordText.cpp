#include "engine/RecordText.h"

#include <cstdio>

std::string CsvRecord(const std::vector<std::string>& fields)
{
    std::string record;
    for (size_t i = 0; i < fields.size(); i++)
    {
        if (i > 0)
            record += ',';
        const std::string& field = fields[i];
        if (field.find_first_of(",\"\r\n") == std::string::npos)
        {
            record += field;
            continue;
        }
        record += '"';
        for (char c : field)
        {
            if (c == '"')
                record += '"';
            record += c;
        }
        record += '"';
    }
    return record + "\r\n";
}

std::string DeletionRecordHeading()
{
    return CsvRecord({"Time", "Path", "Size", "Modified", "Outcome", "Reason"});
}

std::string RecordTimeText(const CalendarTime& local)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%04d-%02d-%02d %02d:%02d:%02d", local.year, local.month, local.day, local.hour,
                  local.minute, local.second);
    return text;
}

std::string DeletionRecordLine(const std::string& time, const std::string& path, uint64_t size,
                               const std::string& date, DeletionOutcome outcome, const std::string& reason)
{
    static const char* const kOutcomes[] = {"deleted", "recycled", "skipped", "changed", "failed"};
    const bool done = outcome == DeletionOutcome::Deleted || outcome == DeletionOutcome::Recycled;
    return CsvRecord({time, path, std::to_string(size), date, kOutcomes[static_cast<int>(outcome)],
                      done ? std::string() : reason});
}
