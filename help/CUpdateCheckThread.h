// One version check on a thread of its own: fetches the version file over a raw
// socket and tells the page about every change of the report.
#pragma once

#include "framework/CWinThread.h"
#include "help/UpdateServer.h"

#include <windows.h>

#include <string>

class CWindowHelpCheckUpdates;

class CUpdateCheckThread : public CWinThread
{
public:
    // Starts a check for the page; a handle for joining its thread, which the
    // caller closes, or null when no thread could start.
    static HANDLE StartCheck(CWindowHelpCheckUpdates* page);

protected:
    void Run() override;
    // A failure ends the check with the report published last, and the page
    // becomes idle again.
    void Abandon() override;

private:
    CWindowHelpCheckUpdates* page;
    HWND window;
    UpdateServer server;
    // The report as built so far; the page sees published copies of it.
    std::string report;
    std::string reply;
    bool tooLarge = false;
    // A SOCKET and a WSAEVENT; this header leaves WinSock to the implementation.
    UINT_PTR socket;
    HANDLE networkEvent = nullptr;
    bool libraryStarted = false;
    char buffer[8192];

    explicit CUpdateCheckThread(CWindowHelpCheckUpdates* page);

    // Sets up the socket and connects; false when the check ended there.
    bool Connect();
    // Waits for the connect's outcome, or an abort; false when it failed.
    bool WaitForConnection();
    // Sends the request and receives the reply until the server closes or the user aborts.
    void Exchange();
    // Each returns false when the exchange must end.
    bool SendRequest();
    bool Receive();
    // Keeps received bytes; false once the reply is too large to be a version file.
    bool Keep(int size);
    // Takes what is left in the socket after the exchange.
    void Drain();
    void Close();
    // Hands the page a copy of the report and tells it so.
    void ReportConnectionFailure();
    void Publish(bool ended);
    bool AbortRequested() const;
};
