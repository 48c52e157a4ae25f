#include "filetransfer.h"

#include "dirhelpers.h"

#include "checksum.h"
#include "lhframe.h"
#include "sockethelpers.h"
#include "tracelog.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

std::string ft_file_name(const std::string &path)
{
    size_t cut = path.rfind('/');
    if (cut == std::string::npos)
        cut = path.rfind('\\');
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string ft_info_text(const std::string &name, uint32_t size, uint32_t crc)
{
    char numbers[32];
    std::snprintf(numbers, sizeof(numbers), " %u %08X", size, crc);
    const size_t room = FT_MAX_TEXT - std::strlen(numbers);
    return name.substr(0, std::min(name.size(), room)) + numbers;
}

size_t ft_build_text_message(uint16_t op, const std::string &text, uint8_t *out, size_t cap)
{
    const size_t l = std::min(text.size(), FT_MAX_TEXT);
    if (out == nullptr || cap < l + 5)
        return 0;
    wr_u16(out, op);
    wr_u16(out + 2, uint16_t(l));
    std::memcpy(out + 4, text.data(), l);
    out[4 + l] = 0;
    return l + 5;
}

size_t ft_build_chunk(uint16_t index, const void *data, size_t n, uint8_t *out, size_t cap)
{
    if (out == nullptr || n > FT_CHUNK_SIZE || cap < n + 6 || (n > 0 && data == nullptr))
        return 0;
    wr_u16(out, FT_OP_CHUNK);
    wr_u16(out + 2, index);
    wr_u16(out + 4, uint16_t(n));
    if (n > 0)
        std::memcpy(out + 6, data, n);
    return n + 6;
}

size_t ft_build_op(uint16_t op, uint8_t *out, size_t cap)
{
    if (out == nullptr || cap < 2)
        return 0;
    wr_u16(out, op);
    return 2;
}

size_t ft_build_next(uint16_t chunks, uint8_t *out, size_t cap)
{
    if (out == nullptr || cap < 4)
        return 0;
    wr_u16(out, FT_OP_NEXT);
    wr_u16(out + 2, chunks);
    return 4;
}

bool ft_upload_status(const uint8_t *payload, size_t len, uint8_t *status)
{
    if (payload == nullptr || len < 1)
        return false;
    *status = payload[0];
    return true;
}

bool ft_upload_ack(const uint8_t *payload, size_t len, uint16_t *status)
{
    if (payload == nullptr || len < 2)
        return false;
    *status = rd_u16(payload);
    return true;
}

bool ft_download_accepted(const uint8_t *payload, size_t len)
{
    return payload != nullptr && len >= 4 && payload[0] == 0 && payload[1] == 0 && payload[2] == 0
        && payload[3] == 0;
}

bool ft_parse_download_info(const uint8_t *payload, size_t len, FtFileInfo *out, std::string *text)
{
    if (payload == nullptr || len <= 6)
        return false;
    // The sensor's text need not be terminated within the datagram: parse a terminated copy.
    char copy[FT_BUFFER_SIZE];
    const size_t n = std::min(len - 6, sizeof(copy) - 1);
    std::memcpy(copy, payload + 6, n);
    copy[n] = '\0';
    if (text != nullptr)
        *text = copy;
    char name[64] = {0};
    unsigned size = 0;
    unsigned crc = 0;
    if (std::sscanf(copy, "%63s %u %8X", name, &size, &crc) != 3)
        return false;
    if (out != nullptr) {
        out->name = name;
        out->size = size;
        out->crc = crc;
    }
    return true;
}

bool ft_parse_download_chunk(const uint8_t *payload, size_t len, const uint8_t **data, size_t *n)
{
    if (payload == nullptr || len < 8)
        return false;
    *n = std::min<size_t>(rd_u16(payload + 6), len - 8);
    *data = payload + 8;
    return true;
}

namespace {

bool crc_of_fd(int fd, uint64_t *size, uint32_t *crc)
{
    if (::lseek(fd, 0, SEEK_SET) != 0)
        return false;
    uint8_t buf[1024];
    uint32_t c = 0;
    uint64_t total = 0;
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof(buf));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            break;
        c = crc32_reflected(c, buf, size_t(n));
        total += uint64_t(n);
    }
    *size = total;
    *crc = c;
    return true;
}

} // namespace

bool ft_file_crc(const std::string &path, uint64_t *size, uint32_t *crc)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = crc_of_fd(fd, size, crc);
    ::close(fd);
    return ok;
}

FileTransferConfig FileTransferConfig::raxo()
{
    FileTransferConfig c;
    c.frame_type = 3;
    c.print_protocol_codes = true;
    return c;
}

FileTransferConfig FileTransferConfig::fenku()
{
    FileTransferConfig c;
    c.frame_type = 9;
    c.wait_end_reply = true;
    c.print_chunk_marks = true;
    return c;
}

