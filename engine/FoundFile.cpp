#include "engine/FoundFile.h"

#include <cstring>

const std::string FoundFile::noFolder;

std::string FoundFile::Path() const
{
    std::string path = *folder;
    path += Name();
    return path;
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
