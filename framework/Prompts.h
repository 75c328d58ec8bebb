// The only way the program shows messages and asks questions. Callable from any
// thread; a question asked on a worker's behalf passes no owner and runs on
// the worker's thread.
#pragma once

#include "framework/Choice.h"

#include <windows.h>

#include <array>
#include <string>

void ShowMessage(HWND owner, const std::string& caption, const std::string& heading, const std::string& text,
                 int iconId);
// True only when "Yes" was pressed.
bool AskYesNo(HWND owner, const std::string& caption, const std::string& heading, const std::string& text,
              int iconId);
Choice AskChoice(HWND owner, const std::string& caption, const std::string& heading, const std::string& text,
              int iconId, const std::array<int, 5>& enabled, const std::array<std::string, 5>& captions);

// "Out of memory.", caption "Error": the program's report of a failure that
// reached an exception boundary (see framework/FailureReport.h).
void ShowOutOfMemory();

// "Could not open file "PATH", open error N" (what: "open" or "write"), caption
// "Error": how the program reports a file it cannot open or write.
void ShowFileError(HWND owner, const std::string& path, const char* what, DWORD error);
