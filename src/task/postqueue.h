#pragma once
// What a receiver's thread hands to the GUI thread waits here, in order, until the GUI thread
// takes it: one delivery event waits in the GUI thread's queue at a time, however many posts
// arrive meanwhile.
//
// A queued signal per datagram would let anyone who sends with the device's address fill the
// GUI thread's event queue faster than it empties (thousands of events a second, each with its
// bytes), and the window would stop answering. Here the queue holds one delivery event at most,
// and what a datagram can post is bounded by kind and type: past its limit the oldest waiting
// post of its kind and type makes room (what is newest is what the window should show), and the
// receiver counts what was left out.

#include <QByteArray>

#include <cstddef>
#include <deque>
#include <mutex>

class PostQueue {
public:
    // sig_data; a receiver may number further signals of its own from 1.
    static constexpr int kData = 0;
    static constexpr int kKinds = 4;
    static constexpr int kTypes = 32; // MsgType values the limits tell apart (type % kTypes)

    struct Post {
        int kind = kData;
        int type = 0;
        QByteArray data;
    };

    // Adds `post` at the end. With `limit` above 0 and `limit` posts of its kind and type waiting,
    // the oldest of them is dropped to make room, and the result is false. Sets *deliver when no
    // delivery event waits: the caller posts one.
    bool push(Post post, size_t limit, bool *deliver);
    // The newest value of its kind and type is what counts: it takes the place of a waiting one,
    // or is added at the end.
    void replace(Post post, bool *deliver);
    // A delivery event has started: from now on a push asks for the next one. What a delivery
    // hands on may open a modal box, whose event loop must go on delivering meanwhile.
    void begin();
    // Takes the oldest post; false when none waits.
    bool pop(Post *out);
    // At the end of a delivery: true when posts still wait and no event waits for them, and one
    // is to be posted (it counts as waiting from now on).
    bool more();

    size_t waiting() const;

private:
    size_t &count(const Post &p) { return counts_[p.kind % kKinds][unsigned(p.type) % kTypes]; }
    bool schedule();

    mutable std::mutex mutex_;
    std::deque<Post> posts_;
    size_t counts_[kKinds][kTypes] = {};
    bool scheduled_ = false; // a delivery event waits in the GUI thread's queue
};
