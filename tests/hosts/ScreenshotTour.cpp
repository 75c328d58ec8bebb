// A documentation utility: opens the main window at its smallest size, shows
// each page in turn and saves it as a BMP, the search page after a search.
//   screenshot_tour.exe OUTPUT-FOLDER SEARCH-FOLDER SUFFIX
// writes OUTPUT-FOLDER\PAGE-SUFFIX.bmp for the pages settings, search, about,
// help and update.
#include "framework/MessageLoop.h"
#include "framework/Text.h"
#include "resources/resource.h"
#include "shell/CWindowMain.h"
#include "shell/Globals.h"
#include "shell/ShellMessages.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace
{
// How long a search may take before the tour gives up on it.
const DWORD kSearchTimeoutMs = 60000;
const DWORD kSettleMs = 400;

void Pump(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < milliseconds)
    {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
}

// The window as the screen shows it, as a 24-bit BMP.
bool SaveWindow(HWND window, const std::wstring& path)
{
    RECT rect;
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const DWORD stride = ((width * 3) + 3) & ~3u;
    std::vector<BYTE> pixels(static_cast<size_t>(stride) * height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool whole = WriteFile(out, &file, sizeof(file), &written, nullptr) &&
                 WriteFile(out, &info, sizeof(info), &written, nullptr) &&
                 WriteFile(out, pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);
    CloseHandle(out);
    return whole;
}

bool SearchFinished()
{
    return wiperSettings.requestedOperation == Operation::None && wiperSettings.runningOperation == Operation::None;
}
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);
    CoInitialize(nullptr);
    LoadLibraryW(L"riched20.dll");

    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc != 4)
        return 2;
    const std::wstring output = argv[1], searched = argv[2], suffix = argv[3];
    LocalFree(argv);

    CWindowMain mainWindow;
    wiperSettings.installFolder = Narrow(output) + "\\";
    HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_VELMORA));
    if (!CWnd::RegisterDialogClass(L"Velmora", icon) ||
        !mainWindow.Create({.className = L"Velmora", .title = CWindowMain::title, .style = WS_OVERLAPPEDWINDOW}) ||
        mainWindow.SetUp() != 1)
        return 1;
    ShowWindow(mainWindow.hwnd, SW_SHOWNORMAL);

    const struct
    {
        PageId id;
        const wchar_t* name;
    } tour[] = {{PageSettings, L"settings"}, {PageDeleteFiles, L"search"}, {PageAbout, L"about"},
                {PageHelp, L"help"}, {PageCheckUpdates, L"update"}};
    int failures = 0;
    for (const auto& page : tour)
    {
        // Through the toolbar's tab and the tree, as a user gets there.
        bool helpSet = page.id == PageAbout || page.id == PageHelp || page.id == PageCheckUpdates;
        SendMessageW(mainWindow.hwnd, WM_COMMAND, helpSet ? ID_TOOLBAR_HELP : ID_TOOLBAR_TOOLS, 0);
        mainWindow.leftPanel.SelectPage(page.id);
        // As small as the window may be: where clipping would show first.
        SetWindowPos(mainWindow.hwnd, HWND_TOP, 0, 0, 1, 1, 0);
        if (page.id == PageDeleteFiles && searchPage.AddLocation(Narrow(searched)))
        {
            SendMessageW(GetDlgItem(searchPage.hwnd, IDC_FIND), BM_CLICK, 0, 0);
            DWORD start = GetTickCount();
            do
                Pump(50);
            while (!SearchFinished() && GetTickCount() - start < kSearchTimeoutMs);
        }
        Pump(kSettleMs);
        if (!SaveWindow(mainWindow.hwnd, output + L"\\" + page.name + L"-" + suffix + L".bmp"))
            failures++;
    }
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = mainWindow.hwnd;
    data.uID = IDC_TRAY_ICON;
    Shell_NotifyIconW(NIM_DELETE, &data);
    mainWindow.DestroyWindow();
    return failures == 0 ? 0 : 1;
}
