#include "tests/soak/ResourceCounters.h"

#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <cstdint>

namespace
{
// Wine keeps its GDI handle table where Windows does, in the PEB, with entries
// of this shape; a free entry has type 0.
struct WineGdiEntry
{
    uint64_t object;
    uint32_t owner;
    uint16_t unique;
    uint8_t type;
    uint8_t flags;
    uint64_t userPointer;
};
const size_t kGdiTableEntries = 0x10000;
// Where the PEB points to the table, in this build's PEB and in a 64-bit one.
const size_t kGdiTableField = sizeof(void*) == 4 ? 0x94 : 0xF8;
const size_t kPeb64GdiTableField = 0xF8;
// A 32-bit process under WoW64 (Wine's too) leaves the 32-bit PEB's pointer
// empty: the table is in the 64-bit PEB, reached through the 64-bit TEB, whose
// distance from the 32-bit TEB the 32-bit TEB holds here (0 outside WoW64).
const size_t kWowTebOffsetField = 0xFDC;
const size_t kTeb64PebField = 0x60;

// USER handles are an index from 0x20 in steps of 2; the upper word, a
// generation, may be left 0. Past this many the table has no entries.
const uintptr_t kFirstUserHandle = 0x20;
const uintptr_t kUserHandleEntries = 0x8000;
// Kernel handles are multiples of 4; a process of this kind holds a few hundred.
const uintptr_t kLastKernelHandle = 0x20000;

// ThreadBasicInformation's answer, which the headers leave out.
struct ThreadBasics
{
    NTSTATUS exitStatus;
    const char* teb;
    CLIENT_ID clientId;
    KAFFINITY affinityMask;
    LONG priority;
    LONG basePriority;
};

// The 64-bit TEB of a 32-bit thread under WoW64, else null. The TEB is asked
// for, not read through the segment register: GCC takes that read for an
// access past an empty array.
const char* Teb64()
{
    ThreadBasics thread = {};
    if (sizeof(void*) == 8 || NtQueryInformationThread(GetCurrentThread(), ThreadBasicInformation, &thread,
                                                       sizeof(thread), nullptr))
        return nullptr;
    const int32_t offset = *reinterpret_cast<const int32_t*>(thread.teb + kWowTebOffsetField);
    return offset ? thread.teb + offset : nullptr;
}

const WineGdiEntry* FindGdiTable()
{
    if (const char* teb64 = Teb64())
    {
        const uint64_t peb64 = *reinterpret_cast<const uint64_t*>(teb64 + kTeb64PebField);
        if (!peb64 || peb64 > UINTPTR_MAX)
            return nullptr;
        const uint64_t table = *reinterpret_cast<const uint64_t*>(uintptr_t(peb64) + kPeb64GdiTableField);
        return table <= UINTPTR_MAX ? reinterpret_cast<const WineGdiEntry*>(uintptr_t(table)) : nullptr;
    }
    PROCESS_BASIC_INFORMATION process = {};
    if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &process, sizeof(process), nullptr))
        return nullptr;
    const char* peb = reinterpret_cast<const char*>(process.PebBaseAddress);
    return *reinterpret_cast<WineGdiEntry* const*>(peb + kGdiTableField);
}

ResourceCount CountGdiObjects()
{
    if (const size_t platform = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS))
        return {platform, "from GetGuiResources", ""};
    const WineGdiEntry* table = FindGdiTable();
    if (!table)
        return {0, "not counted", "handle table not found"};
    size_t count = 0;
    for (size_t i = 0; i < kGdiTableEntries; i++)
        count += table[i].type != 0;
    return {count, "from the handle table", ""};
}

bool IsOwnUserObject(HANDLE handle)
{
    // Windows are global; menus and icons belong to their process.
    if (IsWindow(static_cast<HWND>(handle)))
    {
        DWORD process = 0;
        GetWindowThreadProcessId(static_cast<HWND>(handle), &process);
        return process == GetCurrentProcessId();
    }
    if (IsMenu(static_cast<HMENU>(handle)))
        return true;
    ICONINFO icon;
    if (!GetIconInfo(static_cast<HICON>(handle), &icon))
        return false;
    DeleteObject(icon.hbmMask);
    if (icon.hbmColor)
        DeleteObject(icon.hbmColor);
    return true;
}

ResourceCount CountUserObjects()
{
    if (const size_t platform = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS))
        return {platform, "from GetGuiResources", ""};
    size_t count = 0;
    for (uintptr_t i = 0; i < kUserHandleEntries; i++)
        count += IsOwnUserObject(reinterpret_cast<HANDLE>(kFirstUserHandle + 2 * i));
    return {count, "probed handle by handle", ""};
}

ResourceCount CountKernelHandles()
{
    DWORD platform = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &platform) && platform)
        return {platform, "from GetProcessHandleCount", ""};
    size_t count = 0;
    DWORD flags;
    for (uintptr_t value = 4; value < kLastKernelHandle; value += 4)
        count += GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) != FALSE;
    return {count, "probed with GetHandleInformation", ""};
}

// Committed private memory, region by region.
size_t CountPrivateRegions()
{
    size_t bytes = 0;
    MEMORY_BASIC_INFORMATION region;
    for (const char* address = nullptr; VirtualQuery(address, &region, sizeof(region)) == sizeof(region);
         address = static_cast<const char*>(region.BaseAddress) + region.RegionSize)
    {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            bytes += region.RegionSize;
    }
    return bytes;
}

size_t PlatformPrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof(counters));
    return counters.PrivateUsage;
}

ResourceCount CountPrivateBytes()
{
    if (const size_t platform = PlatformPrivateBytes())
        return {platform, "from GetProcessMemoryInfo", ""};
    return {CountPrivateRegions(), "as the committed private regions", ""};
}
}

ResourceCounts CountResources()
{
    return {CountGdiObjects(), CountUserObjects(), CountKernelHandles(), CountPrivateBytes()};
}

size_t PrivateBytes()
{
    return CountPrivateBytes().value;
}
