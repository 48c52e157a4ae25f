// The Raxo receiver's decoding, attitude, mounting height and debug grid, driven through its
// (pointer, length) entry points on the test's own thread.

#include "fakeraxo.h"
#include "lhframe.h"
#include "raxotesthelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

class RaxoFrames : public ::testing::Test {
protected:
    void SetUp() override
    {
        rx.init(0, "127.0.0.2", 0);
        collect(&rx, &context, &posted);
    }
    void send_level_imu() { feed(rx, raxo_imu_level_packet(0.0f, 0.0f, 9.8f)); }

    // One scan of `packets` type-14 packets of 8 points on the ground plane z = -1.2 m, inside
    // the |y| <= 0.2 strip; the last one ends the frame.
    void send_ground_scan(int packets)
    {
        for (int k = 0; k < packets; ++k) {
            std::vector<RaxoPoint> pts;
            for (int i = 0; i < 8; ++i) {
                RaxoPoint p;
                p.range_cm = 150;
                p.x = int16_t(300 + 100 * i + k % 7);  // 0.6 .. 2.0 m
                p.y = int16_t(-50 + (k * 8 + i) % 101); // -0.1 .. 0.1 m
                p.z = -600;                            // -1.2 m
                p.intensity = 9;
                pts.push_back(p);
            }
            feed(rx, raxo_point_packet(14, uint16_t((k % 90) * 4), 0, pts,
                                       k == packets - 1 ? RAXO_FRAME_END : 0));
        }
    }

    RecvDataProc2 rx;
    QObject context;
    RaxoPosted posted;
};

void expect_point(const UserPointData &p, float x, float y, float z, int intensity, float distance)
{
    const float px = p.x, py = p.y, pz = p.z, pd = p.distance;
    const int pi = p.intensity;
    EXPECT_FLOAT_EQ(px, x);
    EXPECT_FLOAT_EQ(py, y);
    EXPECT_NEAR(pz, z, 1e-6);
    EXPECT_EQ(pi, intensity);
    EXPECT_FLOAT_EQ(pd, distance);
}

} // namespace

TEST_F(RaxoFrames, DisplayModesBeforeAHeightIsKnown)
{
    const std::vector<RaxoPoint> pts = {raxo_point(1234, 1000, -250, 3, 200),
                                            raxo_point(99, -1, 2, -32768, 1)};
    const struct {
        int mode;
        size_t points3d;
    } cases[] = {{0, 2}, {1, 0}, {2, 0}};
    for (const auto &c : cases) {
        posted.clear();
        rx.SetShowMode(c.mode);
        feed(rx, raxo_point_packet(1, 0, 0, pts, RAXO_FRAME_END));
        ASSERT_EQ(posted.frames.size(), 1u) << c.mode;
        ASSERT_EQ(posted.frames2D.size(), 1u);
        EXPECT_EQ(posted.frames[0].size(), c.points3d) << c.mode;
        EXPECT_TRUE(posted.frames2D[0].empty());
    }
    rx.SetShowMode(0);
    posted.clear();
    feed(rx, raxo_point_packet(1, 0, 0, pts, RAXO_FRAME_END));
    ASSERT_EQ(posted.frames.size(), 1u);
    expect_point(posted.frames[0][0], 2.0f, -0.5f, 0.006f, 200, 12.34f);
    expect_point(posted.frames[0][1], -0.002f, 0.004f, -65.536f, 1, 0.99f);
    const UserPointData p = posted.frames[0][0];
    const int depth = p.depth, deep = p.deep_field, selected = p.selected;
    EXPECT_EQ(depth + deep + selected, 0);
}

