#pragma once
// Firmware images of the Vimo-E sensor and the algorithm box, and the in-application
// programming (IAP) exchange that carries them: flash erase, 512-byte chunks each answered,
// write, end - every message an LhCrcFrame of command 70 with a 520-byte payload.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Image file: 652-byte header, then the payload.
constexpr uint32_t FW_MAGIC = 0xB18E03EA;
constexpr size_t FW_HEADER_SIZE = 652;
constexpr size_t FW_CHUNK_SIZE = 512;

// The exchange.
constexpr uint16_t IAP_CMD = 70;
constexpr size_t IAP_PAYLOAD_SIZE = 520;
constexpr uint32_t OP_FLASH_ERASE = 0xFE00EEEE;
constexpr uint32_t OP_WRITE_IAP = 0xFE00AAAA;
constexpr uint32_t OP_UPGRADE_END = 0xFE00BBBB;
constexpr uint32_t IAP_END_MARK = 0xABCD1234;
constexpr size_t IAP_REPLY_MAX_READ = 1024;  // one reply datagram
constexpr size_t IAP_REPLY_KEEP = 136;       // payload bytes kept of a reply
constexpr size_t IAP_REPLY_TEXT_MAX = 127;   // characters of its text
constexpr int IAP_BOX_PORT = 6665;

using IapPayload = std::array<uint8_t, IAP_PAYLOAD_SIZE>;

// The header fields this program uses.
struct FirmwareImageInfo {
    uint32_t magic = 0;
    uint32_t payload_size = 0;
    uint32_t crc = 0; // crc32_words of the payload
};

enum class FwImageError {
    Ok,
    Unreadable, // the file cannot be opened or read
    BadMagic,
    BadSize,    // payload size not a multiple of 512, or file length not size + 652
    BadCrc,
};

// Checks a whole image held in memory. Fills `info` (when given) with the header's fields as
// far as they could be read.
FwImageError fw_check_image(const uint8_t *data, size_t length, FirmwareImageInfo *info = nullptr);

// Reads and checks an image file; the whole file, or an empty buffer when it cannot be read
// ("open error\n" on the console) or fails a check. The header is checked against the file's
// length before the rest is read, so a stray huge file is never loaded whole.
std::vector<uint8_t> fw_load_image(const std::string &path, FwImageError *error = nullptr);

// Control message: opcode, 0, then two words (size and CRC, or the end mark and 0), zeros.
IapPayload iap_control_payload(uint32_t opcode, uint32_t word2, uint32_t word3);

// Chunk message for the image payload at `offset` (it must hold 512 bytes from there):
// offset, crc32_words of the 512 bytes, the bytes.
IapPayload iap_chunk_payload(const uint8_t *image_payload, uint32_t offset);

// What the device answers, taken from one received datagram.
struct IapReply {
    uint16_t seq = 0;
    uint32_t word = 0;   // the opcode or chunk offset answered
    uint32_t status = 0; // 0 = accepted
    std::string text;    // at most 127 characters
};

// Parses one datagram as an answer: false unless it starts with "LH" and holds the full
// 8-byte frame header and both reply words (within its length field as well). The command
// code and the frame CRC are not examined: the devices do not fill them reliably.
bool iap_parse_reply(const uint8_t *data, size_t length, IapReply *out);

// The message waiting for an answer and when it is sent again.
struct IapResendState {
    IapPayload last{};
    int64_t deadline_ms = 0; // steady-clock milliseconds
    int resends = 0;
    int interval_ms = 3000;
};

// Sends the 520-byte payload as an LhCrcFrame of command 70; with a resend state, keeps a
// copy and sets its deadline to now + its interval. Returns the sendto result.
int fw_send_chunk(int sock, const IapPayload &payload, const char *ip, int port, uint16_t seq,
                  IapResendState *resend);

// Timing and binding of one exchange. The defaults are the devices' protocol; tests bind the
// program's side to 127.0.0.1 (the fake device holds the same port on 127.0.0.2) and shorten
// the time-outs.
struct IapOptions {
    std::string bind_ip;     // local address of the exchange's socket; empty = any
    int resend_ms = 3000;    // a message unanswered this long is sent again
    int wait_ms = 5000;      // longest single wait for a reply
    int max_resends = 3;     // the upgrade gives up when the resend count exceeds this
};

// Process-wide defaults for callers that cannot pass options through (the box command
// thread); tests set them. Thread-safe.
IapOptions iap_default_options();
void iap_set_default_options(const IapOptions &options);

// Progress of an exchange; each variant turns these into its own texts.
enum class IapStep {
    Start,         // before anything else
    OpenFailed,    // the socket could not be opened
    LoadFailed,    // unreadable file or failed check (see `image_error`)
    ImageGood,
    SentErase,
    NoAnswer,      // the last resend went unanswered: failed
    Refused,       // a reply with a non-zero status: failed
    ReceivedWrite, // the device confirmed the write; the end message follows
    Success,
    ReceivedErase,
    SentWrite,
};

struct IapEvent {
    IapStep step = IapStep::Start;
    int port = 0;                               // OpenFailed
    FwImageError image_error = FwImageError::Ok; // LoadFailed
    IapReply reply;                              // Refused
};

using IapReporter = std::function<void(const IapEvent &)>;

// The exchange on a socket the caller opened: checks the image, then erase, chunks, write,
// end with the device at ip:port. Replies count only from the device's address, with the
// upgrade's sequence number. Does not close `sock`. True when the device confirmed the write.
bool iap_run_exchange(int sock, const char *ip, int port, const std::string &path,
                      const IapReporter &report, const IapOptions &options);

// The whole upgrade as both variants run it: reports the start, opens a socket bound to the
// device's port number with address reuse (at options.bind_ip), runs the exchange and closes
// the socket.
bool iap_upgrade(const char *ip, int port, const std::string &path, const IapReporter &report,
                 const IapOptions &options);

// Algorithm-box variant: progress and errors go to the recorder's console logger.
bool fw_upgrade_box(const char *ip, int port, const char *path, const IapOptions &options);
bool fw_upgrade_box(const char *ip, int port, const char *path);
// The box command thread's form; the leading integer is not used.
bool fw_upgrade_box(int unused, const char *ip, int port, const char *path);
