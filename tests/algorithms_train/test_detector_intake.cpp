// The detector's packet intake on the test's own thread: the tilt filter fed with IMU packets,
// point packets into the frame grid, whole frames into queue 1, and the levelling rotation.

#include "detectortesthelpers.h"

#include "lhframe.h"

#include <cmath>

namespace {

// The filter written out once more, in the detector's order of operations: integrate with
// rate / 208, blend with 0.02 = 1 - 0.98 of the accelerometer angle.
struct ReferenceFilter {
    double pitch = 0.0, roll = 0.0;
    bool step(double rx, double ry, double ax, double ay, double az)
    {
        const double p0 = pitch, r0 = roll;
        pitch = (1 - 0.98) * std::atan2(ay, std::sqrt(ax * ax + az * az)) + 0.98 * (p0 + rx / 208);
        roll = (1 - 0.98) * std::atan2(-ax, az) + 0.98 * (r0 + ry / 208);
        return std::fabs(p0 - pitch) < 0.01 && std::fabs(r0 - roll) < 0.01;
    }
};

size_t nonzero_cells(const PacketData &g)
{
    size_t n = 0;
    for (int c = 0; c < kDetectorCells; ++c)
        n += g.depth[c] != 0 ? 1 : 0;
    return n;
}

std::vector<RaxoPoint> points(int n, uint16_t range_cm = 500)
{
    std::vector<RaxoPoint> pts;
    for (int i = 0; i < n; ++i)
        pts.push_back(raxo_point(range_cm, int16_t(2500 + i), int16_t(-i), int16_t(i * 3), 7));
    return pts;
}

int feed_packet(PointCloudAnomalyDetector &d, const std::vector<uint8_t> &p)
{
    return d.ProcessPointPacket(p.data(), p.size());
}

} // namespace

TEST(DetectorImu, RepeatedPacketConvergesLikeTheFilterWrittenOut)
{
    // Kind 2: rates at 22 and 26, acceleration at 34, 38, 42. The rates keep the filter from
    // settling on its first step and check the integration's division.
    const float rx = 0.125f, ry = -0.0625f, ax = 1.5f, ay = 9.0f, az = 2.25f;
    const std::vector<uint8_t> kind2 = raxo_imu_packet(2, 0, {rx, ry, 0, ax, ay, az});
    auto d = make_detector();
    ReferenceFilter ref;
    int firstStill = -1;
    for (int i = 0; i < 2000; ++i) {
        const bool still = ref.step(rx, ry, ax, ay, az);
        const int got = d->ProcessImuPacket(kind2.data(), kind2.size());
        ASSERT_EQ(got != 0, still) << "packet " << i;
        ASSERT_EQ(d->GetPitch(), ref.pitch) << "packet " << i;
        ASSERT_EQ(d->GetRoll(), ref.roll) << "packet " << i;
        if (still && firstStill < 0)
            firstStill = i;
    }
    EXPECT_GT(firstStill, 0) << "still from the first packet whose step moves both angles < 0.01";
    // Converged: the fixed point of the step, beside the accelerometer angles.
    EXPECT_NEAR(d->GetPitch(), std::atan2(9.0, std::sqrt(1.5 * 1.5 + 2.25 * 2.25)) + 0.98 * 0.125 / 208 / 0.02, 1e-9);
    EXPECT_TRUE(d->IsImuStable());

    // Kind 3 carries the same five values at 34, 38 and 46, 50, 54.
    const std::vector<uint8_t> kind3 = raxo_imu_packet(3, 0, {9, 9, 9, rx, ry, 9, ax, ay, az});
    auto d2 = make_detector();
    auto d3 = make_detector();
    for (int i = 0; i < 50; ++i) {
        d2->ProcessImuPacket(kind2.data(), kind2.size());
        d3->ProcessImuPacket(kind3.data(), kind3.size());
    }
    EXPECT_EQ(d3->GetPitch(), d2->GetPitch());
    EXPECT_EQ(d3->GetRoll(), d2->GetRoll());
}

