#pragma once
// Shared by the playback tests: a recorder of everything a PlaybackProc emits, and files.

#include "capturefiles.h"
#include "playbackproc.h"

#include <QByteArray>
#include <QObject>

#include <string>
#include <vector>

struct CachedFrame {
    PointFrame points;
    float progress = 0;
};

struct Posted {
    int type = 0;
    QByteArray text;
};

// Records the worker's signals in order. Direct connections: the worker runs in the test's
// thread unless a test moves it.
class PlaybackRecorder {
public:
    PlaybackRecorder() = default;
    explicit PlaybackRecorder(PlaybackProc &proc, QObject *context = nullptr);
    ~PlaybackRecorder();
    // Records `proc` from now on; the connections go with `context` (or with the recorder).
    void attach(PlaybackProc &proc, QObject *context = nullptr);

    std::vector<CachedFrame> frames;
    std::vector<Posted> messages;
    std::vector<std::string> order; // "F" per frame, "M<type>" per message, "finished"
    int finished = 0;

    std::vector<QByteArray> texts(int type) const;
    // The end report's two messages, or empty texts when they did not come.
    QByteArray lidar_type_report() const;
    QByteArray cache_end_report() const;
    // Frames at 100 (there must be exactly one per parser run).
    int final_frames() const;
    void clear();

private:
    QObject holder_;
};

// Runs one request as the main window does: recv_playback queued to a worker that lives on a
// playback thread of its own, what the worker emits recorded into `rec` on this thread. True
// when finished came within `wait_ms`; the worker and its thread are gone on return.
bool run_on_playback_thread(PlaybackRecorder &rec, const std::string &path, int log_type,
                            int lidar_type, int wait_ms);

// Path of a file in the project's test data.
std::string data_path(const std::string &relative);

// Writes `bytes` to a fresh file `name` in a private folder; returns its path.
std::string temp_file(const std::string &name, const Bytes &bytes);

// Pads a packet file with records or bytes that no parser takes, up to `size` bytes, so it
// passes the playback size floor.
Bytes pad_to(Bytes bytes, size_t size, uint8_t filler = 0xEE);

std::string end_text(size_t packets, int frames);

QList<QByteArray> to_list(const std::vector<Bytes> &packets);

// A Raxo scan: packets with indices first.., `per_frame` packets per frame (flag 2 on the
// last of each), `points` points each, derived from the packet number.
std::vector<Bytes> raxo_packets(int count, int per_frame, int points, uint16_t first_index = 1);
