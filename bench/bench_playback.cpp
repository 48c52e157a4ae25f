// Playback caching and point-file export against their floors, measured in the same run:
// - a 95 MB pcap of Raxo traffic cached into frames (PlaybackProc::WiressharkReader, the frames
//   kept in the window's FrameCache, into which the worker decodes them) beside a bare libpcap
//   loop over the same file;
// - a 95 MB dump of the same traffic cached into frames (PlaybackProc::LogReader) beside a bare
//   read of the file with the huge-page hint the worker's own reader gives;
// - PCD and LAS export of 1,000,000 points, called as the main window calls them
//   (PlaybackProc::PCDWriter and PlaybackProc::LASWriter with the snapshot's cloud) beside a bare
//   write of the same bytes; PCD export also with this thread held to one core (the writer's
//   threads with it), beside the bare write held to the same core.
// Goals: caching the first file and export within 2x of their floors, with the cores the machine
// has; peak resident memory while caching at most twice the file plus the cached frames
// (printed as counters, in MB). The one-core PCD figure is printed beside them, with no goal.
// The files are generated in a temporary folder on first use and removed at exit.
//
// "cache_first" fills a new cache each time, paying for memory the process has never touched:
// the first file a user opens after start, the figure held to the goal; it reports the peak
// memory. "cache" fills one cache again and again, as the window does file after file (the
// cache keeps its memory when it is emptied); "decode" keeps nothing. Those two are printed for
// comparison.

#include "capturefiles.h"
#include "devicepackets.h"
#include "framecache.h"
#include "laswriter.h"
#include "memoryhints.h"
#include "pcdwriter.h"
#include "playbackproc.h"
#include "ratioreporter.h"

#include <benchmark/benchmark.h>
#include <pcap/pcap.h>

#include <QLoggingCategory>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

namespace {

constexpr size_t kFileBytes = 95u * 1024 * 1024;
constexpr int kPointsPerPacket = 100;
constexpr int kPacketsPerFrame = 120;
constexpr size_t kExportPoints = 1000000;

struct Files {
    std::string dir;
    std::string pcap;
    std::string dump;
    size_t pcap_bytes = 0;
    size_t dump_bytes = 0;

