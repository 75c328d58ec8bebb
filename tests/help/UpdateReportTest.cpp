#include "help/UpdateReport.h"

#include <gtest/gtest.h>

namespace
{
const std::string kAddress = "http://www.example.test";
const std::string kProgress = "Connecting to http://www.example.test ...\r\nConnected\r\nGetting information\r\n";
const std::string kAdvice = "We recommend you to visit http://www.example.test, to download and install the latest "
                            "version\r\n\r\n";

std::string Report(const std::string& body)
{
    return FinalReport(kProgress, "HTTP/1.0 200 OK\r\nServer: x\r\n\r\n" + body, kAddress);
}
}

TEST(UpdateReport, RequestIsOneHttp10GetWithTheFixedHeaders)
{
    EXPECT_EQ(VersionFileRequest("www.maker.test"),
              "GET http://www.maker.test/www/download/velmora/Version.Txt HTTP/1.0\r\n"
              "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n"
              "User-Agent: Mozilla/4.0\r\n"
              "Host: www.maker.test\r\n"
              "Pragma: no-cache\r\n"
              "\r\n");
}

TEST(UpdateReport, NoNewerVersionSaysSo)
{
    EXPECT_EQ(Report("Hello users\n\n0.9;0.8\n1.0;0.9;upgrade\n"),
              "Hello users\r\n\r\n\r\nThe latest version of Velmora is 1.0\r\nYou have the latest version\r\n");
    // Without a message paragraph the report starts with the version line; the progress lines go.
    EXPECT_EQ(Report("\n\n0.5;0.4\n"), "The latest version of Velmora is 0.5\r\nYou have the latest version\r\n");
    EXPECT_EQ(Report(" \r\n \n\n1.0;1.0"), "The latest version of Velmora is 1.0\r\nYou have the latest version\r\n");
}

TEST(UpdateReport, NewerVersionWithANoteForThisVersionEndsAtTheVersionLine)
{
    EXPECT_EQ(Report("News\n\n1.1;1.0;note\n2.0;1.0;\n"), "News\r\n\r\n\r\nThe latest version of Velmora is 2.0\r\n");
}

TEST(UpdateReport, NewerVersionWithoutANoteAdvisesTheVisit)
{
    EXPECT_EQ(Report("News\n\n1.1;1.0\n2.0;1.0;\n1.4;0.9;other\n"),
              "News\r\n\r\n\r\nThe latest version of Velmora is 2.0\r\nYou have Velmora 1.0\r\n" + kAdvice);
    // The note must belong to version 1.0; the first record for 1.0 decides.
    EXPECT_EQ(Report("\n\n1.12;0.9;old\n1.4;1.0;\n1.5;1.0;late\n"),
              "The latest version of Velmora is 1.12\r\nYou have Velmora 1.0\r\n" + kAdvice);
    EXPECT_EQ(Report("\n\n3;1.0;x\n"), "The latest version of Velmora is 3.0\r\n");
}

TEST(UpdateReport, BrokenRepliesKeepTheProgressAndNameTheFailure)
{
    EXPECT_EQ(FinalReport(kProgress, "", kAddress),
              kProgress + "Failed\r\nPlease visit http://www.example.test to download the latest version\r\n");
    EXPECT_EQ(FinalReport(kProgress, "HTTP/1.0 200 OK\r\nContent-Length: 10\r\n", kAddress),
              kProgress + "Failed\r\nPlease visit http://www.example.test to download the latest version\r\n");

    const std::string informationFailure = kProgress + "Getting information failed.\r\nWe recommend you to visit "
                                                       "http://www.example.test, to download and install the latest "
                                                       "version\r\n";
    // An error page: one paragraph, no records.
    EXPECT_EQ(Report("<html>Not found</html>"), informationFailure);
    EXPECT_EQ(Report("News\r\n\r\n1.2;1.0;x\r\n"), informationFailure);
    EXPECT_EQ(Report("News\n\nabc\n1.5\n\n"), informationFailure);
    EXPECT_EQ(Report("News\n\n"), informationFailure);
}
