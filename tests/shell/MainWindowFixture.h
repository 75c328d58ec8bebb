// The main window as the program makes it, in a test of its own settings
// folder, with the helpers its tests share.
#pragma once

#include "shell/CWindowMain.h"

#include "search_page/WorkerMessages.h"
#include "framework/Text.h"
#include "resources/resource.h"
#include "settings/CCheckPassword.h"
#include "shell/CWiperApp.h"
#include "shell/Globals.h"
#include "shell/ShellMessages.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/MessagePump.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

inline const char kLockMessage[] = "To lock the program, you need to turn on 'Protect with password' option!";
inline const char kResetQuestion[] = "Warning: You didn't apply any changes. Do you want to reset them?";
inline const char kSearchQuestion[] = "Files Searching:  Searching is in progress. Do you really want to exit?";

inline RECT WindowRect(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

inline int Width(const RECT& rect)
{
    return rect.right - rect.left;
}

inline int Height(const RECT& rect)
{
    return rect.bottom - rect.top;
}

// Answers the password prompt once it shows: each attempt is typed and confirmed,
// and an empty one cancels with Escape.
// Makes and sets up the main window as start-up does.
inline void OpenMainWindow(std::unique_ptr<CWindowMain>& app)
{
    // Start-up loads the rich edit control the update page uses.
    ASSERT_NE(LoadLibraryW(L"riched20.dll"), nullptr);
    ASSERT_TRUE(CWnd::RegisterDialogClass(L"Velmora", nullptr));
    app = std::make_unique<CWindowMain>();
    ASSERT_TRUE(app->Create({.className = L"Velmora", .title = CWindowMain::title, .style = WS_OVERLAPPEDWINDOW}));
    ASSERT_EQ(app->SetUp(), 1);
}

// The record that names a main window's notification icon.
inline NOTIFYICONDATAW TrayIconOf(HWND window)
{
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = IDC_TRAY_ICON;
    return data;
}

// Takes a test's main window away with its icon, and the end of the message loop it leaves.
inline void CloseMainWindow(std::unique_ptr<CWindowMain>& app)
{
    if (app && app->hwnd)
    {
        NOTIFYICONDATAW data = TrayIconOf(app->hwnd);
        Shell_NotifyIconW(NIM_DELETE, &data);
        app->DestroyWindow();
    }
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
    {
    }
    app.reset();
}

inline void AnswerPassword(HWND prompt, const std::vector<std::string>& attempts)
{
    if (!prompt)
        return;
    for (const std::string& attempt : attempts)
    {
        if (attempt.empty())
        {
            PressKey(prompt, VK_ESCAPE);
            return;
        }
        SetDlgItemTextW(prompt, IDC_ENTERED_PASSWORD, Widen(attempt).c_str());
        ClickButton(prompt, IDOK);
        if (&attempt == &attempts.back())
            return;
        // A wrong password is told in a message; the prompt stays for the next attempt.
        HWND error = WaitForDialog("Error");
        while (error && IsWindowVisible(error))
            Sleep(10);
    }
}

class MainWindow : public testing::Test
{
protected:
    TempFolder folder;
    std::unique_ptr<CWindowMain> app;
    HWND window = nullptr;

    void SetUp() override
    {
        wiperSettings.SetDefaults();
        searchPage.Found().Clear();
        wiperSettings.installFolder = folder.Path();
        wiperSettings.settingsFolder.clear();
    }

    void TearDown() override { CloseMainWindow(app); }

    // settings.dat as an earlier run left it.
    void Saved(const std::function<void(CWiperSettings&)>& change)
    {
        CWiperSettings saved;
        saved.SetDefaults();
        saved.installFolder = folder.Path();
        change(saved);
        ASSERT_TRUE(saved.Save());
    }

    PersistedSettings LoadedBack() const
    {
        CWiperSettings loaded;
        loaded.installFolder = folder.Path();
        loaded.Load();
        return loaded;
    }

    void Open()
    {
        OpenMainWindow(app);
        window = app->hwnd;
        PumpUntil([] { return false; }, 50);
    }

    // Sends a command as the toolbar or the tray menu does; returns the prompts it raised.
    std::vector<std::string> Command(int id, std::vector<int> answers = {})
    {
        DialogCloser closer(answers);
        SendMessageW(window, WM_COMMAND, id, 0);
        return Texts(closer.Stop());
    }

    std::vector<std::string> CloseBox(std::vector<int> answers = {})
    {
        DialogCloser closer(answers);
        SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        PumpUntil([] { return false; }, 50);
        return Texts(closer.Stop());
    }

    std::vector<std::string> ChooseTreeItem(PageId id, std::vector<int> answers = {})
    {
        DialogCloser closer(answers);
        TreeView_SelectItem(app->leftPanel.tree, app->leftPanel.items[id]);
        return Texts(closer.Stop());
    }

    static std::vector<std::string> Texts(const std::vector<SeenPrompt>& prompts)
    {
        std::vector<std::string> texts;
        for (const SeenPrompt& prompt : prompts)
            texts.push_back(prompt.caption + ": " + prompt.text);
        return texts;
    }

    // An event of the notification icon as the shell sends it (NOTIFYICON_VERSION_4).
    void NotifyIcon(UINT event, POINT anchor = {}, UINT icon = IDC_TRAY_ICON)
    {
        SendMessageW(window, WM_TRAY_NOTIFY, MAKEWPARAM(anchor.x, anchor.y), MAKELPARAM(event, icon));
    }
    void DoubleClickIcon() { NotifyIcon(WM_LBUTTONDBLCLK); }

    // Double-clicks the icon while a helper answers the password prompt; returns
    // the messages shown on the way.
    std::vector<std::string> DoubleClickIconAnswering(const std::vector<std::string>& attempts)
    {
        DialogCloser errors;
        {
            DialogDriver driver("Enter password", [&](HWND prompt) { AnswerPassword(prompt, attempts); });
            DoubleClickIcon();
        }
        return Texts(errors.Stop());
    }

    void Protect(const std::string& password)
    {
        wiperSettings.passwordProtected = 1;
        wiperSettings.SetPassword(password);
    }

    bool Visible() const { return IsWindowVisible(window) != 0; }
    PageId SelectedTreePage() const
    {
        TVITEMW item = {};
        item.mask = TVIF_PARAM;
        item.hItem = TreeView_GetSelection(app->leftPanel.tree);
        TreeView_GetItem(app->leftPanel.tree, &item);
        return static_cast<PageId>(item.lParam);
    }
    bool Pressed(int id) const { return SendMessageW(app->toolbar, TB_ISBUTTONPRESSED, id, 0) != 0; }
    bool StartWithWindowsChecked() const
    {
        return IsDlgButtonChecked(settingsPage.hwnd, IDC_START_WITH_WINDOWS) == BST_CHECKED;
    }
    void ClickStartWithWindows()
    {
        SendMessageW(GetDlgItem(settingsPage.hwnd, IDC_START_WITH_WINDOWS), BM_CLICK, 0, 0);
    }
};
