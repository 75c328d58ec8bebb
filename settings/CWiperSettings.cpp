#include "settings/CWiperSettings.h"

#include "engine/Prompts.h"
#include "framework/Text.h"
#include "resources/resource.h"
#include "settings/Sha256.h"

#include <windows.h>

// The cause numbers of the open-error message.
static int FileErrorCause(DWORD error)
{
    switch (error)
    {
    case ERROR_FILE_NOT_FOUND:
        return 2;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_DIRECTORY:
    case ERROR_FILENAME_EXCED_RANGE:
        return 3;
    case ERROR_TOO_MANY_OPEN_FILES:
        return 4;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return 5;
    case ERROR_INVALID_HANDLE:
        return 6;
    case ERROR_SHARING_VIOLATION:
        return 11;
    case ERROR_LOCK_VIOLATION:
        return 12;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return 13;
    case ERROR_HANDLE_EOF:
        return 14;
    }
    return 1;
}

static void ShowFileError(const std::string& path, const char* what, DWORD error)
{
    std::string text = "Could not " + std::string(what) + " file \"" + path + "\", " + what + " error " +
                       std::to_string(FileErrorCause(error));
    ShowMessage(nullptr, "Error", "", text, IDI_EXCLAMATION_MARK);
}

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
    requestedOperation = 0;
    runningOperation = 0;
}

std::string CWiperSettings::FilePath() const
{
    return installFolder + "settings.dat";
}

bool CWiperSettings::Load()
{
    std::string path = FilePath();
    std::wstring widePath = LongPath(path);
    if (GetFileAttributesW(widePath.c_str()) == INVALID_FILE_ATTRIBUTES)
    {
        SetDefaults();
        return false;
    }
    HANDLE file = CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
    {
        ShowFileError(path, "open", GetLastError());
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
        ShowMessage(nullptr, "Error", "", "Wrong settings.dat", IDI_EXCLAMATION_MARK);
        return false;
    }
    return true;
}

bool CWiperSettings::Save()
{
    // Written beside the old file and moved over it, so a failure never leaves half a file.
    std::string path = FilePath();
    std::wstring target = LongPath(path);
    std::wstring temporary = LongPath(path + ".new");
    // A read-only file is the user's word that it must not change.
    DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    {
        ShowFileError(path, "open", ERROR_ACCESS_DENIED);
        return false;
    }
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
    {
        ShowFileError(path, "open", GetLastError());
        return false;
    }
    std::vector<uint8_t> bytes = EncodeSettings(*this);
    DWORD written = 0;
    bool complete = WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, nullptr) &&
                    written == bytes.size() && FlushFileBuffers(file);
    DWORD error = complete ? 0 : GetLastError();
    CloseHandle(file);
    if (!complete)
    {
        DeleteFileW(temporary.c_str());
        ShowFileError(path, "write", error);
        return false;
    }
    if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    {
        error = GetLastError();
        DeleteFileW(temporary.c_str());
        ShowFileError(path, "open", error);
        return false;
    }
    return true;
}

void CWiperSettings::SetPassword(const std::string& password)
{
    // The digest is over the ANSI bytes, so digests stored by earlier versions stay valid.
    passwordHash = Sha256Hex(ToAnsi(password));
}

bool CWiperSettings::CheckPassword(const std::string& password) const
{
    return !passwordHash.empty() && Sha256Hex(ToAnsi(password)) == passwordHash;
}
