#include "tests/engine/EngineFixture.h"

#include "framework/Text.h"
#include "resources/resource.h"
#include "tests/support/DialogDriver.h"

#include <thread>

namespace
{
class DeleteTest : public EngineTest
{
protected:
    std::vector<std::string> paths;

    // Five rows, one per file, as a search would have listed them.
    void SetUp() override
    {
        for (int i = 1; i <= 5; i++)
        {
            std::string name = "file" + std::to_string(i) + ".doc";
            paths.push_back(MakeFile(name, i));
            FoundFile row;
            row.name = name;
            row.type = "doc";
            row.folder = folder.Path();
            row.size = i;
            settings.foundFiles.push_back(row);
        }
        settings.foundCount = 5;
    }

    void Mark(std::initializer_list<int> rows)
    {
        for (int row : rows)
            settings.foundFiles[row - 1].selected = 1;
        page.selectedCount = rows.size();
    }
};

// Reads the progress window's count lines until it closes.
class CountLinesWatcher
{
public:
    CountLinesWatcher()
        : thread([this] {
              HWND window = WaitForDialog("Deleting Files");
              while (window && IsWindow(window))
              {
                  wchar_t text[128];
                  if (InternalGetWindowText(GetDlgItem(window, IDC_PROGRESS_COUNT1), text, 128) && IsWindowVisible(GetDlgItem(window, IDC_PROGRESS_COUNT1)))
                      first = Narrow(text);
                  if (InternalGetWindowText(GetDlgItem(window, IDC_PROGRESS_COUNT2), text, 128))
                      second = Narrow(text);
                  Sleep(2);
              }
          })
    {
    }
    ~CountLinesWatcher() { Join(); }
    void Join()
    {
        if (thread.joinable())
            thread.join();
    }

    std::string first;
    std::string second;

private:
    std::thread thread;
};
}

TEST_F(DeleteTest, MarkedRowsGoAndTheOthersKeepTheirOrder)
{
    Mark({2, 3});
    CountLinesWatcher lines;
    Delete();
    lines.Join();
    EXPECT_EQ(FoundNames(), (std::vector<std::string>{"file1.doc", "file4.doc", "file5.doc"}));
    EXPECT_TRUE(FileExists(paths[0]));
    EXPECT_FALSE(FileExists(paths[1]));
    EXPECT_FALSE(FileExists(paths[2]));
    EXPECT_TRUE(FileExists(paths[3]));
    EXPECT_EQ(lines.first, "Total number of files:2");
    EXPECT_EQ(lines.second, "Number of deleted files: 2");
    EXPECT_EQ(settings.foundCount, 5u);
}

namespace
{
class UndeletableTest : public DeleteTest
{
protected:
    HANDLE held = INVALID_HANDLE_VALUE;

    // Row 2 is read-only, row 4 is held open without delete sharing.
    void SetUp() override
    {
        DeleteTest::SetUp();
        SetFileAttributesW(Widen(paths[1]).c_str(), FILE_ATTRIBUTE_READONLY);
        held = CreateFileW(Widen(paths[3]).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        Mark({1, 2, 3, 4, 5});
    }

    void TearDown() override
    {
        CloseHandle(held);
    }

    std::string Prompt(int row) const
    {
        return "File  \"" + paths[row - 1] + "\" cannot be deleted.";
    }
};
}

TEST_F(UndeletableTest, SkipAsksForEachFileAndKeepsItsRow)
{
    DialogCloser answers({IDC_CHOICE_NO, IDC_CHOICE_NO});
    CountLinesWatcher lines;
    Delete();
    lines.Join();
    std::vector<SeenPrompt> seen = answers.Stop();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].caption, "Warning");
    EXPECT_EQ(seen[0].text, Prompt(2));
    EXPECT_EQ(seen[1].text, Prompt(4));
    EXPECT_EQ(FoundNames(), (std::vector<std::string>{"file2.doc", "file4.doc"}));
    EXPECT_EQ(settings.foundFiles[0].selected, 1);
    EXPECT_EQ(lines.first, "Total number of files:5");
    EXPECT_EQ(lines.second, "Number of deleted files: 3");
}

TEST_F(UndeletableTest, SkipAllSilencesTheRestOfTheRun)
{
    DialogCloser answers({IDC_CHOICE_NO_FOR_ALL});
    Delete();
    EXPECT_EQ(answers.Stop().size(), 1u);
    EXPECT_EQ(FoundNames(), (std::vector<std::string>{"file2.doc", "file4.doc"}));
    EXPECT_FALSE(FileExists(paths[4]));
}

TEST_F(UndeletableTest, CancelEndsTheRunAtOnce)
{
    DialogCloser answers({IDCANCEL});
    Delete();
    EXPECT_EQ(answers.Stop().size(), 1u);
    EXPECT_EQ(FoundNames(), (std::vector<std::string>{"file2.doc", "file3.doc", "file4.doc", "file5.doc"}));
    EXPECT_FALSE(FileExists(paths[0]));
    EXPECT_TRUE(FileExists(paths[2]));
    EXPECT_TRUE(FileExists(paths[4]));
}

TEST_F(UndeletableTest, TheProgressWindowCanStopWhileTheWorkerAsks)
{
    // While the worker's own prompt is open, Escape on the progress window asks
    // to terminate; No lets the run go on once the prompt is answered.
    std::string question;
    std::thread driver([&] {
        HWND prompt = WaitForDialog("Warning");
        HWND window = WaitForDialog("Deleting Files");
        PressKey(window, VK_ESCAPE);
        Sleep(300);
        HWND ask = nullptr;
        for (int i = 0; i < 100 && !ask; i++, Sleep(20))
        {
            HWND candidate = WaitForDialog("Warning", 50);
            if (candidate && candidate != prompt)
                ask = candidate;
        }
        if (ask)
        {
            question = ControlText(ask, IDC_PROMPT_TEXT);
            ClickButton(ask, IDCANCEL);
        }
        Sleep(200);
        ClickButton(prompt, IDC_CHOICE_NO_FOR_ALL);
    });
    Delete();
    driver.join();
    EXPECT_EQ(question, "Do you want to terminate deleting?");
    EXPECT_EQ(FoundNames(), (std::vector<std::string>{"file2.doc", "file4.doc"}));
}

TEST_F(DeleteTest, NamesOutsideTheCodePageAndLongPathsAreDeleted)
{
    std::string deep = "long";
    while (folder.Path().size() + deep.size() < 300)
        deep += "\\a-folder-name-of-some-length";
    std::string longPath = MakeFile(deep + "\\x.doc", 1);
    std::string wide = MakeFile("\xE6\x97\xA5\xE6\x9C\xAC.doc", 1);
    for (const std::string& path : {longPath, wide})
    {
        FoundFile row;
        row.folder = path.substr(0, path.rfind('\\') + 1);
        row.name = path.substr(path.rfind('\\') + 1);
        row.selected = 1;
        settings.foundFiles.push_back(row);
    }
    page.selectedCount = 2;
    DialogCloser none;
    Delete();
    EXPECT_TRUE(none.Stop().empty());
    EXPECT_FALSE(FileExists(longPath));
    EXPECT_FALSE(FileExists(wide));
    EXPECT_EQ(settings.foundFiles.size(), 5u);
}
