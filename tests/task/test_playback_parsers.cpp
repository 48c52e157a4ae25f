// The per-family parsers and the Fenk-U "LP" decoding, fed packet lists built here.

#include "checksum.h"
#include "lhframe.h"
#include "lpdecoder.h"
#include "playbackparsers.h"
#include "playbacktestutil.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// ---- Raxo ----

TEST(RaxoParser, PointsAreConvertedFromTheWireUnits)
{
    const auto packet = make_raxo_packet(1, 1, {raxo_point(1234, 500, -1500, 32767, 99)}, 2);
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    EXPECT_EQ(proc.parse_data_raxo_e(to_list({packet})), 1);
    ASSERT_EQ(rec.frames.size(), 2u);
    EXPECT_EQ(rec.frames[0].progress, 0.0f);
    const UserPointData p = rec.frames[0].points.at(0);
    const float x = p.x, y = p.y, z = p.z, d = p.distance;
    const uint16_t i = p.intensity, depth = p.depth;
    EXPECT_EQ(x, 500.0f / 1000.0f * 2.0f);
    EXPECT_EQ(y, -1500.0f / 1000.0f * 2.0f);
    EXPECT_EQ(z, 32767.0f / 1000.0f * 2.0f);
    EXPECT_EQ(d, 1234.0f / 100.0f);
    EXPECT_EQ(i, 99);
    EXPECT_EQ(depth, 0);
}

TEST(RaxoParser, CountIsTheU16AloneAndTypes13And14Count)
{
    std::vector<RaxoPoint> pts(60);
    auto a = make_raxo_packet(14, 1, pts, 0, 0, /*count_b=*/2);
    auto b = make_raxo_packet(13, 2, pts, 2);
    auto imu = make_raxo_packet(4, 3, pts, 2);
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    EXPECT_EQ(proc.parse_data_raxo_e(to_list({a, b, imu})), 1);
    ASSERT_EQ(rec.frames.size(), 2u);
    EXPECT_EQ(rec.frames[0].points.size(), 120u);
    EXPECT_TRUE(rec.frames[1].points.empty());
}

TEST(RaxoParser, ShortPacketsAndPointsPastTheEndAreNotRead)
{
    auto full = make_raxo_packet(1, 1, std::vector<RaxoPoint>(10), 0);
    Bytes cut(full.begin(), full.end() - 15); // 8 whole points and half of the 9th
    Bytes header_only(full.begin(), full.begin() + 44);
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    EXPECT_EQ(proc.parse_data_raxo_e(to_list({cut, header_only, Bytes(3, 0x5A)})), 0);
    ASSERT_EQ(rec.frames.size(), 1u);
    EXPECT_EQ(rec.frames[0].points.size(), 8u);
}

struct GapCase {
    std::vector<uint16_t> indices;
    std::vector<std::string> drops;
};

void PrintTo(const GapCase &c, std::ostream *os)
{
    *os << "indices";
    for (uint16_t i : c.indices)
        *os << " " << i;
}

class RaxoIndexGaps : public testing::TestWithParam<GapCase> {};

TEST_P(RaxoIndexGaps, AreReported)
{
    std::vector<Bytes> packets;
    for (uint16_t index : GetParam().indices)
        packets.push_back(make_raxo_packet(1, index, {}, 0));
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    proc.parse_data_raxo_e(to_list(packets));
    std::vector<std::string> drops;
    for (const QByteArray &t : rec.texts(MSG_ERROR))
        drops.push_back(t.toStdString());
    EXPECT_EQ(drops, GetParam().drops);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RaxoIndexGaps,
    testing::Values(GapCase{{1, 2, 3, 5}, {"drop package last index: 3 now index:5"}},
                    // A recording that begins mid-stream: its first packet sets the count.
                    GapCase{{7, 8, 1, 2}, {}},
                    GapCase{{291, 292, 293, 294}, {}},
                    GapCase{{291, 292, 294, 295}, {"drop package last index: 292 now index:294"}},
                    GapCase{{0, 1, 2}, {}},
                    GapCase{{65534, 65535, 0, 1}, {"drop package last index: 65535 now index:0"}},
                    GapCase{{1, 1, 1}, {}}));

// ---- Vimo-E ----

VimoPoint vimo(uint32_t range, uint32_t elevation, uint32_t azimuth, uint8_t intensity)
{
    VimoPoint p;
    p.range_mm = range;
    p.elevation = elevation;
    p.azimuth = azimuth;
    p.intensity = intensity;
    return p;
}

