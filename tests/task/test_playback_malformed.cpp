// Malformed files: every one ends its request (the end report for packet files, finished for
// point files) promptly, without reading past a buffer or looping, under ASan and UBSan too.

#include "lhframe.h"
#include "logmanager.h"
#include "playbacktestutil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {

struct BadFile {
    const char *name;
    const char *file_name;
    int log_type;
    int lidar_type;
    std::function<Bytes()> make;
    bool end_report; // packet files end with the report; point files only with finished
};

constexpr size_t kSize = 8192; // above the playback floor

Bytes dump_with(uint8_t header_length, uint16_t length, size_t records)
{
    Bytes f;
    for (size_t k = 0; k < records; ++k) {
        Bytes r(20, 0);
        make_dump_header(r.data(), 0, LIDAR_RAXO_E, length);
        r[7] = header_length;
        append(f, r);
    }
    return pad_to(f, kSize, 'L');
}

Bytes udpp_with(uint32_t length)
{
    Bytes f;
    for (int k = 0; k < 200; ++k) {
        Bytes r = {'u', 'd', 'p', 'p', 0, 0, 0, 0};
        wr_u32(&r[4], length);
        append(f, r);
    }
    return pad_to(f, kSize, 'u');
}

Bytes one_byte_frames_pcap(bool captured_one_byte)
{
    std::vector<Bytes> frames;
    for (int k = 0; k < 300; ++k)
        frames.push_back(captured_one_byte ? Bytes(1, 0x45) : make_udp_frame(LINK_ETHERNET, {0x5A}));
    return write_pcap(LINK_ETHERNET, frames);
}

Bytes truncated_pcap()
{
    Bytes f = write_pcap(LINK_ETHERNET, std::vector<Bytes>(40, make_udp_frame(LINK_ETHERNET, Bytes(200, 1))));
    wr_u32(&f[24 + 8], 0x7FFFFFF0); // the first record claims more than the file holds
    return f;
}

Bytes truncated_pcapng()
{
    Bytes f = write_pcapng(LINK_LINUX_SLL, std::vector<Bytes>(40, make_udp_frame(LINK_LINUX_SLL, Bytes(200, 1))));
    f.resize(f.size() - 100);
    return f;
}

Bytes pcd_with(const std::string &header_and_data)
{
    std::string s = header_and_data;
    while (s.size() < kSize)
        s += "\n";
    return Bytes(s.begin(), s.end());
}

Bytes las_lying()
{
    Bytes f(227 + 34 * 200, 0);
    std::memcpy(&f[0], "LASF", 4);
    f[24] = 1;
    f[25] = 2;
    wr_u16(&f[94], 227);
    wr_u32(&f[96], 227);
    f[104] = 3;
    wr_u16(&f[105], 34);
    wr_u32(&f[107], 0xFFFFFFFF);
    return f;
}

Bytes las_header_past_end()
{
    Bytes f = las_lying();
    wr_u16(&f[94], 0xFFFF);
    return pad_to(f, kSize);
}

Bytes lp_stream_with_huge_lengths()
{
    Bytes f;
    for (int k = 0; k < 300; ++k) {
        Bytes s = make_lp_subpackage(0xFFFFFFFF, uint32_t(k % 2 ? 0 : 44), make_lp_header(2, 1, 65535, 65535));
        if (k % 3 == 0)
            wr_u32(&s[12], 0xFFFFFFF0);
        append(f, s);
    }
    return pad_to(f, kSize, 'L');
}

Bytes raw_raxo_tail()
{
    Bytes f = pad_to(concat(raxo_packets(5, 2, 3), 1), kSize, 0);
    f[f.size() - 7 + 3] = 1; // a point packet header starting 7 bytes before the end
    f[f.size() - 5 + 3] = 8;
    return f;
}

Bytes raw_lh_everywhere()
{
    Bytes f;
    while (f.size() < kSize) {
        f.push_back('L');
        f.push_back('H');
    }
    return f;
}

Bytes raw_vimo_tail()
{
    Bytes f(kSize, 0x24);
    f[kSize - 13] = 0;
    wr_u16(&f[kSize - 13 + 5], 128);
    return f;
}

