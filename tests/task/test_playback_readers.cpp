// The packet-file readers: dumps, raw captures, pcap and pcapng, "udpp" records.

#include "capturereader.h"
#include "lhframe.h"
#include "playbacktestutil.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

// Points of a Raxo packet from raxo_packets() as the parser must build them.
UserPointData expected_raxo_point(int k, int j)
{
    UserPointData p;
    p.x = float(int16_t(k * 10 + j)) / 1000.0f * 2.0f;
    p.y = float(int16_t(-j)) / 1000.0f * 2.0f;
    p.z = float(int16_t(k - j)) / 1000.0f * 2.0f;
    p.intensity = uint16_t(uint8_t(k + j));
    p.distance = float(uint16_t(100 * k + j)) / 100.0f;
    return p;
}

void expect_same_point(const UserPointData &a, const UserPointData &b)
{
    const float ax = a.x, bx = b.x, ay = a.y, by = b.y, az = a.z, bz = b.z;
    const float ad = a.distance, bd = b.distance;
    const uint16_t ai = a.intensity, bi = b.intensity, adp = a.depth, bdp = b.depth;
    const uint16_t af = a.deep_field, bf = b.deep_field;
    const uint8_t as = a.selected, bs = b.selected;
    EXPECT_EQ(ax, bx);
    EXPECT_EQ(ay, by);
    EXPECT_EQ(az, bz);
    EXPECT_EQ(ai, bi);
    EXPECT_EQ(ad, bd);
    EXPECT_EQ(adp, bdp);
    EXPECT_EQ(af, bf);
    EXPECT_EQ(as, bs);
}

bool same_frames(const std::vector<CachedFrame> &a, const std::vector<CachedFrame> &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].progress != b[i].progress || a[i].points.size() != b[i].points.size())
            return false;
        if (!a[i].points.empty()
            && std::memcmp(a[i].points.data(), b[i].points.data(),
                           a[i].points.size() * sizeof(UserPointData))
                   != 0)
            return false;
    }
    return true;
}

std::vector<Bytes> as_dump(const std::vector<Bytes> &packets, uint16_t type)
{
    std::vector<Bytes> records;
    for (const Bytes &p : packets)
        records.push_back(make_dump_record(type, p));
    return records;
}

// ---- dumps ----

TEST(LogReader, RaxoDumpOfThirtyPacketsGivesThreeFramesAndTheEndReport)
{
    const auto packets = raxo_packets(30, 10, 20);
    const std::string path = temp_file("scan.dump", concat(as_dump(packets, LIDAR_RAXO_E)));
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    proc.recv_playback(QString::fromStdString(path), PlaybackProc::LOG_DUMP, LIDAR_UNKNOWN);

    ASSERT_EQ(rec.frames.size(), 4u);
    const float progress[4] = {float(9 * 100.0 / 30), float(19 * 100.0 / 30),
                               float(29 * 100.0 / 30), 100.0f};
    for (int f = 0; f < 3; ++f) {
        EXPECT_EQ(rec.frames[f].progress, progress[f]);
        ASSERT_EQ(rec.frames[f].points.size(), 200u);
        for (int k = 0; k < 10; ++k)
            for (int j = 0; j < 20; ++j)
                expect_same_point(rec.frames[f].points[size_t(20 * k + j)],
                                  expected_raxo_point(10 * f + k, j));
    }
    EXPECT_EQ(rec.frames[3].progress, 100.0f);
    EXPECT_TRUE(rec.frames[3].points.empty());
    EXPECT_TRUE(rec.texts(MSG_ERROR).empty()); // indices 1..30: no drop
    EXPECT_EQ(rec.lidar_type_report(), QByteArray("1"));
    EXPECT_EQ(rec.cache_end_report().toStdString(), end_text(30, 3));
    EXPECT_EQ(rec.finished, 1);
}

TEST(LogReader, IndexGapLogsTheDropLineOnce)
{
    auto packets = raxo_packets(6, 6, 2);
    // Indices 1, 2, 3, 5, 6, 7.
    for (size_t k = 3; k < packets.size(); ++k)
        wr_u16(&packets[k][7], uint16_t(k + 2));
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    const std::string path = temp_file("gap.dump", concat(as_dump(packets, LIDAR_RAXO_S)));
    EXPECT_TRUE(proc.LogReader(path.c_str()));
    ASSERT_EQ(rec.texts(MSG_ERROR).size(), 1u);
    EXPECT_EQ(rec.texts(MSG_ERROR)[0], QByteArray("drop package last index: 3 now index:5"));
    EXPECT_EQ(rec.lidar_type_report(), QByteArray("2"));
    // The packet after the gap is parsed all the same.
    ASSERT_EQ(rec.frames.size(), 2u);
    EXPECT_EQ(rec.frames[0].points.size(), 12u);
}

