#include "settings/StartupEntry.h"

#include "framework/Text.h"

#include "ProductIdentity.h"

#include <windows.h>

namespace
{
// The first byte of Task Manager's record is even when the value is on, odd when the user turned it off.
const uint8_t kTurnedOffBit = 0x01;
// A command line can hold at most this many characters.
const DWORD kMaxCommandChars = 32768;

// The program a Run command starts: the quoted part, or the whole unquoted text
// (Windows reads that one piece by piece, as a path with blanks).
std::wstring CommandProgram(const std::wstring& command)
{
    const size_t first = command.find_first_not_of(L" \t");
    if (first == std::wstring::npos)
        return std::wstring();
    if (command[first] == L'"')
    {
        const size_t closing = command.find(L'"', first + 1);
        return command.substr(first + 1, closing == std::wstring::npos ? std::wstring::npos : closing - first - 1);
    }
    const size_t last = command.find_last_not_of(L" \t");
    return command.substr(first, last - first + 1);
}

bool SamePath(const std::wstring& one, const std::wstring& other)
{
    return !one.empty() && CompareStringOrdinal(one.c_str(), static_cast<int>(one.size()), other.c_str(),
                                                static_cast<int>(other.size()), TRUE) == CSTR_EQUAL;
}

std::optional<std::wstring> ReadCommand()
{
    std::vector<wchar_t> data(kMaxCommandChars + 1, L'\0');
    DWORD size = kMaxCommandChars * sizeof(wchar_t);
    // A REG_EXPAND_SZ value comes expanded, as Windows runs it.
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, kRunValueName, RRF_RT_REG_SZ, nullptr, data.data(), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(data.data());
}

std::optional<std::vector<uint8_t>> ReadApproval()
{
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kStartupApprovedKey, kRunValueName, RRF_RT_REG_BINARY, nullptr, nullptr,
                     &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::vector<uint8_t> data(size);
    if (size && RegGetValueW(HKEY_CURRENT_USER, kStartupApprovedKey, kRunValueName, RRF_RT_REG_BINARY, nullptr,
                             data.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    data.resize(size);
    return data;
}
}

StartupEntry JudgeStartupEntry(const std::optional<std::wstring>& command,
                               const std::optional<std::vector<uint8_t>>& approval, const std::wstring& program)
{
    StartupEntry entry;
    entry.exists = command.has_value();
    entry.namesThisProgram = entry.exists && SamePath(CommandProgram(*command), program);
    entry.turnedOff = entry.exists && approval && !approval->empty() && ((*approval)[0] & kTurnedOffBit);
    return entry;
}

StartupEntry ReadStartupEntry()
{
    return JudgeStartupEntry(ReadCommand(), ReadApproval(), Widen(ProgramPath()));
}

bool WriteStartupEntry()
{
    const std::wstring program = Widen(ProgramPath());
    if (program.empty())
        return false;
    // Quoted, or Windows would try "C:\Program" first for a path with blanks.
    const std::wstring command = L"\"" + program + L"\"";
    // RegSetKeyValue makes the key where a fresh profile lacks it, as Windows does.
    if (RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, kRunValueName, REG_SZ, command.c_str(),
                        static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS)
        return false;
    // Without a record Windows takes the value as on.
    const LSTATUS cleared = RegDeleteKeyValueW(HKEY_CURRENT_USER, kStartupApprovedKey, kRunValueName);
    return cleared == ERROR_SUCCESS || cleared == ERROR_FILE_NOT_FOUND;
}

bool DeleteStartupEntry()
{
    // No key, no value: nothing starts the program.
    const LSTATUS status = RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kRunValueName);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

void RepairStartupEntry()
{
    const StartupEntry entry = ReadStartupEntry();
    if (entry.exists && !entry.namesThisProgram && !entry.turnedOff)
        WriteStartupEntry();
}
