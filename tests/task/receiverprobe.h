#pragma once
// What a receiver posts, collected on the test's (GUI) thread through queued connections, as
// the main window would receive it; waiting for it with a time-out; and the ports, files and
// recordings the receiver tests share.

#include "lhframe.h"
#include "logmanager.h"
#include "testsupport.h"
#include "userpointdata.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>
#include <QThread>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

// What a receiver posted through sig_data, as (type, bytes) in order, and the frames it posted.
// The Fenk-U and Raxo collectors add their receivers' other signals to it.
struct PostedLog {
    std::vector<std::pair<int, QByteArray>> data;
    std::vector<std::vector<UserPointData>> frames;

    int count(int type) const
    {
        int n = 0;
        for (const auto &d : data)
            n += d.first == type;
        return n;
    }
    int count(int type, const char *text) const
    {
        int n = 0;
        for (const auto &d : data)
            n += d.first == type && d.second == QByteArray(text);
        return n;
    }
    // The newest post of `type`; empty when there is none.
    QByteArray last(int type) const
    {
        for (auto it = data.rbegin(); it != data.rend(); ++it)
            if (it->first == type)
                return it->second;
        return QByteArray();
    }
};

struct Posted {
    int type;
    QByteArray data;
    std::string text() const { return data.toStdString(); }
};

class ReceiverProbe : public QObject {
public:
    std::vector<Posted> data;
    std::vector<std::vector<UserPointData>> frames;
    std::vector<int> frame_types;
    std::vector<int> upload_types;
    int cache_cleans = 0;

    template <class Receiver>
    void watch(Receiver *r)
    {
        register_point_meta_types();
        connect(r, &Receiver::sig_data, this,
                [this](int type, QByteArray d) { data.push_back({type, d}); });
        connect(r, &Receiver::sig_framedata, this,
                [this](std::vector<UserPointData> f, int type) {
                    frames.push_back(std::move(f));
                    frame_types.push_back(type);
                });
    }

    std::vector<Posted> of_type(int type) const
    {
        std::vector<Posted> out;
        for (const Posted &p : data)
            if (p.type == type)
                out.push_back(p);
        return out;
    }
    int count(int type, const std::string &text) const
    {
        int n = 0;
        for (const Posted &p : data)
            n += p.type == type && p.text() == text;
        return n;
    }
    void clear()
    {
        data.clear();
        frames.clear();
        frame_types.clear();
        upload_types.clear();
        cache_cleans = 0;
    }
};

using testsupport::drain_events;
using testsupport::wait_until;
using testsupport::free_udp_port;

// Bytes waiting in the receive queue of the UDP socket bound to local `port` (from
// /proc/net/udp), or -1 when no such socket exists.
inline long udp_receive_queue(int port)
{
    std::ifstream table("/proc/net/udp");
    std::string line;
    std::getline(table, line); // column titles
    while (std::getline(table, line)) {
        std::istringstream cols(line);
        std::string slot, local, remote, state, queues;
        if (!(cols >> slot >> local >> remote >> state >> queues))
            continue;
        const size_t colon = local.find(':');
        if (colon == std::string::npos || std::strtol(local.c_str() + colon + 1, nullptr, 16) != port)
            continue;
        const size_t sep = queues.find(':');
        return sep == std::string::npos ? -1 : std::strtol(queues.c_str() + sep + 1, nullptr, 16);
    }
    return -1;
}

// Calls send(i) for i = 0 .. count - 1 in bursts of `burst`, and after each burst waits until
// the socket on `port` has been read empty: a long stream reaches a receiver without loss,
// however fast the test sends. False when a burst was not read within the time-out.
template <class Send>
bool send_in_bursts(int port, size_t count, size_t burst, Send send, int timeout_ms = 5000)
{
    for (size_t i = 0; i < count;) {
        for (size_t end = std::min(count, i + burst); i < end; ++i)
            send(i);
        if (!wait_until([port] { return udp_receive_queue(port) == 0; }, timeout_ms))
            return false;
    }
    return true;
}

// Writes `bytes` to a fresh file `name` in a private folder; returns its path.
inline std::string write_temp_file(const std::string &name, const std::vector<uint8_t> &bytes)
{
    const std::string path = testsupport::make_temp_subdir("fw") + "/" + name;
    testsupport::write_file(path, bytes);
    return path;
}

// The payloads of the dump records the recorder wrote below `dir`, files in name order; every
// record must carry `expect_type`.
inline std::vector<std::vector<uint8_t>> dump_payloads(const std::string &dir, int expect_type)
{
    std::vector<std::vector<uint8_t>> out;
    std::vector<std::string> files;
    for (const auto &e : std::filesystem::recursive_directory_iterator(dir))
        if (e.is_regular_file())
            files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    for (const auto &f : files) {
        const std::vector<uint8_t> b = testsupport::read_file(f);
        size_t pos = 0;
        while (pos + DUMP_HEADER_SIZE <= b.size() && std::memcmp(&b[pos], "LHLOGH", 6) == 0) {
            const uint16_t type = rd_u16(&b[pos + 16]);
            const uint16_t len = rd_u16(&b[pos + 18]);
            EXPECT_EQ(type, expect_type);
            if (pos + DUMP_HEADER_SIZE + len > b.size())
                break;
            out.emplace_back(b.begin() + long(pos + DUMP_HEADER_SIZE),
                             b.begin() + long(pos + DUMP_HEADER_SIZE + len));
            pos += DUMP_HEADER_SIZE + len;
        }
    }
    return out;
}
