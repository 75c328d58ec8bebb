#include "settings/CWiperSettings.h"

#include "framework/Text.h"
#include "settings/SettingsFile.h"
#include "settings/Sha256.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <thread>
#include <utility>

namespace
{
class SettingsFileOnDisk : public testing::Test
{
protected:
    TempFolder folder;
    CWiperSettings settings;

    void SetUp() override
    {
        settings.installFolder = folder.Path();
    }

    std::string SettingsPath() const
    {
        return folder.Path() + "settings.dat";
    }

    void FillSample()
    {
        settings.SetDefaults();
        settings.windowLeft = -8;
        settings.windowTop = 30;
        settings.windowWidth = 900;
        settings.windowHeight = 700;
        settings.windowShowCmd = 3;
        settings.splitterPos = 222;
        settings.startWithWindows = 1;
    }

    // Load and Save as the program calls them, its message shown for a failure.
    bool LoadAsTheProgramDoes()
    {
        SettingsFailure failure;
        const SettingsLoad outcome = settings.Load(&failure);
        if (outcome == SettingsLoad::Failed)
            ShowSettingsFailure(nullptr, failure);
        return outcome == SettingsLoad::Read;
    }

    bool SaveAsTheProgramDoes()
    {
        SettingsFailure failure;
        if (settings.Save(&failure))
            return true;
        ShowSettingsFailure(nullptr, failure);
        return false;
    }

    static CWiperSettings Defaults()
    {
        CWiperSettings defaults;
        defaults.SetDefaults();
        return defaults;
    }

    std::string OpenError(int cause) const
    {
        return "Could not open file \"" + SettingsPath() + "\", open error " + std::to_string(cause);
    }
};
}

TEST_F(SettingsFileOnDisk, MissingFileGivesDefaultsWithoutAMessage)
{
    DialogCloser closer;
    EXPECT_FALSE(LoadAsTheProgramDoes());
    EXPECT_TRUE(closer.Stop().empty());
    EXPECT_EQ(settings.windowLeft, 20);
    EXPECT_EQ(settings.windowTop, 20);
    EXPECT_EQ(settings.windowWidth, 650);
    EXPECT_EQ(settings.windowHeight, 450);
    EXPECT_EQ(settings.windowShowCmd, 1);
    EXPECT_EQ(settings.splitterPos, 140);
    EXPECT_EQ(settings.startWithWindows, 0);
    EXPECT_EQ(settings.passwordProtected, 0);
    EXPECT_TRUE(settings.passwordHash.empty());
}

TEST_F(SettingsFileOnDisk, SavedRecordLoadsBackWithAndWithoutPassword)
{
    FillSample();
    ASSERT_TRUE(settings.Save());
    EXPECT_EQ(ReadWholeFile(SettingsPath()).size(), 65u);
    EXPECT_FALSE(FileExists(SettingsPath() + ".new"));

    CWiperSettings loaded;
    loaded.installFolder = folder.Path();
    ASSERT_EQ(loaded.Load(), SettingsLoad::Read);
    EXPECT_EQ(static_cast<PersistedSettings&>(loaded), static_cast<PersistedSettings&>(settings));

    settings.passwordProtected = 1;
    settings.SetPassword("secret");
    ASSERT_TRUE(settings.Save());
    EXPECT_EQ(ReadWholeFile(SettingsPath()).size(), 129u);
    ASSERT_EQ(loaded.Load(), SettingsLoad::Read);
    EXPECT_TRUE(loaded.CheckPassword("secret"));
    EXPECT_FALSE(loaded.CheckPassword("Secret"));
}

TEST_F(SettingsFileOnDisk, WrongHeaderShowsMessageAndGivesTheDefaults)
{
    FillSample();
    std::string file = ReadWholeFile(folder.WriteFile("settings.dat", std::string(65, '\0')));
    DialogCloser closer;
    EXPECT_FALSE(LoadAsTheProgramDoes());
    std::vector<SeenPrompt> seen = closer.Stop();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "Error");
    EXPECT_EQ(seen[0].text, "Wrong settings.dat");
    EXPECT_EQ(EncodeSettings(settings), EncodeSettings(Defaults()));
}

TEST_F(SettingsFileOnDisk, UnreadableFileShowsOpenErrorWithItsCause)
{
    // A folder in the file's place cannot be opened as a file: access denied.
    CreateDirectoryW(LongPath(SettingsPath()).c_str(), nullptr);
    FillSample();
    DialogCloser closer;
    EXPECT_FALSE(LoadAsTheProgramDoes());
    std::vector<SeenPrompt> seen = closer.Stop();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, OpenError(5));
    EXPECT_EQ(EncodeSettings(settings), EncodeSettings(Defaults()));
}