TEST_F(RaxoFrames, GroundScanGivesTheHeightAndLevelledFrames)
{
    rx.SetShowMode(1);
    send_level_imu();
    ASSERT_EQ(posted.count(MSG_ATTITUDE), 1);
    send_ground_scan(RecvDataProc2::kScanPackets);
    ASSERT_EQ(posted.heights.size(), 1u);
    EXPECT_FLOAT_EQ(posted.heights[0], 1.2f);
    // The packet that ends the scan is already levelled, all eight of its points.
    ASSERT_EQ(posted.frames.size(), 1u);
    ASSERT_EQ(posted.frames[0].size(), 8u);
    for (const UserPointData &p : posted.frames[0]) {
        const float z = p.z;
        EXPECT_NEAR(z, 0.0f, 1e-6);
    }

    feed(rx, raxo_point_packet(14, 0, 0, {raxo_point(321, 1000, -250, -300, 77)}, RAXO_FRAME_END));
    ASSERT_EQ(posted.frames.size(), 2u);
    ASSERT_EQ(posted.frames[1].size(), 1u);
    ASSERT_EQ(posted.frames2D[1].size(), 1u);
    expect_point(posted.frames[1][0], 2.0f, -0.5f, 0.6f, 77, 3.21f);
    expect_point(posted.frames2D[1][0], 2.0f, -0.5f, 0.6f, 77, 3.21f);
    EXPECT_EQ(posted.heights.size(), 1u) << "no second fit while a height is known";
}

TEST_F(RaxoFrames, OnlyAScanOfExactly450PacketsIsFitted)
{
    for (int packets : {449, 450, 451}) {
        rx.ResetCompensate();
        posted.clear();
        send_level_imu();
        send_ground_scan(packets);
        EXPECT_EQ(posted.heights.size(), packets == 450 ? 1u : 0u) << packets;
    }
}

TEST_F(RaxoFrames, NoFitWithoutASettledAttitude)
{
    send_ground_scan(RecvDataProc2::kScanPackets);
    EXPECT_TRUE(posted.heights.empty());
    // A large rate moves the estimate by more than 0.01 rad: unsettled, nothing posted.
    feed(rx, raxo_imu_packet(3, 0, {0, 0, 0, 10.0f, 0, 0, 0, 0, 9.8f}));
    EXPECT_EQ(posted.count(MSG_ATTITUDE), 0);
    send_ground_scan(RecvDataProc2::kScanPackets);
    EXPECT_TRUE(posted.heights.empty());
}

TEST_F(RaxoFrames, TiltedSensorPointsAreCorrectedWithTheFilteredPitch)
{
    const double tilt = 0.1;
    const float ax = 0.0f, ay = float(std::sin(tilt) * 9.8), az = float(std::cos(tilt) * 9.8);
    double pitch = 0.0;
    const double pitchAcc = std::atan2(double(ay), std::sqrt(double(ax) * ax + double(az) * az));
    for (int i = 0; i < 300; ++i) {
        feed(rx, raxo_imu_level_packet(ax, ay, az, int64_t(i) * 4808));
        pitch = pitch * 0.98 + pitchAcc * (1.0 - 0.98);
    }
    EXPECT_EQ(posted.count(MSG_ATTITUDE), 300) << "each step below 0.01 rad is settled";

    rx.SetMountingHeight(1.0f);
    feed(rx, raxo_point_packet(1, 0, 0, {raxo_point(500, 1500, 500, -750, 5)}, RAXO_FRAME_END));
    ASSERT_EQ(posted.frames2D.back().size(), 1u);
    const UserPointData q = posted.frames2D.back()[0];
    // R = Rx(pitch) with roll 0: y' = c y - s z, z' = s y + c z, rounded to 1 mm.
    const double x = 3.0, y = 1.0, z = -1.5;
    const double c = std::cos(pitch), s = std::sin(pitch);
    const float qx = q.x, qy = q.y, qz = q.z;
    EXPECT_FLOAT_EQ(qx, float(std::round(x * 1000) / 1000));
    EXPECT_FLOAT_EQ(qy, float(std::round((c * y - s * z) * 1000) / 1000));
    EXPECT_FLOAT_EQ(qz, float(std::round((s * y + c * z) * 1000) / 1000));
    const int qi = q.intensity;
    EXPECT_EQ(qi, 5);
    expect_point(posted.frames.back()[0], 3.0f, 1.0f, -1.5f, 5, 5.0f); // mode 0: 3D stays raw

    // An unsettled packet drops the height set from the page.
    feed(rx, raxo_imu_packet(3, 0, {0, 0, 0, 10.0f, 0, 0, ax, ay, az}));
    feed(rx, raxo_point_packet(1, 0, 0, {raxo_point(500, 1500, 500, -750, 5)}, RAXO_FRAME_END));
    EXPECT_TRUE(posted.frames2D.back().empty());
}

