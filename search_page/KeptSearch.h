// The search page's last search, kept for the next start: every criterion and
// location as the user left them, in a text a person can read and edit. A
// damaged or unknown text gives nothing, and the page keeps its first state.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The ages the number box takes: 1 to this many days, weeks, months or years.
inline constexpr int kLargestAge = 9999;

struct KeptDate
{
    int year = 0;
    int month = 0;
    int day = 0;
};

struct KeptTime
{
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class KeptSearch
{
public:
    std::vector<std::string> locations;
    bool allFiles = true;
    std::string fileType = "*.doc";
    // The drop-down lists' indexes, as the page's lists hold them.
    int dateKind = 1;
    int dateCondition = 0;
    int dateMode = 0;
    KeptDate fromDate;
    KeptTime fromTime;
    KeptDate toDate;
    KeptTime toTime = {23, 59, 59};
    // An age, not a date: the same search a month later looks a month later.
    int ageAmount = 30;
    int ageUnit = 0;
    int sizeCondition = 0;
    int sizeUnit = 2;
    int sizeFrom = 0;
    int sizeTo = 10;
    std::string skipFolders;
    // Deletions go to the Recycle Bin. A file written before there was a choice
    // has no line for it and keeps the first state.
    bool recycle = false;

    // UTF-8, one "name=value" line each, after a first line that names the format.
    std::string Format() const;
    // False, leaving this search as it was, when the text is not wholly of this format.
    bool Parse(const std::string& text);
    // An age's amount as the number box holds it: a whole number from 1 to kLargestAge, nothing else.
    static bool ReadAge(std::string_view text, int& amount);
};
