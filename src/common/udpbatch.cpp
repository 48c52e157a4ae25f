#include "udpbatch.h"

#include <cerrno>

UdpBatch::UdpBatch(size_t slots, size_t slot_bytes)
    : slot_bytes_(slot_bytes),
      // Zero-filled, so that every page is touched here and not in the first reads.
      buffer_((slots > 0 ? slots : 1) * slot_bytes, 0), msgs_(slots > 0 ? slots : 1),
      iovs_(msgs_.size()), from_(msgs_.size())
{
}

int UdpBatch::receive(int sock)
{
    // The kernel writes the name lengths back: set every header up again.
    for (size_t i = 0; i < msgs_.size(); ++i) {
        iovs_[i].iov_base = buffer_.data() + i * slot_bytes_;
        iovs_[i].iov_len = slot_bytes_;
        msgs_[i].msg_hdr = msghdr{};
        msgs_[i].msg_hdr.msg_name = &from_[i];
        msgs_[i].msg_hdr.msg_namelen = sizeof(sockaddr_in);
        msgs_[i].msg_hdr.msg_iov = &iovs_[i];
        msgs_[i].msg_hdr.msg_iovlen = 1;
        msgs_[i].msg_len = 0;
    }
    int n;
    do {
        n = ::recvmmsg(sock, msgs_.data(), unsigned(msgs_.size()), MSG_DONTWAIT, nullptr);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        last_ = 0;
        return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
    }
    last_ = n;
    return n;
}