// A recording made while the sensor had long been sending: its first index is wherever the
// sensor's count stood, and only a gap inside the file is reported.
TEST(LogReader, RecordingFromMidStreamReportsOnlyItsOwnGaps)
{
    auto packets = raxo_packets(8, 6, 2);
    // Indices 291 to 296, then 298 and 299.
    for (size_t k = 0; k < packets.size(); ++k)
        wr_u16(&packets[k][7], uint16_t(291 + k + (k >= 6 ? 1 : 0)));
    for (const size_t whole : {size_t(6), packets.size()}) {
        SCOPED_TRACE(whole);
        PlaybackProc proc;
        PlaybackRecorder rec(proc);
        const std::vector<Bytes> part(packets.begin(), packets.begin() + long(whole));
        const std::string path = temp_file("midstream.dump", concat(as_dump(part, LIDAR_RAXO_S)));
        EXPECT_TRUE(proc.LogReader(path.c_str()));
        std::vector<std::string> drops;
        for (const QByteArray &t : rec.texts(MSG_ERROR))
            drops.push_back(t.toStdString());
        if (whole == 6)
            EXPECT_TRUE(drops.empty()) << drops.front();
        else
            EXPECT_EQ(drops, std::vector<std::string>{"drop package last index: 296 now index:298"});
    }
}

TEST(LogReader, StrayBytesBeforeTheFirstRecordChangeNothing)
{
    const auto records = as_dump(raxo_packets(12, 4, 5), LIDAR_RAXO_E);
    PlaybackProc proc;
    PlaybackRecorder clean(proc);
    ASSERT_TRUE(proc.LogReader(temp_file("clean.dump", concat(records)).c_str()));

    PlaybackProc proc2;
    PlaybackRecorder stray(proc2);
    // Ten stray bytes, among them a false start of a header.
    Bytes file = {'x', 'L', 'H', 'L', 'O', 'G', 'L', 0, 0x14, 9};
    append(file, concat(records));
    ASSERT_TRUE(proc2.LogReader(temp_file("stray.dump", file).c_str()));

    EXPECT_TRUE(same_frames(clean.frames, stray.frames));
    EXPECT_EQ(clean.cache_end_report(), stray.cache_end_report());
    EXPECT_EQ(stray.cache_end_report().toStdString(), end_text(12, 3));
}

TEST(LogReader, FileStartingInsideASplitRecordPlaysFromTheFirstWholeRecord)
{
    // Old recordings cut a record at the file limit: the next file begins with its tail.
    const auto records = as_dump(raxo_packets(8, 4, 5), LIDAR_RAXO_E);
    Bytes file(records[0].begin() + 30, records[0].end()); // tail of a record
    for (size_t k = 1; k < records.size(); ++k)
        append(file, records[k]);
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    ASSERT_TRUE(proc.LogReader(temp_file("tail.dump", file).c_str()));
    EXPECT_EQ(rec.cache_end_report().toStdString(), end_text(7, 2));
}

TEST(LogReader, CutOffLastRecordKeepsTheOthersAndItsTypePicksTheParser)
{
    // Vimo-E records, then a cut-off record of type 1: the Raxo parser reads them all.
    std::vector<Bytes> packets = raxo_packets(4, 2, 3);
    Bytes file = concat(as_dump(packets, LIDAR_VIMO_E));
    Bytes last = make_dump_record(LIDAR_RAXO_E, packets[0]);
    last.resize(last.size() - 5);
    append(file, last);
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    ASSERT_TRUE(proc.LogReader(temp_file("cut.dump", file).c_str()));
    EXPECT_EQ(rec.lidar_type_report(), QByteArray("1"));
    EXPECT_EQ(rec.cache_end_report().toStdString(), end_text(4, 2));
    EXPECT_EQ(rec.final_frames(), 1);
}

TEST(LogReader, RecordsOfAnUnknownTypeRunNoParser)
{
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    const auto records = as_dump(raxo_packets(5, 2, 3), 6);
    ASSERT_TRUE(proc.LogReader(temp_file("six.dump", concat(records)).c_str()));
    EXPECT_TRUE(rec.frames.empty());
    EXPECT_EQ(rec.lidar_type_report(), QByteArray("5"));
    EXPECT_EQ(rec.cache_end_report().toStdString(), end_text(5, 0));
}

