#include "fakeheartbeat.h"

#include "checksum.h"
#include "heartbeat.h"
#include "lhframe.h"
#include "texthelpers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

TEST(HeartbeatRecords, FieldsSitWhereTheDevicesPutThem)
{
    FakeSensorInfo info;
    const auto b104 = make_heartbeat104(info);
    ASSERT_EQ(b104.size(), 104u);
    // Read the bytes at their offsets, independent of the structs.
    EXPECT_EQ(rd_u32(&b104[4]), info.seconds);
    EXPECT_EQ(rd_u32(&b104[8]), info.nanoseconds);
    EXPECT_EQ(trim_version_string(&b104[12], 20), info.sn);
    EXPECT_EQ(trim_version_string(&b104[32], 16), info.model);
    EXPECT_EQ(rd_u32(&b104[48]), info.version);
    EXPECT_EQ(rd_u32(&b104[52]), info.id);
    EXPECT_EQ(heartbeat_address_text(&b104[56]), "127.0.0.2");
    EXPECT_EQ(heartbeat_address_text(&b104[60]), "255.255.255.0");
    EXPECT_EQ(heartbeat_address_text(&b104[64]), "127.0.0.1");
    EXPECT_EQ(rd_u16(&b104[68]), info.listen_port);
    EXPECT_EQ(heartbeat_address_text(&b104[70]), "127.0.0.1");
    EXPECT_EQ(rd_u16(&b104[74]), info.upload_port);
    EXPECT_EQ(rd_u32(&b104[100]), crc32_reflected(0, b104.data(), 100));

    Heartbeat104 h{};
    ASSERT_TRUE(heartbeat104_decode(b104.data(), b104.size(), &h));
    const uint16_t listen = h.listen_port;
    const uint16_t upload = h.upload_port;
    const uint32_t version = h.version;
    EXPECT_EQ(listen, 6001);
    EXPECT_EQ(upload, 6002);
    EXPECT_EQ(heartbeat_version_text(version), "2 5 1234");
    EXPECT_EQ(trim_version_string(h.model, sizeof(h.model)), "LDS-Raxo-E");

    info.model = "LDS-Vimo-E";
    const auto b112 = make_heartbeat112(info);
    ASSERT_EQ(b112.size(), 112u);
    EXPECT_EQ(rd_u32(&b112[8]), info.seconds);
    EXPECT_EQ(rd_u32(&b112[12]), info.nanoseconds);
    EXPECT_EQ(trim_version_string(&b112[16], 20), info.sn);
    EXPECT_EQ(trim_version_string(&b112[36], 16), "LDS-Vimo-E");
    EXPECT_EQ(rd_u32(&b112[52]), info.version);
    EXPECT_EQ(rd_u32(&b112[56]), info.id);
    EXPECT_EQ(heartbeat_address_text(&b112[60]), "127.0.0.2");
    EXPECT_EQ(heartbeat_address_text(&b112[72]), "127.0.0.1");
    EXPECT_EQ(rd_u16(&b112[76]), info.upload_port);
    EXPECT_EQ(rd_u16(&b112[78]), info.listen_port);
    EXPECT_EQ(rd_u16(&b112[82]), info.rpm2);
    EXPECT_EQ(rd_u16(&b112[84]), info.rpm1);
    EXPECT_EQ(rd_u16(&b112[88]), info.motor_temp);
    EXPECT_EQ(rd_u32(&b112[108]), crc32_words(b112.data(), 27));

    Heartbeat112 g{};
    ASSERT_TRUE(heartbeat112_decode(b112.data(), b112.size(), &g));
    const uint16_t rpm1 = g.rpm1, rpm2 = g.rpm2, temp = g.motor_temp;
    EXPECT_EQ(rpm1, 600);
    EXPECT_EQ(rpm2, 123);
    EXPECT_EQ(temp, 415);

    FakeBoxInfo box;
    const auto b91 = make_box_heartbeat(box);
    ASSERT_EQ(b91.size(), 91u);
    EXPECT_EQ(trim_version_string(&b91[8], 16), "127.0.0.2");
    EXPECT_EQ(trim_version_string(&b91[24], 16), "255.255.255.0");
    EXPECT_EQ(trim_version_string(&b91[40], 16), "127.0.0.1");
    EXPECT_EQ(trim_version_string(&b91[58], 16), "127.0.0.3");
    EXPECT_EQ(rd_u16(&b91[74]), 6001);
    EXPECT_EQ(b91[76], 2);
    EXPECT_EQ(rd_u16(&b91[77]), 0x0A5);
    BoxHeartbeat bh{};
    ASSERT_TRUE(box_heartbeat_decode(b91.data(), b91.size(), &bh));
    const uint16_t flags = bh.flags;
    EXPECT_EQ(flags, 0x0A5);
}