const BadFile kBadFiles[] = {
    {"zero-length dump records", "a.dump", PlaybackProc::LOG_DUMP, 0, [] { return dump_with(20, 0, 400); }, true},
    {"dump header length 0", "b.dump", PlaybackProc::LOG_DUMP, 0, [] { return dump_with(0, 0, 400); }, true},
    {"dump header length 19", "c.dump", PlaybackProc::LOG_DUMP, 0, [] { return dump_with(19, 4, 400); }, true},
    {"dump record past the end", "d.dump", PlaybackProc::LOG_DUMP, 0, [] { return dump_with(255, 0xFFFF, 400); }, true},
    {"dump cut inside a header", "e.dump", PlaybackProc::LOG_DUMP, 0,
     [] {
         Bytes f = pad_to(concat({make_dump_record(1, Bytes(10, 1))}), kSize, 0);
         append(f, Bytes{'L', 'H', 'L', 'O', 'G', 'H', 0, 20, 1, 2, 3});
         return f;
     },
     true},
    {"huge udpp lengths", "f.vimo", PlaybackProc::LOG_UDPP, LIDAR_VIMO_E, [] { return udpp_with(0xFFFFFFFF); }, true},
    {"udpp 1316 cut off", "g.vimo", PlaybackProc::LOG_UDPP, LIDAR_VIMO_E,
     [] {
         Bytes f = pad_to({}, kSize, 0);
         const Bytes r = make_udpp_record(Bytes(1316, 0));
         std::copy(r.begin(), r.begin() + 100, f.end() - 100);
         return f;
     },
     true},
    {"pcap of one-byte payloads", "h.pcap", PlaybackProc::LOG_PCAP, LIDAR_RAXO_E, [] { return one_byte_frames_pcap(false); }, true},
    {"pcap of one-byte frames", "i.pcap", PlaybackProc::LOG_PCAP, LIDAR_VIMO_E, [] { return one_byte_frames_pcap(true); }, true},
    {"pcap record longer than the file", "j.pcap", PlaybackProc::LOG_PCAP, LIDAR_ALG_BOX, truncated_pcap, true},
    {"pcapng cut off", "k.pcapng", PlaybackProc::LOG_PCAPNG, LIDAR_FENK_U, truncated_pcapng, true},
    {"pcap header only", "l.pcap", PlaybackProc::LOG_PCAP, LIDAR_RAXO_E,
     [] {
         const Bytes header = write_pcap(LINK_ETHERNET, {});
         return pad_to(Bytes(header.begin(), header.begin() + 20), kSize, 0xFF);
     },
     true},
    {"pcd with wrong counts", "m.pcd", PlaybackProc::LOG_PCD, 0,
     [] { return pcd_with("FIELDS x y z intensity\nPOINTS 2147483647\nDATA ascii\n1 2 3 4\n5 6\n"); }, false},
    {"pcd negative count", "n.pcd", PlaybackProc::LOG_PCD, 0,
     [] { return pcd_with("FIELDS x y z\nPOINTS -5\nDATA ascii\n1 2 3\n"); }, false},
    {"pcd binary garbage", "o.pcd", PlaybackProc::LOG_PCD, 0, [] { return Bytes(kSize, 0); }, false},
    {"las with a lying point count", "p.las", PlaybackProc::LOG_LAS, 0, las_lying, false},
    {"las header past the end", "q.las", PlaybackProc::LOG_LAS, 0, las_header_past_end, false},
    {"fenk-u huge sub-package lengths", "r.raw", PlaybackProc::LOG_RAW, LIDAR_FENK_U, lp_stream_with_huge_lengths, true},
    {"raxo packet header at the end", "s.raw", PlaybackProc::LOG_RAW, LIDAR_RAXO_S, raw_raxo_tail, true},
    {"vimo LH frames everywhere", "t.raw", PlaybackProc::LOG_RAW, LIDAR_VIMO_E, raw_lh_everywhere, true},
    {"box LH frames everywhere", "u.raw", PlaybackProc::LOG_RAW, LIDAR_ALG_BOX, raw_lh_everywhere, true},
    {"vimo packet cut at the end", "v.raw", PlaybackProc::LOG_RAW, LIDAR_VIMO_E, raw_vimo_tail, true},
    {"fenk-u LH with huge length", "w.raw", PlaybackProc::LOG_RAW, LIDAR_FENK_U, raw_lh_everywhere, true},
    {"dump of Fenk-U garbage", "x.dump", PlaybackProc::LOG_DUMP, 0,
     [] {
         std::vector<Bytes> records;
         for (int k = 0; k < 100; ++k)
             records.push_back(make_dump_record(LIDAR_FENK_U, Bytes{'L', 'P', 0, 0, 1, 0, 0, 0, 5, 0, 0, 0, 0xFF, 0xFF}));
         return pad_to(concat(records), kSize, 'L');
     },
     true},
};

void PrintTo(const BadFile &c, std::ostream *os)
{
    *os << c.name;
}

class MalformedFiles : public testing::TestWithParam<BadFile> {};

TEST_P(MalformedFiles, EndPromptly)
{
    register_point_meta_types();
    const BadFile &c = GetParam();
    const std::string path = temp_file(c.file_name, c.make());

    PlaybackRecorder rec;
    // A bound that catches a reader looping forever, not a speed check: these files end in
    // milliseconds, and a loaded machine must not fail the test.
    const bool ended = run_on_playback_thread(rec, path, c.log_type, c.lidar_type, 20000);

    ASSERT_TRUE(ended) << c.name;
    EXPECT_EQ(rec.finished, 1);
    if (c.end_report) {
        EXPECT_FALSE(rec.cache_end_report().isEmpty()) << c.name;
        EXPECT_LE(rec.final_frames(), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, MalformedFiles, testing::ValuesIn(kBadFiles));

} // namespace
