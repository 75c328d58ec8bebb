// What the end-to-end tests ask the system about the installed product.
#pragma once

#include <windows.h>

#include "ProductIdentity.h"

#include <string>
#include <vector>

// The codes of the installed products of Velmora's upgrade code, as the Installer lists them.
std::vector<std::wstring> InstalledProductCodes();
// The first of them, or "" when none is installed.
std::wstring InstalledProductCode();
// The Installer's InstallLocation of the product, or "" when it does not know it.
std::string InstalledFolder();
bool ProductInstalled();
// Where the package of this build's platform goes: "C:\Program Files (x86)" for a
// 32-bit one on 64-bit Windows, "C:\Program Files" for a 64-bit one.
std::string ProgramFilesFolder();
// A shortcut of the Velmora folder in the Start menu, of all users or of this one
// (Wine's Installer puts a per-machine package's shortcuts in the user's menu).
bool StartMenuEntryExists(const std::string& name);
// The shortcuts in the Velmora folders of both Start menus.
int StartMenuEntryCount();
// The settings file of the user the tests run as, where the program keeps it.
std::string UserSettingsPath();
// Removes settings.dat and the kept last search: the program starts as on its first day.
void ForgetUserFiles();
// The version in a program's version resource ("1.0.0.0"), or "" without one.
std::string FileVersionOf(const std::string& path);
// A path the build hands the tests in an environment variable, or "".
std::string BuildPath(const char* variable);

// Top-level windows of any process with the main window's class and caption.
int CountMainWindows();
// A window's text, read with a message, so it works across processes.
std::string WindowText(HWND window);
bool MsiexecRunning();
