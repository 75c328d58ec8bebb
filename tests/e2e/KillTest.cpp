// A program ended by force loses nothing: no file the user did not choose, when
// it dies while deleting, and not settings.dat, when it dies while writing it.
// Either way the next start is an ordinary one.
#include "tests/e2e/Installation.h"
#include "tests/e2e/ProgramUnderTest.h"
#include "tests/e2e/RemoteControls.h"

#include "framework/Text.h"
#include "resources/resource.h"
#include "settings/CWiperSettings.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace
{
const WPARAM kExitCommand = 2066;
const int kNameColumn = 1;
const int kFolderColumn = 3;
// What the fixture script puts in each kill tree.
const int kTreeFiles = 20000;
// Every other row is chosen; the kill comes once this many of them are gone,
// well into the deletion and far from its end.
const int kGoneBeforeKill = 500;
const DWORD kSearchMs = 180000;
const DWORD kDeletionStartMs = 60000;

const int kDefaultLeft = 20;
const int kDefaultTop = 20;
// The placement a test writes before the program starts, unlike the defaults.
const int kOldLeft = 70;
const int kOldTop = 60;
// Where the window is moved before it saves.
const int kNewLeft = 210;
const int kNewTop = 140;

// settings.dat in `folder`, as the program or the test host keeps it.
void WriteKnownSettings(const std::string& folder)
{
    CWiperSettings settings;
    settings.SetDefaults();
    settings.settingsFolder = folder;
    settings.windowLeft = kOldLeft;
    settings.windowTop = kOldTop;
    settings.windowWidth = 820;
    settings.windowHeight = 640;
    ASSERT_TRUE(settings.Save());
}

bool Decodes(const std::string& bytes)
{
    PersistedSettings record;
    return DecodeSettings(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), record) ==
           SettingsDecode::Ok;
}

// A file's size without opening it: the writer holds it unshared. -1 when it is absent.
long long FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(LongPath(path).c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Starts the program on a folder of settings.dat as it is, checks that it
// opens where the file says with no message, and exits it.
void ExpectOrdinaryStart(const std::string& program, const std::string& arguments, int left, int top)
{
    ProgramUnderTest next(program, "C:\\", arguments);
    HWND window = next.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(next.Dialog("Error"), nullptr) << "a message at the start";
    RECT rect = {};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, left);
    EXPECT_EQ(rect.top, top);
    PostMessageW(window, WM_COMMAND, kExitCommand, 0);
    EXPECT_EQ(next.WaitForExit(), 0u);
}

class Kill : public testing::Test
{
protected:
    std::string installFolder = InstalledFolder();
    std::string settingsPath = UserSettingsPath();

    void SetUp() override
    {
        ASSERT_FALSE(installFolder.empty());
        ForgetUserFiles();
    }

    void TearDown() override { ForgetUserFiles(); }

    // Lists the tree, chooses every other row, deletes them and kills the
    // program mid-way; then every file not chosen must still be there.
    void KillDeletion(const std::string& tree)
    {
        ASSERT_TRUE(FileExists(tree)) << "the fixture script makes " << tree;
        const std::string before = ReadWholeFile(settingsPath);
        const bool hadSettings = FileExists(settingsPath);
        {
            ProgramUnderTest velmora(installFolder + "Velmora.exe");
            std::vector<std::string> paths;
            std::vector<int> chosen;
            ListAndChoose(velmora, tree, paths, chosen);
            if (HasFatalFailure())
                return;
            DeleteAndKill(velmora, paths, chosen);
            if (HasFatalFailure())
                return;
            ExpectOnlyChosenGone(paths, chosen);
        }
        if (hadSettings)
            EXPECT_EQ(ReadWholeFile(settingsPath), before) << "settings.dat changed";
        else
            EXPECT_FALSE(FileExists(settingsPath));
        EXPECT_FALSE(FileExists(settingsPath + ".new"));

        ExpectOrdinaryStart(installFolder + "Velmora.exe", "", hadSettings ? kOldLeft : kDefaultLeft,
                            hadSettings ? kOldTop : kDefaultTop);
    }

