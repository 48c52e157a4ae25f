#pragma once
// The process-wide recorder of raw device traffic. While recording is on, every datagram a
// receiver accepts is appended as a DumpRecord to a dump file; files are cut at a size limit,
// five to a folder, and folders get their end time appended when complete or when recording
// stops. The manager also owns the console logger "console".
//
// A receiver thread only copies its records into memory: a thread of the recording's own writes
// them out in large pieces. A write() per datagram took a third of a Raxo receiver's time at
// full rate, and on a machine busy with other writers the kernel holds a writer back for
// milliseconds, at times seconds, to let the disk catch up; the receiver's socket buffer
// overflowed meanwhile, and the live view stood still. So nobody but that thread ever waits for
// the disk: a stop hands the rest to it and returns, and when the disk stays behind the traffic
// until what waits reaches its bound, whole records are dropped, counted and reported instead.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <sys/types.h>
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

// What a recording tells whoever listens (the main window's message log), from its writer
// thread. Counts are records, of all the recording's streams.
struct RecorderEvent {
    enum Kind {
        Lost,     // records were dropped because the disk does not keep up (at most once a second)
        Finished, // a stopped recording has every record it kept in its files, folders renamed
        Failed,   // a write failed: the recording has ended, its files cut at a whole record
    };
    Kind kind = Finished;
    uint64_t taken = 0;   // records handed to the recording
    uint64_t written = 0; // records in their files
    uint64_t lost = 0;    // records dropped because the disk did not keep up
    std::string file;     // Failed: the file that could not be written
    std::string error;    // Failed: the system's text for the error
};

class LogManager {
public:
    static constexpr uint64_t kDefaultFileLimit = 52428800;
    static constexpr int kFilesPerFolder = 5;
    static constexpr int kModeDump = 1;
    static constexpr int kModeDestroy = 2;
    // Records wait in blocks of kWriteChunk bytes; the writer writes a block when it is full and
    // what has come at least every kWriteIntervalMs. A disk slower than the traffic lets up to
    // kMaxWaiting bytes of records wait; past that, records are dropped rather than hold the
    // receiver.
    static constexpr int kWriteIntervalMs = 100;
    static constexpr size_t kWriteChunk = 512 * 1024;
    static constexpr size_t kMaxWaiting = 64 * 1024 * 1024;
    // The least time between two reports of lost records.
    static constexpr int kLossReportIntervalMs = 1000;

    // Created with its console logger on first use (safe against concurrent first calls).
    static LogManager *instance();

    // Starts recording `stream_count` streams under `directory` (a folder per stream, named by
    // the local time). False when `name` is empty, the mode is not 1, recording is on, or a
    // stream's first file cannot be created.
    bool start(const std::string &directory, const std::string &name, int stream_count, int mode);

    // Appends one complete DumpRecord to stream `stream` (0 = first). Dropped while recording
    // is off or when the stream does not exist. A record that would cross the file limit goes
    // whole into the next file, so every file starts with a record header. The record is taken
    // in memory and written by the recording's thread within kWriteIntervalMs; when the disk is
    // so far behind that kMaxWaiting bytes wait, it is dropped and counted. Never waits for the
    // disk.
    void write_dump(int stream, const void *record, size_t length);
    // The same record given as its header and its payload.
    void write_dump(int stream, const void *header, size_t header_length, const void *payload,
                    size_t payload_length);

    // Waits until every record taken so far is in its file (or the recording has failed).
    void flush();

    // Ends recording and returns at once: the recording's thread writes every record taken,
    // closes each stream's file, renames its newest folder and then reports Finished. True when
    // a recording was running (or had failed and was not stopped yet): its end is reported by
    // an event. False when there was none.
    bool stop(int mode);

    // Waits until every stopped recording has finished: records in their files, folders
    // renamed. The program calls it before it ends.
    void wait_stopped();

    // True from a start until the stop, unless a write failed meanwhile.
    bool is_recording() const;

    // Called from a recording's thread for each event; replaced by the next call (empty: none).
    // Once this returns, the previous handler is not running and will not be called again.
    using EventHandler = std::function<void(const RecorderEvent &)>;
    void set_event_handler(EventHandler handler);

    // The counts of the newest recording (running or stopped); the longest a write_dump call
    // of it took, and the longest such a call waited for a lock held by another thread (the
    // writer, a start or stop, another receiver), in nanoseconds. On a loaded machine the
    // first also holds the times the receiver was not given a CPU.
    struct Stats {
        uint64_t taken = 0;
        uint64_t written = 0;
        uint64_t lost = 0;
        uint64_t longest_take_ns = 0;
        uint64_t longest_lock_wait_ns = 0;
        bool failed = false;
        bool finished = false;
    };
    Stats stats() const;

    // File size at which a dump file is closed and the next one opened (from the next start).
    void set_file_limit(uint64_t bytes);
    uint64_t file_limit() const;

    // The call a recording writes its files with (from the next start); ::write when empty.
    // Tests and benchmarks put a slow or failing disk here.
    using WriteFunction = std::function<ssize_t(int fd, const void *data, size_t n)>;
    void set_write_function(WriteFunction write);

    // Path of the stream's current file and its folders, oldest first (empty when not
    // recording). Both wait for what was taken to be written first.
    std::string current_file(int stream);
    std::vector<std::string> folders(int stream);

    std::shared_ptr<spdlog::logger> console() const { return console_; }

    LogManager(const LogManager &) = delete;
    LogManager &operator=(const LogManager &) = delete;

private:
    LogManager();
    class Recording;

    void report(const RecorderEvent &event);
    std::shared_ptr<Recording> current() const;
    // Joins the threads of stopped recordings that have finished; controlMutex_ held.
    void reap_finished();

    mutable std::mutex controlMutex_; // start, stop and the settings below, one at a time
    uint64_t limit_ = kDefaultFileLimit;
    WriteFunction write_;
    std::shared_ptr<Recording> newest_; // controlMutex_
    std::vector<std::shared_ptr<Recording>> stopped_; // controlMutex_: still writing, or unjoined

    // Lock order: controlMutex_, currentMutex_, then a recording's own locks.
    mutable std::mutex currentMutex_;
    std::shared_ptr<Recording> current_; // the recording taking records
    std::atomic<bool> recording_{false}; // current_ is set: the receivers' quick test

    std::mutex handlerMutex_;
    EventHandler handler_;
    std::shared_ptr<spdlog::logger> console_;
};

// Called by every receiver thread for each datagram it accepts, recording or not: builds the
// record (header with the current time, then the whole datagram) and hands it to the manager.
void log_dump_record(int stream, const void *datagram, size_t length, int type);
