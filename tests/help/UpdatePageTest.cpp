#include "help/CWindowHelpCheckUpdates.h"

#include "framework/CWnd.h"
#include "framework/Text.h"
#include "help/UpdateReport.h"
#include "resources/resource.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/MessagePump.h"
#include "tests/support/PageHost.h"
#include "tests/support/ScreenCapture.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <optional>
#include <thread>

namespace
{
const char kWebHost[] = "www.corvath.test";
const char kAddress[] = "http://www.corvath.test";
const std::string kConnecting = "Connecting to http://www.corvath.test ...\r\n";
const std::string kExchange = kConnecting + "Connected\r\nGetting information\r\n";
const std::string kFailureBlock = "Cannot connect to Corvath\r\n"
                                  "Please check your internet connection, firewall and Windows firewall settings\r\n";
const std::string kVisit = "Please visit http://www.corvath.test to download the latest version\r\n";
const std::string kInformationFailure = "Getting information failed.\r\nWe recommend you to visit "
                                        "http://www.corvath.test, to download and install the latest version\r\n";
const std::string kGoodReply = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n"
                               "Velmora 2.0 finds files faster.\n\n1.1;1.0\n2.0;1.0;\n";
const std::string kGoodReport = "Velmora 2.0 finds files faster.\r\n\r\n\r\nThe latest version of Velmora is 2.0\r\n"
                                "You have Velmora 1.0\r\nWe recommend you to visit http://www.corvath.test, to "
                                "download and install the latest version\r\n\r\n";

// Status messages the page took from its queue: the hook sees each before the page does.
struct StatusCount
{
    HWND page = nullptr;
    int all = 0;
    int final = 0;
};
StatusCount statusCount;

LRESULT CALLBACK CountStatus(int code, WPARAM removal, LPARAM param)
{
    const MSG* msg = reinterpret_cast<const MSG*>(param);
    if (code == HC_ACTION && removal == PM_REMOVE && msg->message == WM_UPDATE_STATUS &&
        msg->hwnd == statusCount.page)
    {
        statusCount.all++;
        if (msg->wParam == 1)
            statusCount.final++;
    }
    return CallNextHookEx(nullptr, code, removal, param);
}

class UpdatePage : public testing::Test
{
protected:
    PageHost host;
    std::unique_ptr<CWindowHelpCheckUpdates> page;
    HWND window = nullptr;
    HHOOK hook = nullptr;

    void SetUp() override
    {
        // Start-up loads the rich-edit library for the program.
        ASSERT_NE(LoadLibraryW(L"riched20.dll"), nullptr);
        ASSERT_TRUE(host.Open("Update page test", 560, 480, WS_OVERLAPPEDWINDOW | WS_VISIBLE));
        statusCount = StatusCount();
        hook = SetWindowsHookExW(WH_GETMESSAGE, CountStatus, nullptr, GetCurrentThreadId());
        ASSERT_NE(hook, nullptr);
    }

    void TearDown() override
    {
        page.reset();
        host.DestroyWindow();
        UnhookWindowsHookEx(hook);
    }

    void OpenPage(const std::string& domain, unsigned short port)
    {
        UpdateServer server;
        server.domain = domain;
        server.port = port;
        server.webHost = kWebHost;
        server.webAddress = kAddress;
        page = std::make_unique<CWindowHelpCheckUpdates>(server);
        ASSERT_TRUE(page->Create(host.hwnd));
        window = page->hwnd;
        statusCount.page = window;
        ShowWindow(window, SW_SHOW);
    }

    void OpenPage(const LocalHttpServer& server)
    {
        ASSERT_TRUE(server.Listening());
        OpenPage("127.0.0.1", server.Port());
    }

    HWND Item(int id) const { return GetDlgItem(window, id); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != 0; }
    bool Idle() const { return Enabled(IDC_CHECK_FOR_UPDATES) && !Enabled(IDC_UPDATE_CANCEL); }
    bool Checking() const { return !Enabled(IDC_CHECK_FOR_UPDATES) && Enabled(IDC_UPDATE_CANCEL); }
    // The text box's contents, line breaks as "\n".
    std::string Shown() const { return ControlText(window, IDC_UPDATE_REPORT); }

    static std::string WithoutCarriageReturns(std::string text)
    {
        std::erase(text, '\r');
        return text;
    }

    // Clicks a button as the mouse would, answering the prompts it raises with `answers`.
    std::vector<SeenPrompt> Click(int id, std::vector<int> answers = {})
    {
        DialogCloser closer(answers);
        SendMessageW(Item(id), BM_CLICK, 0, 0);
        return closer.Stop();
    }