TEST(VimoParser, PackedPolarPointsBecomeCartesian)
{
    const auto packet = make_vimo_e_packet(
        0, {vimo(1000, 0, 123456, 5), vimo(1000, 90000, 0, 6), vimo(2500, 45000, 45000, 7)});
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    EXPECT_EQ(proc.parse_data_vimo_e(to_list({packet})), 0);
    ASSERT_EQ(rec.frames.size(), 1u);
    const auto &pts = rec.frames[0].points;
    ASSERT_EQ(pts.size(), 3u);
    const float x0 = pts[0].x, y0 = pts[0].y, z0 = pts[0].z;
    EXPECT_NEAR(x0, 0.0f, 1e-6);
    EXPECT_NEAR(y0, 0.0f, 1e-6);
    EXPECT_NEAR(z0, 1.0f, 1e-6);
    const float x1 = pts[1].x, z1 = pts[1].z;
    EXPECT_FLOAT_EQ(x1, 1.0f);
    EXPECT_EQ(z1, 0.0f);
    const float x2 = pts[2].x, y2 = pts[2].y, z2 = pts[2].z;
    EXPECT_NEAR(x2, 1.25f, 1e-5);
    EXPECT_NEAR(y2, 1.25f, 1e-5);
    EXPECT_NEAR(z2, 2.5f * std::sqrt(0.5f), 1e-5);
    const uint16_t i2 = pts[2].intensity;
    EXPECT_EQ(i2, 7);
}

TEST(VimoParser, StatusPacketReportsMirrorThenMotor)
{
    const auto packet = make_vimo_e_packet(1, {vimo(1, 1, 1, 1)}, 0xC0, 321, 125);
    const auto other = make_vimo_e_packet(1, {}, 0x40, 0, 300);
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    proc.parse_data_vimo_e(to_list({packet, other}));
    const auto t = rec.texts(MSG_ERROR);
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0], QByteArray(" mirror :321"));
    EXPECT_EQ(t[1], QByteArray(" main motor:12.5 "));
    EXPECT_EQ(t[2], QByteArray(" main motor:30 "));
}

TEST(VimoParser, WrongLengthIsReportedAndSkipped)
{
    auto packet = make_vimo_e_packet(0, {vimo(1, 1, 1, 1), vimo(1, 1, 1, 1)});
    packet.resize(40);
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    proc.parse_data_vimo_e(to_list({packet, Bytes(20, 0), make_vimo_e_packet(2, {vimo(1, 1, 1, 1)})}));
    ASSERT_EQ(rec.texts(MSG_ERROR).size(), 1u);
    EXPECT_EQ(rec.texts(MSG_ERROR)[0], QByteArray("pointcloud packet length error:  40 56"));
    ASSERT_EQ(rec.frames.size(), 1u);
    EXPECT_TRUE(rec.frames[0].points.empty());
}

TEST(VimoParser, FrameIsEmittedAbove23040Points)
{
    const Bytes packet = make_vimo_e_packet(0, std::vector<VimoPoint>(128, vimo(1000, 0, 0, 1)));
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    EXPECT_EQ(proc.parse_data_vimo_e(to_list(std::vector<Bytes>(180, packet))), 0);
    ASSERT_EQ(rec.frames.size(), 1u);
    EXPECT_EQ(rec.frames[0].progress, 100.0f);
    EXPECT_EQ(rec.frames[0].points.size(), 23040u);

    rec.clear();
    EXPECT_EQ(proc.parse_data_vimo_e(to_list(std::vector<Bytes>(362, packet))), 2);
    ASSERT_EQ(rec.frames.size(), 3u);
    EXPECT_EQ(rec.frames[0].points.size(), 23168u);
    EXPECT_EQ(rec.frames[0].progress, float(180 * 100.0 / 362));
    EXPECT_EQ(rec.frames[1].progress, float(361 * 100.0 / 362));
    EXPECT_TRUE(rec.frames[2].points.empty());
}

// ---- algorithm box ----

TEST(BoxParser, EmptyFrameEndIsAFrame)
{
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    EXPECT_EQ(proc.parse_data_box(to_list({make_box_packet({}, 2), Bytes(11, 2)})), 1);
    ASSERT_EQ(rec.frames.size(), 2u);
    EXPECT_TRUE(rec.frames[0].points.empty());
}

