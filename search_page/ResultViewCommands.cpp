// The commands on the result rows: open, open the folder, copy the paths,
// save the list, skip their folders, and the context menu that offers them.
#include "search_page/CResultView.h"

#include "engine/TextCase.h"
#include "framework/ComScope.h"
#include "framework/Prompts.h"
#include "framework/ReplaceFile.h"
#include "framework/Text.h"
#include "resources/resource.h"
#include "search_page/ResultText.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <unordered_map>


namespace
{
const char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";
const wchar_t kDefaultListName[] = L"Velmora results.csv";
// Room for a long path typed into the save dialog.
const DWORD kSavePathChars = 32768;

void ShowWarning(HWND owner, const std::string& text)
{
    ShowMessage(owner, "Warning", "", text, IDI_EXCLAMATION_MARK);
}

// A row's path as the shell must be given it: a 32-bit Velmora lists the real
// System32, which the shell it asks would take for SysWOW64.
std::string ShellPath(const std::string& path)
{
    BOOL redirected = FALSE;
    wchar_t system[MAX_PATH] = {};
    wchar_t windows[MAX_PATH] = {};
    if (!IsWow64Process(GetCurrentProcess(), &redirected) || !redirected ||
        !GetSystemDirectoryW(system, MAX_PATH) || !GetSystemWindowsDirectoryW(windows, MAX_PATH))
        return path;
    return ShellPathOf(path, Narrow(system), Narrow(windows), true);
}

}

void CResultView::OpenFile(int row)
{
    const std::string path = RowPath(row);
    if (path.empty())
        return;
    ComScope com;
    HINSTANCE started =
        ShellExecuteW(Page(), L"open", Widen(ShellPath(path)).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    if ((INT_PTR)started <= 32)
        ShowWarning(Page(), "Could not open \"" + path + "\".");
}

void CResultView::OpenFolder(int row)
{
    const std::string path = RowPath(row);
    if (path.empty())
        return;
    ComScope com;
    PIDLIST_ABSOLUTE item = nullptr;
    HRESULT result = SHParseDisplayName(Widen(ShellPath(path)).c_str(), nullptr, &item, 0, nullptr);
    if (SUCCEEDED(result))
    {
        // The file's own item list with no children opens its folder with it selected.
        result = SHOpenFolderAndSelectItems(item, 0, nullptr, 0);
        CoTaskMemFree(item);
    }
    if (FAILED(result))
        ShowWarning(Page(), "Could not show \"" + path + "\" in its folder.");
}

void CResultView::CopyPaths()
{
    std::string paths;
    {
        SearchResults::Reading rows(*found);
        for (size_t file : rowOrder)
        {
            if (file >= rows.Rows().size() || !rows.Rows()[file].rowSelected)
                continue;
            if (!paths.empty())
                paths += "\r\n";
            paths += rows.Rows()[file].Path();
        }
    }
    CopyToClipboard(Page(), paths);
}

void CResultView::CopyToClipboard(HWND owner, const std::string& utf8)
{
    const std::wstring text = Widen(utf8);
    if (text.empty() || !OpenClipboard(owner))
        return;
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes))
    {
        memcpy(GlobalLock(memory), text.c_str(), bytes);
        GlobalUnlock(memory);
        // The clipboard owns the memory once it has taken it.
        if (!SetClipboardData(CF_UNICODETEXT, memory))
            GlobalFree(memory);
    }
    CloseClipboard();
}

std::vector<std::string> CResultView::DropSelectedFolders()
{
    std::vector<std::string> folders;
    std::vector<std::string> lowered;
    std::vector<uint32_t> dropped;
    {
        SearchResults::Reading rows(*found);
        for (size_t file : rowOrder)
        {
            if (file >= rows.Rows().size() || !rows.Rows()[file].rowSelected)
                continue;
            const std::string& folder = rows.Rows()[file].Folder();
            std::string key = LowerText(folder);
            if (std::find(lowered.begin(), lowered.end(), key) != lowered.end())
                continue;
            folders.push_back(folder);
            lowered.push_back(std::move(key));
        }
        // A folder ends with its backslash, so a prefix is the folder itself or one below it.
        // Rows of one folder share its text: each folder is judged once.
        std::unordered_map<const std::string*, bool> below;
        for (size_t file = 0; file < rows.Rows().size(); file++)
        {
            const std::string& folder = rows.Rows()[file].Folder();
            auto [judged, first] = below.try_emplace(&folder, false);
            if (first)
            {
                const std::string key = LowerText(folder);
                judged->second = std::any_of(lowered.begin(), lowered.end(),
                                             [&](const std::string& skipped) { return key.starts_with(skipped); });
            }
            if (judged->second)
                dropped.push_back(static_cast<uint32_t>(rows.PlaceOf(file)));
        }
    }
    if (!dropped.empty())
    {
        // The rows that are left stay where they were shown.
        KeepShownOrder();
        found->DropFoundPlaces(dropped);
    }
    return folders;
}

