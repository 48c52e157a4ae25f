#include "checksum.h"
#include "lhframe.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

namespace {

// Literal bit-by-bit forms of the two CRCs, as the devices define them.
uint32_t crc_words_bitwise(const uint8_t *p, size_t words)
{
    uint32_t crc = 0xFFFFFFFF;
    for (size_t i = 0; i < words; ++i) {
        const uint32_t w = rd_u32(p + 4 * i);
        for (int b = 31; b >= 0; --b) {
            const bool top = ((crc >> 31) ^ (w >> b)) & 1;
            crc = (crc << 1) ^ (top ? 0x04C11DB7u : 0);
        }
    }
    return crc;
}

uint32_t crc_reflected_bitwise(uint32_t crc, const uint8_t *p, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        uint32_t c = (crc ^ p[i]) & 0xFF;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        crc = c ^ (crc >> 8);
    }
    return crc;
}

std::vector<uint8_t> bytes_of(const std::string &s) { return {s.begin(), s.end()}; }

} // namespace

TEST(Checksums, KnownVectors)
{
    EXPECT_EQ(crc32_words("abcd", 1), 0xA62F1C36u);
    EXPECT_EQ(crc32_words(nullptr, 0), 0xFFFFFFFFu);
    EXPECT_EQ(crc32_reflected(0, "abc", 3), 0xCA6598D0u);
    EXPECT_EQ(crc32_reflected(0, nullptr, 0), 0u);
    // bytes taken as signed: 0x80 + 0x7F + 0x01 = -128 + 127 + 1 = 0
    const uint8_t s[] = {0x80, 0x7F, 0x01, 0xFF};
    EXPECT_EQ(sum8(s, 3) & 0xFF, 0);
    EXPECT_EQ(sum8(s, 4) & 0xFF, 0xFF);
}

TEST(Checksums, TableFormsMatchTheBitwiseDefinitions)
{
    std::mt19937 rng(7);
    std::vector<uint8_t> buf(4099);
    for (auto &b : buf)
        b = uint8_t(rng());
    for (size_t n : {0u, 1u, 2u, 3u, 4u, 5u, 7u, 64u, 1023u, 4099u}) {
        EXPECT_EQ(crc32_words(buf.data(), n / 4), crc_words_bitwise(buf.data(), n / 4)) << n;
        EXPECT_EQ(crc32_reflected(0, buf.data(), n), crc_reflected_bitwise(0, buf.data(), n)) << n;
    }
    // continuing a reflected CRC over two pieces equals one pass
    EXPECT_EQ(crc32_reflected(crc32_reflected(0, buf.data(), 1001), buf.data() + 1001, 3098),
              crc32_reflected(0, buf.data(), 4099));
}

TEST(Frames, CrcFrameLayout)
{
    struct Case {
        size_t payload;
        size_t length; // datagram length, 0 = refused
    } cases[] = {{0, 12}, {1, 16}, {4, 16}, {5, 20}, {2036, 2048}, {2033, 2048}, {2037, 0}};
    for (const auto &c : cases) {
        std::vector<uint8_t> payload(c.payload, 0xAB);
        const auto f = lh_make_crc_frame(0x4753, 0x1234, payload.data(), payload.size());
        ASSERT_EQ(f.size(), c.length) << c.payload;
        if (f.empty())
            continue;
        const size_t L = c.length - 12;
        EXPECT_EQ(rd_u16(&f[0]), 0x484C);
        EXPECT_EQ(f[0], 'L');
        EXPECT_EQ(f[1], 'H');
        EXPECT_EQ(rd_u16(&f[2]), 0x4753);
        EXPECT_EQ(rd_u16(&f[4]), 0x1234);
        EXPECT_EQ(rd_u16(&f[6]), L);
        for (size_t i = c.payload; i < L; ++i)
            EXPECT_EQ(f[8 + i], 0) << "padding byte " << i;
        EXPECT_EQ(rd_u32(&f[8 + L]), crc32_words(f.data(), L / 4 + 2));
    }
}