TEST(BoxParser, CountBeyondThePacketReadsOnlyWholePoints)
{
    auto packet = make_box_packet({{1, 2, 3, 4}, {5, 6, 7, 8}}, 2);
    packet[5] = 200;
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    proc.parse_data_box(to_list({packet}));
    ASSERT_EQ(rec.frames.size(), 2u);
    EXPECT_EQ(rec.frames[0].points.size(), 2u);
}

// ---- Fenk-U ----

std::vector<uint16_t> ramp(size_t n, uint16_t start)
{
    std::vector<uint16_t> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = uint16_t(start + i);
    return v;
}

// One measurement of a 10 x 2 sensor: planes of the listed types, in order.
std::vector<Bytes> measurement(uint32_t index, const std::vector<int> &types, uint16_t base)
{
    const uint16_t w = 10, h = 2;
    std::vector<Bytes> out;
    for (int type : types) {
        Bytes content;
        if (type == 1) {
            std::vector<float> xyz;
            for (int j = 0; j < w * h; ++j) {
                xyz.push_back(float(base + j));
                xyz.push_back(float(-j));
                xyz.push_back(1000.0f);
            }
            content = lp_xyz_content(xyz);
        } else {
            content = lp_u16_content(ramp(w * h, uint16_t(base + 100 * type)));
        }
        for (Bytes &s : make_lp_plane(int16_t(type), index, w, h, content, 24))
            out.push_back(std::move(s));
    }
    return out;
}

TEST(FenkUParser, AllFiveTypesEmitFromTheSecondMeasurementOn)
{
    std::vector<Bytes> packets;
    for (uint32_t m = 0; m < 3; ++m)
        for (Bytes &b : measurement(m, {1, 2, 3, 4, 5}, uint16_t(m * 1000)))
            packets.push_back(std::move(b));
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    EXPECT_EQ(proc.parse_data_fenk_u(to_list(packets)), 2);
    EXPECT_EQ(proc.highest_plane_type(), 5);
    ASSERT_EQ(rec.frames.size(), 3u);
    EXPECT_EQ(rec.texts(MSG_DATA_TYPE), (std::vector<QByteArray>{"5", "5"}));
    const size_t per_measurement = packets.size() / 3;
    EXPECT_EQ(rec.frames[0].progress, float((2 * per_measurement - 1) * 100.0 / packets.size()));
    ASSERT_EQ(rec.frames[0].points.size(), 20u);
    for (size_t j = 0; j < 20; ++j) {
        const UserPointData p = rec.frames[1].points[j];
        const float x = p.x, y = p.y, z = p.z, d = p.distance;
        const uint16_t in = p.intensity, depth = p.depth, deep = p.deep_field;
        EXPECT_EQ(x, float(2000 + j) / 1000.0f);
        EXPECT_EQ(y, -float(j) / 1000.0f);
        EXPECT_EQ(z, 1.0f);
        EXPECT_EQ(d, float(2000 + 200 + j));
        EXPECT_EQ(in, uint16_t(std::sqrt(double(2000 + 300 + j))));
        EXPECT_EQ(depth, 2000 + 400 + j);
        EXPECT_EQ(deep, 2000 + 500 + j);
    }
    EXPECT_TRUE(rec.frames[2].points.empty());
    EXPECT_EQ(rec.frames[2].progress, 100.0f);
}

TEST(FenkUParser, OnlyXyzPlanesKeepTheOtherFieldsZero)
{
    std::vector<Bytes> packets;
    for (uint32_t m = 0; m < 3; ++m)
        for (Bytes &b : measurement(m, {1}, uint16_t(m)))
            packets.push_back(std::move(b));
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    EXPECT_EQ(proc.parse_data_fenk_u(to_list(packets)), 2);
    EXPECT_EQ(rec.texts(MSG_DATA_TYPE), (std::vector<QByteArray>{"1", "1"}));
    const UserPointData p = rec.frames[0].points[3];
    const float d = p.distance;
    const uint16_t in = p.intensity;
    EXPECT_EQ(d, 0.0f);
    EXPECT_EQ(in, 0);
}

