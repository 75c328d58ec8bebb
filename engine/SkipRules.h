// The folders a search leaves out, as typed on the search page: folder paths,
// each skipped with everything below it, and name patterns with * and ? that
// skip every folder whose own name they match. Compared without regard to case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class SkipRules
{
public:
    // The longest path the system takes, in UTF-16 units: a longer entry can name no folder.
    static const size_t kMaxEntryLength = 32767;

    // Entries separated by ';', each trimmed of blanks; empty ones are ignored. An entry holding
    // '\' is a folder path, any other a name pattern. False, with no rule kept, when an entry is
    // longer than kMaxEntryLength; `tooLong` then holds that entry.
    bool Parse(const std::string& utf8Text, std::string& tooLong);
    bool Empty() const;
    // Whether the folder (a full path in its long or \\?\ / \\?\UNC\ form, with or without a
    // trailing backslash) is skipped: equal to or below a path entry, or its own name matching a
    // pattern entry. A disk's or a share's root has no name of its own to match.
    bool Skips(std::wstring_view folderPath) const;

private:
    // Lower case, in the long form, ending with a backslash.
    std::vector<std::wstring> paths;
    // Lower case.
    std::vector<std::wstring> patterns;
};
