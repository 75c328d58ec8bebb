#include "tests/e2e/ProgramUnderTest.h"

#include "framework/Text.h"

#include <vector>

namespace
{
struct WindowSearch
{
    DWORD processId;
    const wchar_t* className;
    std::wstring caption;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || (search->visibleOnly && !IsWindowVisible(window)))
        return TRUE;
    wchar_t className[64] = {};
    wchar_t caption[256] = {};
    GetClassNameW(window, className, 64);
    // Read without a message: the program's thread may be inside a modal loop.
    InternalGetWindowText(window, caption, 256);
    if (wcscmp(className, search->className) == 0 && search->caption == caption)
    {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindTopLevel(DWORD processId, const wchar_t* className, const std::string& caption, bool visibleOnly)
{
    WindowSearch search = {processId, className, Widen(caption), visibleOnly, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
}

ProgramUnderTest::ProgramUnderTest(const std::string& path, const std::string& workingFolder,
                                   const std::string& arguments)
{
    std::wstring commandLine = L"\"" + Widen(path) + L"\"";
    if (!arguments.empty())
        commandLine += L" " + Widen(arguments);
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (CreateProcessW(Widen(path).c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       Widen(workingFolder).c_str(), &startup, &info))
    {
        CloseHandle(info.hThread);
        process = info.hProcess;
        processId = info.dwProcessId;
    }
}

ProgramUnderTest::~ProgramUnderTest()
{
    if (!process)
        return;
    // A test that failed half-way must not leave the program running into the next one.
    if (Running())
    {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 10000);
    }
    CloseHandle(process);
}

HWND ProgramUnderTest::MainWindow() const
{
    return FindTopLevel(processId, L"Velmora", "Velmora", false);
}

HWND ProgramUnderTest::WaitForMainWindow(DWORD timeoutMs)
{
    HWND window = nullptr;
    if (!WaitUntil([&] { return (window = MainWindow()) != nullptr || !Running(); }, timeoutMs))
        return nullptr;
    // Set-up runs before the message loop: idle means the window is placed and shown.
    WaitForInputIdle(process, timeoutMs);
    return window;
}

HWND ProgramUnderTest::Dialog(const std::string& caption) const
{
    return FindTopLevel(processId, L"#32770", caption, true);
}

HWND ProgramUnderTest::WaitForDialog(const std::string& caption, DWORD timeoutMs) const
{
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = Dialog(caption)) != nullptr; }, timeoutMs);
    return dialog;
}

DWORD ProgramUnderTest::WaitForExit(DWORD timeoutMs)
{
    DWORD code = STILL_ACTIVE;
    if (process && WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process, &code);
    return code;
}

bool ProgramUnderTest::Running() const
{
    return process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
}

bool ProgramUnderTest::Kill()
{
    const DWORD killWaitMs = 10000;
    return process && TerminateProcess(process, 1) && WaitForSingleObject(process, killWaitMs) == WAIT_OBJECT_0;
}

DWORD RunToEnd(const std::string& commandLine, DWORD timeoutMs)
{
    std::wstring wide = Widen(commandLine);
    std::vector<wchar_t> buffer(wide.begin(), wide.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return GetLastError();
    CloseHandle(info.hThread);
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(info.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    return code;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!condition())
    {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(50);
    }
    return true;
}
