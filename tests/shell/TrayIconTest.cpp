// The notification icon's events as the shell sends them (NOTIFYICON_VERSION_4) and the tray
// menu they open, on the main window as the program makes it.
#include "tests/shell/MainWindowFixture.h"

#include <atomic>
#include <functional>
#include <set>
#include <thread>

namespace
{
// Waits on a helper thread for the tray menu to show, notes where, then does `act` to it.
class MenuWatcher
{
public:
    RECT rect = {};

    explicit MenuWatcher(void (*act)(HWND))
        : thread([this, act] {
              HWND popup = nullptr;
              for (int i = 0; i < 500 && !(popup && IsWindowVisible(popup)); i++, Sleep(10))
                  popup = FindWindowW(L"#32768", nullptr);
              Sleep(200);
              GetWindowRect(popup, &rect);
              act(popup);
          })
    {
    }
    ~MenuWatcher() { Wait(); }
    void Wait()
    {
        if (thread.joinable())
            thread.join();
    }

private:
    std::thread thread;
};

void ClickFarAway(HWND)
{
    SetCursorPos(50, 900);
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, clicks, sizeof(INPUT));
}

class TrayIcon : public MainWindow
{
};
}

TEST_F(TrayIcon, DoubleClickClickEnterAndSpaceShowTheWindow)
{
    Open();
    for (UINT event : {UINT(WM_LBUTTONDBLCLK), UINT(NIN_SELECT), UINT(NIN_KEYSELECT)})
    {
        CloseBox();
        ASSERT_FALSE(Visible());
        // Enter comes twice.
        NotifyIcon(event);
        NotifyIcon(event);
        EXPECT_TRUE(Visible()) << event;
    }
}

// Right click, the menu key and Shift+F10 open the menu at the icon's place, wherever the cursor is.
TEST_F(TrayIcon, TheMenuOpensAtTheAnchorClosesOnEscOrAClickAndAnAccessKeyChooses)
{
    Open();
    const struct
    {
        const char* what;
        void (*act)(HWND);
        PageId page;
    } closings[] = {
        {"Esc", [](HWND popup) { PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0); }, PageSettings},
        {"the access key of Help", [](HWND popup) { PostMessageW(popup, WM_CHAR, L'h', 0); }, PageHelp},
        // Last: the click's release would close a menu opened after it.
        {"a click elsewhere", ClickFarAway, PageHelp},
    };
    for (const auto& closing : closings)
    {
        SetCursorPos(300, 300);
        MenuWatcher watcher(closing.act);
        NotifyIcon(WM_CONTEXTMENU, {600, 500});
        watcher.Wait();
        EXPECT_EQ(watcher.rect.left, 600) << closing.what;
        EXPECT_EQ(watcher.rect.bottom, 500) << closing.what;
        EXPECT_GE(watcher.rect.right - watcher.rect.left, 145) << closing.what;
        PumpUntil([&] { return app->currentPage == closing.page; }, 3000);
        EXPECT_EQ(app->currentPage, closing.page) << closing.what;
    }
}
