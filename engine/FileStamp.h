// What a directory listing or an attribute query says of a file, in the form a
// found row keeps it.
#pragma once

#include "engine/FoundFile.h"

#include <windows.h>

uint64_t SizeOf(const WIN32_FIND_DATAW& entry);
// Records in the row what the listing said of the file: size, times and kind.
void RecordSeen(FoundFile& row, const WIN32_FIND_DATAW& entry);
void RecordSeen(FoundFile& row, const WIN32_FILE_ATTRIBUTE_DATA& data);
// True while the file as the query reports it now is what the row recorded.
bool StillAsSeen(const FoundFile& row, const WIN32_FILE_ATTRIBUTE_DATA& now);
