#include "search_page/KeptSearch.h"

#include <array>
#include <charconv>
#include <climits>
#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <string_view>

namespace
{
const char kHeader[] = "Velmora search, version 1";

// The drop-down lists' entries by index, as the file names them.
const std::vector<std::string_view> kDateKinds = {"created", "modified", "accessed"};
const std::vector<std::string_view> kDateConditions = {"any",        "is",            "is before",         "is after",
                                                       "is between", "is older than", "is within the last"};
const std::vector<std::string_view> kDateModes = {"date", "date and time"};
const std::vector<std::string_view> kAgeUnits = {"days", "weeks", "months", "years"};
const std::vector<std::string_view> kSizeConditions = {"any", "is more than", "is less than", "is between"};
const std::vector<std::string_view> kSizeUnits = {"B", "KB", "MB", "GB"};
const std::vector<std::string_view> kFileChoices = {"type", "all"};
const std::vector<std::string_view> kYesNo = {"no", "yes"};
// A line an earlier version did not write: its absence gives the first state.
const char kRecycleName[] = "recycle bin";

const int kLatestYear = 30827;
const int kEarliestYear = 1601;

// A value stays on its line whatever the user typed into a box.
std::string OneLine(std::string value)
{
    for (char& c : value)
    {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return value;
}

bool ReadNumber(std::string_view text, int lowest, int highest, int& value)
{
    int read = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), read);
    if (error != std::errc() || end != text.data() + text.size() || read < lowest || read > highest)
        return false;
    value = read;
    return true;
}