    void ListAndChoose(ProgramUnderTest& velmora, const std::string& tree, std::vector<std::string>& paths,
                       std::vector<int>& chosen)
    {
        HWND mainWindow = velmora.WaitForMainWindow();
        ASSERT_NE(mainWindow, nullptr);
        HWND page = OpenSearchPage(velmora, mainWindow);
        ASSERT_NE(page, nullptr);
        HWND browser = OpenFolderBrowser(velmora, page);
        ASSERT_NE(browser, nullptr);
        ASSERT_TRUE(ChooseFolder(velmora, browser, tree));
        Click(browser, IDOK);
        HWND locations = GetDlgItem(page, IDC_LOCATIONS);
        ASSERT_TRUE(WaitUntil([&] { return RowCount(locations) == 1; }));

        HWND results = GetDlgItem(page, IDC_RESULTS);
        Click(page, IDC_FIND);
        ASSERT_TRUE(WaitUntil(
            [&] {
                return RowCount(results) == kTreeFiles && IsWindowEnabled(GetDlgItem(page, IDC_DELETE)) &&
                       !velmora.Dialog("Files Searching");
            },
            kSearchMs));
        paths = JoinedColumns(velmora.Handle(), results, kFolderColumn, kNameColumn);
        ASSERT_EQ(paths.size(), static_cast<size_t>(kTreeFiles));
        for (int row = 0; row < kTreeFiles; row += 2)
            chosen.push_back(row);
        ASSERT_TRUE(SelectRows(velmora.Handle(), results, chosen));
        const std::string total = "Selected: " + std::to_string(chosen.size()) + " file(s)";
        ASSERT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(page, IDC_SELECTION_TOTAL)).starts_with(total); }))
            << WindowText(GetDlgItem(page, IDC_SELECTION_TOTAL));

        Click(page, IDC_DELETE);
        HWND question = velmora.WaitForDialog("Warning");
        ASSERT_NE(question, nullptr);
        Click(question, IDOK);
    }

    // Rows are deleted in row order: the chosen row kGoneBeforeKill is the sign.
    void DeleteAndKill(ProgramUnderTest& velmora, const std::vector<std::string>& paths, const std::vector<int>& chosen)
    {
        const std::string& sign = paths[chosen[kGoneBeforeKill]];
        ASSERT_TRUE(WaitUntil([&] { return !FileExists(sign); }, kDeletionStartMs)) << sign << " is still there";
        EXPECT_NE(velmora.Dialog("Deleting Files"), nullptr);
        ASSERT_TRUE(velmora.Kill());
    }

    void ExpectOnlyChosenGone(const std::vector<std::string>& paths, const std::vector<int>& chosen)
    {
        std::vector<bool> isChosen(paths.size(), false);
        for (int row : chosen)
            isChosen[row] = true;
        int chosenGone = 0;
        int keptMissing = 0;
        std::string firstMissing;
        for (size_t row = 0; row < paths.size(); row++)
        {
            const bool exists = FileExists(paths[row]);
            if (isChosen[row])
                chosenGone += exists ? 0 : 1;
            else if (!exists && keptMissing++ == 0)
                firstMissing = paths[row];
        }
        EXPECT_EQ(keptMissing, 0) << "files not chosen are gone, the first " << firstMissing;
        // Else the kill did not come in the middle of the deletion.
        EXPECT_GE(chosenGone, kGoneBeforeKill);
        EXPECT_LT(chosenGone, static_cast<int>(chosen.size()));
        std::printf("%d of %zu chosen files were gone at the kill\n", chosenGone, chosen.size());
    }
};
}

TEST_F(Kill, DuringADeletionKeepsEveryFileNotChosenAndTheSettings)
{
    ASSERT_NO_FATAL_FAILURE(WriteKnownSettings(UserSettingsFolder()));
    KillDeletion(FixtureTrees() + "\\kill-with-settings");
}

TEST_F(Kill, DuringADeletionWithoutSettingsLeavesNone)
{
    KillDeletion(FixtureTrees() + "\\kill-without-settings");
}

// The test host writes settings.dat in small pieces with a pause after each.
// Killed with none, some or all of the new bytes in the temporary file, the
// old file stays whole, and the next start reads it and saves over the leftover.
TEST_F(Kill, DuringASettingsSaveLeavesTheOldFileOrTheNew)
{
    const std::string host = BuildPath("VELMORA_SLOW_SAVE_HOST");
    ASSERT_FALSE(host.empty());
    TempFolder folder;
    // Without the backslash, which would escape the closing quote.
    const std::string arguments = "\"" + folder.Path().substr(0, folder.Path().size() - 1) + "\"";
    const std::string hostSettings = folder.Path() + "settings.dat";
    const std::string temporary = hostSettings + ".new";
    ASSERT_NO_FATAL_FAILURE(WriteKnownSettings(folder.Path()));
    const std::string oldBytes = ReadWholeFile(hostSettings);

    // Moves the window and exits, which saves the new placement.
    auto startSaving = [&](ProgramUnderTest& program) {
        HWND window = program.WaitForMainWindow();
        ASSERT_NE(window, nullptr);
        SetWindowPos(window, nullptr, kNewLeft, kNewTop, 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
        PostMessageW(window, WM_COMMAND, kExitCommand, 0);
    };
    std::string newBytes;
    {
        ProgramUnderTest whole(host, "C:\\", arguments);
        startSaving(whole);
        ASSERT_EQ(whole.WaitForExit(), 0u);
        newBytes = ReadWholeFile(hostSettings);
    }
    ASSERT_TRUE(Decodes(newBytes));
    ASSERT_NE(newBytes, oldBytes);
    ASSERT_FALSE(FileExists(temporary));

    const long long newSize = static_cast<long long>(newBytes.size());
    for (long long writtenAtKill : {0LL, newSize / 2, newSize})
    {
        SCOPED_TRACE("killed once " + std::to_string(writtenAtKill) + " bytes were written");
        folder.WriteFile("settings.dat", oldBytes);
        {
            ProgramUnderTest saving(host, "C:\\", arguments);
            startSaving(saving);
            if (HasFatalFailure())
                return;
            ASSERT_TRUE(WaitUntil([&] { return FileSize(temporary) >= writtenAtKill; }));
            ASSERT_TRUE(saving.Kill());
        }
        const std::string after = ReadWholeFile(hostSettings);
        EXPECT_TRUE(after == oldBytes || after == newBytes) << "settings.dat is " << after.size() << " bytes";
        EXPECT_TRUE(Decodes(after));
        std::printf("killed at %lld bytes: settings.dat is the %s one, the temporary file %s (%lld bytes)\n",
                    writtenAtKill, after == oldBytes ? "old" : after == newBytes ? "new" : "broken",
                    FileExists(temporary) ? "is left" : "is gone", FileSize(temporary));

        // The next start opens where the file says, and its own save replaces the leftover.
        ExpectOrdinaryStart(host, arguments, after == newBytes ? kNewLeft : kOldLeft,
                            after == newBytes ? kNewTop : kOldTop);
        EXPECT_FALSE(FileExists(temporary));
        EXPECT_TRUE(Decodes(ReadWholeFile(hostSettings)));
    }
}
