#include "fakeboxcommand.h"

#include "checksum.h"
#include "devicepackets.h"
#include "lhframe.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <linux/sockios.h>
#include <sys/ioctl.h>
#include <sys/time.h>

namespace {

// When the kernel took the datagram last received on `sock`: the gap between two commands
// as the sender made it, whenever this thread gets round to reading them.
int64_t arrival_us(int sock)
{
    timeval tv{};
    if (::ioctl(sock, SIOCGSTAMP, &tv) == 0)
        return int64_t(tv.tv_sec) * 1000000 + tv.tv_usec;
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

bool starts_with(const std::string &s, const char *prefix)
{
    return s.compare(0, std::strlen(prefix), prefix) == 0;
}

std::vector<std::string> split(const std::string &s, char sep)
{
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t pos; (pos = s.find(sep, start)) != std::string::npos; start = pos + 1)
        out.push_back(s.substr(start, pos - start));
    out.push_back(s.substr(start));
    return out;
}

std::string join(const std::vector<std::string> &parts, const char *sep)
{
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i)
        out += (i > 0 ? sep : "") + parts[i];
    return out;
}

// "X:valueH" -> "value"
std::string value_of(const std::string &text, size_t prefix)
{
    std::string v = text.substr(prefix);
    if (!v.empty() && v.back() == 'H')
        v.pop_back();
    return v;
}

} // namespace

bool parse_box_command(const std::vector<uint8_t> &bytes, BoxCommand *out)
{
    if (bytes.size() < LH_CRC_HEADER || bytes[0] != 'L' || bytes[1] != 'H')
        return false;
    BoxCommand c;
    c.cmd = rd_u16(&bytes[2]);
    c.seq = rd_u16(&bytes[4]);
    c.length = rd_u16(&bytes[6]);
    const size_t payload = std::min<size_t>(c.length, bytes.size() - LH_CRC_HEADER);
    const auto *text = reinterpret_cast<const char *>(bytes.data() + LH_CRC_HEADER);
    c.text.assign(text, strnlen(text, payload));
    c.crc_ok = crc_frame_intact(bytes);
    *out = std::move(c);
    return true;
}

FakeBoxCommand::FakeBoxCommand(const std::string &ip, int port) : peer_(ip, port)
{
    peer_.set_host("127.0.0.1", kPort);
    peer_.set_handler([this](FakePeer &peer, const Datagram &d) { on_datagram(peer, d); });
    if (peer_.ok())
        peer_.start();
}

FakeBoxCommand::~FakeBoxCommand()
{
    peer_.stop();
}

FakeBoxCommand::State FakeBoxCommand::state()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return state_;
}

void FakeBoxCommand::set_state(const State &s)
{
    std::lock_guard<std::mutex> lock(mutex_);
    state_ = s;
}

void FakeBoxCommand::set_override(Override o)
{
    std::lock_guard<std::mutex> lock(mutex_);
    override_ = std::move(o);
}

void FakeBoxCommand::set_silent(bool on)
{
    std::lock_guard<std::mutex> lock(mutex_);
    silent_ = on;
}

std::vector<BoxCommand> FakeBoxCommand::commands()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return commands_;
}

std::vector<std::string> FakeBoxCommand::command_texts()
{
    std::vector<std::string> out;
    for (const BoxCommand &c : commands())
        out.push_back(c.text);
    return out;
}

bool FakeBoxCommand::wait_for(size_t count, int timeout_ms)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return cv_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                        [&] { return commands_.size() >= count; });
}

bool FakeBoxCommand::wait_for_text(const std::string &text, int timeout_ms)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return cv_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [&] {
        return std::any_of(commands_.begin(), commands_.end(),
                           [&](const BoxCommand &c) { return c.text == text; });
    });
}

void FakeBoxCommand::clear()
{
    std::lock_guard<std::mutex> lock(mutex_);
    commands_.clear();
    peer_.clear_received();
}

std::vector<uint8_t> FakeBoxCommand::reply(const std::string &text, uint16_t seq)
{
    const size_t padded = (text.size() + 3) / 4 * 4;
    std::vector<uint8_t> d(LH_CRC_HEADER + padded + 4, 0);
    wr_u16(&d[0], LH_MAGIC);
    wr_u16(&d[2], kReply);
    wr_u16(&d[4], seq);
    wr_u16(&d[6], uint16_t(text.size()));
    std::memcpy(&d[LH_CRC_HEADER], text.data(), text.size());
    wr_u32(&d[LH_CRC_HEADER + padded], crc32_words(d.data(), (LH_CRC_HEADER + padded) / 4));
    return d;
}

void FakeBoxCommand::set_host(const std::string &ip, int port)
{
    peer_.set_host(ip, port);
}

int FakeBoxCommand::send_to_host(const std::vector<uint8_t> &datagram)
{
    return peer_.send_to_host(datagram);
}

void FakeBoxCommand::on_datagram(FakePeer &peer, const Datagram &d)
{
    BoxCommand c;
    if (!parse_box_command(d.bytes, &c))
        return;
    c.from_ip = d.from_ip;
    c.from_port = d.from_port;
    c.at_us = arrival_us(peer.socket());
    std::vector<std::string> replies;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        commands_.push_back(c);
        std::optional<std::vector<std::string>> chosen;
        if (override_)
            chosen = override_(c.text);
        if (silent_)
            replies.clear();
        else if (chosen)
            replies = *chosen;
        else if (c.cmd == kCommand)
            replies = answer(c.text);
    }
    cv_.notify_all();
    for (const std::string &r : replies)
        peer.reply(d, reply(r, c.seq));
}

// The healthy box; called under the lock.
std::vector<std::string> FakeBoxCommand::answer(const std::string &text)
{
    State &s = state_;
    if (text == "REBOOT")
        return {"REBOOT"};
    if (text == "LSGETS")
        return {"LSGETS:" + join(s.served, "|")};
    if (starts_with(text, "LSADD:") || starts_with(text, "LSDEL:")) {
        const bool add = starts_with(text, "LSADD:");
        for (const std::string &entry : split(text.substr(6), '|')) {
            const auto at = std::find(s.served.begin(), s.served.end(), entry);
            if (add && at == s.served.end())
                s.served.push_back(entry);
            else if (!add && at != s.served.end())
                s.served.erase(at);
        }
        return {text.substr(0, 6) + "OK"};
    }
    if (text == "LSNETS")
        return {"LSNETS:" + s.ip + " " + s.mask + " " + s.gateway};
    if (starts_with(text, "LSNET:")) {
        const std::vector<std::string> parts = split(text.substr(6), ' ');
        if (parts.size() != 3)
            return {"LSNET:NG"};
        s.ip = parts[0];
        s.mask = parts[1];
        s.gateway = parts[2];
        return {"LSNET:OK"};
    }
    if (text == "LVERSH")
        return {"LVERSH:" + s.version};
    if (starts_with(text, "LSMAC:")) {
        s.mac = value_of(text, 6);
        return {"LSMAC:OK"};
    }
    if (text == "LQMACH")
        return {"LQMACH:" + s.mac + "H"};
    if (text == "LUUIDH")
        return {"LUUIDH:" + s.sn + "H"};
    if (starts_with(text, "LQUUID:")) {
        s.sn = value_of(text, 7);
        return {"LQUUID:OK"};
    }
    return {};
}
