// The file types a search wants. The page turns the typed patterns into
// SearchCriteria::fileType; the search prepares that text once, so that
// testing a file against several types costs about what one type costs.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class WantedTypes
{
public:
    // fileType: the wanted extensions without their "*.", separated by ';'.
    // An empty item or "*" means all files.
    explicit WantedTypes(const std::string& fileType);

    // type: a file's type as FileTypeOf gives it (lower case).
    bool Match(std::string_view type) const;
    bool AllFiles() const { return allFiles; }

private:
    bool allFiles = false;
    std::vector<std::string> types; // lower case
};

// The fileType of typed patterns such as "*.tmp; *.LOG": one or several items
// separated by ';', each beginning with "*." once the blanks around it are
// dropped; a ';' at the end ends the list. Nothing when an item is empty or
// does not begin with "*.".
std::optional<std::string> FileTypeOfPatterns(const std::string& typed);
