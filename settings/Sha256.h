#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// SHA-256 (FIPS 180-2). Feed the message with Update, then call Final once.
class Sha256
{
public:
    Sha256();

    void Update(const void* data, size_t size);
    std::array<uint8_t, 32> Final();

private:
    void ProcessBlock(const uint8_t* block);

    std::array<uint32_t, 8> state;
    std::array<uint8_t, 64> buffer;
    size_t bufferUsed = 0;
    uint64_t messageBytes = 0;
};

// The digest of `bytes` as 64 upper-case hexadecimal characters.
std::string Sha256Hex(std::string_view bytes);
