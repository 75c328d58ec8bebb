#include "framework/MessageLoop.h"

#include "framework/CWnd.h"

#include <vector>

// Modeless dialogs belong to the thread that created them.
static thread_local std::vector<HWND> modelessDialogs;
static thread_local std::function<bool(MSG&)> messageFilter;

void SetLoopMessageFilter(std::function<bool(MSG&)> filter)
{
    messageFilter = std::move(filter);
}

void RegisterModelessDialog(HWND dialog)
{
    modelessDialogs.push_back(dialog);
}

void UnregisterModelessDialog(HWND dialog)
{
    std::erase(modelessDialogs, dialog);
}

void DispatchLoopMessage(MSG& msg)
{
    if (messageFilter && messageFilter(msg))
        return;
    // The top-level window may move the focus between its panes first.
    if (CWnd* root = msg.hwnd ? CWnd::FromHandle(GetAncestor(msg.hwnd, GA_ROOT)) : nullptr;
        root && root->PreTranslateMessage(msg))
        return;
    // By index: a dialog may close, and leave the list, while it handles the message.
    for (size_t i = 0; i < modelessDialogs.size(); i++)
    {
        if (IsDialogMessageW(modelessDialogs[i], &msg))
            return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

int RunMessageLoop()
{
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchLoopMessage(msg);
    return (int)msg.wParam;
}