    ~Files()
    {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

Bytes raxo_packet(uint32_t k)
{
    static std::vector<RaxoPoint> pts(kPointsPerPacket);
    for (int j = 0; j < kPointsPerPacket; ++j) {
        pts[size_t(j)].range_cm = uint16_t(500 + (k + uint32_t(j)) % 3000);
        pts[size_t(j)].x = int16_t((k * 7 + uint32_t(j) * 13) % 20000 - 10000);
        pts[size_t(j)].y = int16_t((k * 3 + uint32_t(j) * 17) % 20000 - 10000);
        pts[size_t(j)].z = int16_t(j * 5 - 250);
        pts[size_t(j)].intensity = uint8_t(k + uint32_t(j));
    }
    const bool frame_end = (k + 1) % kPacketsPerFrame == 0;
    return make_raxo_packet(1, uint16_t(k + 1), pts, frame_end ? 2 : 0, k);
}

// Writes the capture and the dump packet by packet, so generating them costs no memory.
const Files &files()
{
    static Files f = [] {
        Files out;
        const char *t = std::getenv("TMPDIR");
        std::string tmpl = std::string(t != nullptr ? t : "/tmp") + "/qvbench.XXXXXX";
        if (::mkdtemp(tmpl.data()) == nullptr)
            std::abort();
        out.dir = tmpl;
        out.pcap = out.dir + "/raxo.pcap";
        out.dump = out.dir + "/raxo.dump";
        std::ofstream pcap(out.pcap, std::ios::binary);
        std::ofstream dump(out.dump, std::ios::binary);
        const Bytes header = write_pcap(LINK_ETHERNET, {});
        pcap.write(reinterpret_cast<const char *>(header.data()), long(header.size()));
        out.pcap_bytes = header.size();
        for (uint32_t k = 0;; ++k) {
            const Bytes packet = raxo_packet(k);
            const Bytes frame = make_udp_frame(LINK_ETHERNET, packet);
            const Bytes record = write_pcap(LINK_ETHERNET, {frame});
            const Bytes rec = make_dump_record(1, packet);
            const size_t pcap_add = record.size() - header.size();
            if (out.pcap_bytes + pcap_add > kFileBytes && out.dump_bytes + rec.size() > kFileBytes)
                break;
            if (out.pcap_bytes + pcap_add <= kFileBytes) {
                pcap.write(reinterpret_cast<const char *>(record.data() + header.size()), long(pcap_add));
                out.pcap_bytes += pcap_add;
            }
            if (out.dump_bytes + rec.size() <= kFileBytes) {
                dump.write(reinterpret_cast<const char *>(rec.data()), long(rec.size()));
                out.dump_bytes += rec.size();
            }
        }
        return out;
    }();
    return f;
}

// Resident memory from /proc/self/status, in bytes ("VmRSS" or "VmHWM", the peak).
double status_bytes(const char *key)
{
    std::ifstream s("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(s, line))
        if (line.compare(0, prefix.size(), prefix) == 0)
            return std::atof(line.c_str() + prefix.size()) * 1024.0;
    return 0;
}

// Starts a new peak: the kernel resets VmHWM to the current resident size.
void reset_peak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

void BM_bare_pcap_loop(benchmark::State &state)
{
    const Files &f = files();
    for (auto _ : state) {
        char err[PCAP_ERRBUF_SIZE];
        pcap_t *p = pcap_open_offline(f.pcap.c_str(), err);
        pcap_pkthdr *h;
        const u_char *d;
        size_t bytes = 0;
        while (pcap_next_ex(p, &h, &d) == 1)
            bytes += h->caplen + d[h->caplen - 1];
        pcap_close(p);
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(int64_t(state.iterations() * f.pcap_bytes));
}

void BM_bare_dump_read(benchmark::State &state)
{
    const Files &f = files();
    for (auto _ : state) {
        const int fd = ::open(f.dump.c_str(), O_RDONLY | O_CLOEXEC);
        std::unique_ptr<uint8_t[]> buf(new uint8_t[f.dump_bytes]);
        advise_huge_pages(buf.get(), f.dump_bytes); // as the worker's reader does
        size_t got = 0;
        while (got < f.dump_bytes) {
            const ssize_t r = ::read(fd, buf.get() + got, f.dump_bytes - got);
            if (r <= 0)
                break;
            got += size_t(r);
        }
        ::close(fd);
        benchmark::DoNotOptimize(buf[got / 2]);
    }
    state.SetBytesProcessed(int64_t(state.iterations() * f.dump_bytes));
}

// Caches a file as the main window does: the worker decodes every frame straight into the
// window's FrameCache. `first`: a new cache for every pass (memory never touched before), with
// the peak resident memory of the pass beside the memory goal.
void cache(benchmark::State &state, bool pcap, bool first)
{
    const Files &f = files();
    const std::string &path = pcap ? f.pcap : f.dump;
    const size_t file_bytes = pcap ? f.pcap_bytes : f.dump_bytes;
    PlaybackProc proc;
    std::unique_ptr<FrameCache> kept(new FrameCache);
    double base = 0, peak = 0;
    size_t points = 0;
    if (!first) {
        // Filled once before the timing starts: the passes timed are the file after file of a
        // window that has played before, not the process's first touch of its memory (which
        // cache_first shows).
        proc.setFrameCache(kept.get());
        if (pcap)
            proc.WiressharkReader(path.c_str(), false, LIDAR_RAXO_E);
        else
            proc.LogReader(path.c_str());
    }
    for (auto _ : state) {
        state.PauseTiming();
        if (first)
            kept.reset(new FrameCache);
        else
            kept->clear();
        proc.setFrameCache(kept.get());
        base = status_bytes("VmRSS");
        reset_peak();
        state.ResumeTiming();
        const bool ok = pcap ? proc.WiressharkReader(path.c_str(), false, LIDAR_RAXO_E)
                             : proc.LogReader(path.c_str());
        state.PauseTiming();
        peak = status_bytes("VmHWM");
        points = kept->total_points();
        if ((!ok && pcap) || kept->size() == 0)
            state.SkipWithError("no frames");
        state.ResumeTiming();
    }
    proc.setFrameCache(nullptr);
    const double mb = 1024.0 * 1024.0;
    const double frames_bytes = double(points) * sizeof(UserPointData);
    state.counters["file_MB"] = double(file_bytes) / mb;
    state.counters["frames_MB"] = frames_bytes / mb;
    if (first) {
        state.counters["peak_MB"] = (peak - base) / mb;
        state.counters["goal_MB"] = (2.0 * double(file_bytes) + frames_bytes) / mb;
    }
    state.SetBytesProcessed(int64_t(state.iterations() * file_bytes));
}

// The worker's own share: every frame decoded and handed on, none kept.
void decode(benchmark::State &state, bool pcap)
{
    const Files &f = files();
    const std::string &path = pcap ? f.pcap : f.dump;
    PlaybackProc proc;
    size_t points = 0;
    QObject::connect(&proc, &PlaybackProc::sig_CacheData,
                     [&](const std::vector<UserPointData> &frame, float) { points += frame.size(); });
    for (auto _ : state) {
        const bool ok = pcap ? proc.WiressharkReader(path.c_str(), false, LIDAR_RAXO_E)
                             : proc.LogReader(path.c_str());
        if ((!ok && pcap) || points == 0)
            state.SkipWithError("no frames");
    }
    state.SetBytesProcessed(int64_t(state.iterations() * (pcap ? f.pcap_bytes : f.dump_bytes)));
}

void BM_cache_pcap(benchmark::State &state) { cache(state, true, false); }
void BM_cache_pcap_first(benchmark::State &state) { cache(state, true, true); }
void BM_cache_dump(benchmark::State &state) { cache(state, false, false); }
void BM_cache_dump_first(benchmark::State &state) { cache(state, false, true); }
void BM_decode_pcap(benchmark::State &state) { decode(state, true); }
void BM_decode_dump(benchmark::State &state) { decode(state, false); }

const PointFrame &export_frame()
{
    static const PointFrame frame = [] {
        PointFrame f(kExportPoints);
        std::mt19937 rng(11);
        std::uniform_real_distribution<float> c(-60.0f, 60.0f);
        for (UserPointData &p : f) {
            p.x = c(rng);
            p.y = c(rng);
            p.z = c(rng) / 10.0f;
            p.intensity = uint16_t(rng() & 0xFF);
        }
        return f;
    }();
    return frame;
}

std::string export_path(const char *name) { return files().dir + "/" + name; }

// The bytes an export writes, produced once by that export.
const std::vector<char> &export_bytes(bool pcd)
{
    static std::map<bool, std::vector<char>> bytes;
    auto it = bytes.find(pcd);
    if (it == bytes.end()) {
        const std::string path = export_path(pcd ? "ref.pcd" : "ref.las");
        const bool ok = pcd ? PcdWriter().write(path.c_str(), export_frame())
                            : LasWriter().write(path.c_str(), export_frame());
        if (!ok)
            std::abort();
        std::ifstream in(path, std::ios::binary);
        it = bytes.emplace(pcd, std::vector<char>(std::istreambuf_iterator<char>(in), {})).first;
    }
    return it->second;
}

void bare_write(benchmark::State &state, bool pcd)
{
    const std::vector<char> &bytes = export_bytes(pcd);
    const std::string path = export_path(pcd ? "bare.pcd" : "bare.las");
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t w = ::write(fd, bytes.data() + done, std::min<size_t>(bytes.size() - done, 1 << 20));
            if (w <= 0)
                break;
            done += size_t(w);
        }
        ::close(fd);
    }
    state.SetBytesProcessed(int64_t(state.iterations() * bytes.size()));
}

void BM_bare_write_pcd(benchmark::State &state) { bare_write(state, true); }
void BM_bare_write_las(benchmark::State &state) { bare_write(state, false); }

// The snapshot export as the window calls it, checked once against the bytes the writer gives.
void export_call(benchmark::State &state, bool pcd)
{
    const PointFrame &frame = export_frame();
    const std::string path = export_path(pcd ? "out.pcd" : "out.las");
    PlaybackProc proc;
    for (auto _ : state)
        if (!(pcd ? proc.PCDWriter(path.c_str(), frame) : proc.LASWriter(path.c_str(), frame)))
            state.SkipWithError("write failed");
    std::ifstream in(path, std::ios::binary);
    if (std::vector<char>(std::istreambuf_iterator<char>(in), {}) != export_bytes(pcd))
        state.SkipWithError("the export wrote other bytes");
    state.SetBytesProcessed(int64_t(state.iterations() * export_bytes(pcd).size()));
}

void BM_pcd_export(benchmark::State &state) { export_call(state, true); }
void BM_las_export(benchmark::State &state) { export_call(state, false); }

// Holds this thread (and the threads it starts) to the first core it may run on, for the
// lifetime of the object.
class OneCore {
public:
    OneCore()
    {
        ::sched_getaffinity(0, sizeof(saved_), &saved_);
        cpu_set_t one;
        CPU_ZERO(&one);
        for (int c = 0; c < CPU_SETSIZE; ++c)
            if (CPU_ISSET(c, &saved_)) {
                CPU_SET(c, &one);
                break;
            }
        ::sched_setaffinity(0, sizeof(one), &one);
    }
    ~OneCore() { ::sched_setaffinity(0, sizeof(saved_), &saved_); }
    OneCore(const OneCore &) = delete;
    OneCore &operator=(const OneCore &) = delete;

private:
    cpu_set_t saved_;
};

void BM_bare_write_pcd_one_core(benchmark::State &state)
{
    OneCore pin;
    bare_write(state, true);
}

void BM_pcd_export_one_core(benchmark::State &state)
{
    OneCore pin;
    export_call(state, true);
}

} // namespace

BENCHMARK(BM_bare_pcap_loop)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_cache_pcap)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_cache_pcap_first)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_decode_pcap)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_bare_dump_read)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_cache_dump)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_cache_dump_first)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_decode_dump)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_bare_write_pcd)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_pcd_export)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_bare_write_pcd_one_core)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_pcd_export_one_core)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_bare_write_las)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_las_export)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

int main(int argc, char **argv)
{
    // The worker's trace lines would interleave with the table.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter("ratio to the floor",
                           {{"BM_cache_pcap_first", "BM_bare_pcap_loop", "2.0 or less"},
                            {"BM_cache_dump_first", "BM_bare_dump_read", "2.0 or less"},
                            {"BM_pcd_export/", "BM_bare_write_pcd/", "2.0 or less"},
                            {"BM_las_export", "BM_bare_write_las", "2.0 or less"},
                            {"BM_pcd_export_one_core", "BM_bare_write_pcd_one_core", "(one core, no goal)"},
                            {"BM_cache_pcap/", "BM_bare_pcap_loop", "(a later file, no goal)"},
                            {"BM_cache_dump/", "BM_bare_dump_read", "(a later file, no goal)"},
                            {"BM_decode_pcap", "BM_bare_pcap_loop", "(nothing kept, no goal)"},
                            {"BM_decode_dump", "BM_bare_dump_read", "(nothing kept, no goal)"}},
                           "(cache_first: the first file, decoded into a new frame cache; cache: a "
                           "later file, into a cache filled before; decode: frames handed on, none "
                           "kept; exports: called as the window calls them)");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