    // Starts a check and runs the page until its final status message has been handled,
    // and then until the queue is empty, so that a stray status would be counted.
    void CheckAndWait()
    {
        Click(IDC_CHECK_FOR_UPDATES);
        ASSERT_TRUE(PumpUntil([&] { return statusCount.final > 0; }));
        PumpUntil([] { return false; }, 200);
    }

    // The whole outcome of a check: the report, what the box shows, the page idle, one final status.
    void ExpectReport(const std::string& report)
    {
        EXPECT_EQ(page->ReportText(), report);
        EXPECT_EQ(Shown(), WithoutCarriageReturns(report));
        EXPECT_TRUE(Idle());
        EXPECT_EQ(statusCount.final, 1);
    }
};
}

TEST_F(UpdatePage, OpensIdleWithItsPromptAndIgnoresEnterAndEscape)
{
    LocalHttpServer server(LocalHttpServer::Answer::Reply, kGoodReply);
    OpenPage(server);
    EXPECT_EQ(page->minWidth, 480);
    EXPECT_EQ(page->minHeight, 420);
    EXPECT_EQ(Shown(), "Please click the 'Check for updates' button");
    EXPECT_TRUE(Idle());
    LONG style = GetWindowLongW(Item(IDC_UPDATE_REPORT), GWL_STYLE);
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_TRUE(style & ES_MULTILINE);
    EXPECT_TRUE(SendMessageW(Item(IDC_UPDATE_REPORT), EM_GETAUTOURLDETECT, 0, 0));
    EXPECT_TRUE(SendMessageW(Item(IDC_UPDATE_REPORT), EM_GETEVENTMASK, 0, 0) & ENM_LINK);
    EXPECT_TRUE(IsWindowVisible(Item(IDC_UPDATE_PROGRESS)));

    // Enter and Escape as the dialog manager delivers them; without a check no question comes.
    std::vector<SeenPrompt> prompts;
    {
        DialogCloser closer;
        SetFocus(Item(IDC_UPDATE_REPORT));
        for (UINT key : {VK_RETURN, VK_ESCAPE})
        {
            MSG msg = {};
            msg.hwnd = Item(IDC_UPDATE_REPORT);
            msg.message = WM_KEYDOWN;
            msg.wParam = key;
            msg.lParam = 1;
            if (!IsDialogMessageW(window, &msg))
                DispatchMessageW(&msg);
        }
        SendMessageW(window, WM_COMMAND, IDOK, 0);
        SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
        PumpUntil([] { return false; }, 300);
        prompts = closer.Stop();
    }
    EXPECT_TRUE(prompts.empty());
    EXPECT_TRUE(Idle());
    EXPECT_EQ(Shown(), "Please click the 'Check for updates' button");
    EXPECT_EQ(server.Connections(), 0);
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(UpdatePage, GoodReplyGivesTheReportAfterTheRequestByteForByte)
{
    LocalHttpServer server(LocalHttpServer::Answer::Reply, kGoodReply);
    OpenPage(server);
    CheckAndWait();
    EXPECT_EQ(server.Request(), VersionFileRequest(kWebHost));
    ExpectReport(kGoodReport);
    // Checking, connecting, connected, getting information, the report.
    EXPECT_EQ(statusCount.all, 5);

    // A second check is a full new one and replaces the report.
    server.SetAnswer(LocalHttpServer::Answer::Reply, "HTTP/1.0 200 OK\r\n\r\n\n\n1.0;0.9\n");
    statusCount.final = 0;
    CheckAndWait();
    EXPECT_EQ(server.Connections(), 2);
    ExpectReport("The latest version of Velmora is 1.0\r\nYou have the latest version\r\n");
}

TEST_F(UpdatePage, RepliesWithoutTheirSeparatorsReportTheFailure)
{
    LocalHttpServer server(LocalHttpServer::Answer::Reply, "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n");
    OpenPage(server);
    CheckAndWait();
    ExpectReport(kExchange + "Failed\r\n" + kVisit);

    // An error page: a body, but no empty line after its first paragraph.
    server.SetAnswer(LocalHttpServer::Answer::Reply, "HTTP/1.0 404 Not Found\r\n\r\n<html>Not here</html>\r\n");
    statusCount.final = 0;
    CheckAndWait();
    ExpectReport(kExchange + kInformationFailure);
}

TEST_F(UpdatePage, ServerThatClosesAtOnceEndsInFailed)
{
    LocalHttpServer server(LocalHttpServer::Answer::CloseAtOnce);
    OpenPage(server);
    CheckAndWait();
    // Whether the closed connection shows as a reset first is up to the network stack.
    const std::string report = page->ReportText();
    EXPECT_EQ(report.rfind(kExchange, 0), 0u) << report;
    const std::string end = "Failed\r\n" + kVisit;
    ASSERT_GE(report.size(), end.size());
    EXPECT_EQ(report.substr(report.size() - end.size()), end) << report;
    EXPECT_TRUE(report == kExchange + end || report == kExchange + kFailureBlock + end) << report;
    EXPECT_EQ(Shown(), WithoutCarriageReturns(report));
    EXPECT_TRUE(Idle());
    EXPECT_EQ(statusCount.final, 1);
}

TEST_F(UpdatePage, RefusedConnectionAndUnknownNameReportTheConnectionFailure)
{
    OpenPage("127.0.0.1", LocalHttpServer::UnusedPort());
    CheckAndWait();
    ExpectReport(kConnecting + kFailureBlock + kVisit);
    // Checking, connecting, the report.
    EXPECT_EQ(statusCount.all, 3);

    page.reset();
    statusCount = StatusCount();
    OpenPage("update.velmora.invalid", 80);
    CheckAndWait();
    ExpectReport(kConnecting + kFailureBlock + kVisit);
}

TEST_F(UpdatePage, SilentServerIsAbortedOnlyAfterYes)
{
    LocalHttpServer server(LocalHttpServer::Answer::Silent);
    OpenPage(server);
    Click(IDC_CHECK_FOR_UPDATES);
    EXPECT_TRUE(Checking());
    ASSERT_TRUE(PumpUntil([&] { return server.Request() == VersionFileRequest(kWebHost); }));
    ASSERT_TRUE(PumpUntil([&] { return Shown() == WithoutCarriageReturns(kExchange); }));

    // No: the check goes on.
    std::vector<SeenPrompt> prompts = Click(IDC_UPDATE_CANCEL, {IDCANCEL});
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].caption, "Warning");
    EXPECT_EQ(prompts[0].text, "Do you want to abort checking?");
    PumpUntil([] { return false; }, 300);
    EXPECT_TRUE(Checking());
    EXPECT_TRUE(server.ClientConnected());
    EXPECT_EQ(statusCount.final, 0);

    // Escape asks the same; Yes returns only once the worker has ended.
    DialogCloser closer({IDOK});
    SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
    prompts = closer.Stop();
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text, "Do you want to abort checking?");
    EXPECT_TRUE(Idle());
    ASSERT_TRUE(PumpUntil([&] { return statusCount.final > 0; }));
    PumpUntil([] { return false; }, 200);
    ExpectReport(kExchange + "Failed\r\n" + kVisit);
    EXPECT_TRUE(PumpUntil([&] { return !server.ClientConnected(); }));

    // Checking again after the abort is a full new check.
    server.SetAnswer(LocalHttpServer::Answer::Reply, kGoodReply);
    statusCount.final = 0;
    CheckAndWait();
    EXPECT_EQ(server.Connections(), 2);
    ExpectReport(kGoodReport);
}

