#include "settings/Sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace
{

std::string Pattern(size_t length)
{
    std::string bytes;
    for (size_t i = 0; i < length; i++)
        bytes += static_cast<char>((i * 31 + 7) & 0xFF);
    return bytes;
}

TEST(Sha256, StandardVectors)
{
    EXPECT_EQ(Sha256Hex(""), "E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855");
    EXPECT_EQ(Sha256Hex("abc"), "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD");
    EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248D6A61D20638B8E5C026930C3E6039A33CE45964FF2167F6ECEDD419DB06C1");
    EXPECT_EQ(Sha256Hex(std::string(1000000, 'a')),
              "CDC76E5C9914FB9281A1C7E284D73E67F1809A48A497200E046D39CCC7112CD0");
}

// Every length from 0 to 130 covers each padding case: the length field fitting in the last
// block or spilling into another one. The expected value is the digest of the 131 concatenated
// digests, computed with a reference implementation.
TEST(Sha256, EveryLengthAcrossBlockEdges)
{
    std::string pattern = Pattern(130);
    std::string digests;
    for (size_t n = 0; n <= pattern.size(); n++)
        digests += Sha256Hex(std::string_view(pattern).substr(0, n));
    EXPECT_EQ(Sha256Hex(digests), "D905D9BEC1B2165AFE8B4D721751DBBE5CE45DDEA96E29375507B47080CF3FD1");
}

TEST(Sha256, ChunkedUpdatesMatchOneUpdate)
{
    const char* expected = "5097E7D587352F5097062AE679F37BDA5802D9F875ABA14C8CB4D1A188ADA179";
    std::string pattern = Pattern(1000);
    ASSERT_EQ(Sha256Hex(pattern), expected);

    const size_t steps[] = {1, 3, 7, 55, 63, 64, 65, 129};
    for (size_t step : steps)
    {
        Sha256 sha;
        size_t chunk = 0;
        for (size_t pos = 0; pos < pattern.size(); pos += chunk)
        {
            // Vary the chunk size so chunks straddle block edges in every way.
            chunk = std::min(pattern.size() - pos, step + pos % 5);
            sha.Update(pattern.data() + pos, chunk);
        }
        std::array<uint8_t, 32> digest = sha.Final();
        char hex[65] = {};
        for (size_t i = 0; i < digest.size(); i++)
            snprintf(hex + 2 * i, 3, "%02X", digest[i]);
        EXPECT_EQ(std::string(hex), expected) << "chunk size " << step;
    }
}

} // namespace
