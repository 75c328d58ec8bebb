// The update check page: asks the maker's server for the version file on a
// thread of its own and reports whether a newer version exists.
#pragma once

#include "framework/CPage.h"
#include "help/UpdateServer.h"

#include <atomic>
#include <mutex>
#include <string>

// Worker to page: the report changed. wParam is 0 while the check runs and 1 once it has ended; lParam 0.
const UINT WM_UPDATE_STATUS = WM_USER + 9000;

class CWindowHelpCheckUpdates : public CPage
{
public:
    explicit CWindowHelpCheckUpdates(const UpdateServer& server = ConfiguredUpdateServer());
    // A running check is aborted and waited for: its worker uses this object.
    ~CWindowHelpCheckUpdates() override;

    // The report as the worker last published it.
    std::string ReportText() const;
    // At exit: asks a running check to end and waits at most timeoutMs for it.
    void AbortCheck(DWORD timeoutMs);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnCommand(int id, int code) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;

private:
    friend class CUpdateCheckThread;

    const UpdateServer server;
    // reportText is written by the worker and read here.
    mutable std::mutex reportLock;
    std::string reportText;
    std::atomic<int> abortRequested{0};
    // Non-null from the start of a check until the page has seen its end.
    HANDLE workerThread = nullptr;
    // The worker's final status message is still to come. An aborted check's
    // arrives after the abort; no new check starts before it.
    bool finalStatusDue = false;

    // The report's colours: black on button face with addresses marked as links;
    // under high contrast the system's pair, unmarked, as the links' fixed blue
    // would not read on a dark background.
    struct ReportLook
    {
        COLORREF text;
        COLORREF background;
        bool markLinks;
        bool operator==(const ReportLook&) const = default;
    };
    // What the report was last given; none at first.
    ReportLook reportLook = {CLR_INVALID, CLR_INVALID, false};

    void OnCheckForUpdates();
    void OnStatus(bool ended);
    void AskToAbort();
    // Waits for the worker to end, releases it and makes the page idle.
    void EndWorker();
    void ShowChecking(bool checking);
    // Gives the report the look the system's settings ask for now, when it has another.
    void ApplyReportLook();
};
