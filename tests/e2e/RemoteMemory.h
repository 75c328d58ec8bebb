// A block of memory inside another process, for the control messages whose
// parameters are pointers (the system copies only text messages across).
#pragma once

#include <windows.h>

#include <cstddef>

class RemoteMemory
{
public:
    RemoteMemory(HANDLE process, size_t size);
    ~RemoteMemory();
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    bool Write(const void* data, size_t size, size_t offset = 0);
    bool Read(void* data, size_t size, size_t offset = 0) const;
    // The block's address in the other process, as a message parameter.
    LPARAM Address(size_t offset = 0) const { return reinterpret_cast<LPARAM>(static_cast<char*>(address) + offset); }

private:
    HANDLE process;
    void* address;
};
