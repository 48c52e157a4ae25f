// Writes the seed corpora of the fuzz targets: one folder per target under the given folder,
// each input built by the same packet and file builders the tests use.
//   fuzz_make_seeds <folder>

#include "capturefiles.h"
#include "devicepackets.h"
#include "fakeboxcommand.h"
#include "lhframe.h"
#include "laswriter.h"
#include "pcdwriter.h"
#include "fakeraxo.h"
#include "raxoscene.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string g_root;
bool g_ok = true;

void seed(const std::string &target, const std::string &name, const Bytes &bytes)
{
    const fs::path dir = fs::path(g_root) / target;
    fs::create_directories(dir);
    g_ok = write_bytes((dir / name).string(), bytes) && g_ok;
}

// Packets as the parser targets read them: [u16 length][bytes] each.
Bytes packet_list(const std::vector<Bytes> &packets)
{
    Bytes out;
    for (const Bytes &p : packets) {
        const uint8_t len[2] = {uint8_t(p.size()), uint8_t(p.size() >> 8)};
        out.insert(out.end(), len, len + 2);
        append(out, p);
    }
    return out;
}

std::vector<Bytes> raxo_scan(int count)
{
    std::vector<Bytes> out;
    for (int k = 0; k < count; ++k) {
        std::vector<RaxoPoint> pts(4);
        for (size_t j = 0; j < pts.size(); ++j) {
            pts[j].range_cm = uint16_t(100 + k);
            pts[j].x = int16_t(k * 3 + int(j));
            pts[j].intensity = uint8_t(j);
        }
        out.push_back(make_raxo_packet(k % 5 == 0 ? 14 : 1, uint16_t(k + (k == 3 ? 2 : 1)), pts,
                                       k % 4 == 3 ? 2 : 0, uint64_t(k)));
    }
    return out;
}

std::vector<Bytes> vimo_packets(int count, size_t points)
{
    std::vector<Bytes> out;
    for (int k = 0; k < count; ++k) {
        std::vector<VimoPoint> pts(points);
        for (size_t j = 0; j < pts.size(); ++j) {
            pts[j].range_mm = uint32_t(1000 + j);
            pts[j].elevation = uint32_t(j * 700);
            pts[j].azimuth = uint32_t(k * 1000);
        }
        out.push_back(make_vimo_e_packet(uint8_t(k % 2), pts, k == 1 ? 0xC0 : 0, 5, 125));
    }
    return out;
}

std::vector<Bytes> box_packets()
{
    return {make_box_packet({{1, 2, 3, 4}, {5, 6, 7, 8}}, 0), make_box_packet({{-1, 0, 1, 9}}, 2),
            make_box_packet({}, 2)};
}

std::vector<Bytes> lp_measurements(int count)
{
    std::vector<Bytes> out;
    for (int m = 0; m < count; ++m) {
        std::vector<float> xyz;
        for (int j = 0; j < 8; ++j) {
            xyz.push_back(float(j));
            xyz.push_back(float(m));
            xyz.push_back(1000.0f);
        }
        for (Bytes &b : make_lp_plane(1, uint32_t(m), 4, 2, lp_xyz_content(xyz), 48))
            out.push_back(std::move(b));
        for (int16_t type = 2; type <= 5; ++type) {
            std::vector<uint16_t> v(8, uint16_t(100 * type + m));
            for (Bytes &b : make_lp_plane(type, uint32_t(m), 4, 2, lp_u16_content(v), 8))
                out.push_back(std::move(b));
        }
        if (m == 0)
            out.push_back(make_sum_reply(0x8007, Bytes(16, 1)));
    }
    return out;
}

std::vector<Bytes> dump_of(const std::vector<Bytes> &packets, uint16_t type)
{
    std::vector<Bytes> records;
    for (const Bytes &p : packets)
        records.push_back(make_dump_record(type, p));
    return records;
}

