#include "settings/SettingsFile.h"

#include "settings/Sha256.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{

// What a running program would hold: a moved window, a wide panel, both options on.
PersistedSettings Saved(bool withPassword)
{
    PersistedSettings record;
    record.windowLeft = -5;
    record.windowTop = 0x01020304;
    record.windowWidth = 800;
    record.windowHeight = 600;
    record.windowShowCmd = 3;
    record.splitterPos = 0x1234;
    record.startWithWindows = 1;
    record.passwordProtected = withPassword ? 1 : 0;
    if (withPassword)
        record.passwordHash = Sha256Hex("secret");
    return record;
}

// What the record holds before a load: construction values plus a digest, so a member that is
// wrongly overwritten or wrongly clamped (splitterPos 0) shows up.
PersistedSettings Before()
{
    PersistedSettings record;
    record.startWithWindows = 9;
    record.passwordProtected = 9;
    record.passwordHash = "previous";
    return record;
}

int32_t Int32At(const std::vector<uint8_t>& file, size_t offset)
{
    return static_cast<int32_t>(uint32_t{file[offset]} | uint32_t{file[offset + 1]} << 8 |
                                uint32_t{file[offset + 2]} << 16 | uint32_t{file[offset + 3]} << 24);
}

void PutInt32At(std::vector<uint8_t>& file, size_t offset, uint32_t value)
{
    for (size_t i = 0; i < 4; i++)
        file[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

SettingsDecode Decode(const std::vector<uint8_t>& file, PersistedSettings& record)
{
    return DecodeSettings(file.data(), file.size(), record);
}

TEST(SettingsFile, WithoutPasswordIs65BytesAndRoundTrips)
{
    PersistedSettings saved = Saved(false);
    std::vector<uint8_t> file = EncodeSettings(saved);
    ASSERT_EQ(file.size(), 65u);

    EXPECT_EQ(memcmp(file.data(), "Velmora settings.dat 1.0", 24), 0);
    for (size_t i = 24; i < 35; i++)
        EXPECT_EQ(file[i], 0) << "header byte " << i;
    EXPECT_EQ(file[35], 0xFB);
    EXPECT_EQ(file[38], 0xFF);
    EXPECT_EQ(file[39], 0x04);
    EXPECT_EQ(file[42], 0x01);
    EXPECT_EQ(file[55], 0x34);
    EXPECT_EQ(file[56], 0x12);
    EXPECT_EQ(file[59], 1);
    EXPECT_EQ(file[60], 0);
    EXPECT_EQ(Int32At(file, 61), 0);

    PersistedSettings loaded = Before();
    EXPECT_EQ(Decode(file, loaded), SettingsDecode::Ok);
    EXPECT_EQ(loaded, saved);
}

TEST(SettingsFile, WithPasswordIs129BytesAndRoundTrips)
{
    PersistedSettings saved = Saved(true);
    std::vector<uint8_t> file = EncodeSettings(saved);
    ASSERT_EQ(file.size(), 129u);
    EXPECT_EQ(file[60], 1);
    EXPECT_EQ(Int32At(file, 61), 64);
    EXPECT_EQ(std::string(file.begin() + 65, file.end()), saved.passwordHash);

    PersistedSettings loaded = Before();
    EXPECT_EQ(Decode(file, loaded), SettingsDecode::Ok);
    EXPECT_EQ(loaded, saved);
}

TEST(SettingsFile, WrongHeaderLeavesRecordUntouched)
{
    std::vector<uint8_t> good = EncodeSettings(Saved(true));

    std::vector<uint8_t> otherVersion = good;
    otherVersion[23] = '1';
    std::vector<uint8_t> longerText = good;
    longerText[24] = 'x';
    std::vector<uint8_t> textOnly(good.begin(), good.begin() + 24);
    std::vector<uint8_t> empty;

    for (const std::vector<uint8_t>* file : {&otherVersion, &longerText, &textOnly, &empty})
    {
        PersistedSettings loaded = Before();
        EXPECT_EQ(Decode(*file, loaded), SettingsDecode::WrongHeader) << "size " << file->size();
        EXPECT_EQ(loaded, Before());
    }
}

TEST(SettingsFile, BytesAfterHeaderTerminatorAreIgnored)
{
    std::vector<uint8_t> file = EncodeSettings(Saved(true));
    for (size_t i = 25; i < 35; i++)
        file[i] = 'x';
    PersistedSettings loaded = Before();
    EXPECT_EQ(Decode(file, loaded), SettingsDecode::Ok);
    EXPECT_EQ(loaded, Saved(true));
}

// Copies the first `count` members, in file order, from `from` into `to`.
PersistedSettings WithFirstMembers(PersistedSettings to, const PersistedSettings& from, int count)
{
    int32_t PersistedSettings::* const numbers[] = {
        &PersistedSettings::windowLeft,   &PersistedSettings::windowTop,     &PersistedSettings::windowWidth,
        &PersistedSettings::windowHeight, &PersistedSettings::windowShowCmd, &PersistedSettings::splitterPos};
    for (int i = 0; i < count && i < 6; i++)
        to.*numbers[i] = from.*numbers[i];
    if (count > 6)
        to.startWithWindows = from.startWithWindows;
    if (count > 7)
        to.passwordProtected = from.passwordProtected;
    if (count > 8)
        to.passwordHash = from.passwordHash;
    return to;
}

TEST(SettingsFile, TruncatedFileKeepsMissingMembers)
{
    struct Case
    {
        size_t length;
        int membersPresent;
    };
    // A field cut short counts as missing, and so does everything after it.
    const Case cases[] = {{25, 0}, {34, 0}, {35, 0}, {36, 0}, {39, 1}, {40, 1}, {58, 5},
                          {59, 6}, {60, 7}, {61, 8}, {64, 8}, {65, 9}};
    std::vector<uint8_t> file = EncodeSettings(Saved(false));
    for (const Case& c : cases)
    {
        PersistedSettings loaded = Before();
        EXPECT_EQ(DecodeSettings(file.data(), c.length, loaded), SettingsDecode::Ok) << "length " << c.length;
        EXPECT_EQ(loaded, WithFirstMembers(Before(), Saved(false), c.membersPresent)) << "length " << c.length;
    }
}

TEST(SettingsFile, ImpossibleDigestLengthIsRejectedLikeWrongHeader)
{
    std::vector<uint8_t> negative = EncodeSettings(Saved(true));
    PutInt32At(negative, 61, 0xFFFFFFFF);
    std::vector<uint8_t> tooLong = EncodeSettings(Saved(true));
    PutInt32At(tooLong, 61, 65);
    tooLong.push_back('0');
    std::vector<uint8_t> huge = EncodeSettings(Saved(true));
    PutInt32At(huge, 61, 0x7FFFFFFF);
    std::vector<uint8_t> cutShort = EncodeSettings(Saved(true));
    cutShort.resize(75);

    for (const std::vector<uint8_t>* file : {&negative, &tooLong, &huge, &cutShort})
    {
        PersistedSettings loaded = Before();
        EXPECT_EQ(Decode(*file, loaded), SettingsDecode::WrongHeader) << "length field " << Int32At(*file, 61);
        EXPECT_EQ(loaded, Before());
    }
}

TEST(SettingsFile, SplitterPosHasLowerBound)
{
    const int32_t cases[][2] = {{100, 140}, {-7, 140}, {139, 140}, {140, 140}, {300, 300}};
    for (const auto& c : cases)
    {
        PersistedSettings saved = Saved(false);
        saved.splitterPos = c[0];
        PersistedSettings loaded = Before();
        ASSERT_EQ(Decode(EncodeSettings(saved), loaded), SettingsDecode::Ok);
        EXPECT_EQ(loaded.splitterPos, c[1]) << "stored " << c[0];
    }
}

TEST(SettingsFile, UnusualStoredValuesAreReadAsStored)
{
    std::vector<uint8_t> file = EncodeSettings(Saved(true));
    file[59] = 2;
    file[60] = 0xFF;
    file[65 + 10] = 0;
    file.push_back('z');
    PersistedSettings loaded = Before();
    ASSERT_EQ(Decode(file, loaded), SettingsDecode::Ok);
    EXPECT_EQ(loaded.startWithWindows, 2);
    EXPECT_EQ(loaded.passwordProtected, 0xFF);
    EXPECT_EQ(loaded.passwordHash, Saved(true).passwordHash.substr(0, 10));
}

} // namespace