TEST(LogReader, BoxDumpGivesFramesByValue)
{
    std::vector<Bytes> packets;
    packets.push_back(make_box_packet({{1.5f, -2.25f, 0.5f, 7}, {3.0f, 4.0f, -1.0f, 200}}, 0));
    packets.push_back(make_box_packet({{-0.125f, 8.0f, 2.0f, 9}}, 2));
    packets.push_back(make_box_packet({}, 2)); // an empty frame is still a frame
    packets.push_back(make_box_packet({{0.0f, 0.0f, 1.0f, 1}}, 0));
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    ASSERT_TRUE(proc.LogReader(temp_file("box.dump", concat(as_dump(packets, LIDAR_ALG_BOX))).c_str()));
    ASSERT_EQ(rec.frames.size(), 3u);
    ASSERT_EQ(rec.frames[0].points.size(), 3u);
    EXPECT_EQ(rec.frames[0].progress, 25.0f);
    const UserPointData &p = rec.frames[0].points[1];
    const float x = p.x, y = p.y, z = p.z;
    const uint16_t i = p.intensity;
    EXPECT_EQ(x, 3.0f);
    EXPECT_EQ(y, 4.0f);
    EXPECT_EQ(z, -1.0f);
    EXPECT_EQ(i, 200);
    EXPECT_TRUE(rec.frames[1].points.empty());
    EXPECT_EQ(rec.frames[1].progress, 50.0f);
    ASSERT_EQ(rec.frames[2].points.size(), 1u);
    EXPECT_EQ(rec.frames[2].progress, 100.0f);
    EXPECT_EQ(rec.cache_end_report().toStdString(), end_text(4, 2));
}

// ---- raw captures ----

TEST(RawReader, RaxoPacketsWithOneSpareByteEachAreAllFound)
{
    const auto packets = raxo_packets(6, 3, 4);
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    ASSERT_TRUE(proc.RawReader(temp_file("raxo.raw", concat(packets, 1)).c_str(), LIDAR_RAXO_E));
    EXPECT_EQ(rec.cache_end_report().toStdString(), end_text(6, 2));
    ASSERT_EQ(rec.frames.size(), 3u);
    expect_same_point(rec.frames[1].points[0], expected_raxo_point(3, 0));
}

TEST(RawReader, BackToBackRaxoPacketsMissTheSecond)
{
    const auto packets = raxo_packets(2, 2, 4);
    PacketViews views;
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    ASSERT_TRUE(proc.RawReader(temp_file("b2b.raw", concat(packets)).c_str(), LIDAR_RAXO_E));
    // The scan lands on the second packet's second byte and steps through it.
    EXPECT_EQ(rec.cache_end_report().toStdString(), end_text(1, 0));
}

TEST(RawReader, VimoCaptureKeepsOnly128PointPackets)
{
    std::vector<VimoPoint> pts(128);
    for (size_t j = 0; j < pts.size(); ++j) {
        pts[j].range_mm = uint32_t(1000 + j);
        pts[j].elevation = 90000;
        pts[j].azimuth = uint32_t(j * 1000);
        pts[j].intensity = uint8_t(j);
    }
    Bytes file;
    append(file, make_vimo_e_packet(0, pts));
    file.push_back(0);
    const Bytes reply = lh_make_crc_frame(0xFFAC, 1, "OK", 2);
    append(file, reply);
    file.push_back(0);
    Bytes block(520, 0x11);
    block[0] = 0xFA;
    block[1] = 0x88;
    append(file, block);
    file.push_back(0);
    append(file, make_vimo_e_packet(1, std::vector<VimoPoint>(64))); // not 128 points: skipped
    file.push_back(0);
    append(file, make_vimo_e_packet(0, pts));
    file.push_back(0);

    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    ASSERT_TRUE(proc.RawReader(temp_file("vimo.raw", file).c_str(), LIDAR_VIMO_E));
    EXPECT_EQ(rec.cache_end_report().toStdString(), end_text(2, 0));
    ASSERT_EQ(rec.frames.size(), 1u);
    ASSERT_EQ(rec.frames[0].points.size(), 256u);
    // Elevation code 90000 lies in the horizontal plane; azimuth 90 degrees is +y.
    const UserPointData p = rec.frames[0].points[90];
    const float x = p.x, y = p.y, z = p.z;
    const uint16_t intensity = p.intensity;
    EXPECT_NEAR(x, 0.0f, 1e-6);
    EXPECT_FLOAT_EQ(y, 1.090f);
    EXPECT_EQ(z, 0.0f);
    EXPECT_EQ(intensity, 90);
}