TEST_F(RaxoFrames, ImuRecordKeepsWholeSecondsAndOldFloatsOfKindTwo)
{
    feed(rx, raxo_imu_packet(3, 7999999, {1, 2, 3, 0, 0, 0, 0, 0, 9.8f}));
    feed(rx, raxo_imu_packet(2, -1500000, {0, 0, 0.5f, 0, 0, 9.8f}));
    ASSERT_EQ(posted.count(MSG_ATTITUDE), 2);
    const QByteArray last = posted.data.back().second;
    ASSERT_EQ(last.size(), 45);
    ImuRecord r;
    std::memcpy(&r, last.constData(), sizeof(r));
    const int64_t time = r.time;
    EXPECT_EQ(time, -1);
    EXPECT_EQ(r.kind, 2);
    float m[9];
    std::memcpy(m, reinterpret_cast<const char *>(&r) + 9, sizeof(m));
    EXPECT_EQ(m[0], 1.0f);
    EXPECT_EQ(m[1], 2.0f);
    EXPECT_EQ(m[2], 3.0f);
    EXPECT_EQ(m[5], 0.5f);
    EXPECT_EQ(m[8], 9.8f);
}

TEST_F(RaxoFrames, ImuValuesThatAreNotNumbersLeaveTheAttitudeAlone)
{
    send_level_imu();
    feed(rx, raxo_imu_packet(3, 0, {0, 0, 0, NAN, 0, 0, 0, 0, 9.8f}));
    send_level_imu();
    EXPECT_EQ(posted.count(MSG_ATTITUDE), 2) << "the attitude is still settled at 0";
}

TEST_F(RaxoFrames, DebugGridPostedOnlyWhenComplete)
{
    // Type 1: 90 column groups x 5 blocks of 30 rows, 120 points each = 54000 cells.
    auto send_grid = [&](uint8_t type, int rowsPerBlock, int dropLastPoints) {
        const int packets = 450;
        for (int k = 0; k < packets; ++k) {
            std::vector<RaxoPoint> pts;
            int n = 4 * rowsPerBlock;
            if (k == packets - 1)
                n -= dropLastPoints;
            for (int i = 0; i < n; ++i)
                pts.push_back(raxo_point(100, 0, 0, 0, uint8_t(i), uint8_t(k)));
            const uint16_t row = uint16_t((k / 90) * rowsPerBlock * (type == 14 ? 2 : 1));
            feed(rx, raxo_point_packet(type, uint16_t((k % 90) * 4), row, pts,
                                       k == packets - 1 ? RAXO_FRAME_END : 0));
        }
    };
    send_grid(1, 30, 1);
    EXPECT_TRUE(posted.debug.empty()) << "53999 points";
    send_grid(1, 30, 0);
    ASSERT_EQ(posted.debug.size(), 1u) << "the short frame was cleared, this one is whole";
    const QByteArray img = posted.debug[0];
    ASSERT_EQ(img.size(), 162002);
    const uint8_t *b = reinterpret_cast<const uint8_t *>(img.constData());
    EXPECT_EQ(rd_u16(b), 54000);
    // Cell (row 31, column 5): packet 91 (group 1, block 1), point 5 (column +1, row +1).
    const size_t cell = 31 * 360 + 5;
    EXPECT_EQ(rd_u16(b + 2 + cell * 2), 91);
    EXPECT_EQ(b[108002 + cell], 5);

    send_grid(14, 15, 0);
    ASSERT_EQ(posted.debug.size(), 2u) << "27000 points of type 14";
    const uint8_t *h = reinterpret_cast<const uint8_t *>(posted.debug[1].constData());
    EXPECT_EQ(rd_u16(h), 27000);
    // Type 14 halves the row field: packet 95 (group 5, block 1) starts at row 15.
    const size_t cell14 = 16 * 360 + 22;
    EXPECT_EQ(rd_u16(h + 2 + cell14 * 2), 95);
    EXPECT_EQ(h[108002 + cell14], 4 + 2);
}

