// Driving the controls of another process as a user would: the page tree, the
// folder browser, drop-down lists, buttons and list views. Pointer parameters
// go through RemoteMemory, since the system copies only text messages across.
#pragma once

#include "tests/e2e/ProgramUnderTest.h"

#include <windows.h>

#include <string>
#include <vector>

// Clicks a top-level item of the main window's page tree, by its caption.
bool ChoosePage(ProgramUnderTest& program, HWND mainWindow, const std::string& caption);
// Chooses "Delete Files" in the tree and returns the search page once it shows, or null.
HWND OpenSearchPage(ProgramUnderTest& program, HWND mainWindow);
// Clicks the search page's Add and returns the folder browser once it shows, or null.
HWND OpenFolderBrowser(ProgramUnderTest& program, HWND searchPage);
// Chooses `folder` in the folder browser, typed into its "Folder:" box and
// chosen in its tree (Wine takes the tree's choice); false if the tree never shows it.
bool ChooseFolder(ProgramUnderTest& program, HWND browser, const std::string& folder);
// Chooses an entry of a drop-down list and tells the page, as a user's choice does.
void ChooseEntry(HWND page, int id, int index);
void Click(HWND dialog, int id);

int RowCount(HWND list);
// One cell of a list view of another process.
std::string CellText(HANDLE process, HWND list, int row, int column);
// Every row's text of two columns joined, in row order; empty on failure.
std::vector<std::string> JoinedColumns(HANDLE process, HWND list, int first, int second);
// Selects the rows, or every row for a row -1.
bool SelectRows(HANDLE process, HWND list, const std::vector<int>& rows);
