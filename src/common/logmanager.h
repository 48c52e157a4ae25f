#pragma once
// The process-wide recorder of raw device traffic. While recording is on, every datagram a
// receiver accepts is appended as a DumpRecord to a dump file; files are cut at a size limit,
// five to a folder, and folders get their end time appended when complete or when recording
// stops. The manager also owns the console logger "console".
//
// A receiver thread only copies its records into memory: a thread of the recording's own writes
// them out in large pieces. A write() per datagram took a third of a Raxo receiver's time at
// full rate, and on a machine busy with other writers the kernel holds a writer back for
// milliseconds at a time to let the disk catch up; the receiver's socket buffer overflowed
// meanwhile.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace spdlog {
class logger;
}

// DumpRecord header: "LHLOGH", 0x00, header length 0x14, u64 ms since 1970, u16 record type
// (the source's LidarType), u16 payload length; then the payload.
constexpr size_t DUMP_HEADER_SIZE = 20;
constexpr char DUMP_MAGIC[] = "LHLOGH";

// Writes the 20-byte header of a record into `out`.
void make_dump_header(uint8_t *out, uint64_t ms, uint16_t type, uint16_t length);

class LogManager {
public:
    static constexpr uint64_t kDefaultFileLimit = 52428800;
    static constexpr int kFilesPerFolder = 5;
    static constexpr int kModeDump = 1;
    static constexpr int kModeDestroy = 2;
    // The writer writes what has come at least this often, and at once when kWriteChunk bytes
    // wait. A disk slower than the traffic for long lets up to kMaxWaiting bytes wait; past that
    // a receiver waits for the writer rather than lose records.
    static constexpr int kWriteIntervalMs = 100;
    static constexpr size_t kWriteChunk = 512 * 1024;
    static constexpr size_t kMaxWaiting = 64 * 1024 * 1024;

    // Created with its console logger on first use (safe against concurrent first calls).
    static LogManager *instance();

    // Starts recording `stream_count` streams under `directory` (a folder per stream, named by
    // the local time). False when `name` is empty, the mode is not 1, or recording is on.
    bool start(const std::string &directory, const std::string &name, int stream_count, int mode);

    // Appends one complete DumpRecord to stream `stream` (0 = first). Dropped while recording
    // is off or when the stream does not exist. A record that would cross the file limit goes
    // whole into the next file, so every file starts with a record header. The record is taken
    // in memory; it is in its file once flush(), current_file(), folders() or stop() has
    // returned, and otherwise within kWriteIntervalMs.
    void write_dump(int stream, const void *record, size_t length);
    // The same record given as its header and its payload.
    void write_dump(int stream, const void *header, size_t header_length, const void *payload,
                    size_t payload_length);

    // Writes every record taken so far into its file.
    void flush();

    // Ends recording: writes every record taken, closes each stream's file and renames its
    // newest folder.
    void stop(int mode);

    bool is_recording() const { return recording_.load(std::memory_order_acquire); }

    // File size at which a dump file is closed and the next one opened.
    void set_file_limit(uint64_t bytes);
    uint64_t file_limit() const;

    // Path of the stream's current file and its folders, oldest first (empty when none).
    // Both write what waits first.
    std::string current_file(int stream);
    std::vector<std::string> folders(int stream);

    std::shared_ptr<spdlog::logger> console() const { return console_; }

    LogManager(const LogManager &) = delete;
    LogManager &operator=(const LogManager &) = delete;

private:
    LogManager();

    struct Stream {
        int number = 1;    // 1-based, part of the file names
        int fd = -1;
        uint64_t bytes = 0; // bytes in the current file
        int closed = 0;     // files closed so far
        std::string path;   // current file
        std::vector<std::string> folders; // oldest first; renamed entries carry their new name
    };

    // Records taken and not yet written, of one stream: their bytes end to end and each one's
    // length.
    struct Waiting {
        std::vector<uint8_t> bytes;
        std::vector<uint32_t> lengths;
    };

    bool open_file(Stream &s);
    void rotate(Stream &s);
    void repair_folders(Stream &s);
    static void close_file(Stream &s);
    static void reserve(Waiting &w);
    void write_records(Stream &s, const Waiting &w);
    // Takes what waits and writes it; mutex_ held.
    void write_waiting();
    void writer_loop();

    // Lock order: mutex_ (the files), then waitMutex_ (the records waiting). Records are taken
    // from the waiting lists only with mutex_ held, so they reach the files in the order given.
    std::mutex controlMutex_; // start and stop, one at a time
    mutable std::mutex mutex_;
    std::atomic<bool> recording_{false};
    uint64_t limit_ = kDefaultFileLimit;
    std::string base_;
    std::vector<Stream> streams_;

    std::mutex waitMutex_;
    std::condition_variable wake_;   // the writer: something to write, or the end
    std::condition_variable room_;   // a receiver held at kMaxWaiting: there is room again
    bool accepting_ = false;         // guarded by waitMutex_: records are taken
    bool ending_ = false;            // guarded by waitMutex_: the writer ends
    size_t waitingBytes_ = 0;        // guarded by waitMutex_
    std::vector<Waiting> waiting_;   // guarded by waitMutex_, a list per stream
    std::vector<Waiting> writing_;   // mutex_: the lists being written, kept for their memory
    std::thread writer_;
    std::shared_ptr<spdlog::logger> console_;
};

// Called by every receiver thread for each datagram it accepts, recording or not: builds the
// record (header with the current time, then the whole datagram) and hands it to the manager.
void log_dump_record(int stream, const void *datagram, size_t length, int type);
