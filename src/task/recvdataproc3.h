#pragma once
// Receiver thread of a Vimo-E session (LidarType 3). One UDP socket carries the sensor's point
// packets and its "LH" replies; the same socket sends the configuration page's commands. Point
// packets become frames of at least 23040 points, the sensor's mirror and motor faults are
// reported, and a firmware upgrade runs inside the loop when one is requested.

#include "firmware.h"
#include "framehandoff.h"
#include "noticepacer.h"
#include "sensorreceiver.h"
#include "userpointdata.h"
#include "vimopacket.h"
#include "wakeevent.h"

#include <QByteArray>
#include <QString>
#include <QThread>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

class RecvDataProc3 : public SensorReceiver {
    Q_OBJECT
public:
    explicit RecvDataProc3(QObject *parent = nullptr);
    ~RecvDataProc3() override;

    // Host port where data arrives, device address, device command port. Before start().
    void init(int localPort, QString ip, int port);

    // Clears the running flag; the loop ends within one pass (it is woken at once).
    void stop() override;

    // Asks the loop to upgrade the firmware with the image at `path`; the result is posted under
    // `type` (8 or 9). Always true: the request is only stored, and the loop woken to take it.
    bool FileUpdate(QString path, int type) override;

    // Holds the sensor's fault reports off for `seconds` from now.
    void IgnoreErr(int seconds);

    // The Vimo-E firmware exchange with the device at ip:port, reporting through sig_data 8.
    // Runs in the receiver thread.
    bool UpdateFirmware(QString ip, int port, QString path);

    // Handles one datagram accepted from the device (after recording), as the loop does.
    void ParseDatagram(const uint8_t *data, size_t length);

    // Address the socket binds; empty means 0.0.0.0. Tests bind 127.0.0.1 so that a fake sensor
    // on 127.0.0.2 can hold the same port number.
    void setBindAddress(const QString &ip) override;

    // Timing of the firmware exchange (the devices' protocol by default; tests shorten it).
    void setIapOptions(const IapOptions &options);

    // Delay after a successful upgrade until the reception messages may be posted again.
    void setReportAgainDelay(int ms);

    uint64_t pointPacketCount() const { return point_packets_.load(std::memory_order_relaxed); }
    uint64_t statusBlockCount() const { return fa88_packets_.load(std::memory_order_relaxed); }

    // Points the frame under construction can hold without growing. A frame is posted once it
    // holds VIMO_FRAME_POINTS, and no packet brings more than the receive buffer holds, so this
    // stays below kFrameCapacity whatever the sensor sends. Read it once the thread has
    // finished, or from the thread that feeds ParseDatagram.
    size_t frameCapacity() const { return frame_.frames[0].capacity(); }
    static constexpr size_t kRecvBuffer = 4096;
    static constexpr size_t kFrameCapacity =
        VIMO_FRAME_POINTS + (kRecvBuffer - VIMO_HEADER_SIZE) / VIMO_POINT_SIZE;

public slots:
    // Sends a command frame unchanged to the device's command port. Refused (false) while the
    // socket is closed, and when neither byte 0 is "L" nor byte 1 is "H".
    bool SendCmd(const char *cmd, int length) override;

protected:
    void run() override;

private:
    // The lines a datagram can raise, each paced on its own (noticepacer.h).
    enum Notice { kLengthError, kMirror, kMotor, kRepliesLeftOut };

    void postText(int type, const QString &text);
    // Posts a reply; one the window has not room for is counted in the log instead.
    void postReply(int type, const QByteArray &reply);
    void handlePointPacket(const uint8_t *data, size_t length);
    void handleReply(const uint8_t *data, size_t length);
    void runFirmwareRequest();
    void clearReceptionFlags();
    void postFrame(FrameHandoff::Batch &batch);

    std::atomic<uint8_t> running_{1};
    QString ip_;
    int port_ = 0;
    int local_port_ = 0;
    QString bind_ip_;

    // The loop receives on the socket while the GUI thread sends on it; the lock keeps a send
    // from reaching a descriptor that the loop has just closed.
    std::mutex sock_mutex_;
    int sock_ = -1;

    FrameHandoff::Batch frame_; // frames[0]: the frame under construction
    WakeEvent wake_;            // wakes the loop for a firmware request or the stop

    std::mutex request_mutex_;
    std::atomic<uint8_t> update_request_{0};
    QString update_path_;
    uint8_t update_type_ = 8;

    std::atomic<int64_t> ignore_until_ms_{0};
    bool motor_fault_reported_ = false;
    std::atomic<uint8_t> data_ok_{0};
    std::atomic<uint8_t> cmd_ok_{0};
    int report_again_ms_ = 4000;
    IapOptions iap_options_;

    std::atomic<uint64_t> point_packets_{0};
    std::atomic<uint64_t> fa88_packets_{0};

    NoticePacer notices_;

    // Posts the finished frames off the loop's thread (last: its thread stops first).
    FrameHandoff handoff_;
};
