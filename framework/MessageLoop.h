// The thread's message loop, with keyboard navigation for its modeless dialogs.
#pragma once

#include <windows.h>

void RegisterModelessDialog(HWND dialog);
void UnregisterModelessDialog(HWND dialog);

// Runs until WM_QUIT; returns its exit code.
int RunMessageLoop();
// Handles one message the way RunMessageLoop does.
void DispatchLoopMessage(MSG& msg);
