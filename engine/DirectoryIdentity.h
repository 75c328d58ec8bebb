// Tells directories apart whatever path reached them, so a folder reached again
// through a link, or listed inside another location, is walked once.
#pragma once

#include <string>
#include <unordered_set>

class DirectoryIdentity
{
public:
    // True the first time a directory is met; false when it was met before.
    // A directory whose identity cannot be read counts as new: skipping a
    // folder that was never walked would lose files.
    bool FirstVisit(const std::wstring& path);

private:
    std::unordered_set<std::wstring> seen;
};
