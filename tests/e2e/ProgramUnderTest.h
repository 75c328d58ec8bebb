// A program started by an end-to-end test, seen from outside: its process, its
// windows and its messages. Whatever the test does to it goes through windows.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class ProgramUnderTest
{
public:
    // Starts `path` in `workingFolder`, with `arguments` after its name on the command line.
    ProgramUnderTest(const std::string& path, const std::string& workingFolder = "C:\\",
                     const std::string& arguments = "");
    ~ProgramUnderTest();
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

    bool Started() const { return process != nullptr; }
    DWORD Id() const { return processId; }
    HANDLE Handle() const { return process; }

    // Waits until the program idles in its message loop with its main window created.
    HWND WaitForMainWindow(DWORD timeoutMs = 30000);
    // The program's top-level window of the main window's class and caption, or null.
    HWND MainWindow() const;
    // A visible top-level dialog of the program with this caption, or null.
    HWND Dialog(const std::string& caption) const;
    // The same, once it shows.
    HWND WaitForDialog(const std::string& caption, DWORD timeoutMs = 20000) const;
    // Its exit code once it has ended, or STILL_ACTIVE at the deadline.
    DWORD WaitForExit(DWORD timeoutMs = 30000);
    bool Running() const;
    // Ends the process at once, as a crash or the task manager would: none of
    // its own code runs. True once it has ended.
    bool Kill();

private:
    HANDLE process = nullptr;
    DWORD processId = 0;
};

// Runs a command line to its end; returns its exit code, or STILL_ACTIVE at the deadline.
DWORD RunToEnd(const std::string& commandLine, DWORD timeoutMs = 120000);
// Waits until `condition` holds, checking every 50 ms; false at the deadline.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 30000);
