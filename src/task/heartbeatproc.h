#pragma once
// Listens for the devices' heartbeats on the multicast group 225.225.225.225 for the whole
// life of the program and hands the good ones to the dispatcher: sig_data 17 with a checked
// 104- or 112-byte sensor heartbeat, 21 with a 91-byte box heartbeat, 3 with a socket error.

#include <QByteArray>
#include <QThread>

#include <atomic>
#include <cstdint>

class HeartBeatProc : public QThread {
    Q_OBJECT
public:
    explicit HeartBeatProc(int port, QObject *parent = nullptr);
    ~HeartBeatProc() override;

    // Clears the running flag; the loop notices within one receive time-out. The program never
    // stops its listener; tests do.
    void stop();

signals:
    void sig_data(int type, QByteArray info);

protected:
    void run() override;

private:
    int port_;
    std::atomic<uint8_t> running_{1};
};
