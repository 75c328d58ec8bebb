#include "help/VersionFile.h"

#include <gtest/gtest.h>

namespace
{
VersionRecord Record(uint16_t latestMajor, uint16_t latestMinor, uint16_t fromMajor, uint16_t fromMinor,
                     const std::string& note = "")
{
    return VersionRecord{latestMajor, latestMinor, fromMajor, fromMinor, note};
}

// The record of one line, or a marker record when the line is skipped.
VersionRecord Line(const std::string& line)
{
    VersionRecord record = Record(7, 7, 7, 7, "<kept>");
    if (!ParseVersionLine(line, record))
        return Record(7, 7, 7, 7, "<skipped>");
    return record;
}

const VersionRecord kSkipped = Record(7, 7, 7, 7, "<skipped>");
}

TEST(VersionFile, LinesFollowTheFieldRules)
{
    EXPECT_EQ(Line("3;1.0;x"), Record(3, 0, 1, 0, "x"));
    EXPECT_EQ(Line("1.2;1.0;note;ignored"), Record(1, 2, 1, 0, "note"));
    EXPECT_EQ(Line("2.0;1.0;"), Record(2, 0, 1, 0));
    // Words are numbers of value 0, but a line needs two fields.
    EXPECT_EQ(Line("abc;def"), Record(0, 0, 0, 0));
    EXPECT_EQ(Line("abc"), kSkipped);
    EXPECT_EQ(Line("1.5"), kSkipped);
    EXPECT_EQ(Line("1.5;"), kSkipped);
    EXPECT_EQ(Line(""), kSkipped);
    // Runs of separators count as one, and leading ones are skipped.
    EXPECT_EQ(Line(";;;2.1;;;1.0;;;note"), Record(2, 1, 1, 0, "note"));
    EXPECT_EQ(Line("..2...3..;.1.;;"), Record(2, 3, 1, 0));
    // A field of dots only makes the line invalid, in either place.
    EXPECT_EQ(Line("...;1.0"), kSkipped);
    EXPECT_EQ(Line("2.0;.."), kSkipped);
}

TEST(VersionFile, NumbersAreReadLikeAtoiAndKeptIn16Bits)
{
    EXPECT_EQ(Line(" +4. 12x;\t1.0"), Record(4, 12, 1, 0));
    EXPECT_EQ(Line("-1.0;1.0"), Record(65535, 0, 1, 0));
    EXPECT_EQ(Line("65537.65536;1.0"), Record(1, 0, 1, 0));
    EXPECT_EQ(Line("x5.5x;1.0"), Record(0, 5, 1, 0));
    // Beyond the 32-bit range the number is held at its end before it is cut to 16 bits.
    EXPECT_EQ(Line("99999999999999999999.-99999999999999999999;1.0"), Record(0xFFFF, 0, 1, 0));
    // A line from a CR LF file: the carriage return is no part of a number.
    EXPECT_EQ(Line("1.3;1.0\r"), Record(1, 3, 1, 0));
}

TEST(VersionFile, RecordsKeepFileOrderAndSkipBadLines)
{
    std::vector<VersionRecord> records = ParseVersionRecords("\n1.1;1.0;a\n\nabc\n\r\n2.0;0.9\n1.5\nabc;def\n");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0], Record(1, 1, 1, 0, "a"));
    EXPECT_EQ(records[1], Record(2, 0, 0, 9));
    EXPECT_EQ(records[2], Record(0, 0, 0, 0));
    EXPECT_TRUE(ParseVersionRecords("").empty());
    EXPECT_TRUE(ParseVersionRecords("\n\n\n;;;\n...\n").empty());
}

TEST(VersionFile, NewestIsComparedAsNumbersAndTheFirstOfEqualsWins)
{
    std::vector<VersionRecord> records = {Record(1, 4, 1, 0), Record(1, 12, 1, 0), Record(1, 9, 1, 0)};
    ASSERT_NE(NewestRecord(records), nullptr);
    EXPECT_EQ(*NewestRecord(records), Record(1, 12, 1, 0));

    records = {Record(0, 9, 0, 0), Record(2, 0, 1, 0, "first"), Record(1, 65535, 0, 0), Record(2, 0, 0, 9, "second")};
    EXPECT_EQ(NewestRecord(records)->note, "first");
    EXPECT_EQ(NewestRecord({}), nullptr);
}

TEST(VersionFile, ReplySplitsAtTheHeaderEndThenAtTheFirstEmptyLine)
{
    VersionReply reply = SplitVersionReply("HTTP/1.0 200 OK\r\nA: b\r\n\r\n \t News\n more \n\n\n1.2;1.0\n\n3;1\r\n\r\n");
    EXPECT_TRUE(reply.hasBody);
    EXPECT_TRUE(reply.hasRecords);
    EXPECT_EQ(reply.message, "News\n more");
    EXPECT_EQ(reply.records, "\n1.2;1.0\n\n3;1\r\n\r\n");

    // The status line is not examined: an error page with the right shape is split the same way.
    reply = SplitVersionReply("HTTP/1.0 404 Not Found\r\n\r\n\n\n1.1;1.0");
    EXPECT_TRUE(reply.hasRecords);
    EXPECT_EQ(reply.message, "");
    EXPECT_EQ(reply.records, "1.1;1.0");

    // NUL bytes leave the message: shown, they would end the report there.
    const char nulInMessage[] = "HTTP/1.0 200 OK\r\n\r\n\0 Ne\0ws \0\n\n1.1;1.0\0";
    reply = SplitVersionReply(std::string(nulInMessage, sizeof(nulInMessage) - 1));
    EXPECT_EQ(reply.message, "News");
    EXPECT_EQ(reply.records, std::string("1.1;1.0\0", 8));
}

TEST(VersionFile, RepliesWithoutTheSeparatorsSayWhatIsMissing)
{
    for (const char* text : {"", "HTTP/1.0 200 OK\r\n", "HTTP/1.0 200 OK\n\nmsg\n\n1.1;1.0", "\r\n\r"})
    {
        VersionReply reply = SplitVersionReply(text);
        EXPECT_FALSE(reply.hasBody) << text;
        EXPECT_FALSE(reply.hasRecords) << text;
    }
    // Only the body is searched for the empty line.
    VersionReply reply = SplitVersionReply("HTTP/1.0 200 OK\n\nX: y\r\n\r\nbody");
    EXPECT_TRUE(reply.hasBody);
    EXPECT_FALSE(reply.hasRecords);
}
