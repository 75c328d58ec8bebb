#include "help/HtmlHelpLoader.h"

#include "framework/MessageLoop.h"
#include "framework/Text.h"
#include "help/HelpViewerSession.h"
#include "tests/support/SavedClassesKey.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <htmlhelp.h>

namespace
{
const wchar_t kViewerServerKey[] = L"CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";

// The stand-in viewer built beside the tests.
std::string FakeViewerPath()
{
    return ProgramFolder() + "fake_viewer.dll";
}

// True when the module's file name is `name`, in any letter case.
bool IsModuleNamed(HMODULE module, const std::string& name)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(module, path, MAX_PATH);
    const wchar_t* file = wcsrchr(path, L'\\');
    return file && CompareStringOrdinal(file + 1, -1, Widen(name).c_str(), -1, TRUE) == CSTR_EQUAL;
}

// What the stand-in viewer answers to a command.
HWND FakeAnswer(UINT command)
{
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x7E00 + command));
}

// The calls the stand-in viewer saw since the last look, one line each.
std::wstring FakeViewerCalls(HMODULE viewer)
{
    using Calls = const wchar_t*(WINAPI*)();
    auto calls = reinterpret_cast<Calls>(reinterpret_cast<void*>(GetProcAddress(viewer, "FakeViewerCalls")));
    return calls ? calls() : L"no FakeViewerCalls";
}

std::wstring Call(UINT command, const std::wstring& file, const std::wstring& rest = L"")
{
    return std::to_wstring(command) + L" " + file + rest + L"\n";
}

MSG Message(HWND window, UINT message)
{
    MSG msg = {};
    msg.hwnd = window;
    msg.message = message;
    return msg;
}

int messagesDispatched = 0;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_APP)
        messagesDispatched++;
    return DefWindowProcW(window, message, wParam, lParam);
}
}

TEST(HtmlHelpLoader, LoadsTheViewerFromItsRegisteredLocation)
{
    SavedClassesKey registration(kViewerServerKey);
    const std::string fake = FakeViewerPath();
    ASSERT_TRUE(registration.Set(fake));

    HtmlHelpLoader loader;
    EXPECT_EQ(loader.Library(), nullptr);
    EXPECT_EQ(loader.Call(nullptr, "Velmora.chm", HH_DISPLAY_TOC, 0), FakeAnswer(HH_DISPLAY_TOC));
    EXPECT_TRUE(IsModuleNamed(loader.Library(), "fake_viewer.dll"));
    // The wide entry: a path the ANSI code page cannot spell ("Справка 帮助") arrives whole.
    const std::string path =
        "C:\\\xD0\xA1\xD0\xBF\xD1\x80\xD0\xB0\xD0\xB2\xD0\xBA\xD0\xB0 \xE5\xB8\xAE\xE5\x8A\xA9\\Velmora.chm";
    FakeViewerCalls(loader.Library());
    loader.Call(nullptr, path, HH_DISPLAY_TOC, 0);
    EXPECT_EQ(FakeViewerCalls(loader.Library()), Call(HH_DISPLAY_TOC, Widen(path)));
    // Loaded once: a changed registration does not move a loaded viewer.
    registration.Remove();
    EXPECT_EQ(loader.Call(nullptr, "", HH_CLOSE_ALL, 0), FakeAnswer(HH_CLOSE_ALL));
}

TEST(HtmlHelpLoader, LoadsTheViewerByNameWithoutAUsableRegistration)
{
    SavedClassesKey registration(kViewerServerKey);
    registration.Remove();
    HtmlHelpLoader unregistered;
    EXPECT_EQ(unregistered.Call(nullptr, "", HH_CLOSE_ALL, 0), nullptr);
    ASSERT_NE(unregistered.Library(), nullptr);
    EXPECT_TRUE(IsModuleNamed(unregistered.Library(), "hhctrl.ocx"));

    // A registered path that cannot be loaded falls back to the name too.
    TempFolder folder;
    ASSERT_TRUE(registration.Set(folder.Path() + "hhctrl.ocx"));
    HtmlHelpLoader misregistered;
    misregistered.Call(nullptr, "", HH_CLOSE_ALL, 0);
    ASSERT_NE(misregistered.Library(), nullptr);
    EXPECT_TRUE(IsModuleNamed(misregistered.Library(), "hhctrl.ocx"));
}

