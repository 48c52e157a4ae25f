// The Fenk-U reassembly through its entry points, on datagrams built by the fake sensor's
// helpers: the "LP" sub-package reader, measurements combined from frames of every data type,
// the data-type mask, corrupted and reordered sub-packages, frames larger than the stores,
// replies, and a table of malformed datagrams kept as regression cases.

#include "checksum.h"
#include "fakefenku.h"
#include "fenkutesthelpers.h"
#include "lhframe.h"
#include "lpsubpackage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

namespace {

using Datagrams = std::vector<std::vector<uint8_t>>;

// A receiver whose entry points the test calls on its own thread: posts arrive at once.
struct Direct {
    Direct() { collect(&rx, &context, &posted); }
    void feed(const std::vector<uint8_t> &d) { ::feed(rx, d); }
    void feed(const Datagrams &ds) { feed_all(rx, ds); }

    RecvDataProc rx;
    QObject context;
    FenkPosted posted;
};

std::vector<uint8_t> lp_raw(uint32_t total, uint32_t offset, uint32_t len, size_t bytes)
{
    std::vector<uint8_t> b(bytes, 0);
    b[0] = 'L';
    b[1] = 'P';
    if (bytes >= 16) {
        wr_u32(&b[4], total);
        wr_u32(&b[8], offset);
        wr_u32(&b[12], len);
    }
    return b;
}

std::vector<std::array<float, 3>> some_points(size_t n)
{
    std::vector<std::array<float, 3>> p(n);
    for (size_t i = 0; i < n; ++i)
        p[i] = {float(i) * 10.0f + 1.5f, -float(i) * 3.0f, 1000.0f + float(i)};
    return p;
}

Datagrams concat(Datagrams a, const Datagrams &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

TEST(LpSubPackageReader, FitsOnlyWhenPrefixPayloadAndTrailerArePresent)
{
    const std::vector<uint8_t> good = make_lp_subpackage(100, 44, {1, 2, 3, 4, 5});
    LpSubPackage sp;
    ASSERT_TRUE(lp_parse_subpackage(good.data(), good.size(), &sp));
    EXPECT_EQ(sp.total, 100u);
    EXPECT_EQ(sp.offset, 44u);
    EXPECT_EQ(sp.length, 5u);
    EXPECT_EQ(sp.size, 25u);
    EXPECT_EQ(sp.data, good.data() + 16);
    EXPECT_TRUE(lp_subpackage_crc_ok(good.data(), sp));
    EXPECT_FALSE(lp_parse_subpackage(good.data(), good.size() - 1, &sp)) << "trailer cut short";

    const struct {
        const char *what;
        std::vector<uint8_t> bytes;
    } refused[] = {
        {"no prefix", lp_raw(0, 0, 0, 15)},
        {"prefix only", lp_raw(0, 0, 0, 16)},
        {"length 0xFFFFFFFF", lp_raw(0, 0, 0xFFFFFFFFu, 64)},
        {"length + 20 wraps to 0", lp_raw(0, 0, 0xFFFFFFECu, 64)},
        {"length + 20 wraps to 4", lp_raw(0, 0, 0xFFFFFFF0u, 64)},
    };
    for (const auto &c : refused)
        EXPECT_FALSE(lp_parse_subpackage(c.bytes.data(), c.bytes.size(), &sp)) << c.what;
    EXPECT_FALSE(lp_parse_subpackage(nullptr, 100, &sp));

    std::vector<uint8_t> bad = good;
    bad[17] ^= 0x40;
    ASSERT_TRUE(lp_parse_subpackage(bad.data(), bad.size(), &sp));
    EXPECT_FALSE(lp_subpackage_crc_ok(bad.data(), sp));
}

TEST(LpSubPackageReader, TagsNeedTwelveBytesBehindThem)
{
    size_t at = 99;
    std::vector<uint8_t> b(12, 0);
    b[0] = 'L';
    b[1] = 'P';
    EXPECT_EQ(lp_find_tag(b.data(), b.size(), &at), LpTag::Lp);
    EXPECT_EQ(at, 0u);
    EXPECT_EQ(lp_find_tag(b.data(), 11, &at), LpTag::None);

    std::vector<uint8_t> late(30, 'x');
    late[18] = 'L';
    late[19] = 'H';
    EXPECT_EQ(lp_find_tag(late.data(), late.size(), &at), LpTag::Lh);
    EXPECT_EQ(at, 18u);
    late[18] = 'x';
    late[19] = 'L';
    late[20] = 'P'; // 11 bytes from it: too close to the end
    EXPECT_EQ(lp_find_tag(late.data(), late.size(), &at), LpTag::None);
    EXPECT_EQ(lp_find_tag(nullptr, 50, &at), LpTag::None);
}

TEST(LpSubPackageReader, FrameHeaderFields)
{
    const std::vector<uint8_t> h = fenku_frame_header(3, 40, 30, 0xCAFEF00D, 77);
    LpFrameHeader fh;
    ASSERT_TRUE(lp_parse_frame_header(h.data(), h.size(), &fh));
    EXPECT_EQ(fh.data_type, 3);
    EXPECT_EQ(fh.width, 40);
    EXPECT_EQ(fh.height, 30);
    EXPECT_EQ(fh.frame_crc, 0xCAFEF00Du);
    EXPECT_EQ(fh.frame_index, 77u);

    std::vector<uint8_t> longer = h;
    longer.resize(100, 0xEE);
    ASSERT_TRUE(lp_parse_frame_header(longer.data(), longer.size(), &fh));
    EXPECT_EQ(fh.bytes[43], 0);

    EXPECT_FALSE(lp_parse_frame_header(h.data(), 27, &fh)) << "CRC field cut";
    EXPECT_EQ(fh.data_type, 3);
    EXPECT_EQ(fh.frame_crc, 0x00FEF00Du) << "the missing byte reads as zero";
    EXPECT_EQ(fh.bytes[27], 0);
}

TEST(FenkFrames, HeaderAndDataSubPackageMakeOneMeasurement)
{
    Direct d;
    const auto points = some_points(3);
    const Datagrams frame1 = fenku_frame(1, 3, 1, lp_xyz_content(points));
    ASSERT_EQ(frame1.size(), 2u) << "one header and one data sub-package";
    EXPECT_EQ(d.rx.ParsePacket(frame1[0].data(), frame1[0].size()), RecvDataProc::PARSE_ACCEPTED);
    EXPECT_EQ(d.rx.ParsePacket(frame1[1].data(), frame1[1].size()), 1);

    d.feed(frame1);
    ASSERT_EQ(d.posted.frames.size(), 1u);
    EXPECT_EQ(d.posted.frameTypes[0], LIDAR_FENK_U);
    const std::vector<UserPointData> f = d.posted.frames[0];
    ASSERT_EQ(f.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        const float x = f[i].x, y = f[i].y, z = f[i].z, dist = f[i].distance;
        const int in = f[i].intensity, depth = f[i].depth, deep = f[i].deep_field, sel = f[i].selected;
        EXPECT_FLOAT_EQ(x, points[i][0] / 1000.0f);
        EXPECT_FLOAT_EQ(y, points[i][1] / 1000.0f);
        EXPECT_FLOAT_EQ(z, points[i][2] / 1000.0f);
        EXPECT_EQ(in, 0);
        EXPECT_FLOAT_EQ(dist, 0.0f);
        EXPECT_EQ(depth, 0);
        EXPECT_EQ(deep, 0);
        EXPECT_EQ(sel, 0);
    }
    EXPECT_EQ(d.posted.count(MSG_RUN_STATE, "lidar data reception is ok"), 1);

    // Each plane frame posts the newest data of every type: confidence as the whole square
    // root, distance as sent, depth and deep field as they are.
    d.feed(fenku_frame(3, 3, 1, lp_u16_content({10000, 2, 65535})));
    d.feed(fenku_frame(2, 3, 1, lp_u16_content({7, 65535, 1})));
    d.feed(fenku_frame(4, 1, 3, lp_u16_content({11, 12, 13})));
    d.feed(fenku_frame(5, 3, 1, lp_u16_content({21, 22, 23})));
    ASSERT_EQ(d.posted.frames.size(), 5u);
    const std::vector<UserPointData> m = d.posted.frames[4];
    ASSERT_EQ(m.size(), 3u);
    const int in0 = m[0].intensity, in1 = m[1].intensity, in2 = m[2].intensity;
    EXPECT_EQ(in0, 100);
    EXPECT_EQ(in1, 1);
    EXPECT_EQ(in2, 255);
    const float d0 = m[0].distance, d1 = m[1].distance;
    EXPECT_FLOAT_EQ(d0, 7.0f);
    EXPECT_FLOAT_EQ(d1, 65535.0f);
    const int dep2 = m[2].depth, deep1 = m[1].deep_field;
    EXPECT_EQ(dep2, 13);
    EXPECT_EQ(deep1, 22);
    const float x2 = m[2].x;
    EXPECT_FLOAT_EQ(x2, points[2][0] / 1000.0f) << "points from the last type-1 frame";
    EXPECT_EQ(d.posted.count(MSG_RUN_STATE, "lidar data reception is ok"), 1);
    EXPECT_EQ(d.posted.count(MSG_CMD_INFO), 0);

    // A frame cut into many sub-packages completes the same way.
    const auto many = some_points(100);
    const Datagrams cut = fenku_frame(1, 100, 1, lp_xyz_content(many), 120);
    ASSERT_EQ(cut.size(), 11u);
    d.feed(cut);
    ASSERT_EQ(d.posted.frames.size(), 6u);
    ASSERT_EQ(d.posted.frames[5].size(), 100u);
    const float z99 = d.posted.frames[5][99].z;
    EXPECT_FLOAT_EQ(z99, many[99][2] / 1000.0f);
}

TEST(FenkFrames, MaskChoosesTheTypeThatCompletesAMeasurement)
{
    Direct d;
    EXPECT_EQ(d.rx.wantedDataType(), 0);
    d.rx.SetDataType(0b111110);
    EXPECT_EQ(d.rx.wantedDataType(), 5);
    EXPECT_EQ(d.rx.dataTypeMask(), 0b111110);

    const auto points = some_points(2);
    const Datagrams measurement = concat(
        concat(concat(fenku_frame(1, 2, 1, lp_xyz_content(points)), fenku_frame(2, 2, 1, lp_u16_content({5, 6}))),
               concat(fenku_frame(3, 2, 1, lp_u16_content({9, 16})), fenku_frame(4, 2, 1, lp_u16_content({1, 2})))),
        fenku_frame(5, 2, 1, lp_u16_content({3, 4})));
    d.feed(measurement);
    ASSERT_EQ(d.posted.frames.size(), 1u) << "only the type-5 frame posts";
    const std::vector<UserPointData> f = d.posted.frames[0];
    ASSERT_EQ(f.size(), 2u);
    const float x1 = f[1].x;
    const int in1 = f[1].intensity, deep0 = f[0].deep_field;
    EXPECT_FLOAT_EQ(x1, points[1][0] / 1000.0f);
    EXPECT_EQ(in1, 4);
    EXPECT_EQ(deep0, 3);

    // Masks without bits 0 to 5 keep the wanted type; the mask itself is kept.
    d.rx.SetDataType(0);
    EXPECT_EQ(d.rx.wantedDataType(), 5);
    d.rx.SetDataType(0b11000000);
    EXPECT_EQ(d.rx.wantedDataType(), 5);
    EXPECT_EQ(d.rx.dataTypeMask(), 0b11000000);
    d.rx.SetDataType(0b1000101);
    EXPECT_EQ(d.rx.wantedDataType(), 2);
    d.feed(fenku_frame(1, 2, 1, lp_xyz_content(points)));
    EXPECT_EQ(d.posted.frames.size(), 1u) << "type 1 is below the wanted type 2";
    d.feed(fenku_frame(3, 2, 1, lp_u16_content({1, 1})));
    EXPECT_EQ(d.posted.frames.size(), 2u) << "type 3 is not below it";
    d.rx.SetDataType(1);
    EXPECT_EQ(d.rx.wantedDataType(), 0);
}

TEST(FenkFrames, AnyChangedByteOfTheFrameAndNoMeasurement)
{
    const Datagrams frame = fenku_frame(1, 3, 1, lp_xyz_content(some_points(3)));
    ASSERT_EQ(frame.size(), 2u);
    {
        Direct d;
        d.feed(frame);
        ASSERT_EQ(d.posted.frames.size(), 1u) << "the unchanged frame posts";
    }
    // Every byte of the header sub-package, and every byte of the data sub-package that its
    // frame is made of (the two unexamined bytes and its own trailer are not: the frame's CRC
    // covers the data).
    struct Case {
        size_t datagram;
        size_t byte;
    };
    std::vector<Case> cases;
    for (size_t i = 0; i < frame[0].size(); ++i)
        cases.push_back({0, i});
    for (size_t i = 0; i < frame[1].size() - 4; ++i)
        if (i != 2 && i != 3)
            cases.push_back({1, i});
    for (const Case &c : cases) {
        for (uint8_t flip : {uint8_t(0x01), uint8_t(0x80)}) {
            Datagrams changed = frame;
            changed[c.datagram][c.byte] ^= flip;
            Direct d;
            d.feed(changed);
            EXPECT_EQ(d.posted.total(), 0u)
                << "sub-package " << c.datagram << " byte " << c.byte << " xor " << int(flip);
        }
    }
}

TEST(FenkFrames, OutOfOrderAndMissingHeaderLoseOnlyTheirFrame)
{
    Direct d;
    const Datagrams frame = fenku_frame(1, 30, 1, lp_xyz_content(some_points(30)), 120);
    ASSERT_EQ(frame.size(), 4u);

    EXPECT_EQ(d.rx.ParsePacket(frame[1].data(), frame[1].size()), RecvDataProc::PARSE_REFUSED)
        << "no header yet";
    EXPECT_STREQ(d.rx.parseMessage(), "dat.data_type == -1");

    // The second data sub-package lost: the third does not continue the frame, nor does
    // any later one.
    EXPECT_EQ(d.rx.ParsePacket(frame[0].data(), frame[0].size()), RecvDataProc::PARSE_ACCEPTED);
    EXPECT_EQ(d.rx.ParsePacket(frame[1].data(), frame[1].size()), RecvDataProc::PARSE_ACCEPTED);
    EXPECT_EQ(d.rx.ParsePacket(frame[3].data(), frame[3].size()), RecvDataProc::PARSE_REFUSED);
    EXPECT_STREQ(d.rx.parseMessage(), "last end offset:164 now start offset:284  idx:0");
    EXPECT_EQ(d.rx.ParsePacket(frame[2].data(), frame[2].size()), RecvDataProc::PARSE_REFUSED);
    EXPECT_EQ(d.posted.total(), 0u);

    d.feed(frame);
    EXPECT_EQ(d.posted.frames.size(), 1u) << "the next header starts over";

    // A bad frame CRC leaves the frame incomplete until the next header.
    Datagrams bad = fenku_frame(1, 30, 1, lp_xyz_content(some_points(30)), 120);
    wr_u32(&bad[3][16], 12345); // data changed, sub-package CRC made right again
    wr_u32(&bad[3][bad[3].size() - 4], crc32_reflected(0, bad[3].data(), bad[3].size() - 4));
    d.feed(bad);
    EXPECT_STREQ(d.rx.parseMessage(), "whole package  crc error");
    d.feed(bad[3]);
    EXPECT_EQ(d.posted.frames.size(), 1u);
    d.feed(frame);
    EXPECT_EQ(d.posted.frames.size(), 2u);
}

TEST(FenkFrames, StoresHoldFifteenHundredValuesAndLargerFramesAreDropped)
{
    Direct d;
    d.feed(fenku_frame(2, 40, 50, lp_u16_content(std::vector<uint16_t>(2000, 0xBEEF))));
    EXPECT_EQ(d.posted.total(), 0u) << "a 2000-value plane is not posted";

    // The distance plane is stored right behind the points: a points frame that overran its
    // store would show in the distances.
    std::vector<uint16_t> dist(1500);
    for (size_t i = 0; i < dist.size(); ++i)
        dist[i] = uint16_t(i + 1);
    d.feed(fenku_frame(2, 30, 50, lp_u16_content(dist)));
    ASSERT_EQ(d.posted.frames.size(), 1u);
    EXPECT_EQ(d.posted.frames[0].size(), 1500u) << "exactly 1500 values fit";

    d.feed(fenku_frame(1, 1501, 1, lp_xyz_content(some_points(1501))));
    EXPECT_EQ(d.posted.frames.size(), 1u) << "a 1501-point frame is not posted";

    const auto full = some_points(1500);
    d.feed(fenku_frame(1, 1500, 1, lp_xyz_content(full)));
    ASSERT_EQ(d.posted.frames.size(), 2u);
    const std::vector<UserPointData> f = d.posted.frames[1];
    ASSERT_EQ(f.size(), 1500u);
    for (size_t i = 0; i < f.size(); ++i) {
        const float dd = f[i].distance;
        ASSERT_FLOAT_EQ(dd, float(i + 1)) << i;
    }
    const float x = f[1499].x;
    EXPECT_FLOAT_EQ(x, full[1499][0] / 1000.0f);
}

TEST(FenkFrames, RepliesArePostedWhole)
{
    Direct d;
    const std::vector<uint8_t> reply = make_command_reply(7, std::vector<uint8_t>(100, 3));
    EXPECT_EQ(d.rx.ParsePacket(reply.data(), reply.size()), RecvDataProc::PARSE_REPLY);
    d.feed(reply);
    ASSERT_EQ(d.posted.count(MSG_CMD_INFO), 1);
    EXPECT_EQ(d.posted.data[0].second, QByteArray(reinterpret_cast<const char *>(reply.data()), int(reply.size())));
    EXPECT_EQ(d.posted.count(MSG_RUN_STATE, "lidar cmd reception is ok"), 1);

    // Bytes before the frame are carried along; a datagram longer than the frame is whole too.
    std::vector<uint8_t> prefixed(3 + reply.size() + 1, 0);
    prefixed[0] = 'x';
    prefixed[1] = 'y';
    prefixed[2] = 'z';
    std::copy(reply.begin(), reply.end(), prefixed.begin() + 3);
    d.feed(prefixed);
    ASSERT_EQ(d.posted.count(MSG_CMD_INFO), 2);
    EXPECT_EQ(d.posted.data.back().second.size(), int(prefixed.size()));

    std::vector<uint8_t> cut(reply.begin(), reply.end() - 1);
    EXPECT_EQ(d.rx.ParsePacket(cut.data(), cut.size()), RecvDataProc::PARSE_NEED_MORE);
    d.feed(cut);
    EXPECT_EQ(d.posted.count(MSG_CMD_INFO), 2);
    EXPECT_EQ(d.posted.count(MSG_RUN_STATE, "lidar cmd reception is ok"), 1);
    EXPECT_TRUE(d.posted.frames.empty());

    const std::vector<uint8_t> none(64, 'L');
    EXPECT_EQ(d.rx.ParsePacket(none.data(), none.size()), RecvDataProc::PARSE_NOTHING);
}

// Regression cases: datagrams that lie about their lengths or counts. Each is fed after a
// frame header, so that a frame is under way; nothing may be posted and nothing read or
// written outside the datagram and the stores (the sanitizer build runs the same table).
TEST(FenkFrames, MalformedDatagramsPostNothing)
{
    const auto one_point = lp_xyz_content(some_points(1));
    std::vector<uint8_t> lh_huge = make_command_reply(7, {1, 2, 3});
    wr_u32(&lh_huge[8], 0xFFFFFFFFu);
    std::vector<uint8_t> lh_wrap = make_command_reply(7, {1, 2, 3});
    wr_u32(&lh_wrap[8], 0xFFFFFFF3u); // length + 13 wraps to 0 in 32 bits
    std::vector<uint8_t> lh_tail(40, 'x');
    lh_tail[28] = 'L';
    lh_tail[29] = 'H'; // twelve bytes from the tag, length 0: one byte short
    std::fill(lh_tail.begin() + 30, lh_tail.end(), 0);

    // Offsets that wrap in 32 bits: 0xFFFFFFF0 + 24 is 8, where the next sub-package claims
    // to start and then to end the 20-byte frame.
    const Datagrams offset_wrap = {
        make_lp_subpackage(20, 0, fenku_frame_header(1, 1, 1, crc32_reflected(0, one_point.data(), one_point.size()))),
        make_lp_subpackage(20, 0xFFFFFFF0u, std::vector<uint8_t>(24, 1)),
        make_lp_subpackage(20, 8, one_point),
    };
    const std::vector<uint8_t> plane1200(2400, 0x11);
    const Datagrams huge_plane = {
        make_lp_subpackage(0xFFFFFFFFu, 0, fenku_frame_header(2, 65535, 65535, 0)),
        make_lp_subpackage(0xFFFFFFFFu, 44, plane1200),
        make_lp_subpackage(0xFFFFFFFFu, 44 + 2400, plane1200),
    };
    const std::vector<uint8_t> points500 = lp_xyz_content(some_points(500));
    const Datagrams huge_points = {
        make_lp_subpackage(0xFFFFFFFFu, 0, fenku_frame_header(1, 0, 0, 0)),
        make_lp_subpackage(0xFFFFFFFFu, 44, points500),
        make_lp_subpackage(0xFFFFFFFFu, 44 + 6000, points500),
        make_lp_subpackage(0xFFFFFFFFu, 44 + 12000, points500),
        make_lp_subpackage(0xFFFFFFFFu, 44 + 18000, points500),
        make_lp_subpackage(0xFFFFFFFFu, 44 + 24000, one_point),
    };
    const Datagrams short_header = {
        make_lp_subpackage(56, 0, std::vector<uint8_t>{0, 0, 1, 0, 0, 0, 0, 0, 0, 0}),
        make_lp_subpackage(56, 44, one_point),
    };
    const Datagrams type_unknown = concat(fenku_frame(9, 1, 1, one_point), fenku_frame(-2, 1, 1, one_point));
    std::vector<uint8_t> lp_in_tail = lp_raw(0, 44, 0, 40);
    std::rotate(lp_in_tail.begin(), lp_in_tail.begin() + 20, lp_in_tail.end()); // "LP" at 20

    const struct {
        const char *what;
        Datagrams datagrams;
    } cases[] = {
        {"empty", {{}}},
        {"one byte", {{'L'}}},
        {"eleven bytes", {lp_raw(0, 0, 0, 11)}},
        {"twelve bytes", {lp_raw(0, 0, 0, 12)}},
        {"fifteen bytes", {lp_raw(0, 0, 0, 15)}},
        {"prefix only", {lp_raw(0, 0, 0, 16)}},
        {"length 0xFFFFFFFF", {lp_raw(100, 44, 0xFFFFFFFFu, 200)}},
        {"length + 20 wraps to 0", {lp_raw(100, 44, 0xFFFFFFECu, 200)}},
        {"length + 20 wraps to 4", {lp_raw(24, 0, 0xFFFFFFF0u, 200)}},
        {"length one byte past the datagram", {lp_raw(100, 44, 181, 200)}},
        {"sub-package near the end", {lp_in_tail}},
        {"LH length 0xFFFFFFFF", {lh_huge}},
        {"LH length wraps", {lh_wrap}},
        {"LH at the end", {lh_tail}},
        {"offset sum wraps", offset_wrap},
        {"65535 x 65535 plane", huge_plane},
        {"points without end", huge_points},
        {"header too short for its fields", short_header},
        {"unknown data types", type_unknown},
    };
    const auto points = some_points(4);
    const Datagrams valid = fenku_frame(1, 4, 1, lp_xyz_content(points));
    for (const auto &c : cases) {
        Direct d;
        d.feed(valid[0]); // a frame under way
        d.feed(c.datagrams);
        EXPECT_EQ(d.posted.total(), 0u) << c.what;
        // The receiver is still whole: the next frame goes through.
        d.feed(valid);
        ASSERT_EQ(d.posted.frames.size(), 1u) << c.what;
        EXPECT_EQ(d.posted.frames[0].size(), 4u) << c.what;
    }
}
