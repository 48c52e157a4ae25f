// Floats from a device that no view could place (not a number, an infinity, a value far past
// any sensor's reach) are left out where they are decoded, and what else the datagram holds
// still arrives. Each kind goes through a real receiver on 127.0.0.1 fed by a fake device on
// 127.0.0.2, and through the playback parsers that share the decoders.

#include "boxpacket.h"
#include "fakebox.h"
#include "fakefenku.h"
#include "fenkutesthelpers.h"
#include "playbackparsers.h"
#include "playbacksink.h"
#include "raxotesthelpers.h"
#include "recvboxdataproc.h"
#include "sockethelpers.h"
#include "viewrange.h"
#include "zonemonitor.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

struct Kind {
    const char *name;
    float metres;
    bool shown;
};

const std::vector<Kind> &kinds()
{
    static const std::vector<Kind> k = {
        {"NaN", std::numeric_limits<float>::quiet_NaN(), false},
        {"+inf", std::numeric_limits<float>::infinity(), false},
        {"-inf", -std::numeric_limits<float>::infinity(), false},
        {"1e30", 1e30f, false},
        {"past the limit", 10001.0f, false},
        {"at the limit", -DEVICE_COORD_LIMIT_M, true},
        {"normal", 2.5f, true},
    };
    return k;
}

// Indexes of the kinds a view shows, in order.
std::vector<int> shownKinds()
{
    std::vector<int> out;
    for (size_t k = 0; k < kinds().size(); ++k)
        if (kinds()[k].shown)
            out.push_back(int(k));
    return out;
}

constexpr const char *kAxis[3] = {"x", "y", "z"};

// A 514-byte object list whose object k (id k + 1) carries kind k in the float at `offset`
// within its record, and 1.5 m in every other float.
std::vector<uint8_t> objectList(size_t offset)
{
    std::vector<uint8_t> list(OBJECT_LIST_MSG_SIZE, 0);
    list[0] = uint8_t(kinds().size());
    for (size_t k = 0; k < kinds().size(); ++k) {
        uint8_t *o = list.data() + offsetof(ObjectListMsg, objects) + k * TRACKED_OBJECT_SIZE;
        o[0] = uint8_t(k + 1);
        for (size_t f = offsetof(TrackedObject, length); f < TRACKED_OBJECT_SIZE; f += 4) {
            const float v = f == offset ? kinds()[k].metres : 1.5f;
            std::memcpy(o + f, &v, sizeof v);
        }
    }
    return list;
}

std::vector<int> idsOf(const QByteArray &list)
{
    std::vector<TrackedObject> objects;
    EXPECT_TRUE(object_list_decode(reinterpret_cast<const uint8_t *>(list.constData()),
                                   size_t(list.size()), &objects));
    std::vector<int> ids;
    for (const TrackedObject &o : objects)
        ids.push_back(o.id);
    return ids;
}

// Box points on one axis: point k carries kind k there, 1 m on the other axes and k as its
// intensity, so what arrives tells which came through.
std::vector<BoxPoint> boxPoints(int axis)
{
    std::vector<BoxPoint> pts;
    for (size_t k = 0; k < kinds().size(); ++k) {
        BoxPoint p{1.0f, 1.0f, 1.0f, uint8_t(k)};
        (axis == 0 ? p.x : axis == 1 ? p.y : p.z) = kinds()[k].metres;
        pts.push_back(p);
    }
    return pts;
}

// Fenk-U points in millimetres on one axis: point k carries kind k there and (k + 1) x 100 mm
// on the other two.
std::vector<std::array<float, 3>> fenkPoints(int axis)
{
    std::vector<std::array<float, 3>> pts;
    for (size_t k = 0; k < kinds().size(); ++k) {
        std::array<float, 3> p;
        p.fill(float(k + 1) * 100.0f);
        p[size_t(axis)] = kinds()[k].metres * 1000.0f;
        pts.push_back(p);
    }
    return pts;
}

// Which kinds a Fenk-U frame holds, read back from the axis that was not poisoned.
std::vector<int> fenkKinds(const std::vector<UserPointData> &frame, int axis)
{
    std::vector<int> out;
    for (const UserPointData &p : frame) {
        const float other = axis == 0 ? p.y : p.x;
        out.push_back(int(other * 10.0f + 0.5f) - 1);
    }
    return out;
}

