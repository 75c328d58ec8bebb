#include "framework/CDialog.h"
#include "framework/CWinThread.h"
#include "framework/CWnd.h"
#include "framework/FailureReport.h"
#include "framework/Gdi.h"
#include "framework/Text.h"
#include "resources/resource.h"
#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <new>
#include <vector>

namespace
{
int counted = 0;

LRESULT CALLBACK CountingSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_GETDLGCODE)
        counted++;
    return DefSubclassProc(window, message, wParam, lParam);
}

const UINT kFail = WM_APP + 1;
std::atomic<int> reports{0};
HWND failing = nullptr;

// Counts reports, and fails again while reporting: that must not be reported twice.
void CountReport()
{
    reports++;
    if (failing)
        SendMessageW(failing, kFail, 0, 0);
}

class FailingWindow : public CWnd
{
public:
    int answered = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == kFail)
            throw std::bad_alloc();
        if (message == WM_APP + 2)
            return ++answered;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class FailingThread : public CWinThread
{
public:
    std::atomic<int>* abandoned;
    explicit FailingThread(std::atomic<int>* abandoned) : abandoned(abandoned) {}

protected:
    void Run() override { throw std::bad_alloc(); }
    void Abandon() override { (*abandoned)++; }
};

// Asks a window of the joining thread once, then waits for `release` if it is given.
class AskingThread : public CWinThread
{
public:
    HWND window = nullptr;
    HANDLE release = nullptr;

protected:
    void Run() override
    {
        SendMessageW(window, WM_APP + 2, 0, 0);
        if (release)
            WaitForSingleObject(release, INFINITE);
    }
};
}

