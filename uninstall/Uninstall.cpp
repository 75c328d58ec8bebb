// uninstall.exe: finds the installed product through the upgrade code, ends a
// running Velmora through its own exit sequence, removes the user's "Start with
// Windows" value and hands the product to the Windows Installer, whose windows
// take over from there. It ends with the Installer's result; it shows nothing itself.
// The installed uninstall.exe is a file of the package, which the Installer cannot
// remove while it runs: it starts a copy of itself from the temporary folder to do
// the work and ends at once.
#include "uninstall/UninstallParameters.h"

#include "ProductIdentity.h"
#include "resources/resource.h"

#include <windows.h>
#include <msi.h>
#include <shellapi.h>

#include <string>

namespace
{
// The command line of the temporary copy.
const wchar_t kCopyArgument[] = L"--temporary-copy";

// Long enough for the exit sequence to save the settings; a question it asks
// (a worker is running) may keep it longer, and the Installer then names the program.
const DWORD kExitWaitMs = 30000;

// The installed product's code, or "" when none is installed.
std::wstring InstalledProductCode()
{
    wchar_t productCode[39] = {};
    return MsiEnumRelatedProductsW(kUpgradeCode, 0, 0, productCode) == ERROR_SUCCESS ? productCode : L"";
}

// Asks the running program, if any, to exit as its Exit command does, and waits for it.
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

void RemoveRunValue()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueW(key, kRunValueName);
    RegCloseKey(key);
}

// The Installer's exit code.
DWORD RunInstaller(const std::wstring& productCode)
{
    const std::wstring parameters = UninstallParameters(productCode);
    SHELLEXECUTEINFOW run = {};
    run.cbSize = sizeof(run);
    run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
    run.lpVerb = L"open";
    run.lpFile = L"msiexec";
    run.lpParameters = parameters.c_str();
    run.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&run))
        return GetLastError();
    DWORD result = ERROR_SUCCESS;
    if (run.hProcess)
    {
        WaitForSingleObject(run.hProcess, INFINITE);
        GetExitCodeProcess(run.hProcess, &result);
        CloseHandle(run.hProcess);
    }
    return result;
}

// Starts a copy of this program in the temporary folder; false when it could not.
bool StartTemporaryCopy()
{
    wchar_t self[MAX_PATH] = {};
    wchar_t folder[MAX_PATH] = {};
    if (!GetModuleFileNameW(nullptr, self, MAX_PATH) || !GetTempPathW(MAX_PATH, folder))
        return false;
    const std::wstring copy =
        std::wstring(folder) + L"Velmora-uninstall-" + std::to_wstring(GetCurrentProcessId()) + L".exe";
    if (!CopyFileW(self, copy.c_str(), FALSE))
        return false;
    // Gone at the next restart where this user may ask for that; else the temporary folder's cleaning takes it.
    MoveFileExW(copy.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    std::wstring commandLine = L"\"" + copy + L"\" " + kCopyArgument;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &startup,
                        &started))
    {
        DeleteFileW(copy.c_str());
        return false;
    }
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return true;
}
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int)
{
    // Without an installed product no installer is started.
    const std::wstring productCode = InstalledProductCode();
    if (productCode.empty())
        return 0;
    // Should the copy fail, the work is done from here, and Windows removes this file at the next restart.
    if (std::wstring(commandLine) != kCopyArgument && StartTemporaryCopy())
        return 0;
    EndRunningProgram();
    RemoveRunValue();
    return static_cast<int>(RunInstaller(productCode));
}
