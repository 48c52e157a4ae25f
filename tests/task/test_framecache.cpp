// The frame cache the window keeps the frames of a played file in, and the playback worker
// decoding straight into it.

#include "framecache.h"
#include "pcdwriter.h"
#include "playbackproc.h"
#include "playbacktestutil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

constexpr size_t kSmallBlock = size_t(2) << 20; // a few frames per block: frames move across

bool same_points(const UserPointData *a, const PointFrame &b)
{
    return b.empty() || std::memcmp(a, b.data(), b.size() * sizeof(UserPointData)) == 0;
}

// Every field of every point set, so that a field the decoder forgets shows.
PointFrame garbage(size_t n)
{
    PointFrame f(n);
    std::memset(static_cast<void *>(f.data()), 0xA5, n * sizeof(UserPointData));
    return f;
}

// One capture per device family (and a PCD file for the whole-file readers), each with frames
// across several cache blocks.
struct PlayedFile {
    const char *name;
    int log_type;
    int lidar_type;
    std::string path;
};

// A pcap capture of the device packets, each in its own UDP datagram.
std::string capture_of(const char *name, const std::vector<Bytes> &packets)
{
    std::vector<Bytes> frames;
    for (const Bytes &p : packets)
        frames.push_back(make_udp_frame(LINK_ETHERNET, p));
    return temp_file(name, write_pcap(LINK_ETHERNET, frames));
}

std::vector<PlayedFile> played_files()
{
    std::vector<PlayedFile> out;
    // Raxo: frames of 60 packets of 300 points (414 KB each).
    out.push_back({"raxo", PlaybackProc::LOG_PCAP, LIDAR_RAXO_E,
                   capture_of("raxo.pcap", raxo_packets(600, 60, 300))});
    // Vimo-E: 128-point packets, a frame above 23040 points.
    std::vector<Bytes> vimo;
    for (int k = 0; k < 500; ++k) {
        std::vector<VimoPoint> pts(128);
        for (int j = 0; j < 128; ++j)
            pts[size_t(j)] = {uint32_t(1000 + k * 3 + j), uint32_t(30000 + j * 900),
                              uint32_t((k * 128 + j) * 7 % 360000), uint8_t(j + k)};
        vimo.push_back(make_vimo_e_packet(0, pts, 0, 0, 0, uint16_t(k)));
    }
    out.push_back({"vimo", PlaybackProc::LOG_PCAP, LIDAR_VIMO_E, capture_of("vimo.pcap", vimo)});
    // Algorithm box: 200-point datagrams, a frame end every 50th.
    std::vector<Bytes> box;
    for (int k = 0; k < 300; ++k) {
        std::vector<BoxPoint> pts(200);
        for (int j = 0; j < 200; ++j)
            pts[size_t(j)] = {float(k), float(j), 0.5f * float(j - k), uint8_t(k ^ j)};
        box.push_back(make_box_packet(pts, k % 50 == 49 ? 2 : 0, 0));
    }
    out.push_back({"box", PlaybackProc::LOG_PCAP, LIDAR_ALG_BOX, capture_of("box.pcap", box)});
    {
        // PCD: one frame of 150000 points, larger than a block.
        out.push_back({"pcd", PlaybackProc::LOG_PCD, LIDAR_UNKNOWN, ""});
        PointFrame f(150000);
        std::mt19937 rng(9);
        std::uniform_real_distribution<float> c(-50.0f, 50.0f);
        for (UserPointData &p : f) {
            p.x = c(rng);
            p.y = c(rng);
            p.z = c(rng);
            p.intensity = uint16_t(rng());
        }
        out.back().path = temp_file("points.pcd", {});
        EXPECT_TRUE(PcdWriter().write(out.back().path.c_str(), f));
    }
    return out;
}

} // namespace

