#pragma once
// Reads the datagrams waiting on a UDP socket several at a time, with one system call
// (recvmmsg). A receiver loop that read one datagram per call, after a wait per datagram, spent
// most of its time in the kernel at high packet rates; on a loaded machine, the more time a
// thread needs, the longer it waits for a CPU, and its socket buffer overflows meanwhile.

#include <cstddef>
#include <cstdint>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <vector>

class UdpBatch {
public:
    // `slots` datagrams of at most `slot_bytes` each per call; longer ones are cut to that,
    // as a single read into a buffer of that size would cut them.
    UdpBatch(size_t slots, size_t slot_bytes);

    // Reads what is waiting, without waiting: the number of datagrams read, 0 when none was
    // waiting, -1 on another error.
    int receive(int sock);
    // Datagram i of the last receive(): its bytes, length and source address (IPv4, network
    // byte order).
    const uint8_t *data(int i) const { return buffer_.data() + size_t(i) * slot_bytes_; }
    size_t size(int i) const { return msgs_[size_t(i)].msg_len; }
    uint32_t source(int i) const { return from_[size_t(i)].sin_addr.s_addr; }
    // The last receive() filled every slot: more may be waiting.
    bool full() const { return last_ == int(msgs_.size()); }

private:
    size_t slot_bytes_;
    int last_ = 0;
    std::vector<uint8_t> buffer_;
    std::vector<mmsghdr> msgs_;
    std::vector<iovec> iovs_;
    std::vector<sockaddr_in> from_;
};
