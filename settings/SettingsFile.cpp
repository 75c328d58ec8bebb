#include "settings/SettingsFile.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace
{

void PutInt32(std::vector<uint8_t>& out, int32_t value)
{
    uint32_t bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; i++)
        out.push_back(static_cast<uint8_t>(bits >> (8 * i)));
}

// Reads fields in order, like a file stream: once a field is cut short, nothing more is read.
class FieldReader
{
public:
    FieldReader(const uint8_t* data, size_t size, size_t pos) : data(data), size(size), pos(pos) {}

    size_t Remaining() const { return size - pos; }

    bool ReadByte(uint8_t& value)
    {
        if (Remaining() < 1)
            return false;
        value = data[pos++];
        return true;
    }

    bool ReadInt32(int32_t& value)
    {
        if (Remaining() < 4)
        {
            pos = size;
            return false;
        }
        uint32_t bits = 0;
        for (size_t i = 0; i < 4; i++)
            bits |= uint32_t{data[pos + i]} << (8 * i);
        pos += 4;
        value = static_cast<int32_t>(bits);
        return true;
    }

    const uint8_t* Take(size_t count)
    {
        const uint8_t* bytes = data + pos;
        pos += count;
        return bytes;
    }

private:
    const uint8_t* data;
    size_t size;
    size_t pos;
};

} // namespace

std::vector<uint8_t> EncodeSettings(const PersistedSettings& record)
{
    std::vector<uint8_t> out(kSettingsHeaderSize, 0);
    memcpy(out.data(), kSettingsHeader, sizeof(kSettingsHeader) - 1);
    PutInt32(out, record.windowLeft);
    PutInt32(out, record.windowTop);
    PutInt32(out, record.windowWidth);
    PutInt32(out, record.windowHeight);
    PutInt32(out, record.windowShowCmd);
    PutInt32(out, record.splitterPos);
    out.push_back(record.startWithWindows);
    out.push_back(record.passwordProtected);
    PutInt32(out, static_cast<int32_t>(record.passwordHash.size()));
    out.insert(out.end(), record.passwordHash.begin(), record.passwordHash.end());
    return out;
}

SettingsDecode DecodeSettings(const uint8_t* data, size_t size, PersistedSettings& record)
{
    // The header is compared as text up to and including its terminating zero.
    if (size < sizeof(kSettingsHeader) || memcmp(data, kSettingsHeader, sizeof(kSettingsHeader)) != 0)
        return SettingsDecode::WrongHeader;

    // Work on a copy so that a rejected file changes nothing.
    PersistedSettings loaded = record;
    FieldReader reader(data, size, std::min(size, kSettingsHeaderSize));
    reader.ReadInt32(loaded.windowLeft);
    reader.ReadInt32(loaded.windowTop);
    reader.ReadInt32(loaded.windowWidth);
    reader.ReadInt32(loaded.windowHeight);
    reader.ReadInt32(loaded.windowShowCmd);
    if (reader.ReadInt32(loaded.splitterPos) && loaded.splitterPos < kMinSplitterPos)
        loaded.splitterPos = kMinSplitterPos;
    reader.ReadByte(loaded.startWithWindows);
    reader.ReadByte(loaded.passwordProtected);

    int32_t digestLength = 0;
    if (reader.ReadInt32(digestLength))
    {
        // Only 0 or 64 is ever written; anything that cannot be a digest means the file is damaged.
        if (digestLength < 0 || static_cast<size_t>(digestLength) > kMaxDigestLength ||
            static_cast<size_t>(digestLength) > reader.Remaining())
            return SettingsDecode::WrongHeader;
        const uint8_t* digest = reader.Take(static_cast<size_t>(digestLength));
        loaded.passwordHash.assign(digest, std::find(digest, digest + digestLength, 0));
    }

    record = std::move(loaded);
    return SettingsDecode::Ok;
}
