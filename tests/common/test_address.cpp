#include "sockethelpers.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <cstring>
#include <iterator>
#include <string>

TEST(Address, Ipv4Texts)
{
    const std::pair<const char *, bool> cases[] = {
        {"192.168.1.10", true}, {"1..2.3", true},  {"001.002.003.004", true},
        {"0.0.0.0", true},      {"255.255.255.255", true},
        {"1.2.3.", false},      {".1.2.3", false}, {"1.2.3.256", false},
        {"1.2.3", false},       {"1.2.3.4.5", false}, {"", false},
        {"1.2.3.4 ", false},    {"a.b.c.d", false}, {"1.2.3.99999999999999999999", false},
        {"256.1.1.1", false},   {"...", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(is_ipv4(c.first), c.second) << '"' << c.first << '"';
    EXPECT_FALSE(is_ipv4(nullptr));
}

TEST(Address, CanonicalIpv4Texts)
{
    // A receiver compares binary source addresses against its configured text: only a text in
    // the form the kernel's address would be written in may match anything.
    const std::pair<const char *, bool> cases[] = {
        {"127.0.0.2", true},   {"192.168.1.10", true}, {"0.0.0.0", true},
        {"255.255.255.255", true}, {"192.168.001.010", false}, {"1..2.3", false},
        {"1.2.3", false},      {"1.2.3.4 ", false},    {" 1.2.3.4", false},
        {"256.1.1.1", false},  {"", false},            {"::1", false},
    };
    for (const auto &c : cases) {
        uint32_t addr = 0x12345678;
        EXPECT_EQ(ipv4_from_canonical_text(c.first, &addr), c.second) << '"' << c.first << '"';
        if (c.second) {
            char back[16] = {0};
            ipv4_to_text(addr, back, sizeof(back));
            EXPECT_STREQ(back, c.first);
        } else {
            EXPECT_EQ(addr, 0x12345678u) << "untouched for " << '"' << c.first << '"';
        }
    }
    EXPECT_FALSE(ipv4_from_canonical_text(nullptr, nullptr));
    EXPECT_TRUE(ipv4_from_canonical_text("10.0.0.1", nullptr));
}

TEST(Address, MacTexts)
{
    const std::pair<const char *, bool> cases[] = {
        {"AA:bb:0C:d1:e2:F3", true},  {"00:00:00:00:00:00", true},
        {"AA-BB-CC-DD-EE-FF", false}, {"A:BB:CC:DD:EE:FFF", false},
        {"AA:BB:CC:DD:EE:F", false},  {"AA:BB:CC:DD:EE:FF0", false},
        {"GG:BB:CC:DD:EE:FF", false}, {".A:BB:CC:DD:EE:FF", false},
        {"AABB:CC:DD:EE:FF:", false}, {"", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(is_mac(c.first), c.second) << '"' << c.first << '"';
    EXPECT_FALSE(is_mac(nullptr));
}

TEST(Address, FormatIpConfig)
{
    struct Case {
        bool with_mask;
        const char *ip, *mask, *gw;
        int port;
        const char *out; // nullptr = refused
    } cases[] = {
        {false, "192.168.1.10", nullptr, nullptr, 2368, "192.168.001.010 02368"},
        {false, "10.0.0.1", nullptr, nullptr, 65535, "010.000.000.001 65535"},
        {false, "9.1.1.1", nullptr, nullptr, 2368, nullptr},
        {false, "192.168.1.10", nullptr, nullptr, 1000, nullptr},
        {false, "192.168.1.10", nullptr, nullptr, 65536, nullptr},
        {false, "192.168.1.", nullptr, nullptr, 2368, nullptr},
        {false, "192.168.1.10.5", nullptr, nullptr, 2368, nullptr},
        {true, "192.168.1.10", "255.255.255.0", "192.168.1.1", 6000,
         "192.168.001.010 255.255.255.000 192.168.001.001 06000"},
        {true, "192.168.1.10", "255.0.255.0", "192.168.1.1", 6000, nullptr},
        {true, "192.168.1.10", "0.0.0.0", "192.168.1.1", 6000, nullptr},
        {true, "192.168.1.10", "000.000.000.000", "8.8.8.8", 6000,
         "192.168.001.010 000.000.000.000 008.008.008.008 06000"},
        {true, "192.168.1.10", "255.255.255.0", "192.168.2.1", 6000, nullptr},
        {true, "192.168.1.10", "255.255.255.0", "192.168.1", 6000, nullptr},
        {true, "192.168.1.10", "255.255.255.", "192.168.1.1", 6000, nullptr},
        // the mask is read with the same field rules as the address: "255.255..0" is 255.255.0.0
        {true, "192.168.1.10", "255.255..0", "192.168.7.1", 6000,
         "192.168.001.010 255.255.000.000 192.168.007.001 06000"},
    };
    for (const auto &c : cases) {
        char out[64];
        std::memset(out, 0, sizeof(out));
        const bool ok = format_ip_config(c.with_mask, c.ip, c.mask, c.gw, c.port, out);
        EXPECT_EQ(ok, c.out != nullptr) << c.ip << " " << (c.mask ? c.mask : "") << " " << c.port;
        if (ok && c.out) {
            EXPECT_STREQ(out, c.out);
        }
    }
}

TEST(Address, ArpTable)
{
    const char *table =
        "IP address       HW type     Flags       HW address            Mask     Device\n"
        "192.168.1.20     0x1         0x2         AA:BB:cc:01:02:03     *        eth0\n"
        "192.168.1.21     0x1         0x0         00:00:00:00:00:00     *        eth0\n";
    char out[64] = {0};
    EXPECT_TRUE(arp_get_mac_from_table(table, "192.168.1.20", out));
    EXPECT_STREQ(out, "aa-bb-cc-01-02-03");

    std::memset(out, 0, sizeof(out));
    EXPECT_FALSE(arp_get_mac_from_table(table, "192.168.1.21", out)) << "incomplete entry";
    EXPECT_EQ(std::string(out).rfind("SendARP Error:", 0), 0u);

    std::memset(out, 0, sizeof(out));
    EXPECT_FALSE(arp_get_mac("127.0.0.1", out)) << "loopback has no ARP entry";
    EXPECT_EQ(std::string(out).rfind("SendARP Error:", 0), 0u);
}

// Neighbours of a host with a /24, a /31 and a /32: inside a subnet, but not the host's own
// address nor the network or broadcast address of a subnet with more than two addresses.
TEST(Address, NeighboursOfTheAttachedNetworks)
{
    const auto be = [](const char *text) {
        in_addr a{};
        inet_pton(AF_INET, text, &a);
        return a.s_addr;
    };
    const Ipv4Attachment attached[] = {
        {be("10.213.7.1"), be("255.255.255.0")},
        {be("192.168.50.8"), be("255.255.255.254")},
        {be("172.16.0.5"), be("255.255.255.255")},
    };
    const std::pair<const char *, bool> cases[] = {
        {"10.213.7.2", true},     {"10.213.7.254", true},  {"10.213.7.1", false},   {"10.213.7.0", false},
        {"10.213.7.255", false},  {"10.213.8.2", false},   {"203.0.113.7", false},  {"192.168.50.9", true},
        {"192.168.50.8", false},  {"192.168.50.10", false}, {"172.16.0.5", false}, {"172.16.0.6", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ipv4_neighbour_of(be(c.first), attached, std::size(attached)), c.second) << c.first;
    EXPECT_FALSE(ipv4_neighbour_of(be("10.213.7.2"), nullptr, 0)) << "no network attached";
}

// Addresses that have no neighbour on a link are neither asked for nor waited on: loopback,
// multicast and broadcast, and whatever is not on a network attached to this host.
TEST(Address, ArpResolveAsksOnlyForLinkAddresses)
{
    for (const char *ip : {"127.0.0.2", "0.0.0.0", "225.225.225.225", "239.1.2.3", "255.255.255.255", "1.2.3",
                           "not an address", "203.0.113.7"}) {
        SCOPED_TRACE(ip);
        EXPECT_FALSE(arp_solicit(ip));
        char out[64] = {0};
        EXPECT_FALSE(arp_resolve_mac(ip, out, 60000)) << "returns at once, without the wait";
        EXPECT_EQ(std::string(out).rfind("SendARP Error:", 0), 0u);
    }
}