TEST_F(UpdatePage, ReplyBeyondOneMebibyteIsNotRead)
{
    // A valid version file padded with empty lines, which the parser would skip.
    const std::string head = "HTTP/1.0 200 OK\r\n\r\nNews\n\n2.0;1.0;\n";
    LocalHttpServer server(LocalHttpServer::Answer::Reply, head + std::string(kMaxReplySize - head.size(), '\n'));
    OpenPage(server);
    CheckAndWait();
    ExpectReport("News\r\n\r\n\r\nThe latest version of Velmora is 2.0\r\nYou have Velmora 1.0\r\n"
                 "We recommend you to visit http://www.corvath.test, to download and install the latest "
                 "version\r\n\r\n");

    server.SetAnswer(LocalHttpServer::Answer::Reply, head + std::string(2 * kMaxReplySize, '\n'));
    statusCount.final = 0;
    CheckAndWait();
    ExpectReport(kExchange + kInformationFailure);
}

TEST_F(UpdatePage, TrickleKeepsThePageAnsweringAndCancelEndsTheCheckAtOnce)
{
    LocalHttpServer server(LocalHttpServer::Answer::Trickle, kGoodReply);
    OpenPage(server);
    Click(IDC_CHECK_FOR_UPDATES);
    ASSERT_TRUE(PumpUntil([&] { return server.BytesSent() > 0; }));
    // Another thread's messages, sampled while the bytes come in.
    std::atomic<DWORD> worstMs{0};
    std::atomic<bool> allAnswered{true};
    std::atomic<bool> sampled{false};
    std::thread sampler([&] {
        for (int sample = 0; sample < 20; sample++)
        {
            const DWORD start = GetTickCount();
            DWORD_PTR result;
            if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result))
                allAnswered = false;
            worstMs = std::max<DWORD>(worstMs, GetTickCount() - start);
            Sleep(50);
        }
        sampled = true;
    });
    PumpUntil([&] { return sampled.load(); }, 25000);
    sampler.join();
    EXPECT_TRUE(allAnswered);
    EXPECT_TRUE(Checking());

    std::atomic<DWORD> yesAt{0};
    DWORD endedAt = 0;
    {
        DialogDriver yes("Warning", [&](HWND prompt) {
            yesAt = GetTickCount();
            ClickButton(prompt, IDOK);
        });
        SendMessageW(Item(IDC_UPDATE_CANCEL), BM_CLICK, 0, 0);
        endedAt = GetTickCount();
    }
    EXPECT_TRUE(Idle());
    EXPECT_LT(endedAt - yesAt, 1000u);
    printf("page answered within %lu ms at worst; the check ended %lu ms after Yes\n", (unsigned long)worstMs,
           (unsigned long)(endedAt - yesAt));
    ASSERT_TRUE(PumpUntil([&] { return statusCount.final > 0; }));
    ExpectReport(kExchange + "Failed\r\n" + kVisit);
}