TEST(RawReader, BoxBlocksAreCutAtTheirMarkers)
{
    Bytes file;
    for (int k = 0; k < 5; ++k) {
        Bytes block(54, 0);
        wr_u16(&block[0], k % 2 == 0 ? 30 : 90);
        block[11] = k == 1 || k == 4 ? 2 : 0;
        append(file, block);
        file.push_back(0xFF);
    }
    file.insert(file.begin(), {'L', 'M'});
    file.insert(file.begin() + 2, 111, 0x00); // an "LM" block of 113 bytes before
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    ASSERT_TRUE(proc.RawReader(temp_file("box.raw", file).c_str(), LIDAR_ALG_BOX));
    EXPECT_EQ(rec.cache_end_report().toStdString(), end_text(5, 2));
    ASSERT_EQ(rec.frames.size(), 3u);
    EXPECT_EQ(rec.frames[0].progress, 20.0f);
    EXPECT_EQ(rec.frames[1].progress, 80.0f);
}

TEST(RawReader, UnknownLidarTypeReadsNothing)
{
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    ASSERT_TRUE(proc.RawReader(temp_file("x.raw", concat(raxo_packets(3, 1, 2), 1)).c_str(), 9));
    EXPECT_TRUE(rec.frames.empty());
    EXPECT_EQ(rec.lidar_type_report(), QByteArray("9"));
    EXPECT_EQ(rec.cache_end_report().toStdString(), end_text(0, 0));
}

TEST(RawReader, UnopenableFileIsReportedWithItsName)
{
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    const std::string path = testsupport::make_temp_subdir("pb") + "/none.raw";
    EXPECT_FALSE(proc.RawReader(path.c_str(), LIDAR_RAXO_E));
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0].type, MSG_LOG);
    EXPECT_EQ(rec.messages[0].text.toStdString(), "The playback file is open failed!:" + path);
}

// ---- pcap and pcapng ----

std::vector<Bytes> frames_of(int link, const std::vector<Bytes> &payloads,
                             const UdpFrameOptions &o = {})
{
    std::vector<Bytes> frames;
    for (const Bytes &p : payloads)
        frames.push_back(make_udp_frame(link, p, o));
    return frames;
}

struct CaptureCase {
    const char *name;
    int link;
    bool pcapng;
    UdpFrameOptions options;
};

void PrintTo(const CaptureCase &c, std::ostream *os)
{
    *os << c.name;
}

class SameTraffic : public testing::TestWithParam<CaptureCase> {};

// The same UDP traffic gives the same frames as its dump, whatever the capture's format and
// link type; ARP and IPv6 packets in between are skipped.
TEST_P(SameTraffic, GivesTheFramesOfTheDump)
{
    const CaptureCase &c = GetParam();
    const auto packets = raxo_packets(9, 3, 6);
    PlaybackProc ref;
    PlaybackRecorder expected(ref);
    ASSERT_TRUE(ref.LogReader(temp_file("ref.dump", concat(as_dump(packets, LIDAR_RAXO_E))).c_str()));
    ASSERT_EQ(expected.frames.size(), 4u);

    std::vector<Bytes> frames = frames_of(c.link, packets, c.options);
    if (c.link == LINK_ETHERNET) {
        frames.insert(frames.begin() + 2, make_arp_frame());
        frames.insert(frames.begin() + 5, make_ipv6_frame(packets[0]));
    }
    const Bytes file = c.pcapng ? write_pcapng(c.link, frames) : write_pcap(c.link, frames);
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    EXPECT_TRUE(proc.WiressharkReader(temp_file(c.pcapng ? "t.pcapng" : "t.pcap", file).c_str(),
                                      c.pcapng, LIDAR_RAXO_E));
    EXPECT_TRUE(same_frames(expected.frames, rec.frames)) << c.name;
    EXPECT_EQ(rec.cache_end_report().toStdString(), end_text(9, 3));
    EXPECT_EQ(rec.lidar_type_report(), QByteArray("1"));
}

UdpFrameOptions with_vlan(int tags)
{
    UdpFrameOptions o;
    o.vlan_tags = tags;
    return o;
}

