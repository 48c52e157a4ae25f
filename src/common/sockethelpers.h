#pragma once
// Thin layer over POSIX UDP sockets and the address texts the devices are configured with.
// Results are plain integers, booleans and C strings; nothing here throws or shows a window.

#include <cstddef>
#include <cstdint>

// No socket. Descriptor 0 is a valid socket, so failure is -1 only.
constexpr int INVALID_SOCK = -1;

// Receive buffers asked for: every receiving socket 1 MiB, the Fenk-U upload socket 10 MiB.
constexpr int UDP_RECV_BUFFER = 0x100000;
constexpr int UDP_UPLOAD_RECV_BUFFER = 0xA00000;

// UDP socket with a UDP_RECV_BUFFER receive buffer (see udp_set_recv_buffer) and a 500 ms
// receive time-out, bound to `bind_ip` (0.0.0.0 when null or empty) and `port`; SO_REUSEADDR
// when `reuse` is set. -1 on failure.
// `bind_ip` lets tests bind 127.0.0.1 while a fake device holds the same port on 127.0.0.2.
int udp_open(int port, bool reuse, const char *bind_ip = nullptr);

// Unbound UDP socket with a UDP_UPLOAD_RECV_BUFFER receive buffer and a 1000 ms receive
// time-out, or -1.
int udp_open_unbound();

// Asks for a receive buffer of `bytes`. The kernel caps SO_RCVBUF at net.core.rmem_max (212992
// bytes on a stock Debian, under 2 ms of Raxo traffic at full rate); where the process may
// (CAP_NET_ADMIN, e.g. as root) SO_RCVBUFFORCE then gets the whole size. Returns the size
// granted (udp_recv_buffer_granted), which is less than `bytes` when neither was allowed.
int udp_set_recv_buffer(int sock, int bytes);

// Closes the socket; returns 0. `is_socket` is kept for callers that pass other handles.
int udp_close(int sock, bool is_socket = true);

// Receive buffer the kernel reports for the socket (SO_RCVBUF as read back: twice the size it
// granted, the other half being its own bookkeeping), or -1.
int udp_recv_buffer_size(int sock);
// The size granted, in the terms of the request: what udp_set_recv_buffer asked for when the
// whole request was met. -1 on failure.
int udp_recv_buffer_granted(int sock);

// One sendto to the dotted IPv4 address and port: bytes sent, or -1 (also for a bad address).
int udp_send_to(int sock, const char *ip, int port, const void *data, size_t len);

// Dotted-quad text of a network-order IPv4 address into `out` (at least 16 bytes).
void ipv4_to_text(uint32_t addr_be, char *out, size_t out_size);

// The network-order address of `text` when it is the canonical dotted form of an IPv4 address
// (exactly what ipv4_to_text writes for it); false for any other text. A receiver that takes
// datagrams only from a configured address text compares binary addresses against this.
bool ipv4_from_canonical_text(const char *text, uint32_t *addr_be);

bool is_ipv4(const char *text);
bool is_mac(const char *text);

// Normalised device address text ("%03d.%03d.%03d.%03d %05d", with mask and gateway when
// `with_mask`). `out` must hold at least 64 characters. False when any field is refused.
bool format_ip_config(bool with_mask, const char *ip, const char *mask, const char *gateway,
                      int port, char *out);

// MAC address of `ip` from the kernel's ARP table as "aa-bb-cc-dd-ee-ff". `out` is a
// zero-filled buffer of 64 characters; on failure it receives the reason and false is returned.
bool arp_get_mac(const char *ip, char *out);

// An IPv4 network attached to an interface: its address and mask, in network order.
struct Ipv4Attachment {
    uint32_t addr_be;
    uint32_t mask_be;
};

// True when `ip_be` is a neighbour on one of `attached`: inside its subnet, and neither the
// interface's own address nor (on subnets of more than two addresses) the subnet's network or
// broadcast address.
bool ipv4_neighbour_of(uint32_t ip_be, const Ipv4Attachment *attached, size_t n);

// The same over the networks of this host's interfaces that are up and resolve neighbours
// (neither loopback, nor point-to-point, nor without ARP). An address reached only through a
// gateway is not on the link. False for a text that is no address.
bool ipv4_on_link(const char *ip);

// Makes the kernel resolve `ip` on the link (an empty UDP datagram to its discard port), so a
// device that sends nothing to this host gets a neighbour entry. False, sending nothing, for an
// address that is not on a network attached to this host (ipv4_on_link): the datagram would
// leave through a gateway to wherever a heartbeat pointed.
bool arp_solicit(const char *ip);

// arp_get_mac, and when the table has no complete entry yet, arp_solicit and then up to
// `wait_ms` milliseconds of looking again, as the system call it stands for waits for the
// reply. Blocks: call it on a worker thread. Same results as arp_get_mac; an address not on the
// link has no hardware address here and fails at once.
bool arp_resolve_mac(const char *ip, char *out, int wait_ms = 1000);

// Same lookup over a given ARP table text (the format of /proc/net/arp), for tests.
bool arp_get_mac_from_table(const char *table, const char *ip, char *out);
