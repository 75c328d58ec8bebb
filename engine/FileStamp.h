// What a directory listing or an attribute query says of a file, in the form a
// found row keeps it.
#pragma once

#include "engine/FoundFile.h"

#include <windows.h>

#include <string>

uint64_t SizeOf(const WIN32_FIND_DATAW& entry);
// True for an entry that stands for another one: a symbolic link, a junction or a
// mount point. Every other reparse point (a cloud placeholder, a deduplicated
// file) is the folder or file it looks like. An entry whose tag is not known
// counts as a link, the careful side.
bool IsLink(DWORD attributes, DWORD reparseTag);
// The reparse tag of the entry at path; 0 when it cannot be read.
DWORD ReparseTagOf(const std::wstring& path);
// Records in the row what the listing said of the file: size, times and kind.
void RecordSeen(FoundFile& row, const WIN32_FIND_DATAW& entry);
void RecordSeen(FoundFile& row, const WIN32_FILE_ATTRIBUTE_DATA& data, DWORD reparseTag);
// True while the file as the query reports it now is what the row recorded.
bool StillAsSeen(const FoundFile& row, const WIN32_FILE_ATTRIBUTE_DATA& now, DWORD reparseTag);
