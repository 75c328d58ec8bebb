// The search page in a window of its own, with the helpers its tests share:
// rows as a search leaves them, clicks, keys and list cells as a user sees them.
#pragma once

#include "engine/SearchResults.h"
#include "framework/Text.h"
#include "resources/resource.h"
#include "search_page/CWindowWiperEntries.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/MessagePump.h"
#include "tests/support/PageHost.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

// A row named `name` in `folder`, its texts kept for the whole test program.
FoundFile Row(const std::string& name, uint64_t size, int64_t testedTime, const std::string& folder = "C:\\data\\");
// The time that local time shows as 01/02/24 10:00:00.
int64_t SecondOfJanuary2nd();
SYSTEMTIME Date(WORD year, WORD month, WORD day, WORD hour = 12, WORD minute = 0, WORD second = 0);
// Rows f0.dat to f<count-1>.dat, of sizes 0 to count-1, the later found ones older.
std::vector<FoundFile> NumberedRows(int count);

enum Column
{
    ColumnN = 0,
    ColumnName = 1,
    ColumnSize = 4,
    ColumnDate = 5,
};

inline const std::string kTypeMessage = "Warning: Please enter the file type in the following format: *.doc";
inline const std::string kDateMessage = "Warning: Incorrect date range. The 'To' date should be after the 'From' date";
inline const std::string kSizeMessage =
    "Warning: Incorrect file size range. The 'To' value should be greater than the 'From' value";
inline const std::string kFolderMessage = "Warning: Please select any folder.";
inline const std::string kAgeMessage = "Warning: Please enter a number of days, weeks, months or years from 1 to 9999.";

class SearchPage : public testing::Test
{
protected:
    // The page's own window, in the host's.
    HWND window = nullptr;
    PageHost host;
    std::unique_ptr<CWindowWiperEntries> page;

    void SetUp() override
    {
        ASSERT_TRUE(host.Open("Search page test", 800, 700, WS_OVERLAPPEDWINDOW | WS_VISIBLE));
        page = std::make_unique<CWindowWiperEntries>();
        ASSERT_TRUE(page->Create(host.hwnd));
        window = page->hwnd;
        MoveWindow(window, 0, 0, 780, 650, TRUE);
        ShowWindow(window, SW_SHOW);
    }

    void TearDown() override
    {
        host.DestroyWindow();
    }

    HWND Item(int id) const { return GetDlgItem(window, id); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != 0; }
    bool Visible(int id) const { return IsWindowVisible(Item(id)) != 0; }
    std::string Text(int id) const { return GetWindowTextUtf8(Item(id)); }
    void SetText(int id, const std::string& text) { SetWindowTextW(Item(id), Widen(text).c_str()); }

    // A click as the mouse gives it: a disabled button ignores it.
    void Click(int id) { SendMessageW(Item(id), BM_CLICK, 0, 0); }

