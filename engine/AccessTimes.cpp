#include "engine/AccessTimes.h"

#include "framework/Text.h"

#include <windows.h>

namespace
{
const wchar_t kFileSystemKey[] = L"SYSTEM\\CurrentControlSet\\Control\\FileSystem";
const wchar_t kNtfsValue[] = L"NtfsDisableLastAccessUpdate";
const wchar_t kRefsValue[] = L"RefsDisableLastAccessUpdate";
// The high bit says who chose (the user or the system); the low bit whether updates are off.
const uint32_t kUpdatesOff = 1;

bool IsFileSystem(const std::string& name, const wchar_t* wanted)
{
    return CompareStringOrdinal(Widen(name).c_str(), -1, wanted, -1, TRUE) == CSTR_EQUAL;
}

// The value, when it is set and can be read.
std::optional<uint32_t> AccessSetting(const wchar_t* name)
{
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kFileSystemKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return value;
}
}

bool VolumeRecordsAccessTimes(const VolumeAccessFacts& volume)
{
    if (volume.remote)
        return false;
    // No value is NTFS's old default: updates on.
    if (IsFileSystem(volume.fileSystem, L"NTFS"))
        return !volume.ntfsSetting || (*volume.ntfsSetting & kUpdatesOff) == 0;
    // ReFS has no default to rely on: only a value that turns updates on counts.
    if (IsFileSystem(volume.fileSystem, L"ReFS"))
        return volume.refsSetting && (*volume.refsSetting & kUpdatesOff) == 0;
    return false;
}

bool LocationsRecordAccessTimes(const std::vector<std::string>& locations)
{
    // The settings are the system's, the same for every volume.
    const std::optional<uint32_t> ntfsSetting = AccessSetting(kNtfsValue);
    const std::optional<uint32_t> refsSetting = AccessSetting(kRefsValue);
    for (const std::string& location : locations)
    {
        // A volume that cannot be named, a server that cannot be reached: not known to record them.
        wchar_t root[MAX_PATH + 1] = {};
        if (!GetVolumePathNameW(LongPath(location).c_str(), root, MAX_PATH + 1))
            return false;
        VolumeAccessFacts volume;
        wchar_t fileSystem[MAX_PATH + 1] = {};
        if (GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, nullptr, fileSystem, MAX_PATH + 1))
            volume.fileSystem = Narrow(fileSystem);
        volume.remote = GetDriveTypeW(root) == DRIVE_REMOTE;
        volume.ntfsSetting = ntfsSetting;
        volume.refsSetting = refsSetting;
        if (!VolumeRecordsAccessTimes(volume))
            return false;
    }
    return true;
}
