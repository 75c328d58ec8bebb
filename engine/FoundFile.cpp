#include "engine/FoundFile.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <numeric>

const std::string FoundFile::noFolder;

std::string FoundFile::Path() const
{
    std::string path = *folder;
    path += Name();
    return path;
}

ChosenFile ChosenFileOf(const FoundFile& row, size_t place)
{
    return {row.Path(), row.size, row.testedTime, row.seen, row.kind, (uint32_t)place};
}

size_t FoundPlace(const std::vector<uint32_t>& places, size_t row)
{
    // Rows added after the last deletion (only a new search adds rows, and it
    // clears the places first) would stand past the places, at their own index.
    return row < places.size() ? places[row] : row;
}

size_t RowAtFoundPlace(const std::vector<uint32_t>& places, size_t rowCount, size_t place)
{
    if (places.empty())
        return place < rowCount ? place : SIZE_MAX;
    // The rows that are left are still in found order, so their places ascend.
    auto found = std::lower_bound(places.begin(), places.end(), (uint32_t)place);
    return found != places.end() && *found == place ? (size_t)(found - places.begin()) : SIZE_MAX;
}

void DropRows(std::vector<FoundFile>& rows, std::vector<uint32_t>& places, const std::vector<char>& dropped)
{
    if (std::find(dropped.begin(), dropped.end(), 1) == dropped.end())
        return;
    if (places.empty())
    {
        places.resize(rows.size());
        std::iota(places.begin(), places.end(), 0u);
    }
    size_t kept = 0;
    for (size_t i = 0; i < rows.size(); i++)
    {
        if (i < dropped.size() && dropped[i])
            continue;
        if (kept != i)
        {
            rows[kept] = std::move(rows[i]);
            places[kept] = places[i];
        }
        kept++;
    }
    rows.resize(kept);
    places.resize(kept);
}

const std::string* TextStore::AddFolder(std::string path)
{
    folders.push_back(std::make_unique<const std::string>(std::move(path)));
    return folders.back().get();
}

FoundFile TextStore::AddRow(const std::string* folder, std::string_view name, std::string_view type)
{
    FoundFile row;
    row.folder = folder;
    row.nameLength = (uint16_t)name.size();
    row.typeLength = (uint16_t)type.size();
    row.typeInName = type.size() <= name.size() && name.substr(name.size() - type.size()) == type;
    size_t size = name.size() + (row.typeInName ? 0 : type.size());
    char* stored = Reserve(size);
    memcpy(stored, name.data(), name.size());
    if (!row.typeInName)
        memcpy(stored + name.size(), type.data(), type.size());
    row.text = stored;
    return row;
}

char* TextStore::Reserve(size_t size)
{
    // A long text gets a block of its own, so the current block's rest stays usable.
    if (size > kBlockSize / 4)
    {
        blocks.push_back(std::unique_ptr<char[]>(new char[size]));
        return blocks.back().get();
    }
    if (size > left)
    {
        blocks.push_back(std::unique_ptr<char[]>(new char[kBlockSize]));
        next = blocks.back().get();
        left = kBlockSize;
    }
    char* stored = next;
    next += size;
    left -= size;
    return stored;
}

void TextStore::Take(TextStore& other)
{
    for (auto& folder : other.folders)
        folders.push_back(std::move(folder));
    for (auto& block : other.blocks)
        blocks.push_back(std::move(block));
    other.Clear();
}

void TextStore::Clear()
{
    folders.clear();
    blocks.clear();
    next = nullptr;
    left = 0;
}
