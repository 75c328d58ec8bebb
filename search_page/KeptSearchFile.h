// The file the last search is kept in, beside settings.dat: read at the start,
// written whole (never half) when a search starts and when the program ends. A
// file that cannot be read is moved aside as NAME.unreadable before the first
// write over it, so nothing the user had is lost.
#pragma once

#include "search_page/KeptSearch.h"

#include <string>

class KeptSearchFile
{
public:
    explicit KeptSearchFile(std::string path = {}) : path(std::move(path)) {}

    // False when there is no kept search to show: no file, or one that is
    // damaged, of an unknown format or unreadable.
    bool Load(KeptSearch& search);
    // Quietly nothing when it cannot: a kept search is a convenience, and the
    // old file stays as it was.
    void Save(const KeptSearch& search);

private:
    std::string path;
    bool keepUnreadable = false;
};
