#pragma once
// Whether a host answers one ICMP echo, through the system's ping: "ping -c 1 -W <seconds> <ip>"
// run without a shell, answered when ping exits with 0. Blocks the caller for the ping's wait.

#include <QString>

// `timeout_ms` is the wait for the answer; ping counts in whole seconds, so it is rounded up
// (at least 1 s). False when ping cannot be started, does not end within 30 s, or the text is
// not something ping would take as a host (empty, or beginning with "-").
bool ping_answered(const QString &ip, int timeout_ms);
