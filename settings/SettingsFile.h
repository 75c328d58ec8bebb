#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The members kept in settings.dat, in file order.
struct PersistedSettings
{
    int32_t windowLeft = 0;
    int32_t windowTop = 0;
    int32_t windowWidth = 0;
    int32_t windowHeight = 0;
    int32_t windowShowCmd = 0;
    int32_t splitterPos = 0;
    uint8_t startWithWindows = 0;
    uint8_t passwordProtected = 0;
    std::string passwordHash;

    bool operator==(const PersistedSettings&) const = default;
};

inline constexpr char kSettingsHeader[] = "Velmora settings.dat 1.0";
inline constexpr size_t kSettingsHeaderSize = 35;
inline constexpr size_t kMaxDigestLength = 64;
inline constexpr int32_t kMinSplitterPos = 140;

enum class SettingsDecode
{
    Ok,
    WrongHeader,
};

// The file image of `record`: header field, six 32-bit fields, two flag bytes, digest length, digest.
std::vector<uint8_t> EncodeSettings(const PersistedSettings& record);

// Reads a file image into `record`. Members whose bytes are missing keep their values.
// On WrongHeader (also a digest length that cannot be right) the record is left untouched.
SettingsDecode DecodeSettings(const uint8_t* data, size_t size, PersistedSettings& record);
