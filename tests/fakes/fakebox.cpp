#include "fakebox.h"

#include "lhframe.h"

#include <cstring>

namespace {

bool is_zone_request(uint16_t cmd)
{
    return cmd == 0x5A53 || cmd == 0x5A47;
}

} // namespace

FakeBox::FakeBox(int port, const std::string &ip) : peer_(ip, port)
{
    peer_.set_host("127.0.0.1", kPort);
    peer_.set_handler([this](FakePeer &peer, const Datagram &d) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!answer_)
                return;
        }
        const std::vector<uint8_t> &b = d.bytes;
        if (b.size() < 8 || b[0] != 'L' || b[1] != 'H' || is_zone_request(rd_u16(&b[2])))
            return;
        peer.reply(d, reply(kTextReply, rd_u16(&b[4]), "OK"));
    });
    if (peer_.ok())
        peer_.start();
}

FakeBox::~FakeBox()
{
    peer_.stop();
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