// A file that cannot be read gives a first start's record, not a half-read one
// (a hidden window, no lock); the first save keeps it aside before writing.
TEST_F(SettingsFileOnDisk, AnUnreadableFileGivesTheDefaultsAndIsKeptAsideByTheFirstSave)
{
    const std::string unreadable = "a later version's header and its own fields";
    const std::string aside = SettingsPath() + ".unreadable";
    folder.WriteFile("settings.dat", unreadable);
    folder.WriteFile("settings.dat.unreadable", "an older unreadable file");
    settings.windowShowCmd = 0;
    settings.passwordProtected = 1;
    EXPECT_EQ(settings.Load(), SettingsLoad::Failed);
    EXPECT_EQ(EncodeSettings(settings), EncodeSettings(Defaults()));

    // Only the first save moves it: the second writes over its own file.
    for (int save = 0; save < 2; save++)
    {
        ASSERT_TRUE(settings.Save());
        EXPECT_EQ(ReadWholeFile(aside), unreadable);
    }
    EXPECT_EQ(settings.Load(), SettingsLoad::Read);
}

// Another program's handle on settings.dat: one that shares the file is read
// past, a moment's hold is waited out, and a lasting one fails a save and
// leaves the file as it was.
TEST_F(SettingsFileOnDisk, AnotherProgramsHoldIsWaitedOutOnlyForAMoment)
{
    struct Hold
    {
        bool save;
        DWORD share;
        DWORD ms;
        bool succeeds;
    };
    const DWORD shared = FILE_SHARE_READ | FILE_SHARE_WRITE;
    for (const Hold hold : {Hold{false, shared, 1000, true}, Hold{false, 0, 200, true}, Hold{true, shared, 300, true},
                            Hold{true, shared, 3000, false}})
    {
        SCOPED_TRACE(testing::Message() << (hold.save ? "save" : "read") << " held " << hold.ms << " ms");
        FillSample();
        ASSERT_TRUE(settings.Save());
        HANDLE held = CreateFileW(LongPath(SettingsPath()).c_str(), GENERIC_READ | GENERIC_WRITE, hold.share,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        std::thread release([&] {
            Sleep(hold.ms);
            CloseHandle(held);
        });
        CWiperSettings other;
        other.installFolder = folder.Path();
        settings.windowWidth = 1234;
        const bool done = hold.save ? settings.Save() : other.Load() == SettingsLoad::Read;
        release.join();

        EXPECT_EQ(done, hold.succeeds);
        EXPECT_FALSE(FileExists(SettingsPath() + ".new"));
        ASSERT_EQ(other.Load(), SettingsLoad::Read);
        EXPECT_EQ(other.windowWidth, hold.save && hold.succeeds ? 1234 : 900);
    }
}

TEST_F(SettingsFileOnDisk, FileHeldOpenGivesSharingViolation)
{
    FillSample();
    ASSERT_TRUE(settings.Save());
    HANDLE held = CreateFileW(LongPath(SettingsPath()).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    DialogCloser closer;
    EXPECT_FALSE(LoadAsTheProgramDoes());
    std::vector<SeenPrompt> seen = closer.Stop();
    CloseHandle(held);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, OpenError(11));
}

TEST_F(SettingsFileOnDisk, BadPathFailsToSaveWithCauseThree)
{
    settings.installFolder = folder.Path() + "no such folder\\";
    FillSample();
    DialogCloser closer;
    EXPECT_FALSE(SaveAsTheProgramDoes());
    std::vector<SeenPrompt> seen = closer.Stop();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "Error");
    EXPECT_EQ(seen[0].text, "Could not open file \"" + settings.installFolder + "settings.dat\", open error 3");
}

TEST_F(SettingsFileOnDisk, FailedSaveLeavesThePreviousFileIntact)
{
    FillSample();
    ASSERT_TRUE(settings.Save());
    std::string before = ReadWholeFile(SettingsPath());
    SetFileAttributesW(LongPath(SettingsPath()).c_str(), FILE_ATTRIBUTE_READONLY);

    settings.windowWidth = 1234;
    DialogCloser closer;
    EXPECT_FALSE(SaveAsTheProgramDoes());
    std::vector<SeenPrompt> seen = closer.Stop();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, OpenError(5));
    EXPECT_EQ(ReadWholeFile(SettingsPath()), before);
    EXPECT_FALSE(FileExists(SettingsPath() + ".new"));
}

TEST_F(SettingsFileOnDisk, LongInstallFolderStillWorks)
{
    std::string deep = folder.Path();
    while (deep.size() < 300)
    {
        deep += "a-rather-long-folder-name\\";
        CreateDirectoryW(LongPath(deep).c_str(), nullptr);
    }
    settings.installFolder = deep;
    FillSample();
    ASSERT_TRUE(settings.Save());
    CWiperSettings loaded;
    loaded.installFolder = deep;
    EXPECT_EQ(loaded.Load(), SettingsLoad::Read);
    EXPECT_EQ(loaded.splitterPos, 222);
}