void CResultView::SaveListAs()
{
    std::wstring path(kSavePathChars, L'\0');
    lstrcpynW(path.data(), kDefaultListName, (int)path.size());
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = Page();
    dialog.lpstrFilter = L"CSV files (*.csv)\0*.csv\0";
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = (DWORD)path.size();
    dialog.lpstrDefExt = L"csv";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_EXPLORER;
    if (GetSaveFileNameW(&dialog))
        SaveList(Narrow(path.c_str()));
}

bool CResultView::SaveList(const std::string& path)
{
    std::string text = kUtf8ByteOrderMark;
    text += CsvRecord({"N", "Name", "Type", "Location", "Size", "Date", "Path"});
    {
        SearchResults::Reading rows(*found);
        const std::vector<FoundFile>& files = rows.Rows();
        for (size_t file : rowOrder)
        {
            if (file >= files.size())
                continue;
            const FoundFile& row = files[file];
            const size_t place = rows.PlaceOf(file);
            text += CsvRecord({CellText(row, place, 0, zone), std::string(row.Name()), std::string(row.Type()),
                               row.Folder(), CellText(row, place, 4, zone), CellText(row, place, 5, zone),
                               row.Path()});
        }
    }
    // A failure leaves no half list.
    FileWriteFailure failure;
    if (!ReplaceFileContents(path, path + ".part", text.data(), text.size(), failure))
    {
        ShowFileError(Page(), path, failure.what, failure.error);
        return false;
    }
    return true;
}

void CResultView::ShowMenu(POINT point, bool enabled)
{
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDM_RESULTS));
    if (!menu)
        return;
    HMENU popup = GetSubMenu(menu, 0);
    const bool hasRow = ActiveRow() >= 0;
    const bool hasRows = !rowOrder.empty();
    const bool hasSelection = found->Selection().files > 0;
    const struct
    {
        UINT id;
        bool enabled;
    } items[] = {
        {ID_RESULTS_OPEN, hasRow},          {ID_RESULTS_OPEN_FOLDER, hasRow}, {ID_RESULTS_COPY_PATH, hasRow},
        {ID_RESULTS_SELECT_ALL, hasRows}, {ID_RESULTS_SAVE_LIST, hasRows}, {ID_RESULTS_SKIP_FOLDER, hasSelection},
        {ID_RESULTS_OPEN_RECORD, true},
    };
    for (const auto& item : items)
        EnableMenuItem(popup, item.id, MF_BYCOMMAND | (enabled && item.enabled ? MF_ENABLED : MF_GRAYED));
    // The sorted column is ticked as a heading's arrow shows it.
    for (int id = ID_RESULTS_SORT_N; id <= ID_RESULTS_SORT_DATE; id++)
    {
        EnableMenuItem(popup, id, MF_BYCOMMAND | (hasRows ? MF_ENABLED : MF_GRAYED));
        CheckMenuItem(popup, id, MF_BYCOMMAND | (id - ID_RESULTS_SORT_N == lastSortColumn ? MF_CHECKED : MF_UNCHECKED));
    }
    if (point.x == -1 && point.y == -1)
    {
        // From the keyboard: below the active row, or at the list's corner.
        RECT rect = {};
        GetClientRect(hwnd, &rect);
        const int row = ActiveRow();
        RECT rowRect = {LVIR_BOUNDS, 0, 0, 0};
        if (row >= 0 && SendMessageW(hwnd, LVM_GETITEMRECT, row, (LPARAM)&rowRect))
            rect = rowRect;
        point = {rect.left, rect.bottom};
        ClientToScreen(hwnd, &point);
    }
    // The chosen command reaches the page as WM_COMMAND.
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, 0, Page(), nullptr);
    DestroyMenu(menu);
}
