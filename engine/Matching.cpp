#include "engine/Matching.h"

#include "engine/TextCase.h"

void FileTypeOf(std::string_view name, std::string& type)
{
    const size_t dot = name.rfind('.');
    type.assign(dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1));
    bool ascii = true;
    for (char& c : type)
    {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        else if ((unsigned char)c >= 0x80)
            ascii = false;
    }
    // Letters outside ASCII are the system's to lower.
    if (!ascii)
        type = LowerText(type);
}

std::string FileTypeOf(std::string_view name)
{
    std::string type;
    FileTypeOf(name, type);
    return type;
}

bool SizeMatches(const SearchCriteria& criteria, uint64_t size)
{
    switch (criteria.sizeCondition)
    {
    case SizeCondition::Any:
        return true;
    case SizeCondition::IsMoreThan:
        return size >= criteria.sizeFrom;
    case SizeCondition::IsLessThan:
        return size <= criteria.sizeFrom;
    case SizeCondition::IsBetween:
        return size >= criteria.sizeFrom && size <= criteria.sizeTo;
    }
    return false;
}

bool DateMatches(const SearchCriteria& criteria, int64_t testedTime)
{
    switch (criteria.dateCondition)
    {
    case DateCondition::Any:
        return true;
    case DateCondition::Is:
    case DateCondition::IsBetween:
        return testedTime >= criteria.dateFrom && testedTime <= criteria.dateTo;
    case DateCondition::IsBefore:
        return testedTime <= criteria.dateFrom;
    case DateCondition::IsAfter:
        return testedTime >= criteria.dateFrom;
    // An age's bound is a moment to the second: older is strictly before it.
    case DateCondition::IsOlderThan:
        return testedTime < criteria.dateFrom;
    case DateCondition::IsWithinLast:
        return testedTime >= criteria.dateFrom;
    }
    return false;
}

bool MatchEntry(const SearchCriteria& criteria, const WantedTypes& types, std::string_view name, uint64_t size,
                int64_t testedTime, std::string& type)
{
    // The cheap numeric tests first: most entries of a narrow search fail one of them.
    if (!SizeMatches(criteria, size) || !DateMatches(criteria, testedTime))
        return false;
    FileTypeOf(name, type);
    return types.Match(type);
}