TEST(FenkUParser, LargePlaneStoresOnly1500Values)
{
    LpPlaneBuffer plane;
    int consumed = 0;
    const auto subs = make_lp_plane(2, 7, 40, 50, lp_u16_content(ramp(2000, 1)), 1000);
    int last = 0;
    for (const Bytes &s : subs)
        last = decode_lp_packet(int(s.size()), reinterpret_cast<const char *>(s.data()), &plane,
                                &consumed, nullptr);
    EXPECT_EQ(last, 2);
    EXPECT_EQ(plane.value_count, 2000);
    EXPECT_EQ(plane.planes[0][1499], 1500);
    const UserPointData p = lp_make_point(plane, 1499);
    const float d = p.distance;
    EXPECT_EQ(d, 1500.0f);
}

TEST(FenkUParser, RepliesArePostedWhole)
{
    const Bytes reply = make_sum_reply(0x8007, Bytes(20, 0x33));
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    proc.parse_data_fenk_u(to_list({reply}));
    ASSERT_EQ(rec.texts(MSG_CMD_INFO).size(), 1u);
    EXPECT_EQ(rec.texts(MSG_CMD_INFO)[0],
              QByteArray(reinterpret_cast<const char *>(reply.data()), int(reply.size())));
}

// ---- the LP decoder ----

int decode(const Bytes &b, LpPlaneBuffer &plane, int *consumed, char *msg = nullptr)
{
    return decode_lp_packet(int(b.size()), reinterpret_cast<const char *>(b.data()), &plane,
                            consumed, msg);
}

TEST(LpDecoder, DataWithoutHeaderIsRefused)
{
    LpPlaneBuffer plane;
    int consumed = 0;
    char msg[LP_MESSAGE_SIZE] = {};
    const auto subs = make_lp_plane(3, 1, 4, 1, lp_u16_content(ramp(4, 0)), 4);
    EXPECT_EQ(decode(subs[1], plane, &consumed, msg), LP_REFUSED);
    EXPECT_STREQ(msg, "dat.data_type == -1");
    EXPECT_EQ(consumed, int(subs[1].size()));
}

TEST(LpDecoder, SkippedOffsetRefusesTheRestOfThePlane)
{
    LpPlaneBuffer plane;
    int consumed = 0;
    char msg[LP_MESSAGE_SIZE] = {};
    // 1000 values in sub-packages of 512 bytes; the second sub-package is lost.
    const auto subs = make_lp_plane(2, 9, 100, 10, lp_u16_content(ramp(1000, 0)), 512);
    ASSERT_EQ(subs.size(), 5u);
    EXPECT_EQ(decode(subs[0], plane, &consumed), LP_ACCEPTED);
    EXPECT_EQ(decode(subs[1], plane, &consumed), LP_ACCEPTED);
    EXPECT_EQ(decode(subs[3], plane, &consumed, msg), LP_REFUSED);
    EXPECT_STREQ(msg, "last end offset:556 now start offset:1068  idx:9");
    // It would line up with the refused one, but the plane has a hole: refused too.
    EXPECT_EQ(decode(subs[4], plane, &consumed), LP_REFUSED);
    // The next header starts over.
    const auto next = make_lp_plane(2, 10, 2, 1, lp_u16_content({5, 6}), 4);
    EXPECT_EQ(decode(next[0], plane, &consumed), LP_ACCEPTED);
    EXPECT_EQ(decode(next[1], plane, &consumed), 2);
}

