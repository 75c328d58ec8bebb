// Messages between the workers, the progress window and the main window.
// All carry wParam = 0 and lParam = 0.
#pragma once

#include <windows.h>

// Worker to progress window: the worker is ending; the window closes 300 ms later.
const UINT WM_WORKER_FINISHED = WM_USER + 9046;
// Main window to progress window: stop, pause or continue the running worker.
const UINT WM_WORKER_STOP = WM_USER + 9056;
const UINT WM_WORKER_PAUSE = WM_USER + 9061;
const UINT WM_WORKER_CONTINUE = WM_USER + 9066;
// Worker to progress window: show the status line, or the two count lines.
const UINT WM_WORKER_STARTED = WM_USER + 9072;
const UINT WM_WORKER_PROGRESS = WM_USER + 9074;
