#pragma once
// The window benchmarks build a real main window, whose heartbeat listener joins the sensors'
// multicast group: they run only inside a network namespace of their own (loopback only), as the
// tests do, e.g.
//   unshare -rn sh -c 'ip link set lo up; ip route add 224.0.0.0/4 dev lo; xvfb-run -a \
//       -s "-screen 0 1920x1080x24" build/bench_view3d'

#include <ifaddrs.h>

#include <cstdio>
#include <cstring>

// True when loopback is the only network interface in sight.
inline bool only_loopback()
{
    ifaddrs *list = nullptr;
    if (getifaddrs(&list) != 0)
        return false;
    bool only = true;
    for (ifaddrs *i = list; i != nullptr; i = i->ifa_next)
        if (i->ifa_name != nullptr && std::strcmp(i->ifa_name, "lo") != 0)
            only = false;
    freeifaddrs(list);
    if (!only)
        std::fprintf(stderr, "run this inside a network namespace of its own (see isolatednetwork.h)\n");
    return only;
}