TEST(LpDecoder, ShortAndCutOffInputNeedsMoreBytes)
{
    LpPlaneBuffer plane;
    int consumed = -1;
    const auto subs = make_lp_plane(2, 1, 4, 1, lp_u16_content(ramp(4, 0)), 8);
    Bytes cut(subs[0].begin(), subs[0].end() - 1);
    EXPECT_EQ(decode(cut, plane, &consumed), LP_NEED_MORE);
    EXPECT_EQ(consumed, 1); // the caller steps past this "L"
    Bytes tiny = {'x', 'L', 'P', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(decode(tiny, plane, &consumed), LP_NEED_MORE);
    EXPECT_EQ(consumed, 2);
    Bytes huge = make_lp_subpackage(100, 0, Bytes(8, 0));
    wr_u32(&huge[12], 0xFFFFFFF0u);
    EXPECT_EQ(decode(huge, plane, &consumed), LP_NEED_MORE);
    EXPECT_EQ(decode(Bytes(30, 'x'), plane, &consumed), LP_NO_MORE);
    EXPECT_EQ(consumed, 19);
}

TEST(LpDecoder, SumFrameLengthIsCheckedIn64Bits)
{
    LpPlaneBuffer plane;
    int consumed = 0;
    Bytes reply = make_sum_reply(1, Bytes(4, 1));
    EXPECT_EQ(decode(reply, plane, &consumed), LP_SUM_FRAME);
    EXPECT_EQ(consumed, int(reply.size()));
    wr_u32(&reply[8], 0xFFFFFFFFu);
    EXPECT_EQ(decode(reply, plane, &consumed), LP_NEED_MORE);
}

TEST(LpDecoder, HugeImageNeverCompletesByOverflow)
{
    LpPlaneBuffer plane;
    int consumed = 0;
    const auto subs = make_lp_plane(4, 1, 65535, 65535, lp_u16_content(ramp(100, 0)), 100);
    for (const Bytes &s : subs)
        EXPECT_EQ(decode(s, plane, &consumed), LP_ACCEPTED);
}

TEST(LpDecoder, OtherDataTypesNeverComplete)
{
    for (int type : {0, 6, 10, 100, -5}) {
        LpPlaneBuffer plane;
        int consumed = 0;
        const auto subs = make_lp_plane(int16_t(type), 1, 2, 1, lp_u16_content({1, 2}), 4);
        EXPECT_EQ(decode(subs[0], plane, &consumed), LP_ACCEPTED);
        EXPECT_EQ(decode(subs[1], plane, &consumed), LP_ACCEPTED) << type;
    }
}

TEST(SplitLpStream, RepliesArePostedOnceAndStayOutOfTheList)
{
    std::vector<Bytes> parts = measurement(1, {1, 2}, 0);
    const size_t subs = parts.size();
    const Bytes reply = make_sum_reply(0x8001, Bytes(6, 9));
    parts.insert(parts.begin() + 3, reply);
    Bytes stream = concat(parts);
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    const QList<QByteArray> list =
        proc.split_lp_stream(reinterpret_cast<const char *>(stream.data()), int(stream.size()));
    EXPECT_EQ(size_t(list.size()), subs);
    ASSERT_EQ(rec.texts(MSG_CMD_INFO).size(), 1u);
    EXPECT_EQ(rec.texts(MSG_CMD_INFO)[0].size(), int(reply.size()));
}

TEST(SplitLpStream, CutOffSubPackageIsSteppedOver)
{
    // A sub-package whose length runs past the stream, then whole ones: the split steps past
    // the cut one's "L" and still finds what follows.
    const auto plane = make_lp_plane(3, 1, 4, 1, lp_u16_content(ramp(4, 1)), 8);
    Bytes bogus = make_lp_subpackage(0, 0, Bytes(4, 0));
    wr_u32(&bogus[12], 5000);
    Bytes stream = bogus;
    for (const Bytes &s : plane)
        append(stream, s);
    PacketViews views;
    struct NullSink : PlaybackSink {
        void frame(const PointFrame &, float) override {}
    } sink;
    split_lp_stream(stream.data(), stream.size(), views, sink);
    ASSERT_EQ(views.size(), plane.size());
    EXPECT_EQ(views.back().data + views.back().size, stream.data() + stream.size());
}

TEST(RawReaderFenkU, StreamGivesFramesAndRepliesBeforeTheReport)
{
    std::vector<Bytes> parts;
    for (uint32_t m = 0; m < 3; ++m)
        for (Bytes &b : measurement(m, {1, 3}, uint16_t(m * 10)))
            parts.push_back(std::move(b));
    parts.insert(parts.begin() + 5, make_sum_reply(0x8002, Bytes(3, 1)));
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    ASSERT_TRUE(proc.RawReader(temp_file("fenk.raw", concat(parts, 0)).c_str(), LIDAR_FENK_U));
    EXPECT_EQ(rec.frames.size(), 3u);
    EXPECT_EQ(rec.texts(MSG_DATA_TYPE), (std::vector<QByteArray>{"3", "3"}));
    EXPECT_EQ(rec.cache_end_report().toStdString(), end_text(parts.size() - 1, 2));
    // The reply reaches the window before the model switch of the end report.
    EXPECT_EQ(rec.order.front(), "M16");
    EXPECT_EQ(rec.lidar_type_report(), QByteArray("0"));
}

TEST(PlaybackProgress, StaysBelowTheFinalHundred)
{
    EXPECT_EQ(playback_progress(0, 30), 0.0f);
    EXPECT_EQ(playback_progress(29, 30), float(29 * 100.0 / 30));
    EXPECT_LT(playback_progress(99999999, 100000000), 100.0f);
}

} // namespace