// A registration that would load the viewer from where a user may put a library
// is not used: the user's own classes, or a bare name looked for on the search path.
TEST(HtmlHelpLoader, LoadsNothingAUserCouldRegisterOrPlace)
{
    SavedClassesKey registration(kViewerServerKey);
    registration.Remove();
    const std::wstring userKey = std::wstring(L"Software\\Classes\\") + kViewerServerKey;
    const std::wstring fake = Widen(FakeViewerPath());
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, userKey.c_str(), nullptr, REG_SZ, fake.c_str(),
                              static_cast<DWORD>((fake.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    HtmlHelpLoader userRegistered;
    userRegistered.Call(nullptr, "", HH_CLOSE_ALL, 0);
    RegDeleteTreeW(HKEY_CURRENT_USER, userKey.c_str());
    EXPECT_TRUE(IsModuleNamed(userRegistered.Library(), "hhctrl.ocx"));

    // The fake lies beside this program, the first folder a bare name is looked for in.
    ASSERT_TRUE(registration.Set("fake_viewer.dll"));
    HtmlHelpLoader byName;
    byName.Call(nullptr, "", HH_CLOSE_ALL, 0);
    EXPECT_TRUE(IsModuleNamed(byName.Library(), "hhctrl.ocx"));
}

// The viewer refuses a help file in a folder whose name holds "#", or on a
// network; the page then shows a copy made on this PC.
TEST(HtmlHelpLoader, AHelpFileTheViewerRefusesIsShownFromALocalCopy)
{
    EXPECT_TRUE(ViewerRefusesPath("C:\\Tools #2\\Velmora.chm", false));
    EXPECT_TRUE(ViewerRefusesPath("\\\\server\\share\\Velmora.chm", true));
    EXPECT_FALSE(ViewerRefusesPath("C:\\Program Files\\Velmora\\Velmora.chm", false));

    TempFolder folder;
    const std::string hashed = folder.Path() + "C# tools\\";
    ASSERT_TRUE(CreateDirectoryW(Widen(hashed).c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(Widen(ProgramFolder() + "Velmora.chm").c_str(), Widen(hashed + "Velmora.chm").c_str(), FALSE));
    const std::string local = folder.Path() + "local\\";
    const std::string shown = ViewableHelpFile(hashed + "Velmora.chm", local);
    EXPECT_EQ(shown, local + "Velmora.chm");
    EXPECT_EQ(ReadWholeFile(shown), ReadWholeFile(hashed + "Velmora.chm"));
    // A path the viewer opens is left as it is.
    EXPECT_EQ(ViewableHelpFile(shown, folder.Path() + "other\\"), shown);
}

TEST(HtmlHelpLoader, AViewerWithoutItsEntryIsAFailureForGood)
{
    SavedClassesKey registration(kViewerServerKey);
    // A library that loads but lacks export 15.
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    ASSERT_TRUE(registration.Set(Narrow(system) + "\\msimg32.dll"));

    HtmlHelpLoader loader;
    EXPECT_EQ(loader.Call(nullptr, "Velmora.chm", HH_DISPLAY_TOC, 0), nullptr);
    EXPECT_TRUE(IsModuleNamed(loader.Library(), "msimg32.dll"));

    // Even with a working viewer registered now, nothing is tried again.
    ASSERT_TRUE(registration.Set(FakeViewerPath()));
    EXPECT_EQ(loader.Call(nullptr, "Velmora.chm", HH_DISPLAY_TOC, 0), nullptr);
    EXPECT_TRUE(IsModuleNamed(loader.Library(), "msimg32.dll"));
}

TEST(HtmlHelpLoader, ASessionInitialisesTheViewerAndShowsItTheLoopsMessages)
{
    SavedClassesKey registration(kViewerServerKey);
    ASSERT_TRUE(registration.Set(FakeViewerPath()));
    HtmlHelpLoader loader;
    loader.Call(nullptr, "", HH_CLOSE_ALL, 0);
    ASSERT_TRUE(IsModuleNamed(loader.Library(), "fake_viewer.dll"));
    FakeViewerCalls(loader.Library());

    WNDCLASSW type = {};
    type.lpfnWndProc = CountingProc;
    type.hInstance = GetModuleHandleW(nullptr);
    type.lpszClassName = L"VelmoraViewerSessionTest";
    RegisterClassW(&type);
    HWND window = CreateWindowW(type.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    messagesDispatched = 0;
    {
        HelpViewerSession session(loader);
        // The stand-in takes WM_APP + 15 and leaves every other message to the loop.
        MSG taken = Message(window, WM_APP + 15);
        MSG left = Message(window, WM_APP + 16);
        DispatchLoopMessage(taken);
        DispatchLoopMessage(left);
        EXPECT_EQ(messagesDispatched, 1);
    }
    EXPECT_EQ(FakeViewerCalls(loader.Library()), Call(HH_INITIALIZE, L"-") + Call(HH_PRETRANSLATEMESSAGE, L"-") +
                                                     Call(HH_PRETRANSLATEMESSAGE, L"-") +
                                                     Call(HH_UNINITIALIZE, L"-", L" 24301"));
    // After the session the loop dispatches everything itself.
    MSG after = Message(window, WM_APP + 15);
    DispatchLoopMessage(after);
    EXPECT_EQ(messagesDispatched, 2);
    DestroyWindow(window);
}