TEST(FrameCache, TheWorkerDecodesEveryFileKindStraightIntoIt)
{
    FrameCache cache(kSmallBlock);
    for (const PlayedFile &file : played_files()) {
        SCOPED_TRACE(file.name);
        // What the worker posts without a cache: the frames themselves.
        PlaybackProc plain;
        PlaybackRecorder expected(plain);
        plain.recv_playback(QString::fromStdString(file.path), file.log_type, file.lidar_type);
        size_t kept = 0;
        for (const CachedFrame &f : expected.frames)
            kept += f.points.empty() ? 0 : 1;
        ASSERT_GE(kept, 1u);

        // With the cache, after frames that leave every byte of the memory set: the same frames,
        // no field left from before, and signals that carry empty frames at the same progress.
        cache.clear();
        cache.append(garbage(cache.reserved_bytes() / sizeof(UserPointData) + 1000));
        cache.clear();
        PlaybackProc proc;
        proc.setFrameCache(&cache);
        PlaybackRecorder rec(proc);
        proc.recv_playback(QString::fromStdString(file.path), file.log_type, file.lidar_type);
        ASSERT_EQ(rec.frames.size(), expected.frames.size());
        for (size_t i = 0; i < rec.frames.size(); ++i) {
            EXPECT_TRUE(rec.frames[i].points.empty());
            EXPECT_EQ(rec.frames[i].progress, expected.frames[i].progress);
        }
        EXPECT_EQ(rec.final_frames(), 1);
        EXPECT_EQ(rec.messages.size(), expected.messages.size()) << "the same reports";
        ASSERT_EQ(cache.size(), kept);
        size_t k = 0;
        for (const CachedFrame &f : expected.frames) {
            if (f.points.empty())
                continue;
            ASSERT_EQ(cache.points(k), f.points.size()) << k;
            EXPECT_TRUE(same_points(cache.data(k), f.points)) << k;
            ++k;
        }
        const PointFrame copy = cache.frame(k - 1); // what the window shows is a copy
        ASSERT_EQ(copy.size(), cache.points(k - 1));
        EXPECT_TRUE(same_points(cache.data(k - 1), copy));
    }
}

TEST(FrameCache, ClearedWhileARequestRunsKeepsNoneOfItsLaterFrames)
{
    const std::string path = capture_of("scan.pcap", raxo_packets(400, 40, 200));
    FrameCache cache(kSmallBlock);
    PlaybackProc proc;
    proc.setFrameCache(&cache);
    // The window empties its cache (the stop message) after the third frame has come.
    int frames = 0;
    QObject::connect(&proc, &PlaybackProc::sig_CacheData, [&](const PointFrame &, float) {
        if (++frames == 3)
            cache.clear();
    });
    ASSERT_TRUE(proc.WiressharkReader(path.c_str(), false, LIDAR_RAXO_E));
    EXPECT_EQ(frames, 11);
    EXPECT_EQ(cache.size(), 0u);
    EXPECT_EQ(cache.total_points(), 0u);

    // The next request fills it as usual, in the memory the first one used.
    const size_t reserved = cache.reserved_bytes();
    ASSERT_TRUE(proc.WiressharkReader(path.c_str(), false, LIDAR_RAXO_E));
    EXPECT_EQ(cache.size(), 10u);
    EXPECT_EQ(cache.total_points(), 400u * 200u);
    EXPECT_EQ(cache.reserved_bytes(), reserved);
}

