#pragma once
// Message-log texts that several receivers post the same way: each is written and translated
// once, here.

#include <QString>

#include <cstddef>

// The line a receiver posts once when its session starts and the kernel granted its socket a
// smaller receive buffer than it asked for: the size granted and the sysctl that raises the
// limit to `wanted` (the largest buffer the session asks for). Empty when nothing is short.
QString recv_buffer_notice(int granted, int asked, int wanted);

// The line a receiver posts when a frame under construction passed `limit` points without a
// frame end (a broken or misconfigured device, or a stray stream on the port), once per run of
// such frames.
QString frame_overflow_notice(size_t limit);

// The run-state lines of a session: the first data datagram, the first command reply, and the
// end of the receiver's loop.
QString data_reception_notice();
QString cmd_reception_notice();
QString disconnect_notice();

// The line a receiver posts when its socket cannot be opened.
QString open_socket_failed_notice();

// A line that came `times` times and is shown once: the text with the count after it. The
// message log and the receivers' paced lines say it the same way.
QString repeated_text(const QString &text, int times);

// The line a receiver posts when the device's replies come faster than the window takes them
// and some are left out.
QString replies_left_out_notice();
