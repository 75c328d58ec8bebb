// The record of every deletion: deletions.csv in the user's Velmora folder, one
// line per chosen file, appended as each file is done, so that a program killed
// midway leaves the lines of what it did.
#pragma once

#include "engine/FoundFile.h"
#include "engine/LocalTime.h"
#include "engine/RecordText.h"

#include <windows.h>

#include <string>

class DeletionRecord
{
public:
    // Past this size the record becomes "deletions.1.csv" and a new one starts.
    static const uint64_t kRollOverBytes = 10ull * 1024 * 1024;

    // path: the record's file; empty keeps no record.
    DeletionRecord(const std::string& path, const ZoneRule& zone);
    ~DeletionRecord();
    DeletionRecord(const DeletionRecord&) = delete;
    DeletionRecord& operator=(const DeletionRecord&) = delete;

    // Appends the file's line now; false when it could not be written. A record
    // that cannot be opened (another program holds it) is tried again at the next line.
    bool Add(const ChosenFile& file, DeletionOutcome outcome, const std::string& reason);
    // Where the record of `path` goes when it rolls over.
    static std::string RolledPath(const std::string& path);

private:
    const std::string path;
    const ZoneRule zone;
    HANDLE file = INVALID_HANDLE_VALUE;
    uint64_t size = 0;

    bool Open();
    bool Write(const std::string& text);
    // The full record moves aside, replacing an older one, and a new one starts.
    bool RollOver();
};
