#include "tests/support/DialogDriver.h"

#include "framework/CWnd.h"
#include "framework/Text.h"
#include "resources/resource.h"

namespace
{
struct Search
{
    const std::string* caption;
    HWND found;
};

bool IsVisibleDialogOfProcess(HWND window)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    return process == GetCurrentProcessId() && IsWindowVisible(window) && wcscmp(className, L"#32770") == 0;
}

BOOL CALLBACK FindByCaption(HWND window, LPARAM param)
{
    Search* search = reinterpret_cast<Search*>(param);
    // The caption is read without a message: the window's thread may be busy.
    wchar_t caption[256] = {};
    if (IsVisibleDialogOfProcess(window) &&
        (search->caption == nullptr ||
         (InternalGetWindowText(window, caption, 256) >= 0 && Narrow(caption) == *search->caption)))
    {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindDialog(const std::string* caption)
{
    Search search = {caption, nullptr};
    EnumWindows(FindByCaption, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK FindPromptWindow(HWND window, LPARAM param)
{
    if (IsVisibleDialogOfProcess(window) && GetDlgItem(window, IDC_PROMPT_TEXT))
    {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}

// A visible prompt dialog (one with the prompt's text control) of this process.
HWND FindPrompt()
{
    HWND found = nullptr;
    EnumWindows(FindPromptWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}
}

HWND WaitForDialog(const std::string& caption, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs)
    {
        if (HWND dialog = FindDialog(&caption))
            return dialog;
        Sleep(10);
    }
    return nullptr;
}

void PressKey(HWND dialog, UINT virtualKey)
{
    // A message box just closed over the dialog may still hold the focus for a
    // moment; a key sent there would be lost. Wait for the focus to come back,
    // then fall back to the dialog itself, which handles Enter and Escape too.
    HWND target = dialog;
    DWORD start = GetTickCount();
    do
    {
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
        if (info.hwndFocus && (info.hwndFocus == dialog || IsChild(dialog, info.hwndFocus)))
        {
            target = info.hwndFocus;
            break;
        }
        Sleep(10);
    } while (GetTickCount() - start < 1000);
    PostMessageW(target, WM_KEYDOWN, virtualKey, 1);
    PostMessageW(target, WM_KEYUP, virtualKey, 0xC0000001);
}

void ClickButton(HWND dialog, int id)
{
    PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void CloseWithCloseBox(HWND dialog)
{
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

std::string ControlText(HWND dialog, int id)
{
    std::string text = GetWindowTextUtf8(GetDlgItem(dialog, id));
    std::erase(text, '\r');
    return text;
}

DialogDriver::DialogDriver(const std::string& caption, std::function<void(HWND)> drive)
    : thread([caption, drive] { drive(WaitForDialog(caption)); })
{
}

DialogDriver::~DialogDriver()
{
    thread.join();
}

DialogCloser::DialogCloser(std::vector<int> buttons)
    : thread([this, buttons] {
          HWND last = nullptr;
          while (!stop)
          {
              HWND dialog = FindPrompt();
              if (dialog && dialog != last)
              {
                  seen.push_back({GetWindowTextUtf8(dialog), ControlText(dialog, IDC_PROMPT_TEXT)});
                  if (seen.size() <= buttons.size())
                      ClickButton(dialog, buttons[seen.size() - 1]);
                  else
                      PressKey(dialog, VK_RETURN);
                  last = dialog;
              }
              Sleep(10);
          }
      })
{
}

DialogCloser::~DialogCloser()
{
    Stop();
}

std::vector<SeenPrompt> DialogCloser::Stop()
{
    stop = true;
    if (thread.joinable())
        thread.join();
    return seen;
}

std::string LabelOf(HWND control)
{
    for (HWND before = GetWindow(control, GW_HWNDPREV); before; before = GetWindow(before, GW_HWNDPREV))
    {
        wchar_t className[16] = {};
        GetClassNameW(before, className, 16);
        const LONG kind = GetWindowLongW(before, GWL_STYLE) & SS_TYPEMASK;
        if (lstrcmpiW(className, L"Static") == 0 && kind != SS_ICON && kind != SS_BITMAP)
        {
            // The access key's mark is not read; "&&" is one '&'.
            std::string text = GetWindowTextUtf8(before);
            std::string read;
            for (size_t i = 0; i < text.size(); i++)
            {
                if (text[i] == '&' && i + 1 < text.size())
                    i++;
                read += text[i];
            }
            return read;
        }
        if (GetWindowLongW(before, GWL_STYLE) & WS_TABSTOP)
            break;
    }
    return "";
}
