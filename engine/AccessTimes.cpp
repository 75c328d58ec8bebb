#include "engine/AccessTimes.h"

#include <windows.h>

namespace
{
const wchar_t kFileSystemKey[] = L"SYSTEM\\CurrentControlSet\\Control\\FileSystem";
const wchar_t kDisableValue[] = L"NtfsDisableLastAccessUpdate";
// The high bit says who chose (the user or the system); the low bit whether updates are off.
const DWORD kUpdatesOff = 1;
}

bool WindowsRecordsAccessTimes()
{
    DWORD value = 0;
    DWORD size = sizeof(value);
    // No value, or one that cannot be read, is Windows' old default: updates on.
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kFileSystemKey, kDisableValue, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS)
        return true;
    return (value & kUpdatesOff) == 0;
}
