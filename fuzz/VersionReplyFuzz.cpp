#include "help/UpdateReport.h"
#include "help/VersionFile.h"

#include <cstdlib>
#include <string>

namespace
{
bool IsSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool Older(const VersionRecord& a, const VersionRecord& b)
{
    return a.latestMajor < b.latestMajor || (a.latestMajor == b.latestMajor && a.latestMinor < b.latestMinor);
}
}

// Whatever a server sends: the parts are pieces of the reply, the newest record is
// no older than any other, and the report is whole lines that a text box shows whole.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string reply(reinterpret_cast<const char*>(data), size);
    VersionReply parts = SplitVersionReply(reply);
    if (parts.hasRecords && !parts.hasBody)
        abort();
    if (!parts.message.empty() && (IsSpace(parts.message.front()) || IsSpace(parts.message.back())))
        abort();
    if (parts.message.size() + parts.records.size() > reply.size() ||
        reply.compare(reply.size() - parts.records.size(), parts.records.size(), parts.records) != 0)
        abort();

    std::vector<VersionRecord> records = ParseVersionRecords(parts.records);
    if (const VersionRecord* newest = NewestRecord(records))
    {
        for (const VersionRecord& record : records)
        {
            if (Older(*newest, record))
                abort();
        }
    }
    else if (!records.empty())
        abort();

    std::string report = FinalReport("progress\r\n", reply, "http://www.example.test");
    if (report.size() < 2 || report.compare(report.size() - 2, 2, "\r\n") != 0)
        abort();
    // The text box shows the report only up to a NUL byte.
    if (report.find('\0') != std::string::npos)
        abort();
    return 0;
}
