#include "help/UpdateReport.h"

#include "help/VersionFile.h"

std::string VersionFileRequest(const std::string& webHost)
{
    return "GET http://" + webHost + kVersionFilePath + " HTTP/1.0\r\n"
           "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n"
           "User-Agent: Mozilla/4.0\r\n"
           "Host: " + webHost + "\r\n"
           "Pragma: no-cache\r\n"
           "\r\n";
}

std::string CheckingText()
{
    return std::string("Checking for a new version of ") + kProductName + "\r\n\r\n";
}

std::string ConnectingLine(const std::string& webAddress)
{
    return "Connecting to " + webAddress + " ...\r\n";
}

std::string ConnectionFailureBlock()
{
    return "Cannot connect to Corvath\r\n"
           "Please check your internet connection, firewall and Windows firewall settings\r\n";
}

std::string VisitLine(const std::string& webAddress)
{
    return "Please visit " + webAddress + " to download the latest version\r\n";
}

std::string InformationFailureText(const std::string& webAddress)
{
    return "Getting information failed.\r\nWe recommend you to visit " + webAddress +
           ", to download and install the latest version\r\n";
}

std::string FinalReport(const std::string& progress, const std::string& reply, const std::string& webAddress)
{
    VersionReply parts = SplitVersionReply(reply);
    if (!parts.hasBody)
        return progress + "Failed\r\n" + VisitLine(webAddress);
    if (!parts.hasRecords)
        return progress + InformationFailureText(webAddress);
    std::vector<VersionRecord> records = ParseVersionRecords(parts.records);
    const VersionRecord* newest = NewestRecord(records);
    if (!newest)
        return progress + InformationFailureText(webAddress);

    std::string report;
    if (!parts.message.empty())
        report += parts.message + "\r\n\r\n\r\n";
    report += std::string("The latest version of ") + kProductName + " is " + std::to_string(newest->latestMajor) +
              "." + std::to_string(newest->latestMinor) + "\r\n";
    if (newest->latestMajor < kProgramMajor ||
        (newest->latestMajor == kProgramMajor && newest->latestMinor <= kProgramMinor))
        return report + "You have the latest version\r\n";

    // The note of the first record for this version; when there is one it stands in
    // for the advice, and is itself not shown.
    std::string upgradeNote;
    for (const VersionRecord& record : records)
    {
        if (record.fromMajor == kProgramMajor && record.fromMinor == kProgramMinor)
        {
            upgradeNote = record.note;
            break;
        }
    }
    if (upgradeNote.empty())
        report += std::string("You have ") + kProductName + " " + std::to_string(kProgramMajor) + "." +
                  std::to_string(kProgramMinor) + "\r\n" + "We recommend you to visit " + webAddress +
                  ", to download and install the latest version\r\n\r\n";
    return report;
}
