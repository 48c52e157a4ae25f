#include "firmwareimage.h"
#include "testsupport.h"

#include "checksum.h"
#include "firmware.h"
#include "lhframe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

struct ImageCase {
    const char *name;
    void (*spoil)(std::vector<uint8_t> &img);
    FwImageError expected;
};

const ImageCase kImageCases[] = {
    {"good", [](std::vector<uint8_t> &) {}, FwImageError::Ok},
    {"bad magic", [](std::vector<uint8_t> &img) { img[0] ^= 1; }, FwImageError::BadMagic},
    {"one byte short", [](std::vector<uint8_t> &img) { img.pop_back(); }, FwImageError::BadSize},
    {"one byte long", [](std::vector<uint8_t> &img) { img.push_back(0); }, FwImageError::BadSize},
    {"size not a multiple of 512",
     [](std::vector<uint8_t> &img) {
         wr_u32(&img[4], 1000);
         img.resize(FW_HEADER_SIZE + 1000);
     },
     FwImageError::BadSize},
    {"size near 2^32 on a small file",
     [](std::vector<uint8_t> &img) { wr_u32(&img[4], 0xFFFFFE00u); }, FwImageError::BadSize},
    {"payload byte changed", [](std::vector<uint8_t> &img) { img[FW_HEADER_SIZE + 700] ^= 0x40; },
     FwImageError::BadCrc},
    {"header CRC changed", [](std::vector<uint8_t> &img) { img[12] ^= 0x01; }, FwImageError::BadCrc},
    {"header only", [](std::vector<uint8_t> &img) { img.resize(FW_HEADER_SIZE); },
     FwImageError::BadSize},
    {"three bytes", [](std::vector<uint8_t> &img) { img.resize(3); }, FwImageError::BadMagic},
    {"empty", [](std::vector<uint8_t> &img) { img.clear(); }, FwImageError::BadMagic},
};

std::string write_temp(const std::string &name, const std::vector<uint8_t> &bytes)
{
    const std::string path = testsupport::temp_dir() + "/" + name;
    testsupport::write_file(path, bytes);
    return path;
}

} // namespace

TEST(FirmwareImage, ChecksInMemoryAndFromFile)
{
    int n = 0;
    for (const auto &c : kImageCases) {
        SCOPED_TRACE(c.name);
        auto img = make_firmware_image(1024);
        c.spoil(img);
        EXPECT_EQ(fw_check_image(img.data(), img.size()), c.expected);

        const std::string path = write_temp("image" + std::to_string(n++) + ".bin", img);
        FwImageError err = FwImageError::Unreadable;
        const auto loaded = fw_load_image(path, &err);
        EXPECT_EQ(err, c.expected);
        if (c.expected == FwImageError::Ok)
            EXPECT_EQ(loaded, img);
        else
            EXPECT_TRUE(loaded.empty());
    }
}

TEST(FirmwareImage, HeaderFieldsAndAnEmptyPayload)
{
    const auto img = make_firmware_image(2048, 7);
    FirmwareImageInfo info;
    ASSERT_EQ(fw_check_image(img.data(), img.size(), &info), FwImageError::Ok);
    EXPECT_EQ(info.magic, FW_MAGIC);
    EXPECT_EQ(info.payload_size, 2048u);
    EXPECT_EQ(info.crc, crc32_words(img.data() + FW_HEADER_SIZE, 512));

    const auto empty = make_firmware_image(0);
    EXPECT_EQ(fw_check_image(empty.data(), empty.size()), FwImageError::Ok);
    EXPECT_EQ(fw_check_image(nullptr, 100), FwImageError::BadMagic);
}

TEST(FirmwareImage, UnreadablePathsSayOpenError)
{
    const std::string missing = testsupport::temp_dir() + "/no-such-image.bin";
    const std::string folder = testsupport::make_temp_subdir("imgdir");
    for (const std::string &path : {missing, folder}) {
        SCOPED_TRACE(path);
        testing::internal::CaptureStdout();
        FwImageError err = FwImageError::Ok;
        EXPECT_TRUE(fw_load_image(path, &err).empty());
        std::fflush(stdout);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "open error\n");
        EXPECT_EQ(err, FwImageError::Unreadable);
    }
}

