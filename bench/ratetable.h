#pragma once
// The zero-loss rate table shared by the receiver benchmarks. A sender on 127.0.0.2 sends a
// list of datagrams round and round to a port on 127.0.0.1, paced to rising rates; for each
// rate the table shows the packets sent, decoded (or received) and lost for the receiver under
// test and for a bare loop that reads a socket with the same options as the receivers read
// theirs, 16 datagrams per call, and does nothing else (the limit the machine sets), best of a few runs, and the highest rate up to which nothing was lost. Each rate is
// credited as the sender reached it ("sent/s": where the sender itself can go no faster, a row
// tests no more than it reached). Above the ladder's last clean rate the table looks closer,
// halving the step until it is within 5 %, so that a ratio anywhere between 0.75 and 1 shows.
// Goals: zero loss at 100,000 packets per second, and a zero-loss rate of at least 0.8 of the
// bare loop's.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace ratetable {

using Datagrams = std::vector<std::vector<uint8_t>>;

// Seconds of traffic per rate, and runs per rate of which the best counts (the machines are
// shared).
constexpr double kSecondsPerRate = 0.5;
constexpr int kTrials = 3;

struct Result {
    long sent = 0;
    long got = 0;
    double send_rate = 0;
};

// A UDP port free on 127.0.0.1 right now.
int free_port();
// The port a socket is bound to.
int bound_port(int sock);

// Sends from 127.0.0.2 to 127.0.0.1:port.
class Sender {
public:
    Sender(int port, const Datagrams &packets);
    ~Sender();
    Sender(const Sender &) = delete;
    Sender &operator=(const Sender &) = delete;

    // Sends `count` packets from the list, round and round, paced to `rate` per second; returns
    // the seconds it took.
    double run(long count, double rate);
    void send(const std::vector<uint8_t> &datagram);

private:
    int sock_ = -1;
    const Datagrams &packets_;
};

// Packets of a run at `rate`: whole rounds of `per_round` (a frame's worth), at least one.
long packet_count(double rate, int per_round);

// Waits until `value` stops growing for `quiet_ms`, or reaches `target`.
void settle(const std::function<long()> &value, long target, int quiet_ms);

// Sends `count` packets of the list at `rate` to 127.0.0.1:port and waits until `decoded()`
// (packets taken by the receiver) stops growing or reaches `count`. With a `flush` datagram (an
// empty frame end), a run that falls short is flushed once, in case the frame end itself was
// lost and holds the last frame back.
Result send_and_count(int port, const Datagrams &packets, long count, double rate,
                      const std::function<long()> &decoded, const std::vector<uint8_t> &flush = {});

// The bare loop's reading: `sock` read as the receivers read theirs (16 datagrams of at most
// `read_size` bytes per call, a wait when none is waiting) while `running`, counting what came.
void bare_loop(int sock, const std::atomic<bool> &running, std::atomic<long> &received, size_t read_size);

// The bare loop: a socket with the receivers' options, read as the receivers read theirs (16
// datagrams of at most `read_size` bytes per call, a wait when none is waiting).
Result run_bare(double rate, const Datagrams &packets, int per_round, size_t read_size);

// Waits for a receiver's own word that it is up: until `up()` turns true, for at most
// `timeout_ms`. False at the time-out, or as soon as `failed()` says it will not come (the
// receiver reported that it could not open its socket, or its thread ended).
bool wait_for_start(const std::function<bool()> &up, const std::function<bool()> &failed,
                    int timeout_ms = 10000);

// Runs `attempt` until it returns true with its result, at most three times: an attempt
// returns false when its receiver did not start (a port taken between its choice and the
// receiver's bind, say) and the next one chooses fresh ports. When none starts the benchmark
// ends with a message rather than wait for ever.
Result run_started(const char *name, const std::function<bool(Result *)> &attempt);

// The receiver's and the bare loop's rows for every rate, the closer look at each ceiling, and
// the summary.
void table(const char *name, const std::vector<double> &rates,
           const std::function<Result(double)> &receiver, const std::function<Result(double)> &bare);

// The rates of the command line, or the default ladder from 25,000 to 600,000 per second
// (steps of 25,000 up to 150,000).
std::vector<double> rates_from(int argc, char **argv);

// The receive buffer the kernel grants a socket with the receivers' options (in the terms of
// the request: udp_recv_buffer_granted).
int granted_receive_buffer();

// CPU the whole process uses over the next `seconds`, as a percentage of one core: called
// while a receiver runs with no traffic, what its waiting costs.
double idle_cpu_percent(double seconds);

} // namespace ratetable
