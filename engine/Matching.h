#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/LocalTime.h"
#include "engine/SearchCriteria.h"
#include "engine/WantedTypes.h"

// The extension of a file name in lower case: the text after its last '.', empty when the name
// has no '.' or ends with one. Written into `type`, whose room is reused from entry to entry.
void FileTypeOf(std::string_view name, std::string& type);
std::string FileTypeOf(std::string_view name);

// The size and date tests a file must pass besides its type. Bounds are inclusive, but for an
// age the files older than it lie strictly before its bound; a condition outside its list never passes.
bool SizeMatches(const SearchCriteria& criteria, uint64_t size);
bool DateMatches(const SearchCriteria& criteria, int64_t testedTime);

// Tests one directory entry (types: prepared from criteria.fileType); on a hit its lower-case
// type is in `type`.
bool MatchEntry(const SearchCriteria& criteria, const WantedTypes& types, std::string_view name, uint64_t size,
                int64_t testedTime, std::string& type);
