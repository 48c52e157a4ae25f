#pragma once
// Whole files to and from the Raxo and Fenk-U sensors: a stop-and-wait exchange carried in the
// payloads of LhSumFrames of one frame type (3 on the Raxo command socket, 9 on the Fenk-U
// upload socket). Uploads move firmware, the zone image and the detector model to a sensor;
// downloads fetch "zone_cfg.bin" and "alg_model.bin" back from a Raxo sensor.
//
// Host messages (payload of the frame, little-endian):
//   0 request  u16 0, u16 L, L bytes of the file name, 0
//   1 info     u16 1, u16 L, L bytes of "%s %u %08X" (name, size, CRC), 0
//   2 chunk    u16 2, u16 index, u16 n (1..512), n bytes
//   3 end      u16 3
//   4 next     u16 4, u16 chunks received so far
//   5 finish   u16 5
// The CRC is crc32_reflected (start 0, no final XOR) over the whole file.
//
// The builders and parsers take (pointer, length) and never read past what they are given;
// FileTransfer runs a transfer on a socket and a frame sender that the receiver provides.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

enum FileTransferOp : uint16_t {
    FT_OP_REQUEST = 0,
    FT_OP_INFO = 1,
    FT_OP_CHUNK = 2,
    FT_OP_END = 3,
    FT_OP_NEXT = 4,
    FT_OP_FINISH = 5,
};

// Status byte of an upload reply; anything but 0 means "not accepted".
enum FILE_TRANS_ST_EN : uint8_t {
    FILE_TRANS_ST_OK = 0,
};

constexpr size_t FT_BUFFER_SIZE = 1024;            // request payload and reply buffers
constexpr size_t FT_CHUNK_SIZE = 512;
constexpr size_t FT_MAX_TEXT = FT_BUFFER_SIZE - 5; // a text message must fit its buffer
// The chunk index is 16 bits wide: a longer file would wrap it and overwrite its own start.
constexpr uint64_t FT_MAX_FILE_SIZE = uint64_t(65536) * FT_CHUNK_SIZE;

// The part of `path` after its last "/", or when it has none after its last "\", or all of it.
std::string ft_file_name(const std::string &path);

// "%s %u %08X" of the name, size and CRC; the name is shortened so the text stays within
// FT_MAX_TEXT bytes with its numbers whole.
std::string ft_info_text(const std::string &name, uint32_t size, uint32_t crc);

// Request (op 0) or info (op 1): the text capped at FT_MAX_TEXT bytes. Returns the length
// written, 0 when `cap` is too small.
size_t ft_build_text_message(uint16_t op, const std::string &text, uint8_t *out, size_t cap);
size_t ft_build_chunk(uint16_t index, const void *data, size_t n, uint8_t *out, size_t cap);
// End (op 3), finish (op 5): two bytes. Next (op 4): four bytes.
size_t ft_build_op(uint16_t op, uint8_t *out, size_t cap);
size_t ft_build_next(uint16_t chunks, uint8_t *out, size_t cap);

// Upload replies. The info reply is judged by its first byte, chunk and end replies by their
// first u16. False (not accepted) for a payload too short to hold the field.
bool ft_upload_status(const uint8_t *payload, size_t len, uint8_t *status);
bool ft_upload_ack(const uint8_t *payload, size_t len, uint16_t *status);

// Download replies: accepted when bytes 0-3 are present and zero.
bool ft_download_accepted(const uint8_t *payload, size_t len);

struct FtFileInfo {
    std::string name;
    uint32_t size = 0;
    uint32_t crc = 0;
};
// The reply to a request: "%63s %u %08X" from byte 6, read from a bounded, terminated copy.
// `text` (optional) receives that copy for the trace.
bool ft_parse_download_info(const uint8_t *payload, size_t len, FtFileInfo *out,
                            std::string *text = nullptr);
// A chunk reply: n at bytes 6-7, data from byte 8, n limited to what the payload holds.
bool ft_parse_download_chunk(const uint8_t *payload, size_t len, const uint8_t **data, size_t *n);

// Size and CRC of a file, read in 1024-byte pieces. False when it cannot be read.
bool ft_file_crc(const std::string &path, uint64_t *size, uint32_t *crc);

// What differs between the two sensor families.
struct FileTransferConfig {
    int frame_type = 3;
    bool wait_end_reply = false;      // Fenk-U waits for the reply to the end message
    bool print_protocol_codes = false; // Raxo prints the parse result and the status byte
    bool print_chunk_marks = false;    // Fenk-U prints ".", "x" or "?" per chunk reply

    static FileTransferConfig raxo();
    static FileTransferConfig fenku();
};

class FileTransfer {
public:
    // Sends one LhSumFrame of `type` carrying the payload; returns the send result (-1 failed).
    using SendFrameFn = std::function<int(int type, const void *payload, unsigned length)>;
    // The socket replies arrive on, asked afresh for every receive: the Raxo receiver may
    // replace it in the middle of a transfer.
    using SocketFn = std::function<int()>;

    static constexpr int kInfoTries = 6;
    static constexpr int kChunkSends = 8;
    static constexpr int kMaxFailedRounds = 5;
    static constexpr int kReplyWaitMs = 500;

    FileTransfer(const FileTransferConfig &config, SendFrameFn send, SocketFn socket);

    // Replies count only from `addr_be` (IPv4, network order), the sensor's address: a datagram
    // from anyone else is dropped unread. Until set, any sender is heard.
    void set_peer(uint32_t addr_be);

    // Info exchange of an upload: 0 once the sensor accepts the info message, else -1.
    int SendFileInfo(const std::string &path);
    // Chunks and end message of an upload: 0 when every chunk was accepted, else -1.
    int SendFileData(const std::string &path);
    // Both steps; the failure wording goes to the trace only.
    bool upload(const std::string &path);
    // Downloads `file_name` from the sensor into `local_path`: 0 when the received file has
    // the announced size and CRC, else -1 (a partly written file stays on disk).
    int RecvFile(const std::string &local_path, const std::string &file_name);

private:
    // Waits up to kReplyWaitMs for one datagram into reply_; its length, or <= 0.
    int receive(char *from_text, size_t from_cap, int *from_port);
    int send(size_t length);

    FileTransferConfig config_;
    SendFrameFn send_;
    SocketFn socket_;
    bool peer_set_ = false;
    uint32_t peer_ = 0;
    uint8_t request_[FT_BUFFER_SIZE] = {};
    uint8_t reply_[FT_BUFFER_SIZE] = {};
};
