// The found rows shared by the page's thread, which changes the selection and
// reads rows, and a worker, which appends and drops rows: run under ThreadSanitizer, every member
// must take the lock it needs, and the selection total must stay the sum of
// the chosen rows whatever the worker did meanwhile.
#include "engine/SearchResults.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace
{
const int kRounds = 2000;
const size_t kRowsPerAppend = 64;
const size_t kMaxRows = 2000;

SelectionTotal Recount(const SearchResults::Reading& reading)
{
    SelectionTotal total;
    for (const FoundFile& row : reading.Rows())
    {
        if (row.rowSelected)
        {
            total.files++;
            total.bytes += row.size;
        }
    }
    return total;
}
}

TEST(SearchResultsStress, SelectionChangesBesideAppendsAndDropsKeepTheTotalTrue)
{
    TextStore texts;
    const std::string* folder = texts.AddFolder("C:\\stress\\");
    std::vector<FoundFile> batch;
    for (size_t i = 0; i < kRowsPerAppend; i++)
    {
        FoundFile row = texts.AddRow(folder, "f" + std::to_string(i) + ".dat", "dat");
        row.size = i + 1;
        batch.push_back(row);
    }

    SearchResults results;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        std::mt19937 random(1);
        for (int round = 0; round < kRounds; round++)
        {
            results.Append(batch.data(), batch.size());
            // Drops some found places, some of them already gone.
            std::vector<uint32_t> dropped;
            const size_t count = results.RowCount();
            for (int i = 0; i < 16 && count; i++)
                dropped.push_back((uint32_t)(random() % (count + kRowsPerAppend)));
            results.DropFoundPlaces(dropped);
            if (results.RowCount() > kMaxRows)
                results.Clear();
        }
        done = true;
    });

    // The page's thread paints and collects the chosen rows; so does the deletion
    // worker's start: readers beside the selection's writer.
    std::atomic<bool> held{true};
    std::thread reader([&] {
        int checks = 0;
        while (held && (!done || checks == 0))
        {
            const DeletionJob job = results.ChosenFiles();
            for (size_t i = 1; i < job.files.size(); i++)
                held = held && job.files[i - 1].place < job.files[i].place;
            EXPECT_TRUE(held) << "chosen files out of found order after " << checks << " checks";
            SearchResults::Reading reading(results);
            const SelectionTotal counted = Recount(reading);
            held = held && reading.Selection() == counted;
            EXPECT_EQ(reading.Selection(), counted) << "after " << checks << " checks";
            checks++;
        }
    });

    std::mt19937 random(2);
    while (held && !done)
    {
        const size_t count = results.RowCount() + 1;
        results.SetSelected(random() % count, random() % 2 == 0);
        std::vector<size_t> range;
        for (size_t row = random() % count; range.size() < 8; row++)
            range.push_back(row);
        results.SetSelected(range, random() % 2 == 0);
    }
    reader.join();
    worker.join();
    SearchResults::Reading reading(results);
    EXPECT_EQ(reading.Selection(), Recount(reading));
}
