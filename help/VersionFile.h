// The version file served by the update server: an HTTP/1.0 reply whose body is a
// free message, an empty line, then one record per line ("latest;installed;note").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct VersionRecord
{
    uint16_t latestMajor = 0;
    uint16_t latestMinor = 0;
    // The installed version this line addresses.
    uint16_t fromMajor = 0;
    uint16_t fromMinor = 0;
    std::string note;

    bool operator==(const VersionRecord&) const = default;
};

// The parts of a reply. The status line and the headers are never looked at.
struct VersionReply
{
    // False when the reply has no "\r\n\r\n": nothing of a body arrived.
    bool hasBody = false;
    // False when the body has no "\n\n" between the message and the records.
    bool hasRecords = false;
    // The text before the first "\n\n" without its NUL bytes, trimmed of white space at both ends.
    std::string message;
    // Everything after that "\n\n".
    std::string records;
};

VersionReply SplitVersionReply(std::string_view reply);

// The records of the lines after the message, in file order. Lines whose first or
// second field is missing or holds only dots are skipped.
std::vector<VersionRecord> ParseVersionRecords(std::string_view records);

// One line's record; false when the line is skipped.
bool ParseVersionLine(std::string_view line, VersionRecord& record);

// The record with the greatest latest version, the earliest of equal ones; null when there is none.
const VersionRecord* NewestRecord(const std::vector<VersionRecord>& records);
