#include "tests/e2e/RemoteMemory.h"

RemoteMemory::RemoteMemory(HANDLE process, size_t size)
    : process(process), address(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))
{
}

RemoteMemory::~RemoteMemory()
{
    if (address)
        VirtualFreeEx(process, address, 0, MEM_RELEASE);
}

bool RemoteMemory::Write(const void* data, size_t size, size_t offset)
{
    SIZE_T written = 0;
    return address && WriteProcessMemory(process, static_cast<char*>(address) + offset, data, size, &written) &&
           written == size;
}

bool RemoteMemory::Read(void* data, size_t size, size_t offset) const
{
    SIZE_T read = 0;
    return address && ReadProcessMemory(process, static_cast<char*>(address) + offset, data, size, &read) &&
           read == size;
}
