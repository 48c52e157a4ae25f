#pragma once
// A small UDP peer for tests: binds an address on loopback (127.0.0.2 by default, so it can
// hold the same port number as the program on 127.0.0.1), records every datagram it receives
// and answers through a handler that runs on its own thread.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct Datagram {
    std::vector<uint8_t> bytes;
    std::string from_ip;
    int from_port = 0;
};

class FakePeer {
public:
    using Handler = std::function<void(FakePeer &peer, const Datagram &d)>;

    // port 0 picks a free port. Check ok() before use.
    explicit FakePeer(const std::string &ip = "127.0.0.2", int port = 0, bool reuse = false);
    ~FakePeer();
    FakePeer(const FakePeer &) = delete;
    FakePeer &operator=(const FakePeer &) = delete;

    bool ok() const { return sock_ >= 0; }
    int port() const { return port_; }
    const std::string &ip() const { return ip_; }
    int socket() const { return sock_; }

    // Called on the peer's thread for every datagram, after it has been recorded.
    void set_handler(Handler h);
    void start();
    void stop();

    int send_to(const std::string &ip, int port, const std::vector<uint8_t> &bytes);
    int reply(const Datagram &to, const std::vector<uint8_t> &bytes);

    // Where the device sends on its own (point packets, unsolicited replies): the host's address
    // and port, 127.0.0.1 and port 0 until set. Any thread may set it.
    void set_host(const std::string &ip, int port);
    std::string host_ip();
    int send_to_host(const std::vector<uint8_t> &bytes);

    std::vector<Datagram> received();
    size_t received_count();
    void clear_received();
    // Waits until at least `count` datagrams have been received and the handler is done with
    // the last one (what it records is then there to read), or the time-out ends.
    bool wait_for(size_t count, int timeout_ms);

private:
    void loop();

    std::string ip_;
    int port_ = 0;
    int sock_ = -1;
    std::atomic<bool> running_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<Datagram> received_;
    bool handling_ = false; // the handler runs on the datagram last received
    Handler handler_;
    std::string host_ip_ = "127.0.0.1";
    int host_port_ = 0;
};
