// The application object: start-up, the single-instance rule and the life of the
// program, which runs entirely inside InitInstance.
#pragma once

#include <windows.h>

#include <string>

// What creating the single-instance mutex says of another instance: it exists, or
// this user may not open it because an instance that runs elevated holds it. Any
// other failure does not mean an instance runs.
bool AnotherInstanceRuns(HANDLE mutex, DWORD error);
// The running instance holds a mutex this user may not open: it runs elevated,
// and Windows keeps this process from showing or activating its window.
bool RunningInstanceIsAbove(HANDLE mutex, DWORD error);

class CWiperApp
{
public:
    // Returns false always: the message loop has already run and ended in here.
    bool InitInstance();

private:
    // Another instance holds the mutex: bring its window forward and end; one that
    // runs above this process's level is asked to come forward by itself.
    void ActivateRunningInstance(const std::string& installFolder, bool runningAbove);
    // This is the instance: create the main window and run until it is destroyed.
    void RunMainWindow(const std::string& title, const std::string& installFolder);
};
