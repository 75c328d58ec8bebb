// The promise, as a property: whatever a user does on the search page, the files
// the result list shows selected, the selection line and the files a Delete
// would hand the worker are one set, and a deletion removes exactly that set.
// A seeded random run of clicks, keys, sorts, locations, deletions answered
// either way, a file that cannot be deleted and new searches.
//   VELMORA_PROMISE_SEEDS=N and VELMORA_PROMISE_STEPS=M make a longer run (make promise).
#include "tests/search_page/SearchPageFixture.h"

#include "search_page/ResultText.h"
#include "tests/support/TempFolder.h"

#include <cstdlib>
#include <map>
#include <numeric>
#include <random>

namespace
{
const int kSeeds = 1;
const int kSteps = 300;
const int kFolders = 3;
const int kFilesPerFolder = 5;
const int kColumns = 6;

int FromEnvironment(const char* name, int fallback)
{
    const char* value = getenv(name);
    return value && atoi(value) > 0 ? atoi(value) : fallback;
}

class PromiseTest : public SearchPage
{
protected:
    TempFolder root;
    std::vector<std::string> folders;
    // Every file the run made, with its size: nothing but the chosen ones may go.
    std::map<std::string, uint64_t> sizes;
    std::mt19937 random;

    void SetUp() override
    {
        SearchPage::SetUp();
        for (int folder = 0; folder < kFolders; folder++)
            folders.push_back(root.Path() + char('a' + folder));
    }

    int Pick(int count) { return count > 0 ? (int)(random() % (unsigned)count) : 0; }

    // Writes every file that is missing, as the same file as before.
    void WriteFiles()
    {
        for (const std::string& folder : folders)
        {
            for (int file = 0; file < kFilesPerFolder; file++)
            {
                const std::string name = "f" + std::to_string(file) + ".dat";
                const std::string path = folder + "\\" + name;
                const std::string content((size_t)(path.size() % 7 + file * 3 + 1), 'x');
                if (!FileExists(path))
                    root.WriteFile(folder.substr(root.Path().size()) + "\\" + name, content);
                sizes[path] = content.size();
            }
        }
    }

    std::string RowPath(int row) const { return Cell(Results(), row, 3) + Cell(Results(), row, ColumnName); }

    std::set<std::string> PathsOf(const std::vector<int>& rows) const
    {
        std::set<std::string> paths;
        for (int row : rows)
            paths.insert(RowPath(row));
        return paths;
    }

    std::set<std::string> ShownSelected() const { return PathsOf(SelectedRows(Results())); }

    std::set<std::string> Listed() const
    {
        std::vector<int> rows(RowCount(Results()));
        std::iota(rows.begin(), rows.end(), 0);
        return PathsOf(rows);
    }

    std::set<std::string> Chosen() const
    {
        std::set<std::string> paths;
        for (const ChosenFile& file : page->Found().ChosenFiles().files)
            paths.insert(file.path);
        return paths;
    }

    std::set<std::string> OnDisk() const
    {
        std::set<std::string> paths;
        for (const auto& [path, size] : sizes)
        {
            if (FileExists(path))
                paths.insert(path);
        }
        return paths;
    }

    // Clicks a button and answers every prompt it raises, in order; then waits for its worker.
    void ClickAnswering(int id, std::vector<int> answers, const wchar_t* workerCaption)
    {
        DialogCloser closer(answers);
        Click(id);
        PumpUntil([&] { return !page->OperationActive(); });
        PumpUntil([&] { return !FindWindowW(L"#32770", workerCaption); });
        closer.Stop();
    }

    // Adds a location unless it is listed: the same path again is refused with a message.
    void AddFolder(const std::string& folder)
    {
        const std::vector<std::string>& listed = page->Locations();
        if (std::find(listed.begin(), listed.end(), folder) == listed.end())
            page->AddLocation(folder);
    }

