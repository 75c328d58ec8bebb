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

// Newer than the headers of the tool chain.
const DWORD kAttributeRecallOnOpen = 0x00040000;
const DWORD kAttributeRecallOnDataAccess = 0x00400000;
const DWORD kTagLinuxFifo = 0x80000024;
const DWORD kTagLinuxCharacterDevice = 0x80000025;
const DWORD kTagLinuxBlockDevice = 0x80000026;
const DWORD kTagAppExecutionAlias = 0x8000001B;
const DWORD kTagUnixSocket = 0x80000023;
// Every cloud files tag is the base tag with a provider's number in these bits.
const DWORD kTagCloud = 0x9000001A;
const DWORD kTagCloudMask = 0x0000F000;

uint8_t Kind(DWORD attributes, DWORD reparseTag)
{
    uint8_t kind = 0;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        kind |= kKindDirectory;
    if (IsLink(attributes, reparseTag))
        kind |= kKindLink;
    if (IsOnlineOnly(attributes, reparseTag))
        kind |= kKindOnlineOnly;
    return kind;
}

uint8_t WithoutOnlineOnly(uint8_t kind)
{
    return kind & (uint8_t)~kKindOnlineOnly;
}
}

bool IsOnlineOnly(DWORD attributes, DWORD reparseTag)
{
    if (attributes & (kAttributeRecallOnOpen | kAttributeRecallOnDataAccess | FILE_ATTRIBUTE_OFFLINE))
        return true;
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) && (reparseTag & ~kTagCloudMask) == kTagCloud;
}

bool IsSpecialFile(DWORD attributes, DWORD reparseTag)
{
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    switch (reparseTag)
    {
    case kTagAppExecutionAlias:
    case kTagLinuxFifo:
    case kTagLinuxCharacterDevice:
    case kTagLinuxBlockDevice:
    case kTagUnixSocket:
        return true;
    }
    return false;
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

bool StillAsSeen(const ChosenFile& file, const WIN32_FILE_ATTRIBUTE_DATA& now, DWORD reparseTag)
{
    return Size(now.nFileSizeHigh, now.nFileSizeLow) == file.size &&
           Stamp(now.ftCreationTime, now.ftLastWriteTime) == file.seen &&
           WithoutOnlineOnly(Kind(now.dwFileAttributes, reparseTag)) == WithoutOnlineOnly(file.kind);
}
