#include "help/HtmlHelpLoader.h"

#include "framework/Text.h"
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

TEST(HtmlHelpLoader, AViewerWithoutItsEntryIsAFailureForGood)
{
    SavedClassesKey registration(kViewerServerKey);
    // A library that loads but lacks export 14.
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
