#include "firmware.h"

#include "checksum.h"
#include "lhframe.h"
#include "logmanager.h"
#include "sockethelpers.h"

#include <spdlog/spdlog.h>

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Resend deadlines run on the monotonic clock: a wall-clock step during an upgrade must neither
// fire every resend at once nor hold them off.
int64_t steady_ms()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Header checks that need only the first bytes and the file's total length.
FwImageError check_header(const uint8_t *data, size_t available, uint64_t file_length,
                          FirmwareImageInfo *info)
{
    FirmwareImageInfo h;
    if (available < 4) {
        if (info != nullptr)
            *info = h;
        return FwImageError::BadMagic;
    }
    h.magic = rd_u32(data);
    if (available >= 8)
        h.payload_size = rd_u32(data + 4);
    if (available >= 16)
        h.crc = rd_u32(data + 12);
    if (info != nullptr)
        *info = h;
    if (h.magic != FW_MAGIC)
        return FwImageError::BadMagic;
    if (available < FW_HEADER_SIZE || h.payload_size % FW_CHUNK_SIZE != 0
        || file_length != uint64_t(h.payload_size) + FW_HEADER_SIZE)
        return FwImageError::BadSize;
    return FwImageError::Ok;
}

bool read_all(int fd, uint8_t *buf, size_t len)
{
    size_t done = 0;
    while (done < len) {
        const ssize_t n = ::read(fd, buf + done, len - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

std::mutex g_options_mutex;
IapOptions g_options;

} // namespace

FwImageError fw_check_image(const uint8_t *data, size_t length, FirmwareImageInfo *info)
{
    if (data == nullptr)
        length = 0;
    FirmwareImageInfo h;
    const FwImageError e = check_header(data, length, length, &h);
    if (info != nullptr)
        *info = h;
    if (e != FwImageError::Ok)
        return e;
    if (crc32_words(data + FW_HEADER_SIZE, h.payload_size / 4) != h.crc)
        return FwImageError::BadCrc;
    return FwImageError::Ok;
}

std::vector<uint8_t> fw_load_image(const std::string &path, FwImageError *error)
{
    FwImageError dummy;
    FwImageError &err = error != nullptr ? *error : dummy;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (fd >= 0)
            ::close(fd);
        std::printf("open error\n");
        err = FwImageError::Unreadable;
        return {};
    }
    const uint64_t file_length = uint64_t(st.st_size);

    uint8_t header[FW_HEADER_SIZE];
    const size_t head = size_t(std::min<uint64_t>(file_length, FW_HEADER_SIZE));
    if (!read_all(fd, header, head)) {
        ::close(fd);
        err = FwImageError::Unreadable;
        return {};
    }
    err = check_header(header, head, file_length, nullptr);
    if (err != FwImageError::Ok) {
        ::close(fd);
        return {};
    }

    // The length now agrees with the header (at most 4 GiB + 652), so the buffer is bounded by
    // what a valid image can be.
    std::vector<uint8_t> image(file_length);
    std::memcpy(image.data(), header, FW_HEADER_SIZE);
    const bool ok = read_all(fd, image.data() + FW_HEADER_SIZE, image.size() - FW_HEADER_SIZE);
    ::close(fd);
    if (!ok) {
        err = FwImageError::Unreadable;
        return {};
    }
    err = fw_check_image(image.data(), image.size(), nullptr);
    if (err != FwImageError::Ok)
        return {};
    return image;
}

IapPayload iap_control_payload(uint32_t opcode, uint32_t word2, uint32_t word3)
{
    IapPayload p{};
    wr_u32(&p[0], opcode);
    wr_u32(&p[4], 0);
    wr_u32(&p[8], word2);
    wr_u32(&p[12], word3);
    return p;
}

IapPayload iap_chunk_payload(const uint8_t *image_payload, uint32_t offset)
{
    IapPayload p{};
    const uint8_t *chunk = image_payload + offset;
    wr_u32(&p[0], offset);
    wr_u32(&p[4], crc32_words(chunk, FW_CHUNK_SIZE / 4));
    std::memcpy(&p[8], chunk, FW_CHUNK_SIZE);
    return p;
}

bool iap_parse_reply(const uint8_t *data, size_t length, IapReply *out)
{
    if (data == nullptr || length < LH_CRC_HEADER + 8 || data[0] != 'L' || data[1] != 'H')
        return false;
    // The payload is what the length field announces, never more than arrived.
    const size_t payload = std::min<size_t>(rd_u16(data + 6), length - LH_CRC_HEADER);
    if (payload < 8)
        return false;
    if (out != nullptr) {
        const uint8_t *p = data + LH_CRC_HEADER;
        out->seq = rd_u16(data + 4);
        out->word = rd_u32(p);
        out->status = rd_u32(p + 4);
        const size_t kept = std::min(payload, IAP_REPLY_KEEP);
        const char *text = reinterpret_cast<const char *>(p + 8);
        const size_t room = std::min(kept - 8, IAP_REPLY_TEXT_MAX);
        out->text.assign(text, ::strnlen(text, room));
    }
    return true;
}

int fw_send_chunk(int sock, const IapPayload &payload, const char *ip, int port, uint16_t seq,
                  IapResendState *resend)
{
    const int rc = lh_send_crc_frame(sock, ip, port, IAP_CMD, seq, payload.size(), payload.data());
    if (resend != nullptr) {
        resend->last = payload;
        resend->deadline_ms = steady_ms() + resend->interval_ms;
    }
    return rc;
}

IapOptions iap_default_options()
{
    std::lock_guard<std::mutex> lock(g_options_mutex);
    return g_options;
}

void iap_set_default_options(const IapOptions &options)
{
    std::lock_guard<std::mutex> lock(g_options_mutex);
    g_options = options;
}

bool iap_run_exchange(int sock, const char *ip, int port, const std::string &path,
                      const IapReporter &report, const IapOptions &options)
{
    auto emit = [&](IapStep step) {
        if (report) {
            IapEvent e;
            e.step = step;
            e.port = port;
            report(e);
        }
    };

    // The device's address is what replies are matched against; without one there is no
    // exchange to run.
    in_addr device{};
    if (sock == INVALID_SOCK || ip == nullptr || inet_pton(AF_INET, ip, &device) != 1)
        return false;

    // One sequence number for the whole upgrade; the devices take 15-bit values.
    const uint16_t seq = uint16_t(std::rand() & 0x7FFF);

    FwImageError image_error = FwImageError::Ok;
    const std::vector<uint8_t> image = fw_load_image(path, &image_error);
    if (image.empty()) {
        if (report) {
            IapEvent e;
            e.step = IapStep::LoadFailed;
            e.image_error = image_error;
            report(e);
        }
        return false;
    }
    emit(IapStep::ImageGood);

    FirmwareImageInfo info;
    fw_check_image(image.data(), image.size(), &info);
    const uint8_t *payload = image.data() + FW_HEADER_SIZE;
    const uint64_t size = info.payload_size;

    IapResendState resend;
    resend.interval_ms = options.resend_ms;
    fw_send_chunk(sock, iap_control_payload(OP_FLASH_ERASE, info.payload_size, info.crc), ip, port,
                  seq, &resend);
    emit(IapStep::SentErase);

    uint8_t buf[IAP_REPLY_MAX_READ];
    for (;;) {
        fd_set rd;
        FD_ZERO(&rd);
        FD_SET(sock, &rd);
        timeval tv{};
        tv.tv_sec = options.wait_ms / 1000;
        tv.tv_usec = (options.wait_ms % 1000) * 1000;
        const int ready = ::select(sock + 1, &rd, nullptr, nullptr, &tv);
        if (ready < 0 && errno != EINTR)
            return false;

        // Checked on every pass, answer or not: an unanswered message goes out again.
        if (steady_ms() > resend.deadline_ms) {
            fw_send_chunk(sock, resend.last, ip, port, seq, &resend);
            if (++resend.resends > options.max_resends) {
                emit(IapStep::NoAnswer);
                return false;
            }
        }
        if (ready <= 0)
            continue;

        sockaddr_in from{};
        socklen_t from_len = sizeof(from);
        const ssize_t n = ::recvfrom(sock, buf, sizeof(buf), 0, reinterpret_cast<sockaddr *>(&from),
                                     &from_len);
        if (n < 0)
            continue;
        // Only the device may steer the upgrade: anything else on this port (another host,
        // a stale exchange, a short datagram) is ignored and does not count as an answer.
        IapReply reply;
        if (from.sin_addr.s_addr != device.s_addr || !iap_parse_reply(buf, size_t(n), &reply)
            || reply.seq != seq)
            continue;

        if (reply.status != 0) {
            if (report) {
                IapEvent e;
                e.step = IapStep::Refused;
                e.reply = reply;
                report(e);
            }
            return false;
        }
        resend.resends = 0;

        uint64_t next = 0;
        if (reply.word == OP_WRITE_IAP) {
            emit(IapStep::ReceivedWrite);
            fw_send_chunk(sock, iap_control_payload(OP_UPGRADE_END, IAP_END_MARK, 0), ip, port, seq,
                          nullptr);
            emit(IapStep::Success);
            return true;
        }
        if (reply.word == OP_FLASH_ERASE) {
            emit(IapStep::ReceivedErase);
            next = 0;
        } else {
            // 64 bits: an offset near 2^32 must not wrap round into a chunk past the image.
            next = uint64_t(reply.word) + FW_CHUNK_SIZE;
        }

        if (next + FW_CHUNK_SIZE > size) {
            emit(IapStep::SentWrite);
            fw_send_chunk(sock, iap_control_payload(OP_WRITE_IAP, info.payload_size, info.crc), ip,
                          port, seq, &resend);
        } else {
            fw_send_chunk(sock, iap_chunk_payload(payload, uint32_t(next)), ip, port, seq, &resend);
        }
    }
}

bool iap_upgrade(const char *ip, int port, const std::string &path, const IapReporter &report,
                 const IapOptions &options)
{
    if (report) {
        IapEvent e;
        e.step = IapStep::Start;
        e.port = port;
        report(e);
    }
    const int sock = udp_open(port, true, options.bind_ip.c_str());
    if (sock == INVALID_SOCK) {
        if (report) {
            IapEvent e;
            e.step = IapStep::OpenFailed;
            e.port = port;
            report(e);
        }
        return false;
    }
    const bool ok = iap_run_exchange(sock, ip, port, path, report, options);
    udp_close(sock);
    return ok;
}

bool fw_upgrade_box(const char *ip, int port, const char *path, const IapOptions &options)
{
    const auto console = LogManager::instance()->console();
    auto report = [&console](const IapEvent &e) {
        switch (e.step) {
        case IapStep::LoadFailed:
            console->error("Failed to load firmware upgrade file");
            break;
        case IapStep::NoAnswer:
            console->error("Send data more than three times without answering");
            break;
        case IapStep::Refused: {
            char line[IAP_REPLY_TEXT_MAX + 32];
            std::snprintf(line, sizeof(line), "%x %s \n", e.reply.word, e.reply.text.c_str());
            console->error("{}", line);
            break;
        }
        case IapStep::ReceivedErase:
            console->info("receive OP_FLASH_ERASE");
            break;
        case IapStep::SentWrite:
            console->info("send OP_WRITE_IAP");
            break;
        default:
            break;
        }
    };
    return iap_upgrade(ip, port, path != nullptr ? path : "", report, options);
}

bool fw_upgrade_box(const char *ip, int port, const char *path)
{
    return fw_upgrade_box(ip, port, path, iap_default_options());
}

bool fw_upgrade_box(int /*unused*/, const char *ip, int port, const char *path)
{
    return fw_upgrade_box(ip, port, path, iap_default_options());
}
