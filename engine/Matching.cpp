#include "engine/Matching.h"

#include "engine/TextCase.h"

std::string FileTypeOf(const std::string& name)
{
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return std::string();
    return LowerText(name.substr(dot + 1));
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
    }
    return false;
}

bool MatchEntry(const SearchCriteria& criteria, const WantedTypes& types, const std::string& name,
                const std::string& folder, uint64_t size, int64_t testedTime, const ZoneRule& zone, FoundFile& hit)
{
    // The cheap numeric tests first: most entries of a narrow search fail one of them.
    if (!SizeMatches(criteria, size) || !DateMatches(criteria, testedTime))
        return false;
    std::string type = FileTypeOf(name);
    if (!types.Match(type))
        return false;
    hit.name = name;
    hit.type = std::move(type);
    hit.folder = folder;
    hit.size = size;
    hit.dateText = FormatDateText(SecondsToLocal(testedTime, zone));
    hit.selected = 0;
    hit.testedTime = testedTime;
    return true;
}
