// Whether Windows keeps files' last-access times up to date on the volumes a
// search walks. Where it does not, a file's accessed date can be far older
// than its last use.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What decides it for one volume, as Windows answers.
struct VolumeAccessFacts
{
    // A network drive: what its server keeps cannot be known from here.
    bool remote = false;
    // As GetVolumeInformationW names it ("NTFS", "ReFS"…); empty when unknown.
    std::string fileSystem;
    // The system's NtfsDisableLastAccessUpdate and RefsDisableLastAccessUpdate, where set.
    std::optional<uint32_t> ntfsSetting;
    std::optional<uint32_t> refsSetting;
};

bool VolumeRecordsAccessTimes(const VolumeAccessFacts& volume);
// True when the volume of every location records them.
bool LocationsRecordAccessTimes(const std::vector<std::string>& locations);