    // One thing a user does; its name, for the failure message.
    std::string Act()
    {
        const int rows = RowCount(Results());
        const UINT modifiers[] = {0, MK_CONTROL, MK_SHIFT};
        const UINT keys[] = {VK_UP, VK_DOWN, VK_HOME, VK_END, VK_SPACE, VK_NEXT, VK_PRIOR};
        switch (Pick(12))
        {
        case 0:
        case 1:
        case 2:
        {
            const int row = Pick(rows);
            const UINT held = modifiers[Pick(3)];
            ClickRow(row, held);
            return "click on result row " + std::to_string(row) + " with keys " + std::to_string(held);
        }
        case 3:
        {
            const UINT key = keys[Pick((int)std::size(keys))];
            const bool control = Pick(3) == 0;
            const bool shift = Pick(2) == 0;
            PressListKey(key, control, shift);
            return "key " + std::to_string(key) + (control ? " with Ctrl" : "") + (shift ? " with Shift" : "");
        }
        case 4:
            PressListKey('A', true);
            return "Ctrl+A";
        case 5:
        {
            const int column = Pick(kColumns);
            ClickHeading(column);
            return "sort by column " + std::to_string(column);
        }
        case 6:
        {
            HWND locations = Item(IDC_LOCATIONS);
            const int row = Pick(RowCount(locations));
            ClickListRow(locations, row, Pick(2) ? MK_CONTROL : 0);
            return "click on location " + std::to_string(row);
        }
        case 7:
        {
            if (Pick(2) && Enabled(IDC_REMOVE))
            {
                ClickAnswering(IDC_REMOVE, {}, L"");
                return "Remove";
            }
            const std::string folder = folders[Pick(kFolders)];
            AddFolder(folder);
            return "add location " + folder;
        }
        case 8:
            // With nothing chosen, "Please select any file." has only its OK.
            ClickAnswering(IDC_DELETE, {Chosen().empty() ? IDOK : IDCANCEL}, L"Deleting Files");
            return "Delete answered No";
        case 9:
        case 10:
            return DeleteAnsweredYes();
        default:
            WriteFiles();
            if (page->Locations().empty())
                AddFolder(folders[Pick(kFolders)]);
            ClickAnswering(IDC_FIND, {}, L"Files Searching");
            return "new search";
        }
    }

    // Yes to the question, one chosen file made undeletable at times and skipped.
    std::string DeleteAnsweredYes()
    {
        const std::set<std::string> chosen = Chosen();
        const std::set<std::string> before = OnDisk();
        const std::set<std::string> listedBefore = Listed();
        std::string held;
        if (!chosen.empty() && Pick(3) == 0)
        {
            held = *std::next(chosen.begin(), Pick((int)chosen.size()));
            SetFileAttributesW(LongPath(held).c_str(), FILE_ATTRIBUTE_READONLY);
        }
        ClickAnswering(IDC_DELETE, {IDOK, IDC_CHOICE_NO}, L"Deleting Files");
        if (!held.empty())
            SetFileAttributesW(LongPath(held).c_str(), FILE_ATTRIBUTE_NORMAL);

        std::set<std::string> deleted;
        for (const std::string& path : before)
        {
            if (!FileExists(path))
                deleted.insert(path);
        }
        std::set<std::string> expected = chosen;
        expected.erase(held);
        EXPECT_EQ(deleted, expected) << "the deleted files are not the chosen ones";
        std::set<std::string> listedAfter = listedBefore;
        for (const std::string& path : deleted)
            listedAfter.erase(path);
        EXPECT_EQ(Listed(), listedAfter) << "the rows left are not the files left";
        if (!held.empty())
        {
            EXPECT_TRUE(ShownSelected().count(held)) << "the file that could not be deleted is no longer selected";
        }
        return "Delete answered Yes" + (held.empty() ? std::string() : ", " + held + " undeletable");
    }

    // The three views of the selection agree.
    void CheckSelection()
    {
        const std::set<std::string> shown = ShownSelected();
        EXPECT_EQ(shown, Chosen()) << "the list shows other files selected than a Delete would delete";
        uint64_t bytes = 0;
        for (const std::string& path : shown)
            bytes += sizes[path];
        EXPECT_EQ(SelectionText(), SelectionTotalText(shown.size(), bytes)) << "the selection line is wrong";
    }
};
}

TEST_F(PromiseTest, ShownSelectionLineAndDeletionAreOneSetAfterEveryStep)
{
    const int seeds = FromEnvironment("VELMORA_PROMISE_SEEDS", kSeeds);
    const int steps = FromEnvironment("VELMORA_PROMISE_STEPS", kSteps);
    for (int seed = 1; seed <= seeds && !HasFailure(); seed++)
    {
        random.seed((unsigned)seed);
        AddFolder(folders[0]);
        WriteFiles();
        ClickAnswering(IDC_FIND, {}, L"Files Searching");
        for (int step = 1; step <= steps && !HasFailure(); step++)
        {
            const std::string action = Act();
            SCOPED_TRACE("seed " + std::to_string(seed) + ", step " + std::to_string(step) + ": " + action);
            CheckSelection();
        }
        // "Do you want to empty list?" answered Yes.
        ClickAnswering(IDC_EMPTY_LIST, {IDOK}, L"");
    }
}
