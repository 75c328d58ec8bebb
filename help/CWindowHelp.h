// The help page: the program's compiled help file shown inside the page by the
// system's HTML Help viewer, with its table of contents.
#pragma once

#include "framework/CPage.h"

#include <string>

class CWindowHelp : public CPage
{
public:
    // Lower bounds of the page's size for the window that hosts it.
    int minWidth = 480;
    int minHeight = 450;
    // 1 once the viewer's window is in the page; resizing and painting wait for it.
    int helpReady = 0;

    // The help file is "Velmora.chm" beside the program's executable.
    CWindowHelp();
    // The help file given by its full path.
    explicit CWindowHelp(std::string helpFile);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;

private:
    // The help file's full path.
    std::string helpFile;

    void OnSize(int width, int height);
    void OnPaint();
    void OnDestroy();
    // The viewer's window of the page's window type, or null when there is none.
    HWND ShowContents();
    // Makes the viewer's window a child filling the page, where the platform left it top-level.
    void AdoptViewerWindow(HWND help);
    // Fits the viewer's window to the page (when width >= 0) and redraws its panes.
    void RefreshViewer(int width, int height);
};
