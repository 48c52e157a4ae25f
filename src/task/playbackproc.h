#pragma once
// The playback worker: turns one recorded or imported file per request into frames for the
// main window. It lives on the window's playback thread; the file classification and the LAS
// and PCD writers are called directly from the GUI thread and touch no member.

#include "capturereader.h"
#include "lpdecoder.h"
#include "playbacksink.h"
#include "userpointdata.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

class FrameCache;

class PlaybackProc : public QObject {
    Q_OBJECT
public:
    // Log types: what DetectLogType finds and which reader recv_playback runs.
    enum LogType : int {
        LOG_NONE = 0,   // the file cannot be opened
        LOG_DUMP = 1,   // starts with "LHLOGH"
        LOG_PCAP = 2,   // suffix "pcap"
        LOG_PCAPNG = 3, // suffix "pcapng"
        LOG_LAS = 4,    // suffix "las"
        LOG_PCD = 5,    // suffix "pcd"
        LOG_RAW = 6,    // anything else: a raw device capture
        LOG_UDPP = 7,   // suffix "vimo": "udpp" records
    };

    // A file plays when it holds more than kMinBytes and fewer than kMaxBytes bytes.
    static constexpr qint64 kMinBytes = 4096;
    static constexpr qint64 kMaxBytes = 100 * 1024 * 1024;

    PlaybackProc();

    // Where the frames of the following requests are kept. With a cache, every frame is
    // decoded straight into it (each point written once, into the memory that keeps it) and
    // sig_CacheData carries an empty frame: its points are the cache's newest frame. Frames
    // without points are not kept, as the window keeps none. A cache cleared while a request
    // runs receives none of that request's later frames. Null (the default) sends every frame
    // in sig_CacheData. Any thread; takes effect at the next request. The cache must outlive
    // the requests that fill it.
    void setFrameCache(FrameCache *cache);

    // Abandons the request under way and every request sent before this call: any thread. The
    // worker stops reading such a request at its next packet, posts none of its later frames
    // and no end report, and skips the abandoned requests still queued. Once the worker has
    // passed the mark, it emits sig_abandonPassed; everything the abandoned requests posted
    // reaches a receiver in the worker's thread order before that signal, so a receiver can
    // drop what arrives until then.
    void abandon();
    // True in the worker while a mark is not yet passed: the request running now is abandoned.
    bool abandoned() const { return abandonMarks_.load(std::memory_order_acquire) > 0; }

    // Classifies a file by its suffix (exact, case-sensitive), else by its first six bytes.
    int DetectLogType(QString path);

    // Readers of packet files: each reads the file, cuts it into packets, runs the parser of
    // the lidar type and sends the end report (sig_data 18, then 22).
    bool LogReader(const char *path);
    bool RawReader(const char *path, int lidartype);
    bool WiressharkReader(const char *path, bool pcapng, int lidartype);
    bool MarivexReader(const char *path, int lidartype);

    // Point files: one frame with every point at progress 100; failures are trace lines only.
    bool LASReader(const char *path);
    bool PCDReader(const char *path);

    // Snapshot writers (GUI thread). False when the file cannot be written, or, for LAS, when
    // the frame is empty or a coordinate does not fit the file's scaled integers. They read the
    // caller's frame where it lies: a snapshot can hold millions of points.
    bool LASWriter(const char *path, const std::vector<UserPointData> &frame);
    bool PCDWriter(const char *path, const std::vector<UserPointData> &frame);

    // Parsers: each emits its frames and one final frame at 100 and returns the frame count
    // before that final one.
    int parse_data_raxo_e(QList<QByteArray> packets);
    int parse_data_vimo_e(QList<QByteArray> packets);
    int parse_data_box(QList<QByteArray> packets);
    int parse_data_fenk_u(QList<QByteArray> packets);

    // Packet lists cut from raw bytes (copies, independent of `data`).
    QList<QByteArray> parse_data_vimo_e_marivex(const char *data, int size);
    QList<QByteArray> split_lp_stream(const char *data, int size);
    static int decode_lp_packet(int n, const char *data, LpPlaneBuffer *plane, int *consumed,
                                char *message);

    // Highest plane type completed by the last Fenk-U parse.
    uint8_t highest_plane_type() const { return highest_plane_type_; }

public slots:
    void recv_playback(QString filename, int logtype, int lidartype);

signals:
    // The frame goes by reference: a direct connection sees the worker's own assembly buffer,
    // a queued one gets the one copy Qt makes for the receiving thread. Empty for every frame
    // while a frame cache is attached (setFrameCache).
    void sig_CacheData(const std::vector<UserPointData> &framedata, float progress);
    void sig_data(int type, QByteArray data);
    void finished();
    // The worker has passed the mark of one abandon() call.
    void sig_abandonPassed();

private:
    // Opens a regular file for reading (see open_regular); anything else, or a failed open, is
    // posted as `type` and gives -1.
    int openForPlayback(const QString &path, int type);
    class Sink;
    friend class Sink;

    // Runs the parser of the lidar type into `sink`; -1 when there is none.
    int run_parser(int lidartype, const PacketViews &packets, Sink &sink);
    void end_report(int lidartype, size_t packets, int frames);
    void post(int type, const QString &text);

    void passAbandonMark();

    // Reads a whole file into file_ (see FileBytes in the source); false when it cannot be
    // read or is beyond kMaxBytes.
    struct FileBytes;
    bool read_whole_file(const char *path, FileBytes &out);

    uint8_t highest_plane_type_ = 0;
    std::atomic<int> abandonMarks_{0};
    std::atomic<FrameCache *> cache_{nullptr};

    // The bytes of the files read, kept from request to request with their pages handed back
    // lazily after each (release_lazily): the next file of a similar size is read into memory
    // that is already there, instead of faulting in and zeroing some 25000 fresh pages again.
    std::unique_ptr<uint8_t[]> file_;
    size_t file_capacity_ = 0;
    CaptureReader capture_;
};
