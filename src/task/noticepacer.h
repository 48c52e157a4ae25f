#pragma once
// The pace of the message-log lines that a receiver raises per datagram ("pointcloud packet
// length error", a fault bit, a reply left out): each kind posts at most kBurst lines within
// kIntervalMs as they come; the ones after that are only counted, and when the interval has
// passed the newest of them is posted with how many times the kind came meanwhile. A flood of
// bad datagrams then costs the GUI thread a few lines a second, not a line a datagram, and a
// device that sends one bad datagram now and then has each of them in the log. Used on the
// receiver's own thread.

#include <QString>

#include <cstdint>
#include <functional>
#include <map>

class NoticePacer {
public:
    static constexpr int64_t kIntervalMs = 1000;
    static constexpr int kBurst = 3;

    using Post = std::function<void(int type, const QString &text)>;
    using Clock = std::function<int64_t()>; // milliseconds of a monotonic clock

    explicit NoticePacer(Post post, Clock clock = Clock());

    // One more of notice `kind` (a number of the caller's own), posted as MsgType `type`; its
    // text is made only when it is posted.
    void offer(int kind, int type, const std::function<QString()> &text);
    // Posts the counts whose interval has passed; with `all`, every count now.
    void flush(bool all = false);

private:
    struct Kind {
        int type = 0;
        int64_t since = INT64_MIN; // the start of the kind's interval
        int posted = 0;            // lines posted in it
        uint64_t waiting = 0;      // offers counted in it, not posted
        std::function<QString()> text;
    };
    int64_t now() const;
    void postWaiting(Kind &k, int64_t at);

    Post post_;
    Clock clock_;
    std::map<int, Kind> kinds_;
    int64_t next_ = INT64_MAX; // the earliest end of an interval with a count waiting
};
