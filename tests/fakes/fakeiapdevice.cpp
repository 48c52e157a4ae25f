#include "fakeiapdevice.h"

#include "devicepackets.h"
#include "lhframe.h"

#include <algorithm>
#include <cstring>

bool parse_iap_message(const std::vector<uint8_t> &bytes, IapMessage *out)
{
    if (bytes.size() < LH_CRC_HEADER + 16 || bytes[0] != 'L' || bytes[1] != 'H')
        return false;
    IapMessage m;
    m.cmd = rd_u16(&bytes[2]);
    m.seq = rd_u16(&bytes[4]);
    m.length = rd_u16(&bytes[6]);
    const size_t payload = std::min<size_t>(m.length, bytes.size() - LH_CRC_HEADER);
    if (payload < 16)
        return false;
    m.payload.assign(bytes.begin() + LH_CRC_HEADER, bytes.begin() + LH_CRC_HEADER + payload);
    m.word0 = rd_u32(&m.payload[0]);
    m.word1 = rd_u32(&m.payload[4]);
    m.word2 = rd_u32(&m.payload[8]);
    m.word3 = rd_u32(&m.payload[12]);
    m.crc_ok = crc_frame_intact(bytes);
    *out = std::move(m);
    return true;
}

std::vector<uint8_t> make_iap_reply(uint16_t seq, uint32_t word, uint32_t status,
                                    const std::string &text)
{
    std::vector<uint8_t> payload(8 + text.size() + 1, 0);
    wr_u32(&payload[0], word);
    wr_u32(&payload[4], status);
    std::memcpy(&payload[8], text.data(), text.size());
    return lh_make_crc_frame(IAP_CMD, seq, payload.data(), payload.size());
}

FakeIapDevice::FakeIapDevice(const std::string &ip, int port) : peer_(ip, port, true)
{
    set_policy(accept_all());
}

FakeIapDevice::Policy FakeIapDevice::accept_all()
{
    return [](const IapMessage &m) -> std::vector<std::vector<uint8_t>> {
        if (m.word0 == OP_UPGRADE_END)
            return {};
        return {make_iap_reply(m.seq, m.word0, 0)};
    };
}

FakeIapDevice::Policy FakeIapDevice::silent()
{
    return [](const IapMessage &) -> std::vector<std::vector<uint8_t>> { return {}; };
}

void FakeIapDevice::set_policy(Policy p)
{
    peer_.set_handler([p = std::move(p)](FakePeer &peer, const Datagram &d) {
        IapMessage m;
        if (!parse_iap_message(d.bytes, &m))
            return;
        m.from_ip = d.from_ip;
        m.from_port = d.from_port;
        for (const auto &reply : p(m))
            peer.reply(d, reply);
    });
}

void FakeIapDevice::start()
{
    peer_.start();
}

void FakeIapDevice::stop()
{
    peer_.stop();
}

std::vector<IapMessage> FakeIapDevice::messages()
{
    std::vector<IapMessage> out;
    for (const auto &d : peer_.received()) {
        IapMessage m;
        if (parse_iap_message(d.bytes, &m)) {
            m.from_ip = d.from_ip;
            m.from_port = d.from_port;
            out.push_back(std::move(m));
        }
    }
    return out;
}