TEST(IapPayload, ControlAndChunkLayouts)
{
    const IapPayload erase = iap_control_payload(OP_FLASH_ERASE, 1024, 0xCAFEF00D);
    EXPECT_EQ(rd_u32(&erase[0]), 0xFE00EEEEu);
    EXPECT_EQ(rd_u32(&erase[4]), 0u);
    EXPECT_EQ(rd_u32(&erase[8]), 1024u);
    EXPECT_EQ(rd_u32(&erase[12]), 0xCAFEF00Du);
    for (size_t i = 16; i < IAP_PAYLOAD_SIZE; ++i)
        ASSERT_EQ(erase[i], 0) << i;

    const IapPayload end = iap_control_payload(OP_UPGRADE_END, IAP_END_MARK, 0);
    EXPECT_EQ(rd_u32(&end[0]), 0xFE00BBBBu);
    EXPECT_EQ(rd_u32(&end[8]), 0xABCD1234u);

    const auto img = make_firmware_image(1536, 3);
    const uint8_t *payload = img.data() + FW_HEADER_SIZE;
    const IapPayload chunk = iap_chunk_payload(payload, 1024);
    EXPECT_EQ(rd_u32(&chunk[0]), 1024u);
    EXPECT_EQ(rd_u32(&chunk[4]), crc32_words(payload + 1024, 128));
    EXPECT_TRUE(std::equal(chunk.begin() + 8, chunk.end(), payload + 1024));
}

TEST(IapReply, ParsesOnlyWhatArrived)
{
    auto frame = [](uint16_t seq, std::vector<uint8_t> payload) {
        return lh_make_crc_frame(IAP_CMD, seq, payload.data(), payload.size());
    };
    const std::string text = "flash busy";
    std::vector<uint8_t> body(8 + text.size() + 1, 0);
    wr_u32(&body[0], 0x200);
    wr_u32(&body[4], 3);
    std::memcpy(&body[8], text.data(), text.size());

    IapReply r;
    auto good = frame(0x1234, body);
    ASSERT_TRUE(iap_parse_reply(good.data(), good.size(), &r));
    EXPECT_EQ(r.seq, 0x1234);
    EXPECT_EQ(r.word, 0x200u);
    EXPECT_EQ(r.status, 3u);
    EXPECT_EQ(r.text, "flash busy");

    // A bare reply without any text.
    auto bare = frame(1, std::vector<uint8_t>(body.begin(), body.begin() + 8));
    ASSERT_TRUE(iap_parse_reply(bare.data(), bare.size(), &r));
    EXPECT_EQ(r.text, "");

    // Text without a terminator is cut at 127 characters; the bytes beyond 136 are not kept.
    std::vector<uint8_t> long_body(8 + 400, 'x');
    std::copy(body.begin(), body.begin() + 8, long_body.begin());
    auto long_reply = frame(2, long_body);
    ASSERT_TRUE(iap_parse_reply(long_reply.data(), long_reply.size(), &r));
    EXPECT_EQ(r.text, std::string(127, 'x'));

    struct Bad {
        const char *name;
        std::vector<uint8_t> bytes;
    };
    std::vector<Bad> bad = {
        {"empty", {}},
        {"header only", std::vector<uint8_t>(good.begin(), good.begin() + 8)},
        {"one word", std::vector<uint8_t>(good.begin(), good.begin() + 12)},
        {"15 bytes", std::vector<uint8_t>(good.begin(), good.begin() + 15)},
        {"not LH", [&] { auto b = good; b[0] = 'X'; return b; }()},
        {"length field 4", [&] { auto b = good; wr_u16(&b[6], 4); return b; }()},
    };
    for (const auto &b : bad) {
        SCOPED_TRACE(b.name);
        EXPECT_FALSE(iap_parse_reply(b.bytes.data(), b.bytes.size(), &r));
    }
    // Exactly the two words is enough.
    std::vector<uint8_t> sixteen(good.begin(), good.begin() + 16);
    EXPECT_TRUE(iap_parse_reply(sixteen.data(), sixteen.size(), &r));
}
