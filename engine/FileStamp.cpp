#include "engine/FileStamp.h"

namespace
{
uint64_t Ticks(const FILETIME& time)
{
    return (uint64_t)time.dwHighDateTime << 32 | time.dwLowDateTime;
}

uint64_t Size(DWORD high, DWORD low)
{
    return (uint64_t)high << 32 | low;
}

FileStamp Stamp(const FILETIME& created, const FILETIME& written)
{
    return {Ticks(created), Ticks(written)};
}

uint8_t Kind(DWORD attributes, DWORD reparseTag)
{
    const bool directory = attributes & FILE_ATTRIBUTE_DIRECTORY;
    return (uint8_t)((directory ? 1 : 0) | (IsLink(attributes, reparseTag) ? 2 : 0));
}
}

bool IsLink(DWORD attributes, DWORD reparseTag)
{
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    return reparseTag == 0 || IsReparseTagNameSurrogate(reparseTag);
}

DWORD ReparseTagOf(const std::wstring& path)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileExW(path.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(find);
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? entry.dwReserved0 : 0;
}

uint64_t SizeOf(const WIN32_FIND_DATAW& entry)
{
    return Size(entry.nFileSizeHigh, entry.nFileSizeLow);
}

void RecordSeen(FoundFile& row, const WIN32_FIND_DATAW& entry)
{
    row.size = SizeOf(entry);
    row.seen = Stamp(entry.ftCreationTime, entry.ftLastWriteTime);
    row.kind = Kind(entry.dwFileAttributes, entry.dwReserved0);
}

void RecordSeen(FoundFile& row, const WIN32_FILE_ATTRIBUTE_DATA& data, DWORD reparseTag)
{
    row.size = Size(data.nFileSizeHigh, data.nFileSizeLow);
    row.seen = Stamp(data.ftCreationTime, data.ftLastWriteTime);
    row.kind = Kind(data.dwFileAttributes, reparseTag);
}

bool StillAsSeen(const FoundFile& row, const WIN32_FILE_ATTRIBUTE_DATA& now, DWORD reparseTag)
{
    return Size(now.nFileSizeHigh, now.nFileSizeLow) == row.size &&
           Stamp(now.ftCreationTime, now.ftLastWriteTime) == row.seen &&
           Kind(now.dwFileAttributes, reparseTag) == row.kind;
}
