// What the search learns of a single entry: its tested time, whether it is a
// link or kept online only, and whether its volume keeps access times.
#include "engine/AccessTimes.h"
#include "engine/FileStamp.h"
#include "engine/FolderWalk.h"
#include "engine/LocalTime.h"
#include "engine/LocalZone.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

TEST(TestedTimeOfFileTime, AgreesWithTheSystemsConversion)
{
    ZoneRule zone = CurrentZoneRule();
    int bias = CurrentBias();
    for (const char* text : {"1999-12-31 23:59:59", "2024-03-10 02:30:00", "2024-07-15 16:00:00", "2038-01-19 03:14:08"})
    {
        SYSTEMTIME utc = {};
        sscanf(text, "%hu-%hu-%hu %hu:%hu:%hu", &utc.wYear, &utc.wMonth, &utc.wDay, &utc.wHour, &utc.wMinute,
               &utc.wSecond);
        FILETIME fileTime, localTime;
        SystemTimeToFileTime(&utc, &fileTime);
        FileTimeToLocalFileTime(&fileTime, &localTime);
        SYSTEMTIME local;
        FileTimeToSystemTime(&localTime, &local);
        CalendarTime fields = {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
        EXPECT_EQ(TestedTimeOfFileTime(fileTime, bias, zone), LocalToSeconds(fields, zone)) << text;
    }
    FILETIME beforeCalendar = {0, 0};
    EXPECT_EQ(TestedTimeOfFileTime(beforeCalendar, bias, zone), 0);
    FILETIME outOfRange = {0xFFFFFFFF, 0xFFFFFFFF};
    EXPECT_EQ(TestedTimeOfFileTime(outOfRange, bias, zone), 0);
}

// Only entries that stand for another one are links; a cloud placeholder folder
// is walked and a placeholder file is a file, before its deletion too.
TEST(ReparsePoints, OnlySymbolicLinksJunctionsAndMountPointsAreLinks)
{
    const DWORD reparse = FILE_ATTRIBUTE_REPARSE_POINT;
    const DWORD folder = FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY;
    for (DWORD tag : {DWORD(IO_REPARSE_TAG_SYMLINK), DWORD(IO_REPARSE_TAG_MOUNT_POINT)})
    {
        EXPECT_TRUE(IsLink(folder, tag)) << std::hex << tag;
        EXPECT_TRUE(IsLink(reparse, tag)) << std::hex << tag;
    }
    for (DWORD tag : {DWORD(IO_REPARSE_TAG_CLOUD_6), DWORD(IO_REPARSE_TAG_DEDUP), DWORD(IO_REPARSE_TAG_APPEXECLINK)})
    {
        EXPECT_FALSE(IsLink(folder, tag)) << std::hex << tag;
        EXPECT_FALSE(IsLink(reparse, tag)) << std::hex << tag;
    }
    // Without the attribute the tag field means nothing; with it and no tag told, careful.
    EXPECT_FALSE(IsLink(FILE_ATTRIBUTE_DIRECTORY, IO_REPARSE_TAG_SYMLINK));
    EXPECT_TRUE(IsLink(folder, 0));

    WIN32_FIND_DATAW listed = {};
    listed.dwFileAttributes = reparse | FILE_ATTRIBUTE_ARCHIVE;
    listed.dwReserved0 = IO_REPARSE_TAG_CLOUD_6;
    listed.nFileSizeLow = 4096;
    FoundFile placeholder;
    RecordSeen(placeholder, listed);
    EXPECT_EQ(placeholder.kind & (kKindDirectory | kKindLink), 0);
    WIN32_FILE_ATTRIBUTE_DATA now = {};
    now.dwFileAttributes = listed.dwFileAttributes;
    now.nFileSizeLow = listed.nFileSizeLow;
    const ChosenFile chosen = ChosenFileOf(placeholder, 0);
    EXPECT_TRUE(StillAsSeen(chosen, now, IO_REPARSE_TAG_CLOUD_6));
    // Opened since the search, its data came here: the same file still.
    now.dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
    EXPECT_TRUE(StillAsSeen(chosen, now, 0));
    // The same name turned into a symbolic link since the search is not the file listed.
    now.dwFileAttributes = reparse;
    EXPECT_FALSE(StillAsSeen(chosen, now, IO_REPARSE_TAG_SYMLINK));
}

// The attribute and tag values Windows reports, which Wine cannot make.
TEST(ReparsePoints, CloudFilesAreOnlineOnlyAndAliasesAndSpecialFilesAreNeverListed)
{
    const DWORD reparse = FILE_ATTRIBUTE_REPARSE_POINT;
    const DWORD recallOnDataAccess = 0x00400000;
    const DWORD recallOnOpen = 0x00040000;
    const struct
    {
        DWORD attributes;
        DWORD tag;
        bool onlineOnly;
        bool special;
    } cases[] = {
        {FILE_ATTRIBUTE_ARCHIVE, 0, false, false},
        {FILE_ATTRIBUTE_ARCHIVE | recallOnDataAccess, 0, true, false},
        {FILE_ATTRIBUTE_ARCHIVE | recallOnOpen, 0, true, false},
        {FILE_ATTRIBUTE_OFFLINE, 0, true, false},
        {reparse | recallOnDataAccess, IO_REPARSE_TAG_CLOUD, true, false},
        {reparse, IO_REPARSE_TAG_CLOUD_3, true, false},
        {reparse, IO_REPARSE_TAG_CLOUD_F, true, false},
        // A tag is read only with the reparse attribute.
        {FILE_ATTRIBUTE_ARCHIVE, IO_REPARSE_TAG_CLOUD_3, false, false},
        {reparse, IO_REPARSE_TAG_DEDUP, false, false},
        {reparse, IO_REPARSE_TAG_SYMLINK, false, false},
        {reparse, IO_REPARSE_TAG_APPEXECLINK, false, true},
        {reparse, 0x80000024, false, true}, // the Linux subsystem's FIFO
        {reparse, 0x80000025, false, true}, // character device
        {reparse, 0x80000026, false, true}, // block device
        {reparse, IO_REPARSE_TAG_AF_UNIX, false, true},
        {FILE_ATTRIBUTE_ARCHIVE, IO_REPARSE_TAG_APPEXECLINK, false, false},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(IsOnlineOnly(c.attributes, c.tag), c.onlineOnly) << std::hex << c.attributes << " " << c.tag;
        EXPECT_EQ(IsSpecialFile(c.attributes, c.tag), c.special) << std::hex << c.attributes << " " << c.tag;
        WIN32_FIND_DATAW entry = {};
        entry.dwFileAttributes = c.attributes;
        entry.dwReserved0 = c.tag;
        FoundFile row;
        RecordSeen(row, entry);
        EXPECT_EQ((row.kind & kKindOnlineOnly) != 0, c.onlineOnly) << std::hex << c.attributes << " " << c.tag;
    }
}

TEST(AccessTimes, EachVolumeIsJudgedByItsOwnFileSystemsSetting)
{
    const std::optional<uint32_t> unset;
    const std::pair<VolumeAccessFacts, bool> cases[] = {
        {{false, "NTFS", unset, unset}, true},       {{false, "ntfs", 0x80000002, 0x1}, true},
        {{false, "NTFS", 0x80000003, unset}, false}, {{false, "ReFS", 0x0, unset}, false},
        {{false, "ReFS", 0x1, 0x80000000}, true},    {{false, "ReFS", 0x0, 0x1}, false},
        {{true, "NTFS", 0x0, 0x0}, false},           {{false, "FAT32", 0x0, 0x0}, false},
        {{false, "", unset, unset}, false},
    };
    for (const auto& [volume, records] : cases)
        EXPECT_EQ(VolumeRecordsAccessTimes(volume), records) << volume.fileSystem << (volume.remote ? " remote" : "");
    EXPECT_FALSE(LocationsRecordAccessTimes({"\\\\no-such-server\\share\\documents"}));
}
