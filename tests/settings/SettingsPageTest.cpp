#include "settings/CWindowSettings.h"

#include "framework/Text.h"
#include "resources/resource.h"
#include "settings/CWiperSettings.h"
#include "settings/Sha256.h"
#include "settings/StartupEntry.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/MessagePump.h"
#include "tests/support/PageHost.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <optional>
#include <vector>

namespace
{
const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kApprovedKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
// Task Manager's records: on, and turned off (with the time it was turned off).
const std::vector<uint8_t> kApprovedOn = {0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
const std::vector<uint8_t> kTurnedOff = {0x03, 0, 0, 0, 0x10, 0x7E, 0x35, 0x52, 0x9A, 0x4B, 0xDA, 0x01};

// The "Run" value of the program, or "<absent>".
std::string RunValue()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<absent>";
    wchar_t data[2048] = {};
    DWORD size = sizeof(data) - sizeof(wchar_t);
    DWORD type = 0;
    LSTATUS status = RegQueryValueExW(key, L"Velmora", nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return "<absent>";
    return type == REG_SZ ? Narrow(data) : "<not a string>";
}

void DeleteRunValue()
{
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Velmora");
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kApprovedKey, L"Velmora");
}

void SetRunValue(const std::string& command)
{
    const std::wstring data = Widen(command);
    RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Velmora", REG_SZ, data.c_str(),
                    static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

void SetApproval(const std::vector<uint8_t>& record)
{
    RegSetKeyValueW(HKEY_CURRENT_USER, kApprovedKey, L"Velmora", REG_BINARY, record.data(),
                    static_cast<DWORD>(record.size()));
}

std::string OwnPath()
{
    wchar_t path[2048] = {};
    GetModuleFileNameW(nullptr, path, 2048);
    return Narrow(path);
}

class SettingsPage : public testing::Test
{
protected:
    TempFolder folder;
    CWiperSettings settings;
    PageHost host;
    std::unique_ptr<CWindowSettings> page;
    HWND window = nullptr;

    void SetUp() override
    {
        DeleteRunValue();
        settings.SetDefaults();
        settings.installFolder = folder.Path();
        ASSERT_TRUE(host.Open("Settings page test", 700, 400, WS_OVERLAPPEDWINDOW | WS_VISIBLE));
    }

    void TearDown() override
    {
        host.DestroyWindow();
        DeleteRunValue();
    }

    // The page loads the record when it is created, so tests set the record first.
    void OpenPage()
    {
        page = std::make_unique<CWindowSettings>(&settings);
        ASSERT_TRUE(page->Create(host.hwnd));
        window = page->hwnd;
        ShowWindow(window, SW_SHOW);
    }

    void Protect(const std::string& password)
    {
        settings.passwordProtected = 1;
        settings.SetPassword(password);
    }

    HWND Item(int id) const { return GetDlgItem(window, id); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != 0; }
    bool Checked(int id) const { return IsDlgButtonChecked(window, id) == BST_CHECKED; }
    std::string Text(int id) const { return GetWindowTextUtf8(Item(id)); }
    // Typing into an edit, as far as its change notice goes.
    void Type(int id, const std::string& text) { SetWindowTextW(Item(id), Widen(text).c_str()); }

    // Clicks a button as the mouse would and returns the prompts it raised, answered with `answers`.
    std::vector<std::string> Click(int id, std::vector<int> answers = {})
    {
        DialogCloser closer(answers);
        SendMessageW(Item(id), BM_CLICK, 0, 0);
        std::vector<std::string> texts;
        for (const SeenPrompt& prompt : closer.Stop())
            texts.push_back(prompt.caption + ": " + prompt.text);
        return texts;
    }

    std::string SettingsFile() const { return ReadWholeFile(settings.FilePath()); }

    // What a fresh start of the program would read from settings.dat.
    PersistedSettings LoadedBack() const
    {
        CWiperSettings loaded;
        loaded.installFolder = folder.Path();
        loaded.Load();
        return loaded;
    }
};
}

TEST_F(SettingsPage, OpensCleanAndShowsThePlaceholderForAStoredPassword)
{
    Protect("secret");
    const std::string digest = settings.passwordHash;
    OpenPage();

    EXPECT_EQ(page->minWidth, 480);
    EXPECT_EQ(page->minHeight, 350);
    EXPECT_TRUE(Checked(IDC_PROTECT));
    EXPECT_FALSE(Checked(IDC_START_WITH_WINDOWS));
    EXPECT_EQ(Text(IDC_PASSWORD), digest.substr(0, 8));
    EXPECT_EQ(Text(IDC_CONFIRM_PASSWORD), digest.substr(0, 8));
    EXPECT_TRUE(GetWindowLongW(Item(IDC_PASSWORD), GWL_STYLE) & ES_PASSWORD);
    EXPECT_TRUE(GetWindowLongW(Item(IDC_CONFIRM_PASSWORD), GWL_STYLE) & ES_PASSWORD);
    EXPECT_TRUE(Enabled(IDC_PASSWORD));
    EXPECT_TRUE(Enabled(IDC_CONFIRM_PASSWORD));
    // Filling the boxes is not the user's change.
    EXPECT_EQ(page->modified, 0);
    EXPECT_FALSE(Enabled(IDC_APPLY));
    EXPECT_FALSE(Enabled(IDC_RESET));

    // Enter and Escape leave the page as it is.
    SendMessageW(window, WM_COMMAND, IDOK, 0);
    SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(page->modified, 0);
}

TEST_F(SettingsPage, ApplyWithoutTypingKeepsTheStoredDigest)
{
    Protect("secret");
    const std::string digest = settings.passwordHash;
    OpenPage();

    // Off and on again: a change, but the password boxes were never typed in.
    EXPECT_TRUE(Click(IDC_PROTECT).empty());
    EXPECT_FALSE(Enabled(IDC_PASSWORD));
    EXPECT_TRUE(Click(IDC_PROTECT).empty());
    EXPECT_TRUE(Enabled(IDC_PASSWORD));
    EXPECT_EQ(page->modified, 1);
    EXPECT_TRUE(Enabled(IDC_APPLY));
    EXPECT_TRUE(Enabled(IDC_RESET));

    EXPECT_TRUE(Click(IDC_APPLY).empty());
    EXPECT_EQ(settings.passwordHash, digest);
    EXPECT_EQ(settings.passwordProtected, 1);
    EXPECT_TRUE(settings.CheckPassword("secret"));
    EXPECT_EQ(page->modified, 0);
    EXPECT_FALSE(Enabled(IDC_APPLY));
    EXPECT_FALSE(Enabled(IDC_RESET));
    EXPECT_EQ(Text(IDC_PASSWORD), digest.substr(0, 8));
    EXPECT_EQ(SettingsFile().size(), 129u);
    EXPECT_EQ(LoadedBack().passwordHash, digest);

    // Typing a new password in both boxes replaces the old one.
    Type(IDC_PASSWORD, "Another1");
    Type(IDC_CONFIRM_PASSWORD, "Another1");
    EXPECT_EQ(page->modified, 1);
    EXPECT_TRUE(Click(IDC_APPLY).empty());
    EXPECT_EQ(settings.passwordHash, Sha256Hex("Another1"));
    EXPECT_TRUE(settings.CheckPassword("Another1"));
    EXPECT_FALSE(settings.CheckPassword("secret"));
    EXPECT_EQ(Text(IDC_CONFIRM_PASSWORD), settings.passwordHash.substr(0, 8));
    EXPECT_EQ(LoadedBack().passwordHash, settings.passwordHash);
}

TEST_F(SettingsPage, FirstProtectionNeedsAndDigestsATypedPassword)
{
    OpenPage();
    EXPECT_FALSE(Checked(IDC_PROTECT));
    EXPECT_FALSE(Enabled(IDC_PASSWORD));
    EXPECT_FALSE(Enabled(IDC_CONFIRM_PASSWORD));
    EXPECT_EQ(Text(IDC_PASSWORD), "");

    EXPECT_TRUE(Click(IDC_PROTECT).empty());
    EXPECT_TRUE(Enabled(IDC_PASSWORD));
    EXPECT_TRUE(Enabled(IDC_CONFIRM_PASSWORD));

    // Empty boxes: refused, nothing applied.
    EXPECT_EQ(Click(IDC_APPLY),
              std::vector<std::string>{"Warning: Protected password is empty. Please try again."});
    EXPECT_EQ(settings.passwordProtected, 0);
    EXPECT_TRUE(settings.passwordHash.empty());
    EXPECT_FALSE(FileExists(settings.FilePath()));
    EXPECT_TRUE(Enabled(IDC_APPLY));
    EXPECT_EQ(page->modified, 1);

    Type(IDC_PASSWORD, "pa55");
    Type(IDC_CONFIRM_PASSWORD, "pa55");
    EXPECT_TRUE(Click(IDC_APPLY).empty());
    EXPECT_EQ(settings.passwordProtected, 1);
    EXPECT_TRUE(settings.CheckPassword("pa55"));
    EXPECT_EQ(Text(IDC_PASSWORD), settings.passwordHash.substr(0, 8));
    EXPECT_EQ(Text(IDC_CONFIRM_PASSWORD), settings.passwordHash.substr(0, 8));
    PersistedSettings loaded = LoadedBack();
    EXPECT_EQ(loaded.passwordProtected, 1);
    EXPECT_EQ(loaded.passwordHash, settings.passwordHash);
}

TEST_F(SettingsPage, TurningProtectionOffEmptiesTheDigestInTheRecordAndTheFile)
{
    Protect("secret");
    OpenPage();

    EXPECT_TRUE(Click(IDC_PROTECT).empty());
    EXPECT_TRUE(Click(IDC_APPLY).empty());
    EXPECT_EQ(settings.passwordProtected, 0);
    EXPECT_TRUE(settings.passwordHash.empty());
    EXPECT_EQ(Text(IDC_PASSWORD), "");
    EXPECT_EQ(Text(IDC_CONFIRM_PASSWORD), "");
    EXPECT_FALSE(Enabled(IDC_PASSWORD));

    // Header, six numbers, two flags and a zero digest length, no digest.
    std::string file = SettingsFile();
    ASSERT_EQ(file.size(), 65u);
    EXPECT_EQ(file.substr(61), std::string(4, '\0'));
    PersistedSettings loaded = LoadedBack();
    EXPECT_EQ(loaded.passwordProtected, 0);
    EXPECT_TRUE(loaded.passwordHash.empty());
}

TEST_F(SettingsPage, StartWithWindowsWritesAndThenDeletesTheRunValueInOneVisit)
{
    OpenPage();
    ASSERT_EQ(RunValue(), "<absent>");

    EXPECT_TRUE(Click(IDC_START_WITH_WINDOWS).empty());
    EXPECT_TRUE(Checked(IDC_START_WITH_WINDOWS));
    EXPECT_TRUE(Click(IDC_APPLY).empty());
    EXPECT_EQ(settings.startWithWindows, 1);
    // The program's own path, quoted: Windows reads an unquoted path with blanks piece by piece.
    EXPECT_EQ(RunValue(), "\"" + OwnPath() + "\"");
    EXPECT_EQ(LoadedBack().startWithWindows, 1);

    EXPECT_TRUE(Click(IDC_START_WITH_WINDOWS).empty());
    EXPECT_TRUE(Click(IDC_APPLY).empty());
    EXPECT_EQ(settings.startWithWindows, 0);
    EXPECT_EQ(RunValue(), "<absent>");
    EXPECT_EQ(LoadedBack().startWithWindows, 0);
}

// The box says what Windows will do at the next sign-in, whatever settings.dat
// says; Apply writes whatever differs from the registry.
TEST_F(SettingsPage, StartWithWindowsShowsAndAppliesWhatTheRegistrySays)
{
    const std::string quoted = "\"" + OwnPath() + "\"";
    struct Case
    {
        const char* what;
        std::string runValue;
        std::vector<uint8_t> approval;
        bool checked;
    };
    const Case cases[] = {
        {"settings.dat says on, no Run value (an old file, or removed from Settings)", "", {}, false},
        {"a value for the 32-bit folder the 64-bit package replaced", "\"C:\\Program Files (x86)\\Velmora\\Velmora.exe\"", {}, false},
        {"turned off in Task Manager", quoted, kTurnedOff, false},
        {"on, recorded as on", quoted, kApprovedOn, true},
        {"on, written unquoted by an earlier version", OwnPath(), {}, true},
    };
    for (const Case& test : cases)
    {
        SCOPED_TRACE(test.what);
        DeleteRunValue();
        if (!test.runValue.empty())
            SetRunValue(test.runValue);
        if (!test.approval.empty())
            SetApproval(test.approval);
        settings.startWithWindows = 1;
        OpenPage();
        EXPECT_EQ(Checked(IDC_START_WITH_WINDOWS), test.checked);

        // Checked and applied, it starts this program, whatever was there.
        if (!test.checked)
        {
            EXPECT_TRUE(Click(IDC_START_WITH_WINDOWS).empty());
            EXPECT_TRUE(Click(IDC_APPLY).empty());
            EXPECT_EQ(RunValue(), quoted);
            EXPECT_EQ(LoadedBack().startWithWindows, 1);
        }
        // Named, and not turned off in Task Manager.
        EXPECT_TRUE(ReadStartupEntry().StartsThisProgram());
        page->DestroyWindow();
    }
    // A value naming another program is not this program's to delete.
    DeleteRunValue();
    SetRunValue("\"C:\\Elsewhere\\Velmora.exe\"");
    OpenPage();
    EXPECT_TRUE(Click(IDC_PROTECT).empty());
    EXPECT_TRUE(Click(IDC_PROTECT).empty());
    EXPECT_TRUE(Click(IDC_APPLY).empty());
    EXPECT_EQ(RunValue(), "\"C:\\Elsewhere\\Velmora.exe\"");
    EXPECT_EQ(settings.startWithWindows, 0);
}

// Task Manager's record turns the value off by the low bit of its first byte
// (Windows 10 writes 02 and 06 for on, 03 and 07 for off); the program is
// compared as a path, without case and without the blanks around it.
TEST(StartupEntry, IsOnOnlyWhenTheValueNamesThisProgramAndIsNotTurnedOff)
{
    const std::wstring program = L"C:\\Program Files\\Velmora\\Velmora.exe";
    const std::wstring quoted = L"\"" + program + L"\"";
    using Bytes = std::vector<uint8_t>;
    struct Case
    {
        std::optional<std::wstring> command;
        std::optional<Bytes> approval;
        bool starts;
    };
    const Case cases[] = {
        {std::nullopt, Bytes{0x02}, false},
        {quoted, Bytes{0x06, 0}, true},
        {quoted, Bytes{0x07, 0}, false},
        {quoted, Bytes{}, true},
        {L"  \"c:\\program files\\velmora\\VELMORA.EXE\" ", std::nullopt, true},
        {L"\"C:\\Program Files\\Velmora\\Velmora.exe.old\"", std::nullopt, false},
        {L"", std::nullopt, false},
    };
    for (const Case& test : cases)
        EXPECT_EQ(JudgeStartupEntry(test.command, test.approval, program).StartsThisProgram(), test.starts)
            << Narrow(test.command.value_or(L"<none>"));
}

// At a start, a value left on for another path is made to name this program;
// one the user turned off, or none, is left as it is.
TEST(StartupEntry, AStartRepairsAValueLeftOnForAnotherPath)
{
    DeleteRunValue();
    RepairStartupEntry();
    EXPECT_EQ(RunValue(), "<absent>");

    SetRunValue("\"C:\\Program Files (x86)\\Velmora\\Velmora.exe\"");
    SetApproval(kTurnedOff);
    RepairStartupEntry();
    EXPECT_EQ(RunValue(), "\"C:\\Program Files (x86)\\Velmora\\Velmora.exe\"");

    RegDeleteKeyValueW(HKEY_CURRENT_USER, kApprovedKey, L"Velmora");
    RepairStartupEntry();
    EXPECT_EQ(RunValue(), "\"" + OwnPath() + "\"");
    EXPECT_TRUE(ReadStartupEntry().StartsThisProgram());
    DeleteRunValue();
}

TEST_F(SettingsPage, ConfirmationMismatchChangesNothing)
{
    OpenPage();
    EXPECT_TRUE(Click(IDC_START_WITH_WINDOWS).empty());
    EXPECT_TRUE(Click(IDC_PROTECT).empty());
    Type(IDC_PASSWORD, "abc");

    const std::vector<std::string> mismatch = {
        "Warning: The confirmation protected password is wrong. Please try again."};
    EXPECT_EQ(Click(IDC_APPLY), mismatch);
    // The comparison is exact: a change of case is a mismatch too.
    Type(IDC_CONFIRM_PASSWORD, "ABC");
    EXPECT_EQ(Click(IDC_APPLY), mismatch);

    EXPECT_EQ(settings.startWithWindows, 0);
    EXPECT_EQ(settings.passwordProtected, 0);
    EXPECT_TRUE(settings.passwordHash.empty());
    EXPECT_EQ(RunValue(), "<absent>");
    EXPECT_FALSE(FileExists(settings.FilePath()));
    // The page keeps the edits for another try.
    EXPECT_EQ(page->modified, 1);
    EXPECT_TRUE(Enabled(IDC_APPLY));
    EXPECT_EQ(Text(IDC_PASSWORD), "abc");
    EXPECT_TRUE(Checked(IDC_START_WITH_WINDOWS));
}

TEST_F(SettingsPage, ResetAndTheUnappliedChangesQuestion)
{
    Protect("secret");
    const std::string placeholder = settings.passwordHash.substr(0, 8);
    OpenPage();

    // Nothing edited: no question.
    {
        DialogCloser closer;
        EXPECT_TRUE(page->ConfirmLeave(host.hwnd));
        EXPECT_TRUE(closer.Stop().empty());
    }

    Type(IDC_PASSWORD, "other");
    EXPECT_TRUE(Click(IDC_START_WITH_WINDOWS).empty());
    const std::string question = "Warning: You didn't apply any changes. Do you want to reset them?";
    {
        DialogCloser closer({IDCANCEL});
        EXPECT_FALSE(page->ConfirmLeave(host.hwnd));
        std::vector<SeenPrompt> seen = closer.Stop();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].caption + ": " + seen[0].text, question);
    }
    EXPECT_EQ(Text(IDC_PASSWORD), "other");
    EXPECT_TRUE(Checked(IDC_START_WITH_WINDOWS));
    EXPECT_EQ(page->modified, 1);

    {
        DialogCloser closer({IDOK});
        EXPECT_TRUE(page->ConfirmLeave(host.hwnd));
        EXPECT_EQ(closer.Stop().size(), 1u);
    }
    EXPECT_EQ(Text(IDC_PASSWORD), placeholder);
    EXPECT_FALSE(Checked(IDC_START_WITH_WINDOWS));
    EXPECT_EQ(page->modified, 0);
    EXPECT_FALSE(Enabled(IDC_APPLY));
    EXPECT_FALSE(Enabled(IDC_RESET));

    // The Reset button does the same, and a later Apply sees no typed password.
    EXPECT_TRUE(Click(IDC_PROTECT).empty());
    Type(IDC_CONFIRM_PASSWORD, "x");
    EXPECT_TRUE(Click(IDC_RESET).empty());
    EXPECT_TRUE(Checked(IDC_PROTECT));
    EXPECT_TRUE(Enabled(IDC_PASSWORD));
    EXPECT_EQ(Text(IDC_CONFIRM_PASSWORD), placeholder);
    EXPECT_EQ(page->modified, 0);
    EXPECT_FALSE(Enabled(IDC_RESET));
    EXPECT_TRUE(Click(IDC_START_WITH_WINDOWS).empty());
    EXPECT_TRUE(Click(IDC_START_WITH_WINDOWS).empty());
    EXPECT_TRUE(Click(IDC_APPLY).empty());
    EXPECT_TRUE(settings.CheckPassword("secret"));
    EXPECT_EQ(RunValue(), "<absent>");
}
