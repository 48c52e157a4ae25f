#pragma once
// What a receiver posts, collected on the test's (GUI) thread through queued connections, as
// the main window would receive it; and waiting for it with a time-out.

#include "userpointdata.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

struct Posted {
    int type;
    QByteArray data;
    std::string text() const { return data.toStdString(); }
};

class ReceiverProbe : public QObject {
public:
    std::vector<Posted> data;
    std::vector<std::vector<UserPointData>> frames;
    std::vector<int> frame_types;
    std::vector<int> upload_types;
    int cache_cleans = 0;

    template <class Receiver>
    void watch(Receiver *r)
    {
        register_point_meta_types();
        connect(r, &Receiver::sig_data, this,
                [this](int type, QByteArray d) { data.push_back({type, d}); });
        connect(r, &Receiver::sig_framedata, this,
                [this](std::vector<UserPointData> f, int type) {
                    frames.push_back(std::move(f));
                    frame_types.push_back(type);
                });
    }

    std::vector<Posted> of_type(int type) const
    {
        std::vector<Posted> out;
        for (const Posted &p : data)
            if (p.type == type)
                out.push_back(p);
        return out;
    }
    int count(int type, const std::string &text) const
    {
        int n = 0;
        for (const Posted &p : data)
            n += p.type == type && p.text() == text;
        return n;
    }
    void clear()
    {
        data.clear();
        frames.clear();
        frame_types.clear();
        upload_types.clear();
        cache_cleans = 0;
    }
};

// Runs the test thread's events until `done` holds or `timeout_ms` has passed.
template <class Pred>
bool wait_until(Pred done, int timeout_ms = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.hasExpired(timeout_ms))
            return done();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(500);
    }
    return true;
}

// Lets queued signals already on their way arrive: the thread under test has been stopped and
// joined, so everything it posted is in the queue.
inline void drain_events()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents();
}

// A UDP port that is free on `ip` right now.
inline int free_udp_port(const char *ip = "127.0.0.1")
{
    const int s = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    inet_pton(AF_INET, ip, &a.sin_addr);
    ::bind(s, reinterpret_cast<sockaddr *>(&a), sizeof(a));
    socklen_t len = sizeof(a);
    getsockname(s, reinterpret_cast<sockaddr *>(&a), &len);
    ::close(s);
    return ntohs(a.sin_port);
}