TEST_F(UpdatePage, HundredMegabytesAreCutAtTheBoundAndReportedAsNoInformation)
{
    LocalHttpServer server(LocalHttpServer::Answer::Flood, "HTTP/1.0 200 OK\r\n\r\nNews\n\n2.0;1.0;\n");
    OpenPage(server);
    CheckAndWait();
    ExpectReport(kExchange + kInformationFailure);
    ASSERT_TRUE(PumpUntil([&] { return !server.ClientConnected(); }));
    // The check stopped reading: what was sent is what the bound and the buffers hold.
    EXPECT_LT(server.BytesSent(), LocalHttpServer::kFloodBytes / 10);
}

TEST_F(UpdatePage, HostileRepliesEndInTheirReports)
{
    std::string garbage;
    for (unsigned seed = 13; garbage.size() < 4096;)
    {
        seed = seed * 1103515245 + 12345;
        garbage += (char)(seed >> 16);
    }
    std::erase(garbage, '\r');
    const std::string header = "HTTP/1.0 200 OK\r\n\r\n";
    std::string noLines = garbage;
    std::erase(noLines, '\n');
    const char nulInMessage[] = "HTTP/1.0 200 OK\r\n\r\nNe\0ws\n\n2.0;1.0;\n";
    const std::string digits(300, '9');
    const std::string advice = "You have Velmora 1.0\r\nWe recommend you to visit http://www.corvath.test, to "
                               "download and install the latest version\r\n\r\n";
    const std::pair<std::string, std::string> cases[] = {
        {garbage, kExchange + "Failed\r\n" + kVisit},
        {header + noLines, kExchange + kInformationFailure},
        {std::string(nulInMessage, sizeof(nulInMessage) - 1),
         "News\r\n\r\n\r\nThe latest version of Velmora is 2.0\r\n" + advice},
        {"HTTP/1.0 200 OK\r\nContent-Length: 500\r\n\r\n", kExchange + kInformationFailure},
        // Numbers are held at the ends of their range.
        {header + "\n\n" + digits + "." + digits + ";1.0;\n-" + digits + ";" + digits + "\n",
         "The latest version of Velmora is 65535.65535\r\n" + advice},
    };
    LocalHttpServer server(LocalHttpServer::Answer::Reply);
    OpenPage(server);
    for (const auto& [reply, report] : cases)
    {
        server.SetAnswer(LocalHttpServer::Answer::Reply, reply);
        statusCount.final = 0;
        CheckAndWait();
        ExpectReport(report);
    }
}

// The report has a name, reads in the usual colours and at once after a change to
// high contrast, and keeps its text; an address alone reads too.
TEST_F(UpdatePage, TheReportIsNamedAndReadsInTheUsualAndHighContrastColours)
{
    LocalHttpServer server(LocalHttpServer::Answer::Reply, kGoodReply);
    OpenPage(server);
    EXPECT_EQ(LabelOf(Item(IDC_UPDATE_REPORT)), "Update report");
    CheckAndWait();
    std::optional<HighContrastBlack> colours;
    for (bool highContrast : {false, true})
    {
        if (highContrast)
            colours.emplace();
        for (const std::string& report : {kGoodReport, std::string(kAddress)})
        {
            SetWindowTextW(Item(IDC_UPDATE_REPORT), Widen(report).c_str());
            PumpUntil([] { return false; }, 100);
            COLORREF background = CLR_INVALID;
            EXPECT_GE(TextContrast(Item(IDC_UPDATE_REPORT), &background), 4.5)
                << report << (highContrast ? " in high contrast" : "");
            EXPECT_EQ(background, GetSysColor(COLOR_BTNFACE));
        }
        EXPECT_EQ(Shown(), kAddress);
    }
}