TEST(FrameCache, KeepsItsMemoryForTheNextFileAndGivesBackWhatThatDidNotNeed)
{
    FrameCache cache(kSmallBlock);
    // Frames of 40000 points (920 KB): two to a block, the third starts the next block.
    for (int f = 0; f < 9; ++f)
        cache.append(garbage(40000));
    const size_t full = cache.reserved_bytes();
    EXPECT_GE(full, 5 * kSmallBlock);

    cache.clear();
    EXPECT_EQ(cache.reserved_bytes(), full) << "a clear keeps what the last file used";
    const uint64_t generation = cache.begin_write();
    UserPointData *room = cache.grow(10);
    for (int i = 0; i < 10; ++i) {
        const float x = room[i].x;
        const uint16_t depth = room[i].depth;
        ASSERT_EQ(x, 0.0f) << "used memory comes back cleared";
        ASSERT_EQ(depth, 0);
        room[i].x = float(i);
    }
    EXPECT_TRUE(cache.commit(generation));
    cache.end_write();
    EXPECT_EQ(cache.size(), 1u);
    const float x9 = cache.data(0)[9].x;
    EXPECT_EQ(x9, 9.0f);

    cache.clear();
    EXPECT_EQ(cache.reserved_bytes(), kSmallBlock) << "the last file needed one block";
    cache.clear();
    EXPECT_EQ(cache.reserved_bytes(), kSmallBlock) << "a clear without a file in between keeps it";

    // A frame larger than a block gets a block of its own size, and grows across blocks.
    const uint64_t g = cache.begin_write();
    for (int part = 0; part < 5; ++part) {
        UserPointData *p = cache.grow(50000);
        for (int i = 0; i < 50000; ++i)
            p[i].intensity = uint16_t(part);
    }
    EXPECT_TRUE(cache.commit(g));
    cache.end_write();
    ASSERT_EQ(cache.size(), 1u);
    ASSERT_EQ(cache.points(0), 250000u);
    const UserPointData *big = cache.data(0);
    for (int part = 0; part < 5; ++part) {
        const uint16_t first = big[part * 50000].intensity, last = big[part * 50000 + 49999].intensity;
        EXPECT_EQ(first, part);
        EXPECT_EQ(last, part);
    }
    EXPECT_EQ(cache.frame(1).size(), 0u);
    EXPECT_EQ(cache.data(1), nullptr);
}

TEST(FrameCache, OneWorkerPlaysFileAfterFileAsAFreshWorkerWould)
{
    // The worker keeps the memory it read a file and a capture into for the next one: a
    // larger file after a smaller one, a smaller after a larger, and each kind after another,
    // must post exactly what a worker that never read anything posts.
    std::vector<PlayedFile> files = played_files();
    // Two dumps, the longer one's frames running on past where the shorter one ends.
    for (int packets : {240, 480}) {
        Bytes dump;
        for (const Bytes &p : raxo_packets(packets, 40, 200, uint16_t(packets)))
            for (const uint8_t b : make_dump_record(LIDAR_RAXO_E, p))
                dump.push_back(b);
        const std::string name = "raxo" + std::to_string(packets) + ".dump";
        files.push_back({"dump", PlaybackProc::LOG_DUMP, LIDAR_RAXO_E, temp_file(name, dump)});
    }

    std::vector<std::vector<CachedFrame>> fresh;
    for (const PlayedFile &file : files) {
        PlaybackProc proc;
        PlaybackRecorder rec(proc);
        proc.recv_playback(QString::fromStdString(file.path), file.log_type, file.lidar_type);
        ASSERT_GE(rec.frames.size(), 1u) << file.name;
        fresh.push_back(rec.frames);
    }
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    const size_t order[] = {0, 1, 2, 3, 4, 5, 4, 5, 3, 2, 1, 0, 2, 5, 0, 4};
    for (size_t i : order) {
        SCOPED_TRACE(files[i].name);
        rec.frames.clear();
        proc.recv_playback(QString::fromStdString(files[i].path), files[i].log_type, files[i].lidar_type);
        ASSERT_EQ(rec.frames.size(), fresh[i].size());
        for (size_t k = 0; k < rec.frames.size(); ++k) {
            ASSERT_EQ(rec.frames[k].points.size(), fresh[i][k].points.size()) << k;
            EXPECT_TRUE(same_points(rec.frames[k].points.data(), fresh[i][k].points)) << k;
            EXPECT_EQ(rec.frames[k].progress, fresh[i][k].progress) << k;
        }
    }
}
