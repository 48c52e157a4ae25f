#include "lhframe.h"

#include "checksum.h"
#include "sockethelpers.h"
#include "timehelpers.h"
#include "tracelog.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/select.h>
#include <sys/socket.h>

std::vector<uint8_t> lh_make_crc_frame(uint16_t cmd, uint16_t seq, const void *payload, size_t len)
{
    const size_t padded = (len + 3) & ~size_t(3);
    if (padded > LH_CRC_MAX_PAYLOAD || (len > 0 && payload == nullptr))
        return {};
    std::vector<uint8_t> f(LH_CRC_OVERHEAD + padded, 0);
    wr_u16(&f[0], LH_MAGIC);
    wr_u16(&f[2], cmd);
    wr_u16(&f[4], seq);
    wr_u16(&f[6], static_cast<uint16_t>(padded));
    if (len > 0)
        std::memcpy(&f[LH_CRC_HEADER], payload, len);
    wr_u32(&f[LH_CRC_HEADER + padded], crc32_words(f.data(), padded / 4 + 2));
    return f;
}

std::vector<uint8_t> lh_make_sum_frame(uint16_t reserved, uint16_t seq, uint16_t type,
                                       const void *payload, size_t len)
{
    if (len > LH_SUM_MAX_PAYLOAD || (len > 0 && payload == nullptr))
        return {};
    std::vector<uint8_t> f(LH_SUM_OVERHEAD + len, 0);
    wr_u16(&f[0], LH_MAGIC);
    wr_u16(&f[2], reserved);
    wr_u16(&f[4], seq);
    wr_u16(&f[6], type);
    wr_u32(&f[8], static_cast<uint32_t>(len));
    if (len > 0)
        std::memcpy(&f[LH_SUM_HEADER], payload, len);
    f[LH_SUM_HEADER + len] = static_cast<uint8_t>(sum8(f.data(), LH_SUM_HEADER + len));
    return f;
}

int lh_send_crc_frame(int sock, const char *ip, int port, uint16_t cmd, uint16_t seq, size_t len,
                      const void *payload)
{
    const auto f = lh_make_crc_frame(cmd, seq, payload, len);
    if (f.empty())
        return -1;
    return udp_send_to(sock, ip, port, f.data(), f.size());
}

int lh_send_sum_frame(int sock, const char *ip, int port, uint16_t reserved, uint16_t seq,
                      uint16_t type, size_t len, const void *payload)
{
    const auto f = lh_make_sum_frame(reserved, seq, type, payload, len);
    if (f.empty())
        return -1;
    return udp_send_to(sock, ip, port, f.data(), f.size());
}

bool lh_command_allowed(const char *cmd, size_t len)
{
    if (cmd == nullptr || len == 0)
        return false;
    if (cmd[0] == 'L' || (len > 1 && cmd[1] == 'H'))
        return true;
    // The command need not be terminated: print no more than it holds.
    QV_PRINTF_LIMITED("unknown cmd:%.*s\n", int(len), cmd);
    return false;
}

int lh_parse_sum_frame(const uint8_t *buf, size_t n, SumFrameData *out)
{
    if (n <= 12)
        return PROTOCOL_RET_TOO_SHORT;
    if (buf[0] != 'L' || buf[1] != 'H')
        return PROTOCOL_RET_NOT_LH;
    const uint64_t payload_len = rd_u32(buf + 8);
    if (n < payload_len + LH_SUM_OVERHEAD)
        return PROTOCOL_RET_TOO_SHORT;
    const uint8_t sum = static_cast<uint8_t>(sum8(buf, payload_len + LH_SUM_HEADER));
    if (sum != buf[payload_len + LH_SUM_HEADER])
        QV_PRINTF_LIMITED("check err\r\n");
    if (out != nullptr) {
        out->type = rd_u16(buf + 6) & 0x7FFFu;
        out->len = static_cast<uint16_t>(payload_len);
        out->data.assign(buf + LH_SUM_HEADER, buf + LH_SUM_HEADER + payload_len);
    }
    return PROTOCOL_RET_OK;
}

bool lh_request_crc_frame(int sock, const char *ip, int port, size_t len, const void *payload,
                          uint16_t cmd, int *reply_len, uint8_t *reply, size_t reply_cap,
                          int budget_sec, int max_datagrams)
{
    if (sock == INVALID_SOCK)
        return false;
    const uint16_t id = static_cast<uint16_t>(std::rand() & 0x7FFF);
    if (lh_send_crc_frame(sock, ip, port, cmd, id, len, payload) < 0)
        return false;

    TimeSecMs now{};
    const int64_t deadline = time_now_sec_ms(&now, false) + budget_sec;
    uint8_t buf[LH_MAX_DATAGRAM];
    int received = 0;
    while (time_now_sec_ms(&now, false) < deadline && received < max_datagrams) {
        fd_set rd;
        FD_ZERO(&rd);
        FD_SET(sock, &rd);
        timeval tv{1, 0};
        const int ready = ::select(sock + 1, &rd, nullptr, nullptr, &tv);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            std::printf("select error\n");
            return false;
        }
        if (ready == 0)
            continue;
        const ssize_t n = ::recv(sock, buf, sizeof(buf), 0);
        if (n < 0)
            continue;
        ++received;
        if (n < static_cast<ssize_t>(LH_CRC_HEADER) || buf[0] != 'L' || buf[1] != 'H'
            || rd_u16(buf + 4) != id)
            continue;
        size_t text = rd_u16(buf + 6);
        text = std::min(text, static_cast<size_t>(n) - LH_CRC_HEADER);
        text = std::min(text, reply_cap);
        if (text > 0 && reply != nullptr)
            std::memcpy(reply, buf + LH_CRC_HEADER, text);
        if (reply_len != nullptr)
            *reply_len = static_cast<int>(text);
        return true;
    }
    return false;
}