bool ReadChoice(std::string_view text, const std::vector<std::string_view>& choices, int& index)
{
    for (size_t i = 0; i < choices.size(); i++)
    {
        if (choices[i] == text)
        {
            index = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

// Three numbers joined by `separator`, each within its own bounds.
bool ReadTriple(std::string_view text, char separator, const std::array<std::array<int, 2>, 3>& bounds,
                std::array<int, 3>& parts)
{
    for (size_t i = 0; i < parts.size(); i++)
    {
        const size_t end = i + 1 < parts.size() ? text.find(separator) : text.size();
        if (end == std::string_view::npos || !ReadNumber(text.substr(0, end), bounds[i][0], bounds[i][1], parts[i]))
            return false;
        text.remove_prefix(i + 1 < parts.size() ? end + 1 : end);
    }
    return true;
}

bool ReadDate(std::string_view text, KeptDate& date)
{
    std::array<int, 3> parts = {};
    if (!ReadTriple(text, '-', {{{kEarliestYear, kLatestYear}, {1, 12}, {1, 31}}}, parts))
        return false;
    const bool leap = (parts[0] % 4 == 0 && parts[0] % 100 != 0) || parts[0] % 400 == 0;
    const int monthDays[] = {31, leap ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (parts[2] > monthDays[parts[1] - 1])
        return false;
    date = {parts[0], parts[1], parts[2]};
    return true;
}

bool ReadTime(std::string_view text, KeptTime& time)
{
    std::array<int, 3> parts = {};
    if (!ReadTriple(text, ':', {{{0, 23}, {0, 59}, {0, 59}}}, parts))
        return false;
    time = {parts[0], parts[1], parts[2]};
    return true;
}

std::string DateText(const KeptDate& date)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

std::string TimeText(const KeptTime& time)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%02d:%02d:%02d", time.hour, time.minute, time.second);
    return text;
}

std::string ChoiceText(const std::vector<std::string_view>& choices, int index)
{
    return std::string(index >= 0 && index < (int)choices.size() ? choices[index] : choices[0]);
}
}

std::string KeptSearch::Format() const
{
    std::string text = std::string(kHeader) + "\r\n";
    auto line = [&text](const char* name, const std::string& value) {
        text += std::string(name) + "=" + OneLine(value) + "\r\n";
    };
    for (const std::string& location : locations)
        line("location", location);
    line("files", ChoiceText(kFileChoices, allFiles ? 1 : 0));
    line("type", fileType);
    line("date", ChoiceText(kDateKinds, dateKind));
    line("date condition", ChoiceText(kDateConditions, dateCondition));
    line("date mode", ChoiceText(kDateModes, dateMode));
    line("from date", DateText(fromDate));
    line("from time", TimeText(fromTime));
    line("to date", DateText(toDate));
    line("to time", TimeText(toTime));
    line("age", std::to_string(ageAmount));
    line("age unit", ChoiceText(kAgeUnits, ageUnit));
    line("size condition", ChoiceText(kSizeConditions, sizeCondition));
    line("size unit", ChoiceText(kSizeUnits, sizeUnit));
    line("size from", std::to_string(sizeFrom));
    line("size to", std::to_string(sizeTo));
    line("skip folders", skipFolders);
    line(kRecycleName, ChoiceText(kYesNo, recycle ? 1 : 0));
    return text;
}

bool KeptSearch::ReadAge(std::string_view text, int& amount)
{
    return ReadNumber(text, 1, kLargestAge, amount);
}

bool KeptSearch::Parse(const std::string& text)
{
    KeptSearch read;
    int files = 1;
    int recycle = 0;
    // Every value but the locations is read once and must be present.
    const std::map<std::string_view, std::function<bool(std::string_view)>> readers = {
        {"files", [&](std::string_view v) { return ReadChoice(v, kFileChoices, files); }},
        {"type",
         [&](std::string_view v) {
             read.fileType = std::string(v);
             return true;
         }},
        {"date", [&](std::string_view v) { return ReadChoice(v, kDateKinds, read.dateKind); }},
        {"date condition", [&](std::string_view v) { return ReadChoice(v, kDateConditions, read.dateCondition); }},
        {"date mode", [&](std::string_view v) { return ReadChoice(v, kDateModes, read.dateMode); }},
        {"from date", [&](std::string_view v) { return ReadDate(v, read.fromDate); }},
        {"from time", [&](std::string_view v) { return ReadTime(v, read.fromTime); }},
        {"to date", [&](std::string_view v) { return ReadDate(v, read.toDate); }},
        {"to time", [&](std::string_view v) { return ReadTime(v, read.toTime); }},
        {"age", [&](std::string_view v) { return ReadAge(v, read.ageAmount); }},
        {"age unit", [&](std::string_view v) { return ReadChoice(v, kAgeUnits, read.ageUnit); }},
        {"size condition", [&](std::string_view v) { return ReadChoice(v, kSizeConditions, read.sizeCondition); }},
        {"size unit", [&](std::string_view v) { return ReadChoice(v, kSizeUnits, read.sizeUnit); }},
        {"size from", [&](std::string_view v) { return ReadNumber(v, 0, INT_MAX, read.sizeFrom); }},
        {"size to", [&](std::string_view v) { return ReadNumber(v, 0, INT_MAX, read.sizeTo); }},
        {"skip folders",
         [&](std::string_view v) {
             read.skipFolders = std::string(v);
             return true;
         }},
        {kRecycleName, [&](std::string_view v) { return ReadChoice(v, kYesNo, recycle); }},
    };
    std::set<std::string_view> seen;
    std::string_view rest = text;
    bool first = true;
    while (!rest.empty())
    {
        size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (first)
        {
            if (line != kHeader)
                return false;
            first = false;
            continue;
        }
        if (line.empty())
            continue;
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            return false;
        const std::string_view name = line.substr(0, equals);
        const std::string_view value = line.substr(equals + 1);
        if (name == "location")
        {
            if (value.empty())
                return false;
            read.locations.emplace_back(value);
            continue;
        }
        auto reader = readers.find(name);
        if (reader == readers.end() || !seen.insert(name).second || !reader->second(value))
            return false;
    }
    if (first || seen.size() + (seen.count(kRecycleName) ? 0 : 1) != readers.size())
        return false;
    read.allFiles = files == 1;
    read.recycle = recycle == 1;
    *this = std::move(read);
    return true;
}
