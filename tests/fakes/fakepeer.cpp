#include "fakepeer.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

FakePeer::FakePeer(const std::string &ip, int port, bool reuse) : ip_(ip)
{
    sock_ = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (sock_ < 0)
        return;
    if (reuse) {
        const int on = 1;
        setsockopt(sock_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
    }
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(uint16_t(port));
    inet_pton(AF_INET, ip.c_str(), &a.sin_addr);
    if (::bind(sock_, reinterpret_cast<sockaddr *>(&a), sizeof(a)) != 0) {
        ::close(sock_);
        sock_ = -1;
        return;
    }
    socklen_t len = sizeof(a);
    getsockname(sock_, reinterpret_cast<sockaddr *>(&a), &len);
    port_ = ntohs(a.sin_port);
}

FakePeer::~FakePeer()
{
    stop();
    if (sock_ >= 0)
        ::close(sock_);
}

void FakePeer::set_handler(Handler h)
{
    std::lock_guard<std::mutex> lock(mutex_);
    handler_ = std::move(h);
}

void FakePeer::start()
{
    if (running_.exchange(true))
        return;
    thread_ = std::thread([this] { loop(); });
}

void FakePeer::stop()
{
    running_ = false;
    if (thread_.joinable())
        thread_.join();
}

void FakePeer::loop()
{
    std::vector<uint8_t> buf(65536);
    while (running_) {
        pollfd p{sock_, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0)
            continue;
        sockaddr_in from{};
        socklen_t flen = sizeof(from);
        const ssize_t n = ::recvfrom(sock_, buf.data(), buf.size(), 0,
                                     reinterpret_cast<sockaddr *>(&from), &flen);
        if (n < 0)
            continue;
        Datagram d;
        d.bytes.assign(buf.begin(), buf.begin() + n);
        char text[INET_ADDRSTRLEN] = {0};
        inet_ntop(AF_INET, &from.sin_addr, text, sizeof(text));
        d.from_ip = text;
        d.from_port = ntohs(from.sin_port);
        Handler h;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            received_.push_back(d);
            h = handler_;
            handling_ = bool(h);
        }
        if (h) {
            h(*this, d);
            std::lock_guard<std::mutex> lock(mutex_);
            handling_ = false;
        }
        cv_.notify_all();
    }
}

int FakePeer::send_to(const std::string &ip, int port, const std::vector<uint8_t> &bytes)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(uint16_t(port));
    inet_pton(AF_INET, ip.c_str(), &a.sin_addr);
    return int(::sendto(sock_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr *>(&a), sizeof(a)));
}

int FakePeer::reply(const Datagram &to, const std::vector<uint8_t> &bytes)
{
    return send_to(to.from_ip, to.from_port, bytes);
}

void FakePeer::set_host(const std::string &ip, int port)
{
    std::lock_guard<std::mutex> lock(mutex_);
    host_ip_ = ip;
    host_port_ = port;
}

std::string FakePeer::host_ip()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return host_ip_;
}

int FakePeer::send_to_host(const std::vector<uint8_t> &bytes)
{
    std::string ip;
    int port;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ip = host_ip_;
        port = host_port_;
    }
    return send_to(ip, port, bytes);
}

std::vector<Datagram> FakePeer::received()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
}

size_t FakePeer::received_count()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return received_.size();
}

void FakePeer::clear_received()
{
    std::lock_guard<std::mutex> lock(mutex_);
    received_.clear();
}

bool FakePeer::wait_for(size_t count, int timeout_ms)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return cv_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                        [&] { return received_.size() >= count && !handling_; });
}