FileTransfer::FileTransfer(const FileTransferConfig &config, SendFrameFn send, SocketFn socket)
    : config_(config), send_(std::move(send)), socket_(std::move(socket))
{
}

int FileTransfer::send(size_t length)
{
    return send_ ? send_(config_.frame_type, request_, unsigned(length)) : -1;
}

void FileTransfer::set_peer(uint32_t addr_be)
{
    peer_ = addr_be;
    peer_set_ = true;
}

int FileTransfer::receive(char *from_text, size_t from_cap, int *from_port)
{
    const int sock = socket_ ? socket_() : INVALID_SOCK;
    if (from_cap > 0)
        from_text[0] = '\0';
    *from_port = 0;
    if (sock == INVALID_SOCK)
        return -1;
    // Datagrams of other senders do not extend the wait: a flood of them ends it as silence would.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kReplyWaitMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        pollfd p{sock, POLLIN, 0};
        int ready;
        do {
            ready = ::poll(&p, 1, int(std::max<int64_t>(0, left)));
        } while (ready < 0 && errno == EINTR);
        if (ready <= 0)
            return ready < 0 ? -1 : 0;
        sockaddr_in from{};
        socklen_t flen = sizeof(from);
        const ssize_t n = ::recvfrom(sock, reply_, sizeof(reply_), MSG_DONTWAIT,
                                     reinterpret_cast<sockaddr *>(&from), &flen);
        const bool inet = flen >= sizeof(sockaddr_in) && from.sin_family == AF_INET;
        if (n > 0 && peer_set_ && !(inet && from.sin_addr.s_addr == peer_))
            continue; // not the sensor: no reply of this transfer
        if (n > 0 && inet) {
            ipv4_to_text(from.sin_addr.s_addr, from_text, from_cap);
            *from_port = ntohs(from.sin_port);
        }
        return int(n);
    }
}

int FileTransfer::SendFileInfo(const std::string &path)
{
    uint64_t size = 0;
    uint32_t crc = 0;
    if (!ft_file_crc(path, &size, &crc)) {
        std::perror("open failed");
        return -1;
    }
    if (size > FT_MAX_FILE_SIZE) {
        QV_TRACE() << "file too large:" << QString::fromLocal8Bit(path.c_str()) << size;
        return -1;
    }
    const std::string text = ft_info_text(ft_file_name(path), uint32_t(size), crc);
    const size_t len = ft_build_text_message(FT_OP_INFO, text, request_, sizeof(request_));
    for (int attempt = 0; attempt < kInfoTries; ++attempt) {
        QV_TRACE() << "file info:" << QString::fromLocal8Bit(text.c_str());
        send(len);
        char from[INET_ADDRSTRLEN];
        int port = 0;
        const int n = receive(from, sizeof(from), &port);
        if (n < 1) {
            std::printf("RecvSize: %d\r\n", n);
            continue;
        }
        std::printf("%s:%d, len: %d\r\n", from, port, n);
        SumFrameData frame;
        const int ret = lh_parse_sum_frame(reply_, size_t(n), &frame);
        if (config_.print_protocol_codes)
            std::printf("PROTOCOL_RET_EN: %d \n", ret);
        if (ret != PROTOCOL_RET_OK) {
            std::printf("PRO ERR:%u\r\n", unsigned(ret));
            continue;
        }
        if (int(frame.type) != (config_.frame_type & 0x7FFF))
            continue;
        uint8_t status = 0;
        if (!ft_upload_status(frame.data.data(), frame.data.size(), &status))
            continue;
        if (config_.print_protocol_codes)
            std::printf("FILE_TRANS_ST_EN: %d \n", int(status));
        if (status == FILE_TRANS_ST_OK)
            return 0;
    }
    return -1;
}