UdpFrameOptions with_ip_options(int words)
{
    UdpFrameOptions o;
    o.ip_option_words = words;
    return o;
}

INSTANTIATE_TEST_SUITE_P(
    Links, SameTraffic,
    testing::Values(CaptureCase{"pcap ethernet", LINK_ETHERNET, false, {}},
                    CaptureCase{"pcapng ethernet", LINK_ETHERNET, true, {}},
                    CaptureCase{"pcap linux cooked", LINK_LINUX_SLL, false, {}},
                    CaptureCase{"pcapng linux cooked", LINK_LINUX_SLL, true, {}},
                    CaptureCase{"pcap linux cooked v2", LINK_LINUX_SLL2, false, {}},
                    CaptureCase{"pcap bsd loopback", LINK_NULL, false, {}},
                    CaptureCase{"pcapng openbsd loopback", LINK_LOOP, true, {}},
                    CaptureCase{"pcap raw ip", LINK_RAW, false, {}},
                    CaptureCase{"pcapng raw ipv4", LINK_IPV4, true, {}},
                    CaptureCase{"pcap vlan", LINK_ETHERNET, false, with_vlan(2)},
                    CaptureCase{"pcapng ip options", LINK_ETHERNET, true, with_ip_options(3)}));

TEST(WiressharkReader, FortyTwoBytePacketGivesAnEmptyEntry)
{
    std::vector<Bytes> frames = frames_of(LINK_ETHERNET, {Bytes(), raxo_packets(1, 1, 2)[0]});
    ASSERT_EQ(frames[0].size(), 42u);
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    EXPECT_TRUE(proc.WiressharkReader(temp_file("e.pcap", write_pcap(LINK_ETHERNET, frames)).c_str(),
                                      false, LIDAR_RAXO_E));
    EXPECT_EQ(rec.cache_end_report().toStdString(), end_text(2, 1));

    CaptureReader reader;
    ASSERT_TRUE(reader.read_memory(write_pcap(LINK_ETHERNET, frames).data(),
                                   write_pcap(LINK_ETHERNET, frames).size()));
    ASSERT_EQ(reader.payload_count(), 2u);
    EXPECT_EQ(reader.payloads()[0].size, 0u);
}

TEST(WiressharkReader, CaptureWithoutFrameEndsGivesOneFinalFrame)
{
    auto packets = raxo_packets(5, 100, 3); // no packet sets the frame flag
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    EXPECT_FALSE(proc.WiressharkReader(
        temp_file("n.pcapng", write_pcapng(LINK_ETHERNET, frames_of(LINK_ETHERNET, packets))).c_str(),
        true, LIDAR_RAXO_E));
    ASSERT_EQ(rec.frames.size(), 1u);
    EXPECT_EQ(rec.frames[0].progress, 100.0f);
    EXPECT_EQ(rec.frames[0].points.size(), 15u);
    EXPECT_EQ(rec.cache_end_report().toStdString(), end_text(5, 0));
}

TEST(WiressharkReader, UnreadableCaptureEndsWithAnEmptyReport)
{
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    EXPECT_FALSE(proc.WiressharkReader(temp_file("bad.pcap", Bytes(5000, 0x42)).c_str(), false,
                                       LIDAR_RAXO_E));
    EXPECT_EQ(rec.cache_end_report().toStdString(), end_text(0, 0));
    EXPECT_EQ(rec.final_frames(), 1);
}

struct RealCapture {
    const char *file;
    int link;
    size_t packets;
    size_t ipv4;
};

void PrintTo(const RealCapture &c, std::ostream *os)
{
    *os << c.file;
}

class RealCaptures : public testing::TestWithParam<RealCapture> {};

TEST_P(RealCaptures, KeepEveryIpv4PacketAndFindNoFrames)
{
    const RealCapture &c = GetParam();
    const std::string path = data_path(std::string("pcap/") + c.file);
    CaptureReader reader;
    ASSERT_TRUE(reader.read_file(path.c_str())) << reader.error();
    EXPECT_EQ(reader.packets_read(), c.packets);
    EXPECT_EQ(reader.payload_count(), c.ipv4);

    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    EXPECT_FALSE(proc.WiressharkReader(path.c_str(), std::strstr(c.file, "pcapng") != nullptr,
                                       LIDAR_RAXO_E));
    EXPECT_EQ(rec.cache_end_report().toStdString(), end_text(c.ipv4, 0));
    ASSERT_EQ(rec.frames.size(), 1u);
    EXPECT_TRUE(rec.frames[0].points.empty());
}

