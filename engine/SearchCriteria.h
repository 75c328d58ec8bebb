#pragma once

#include <cstdint>
#include <string>

// The values are the indexes of the search page's drop-down choices, so an index converts with
// static_cast. A value outside the list is kept as it is and never passes a test.
enum class DateKind : int { Created = 0, Modified = 1, Accessed = 2 };
enum class DateCondition : int { Any = 0, Is = 1, IsBefore = 2, IsAfter = 3, IsBetween = 4 };
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

// What the search saw of a file besides its size, so that the deletion can tell
// whether the file is still the one the user saw listed.
struct FileStamp
{
    uint64_t creationTime = 0; // FILETIME units
    uint64_t writeTime = 0;
    // The attributes that make an entry something else than a plain file
    // (directory, reparse point); zero for a plain file.
    uint32_t kind = 0;

    bool operator==(const FileStamp&) const = default;
};

struct FoundFile
{
    std::string name;
    std::string type;
    std::string folder; // ends with a backslash; folder + name is the full path
    uint64_t size = 0;
    std::string dateText;
    // Marked for deletion: what the deletion worker reads.
    int selected = 0;
    // Selected in the result list. Kept apart from the mark, so a click during a
    // deletion cannot change what is deleted; only the page's thread writes it.
    bool rowSelected = false;
    // The tested time itself, so the Date column sorts by time and not by its text.
    int64_t testedTime = 0;
    FileStamp seen;
};
