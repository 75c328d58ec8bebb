// The locations list of the search page: adding, removing and emptying.
#include "search_page/CWindowWiperEntries.h"

#include "framework/ComScope.h"
#include "framework/Text.h"
#include "resources/resource.h"

#include <shlobj.h>

#include <algorithm>

void CWindowWiperEntries::OnAdd()
{
    DoDataExchange(true);
    // The new-style browser needs COM on this thread.
    ComScope com;
    BROWSEINFOW browse = {};
    browse.lpszTitle = L"Please, choose the folder...";
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
    if (PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&browse))
    {
        wchar_t path[MAX_PATH] = {};
        if (SHGetPathFromIDListW(item, path))
            AddLocation(Narrow(path));
        CoTaskMemFree(item);
    }
    DoDataExchange(false);
}

bool CWindowWiperEntries::AddLocation(const std::string& path)
{
    if (std::find(locations.begin(), locations.end(), path) != locations.end())
    {
        ShowWarning("This folder is already in list");
        return false;
    }
    locations.push_back(path);
    RefreshLocations();
    UpdateLocationButtons();
    return true;
}

void CWindowWiperEntries::OnRemove()
{
    const size_t count = selectedLocations.size();
    if (count < 1)
        return;
    if (!AskWarning("Do you want to remove " + std::to_string(count) + " item(s) from list?"))
        return;
    locationsList.SetRedraw(false);
    // The rows are in increasing order; each removal moves the later entries up by one.
    size_t removed = 0;
    for (size_t row : selectedLocations)
    {
        if (row - removed < locations.size())
        {
            locations.erase(locations.begin() + (row - removed));
            removed++;
        }
    }
    locationsList.SetRedraw(true);
    RefreshLocations();
    UpdateLocationButtons();
}

void CWindowWiperEntries::OnEmptyList()
{
    if (!AskWarning("Do you want to empty list?"))
        return;
    locationsList.DeleteAllItems();
    locations.clear();
    locationsList.SetRedraw(true);
    RefreshLocations();
    UpdateLocationButtons();
}

void CWindowWiperEntries::OnLocationsSelChange()
{
    UpdateLocationButtons();
}

void CWindowWiperEntries::RefreshLocations()
{
    locationsList.DeleteAllItems();
    for (size_t i = 0; i < locations.size(); i++)
    {
        locationsList.InsertItem((int)i, std::to_string(i + 1), (LPARAM)i);
        locationsList.SetItemText((int)i, 1, locations[i]);
    }
    findReady = true;
    UpdateButtons();
}

void CWindowWiperEntries::UpdateLocationButtons()
{
    selectedLocations.clear();
    for (int row = locationsList.GetNextItem(-1, LVNI_SELECTED); row != -1;
         row = locationsList.GetNextItem(row, LVNI_SELECTED))
        selectedLocations.push_back((size_t)locationsList.GetItemData(row));
    findReady = true;
    UpdateButtons();
}