TEST(SubclassedWindow, KeepsItsClassBehaviourAndOutlivesItsObject)
{
    HWND label = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(label, nullptr);
    LONG_PTR classProc = GetWindowLongPtrW(label, GWLP_WNDPROC);
    {
        CWnd wrapper;
        ASSERT_TRUE(wrapper.SubclassControl(label));
        EXPECT_EQ(CWnd::FromHandle(label), &wrapper);
        EXPECT_NE(GetWindowLongPtrW(label, GWLP_WNDPROC), classProc);
        // Only the STATIC class answers this; the plain default would give 0.
        EXPECT_EQ(SendMessageW(label, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
        CWnd second;
        EXPECT_FALSE(second.SubclassControl(label));
        // Someone else subclasses after us: our object's end must not undo that.
        ASSERT_TRUE(SetWindowSubclass(label, CountingSubclass, 7, 0));
    }
    counted = 0;
    EXPECT_EQ(SendMessageW(label, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
    EXPECT_EQ(counted, 1);
    EXPECT_EQ(CWnd::FromHandle(label), nullptr);
    // Once the later subclass has gone, the control's own procedure is on top again.
    RemoveWindowSubclass(label, CountingSubclass, 7);
    EXPECT_EQ(SendMessageW(label, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
    EXPECT_EQ(GetWindowLongPtrW(label, GWLP_WNDPROC), classProc);
    EXPECT_EQ(counted, 1);
    DestroyWindow(label);
}

TEST(ExceptionBoundary, AFailingHandlerIsReportedOnceAndTheWindowGoesOn)
{
    SetFailureReporter(CountReport);
    reports = 0;
    ASSERT_TRUE(CWnd::RegisterWindowClass(L"VelmoraFailingWindow", 0, nullptr, nullptr, nullptr, nullptr));
    FailingWindow window;
    ASSERT_TRUE(window.Create({.className = L"VelmoraFailingWindow", .style = WS_POPUP}));
    failing = window.hwnd;
    EXPECT_EQ(SendMessageW(window.hwnd, kFail, 0, 0), 0);
    failing = nullptr;
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(SendMessageW(window.hwnd, WM_APP + 2, 0, 0), 1);

    // A thread object whose work fails still ends, and may tidy up first.
    std::atomic<int> abandoned{0};
    FailingThread* thread = new FailingThread(&abandoned);
    HANDLE handle = thread->Start();
    ASSERT_NE(handle, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return abandoned == 1 && reports == 2; }));
    CloseHandle(handle);
    window.DestroyWindow();
    SetFailureReporter(nullptr);
}

TEST(DialogObject, ADialogThatOutlivesItsObjectNoLongerReachesIt)
{
    HWND dialog = nullptr;
    {
        CDialog box(IDD_MESSAGE_BOX);
        ASSERT_TRUE(box.Create(nullptr));
        dialog = box.hwnd;
        EXPECT_EQ(GetWindowLongPtrW(dialog, DWLP_USER), reinterpret_cast<LONG_PTR>(&box));
    }
    ASSERT_TRUE(IsWindow(dialog));
    EXPECT_EQ(GetWindowLongPtrW(dialog, DWLP_USER), 0);
    // Its commands now reach no object: the dialog stays as it is.
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(IsWindow(dialog));
    DestroyWindow(dialog);
}

namespace
{
const UINT kTakenCode = 1000;
const LRESULT kTakenAnswer = 42;

// A control's object that takes one notice of its own and records every notice it is handed.
class NoticeTaker : public CWnd
{
public:
    std::vector<UINT> handed;

protected:
    bool OnReflectedNotify(NMHDR& header, LRESULT& result) override
    {
        handed.push_back(header.code);
        result = kTakenAnswer;
        return header.code == kTakenCode;
    }
};

// A parent of our own class that records the notices it sees itself.
class NoticeParent : public CWnd
{
public:
    std::vector<UINT> seen;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_NOTIFY)
            seen.push_back(reinterpret_cast<NMHDR*>(lParam)->code);
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

LRESULT Notify(HWND parent, HWND from, UINT code)
{
    NMHDR header = {from, (UINT_PTR)GetDlgCtrlID(from), code};
    return SendMessageW(parent, WM_NOTIFY, header.idFrom, (LPARAM)&header);
}
}

// Each control's notices reach only its own object, and its answer is the parent's,
// in a window of ours and in a dialog alike; what it leaves reaches the parent.
TEST(Reflection, AControlsNoticeReachesOnlyItsOwnObject)
{
    ASSERT_TRUE(CWnd::RegisterWindowClass(L"VelmoraNoticeParent", 0, nullptr, nullptr, nullptr, nullptr));
    NoticeParent window;
    ASSERT_TRUE(window.Create({.className = L"VelmoraNoticeParent", .style = WS_POPUP}));
    CDialog dialog(IDD_MESSAGE_BOX);
    ASSERT_TRUE(dialog.Create(nullptr));
    for (HWND parent : {window.hwnd, dialog.hwnd})
    {
        NoticeTaker first, second;
        for (NoticeTaker* taker : {&first, &second})
        {
            HWND control = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, parent, nullptr,
                                           GetModuleHandleW(nullptr), nullptr);
            ASSERT_TRUE(taker->SubclassControl(control));
        }
        window.seen.clear();
        EXPECT_EQ(Notify(parent, first.hwnd, kTakenCode), kTakenAnswer);
        EXPECT_EQ(first.handed, std::vector<UINT>{kTakenCode});
        EXPECT_TRUE(second.handed.empty());
        EXPECT_TRUE(window.seen.empty());
        // A notice the control leaves, and one of a window without an object of ours.
        Notify(parent, second.hwnd, kTakenCode + 1);
        Notify(parent, parent, kTakenCode);
        EXPECT_EQ(second.handed, std::vector<UINT>{kTakenCode + 1});
        EXPECT_EQ(first.handed.size(), 1u);
        if (parent == window.hwnd)
        {
            EXPECT_EQ(window.seen, (std::vector<UINT>{kTakenCode + 1, kTakenCode}));
        }
        ::DestroyWindow(first.hwnd);
        ::DestroyWindow(second.hwnd);
    }
    dialog.DestroyWindow();
    window.DestroyWindow();
}

TEST(LongPath, FullPathsTakeTheLiteralFormAndOthersStayAsTheyAre)
{
    EXPECT_EQ(LongPath("C:\\x\\report."), L"\\\\?\\C:\\x\\report.");
    EXPECT_EQ(LongPath("C:\\x\\folder \\"), L"\\\\?\\C:\\x\\folder \\");
    EXPECT_EQ(LongPath("\\\\server\\share\\aux.txt"), L"\\\\?\\UNC\\server\\share\\aux.txt");
    // What the ordinary form would resolve is resolved first, never above the root.
    EXPECT_EQ(LongPath("C:/x//y\\.\\z\\..\\con"), L"\\\\?\\C:\\x\\y\\con");
    EXPECT_EQ(LongPath("\\\\server\\share\\..\\..\\a"), L"\\\\?\\UNC\\server\\share\\a");
    EXPECT_EQ(LongPath("\\\\?\\C:\\a."), L"\\\\?\\C:\\a.");
    EXPECT_EQ(LongPath("settings.dat"), L"settings.dat");
    EXPECT_EQ(LongPath("C:relative"), L"C:relative");
}

TEST(ThreadObject, AJoinAnswersWhatTheThreadSendsAndKeepsToItsBound)
{
    ASSERT_TRUE(CWnd::RegisterWindowClass(L"VelmoraFailingWindow", 0, nullptr, nullptr, nullptr, nullptr));
    FailingWindow window;
    ASSERT_TRUE(window.Create({.className = L"VelmoraFailingWindow", .style = WS_POPUP}));

    // The thread can only end once this thread has answered it.
    AskingThread* asking = new AskingThread;
    asking->window = window.hwnd;
    HANDLE ended = asking->Start();
    ASSERT_NE(ended, nullptr);
    EXPECT_TRUE(JoinThread(ended, 10000));
    EXPECT_EQ(window.answered, 1);
    // The object is gone; its handle still says the thread has ended.
    EXPECT_TRUE(JoinThread(ended, 0));
    CloseHandle(ended);

    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    AskingThread* waiting = new AskingThread;
    waiting->window = window.hwnd;
    waiting->release = release;
    HANDLE running = waiting->Start();
    ASSERT_NE(running, nullptr);
    const DWORD start = GetTickCount();
    EXPECT_FALSE(JoinThread(running, 300));
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_EQ(window.answered, 2);
    SetEvent(release);
    EXPECT_TRUE(JoinThread(running, 10000));
    CloseHandle(running);
    CloseHandle(release);
    window.DestroyWindow();
}

// Text made readable reads at 4.5:1 at least on its background, and text that
// already did keeps its colour.
TEST(Contrast, ReadableTextReadsOnEveryBackground)
{
    EXPECT_NEAR(ContrastRatio(RGB(0, 0, 0), RGB(255, 255, 255)), 21.0, 0.01);
    EXPECT_NEAR(ContrastRatio(RGB(90, 90, 90), RGB(90, 90, 90)), 1.0, 0.01);
    const COLORREF colours[] = {RGB(255, 255, 255), RGB(0, 0, 0),       RGB(128, 128, 128), RGB(109, 109, 109),
                                RGB(240, 240, 240), RGB(63, 242, 0),    RGB(0, 0, 255),     RGB(118, 118, 118),
                                RGB(255, 255, 0),   RGB(26, 235, 255), RGB(30, 30, 136),   RGB(129, 129, 255)};
    for (COLORREF text : colours)
    {
        for (COLORREF background : colours)
        {
            const COLORREF readable = ReadableColour(text, background);
            EXPECT_GE(ContrastRatio(readable, background), 4.5) << std::hex << text << " on " << background;
            if (ContrastRatio(text, background) >= 4.5)
            {
                EXPECT_EQ(readable, text) << std::hex << text << " on " << background;
            }
        }
    }
}
