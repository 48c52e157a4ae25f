#include "fakebox.h"

#include "checksum.h"
#include "lhframe.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint16_t CMD_READ = 0x5A47;
constexpr uint16_t CMD_WRITE = 0x5A53;
constexpr uint32_t SIZE_QUERY = 0xFD009E21;
constexpr uint32_t SIZE_ANSWER = 0xFD0010F0;
constexpr uint32_t ERASE = 0xFD00EEEE;
constexpr uint32_t RELOAD = 0xFD0010AD;
constexpr uint32_t PIECE = 512;

std::vector<uint8_t> reply_frame(uint16_t cmd, uint16_t seq, const std::vector<uint8_t> &payload)
{
    return lh_make_crc_frame(cmd, seq, payload.data(), payload.size());
}

} // namespace

FakeBox::FakeBox(int port, const std::string &ip)
    : peer_(ip, port), store_(STORE_SIZE, 0), written_(STORE_SIZE / PIECE, 0)
{
    peer_.set_host("127.0.0.1", kPort);
    peer_.set_handler([this](FakePeer &peer, const Datagram &d) { on_datagram(peer, d); });
    if (peer_.ok())
        peer_.start();
}

FakeBox::~FakeBox()
{
    peer_.stop();
}

void FakeBox::on_datagram(FakePeer &peer, const Datagram &d)
{
    const std::vector<uint8_t> &b = d.bytes;
    if (b.size() < 8 || b[0] != 'L' || b[1] != 'H')
        return;
    bool answer_commands;
    bool answer_zones;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        answer_commands = answer_;
        answer_zones = answer_zones_;
    }
    const uint16_t cmd = rd_u16(&b[2]);
    if (cmd == CMD_READ || cmd == CMD_WRITE) {
        if (answer_zones)
            on_zone_request(peer, d);
    } else if (answer_commands) {
        peer.reply(d, reply(static_cast<uint16_t>(~cmd), rd_u16(&b[4]), "OK"));
    }
}

void FakeBox::set_answer_zones(bool on)
{
    std::lock_guard<std::mutex> lock(mutex_);
    answer_zones_ = on;
}

void FakeBox::set_host(const std::string &ip, int port)
{
    peer_.set_host(ip, port);
}

void FakeBox::set_answer_commands(bool on)
{
    std::lock_guard<std::mutex> lock(mutex_);
    answer_ = on;
}

int FakeBox::send(const std::vector<uint8_t> &datagram)
{
    return peer_.send_to_host(datagram);
}

std::vector<uint8_t> FakeBox::reply(uint16_t cmd, uint16_t sequence, const std::string &text)
{
    return lh_make_crc_frame(cmd, sequence, text.data(), text.size());
}

std::vector<uint8_t> FakeBox::lmsg(size_t size, uint8_t fill)
{
    std::vector<uint8_t> d(size < 4 ? 4 : size, fill);
    std::memcpy(&d[0], "LMSG", 4);
    return d;
}

void FakeBox::set_faults(const Faults &f)
{
    std::lock_guard<std::mutex> lock(mutex_);
    faults_ = f;
    bad_crc_piece_done_ = false;
    truncated_done_ = false;
    bad_crc_write_done_ = false;
}

void FakeBox::set_zone_store(const std::vector<uint8_t> &image)
{
    std::lock_guard<std::mutex> lock(mutex_);
    store_.assign(STORE_SIZE, 0);
    std::copy_n(image.begin(), std::min<size_t>(image.size(), STORE_SIZE), store_.begin());
}

std::vector<uint8_t> FakeBox::zone_store()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return store_;
}

int FakeBox::erase_count()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return erase_count_;
}

int FakeBox::reload_count()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return reload_count_;
}

int FakeBox::good_reload_count()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return good_reload_count_;
}

uint32_t FakeBox::erase_size()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return erase_size_;
}

uint32_t FakeBox::erase_check()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return erase_check_;
}

std::vector<uint32_t> FakeBox::write_offsets()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return write_offsets_;
}

std::vector<uint32_t> FakeBox::read_offsets()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return read_offsets_;
}