TEST_F(RaxoFrames, VoxelFilterKeepsCrowdedCellsOnly)
{
    std::vector<RaxoPoint> pts;
    for (int i = 0; i < 4; ++i)
        pts.push_back(raxo_point(100, int16_t(100 + i), 50, 50, uint8_t(i))); // one 0.5 m cell
    pts.push_back(raxo_point(100, 2000, 50, 50, 9));                          // alone
    rx.SetVoxelFilter(true, 0.5f, 3);
    feed(rx, raxo_point_packet(1, 0, 0, pts, RAXO_FRAME_END));
    ASSERT_EQ(posted.frames.size(), 1u);
    EXPECT_EQ(posted.frames[0].size(), 4u);
    EXPECT_TRUE(posted.frames2D.empty()) << "no 2D frame with the filter on";
    EXPECT_EQ(posted.count(MSG_RUN_STATE, "lidar data reception is ok"), 1);

    rx.SetVoxelFilter(true, 0.0f, 3); // no cell edge: nothing to filter by
    feed(rx, raxo_point_packet(1, 0, 0, pts, RAXO_FRAME_END));
    ASSERT_EQ(posted.frames.size(), 2u);
    EXPECT_EQ(posted.frames[1].size(), 5u);

    rx.SetVoxelFilter(false, 0.0f, 0);
    feed(rx, raxo_point_packet(1, 0, 0, pts, RAXO_FRAME_END));
    EXPECT_EQ(posted.frames2D.size(), 1u);
}

TEST_F(RaxoFrames, PointCountNeverExceedsWhatTheDatagramHolds)
{
    const std::vector<RaxoPoint> two = {raxo_point(1, 1, 1, 1, 1), raxo_point(2, 2, 2, 2, 2)};
    const struct {
        int a, b;
        size_t expect;
    } cases[] = {{1000, 3, 2}, {2, 1, 2}, {1, 1, 1}, {256, 256, 0}, {0, 9, 0}};
    for (const auto &c : cases) {
        posted.clear();
        feed(rx, raxo_point_packet(1, 0, 0, two, RAXO_FRAME_END, c.a, c.b));
        ASSERT_EQ(posted.frames.size(), 1u);
        EXPECT_EQ(posted.frames[0].size(), c.expect) << c.a << "x" << c.b;
    }
    // Bytes past a partial point are not a point.
    std::vector<uint8_t> partial = raxo_point_packet(1, 0, 0, two, RAXO_FRAME_END);
    partial.resize(partial.size() - 1);
    posted.clear();
    feed(rx, partial);
    ASSERT_EQ(posted.frames.size(), 1u);
    EXPECT_EQ(posted.frames[0].size(), 1u);
}

TEST_F(RaxoFrames, MalformedDatagramsPostNothing)
{
    auto cut = [](std::vector<uint8_t> v, size_t n) {
        v.resize(n);
        return v;
    };
    const std::vector<uint8_t> full = raxo_point_packet(1, 0, 0, {raxo_point(1, 1, 1, 1, 1)}, RAXO_FRAME_END);
    const std::vector<uint8_t> imu3 = raxo_imu_level_packet(0, 0, 9.8f);
    const std::vector<uint8_t> imu2 = raxo_imu_packet(2, 0, {0, 0, 0, 0, 0, 9.8f});
    const std::vector<uint8_t> list = raxo_zone_monitor_packet(0, std::vector<uint8_t>(514, 1));
    const std::vector<uint8_t> alarm = raxo_zone_monitor_packet(1, std::vector<uint8_t>(308, 2));
    const std::vector<std::vector<uint8_t>> data = {
        {},
        {0x5A},
        {0x5A, 0xA5, 0x00},
        cut(full, 44),            // header cut short, frame flag and all
        cut(full, 21),
        cut(imu3, 57),
        cut(imu2, 45),
        cut(raxo_imu_packet(7, 0, {}), 19),
        cut(imu3, 9),
        cut(list, 533),
        cut(alarm, 327),
        cut(list, 13),
        raxo_zone_monitor_packet(2, std::vector<uint8_t>(600, 3)),
        {0xA5, 0x5A, 0x00, 0x01},
        std::vector<uint8_t>(8192, 0x5A),
    };
    for (const auto &d : data)
        feed(rx, d);
    EXPECT_EQ(posted.total(), 0u);

    // Command socket: one good reply first, so the reception notice is out of the way.
    const std::vector<uint8_t> good = lh_make_sum_frame(0, 0, 0x8001, "\0\0\0\0", 4);
    rx.processCmdDatagram(good.data(), good.size());
    ASSERT_EQ(posted.count(MSG_CMD_INFO), 1);
    posted.clear();
    auto lying = [&](uint32_t claimed) {
        std::vector<uint8_t> v = good;
        wr_u32(&v[8], claimed);
        return v;
    };
    const std::vector<std::vector<uint8_t>> cmds = {
        {},
        {'L'},
        cut(good, 12),
        lying(5),
        lying(3),
        lying(0xFFFFFFFFu),
        lying(0xFFFFFFFFu - 12), // plus 13 wraps to 0 in 32 bits
        cut(good, 16),
    };
    for (const auto &c : cmds)
        rx.processCmdDatagram(c.data(), c.size());
    EXPECT_EQ(posted.total(), 0u);
}

