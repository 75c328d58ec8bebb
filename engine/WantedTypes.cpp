#include "engine/WantedTypes.h"

#include "engine/TextCase.h"

namespace
{
const char kSeparator = ';';

std::vector<std::string> Split(const std::string& text)
{
    std::vector<std::string> items;
    size_t start = 0;
    for (size_t end = text.find(kSeparator); end != std::string::npos; end = text.find(kSeparator, start))
    {
        items.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    items.push_back(text.substr(start));
    return items;
}

std::string Trimmed(const std::string& text)
{
    const char* blanks = " \t";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}
}

WantedTypes::WantedTypes(const std::string& fileType)
{
    for (const std::string& item : Split(fileType))
    {
        if (item.empty() || item == "*")
            allFiles = true;
        else
            types.push_back(LowerText(item));
    }
}

bool WantedTypes::Match(std::string_view type) const
{
    if (allFiles)
        return true;
    // Literal comparison: a '?' or '*' in a wanted type is an ordinary character.
    for (const std::string& wanted : types)
    {
        if (wanted == type)
            return true;
    }
    return false;
}

std::optional<std::string> FileTypeOfPatterns(const std::string& typed)
{
    std::vector<std::string> items = Split(typed);
    if (items.size() > 1 && Trimmed(items.back()).empty())
        items.pop_back();
    std::string fileType;
    for (const std::string& item : items)
    {
        std::string pattern = Trimmed(item);
        if (pattern.size() < 2 || pattern[0] != '*' || pattern[1] != '.')
            return std::nullopt;
        if (&item != &items.front())
            fileType += kSeparator;
        fileType += pattern.substr(2);
    }
    return fileType;
}