namespace
{
// The program as a standard user runs it: the installation folder is not its to
// write; settings.dat goes into the user's own folder, made on the first save.
class UserSettings : public SettingsFileOnDisk
{
protected:
    TempFolder localAppData;

    void SetUp() override
    {
        SettingsFileOnDisk::SetUp();
        settings.settingsFolder = UserFolder();
    }

    std::string UserFolder() const { return localAppData.Path() + "Velmora\\"; }

    // A record as the program's next start makes it.
    void AsStarted(CWiperSettings& started) const
    {
        started.installFolder = folder.Path();
        started.settingsFolder = UserFolder();
    }

    // settings.dat as an older version left it beside the program.
    std::string SavedBesideTheProgram()
    {
        CWiperSettings old;
        old.installFolder = folder.Path();
        old.SetDefaults();
        old.windowWidth = 900;
        old.passwordProtected = 1;
        old.SetPassword("secret");
        EXPECT_TRUE(old.Save());
        return ReadWholeFile(SettingsPath());
    }
};
}

TEST_F(UserSettings, AreSavedInTheUsersFolderAndNeverBesideTheProgram)
{
    // A folder in the file's place beside the program: nothing can be written there.
    CreateDirectoryW(LongPath(SettingsPath()).c_str(), nullptr);
    FillSample();
    DialogCloser closer;
    EXPECT_TRUE(settings.Save());
    EXPECT_TRUE(closer.Stop().empty());
    EXPECT_EQ(settings.FilePath(), UserFolder() + "settings.dat");
    EXPECT_TRUE(FileExists(settings.FilePath()));

    CWiperSettings next;
    AsStarted(next);
    EXPECT_EQ(next.Load(), SettingsLoad::Read);
    EXPECT_EQ(static_cast<PersistedSettings&>(next), static_cast<PersistedSettings&>(settings));
}

TEST_F(UserSettings, AFileBesideTheProgramIsReadOnceAndLeftAsItIs)
{
    // One that does not read gives the defaults, without a word about a file the user never chose.
    folder.WriteFile("settings.dat", std::string(65, '\0'));
    FillSample();
    DialogCloser closer;
    EXPECT_FALSE(LoadAsTheProgramDoes());
    EXPECT_TRUE(closer.Stop().empty());
    EXPECT_EQ(settings.windowWidth, 650);

    const std::string old = SavedBesideTheProgram();
    CWiperSettings migrated;
    AsStarted(migrated);
    ASSERT_EQ(migrated.Load(), SettingsLoad::Read);
    EXPECT_EQ(migrated.windowWidth, 900);
    EXPECT_TRUE(migrated.CheckPassword("secret"));
    EXPECT_FALSE(FileExists(migrated.FilePath()));

    migrated.windowWidth = 800;
    ASSERT_TRUE(migrated.Save());
    EXPECT_EQ(ReadWholeFile(SettingsPath()), old);
    // From now on the user's own file counts.
    CWiperSettings next;
    AsStarted(next);
    ASSERT_EQ(next.Load(), SettingsLoad::Read);
    EXPECT_EQ(next.windowWidth, 800);
    EXPECT_TRUE(next.CheckPassword("secret"));
}

TEST(PasswordDigest, IsTheDigestOfTheUtf8BytesSoNoTwoPasswordsLookAlike)
{
    CWiperSettings settings;
    EXPECT_FALSE(settings.CheckPassword(""));
    settings.SetPassword("p\xC3\xA4ssw\xC3\xB6rd");  // "pässwörd"
    EXPECT_TRUE(settings.CheckPassword("p\xC3\xA4ssw\xC3\xB6rd"));
    EXPECT_FALSE(settings.CheckPassword("passwort"));

    // Pairs that the code page's best fit made one password. A digest an earlier
    // version took over those ANSI bytes opens once, and is then stored anew.
    const std::pair<const char*, const char*> lookAlikes[] = {
        {"\xD0\xBF\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C", "??????"},  // "пароль"
        {"p\xC4\x81ss", "pass"},                                                  // "pāss"
    };
    for (const auto& [password, lookAlike] : lookAlikes)
    {
        SCOPED_TRACE(lookAlike);
        settings.SetPassword(password);
        EXPECT_FALSE(settings.CheckPassword(lookAlike));
        settings.passwordHash = Sha256Hex(ToAnsi(password));
        EXPECT_TRUE(settings.CheckPassword(password));
        EXPECT_FALSE(settings.CheckPassword(lookAlike));
        EXPECT_TRUE(settings.CheckPassword(password));
    }

    // A stored digest changed to lower case never matches.
    settings.SetPassword("p\xC3\xA4ssw\xC3\xB6rd");
    for (char& c : settings.passwordHash)
        c = (char)tolower((unsigned char)c);
    EXPECT_FALSE(settings.CheckPassword("p\xC3\xA4ssw\xC3\xB6rd"));

    settings.SetPassword("");
    EXPECT_TRUE(settings.CheckPassword(""));
}