TEST(DetectorImu, PacketsTheFilterCannotReadChangeNothing)
{
    const std::vector<uint8_t> kind2 = raxo_imu_packet(2, 0, {0.5f, 0.5f, 0, 3, 4, 5});
    const std::vector<uint8_t> kind3 = raxo_imu_packet(3, 0, {0, 0, 0, 0.5f, 0.5f, 0, 3, 4, 5});
    const std::vector<uint8_t> other = raxo_imu_packet(7, 0, {0.5f, 0.5f, 0, 3, 4, 5, 6, 7, 8});
    const std::vector<uint8_t> nan = raxo_imu_packet(2, 0, {NAN, 0, 0, 0, 0, 9.8f});
    struct Case {
        const char *what;
        const uint8_t *data;
        size_t len;
    } cases[] = {
        {"kind 2 one byte short", kind2.data(), 45},
        {"kind 3 one byte short", kind3.data(), 57},
        {"kind 3 cut to kind 2's length", kind3.data(), 46},
        {"another kind", other.data(), other.size()},
        {"no kind byte", kind2.data(), 8},
        {"nothing", nullptr, 0},
        {"a rate that is no number", nan.data(), nan.size()},
    };
    for (int stable = 0; stable < 2; ++stable) {
        auto d = make_detector();
        // A known state: a few packets that move the angles, then settled or not.
        for (int i = 0; i < 3; ++i)
            d->ProcessImuPacket(kind2.data(), kind2.size());
        if (stable)
            for (int i = 0; i < 400 && !d->IsImuStable(); ++i)
                d->ProcessImuPacket(kind2.data(), kind2.size());
        ASSERT_EQ(d->IsImuStable(), stable != 0);
        const double pitch = d->GetPitch(), roll = d->GetRoll();
        for (const Case &c : cases) {
            EXPECT_EQ(d->ProcessImuPacket(c.data, c.len), stable) << c.what;
            EXPECT_EQ(d->GetPitch(), pitch) << c.what;
            EXPECT_EQ(d->GetRoll(), roll) << c.what;
            EXPECT_EQ(d->IsImuStable(), stable != 0) << c.what;
        }
    }
}

TEST(DetectorIntake, RefusedPacketsLeaveGridAndCounterAlone)
{
    auto d = make_detector();
    const std::vector<uint8_t> good = raxo_point_packet(14, 8, 20, points(8), 0);
    EXPECT_EQ(feed_packet(*d, good), -3) << "the IMU is not still yet";
    EXPECT_EQ(d->packetCounter(), 0);
    EXPECT_EQ(nonzero_cells(d->frameGrid()), 0u);

    settle(*d);
    ASSERT_EQ(feed_packet(*d, good), 0);
    ASSERT_EQ(d->packetCounter(), 1);

    std::vector<uint8_t> shortByOne = good;
    shortByOne.pop_back();
    // 6554 x 10 = 65540 points: 45 + 10 N is 85 in its low 16 bits, the length of a packet
    // holding 4 points.
    const std::vector<uint8_t> wrapping = raxo_point_packet(14, 100, 40, points(4), 0, 6554, 10);
    ASSERT_EQ(wrapping.size(), 85u);
    // 256 points with the length to match: the sensor's byte counter never gets there.
    const std::vector<uint8_t> over255 = raxo_point_packet(14, 100, 40, points(256), 0);
    const std::vector<uint8_t> type1 = raxo_point_packet(1, 100, 40, points(8), 0);
    const std::vector<uint8_t> header = raxo_point_packet(14, 100, 40, {}, 0, 1, 1);
    struct Case {
        const char *what;
        const std::vector<uint8_t> &packet;
        size_t len;
        int code;
    } cases[] = {
        {"type 1", type1, type1.size(), -1},
        {"three bytes", good, 3, -1},
        {"length 10 N + 44", shortByOne, shortByOne.size(), -2},
        {"count wrapping to the length", wrapping, wrapping.size(), -2},
        {"256 points", over255, over255.size(), -2},
        {"header cut short", header, 44, -2},
        {"header announcing a point it lacks", header, header.size(), -2},
    };
    const PacketData before = d->frameGrid();
    for (const Case &c : cases) {
        EXPECT_EQ(d->ProcessPointPacket(c.packet.data(), c.len), c.code) << c.what;
        EXPECT_EQ(d->packetCounter(), 1) << c.what;
    }
    EXPECT_EQ(std::memcmp(&before, &d->frameGrid(), sizeof(PacketData)), 0);
}

TEST(DetectorIntake, BlockOfAPacketLandsInItsCells)
{
    auto d = make_detector();
    settle(*d);
    // 120 points from column 356, row value 10: columns 356-359 of rows 5-34.
    std::vector<RaxoPoint> pts;
    for (int i = 0; i < 120; ++i)
        pts.push_back(raxo_point(uint16_t(1000 + i), int16_t(i), int16_t(-2 * i), int16_t(3 * i), 0));
    ASSERT_EQ(feed_packet(*d, raxo_point_packet(14, 356, 10, pts, 0)), 0);
    const PacketData &g = d->frameGrid();
    EXPECT_EQ(nonzero_cells(g), 120u);
    for (int i = 0; i < 120; ++i) {
        const int cell = (5 + i / 4) * 360 + 356 + i % 4;
        EXPECT_EQ(g.depth[cell], 1000 + i);
        const Point3f p = g.point[cell];
        EXPECT_EQ(p.x, float(i) / 1000.0f * 2.0f);
        EXPECT_EQ(p.y, float(-2 * i) / 1000.0f * 2.0f);
        EXPECT_EQ(p.z, float(3 * i) / 1000.0f * 2.0f);
    }
}

