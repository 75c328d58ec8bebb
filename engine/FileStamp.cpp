#include "engine/FileStamp.h"

static uint64_t Ticks(const FILETIME& time)
{
    return (uint64_t)time.dwHighDateTime << 32 | time.dwLowDateTime;
}

static FileStamp Stamp(DWORD attributes, const FILETIME& created, const FILETIME& written)
{
    FileStamp stamp;
    stamp.creationTime = Ticks(created);
    stamp.writeTime = Ticks(written);
    stamp.kind = attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT);
    return stamp;
}

FileStamp StampOf(const WIN32_FIND_DATAW& entry)
{
    return Stamp(entry.dwFileAttributes, entry.ftCreationTime, entry.ftLastWriteTime);
}

FileStamp StampOf(const WIN32_FILE_ATTRIBUTE_DATA& data)
{
    return Stamp(data.dwFileAttributes, data.ftCreationTime, data.ftLastWriteTime);
}

uint64_t SizeOf(const WIN32_FIND_DATAW& entry)
{
    return (uint64_t)entry.nFileSizeHigh << 32 | entry.nFileSizeLow;
}

uint64_t SizeOf(const WIN32_FILE_ATTRIBUTE_DATA& data)
{
    return (uint64_t)data.nFileSizeHigh << 32 | data.nFileSizeLow;
}
