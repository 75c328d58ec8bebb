#pragma once

#include <cstdint>
#include <string>

#include "engine/LocalTime.h"
#include "engine/SearchCriteria.h"
#include "engine/WantedTypes.h"

// The extension of a file name in lower case: the text after its last '.', empty when the name
// has no '.' or ends with one.
std::string FileTypeOf(const std::string& name);

// The size and date tests a file must pass besides its type. Bounds are inclusive; a condition
// outside its list never passes.
bool SizeMatches(const SearchCriteria& criteria, uint64_t size);
bool DateMatches(const SearchCriteria& criteria, int64_t testedTime);

// Tests one directory entry (types: prepared from criteria.fileType); on a hit fills every field
// of hit that the entry gives and returns true, otherwise leaves hit untouched.
bool MatchEntry(const SearchCriteria& criteria, const WantedTypes& types, const std::string& name,
                const std::string& folder, uint64_t size, int64_t testedTime, const ZoneRule& zone, FoundFile& hit);
