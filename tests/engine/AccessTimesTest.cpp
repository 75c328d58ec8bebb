#include "engine/AccessTimes.h"

#include <gtest/gtest.h>

TEST(AccessTimes, EachVolumeIsJudgedByItsOwnFileSystemsSetting)
{
    struct Case
    {
        const char* what;
        VolumeAccessFacts volume;
        bool records;
    };
    const std::optional<uint32_t> unset;
    const Case cases[] = {
        {"NTFS without a setting: Windows' old default", {false, "NTFS", unset, unset}, true},
        {"NTFS, updates on by the user", {false, "NTFS", 0x0, unset}, true},
        {"NTFS, updates on by the system", {false, "NTFS", 0x80000002, unset}, true},
        {"NTFS, updates off by the user", {false, "NTFS", 0x1, unset}, false},
        {"NTFS, updates off by the system", {false, "NTFS", 0x80000003, unset}, false},
        {"NTFS, whatever ReFS's setting says", {false, "NTFS", 0x0, 0x1}, true},
        {"ReFS without a setting of its own", {false, "ReFS", 0x0, unset}, false},
        {"ReFS, updates on", {false, "ReFS", 0x1, 0x80000000}, true},
        {"ReFS, updates off", {false, "ReFS", 0x0, 0x80000001}, false},
        {"a network drive, whatever it says of itself", {true, "NTFS", 0x0, 0x0}, false},
        {"FAT32, with no setting to ask", {false, "FAT32", 0x0, 0x0}, false},
        {"a file system that could not be named", {false, "", unset, unset}, false},
        {"NTFS named in another letter case", {false, "ntfs", unset, unset}, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VolumeRecordsAccessTimes(c.volume), c.records) << c.what;
}

TEST(AccessTimes, ALocationOnAServerThatCannotBeReachedIsNotKnownToRecordThem)
{
    EXPECT_FALSE(LocationsRecordAccessTimes({"\\\\no-such-server\\share\\documents"}));
}