TEST(Frames, SumFrameLayout)
{
    const auto empty = lh_make_sum_frame(0, 7, 0x0001, nullptr, 0);
    ASSERT_EQ(empty.size(), 13u);
    EXPECT_EQ(empty[12], uint8_t(sum8(empty.data(), 12)));

    const auto p = bytes_of("hello");
    const auto f = lh_make_sum_frame(0, 0x0102, 0x0010, p.data(), p.size());
    ASSERT_EQ(f.size(), 18u);
    EXPECT_EQ(rd_u16(&f[2]), 0);
    EXPECT_EQ(rd_u16(&f[4]), 0x0102);
    EXPECT_EQ(rd_u16(&f[6]), 0x0010);
    EXPECT_EQ(rd_u32(&f[8]), 5u);
    EXPECT_EQ(std::memcmp(&f[12], "hello", 5), 0);
    EXPECT_EQ(f[17], uint8_t(sum8(f.data(), 17)));

    std::vector<uint8_t> big(2036);
    EXPECT_TRUE(lh_make_sum_frame(0, 1, 1, big.data(), 2035).size() == 2048);
    EXPECT_TRUE(lh_make_sum_frame(0, 1, 1, big.data(), 2036).empty());
}

TEST(Frames, ParseSumFrameResults)
{
    const auto p = bytes_of("abc");
    const auto good = lh_make_sum_frame(0, 9, 0x8003, p.data(), p.size());

    auto claims_one = lh_make_sum_frame(0, 1, 1, nullptr, 0); // 13 bytes ...
    wr_u32(&claims_one[8], 1);                                // ... claiming 1 payload byte
    auto not_h = good;
    not_h[1] = 'X';
    auto huge = good;
    wr_u32(&huge[8], 0xFFFFFFFFu); // must not wrap into "long enough"

    struct Case {
        const char *name;
        std::vector<uint8_t> bytes;
        size_t n;
        int result;
    } cases[] = {
        {"12 bytes", good, 12, PROTOCOL_RET_TOO_SHORT},
        {"not H", not_h, not_h.size(), PROTOCOL_RET_NOT_LH},
        {"claims more", claims_one, claims_one.size(), PROTOCOL_RET_TOO_SHORT},
        {"huge length", huge, huge.size(), PROTOCOL_RET_TOO_SHORT},
        {"good", good, good.size(), PROTOCOL_RET_OK},
    };
    for (const auto &c : cases) {
        SumFrameData out;
        EXPECT_EQ(lh_parse_sum_frame(c.bytes.data(), c.n, &out), c.result) << c.name;
    }

    SumFrameData out;
    ASSERT_EQ(lh_parse_sum_frame(good.data(), good.size(), &out), PROTOCOL_RET_OK);
    EXPECT_EQ(out.type, 3u) << "bit 15 is cleared";
    EXPECT_EQ(out.len, 3);
    EXPECT_EQ(out.data, p);
}

TEST(Frames, CommandsAllowedToLeave)
{
    // Refused only when byte 0 is not "L" and byte 1 is not "H".
    const std::pair<std::string, bool> cases[] = {
        {"LHxx", true}, {"LXZ", true}, {"XHZ", true}, {"L", true},
        {"XYZ", false}, {"H", false},  {"xL", false}, {"HL", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(lh_command_allowed(c.first.data(), c.first.size()), c.second) << c.first;
    EXPECT_FALSE(lh_command_allowed("LH", 0)) << "no bytes";
    EXPECT_FALSE(lh_command_allowed(nullptr, 4));
}

TEST(Frames, WrongSumIsReportedButParsed)
{
    const auto p = bytes_of("xyz");
    auto f = lh_make_sum_frame(0, 1, 2, p.data(), p.size());
    f.back() ^= 0x5A;
    testing::internal::CaptureStdout();
    SumFrameData out;
    const int r = lh_parse_sum_frame(f.data(), f.size(), &out);
    fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "check err\r\n");
    EXPECT_EQ(r, PROTOCOL_RET_OK);
    EXPECT_EQ(out.data, p);
}
