// The pages of the main window's right panel. The values are tree item data,
// keys of the page registry and the argument of WM_SHOW_PAGE.
#pragma once

enum PageId
{
    PageNone = 0,
    PageSettings = 354,
    PageHelp = 385,
    PageAbout = 388,
    PageCheckUpdates = 389,
    PageDeleteFiles = 398,
};