void FakeBox::on_zone_request(FakePeer &peer, const Datagram &d)
{
    const std::vector<uint8_t> &b = d.bytes;
    if (b.size() < LH_CRC_OVERHEAD || b[0] != 'L' || b[1] != 'H')
        return;
    const uint16_t cmd = rd_u16(&b[2]);
    const uint16_t seq = rd_u16(&b[4]);
    const size_t l = rd_u16(&b[6]);
    if (b.size() < LH_CRC_OVERHEAD + l || crc32_words(b.data(), l / 4 + 2) != rd_u32(&b[8 + l]))
        return;
    const uint8_t *p = &b[8];

    std::vector<std::vector<uint8_t>> replies;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (cmd == CMD_READ && l >= 12) {
            const uint32_t offset = rd_u32(p + 4);
            read_offsets_.push_back(offset);
            if (faults_.silent)
                return;
            std::vector<uint8_t> r;
            if (offset == SIZE_QUERY) {
                r.assign(20, 0);
                wr_u32(&r[0], faults_.version);
                wr_u32(&r[4], SIZE_ANSWER);
                wr_u32(&r[12], faults_.size_answer);
                uint32_t check = crc32_words(store_.data(), STORE_SIZE / 4);
                if (faults_.bad_transfer_check)
                    check ^= 0x1234;
                wr_u32(&r[16], check);
                replies.push_back(reply_frame(0xA5B8, seq, r));
            } else if (offset % PIECE == 0 && offset < STORE_SIZE) {
                const int piece = int(offset / PIECE);
                r.assign(12 + PIECE, 0);
                wr_u32(&r[0], faults_.version);
                wr_u32(&r[4], piece == faults_.out_of_range_piece ? STORE_SIZE : offset);
                wr_u16(&r[8], uint16_t(piece == faults_.short_piece ? 256 : PIECE));
                std::memcpy(&r[12], &store_[offset], PIECE);
                std::vector<uint8_t> f = reply_frame(0xA5B8, seq, r);
                if (piece == faults_.bad_crc_piece && !bad_crc_piece_done_) {
                    bad_crc_piece_done_ = true;
                    f[f.size() - 1] ^= 0xFF;
                }
                if (piece == faults_.truncated_piece && !truncated_done_) {
                    truncated_done_ = true;
                    f.resize(8 + 100);
                }
                replies.push_back(f);
            }
        } else if (cmd == CMD_WRITE && l >= 12) {
            const uint32_t offset = rd_u32(p + 4);
            write_offsets_.push_back(offset);
            if (offset == ERASE) {
                ++erase_count_;
                erase_size_ = l >= 20 ? rd_u32(p + 12) : 0;
                erase_check_ = l >= 20 ? rd_u32(p + 16) : 0;
                std::fill(store_.begin(), store_.end(), uint8_t(0xFF));
                std::fill(written_.begin(), written_.end(), uint8_t(0));
            } else if (offset == RELOAD) {
                ++reload_count_;
                const bool complete = std::all_of(written_.begin(), written_.end(), [](uint8_t f) { return f; });
                if (complete && crc32_words(store_.data(), STORE_SIZE / 4) == erase_check_)
                    ++good_reload_count_;
            } else if (offset % PIECE == 0 && offset < STORE_SIZE && l >= 12 + PIECE &&
                       rd_u16(p + 8) == PIECE) {
                std::memcpy(&store_[offset], p + 12, PIECE);
                written_[offset / PIECE] = 1;
            } else {
                return;
            }
            if (faults_.silent)
                return;
            std::vector<uint8_t> r(12, 0);
            wr_u32(&r[0], 0x101);
            wr_u32(&r[4], offset);
            wr_u32(&r[8], faults_.write_status);
            std::vector<uint8_t> f = reply_frame(0xA5AC, seq, r);
            const bool is_piece = offset != ERASE && offset != RELOAD;
            if (is_piece && faults_.bad_crc_write_reply && !bad_crc_write_done_) {
                bad_crc_write_done_ = true;
                f[f.size() - 1] ^= 0xFF;
            }
            replies.push_back(f);
            if (faults_.duplicate_echoes)
                replies.push_back(f);
            if (is_piece && faults_.stale_echoes && last_piece_echo_ != 0xFFFFFFFF) {
                wr_u32(&r[4], last_piece_echo_);
                replies.push_back(reply_frame(0xA5AC, seq, r));
            }
            if (is_piece)
                last_piece_echo_ = offset;
            if (offset == ERASE && faults_.early_last_echo) {
                wr_u32(&r[4], STORE_SIZE - PIECE);
                replies.push_back(reply_frame(0xA5AC, seq, r));
            }
        }
    }
    for (const auto &r : replies)
        peer.reply(d, r);
}
