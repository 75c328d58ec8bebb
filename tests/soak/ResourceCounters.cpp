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
const size_t kGdiTableOffset = sizeof(void*) == 4 ? 0x94 : 0xF8;
const size_t kGdiTableEntries = 0x10000;

// USER handles are an index from 0x20 in steps of 2; the upper word, a
// generation, may be left 0. Past this many the table has no entries.
const uintptr_t kFirstUserHandle = 0x20;
const uintptr_t kUserHandleEntries = 0x8000;
// Kernel handles are multiples of 4; a process of this kind holds a few hundred.
const uintptr_t kLastKernelHandle = 0x20000;

size_t CountGdiTable()
{
    PROCESS_BASIC_INFORMATION process = {};
    if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &process, sizeof(process), nullptr))
        return 0;
    const char* peb = reinterpret_cast<const char*>(process.PebBaseAddress);
    const WineGdiEntry* table = *reinterpret_cast<WineGdiEntry* const*>(peb + kGdiTableOffset);
    if (!table)
        return 0;
    size_t count = 0;
    for (size_t i = 0; i < kGdiTableEntries; i++)
        count += table[i].type != 0;
    return count;
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

size_t CountUserHandles()
{
    size_t count = 0;
    for (uintptr_t i = 0; i < kUserHandleEntries; i++)
        count += IsOwnUserObject(reinterpret_cast<HANDLE>(kFirstUserHandle + 2 * i));
    return count;
}

size_t CountKernelHandles()
{
    size_t count = 0;
    DWORD flags;
    for (uintptr_t value = 4; value < kLastKernelHandle; value += 4)
        count += GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) != FALSE;
    return count;
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

size_t PlatformGdiObjects()
{
    return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
}

size_t PlatformUserObjects()
{
    return GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
}

size_t PlatformKernelHandles()
{
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count;
}

size_t PlatformPrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof(counters));
    return counters.PrivateUsage;
}
}

ResourceCounts CountResources()
{
    ResourceCounts counts;
    counts.gdiObjects = PlatformGdiObjects();
    if (!counts.gdiObjects)
        counts.gdiObjects = CountGdiTable();
    counts.userObjects = PlatformUserObjects();
    if (!counts.userObjects)
        counts.userObjects = CountUserHandles();
    counts.kernelHandles = PlatformKernelHandles();
    if (!counts.kernelHandles)
        counts.kernelHandles = CountKernelHandles();
    counts.privateBytes = PrivateBytes();
    return counts;
}

size_t PrivateBytes()
{
    const size_t bytes = PlatformPrivateBytes();
    return bytes ? bytes : CountPrivateRegions();
}

std::string CountSources()
{
    std::string sources;
    sources += PlatformGdiObjects() ? "GDI objects from GetGuiResources, " : "GDI objects from the handle table, ";
    sources += PlatformUserObjects() ? "USER objects from GetGuiResources, " : "USER objects probed handle by handle, ";
    sources += PlatformKernelHandles() ? "handles from GetProcessHandleCount, "
                                       : "handles probed with GetHandleInformation, ";
    sources += PlatformPrivateBytes() ? "private bytes from GetProcessMemoryInfo"
                                      : "private bytes as the committed private regions";
    return sources;
}
