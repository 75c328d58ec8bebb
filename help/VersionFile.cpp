#include "help/VersionFile.h"

#include <climits>

namespace
{
const char kWhiteSpace[] = " \t\r\n\v\f";

bool IsSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The parts of `text` between separators; runs of separators count as one and
// separators at either end give no empty parts.
std::vector<std::string_view> SplitSkippingEmpty(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (start < text.size())
    {
        size_t end = text.find(separator, start);
        if (end == std::string_view::npos)
            end = text.size();
        if (end > start)
            parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// The leading decimal number (white space, optional sign, digits) held at the
// ends of the 32-bit range, then kept in 16 bits; 0 when there is no number.
uint16_t ReadNumber(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        i++;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; i++)
    {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX)
            value = negative ? -(long long)INT_MIN : INT_MAX;
    }
    if (negative)
        value = -value;
    return static_cast<uint16_t>(value);
}

// A version field: major and minor; false when it holds nothing but dots.
bool ReadVersion(std::string_view field, uint16_t& major, uint16_t& minor)
{
    std::vector<std::string_view> parts = SplitSkippingEmpty(field, '.');
    if (parts.empty())
        return false;
    major = ReadNumber(parts[0]);
    minor = parts.size() > 1 ? ReadNumber(parts[1]) : 0;
    return true;
}
}

VersionReply SplitVersionReply(std::string_view reply)
{
    VersionReply parts;
    size_t headerEnd = reply.find("\r\n\r\n");
    if (headerEnd == std::string_view::npos)
        return parts;
    parts.hasBody = true;
    std::string_view body = reply.substr(headerEnd + 4);
    size_t messageEnd = body.find("\n\n");
    if (messageEnd == std::string_view::npos)
        return parts;
    parts.hasRecords = true;
    // A text box ends its text at a NUL byte: the rest of the report would not show.
    std::string message(body.substr(0, messageEnd));
    std::erase(message, '\0');
    size_t first = message.find_first_not_of(kWhiteSpace);
    if (first != std::string::npos)
        parts.message = message.substr(first, message.find_last_not_of(kWhiteSpace) - first + 1);
    parts.records = body.substr(messageEnd + 2);
    return parts;
}

bool ParseVersionLine(std::string_view line, VersionRecord& record)
{
    std::vector<std::string_view> fields = SplitSkippingEmpty(line, ';');
    if (fields.size() < 2)
        return false;
    VersionRecord parsed;
    if (!ReadVersion(fields[0], parsed.latestMajor, parsed.latestMinor) ||
        !ReadVersion(fields[1], parsed.fromMajor, parsed.fromMinor))
        return false;
    if (fields.size() > 2)
        parsed.note = fields[2];
    record = std::move(parsed);
    return true;
}

std::vector<VersionRecord> ParseVersionRecords(std::string_view records)
{
    std::vector<VersionRecord> parsed;
    for (std::string_view line : SplitSkippingEmpty(records, '\n'))
    {
        VersionRecord record;
        if (ParseVersionLine(line, record))
            parsed.push_back(std::move(record));
    }
    return parsed;
}

const VersionRecord* NewestRecord(const std::vector<VersionRecord>& records)
{
    const VersionRecord* newest = nullptr;
    for (const VersionRecord& record : records)
    {
        if (!newest || record.latestMajor > newest->latestMajor ||
            (record.latestMajor == newest->latestMajor && record.latestMinor > newest->latestMinor))
            newest = &record;
    }
    return newest;
}
