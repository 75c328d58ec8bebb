// Times, natively, what the search adds to a listing for each file: the type
// test and the row, for 1000000 synthetic entries in 1000 folders with names
// like the bench tree's, with "All files". As in the search, each folder's
// hits go into a segment of their own, which is then read back into the
// results (which keep the first 100000) and released.
//   velmora_row_bench
#include "engine/FoundFile.h"
#include "engine/Matching.h"
#include "engine/WantedTypes.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace
{
const int kFolders = 1000;
const int kFilesPerFolder = 1000;
const int kRounds = 5;
// The search keeps at most this many rows.
const size_t kKept = 100000;

struct Entry
{
    std::string name;
    uint64_t size;
    int64_t time;
};
}

int main()
{
    std::vector<Entry> entries;
    const char* types[] = {"doc", "txt", "xls", "bin"};
    for (int n = 0; n < kFilesPerFolder; n++)
    {
        char name[32];
        snprintf(name, sizeof(name), "file%03d.%s", n, types[n % 4]);
        entries.push_back({name, (uint64_t)(n * 104729 % 65536), 1500000000 + n * 3600});
    }
    std::vector<std::string> folders;
    for (int folder = 0; folder < kFolders; folder++)
        folders.push_back("Z:\\dev\\shm\\velmora-bench\\search\\folder" + std::to_string(folder) + "\\");

    const SearchCriteria criteria;
    const WantedTypes wanted(criteria.fileType);
    std::vector<double> perEntry;
    size_t rows = 0;
    for (int round = 0; round < kRounds; round++)
    {
        TextStore store;
        std::vector<FoundFile> results;
        size_t made = 0;
        std::string type;
        auto start = std::chrono::steady_clock::now();
        for (const std::string& path : folders)
        {
            std::vector<FoundFile> found;
            const std::string* folder = nullptr;
            for (const Entry& entry : entries)
            {
                if (!MatchEntry(criteria, wanted, entry.name, entry.size, entry.time, type))
                    continue;
                if (!folder)
                    folder = store.AddFolder(path);
                FoundFile hit = store.AddRow(folder, entry.name, type);
                hit.size = entry.size;
                hit.testedTime = entry.time;
                found.push_back(hit);
            }
            made += found.size();
            const size_t taken = std::min(found.size(), kKept - std::min(kKept, results.size()));
            results.insert(results.end(), found.begin(), found.begin() + taken);
        }
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        perEntry.push_back(seconds * 1e9 / (kFolders * kFilesPerFolder));
        rows = made;
    }
    std::sort(perEntry.begin(), perEntry.end());
    printf("rows     %d entries through matching and row building, natively, median of %d: %.0f ns per entry "
           "(min %.0f, max %.0f; target <= 100), %zu rows, %zu bytes per row object\n",
           kFolders * kFilesPerFolder, kRounds, perEntry[kRounds / 2], perEntry.front(), perEntry.back(), rows,
           sizeof(FoundFile));
    return 0;
}