TEST(HeartbeatRecords, ClassifiedByLengthAndChecksum)
{
    const auto b104 = make_heartbeat104();
    const auto b112 = make_heartbeat112();
    auto flip = [](std::vector<uint8_t> v, size_t at) {
        v[at] ^= 0x01;
        return v;
    };
    // A 112-byte record carrying the reflected CRC instead of the word CRC.
    auto b112_reflected = b112;
    wr_u32(&b112_reflected[108], crc32_reflected(0, b112.data(), 108));

    struct Case {
        const char *name;
        std::vector<uint8_t> bytes;
        HeartbeatKind kind;
    };
    const std::vector<Case> cases = {
        {"104 good", b104, HeartbeatKind::Sensor104},
        {"104 one byte changed", flip(b104, 40), HeartbeatKind::BadCrc},
        {"104 crc changed", flip(b104, 103), HeartbeatKind::BadCrc},
        {"104 unused byte changed", flip(b104, 80), HeartbeatKind::BadCrc},
        {"112 good", b112, HeartbeatKind::Sensor112},
        {"112 one byte changed", flip(b112, 0), HeartbeatKind::BadCrc},
        {"112 with the reflected crc", b112_reflected, HeartbeatKind::BadCrc},
        {"91 of anything", std::vector<uint8_t>(91, 0xEE), HeartbeatKind::Box},
        {"truncated 104", std::vector<uint8_t>(b104.begin(), b104.end() - 1), HeartbeatKind::Other},
        {"truncated 112", std::vector<uint8_t>(b112.begin(), b112.end() - 1), HeartbeatKind::Other},
        {"90", std::vector<uint8_t>(90, 0), HeartbeatKind::Other},
        {"92", std::vector<uint8_t>(92, 0), HeartbeatKind::Other},
        {"100", std::vector<uint8_t>(100, 0), HeartbeatKind::Other},
        {"105", [&] { auto v = b104; v.push_back(0); return v; }(), HeartbeatKind::Other},
        {"empty", {}, HeartbeatKind::Other},
        {"4096", std::vector<uint8_t>(4096, 0), HeartbeatKind::Other},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        // Copy to a buffer of exactly that length so a read past it shows under ASan.
        std::unique_ptr<uint8_t[]> exact(new uint8_t[c.bytes.size() + 1]);
        if (!c.bytes.empty())
            std::memcpy(exact.get(), c.bytes.data(), c.bytes.size());
        EXPECT_EQ(heartbeat_classify(exact.get(), c.bytes.size()), c.kind);
        EXPECT_EQ(heartbeat104_decode(exact.get(), c.bytes.size(), nullptr),
                  c.kind == HeartbeatKind::Sensor104);
        EXPECT_EQ(heartbeat112_decode(exact.get(), c.bytes.size(), nullptr),
                  c.kind == HeartbeatKind::Sensor112);
        EXPECT_EQ(box_heartbeat_decode(exact.get(), c.bytes.size(), nullptr),
                  c.kind == HeartbeatKind::Box);
    }
    EXPECT_EQ(heartbeat_classify(nullptr, 104), HeartbeatKind::Other);
}

TEST(HeartbeatRecords, AddressAndVersionTexts)
{
    const uint8_t a[4] = {192, 168, 1, 200};
    EXPECT_EQ(heartbeat_address_text(a), "192.168.1.200");
    EXPECT_EQ(heartbeat_version_text(0xFFFFFFFFu), "63 63 1048575");
    EXPECT_EQ(heartbeat_version_text(0), "0 0 0");
}