std::vector<int> intensities(const std::vector<UserPointData> &frame)
{
    std::vector<int> out;
    for (const UserPointData &p : frame)
        out.push_back(p.intensity);
    return out;
}

// The frames a parser hands on.
struct FrameSink : PlaybackSink {
    std::vector<PointFrame> frames;
    void frame(const PointFrame &points, float) override
    {
        if (!points.empty())
            frames.push_back(points);
    }
};

PacketViews viewsOf(const std::vector<std::vector<uint8_t>> &datagrams)
{
    PacketViews v;
    for (const auto &d : datagrams)
        v.push_back({d.data(), d.size()});
    return v;
}

} // namespace

TEST(DeviceFloats, TheCheckItself)
{
    for (const Kind &k : kinds()) {
        EXPECT_EQ(coordinate_ok(k.metres), k.shown) << k.name;
        UserPointData p;
        p.z = k.metres;
        EXPECT_EQ(point_coordinates_ok(p), k.shown) << k.name;
    }
    // Files may carry map coordinates; their bound is wider but still refuses what is not a number.
    EXPECT_TRUE(coordinate_ok(5800843.0f, FILE_COORD_LIMIT_M));
    EXPECT_FALSE(coordinate_ok(std::numeric_limits<float>::quiet_NaN(), FILE_COORD_LIMIT_M));
    EXPECT_FALSE(coordinate_ok(1e30f, FILE_COORD_LIMIT_M));
}

// Raxo "AM" packets carry the tracked objects; the receiver posts the list, and the decoder
// every reader uses (2D view, 3D boxes, object table) keeps only the objects a view can place.
TEST(DeviceFloats, RaxoObjectListsThroughTheReceiver)
{
    FakeRaxo fake;
    ASSERT_TRUE(fake.ok());
    const int dataPort = free_udp_port();
    RecvDataProc2 rx;
    rx.init(dataPort, "127.0.0.2", fake.listen_port());
    rx.setBindAddress("127.0.0.1");
    rx.lidartype = LIDAR_RAXO_S;
    QObject context;
    RaxoPosted posted;
    collect(&rx, &context, &posted);
    fake.set_host("127.0.0.1", dataPort);
    rx.start();
    ASSERT_TRUE(wait_until([&] { return posted.count(MSG_RECV_STARTED) == 1; }));

    // One list per float of the record: centre x, y, z, then length, width, height.
    const size_t fields[] = {offsetof(TrackedObject, center_x), offsetof(TrackedObject, center_y),
                             offsetof(TrackedObject, center_z), offsetof(TrackedObject, length),
                             offsetof(TrackedObject, width),    offsetof(TrackedObject, height)};
    for (const size_t f : fields)
        ASSERT_GT(fake.send_data(raxo_zone_monitor_packet(0, objectList(f))), 0);
    ASSERT_TRUE(wait_until([&] { return posted.count(MSG_ZONE_MONITOR) == 6; }));

    std::vector<int> expected;
    for (const int k : shownKinds())
        expected.push_back(k + 1);
    int list = 0;
    for (const auto &d : posted.data) {
        if (d.first != MSG_ZONE_MONITOR)
            continue;
        EXPECT_EQ(idsOf(d.second), expected) << "float at offset " << fields[list];
        ++list;
    }
    rx.stop();
    EXPECT_TRUE(rx.wait(5000));
    QCoreApplication::processEvents();
}

