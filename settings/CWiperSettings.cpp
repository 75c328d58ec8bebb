#include "settings/CWiperSettings.h"

#include "framework/Prompts.h"
#include "framework/ReplaceFile.h"
#include "framework/Text.h"
#include "resources/resource.h"
#include "settings/Sha256.h"

#include <windows.h>

void CWiperSettings::SetDefaults()
{
    windowLeft = 20;
    windowTop = 20;
    windowWidth = 650;
    windowHeight = 450;
    windowShowCmd = 1;
    splitterPos = kMinSplitterPos;
    startWithWindows = 0;
    passwordProtected = 0;
    passwordHash.clear();
}

std::string CWiperSettings::FilePath() const
{
    return Folder() + "settings.dat";
}

std::string CWiperSettings::Folder() const
{
    return settingsFolder.empty() ? installFolder : settingsFolder;
}

namespace
{
// Another program may hold the file without sharing it (a backup, a sync
// client): a refusal for that reason is tried again for a moment.
const DWORD kReadRetryPauseMs = 50;
const int kReadAttempts = 10;
}

SettingsLoad CWiperSettings::Load(SettingsFailure* failure)
{
    const std::string path = FilePath();
    keepUnreadableFile = false;
    if (GetFileAttributesW(LongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES)
    {
        if (Read(path, failure))
            return SettingsLoad::Read;
        // Not a half-read record: a first start's, and the user's file is never written over.
        SetDefaults();
        keepUnreadableFile = true;
        return SettingsLoad::Failed;
    }
    // Read once from where an older version kept it; the next save writes the
    // user's own file and leaves that one as it is. Its failures are not the user's.
    const std::string installed = installFolder + "settings.dat";
    if (!settingsFolder.empty() && GetFileAttributesW(LongPath(installed).c_str()) != INVALID_FILE_ATTRIBUTES &&
        Read(installed, nullptr))
        return SettingsLoad::Read;
    SetDefaults();
    return SettingsLoad::Missing;
}

bool CWiperSettings::Read(const std::string& path, SettingsFailure* failure)
{
    // Shared every way, so that another program's open handle does not stop the read.
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 1; attempt <= kReadAttempts; attempt++)
    {
        file = CreateFileW(LongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION || attempt == kReadAttempts)
            break;
        Sleep(kReadRetryPauseMs);
    }
    if (file == INVALID_HANDLE_VALUE)
    {
        if (failure)
            *failure = SettingsFailure{path, "open", GetLastError()};
        return false;
    }
    // Nothing past the longest valid file is ever read.
    uint8_t data[kSettingsHeaderSize + 30 + kMaxDigestLength];
    DWORD total = 0;
    DWORD read = 0;
    while (total < sizeof(data) && ReadFile(file, data + total, sizeof(data) - total, &read, nullptr) && read > 0)
        total += read;
    CloseHandle(file);

    if (DecodeSettings(data, total, *this) != SettingsDecode::Ok)
    {
        if (failure)
            *failure = SettingsFailure{path, "", 0};
        return false;
    }
    return true;
}

bool CWiperSettings::Save(SettingsFailure* failure) const
{
    // Written beside the old file and moved over it, so a failure never leaves half a file.
    std::string path = FilePath();
    std::wstring target = LongPath(path);
    // The user's folder is made on the first save; its parent always exists.
    if (!settingsFolder.empty())
        CreateDirectoryW(LongPath(settingsFolder).c_str(), nullptr);
    // A read-only file is the user's word that it must not change.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool keep =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
    FileWriteFailure written = {"open", ERROR_ACCESS_DENIED};
    const std::vector<uint8_t> bytes = EncodeSettings(*this);
    if (!keep && (!keepUnreadableFile || MoveUnreadableAside(written.error)) &&
        ReplaceFileContents(path, path + ".new", bytes.data(), bytes.size(), written))
        return true;
    if (failure)
        *failure = SettingsFailure{path, written.what, written.error};
    return false;
}

bool CWiperSettings::MoveUnreadableAside(DWORD& error) const
{
    const std::string path = FilePath();
    DWORD refusal = 0;
    // Gone in the meantime: nothing is left to keep.
    if (!MoveFileOver(LongPath(path), LongPath(path + ".unreadable"), refusal) && refusal != ERROR_FILE_NOT_FOUND)
    {
        error = refusal;
        return false;
    }
    keepUnreadableFile = false;
    return true;
}

void ShowSettingsFailure(HWND owner, const SettingsFailure& failure)
{
    if (failure.what.empty())
        ShowMessage(owner, "Error", "", "Wrong settings.dat", IDI_EXCLAMATION_MARK);
    else
        ShowFileError(owner, failure.path, failure.what.c_str(), failure.error);
}

void CWiperSettings::SetPassword(const std::string& password)
{
    // Over the UTF-8 bytes: a password of any script, whatever the system's code
    // page. An ASCII password has the same bytes in ANSI, so its old digest stays valid.
    passwordHash = Sha256Hex(password);
}

bool CWiperSettings::CheckPassword(const std::string& password)
{
    if (passwordHash.empty())
        return false;
    if (Sha256Hex(password) == passwordHash)
        return true;
    // A digest an earlier version took over the ANSI conversion, whose best fit
    // made different passwords equal: it opens this once and is stored anew.
    if (Sha256Hex(ToAnsi(password)) != passwordHash)
        return false;
    SetPassword(password);
    return true;
}