TEST(DetectorIntake, CellsOutsideTheGridAreSkipped)
{
    auto d = make_detector();
    settle(*d);
    // Columns 358-361 of rows 148-150: only columns 358 and 359 of rows 148 and 149 exist.
    ASSERT_EQ(feed_packet(*d, raxo_point_packet(14, 358, 296, points(12), 0)), 0);
    // A column far outside, as a u16 would allow.
    ASSERT_EQ(feed_packet(*d, raxo_point_packet(14, 65535, 0, points(4), 0)), 0);
    const PacketData &g = d->frameGrid();
    EXPECT_EQ(nonzero_cells(g), 4u);
    for (int cell : {148 * 360 + 358, 148 * 360 + 359, 149 * 360 + 358, 149 * 360 + 359})
        EXPECT_EQ(g.depth[cell], 500) << cell;
    EXPECT_EQ(d->packetCounter(), 2);
}

TEST(DetectorIntake, OnlyAWholeFrameIsQueued)
{
    RaxoScene scene;
    scene.object(60, 70, 100, 120, 6.0);
    auto d = make_detector();
    settle(*d);

    // 449 packets, the last of them ending the frame: nothing queued, the cells stay.
    for (const Bytes &p : scene.packets(449))
        ASSERT_EQ(feed_packet(*d, p), 0);
    EXPECT_EQ(d->QueuedFrames(), 0u);
    EXPECT_EQ(d->packetCounter(), 0);
    EXPECT_EQ(nonzero_cells(d->frameGrid()), 11u * 21u);

    // 450: one element holding the frame, and a zero grid.
    feed(*d, scene);
    EXPECT_EQ(d->QueuedFrames(), 1u);
    EXPECT_EQ(d->packetCounter(), 0);
    const PacketData zero = PacketData();
    EXPECT_EQ(std::memcmp(&zero, &d->frameGrid(), sizeof(PacketData)), 0);
    auto f = make_frame();
    ASSERT_TRUE(d->TakeQueuedFrame(*f));
    EXPECT_EQ(d->QueuedFrames(), 0u);
    EXPECT_EQ(nonzero_cells(*f), 11u * 21u);
    const int cell = 65 * 360 + 110;
    EXPECT_EQ(f->depth[cell], 600);
    const Point3f p = f->point[cell];
    EXPECT_EQ(p.x, RaxoScene::cell_x(6.0));
    EXPECT_EQ(p.y, RaxoScene::cell_y(110));
    EXPECT_EQ(p.z, RaxoScene::cell_z(65));
    EXPECT_EQ(f->clusterCount, 0);
    EXPECT_TRUE(d->IsDrained()) << "the frame taken out is finished";
}

TEST(DetectorIntake, WithNoWorkersAFullQueueDropsTheFrame)
{
    RaxoScene scene;
    scene.object(10, 20, 10, 20, 4.0);
    auto d = make_detector();
    settle(*d);
    for (size_t i = 0; i < kDetectorQueueLimit + 3; ++i)
        feed(*d, scene);
    EXPECT_EQ(d->QueuedFrames(), kDetectorQueueLimit);
    EXPECT_EQ(nonzero_cells(d->frameGrid()), 0u) << "a dropped frame still leaves the grid zero";
    d->Reset();
    EXPECT_EQ(d->QueuedFrames(), 0u);
    EXPECT_TRUE(d->IsDrained());
}

TEST(DetectorIntake, RotationLevelsAboutYThenXAndRoundsToMillimetres)
{
    struct Case {
        Point3f in;
        double pitch, roll;
        Point3f out;
    } cases[] = {
        {{1.23456f, -0.0005f, 2.0004f}, 0.0, 0.0, {1.235f, -0.001f, 2.0f}},
        // About y by roll first: x -> -z; then about x by pitch: -z -> y.
        {{1.0f, 0.0f, 0.0f}, M_PI / 2, M_PI / 2, {0.0f, 1.0f, 0.0f}},
        {{0.0f, 1.0f, 0.0f}, M_PI / 2, 0.0, {0.0f, 0.0f, 1.0f}},
        {{0.0f, 0.0f, 1.0f}, 0.0, M_PI / 2, {1.0f, 0.0f, 0.0f}},
    };
    for (const Case &c : cases) {
        const Point3f q = PointCloudAnomalyDetector::rotatePoint(c.in, c.pitch, c.roll);
        EXPECT_EQ(q.x, c.out.x);
        EXPECT_EQ(q.y, c.out.y);
        EXPECT_EQ(q.z, c.out.z);
    }
}