// Box "LHAB" datagrams: points and object centres are floats as sent.
TEST(DeviceFloats, BoxPointsAndObjectsThroughTheReceiver)
{
    FakeBox fake;
    ASSERT_TRUE(fake.ok()) << "port 6002 on 127.0.0.2";
    RecvBoxDataProc rx;
    rx.setBindAddress("127.0.0.1");
    rx.init(FakeBox::kPort, "127.0.0.2", FakeBox::kPort);
    ReceiverProbe probe;
    probe.watch(&rx);
    rx.start();
    ASSERT_TRUE(fake.peer().wait_for(1, 5000)) << "the receiver greets the box when it is up";

    for (int axis = 0; axis < 3; ++axis) {
        LhabSpec s;
        s.points = boxPoints(axis);
        s.frame_flag = BOX_FRAME_END;
        fake.send(make_lhab(s));
    }
    ASSERT_TRUE(wait_until([&] { return probe.frames.size() == 3; }));
    for (int axis = 0; axis < 3; ++axis)
        EXPECT_EQ(intensities(probe.frames[size_t(axis)]), shownKinds()) << kAxis[axis];

    // Objects: object k + 1 has kind k in one coordinate of its centre; the last ends the frame.
    rx.SetShowObjects(true);
    for (int axis = 0; axis < 3; ++axis) {
        for (size_t k = 0; k < kinds().size(); ++k) {
            LhabSpec s;
            s.upload_type = BOX_UPLOAD_OBJECTS;
            s.object_id = uint8_t(k + 1);
            s.cx = s.cy = s.cz = 2.0f;
            (axis == 0 ? s.cx : axis == 1 ? s.cy : s.cz) = kinds()[k].metres;
            s.points = {{0.5f, 0.25f, 0.125f, 1}};
            s.frame_flag = k + 1 == kinds().size() ? BOX_FRAME_END : 0;
            fake.send(make_lhab(s));
        }
    }
    ASSERT_TRUE(wait_until([&] { return probe.frames.size() == 6; }));
    std::vector<int> expected;
    for (const int k : shownKinds())
        expected.push_back(k + 1);
    for (int axis = 0; axis < 3; ++axis) {
        std::vector<int> ids;
        for (const UserPointData &o : probe.frames[size_t(3 + axis)])
            ids.push_back(box_object_id(o));
        EXPECT_EQ(ids, expected) << kAxis[axis];
    }
    rx.stop();
    EXPECT_TRUE(rx.wait(5000));
    drain_events();
}

// Fenk-U point frames: x, y, z are floats in millimetres as the camera sends them.
TEST(DeviceFloats, FenkUPointsThroughTheReceiver)
{
    FakeFenkU fake;
    ASSERT_TRUE(fake.ok());
    const int hostPort = free_udp_port();
    RecvDataProc rx;
    rx.init(QString::fromStdString(fake.ip()), fake.port(), hostPort);
    rx.setBindAddress("127.0.0.1");
    QObject context;
    FenkPosted posted;
    collect(&rx, &context, &posted);
    fake.set_host("127.0.0.1", hostPort);
    rx.start();
    ASSERT_TRUE(wait_until([&] { return posted.count(MSG_RECV_STARTED) == 1; }));

    const uint16_t n = uint16_t(kinds().size());
    for (int axis = 0; axis < 3; ++axis) {
        fake.send_all(fenku_frame(1, n, 1, lp_xyz_content(fenkPoints(axis))));
        ASSERT_TRUE(wait_until([&] { return posted.frames.size() == size_t(axis + 1); }));
        EXPECT_EQ(fenkKinds(posted.frames.back(), axis), shownKinds()) << kAxis[axis];
    }
    rx.stop();
    EXPECT_TRUE(rx.wait(5000));
    QCoreApplication::processEvents();
}

// Recordings of the same devices replay through the same checks.
TEST(DeviceFloats, PlaybackParsersLeaveTheSamePointsOut)
{
    for (int axis = 0; axis < 3; ++axis) {
        SCOPED_TRACE(kAxis[axis]);
        const std::vector<std::vector<uint8_t>> box = {make_box_packet(boxPoints(axis), BOX_FRAME_END)};
        const PacketViews boxViews = viewsOf(box);
        FrameSink boxSink;
        parse_box_packets(boxViews.data(), boxViews.size(), boxSink);
        ASSERT_EQ(boxSink.frames.size(), 1u);
        EXPECT_EQ(intensities(boxSink.frames[0]), shownKinds());

        // A Fenk-U recording shows frames of its highest data type from the second one on.
        const uint16_t n = uint16_t(kinds().size());
        std::vector<std::vector<uint8_t>> fenk = fenku_frame(1, n, 1, lp_xyz_content(fenkPoints(axis)));
        const auto again = fenk;
        fenk.insert(fenk.end(), again.begin(), again.end());
        const PacketViews fenkViews = viewsOf(fenk);
        FrameSink fenkSink;
        uint8_t highest = 0;
        parse_fenk_u_packets(fenkViews.data(), fenkViews.size(), fenkSink, &highest);
        ASSERT_EQ(fenkSink.frames.size(), 1u);
        EXPECT_EQ(fenkKinds(fenkSink.frames[0], axis), shownKinds());
    }
}
