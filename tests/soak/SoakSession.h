// A user's round through the main window, repeated by the soak: search, sort,
// select, delete, every page, the tray menu and an update check. Each step
// checks that it did what a user would see, and says what went wrong if not.
#pragma once

#include <windows.h>

#include <string>

class CWindowMain;
class CWindowWiperEntries;

class SoakSession
{
public:
    static const size_t kCycleFiles = 10000;
    static const size_t kDeletedPerCycle = 100;

    // `trees` holds the folders the tree script made; the script, serving
    // beside the soak, makes the deleted files again.
    SoakSession(CWindowMain& app, const std::string& trees);

    // One round; false with `failure` set when a step did not do its work.
    bool RunCycle();
    // The search of the million files, with the window's answers timed.
    bool RunLongSearch();
    const std::string& Failure() const { return failure; }

private:
    CWindowMain& app;
    CWindowWiperEntries& searchPage;
    HWND resultList;
    std::string trees;
    std::string failure;

    bool Fail(const std::string& what);
    void ShowPage(int page);
    // Clicks Find and waits until the search has ended and every row is listed.
    bool Find(size_t& rows);
    bool Search();
    void SortByThreeColumns();
    void SelectEvery(size_t step);
    bool DeleteSelected();
    bool TopUp();
    void VisitEveryPage();
    bool OpenAndCloseTrayMenu();
    bool CheckForUpdates();
};
