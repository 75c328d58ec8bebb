// The thread's message loop, with keyboard navigation for its modeless dialogs
// and the top-level windows' own keys (CWnd::PreTranslateMessage).
#pragma once

#include <windows.h>

#include <functional>

void RegisterModelessDialog(HWND dialog);
void UnregisterModelessDialog(HWND dialog);

// Shown every message of the thread's loop first; true when it took the message.
// An empty filter takes none.
void SetLoopMessageFilter(std::function<bool(MSG&)> filter);

// Runs until WM_QUIT; returns its exit code.
int RunMessageLoop();
// Handles one message the way RunMessageLoop does.
void DispatchLoopMessage(MSG& msg);