int FileTransfer::SendFileData(const std::string &path)
{
    FILE *f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        std::perror("open failed");
        return -1;
    }
    uint8_t data[FT_CHUNK_SIZE];
    int index = -1;
    for (;;) {
        const size_t got = std::fread(data, 1, sizeof(data), f);
        ++index;
        if (got == 0) {
            const size_t len = ft_build_op(FT_OP_END, request_, sizeof(request_));
            send(len);
            if (!config_.wait_end_reply) {
                std::fclose(f);
                QV_TRACE() << "update ok";
                return 0;
            }
            char from[INET_ADDRSTRLEN];
            int port = 0;
            const int n = receive(from, sizeof(from), &port);
            SumFrameData frame;
            uint16_t status = 1;
            std::fclose(f);
            if (n > 0 && lh_parse_sum_frame(reply_, size_t(n), &frame) == PROTOCOL_RET_OK
                && int(frame.type) == (config_.frame_type & 0x7FFF)
                && ft_upload_ack(frame.data.data(), frame.data.size(), &status) && status == 0) {
                std::printf("update OK!!!\n");
                return 0;
            }
            return -1;
        }
        const size_t len = ft_build_chunk(uint16_t(index), data, got, request_, sizeof(request_));
        bool accepted = false;
        for (int sends = 0; sends < kChunkSends && !accepted; ++sends) {
            send(len);
            char from[INET_ADDRSTRLEN];
            int port = 0;
            const int n = receive(from, sizeof(from), &port);
            if (n < 1) {
                std::printf("-");
                std::fflush(stdout);
                continue;
            }
            SumFrameData frame;
            const int ret = lh_parse_sum_frame(reply_, size_t(n), &frame);
            if (ret != PROTOCOL_RET_OK) {
                QV_PRINTF_LIMITED("PRO ERR:%u\r\n", unsigned(ret));
                continue;
            }
            if (int(frame.type) != (config_.frame_type & 0x7FFF))
                continue;
            uint16_t status = 0;
            if (!ft_upload_ack(frame.data.data(), frame.data.size(), &status))
                continue;
            if (config_.print_chunk_marks) {
                std::printf("%s", status == 0 ? "." : status == 0x33 ? "x" : "?");
                std::fflush(stdout);
            }
            accepted = status == 0;
        }
        if (!accepted) {
            std::fclose(f);
            return -1;
        }
    }
}

bool FileTransfer::upload(const std::string &path)
{
    if (SendFileInfo(path) != 0) {
        QV_TRACE() << "send fileinfo failed";
        return false;
    }
    if (SendFileData(path) != 0) {
        QV_TRACE() << "send file failed";
        return false;
    }
    return true;
}

int FileTransfer::RecvFile(const std::string &local_path, const std::string &file_name)
{
    // Lands in the shared temporary folder: never follow a link planted there.
    const int fd = ::open(local_path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC,
                          0644);
    if (fd < 0) {
        QV_TRACE() << "open failed" << QString::fromLocal8Bit(local_path.c_str());
        return -1;
    }
    enum State { Request, Receiving, Finishing } state = Request;
    uint64_t received = 0;
    uint16_t chunks = 0;
    int failed = 0;
    bool write_ok = true;
    FtFileInfo info;
    for (;;) {
        size_t len = 0;
        switch (state) {
        case Request:
            len = ft_build_text_message(FT_OP_REQUEST, file_name, request_, sizeof(request_));
            break;
        case Receiving:
            len = ft_build_next(chunks, request_, sizeof(request_));
            break;
        case Finishing:
            len = ft_build_op(FT_OP_FINISH, request_, sizeof(request_));
            break;
        }
        send(len);

        char from[INET_ADDRSTRLEN];
        int port = 0;
        const int n = receive(from, sizeof(from), &port);
        SumFrameData frame;
        int ret = PROTOCOL_RET_TOO_SHORT;
        if (n < 1) {
            QV_TRACE() << "RecvSize:" << n;
        } else if ((ret = lh_parse_sum_frame(reply_, size_t(n), &frame)) != PROTOCOL_RET_OK) {
            QV_TRACE_LIMITED() << "PRO ERR:" << ret;
        } else if (int(frame.type) == (config_.frame_type & 0x7FFF)
                   && ft_download_accepted(frame.data.data(), frame.data.size())) {
            const uint8_t *payload = frame.data.data();
            const size_t plen = frame.data.size();
            if (state == Request) {
                std::string text;
                if (ft_parse_download_info(payload, plen, &info, &text)) {
                    failed = 0;
                    // An empty file is complete as soon as it is announced.
                    state = info.size == 0 ? Finishing : Receiving;
                } else {
                    QV_TRACE() << "file info error" << QString::fromLocal8Bit(text.c_str());
                }
            } else if (state == Receiving) {
                const uint8_t *data = nullptr;
                size_t count = 0;
                if (received <= info.size && ft_parse_download_chunk(payload, plen, &data, &count)) {
                    if (!write_all_fd(fd, data, count))
                        write_ok = false;
                    received += count;
                    ++chunks;
                    failed = 0;
                    if (received >= info.size)
                        state = Finishing;
                }
            } else {
                uint64_t size = 0;
                uint32_t crc = 0;
                const bool measured = crc_of_fd(fd, &size, &crc);
                ::close(fd);
                if (!measured || !write_ok || size != info.size || crc != info.crc) {
                    std::printf("[%d %08X] != [%d %08X]\n", int(size), crc, int(info.size),
                                info.crc);
                    return -1;
                }
                return 0;
            }
        }
        if (++failed > kMaxFailedRounds) {
            ::close(fd);
            return -1;
        }
    }
}
