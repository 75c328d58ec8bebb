// The package's own clean-up when Velmora is removed, however the removal was
// started (uninstall.exe, Settings > Apps, msiexec /x): a custom action run in
// the removing user's context before the Installer looks for files in use. It
// asks a running Velmora to exit as its Exit command does, waits for it, and
// deletes the user's "Start with Windows" value. Nothing it meets stops the removal.
#include "ProductIdentity.h"
#include "resources/resource.h"

#include <windows.h>
#include <msi.h>

namespace
{
// Long enough for the exit sequence to save the settings; a question it asks
// (a worker is running) may keep it longer, and the Installer then names the program.
const DWORD kExitWaitMs = 30000;

void EndRunningProgram()
{
    HWND window = FindWindowW(kMainWindowClass, nullptr);
    if (!window)
        return;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    PostMessageW(window, WM_COMMAND, ID_EXIT_NOW, 0);
    if (process)
    {
        WaitForSingleObject(process, kExitWaitMs);
        CloseHandle(process);
    }
}

void RemoveStartWithWindows()
{
    // Task Manager's record of the value goes with it.
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kRunValueName);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kStartupApprovedKey, kRunValueName);
}
}

extern "C" UINT WINAPI EndVelmoraForRemoval(MSIHANDLE)
{
    EndRunningProgram();
    RemoveStartWithWindows();
    return ERROR_SUCCESS;
}