std::vector<Bytes> udp_frames(int link, const std::vector<Bytes> &payloads)
{
    std::vector<Bytes> frames;
    for (const Bytes &p : payloads)
        frames.push_back(make_udp_frame(link, p));
    return frames;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    g_root = argv[1];

    // Dumps.
    seed("dump_scan", "raxo.dump", concat(dump_of(raxo_scan(12), 1)));
    Bytes stray = {'x', 'L', 'H', 'L', 'O', 'G', 'H', 0, 3};
    append(stray, concat(dump_of(box_packets(), 4)));
    seed("dump_scan", "box_stray.dump", stray);
    Bytes cut = concat(dump_of(vimo_packets(3, 16), 3));
    cut.resize(cut.size() - 7);
    seed("dump_scan", "vimo_cut.dump", cut);
    seed("dump_scan", "fenk.dump", concat(dump_of(lp_measurements(2), 0)));

    // Raw captures.
    seed("raw_scans", "raxo.raw", concat(raxo_scan(8), 1));
    Bytes vimo = concat(vimo_packets(2, 128), 1);
    append(vimo, lh_make_crc_frame(0xFFAC, 1, "OK", 2));
    vimo.push_back(0);
    seed("raw_scans", "vimo.raw", vimo);
    Bytes box(54, 0);
    wr_u16(box.data(), 30);
    box[11] = 2;
    seed("raw_scans", "box.raw", concat({box, box}, 1));
    std::vector<Bytes> udpp;
    for (const Bytes &p : vimo_packets(2, 128))
        udpp.push_back(make_udpp_record(p));
    seed("raw_scans", "a.vimo", concat(udpp, 1));
    seed("raw_scans", "fenk.raw", concat(lp_measurements(2)));

    // The LP decoder.
    seed("lp_decoder", "stream", concat(lp_measurements(3)));
    seed("lp_decoder", "reply", make_sum_reply(0x8001, Bytes(4, 2)));

    // Parsers.
    seed("parser_raxo", "scan", packet_list(raxo_scan(12)));
    seed("parser_vimo_e", "packets", packet_list(vimo_packets(4, 10)));
    seed("parser_box", "packets", packet_list(box_packets()));
    seed("parser_fenk_u", "measurements", packet_list(lp_measurements(3)));

    // Replies on the box's command channel.
    seed("box_reply", "lsgets", FakeBoxCommand::reply("LSGETS:1.1.1.1 1000 0|2.2.2.2 2000 1"));
    seed("box_reply", "reboot", FakeBoxCommand::reply("REBOOT"));
    Bytes lying = FakeBoxCommand::reply("LQMACH:00:11:22:33:44:55H");
    wr_u16(&lying[6], 0xFFFF);
    seed("box_reply", "lying_length", lying);

    // Point files.
    PointFrame frame;
    for (int i = 0; i < 20; ++i) {
        UserPointData p;
        p.x = float(i) * 0.5f;
        p.y = -float(i);
        p.z = 0.25f;
        p.intensity = uint16_t(i * 100);
        frame.push_back(p);
    }
    const fs::path las_dir = fs::path(g_root) / "las_reader";
    fs::create_directories(las_dir);
    g_ok = LasWriter().write((las_dir / "frame.las").string().c_str(), frame) && g_ok;
    const fs::path pcd_dir = fs::path(g_root) / "pcd_reader";
    fs::create_directories(pcd_dir);
    g_ok = PcdWriter().write((pcd_dir / "frame.pcd").string().c_str(), frame) && g_ok;
    const std::string odd = "# comment\nFIELDS intensity x rgb y z\nPOINTS 4\nDATA ascii\n"
                            "12.5 1 0 2 3\n1 x 2 3 4\n\n70000 -1e3 0 +2 3\n";
    seed("pcd_reader", "odd.pcd", Bytes(odd.begin(), odd.end()));

    // Captures.
    std::vector<Bytes> payloads = raxo_scan(6);
    payloads.push_back(Bytes());
    seed("capture_reader", "ethernet.pcap", write_pcap(LINK_ETHERNET, udp_frames(LINK_ETHERNET, payloads)));
    std::vector<Bytes> mixed = udp_frames(LINK_ETHERNET, payloads);
    mixed.push_back(make_arp_frame());
    mixed.push_back(make_ipv6_frame(payloads[0]));
    seed("capture_reader", "ethernet.pcapng", write_pcapng(LINK_ETHERNET, mixed));
    seed("capture_reader", "sll.pcap", write_pcap(LINK_LINUX_SLL, udp_frames(LINK_LINUX_SLL, payloads)));
    seed("capture_reader", "sll2.pcapng", write_pcapng(LINK_LINUX_SLL2, udp_frames(LINK_LINUX_SLL2, payloads)));
    seed("capture_reader", "null.pcap", write_pcap(LINK_NULL, udp_frames(LINK_NULL, payloads)));
    seed("capture_reader", "raw.pcap", write_pcap(LINK_RAW, udp_frames(LINK_RAW, payloads)));

    // Model files.
    const std::string models =
        "2\r\nperson 12 1765400000000\r\n0.5 0.4 1.7 0.125\r\n8 0.5 0.25 0.125 0.0625 0.0625 0 0 0\r\n"
        "5 0.2 0.2 0.2 0.2 0.2\r\ncar 3 1765400000001\r\n4.5 1.8 1.5 2e-05\r\n0\r\n0\r\n";
    seed("model_file", "two.bin", Bytes(models.begin(), models.end()));
    const std::string broken = "20 a 1 2 3 4 5 6 -1 b 1 2\t3 4 5 6 70 1\n";
    seed("model_file", "broken.bin", Bytes(broken.begin(), broken.end()));

    // The detector's intake: a still sensor, then one scan with an object in view.
    RaxoScene scene;
    scene.object(40, 59, 100, 109, 5.0);
    std::vector<Bytes> intake = {raxo_imu_level_packet(0.0f, 0.0f, 9.8f)};
    for (const Bytes &p : scene.packets())
        intake.push_back(p);
    seed("detector_intake", "scan", packet_list(intake));

    // The training dialog's dump: IMU and point packets in records, a corrupt byte, a record of
    // zero lengths and one cut off at the end.
    Bytes train = make_dump_record(2, raxo_imu_level_packet(0.0f, 0.0f, 9.8f));
    train.push_back(0x4C);
    Bytes zero = make_dump_record(2, Bytes(8, 0));
    zero[7] = 0;
    zero[18] = 0;
    append(train, zero);
    for (int i = 0; i < 3; ++i)
        append(train, make_dump_record(2, scene.packets()[size_t(i)]));
    Bytes cutRecord = make_dump_record(2, scene.packets()[3]);
    cutRecord.resize(cutRecord.size() / 2);
    append(train, cutRecord);
    seed("train_dump_scan", "train.dump", train);

    if (!g_ok) {
        std::fprintf(stderr, "could not write the seeds under %s\n", argv[1]);
        return 1;
    }
    return 0;
}