    void Choose(int id, int index)
    {
        SendMessageW(Item(id), CB_SETCURSEL, index, 0);
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)Item(id));
    }

    void SetPicker(int id, const SYSTEMTIME& time) { SendMessageW(Item(id), DTM_SETSYSTEMTIME, GDT_VALID, (LPARAM)&time); }

    SYSTEMTIME Picker(int id) const
    {
        SYSTEMTIME time = {};
        SendMessageW(Item(id), DTM_GETSYSTEMTIME, 0, (LPARAM)&time);
        return time;
    }

    // Clicks a button and returns the texts of the prompts it raised, answering them with `answers`.
    std::vector<std::string> ClickAndAnswer(int id, std::vector<int> answers = {})
    {
        DialogCloser closer(answers);
        Click(id);
        std::vector<std::string> texts;
        for (const SeenPrompt& prompt : closer.Stop())
            texts.push_back(prompt.caption + ": " + prompt.text);
        return texts;
    }

    // Rows as a search would have left them in the page's results.
    void SetRows(const std::vector<FoundFile>& rows)
    {
        SearchResults& found = page->Found();
        found.Clear();
        found.Append(rows.data(), rows.size());
        found.SetFoundCount(rows.size());
        page->RefreshResults();
    }

    HWND Results() const { return Item(IDC_RESULTS); }
    int RowCount(HWND list) const { return (int)SendMessageW(list, LVM_GETITEMCOUNT, 0, 0); }

    std::string Cell(HWND list, int row, int column) const
    {
        wchar_t buffer[300] = {};
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = 300;
        SendMessageW(list, LVM_GETITEMTEXTW, row, (LPARAM)&item);
        return Narrow(buffer);
    }

    std::vector<std::string> ColumnTexts(int column) const
    {
        std::vector<std::string> texts;
        for (int row = 0; row < RowCount(Results()); row++)
            texts.push_back(Cell(Results(), row, column));
        return texts;
    }

    // A left click on a heading of the result list, through the heading control itself.
    void ClickHeading(int column)
    {
        HWND header = (HWND)SendMessageW(Results(), LVM_GETHEADER, 0, 0);
        RECT rect = {};
        SendMessageW(header, HDM_GETITEMRECT, column, (LPARAM)&rect);
        LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, point);
        SendMessageW(header, WM_LBUTTONUP, 0, point);
    }

    // The sort direction is kept across pages and searches: a click on another
    // column first makes the next click sort ascending.
    void SortBy(int column, bool ascending = true)
    {
        ClickHeading(column == ColumnN ? ColumnName : ColumnN);
        ClickHeading(column);
        if (!ascending)
            ClickHeading(column);
    }

    void Select(HWND list, int row, bool selected = true)
    {
        LVITEMW item = {};
        item.state = selected ? LVIS_SELECTED : 0;
        item.stateMask = LVIS_SELECTED;
        SendMessageW(list, LVM_SETITEMSTATE, row, (LPARAM)&item);
    }

    std::vector<int> SelectedRows(HWND list) const
    {
        std::vector<int> rows;
        for (int row = (int)SendMessageW(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED); row != -1;
             row = (int)SendMessageW(list, LVM_GETNEXTITEM, row, LVNI_SELECTED))
            rows.push_back(row);
        return rows;
    }

    // The "N" texts of the rows the list shows selected.
    std::set<std::string> SelectedNumbers() const
    {
        std::set<std::string> numbers;
        for (int row : SelectedRows(Results()))
            numbers.insert(Cell(Results(), row, ColumnN));
        return numbers;
    }

    void Focus(int row)
    {
        LVITEMW item = {};
        item.state = item.stateMask = LVIS_FOCUSED;
        SendMessageW(Results(), LVM_SETITEMSTATE, row, (LPARAM)&item);
    }

    int FocusedRow() const { return (int)SendMessageW(Results(), LVM_GETNEXTITEM, -1, LVNI_FOCUSED); }

    // The selection total, once the page has caught up with the last change.
    std::string SelectionText()
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        return Text(IDC_SELECTION_TOTAL);
    }

    // A click on a row of the result list as the mouse gives it, with Shift or Ctrl held as asked.
    void ClickRow(int row, UINT keys = 0) { ClickListRow(Results(), row, keys); }

    static void ClickListRow(HWND list, int row, UINT keys = 0)
    {
        RECT rect = {LVIR_BOUNDS, 0, 0, 0};
        SendMessageW(list, LVM_GETITEMRECT, row, (LPARAM)&rect);
        LPARAM point = MAKELPARAM(rect.left + 40, (rect.top + rect.bottom) / 2);
        HoldKeys(keys & MK_SHIFT, keys & MK_CONTROL);
        SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON | keys, point);
        SendMessageW(list, WM_LBUTTONUP, keys, point);
        HoldKeys(false, false);
    }

    // A key on the result list, with Ctrl or Shift held as asked.
    void PressListKey(UINT key, bool control = false, bool shift = false)
    {
        HoldKeys(shift, control);
        SendMessageW(Results(), WM_KEYDOWN, key, 1);
        SendMessageW(Results(), WM_KEYUP, key, 0xC0000001);
        HoldKeys(false, false);
    }

    static void HoldKeys(bool shift, bool control)
    {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        keys[VK_CONTROL] = control ? 0x80 : 0;
        SetKeyboardState(keys);
    }

    void Command(int id) { SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    // The found files' selection, in found order: what a deletion is given.
    std::vector<int> SelectedFlags() const
    {
        std::vector<int> flags;
        SearchResults::Reading rows(page->Found());
        for (const FoundFile& file : rows.Rows())
            flags.push_back(file.rowSelected);
        return flags;
    }

    // Pumps until the search or deletion has ended and its window has closed.
    bool WaitUntilIdle(const wchar_t* caption)
    {
        return PumpUntil([&] { return !page->OperationActive() && Enabled(IDC_FIND); }) &&
               PumpUntil([&] { return !FindWindowW(L"#32770", caption); });
    }

    // Holds a search, or a deletion of the selected rows, running: its worker is
    // paused, as the main window pauses it, before its first entry or row. The
    // search's one location and the rows' files do not exist, so when it goes
    // on again ReleaseOperation answers their questions with "Skip all".
    void HoldSearch();
    void HoldDeletion();
    void ReleaseOperation();

private:
    void PauseTheWorker();
};