INSTANTIATE_TEST_SUITE_P(
    TcpdumpCaptures, RealCaptures,
    testing::Values(RealCapture{"dhcp-rfc4388.pcap", 1, 54, 42},
                    RealCapture{"forces2.pcap", 113, 75, 75},
                    RealCapture{"ikev2four.pcap", 0, 21, 21},
                    RealCapture{"quic_retry.pcap", 0, 23, 0},
                    RealCapture{"OSPFv2_Capture_FINAL.pcapng", 1, 30, 30},
                    RealCapture{"of13_ericsson.pcapng", 1, 174, 174}));

// In an Ethernet capture without IP options the payload is the captured bytes from 42 on.
TEST(RealCaptures, EthernetPayloadsStartAtByte42)
{
    const Bytes file = testsupport::read_file(data_path("pcap/dhcp-rfc4388.pcap"));
    ASSERT_GT(file.size(), 24u);
    CaptureReader reader;
    ASSERT_TRUE(reader.read_memory(file.data(), file.size()));
    const PacketViews views = reader.payloads();
    size_t pos = 24;
    size_t k = 0;
    while (pos + 16 <= file.size()) {
        const size_t caplen = rd_u32(&file[pos + 8]);
        const uint8_t *pkt = &file[pos + 16];
        pos += 16 + caplen;
        if (caplen < 34 || pkt[12] != 0x08 || pkt[13] != 0x00 || pkt[14] != 0x45)
            continue;
        ASSERT_LT(k, views.size());
        ASSERT_EQ(views[k].size, caplen - 42);
        EXPECT_EQ(std::memcmp(views[k].data, pkt + 42, caplen - 42), 0);
        ++k;
    }
    EXPECT_EQ(k, 42u);
}

// ---- "udpp" records ----

Bytes vimo_128(uint8_t seed)
{
    std::vector<VimoPoint> pts(128);
    for (size_t j = 0; j < pts.size(); ++j) {
        pts[j].range_mm = 2000;
        pts[j].elevation = uint32_t(j * 100);
        pts[j].azimuth = uint32_t(seed) * 1000;
        pts[j].intensity = seed;
    }
    return make_vimo_e_packet(0, pts);
}

TEST(MarivexReader, RecordsWithASpareByteAreAllFound)
{
    std::vector<Bytes> records;
    for (uint8_t k = 0; k < 4; ++k)
        records.push_back(make_udpp_record(vimo_128(k)));
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    ASSERT_TRUE(proc.MarivexReader(temp_file("a.vimo", concat(records, 1)).c_str(), LIDAR_VIMO_E));
    EXPECT_EQ(rec.cache_end_report().toStdString(), end_text(4, 0));
    EXPECT_EQ(rec.lidar_type_report(), QByteArray("3"));
    ASSERT_EQ(rec.frames.size(), 1u);
    ASSERT_EQ(rec.frames[0].points.size(), 512u);
    const uint16_t intensity = rec.frames[0].points[3 * 128].intensity;
    EXPECT_EQ(intensity, 3);
}

TEST(MarivexReader, BackToBackRecordsMissEveryOther)
{
    std::vector<Bytes> records;
    for (uint8_t k = 0; k < 4; ++k)
        records.push_back(make_udpp_record(vimo_128(k)));
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    ASSERT_TRUE(proc.MarivexReader(temp_file("b.vimo", concat(records)).c_str(), LIDAR_VIMO_E));
    EXPECT_EQ(rec.cache_end_report().toStdString(), end_text(2, 0));
}

TEST(MarivexReader, OtherLidarTypesReadNothing)
{
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    const Bytes file = concat({make_udpp_record(vimo_128(1))}, 1);
    ASSERT_TRUE(proc.MarivexReader(temp_file("c.vimo", file).c_str(), LIDAR_RAXO_E));
    EXPECT_TRUE(rec.frames.empty());
    EXPECT_EQ(rec.cache_end_report().toStdString(), end_text(0, 0));
}

TEST(MarivexReader, OtherRecordLengthsAreSteppedOver)
{
    Bytes file = make_udpp_record(Bytes(100, 'u'));
    file.push_back(0);
    append(file, make_udpp_record(vimo_128(5)));
    file.push_back(0);
    const QList<QByteArray> list = PlaybackProc().parse_data_vimo_e_marivex(
        reinterpret_cast<const char *>(file.data()), int(file.size()));
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list[0].size(), 1316);
}

} // namespace
