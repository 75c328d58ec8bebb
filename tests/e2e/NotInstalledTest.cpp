// Started without its package, the program says so and does nothing else.
#include "tests/e2e/Installation.h"
#include "tests/e2e/ProgramUnderTest.h"

#include "resources/resource.h"

#include <gtest/gtest.h>

namespace
{
BOOL CALLBACK CountVisibleOfProcess(HWND window, LPARAM param)
{
    auto* count = reinterpret_cast<std::pair<DWORD, int>*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == count->first && IsWindowVisible(window))
        count->second++;
    return TRUE;
}

int VisibleWindowsOf(DWORD processId)
{
    std::pair<DWORD, int> count(processId, 0);
    EnumWindows(CountVisibleOfProcess, reinterpret_cast<LPARAM>(&count));
    return count.second;
}
}

TEST(NotInstalled, ShowsTheMessageAndEndsWithoutMutexOrWindow)
{
    ASSERT_FALSE(ProductInstalled());
    ProgramUnderTest velmora(BuildPath("VELMORA_EXE"));
    ASSERT_TRUE(velmora.Started());

    HWND message = velmora.WaitForDialog("Error");
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(message, IDC_PROMPT_TEXT)), "Velmora is not installed.");
    // While the message is up, start-up has done nothing else.
    HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, L"VelmoraMutex");
    EXPECT_EQ(mutex, nullptr);
    if (mutex)
        CloseHandle(mutex);
    EXPECT_EQ(velmora.MainWindow(), nullptr);
    EXPECT_EQ(VisibleWindowsOf(velmora.Id()), 1);

    PostMessageW(message, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(velmora.WaitForExit(), 0u);
    EXPECT_EQ(CountMainWindows(), 0);
}
