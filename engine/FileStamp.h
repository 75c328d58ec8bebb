// A file's stamp as a directory listing or an attribute query reports it.
#pragma once

#include "engine/SearchCriteria.h"

#include <windows.h>

FileStamp StampOf(const WIN32_FIND_DATAW& entry);
FileStamp StampOf(const WIN32_FILE_ATTRIBUTE_DATA& data);

uint64_t SizeOf(const WIN32_FIND_DATAW& entry);
uint64_t SizeOf(const WIN32_FILE_ATTRIBUTE_DATA& data);