TEST_F(RaxoFrames, ZoneMonitorRecordsGoOutWhole)
{
    std::vector<uint8_t> list(514);
    for (size_t i = 0; i < list.size(); ++i)
        list[i] = uint8_t(i * 3);
    feed(rx, raxo_zone_monitor_packet(0, list));
    std::vector<uint8_t> longer(700, 4); // more than the record: the record alone is posted
    feed(rx, raxo_zone_monitor_packet(1, longer));
    ASSERT_EQ(posted.count(MSG_ZONE_MONITOR), 2);
    EXPECT_EQ(posted.data[0].second, QByteArray(reinterpret_cast<const char *>(list.data()), 514));
    EXPECT_EQ(posted.data[1].second.size(), 308);
}

TEST_F(RaxoFrames, WorkCodesOutsideTheJobsAreDiscarded)
{
    for (int code : {0, 7, 14, -1})
        EXPECT_FALSE(rx.runWork(code)) << code;
    EXPECT_EQ(posted.total(), 0u);
}

TEST(RaxoGeometry, RotatePointRoundsToMillimetres)
{
    UserPointData p;
    p.x = 1.23456f;
    p.y = -0.0005f;
    p.z = 2.0004f;
    const UserPointData q = RecvDataProc2::RotatePoint(p, 0.0, 0.0);
    const float qx = q.x, qy = q.y, qz = q.z;
    EXPECT_FLOAT_EQ(qx, 1.235f);
    EXPECT_FLOAT_EQ(qy, -0.001f) << "half a millimetre rounds away from zero";
    EXPECT_FLOAT_EQ(qz, 2.0f);

    // Pitch about x, then roll about y: R = Rx(pitch) Ry(roll).
    p.x = 1.0f;
    p.y = 0.0f;
    p.z = 0.0f;
    const UserPointData r = RecvDataProc2::RotatePoint(p, M_PI / 2, M_PI / 2);
    const float rx = r.x, ry = r.y, rz = r.z;
    EXPECT_FLOAT_EQ(rx, 0.0f);
    EXPECT_FLOAT_EQ(ry, 1.0f);
    EXPECT_FLOAT_EQ(rz, 0.0f);
}

TEST(RaxoGeometry, FitGroundOnlyWhereAPlaneCanBeFound)
{
    using Points = std::vector<std::array<float, 3>>;
    Points plane;
    for (int i = 0; i < 50; ++i)
        plane.push_back({0.5f + 0.05f * float(i), -0.2f + 0.008f * float(i % 50), -2.5f});
    EXPECT_NEAR(RecvDataProc2::FitGround(plane), 2.5, 1e-6);

    Points line;
    for (int i = 0; i < 50; ++i)
        line.push_back({0.5f + 0.1f * float(i), 0.0f, -1.0f});
    Points near_origin; // inside the |x| < 0.5 dead zone: no inliers
    for (int i = 0; i < 50; ++i)
        near_origin.push_back({0.01f * float(i), 0.001f * float(i % 7), -1.0f});
    Points off_strip; // all outside |y| <= 0.2
    for (int i = 0; i < 50; ++i)
        off_strip.push_back({1.0f + float(i), 0.3f, -1.0f});
    Points nothing;
    Points two = {{1, 0, -1}, {2, 0, -1}};
    Points same(30, {1.0f, 0.1f, -1.0f});
    for (Points *pts : {&line, &near_origin, &off_strip, &nothing, &two, &same}) {
        const double h = RecvDataProc2::FitGround(*pts);
        EXPECT_LT(h, 0.0) << pts->size();
        EXPECT_FALSE(std::isnan(h));
    }
}
