#pragma once
// Receiver thread of an algorithm-box session (LidarType 4). One UDP socket (port 6002 on both
// sides) carries the box's "LHAB" point and object datagrams, its command replies, the zone-image
// exchange and its "LMSG" zone-monitor datagrams; the same socket sends the box's commands.
// Command frames of the zone exchange stay in a re-send queue until the box answers them.

#include "boxprotocol.h"
#include "noticepacer.h"
#include "sensorreceiver.h"
#include "userpointdata.h"
#include "zonetable.h"

#include <QByteArray>
#include <QString>
#include <QThread>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

class QTimer;

// One queued command frame, kept until the box answers it or it has been sent four times.
struct PendingCmd {
    uint8_t payload[1024];
    int32_t length;
    int32_t sn;       // sequence number
    int32_t sendTime; // last send, milliseconds since 1970 truncated to 32 bits
    int32_t magic;    // 0x484C
    int32_t count;    // sends so far
    int32_t cmd;      // command code
};

namespace ZONEALARM {
class ZoneAlarm;
}

class RecvBoxDataProc : public SensorReceiver {
    Q_OBJECT
public:
    static constexpr uint16_t kZoneWrite = BOX_ZONE_WRITE;
    static constexpr uint16_t kZoneRead = BOX_ZONE_READ;
    static constexpr uint16_t kZoneReadReply = BOX_ZONE_READ_REPLY;
    static constexpr uint16_t kZoneWriteReply = BOX_ZONE_WRITE_REPLY;
    static constexpr int kResendAfterMs = 1500;
    static constexpr int kMaxSends = 4;
    static constexpr int kResendTickMs = 200;
    // Points the frame under construction may hold. The box merges into one frame the points of
    // the sensors it serves on its two IO ports, each a Raxo scan of at most one point per
    // cell of its 360 x 150 grid (54000), in datagrams of at most 255 points; a million points
    // is several times any frame it sends. Datagrams that never end a frame (a broken box, a
    // stray stream on the port) would otherwise grow it without limit: past this it is dropped
    // and the next one starts. The object list needs no bound: one record per object id.
    static constexpr size_t kMaxFramePoints = 1000000;

    explicit RecvBoxDataProc(QObject *parent = nullptr);
    ~RecvBoxDataProc() override;

    // Host port, box address, box port. On the GUI thread before start(); the first call
    // creates the 200 ms re-send timer.
    void init(int localPort, QString ip, int port);

    // Clears the running flag and reports the disconnection, on every call.
    void stop() override;

    // Sends a command frame unchanged to the box. Refused (false) when neither byte 0 is "L"
    // nor byte 1 is "H".
    bool SendCmd(const char *cmd, int len) override;

    // Post the object list instead of the point list at each frame end.
    void SetShowObjects(bool on);

    // Handles one datagram accepted from the box, as the loop does.
    void ParseDatagram(const uint8_t *data, size_t length);

    // Address the socket binds; empty means 0.0.0.0. Tests bind 127.0.0.1 so that a fake box on
    // 127.0.0.2 can hold the same port number.
    void setBindAddress(const QString &ip) override;

    // Milliseconds since 1970 as the re-send queue reads them (the wall clock by default).
    void setClock(std::function<qint64()> clock);

    // The most points the frame under construction has held since the receiver was made (any
    // thread), and what it can hold without growing (read it once the thread has finished, or
    // from the thread that feeds ParseDatagram).
    size_t framePointsHighWater() const { return high_water_.load(std::memory_order_relaxed); }
    size_t frameCapacity() const { return points_.capacity(); }

    // Copy of the re-send queue, oldest first.
    std::vector<PendingCmd> pendingCommands() const;
    // The zone command waiting for the loop (0 none, 10 write, 11 read), and its table.
    int pendingZoneCommand() const;
    zones storedZoneTable() const;

public slots:
    // The zone editor's write (10) or read (11): stores the table and leaves the command for
    // the loop, which starts it after the next datagram from the box.
    void recv_zoneCmd(int flag, zones data) override;
    void CmdRecv(int sign, int sn);
    void send_cmd_net(int mode, int sn, int len0, QByteArray snd_buf, bool isrepeat);
    void cmdReissued();

signals:
    void sig_progress(int rate, QString title, QString info);
    void sig_uploadtype(int uploadtype);
    void sig_cacheclean();

protected:
    void run() override;
    // The box's own posts: its upload type and cache cleans.
    void deliver(const PostQueue::Post &p) override;

private:
    void handleLhab(const uint8_t *data, size_t length);
    void handleReply(const uint8_t *data, size_t length);
    void handleZoneMonitor(const uint8_t *data, size_t length);
    int feedZoneEngine(uint16_t cmd, const uint8_t *data, size_t length);
    void zoneExchangeAnswered();
    void startPendingZoneCommand();
    void startZoneCommand(uint8_t code, const zones &table);
    void zoneRequestGaveUp();
    void takeZoneGiveUp();
    bool sendFrame(int mode, int sn, const uint8_t *payload, int len);
    qint64 now() const;

    std::atomic<uint8_t> running_{1};
    QString ip_;
    uint16_t port_ = 0;
    int local_port_ = 0;
    QString bind_ip_;

    // The loop receives on the socket while the GUI thread sends on it; the lock keeps a send
    // from reaching a descriptor that the loop has just closed.
    mutable std::mutex sock_mutex_;
    int sock_ = -1;

    // Guards the re-send queue, the pending zone command and the stored zone table.
    mutable std::mutex mutex_;
    uint8_t pending_zone_cmd_ = 0; // 0 none, 10 write, 11 read
    zones zone_table_;
    std::atomic<bool> zone_request_dropped_{false}; // the re-send gave a zone request up
    std::deque<PendingCmd> queue_;
    QTimer *timer_ = nullptr;
    // The zone-image engine: created by the first init() on the GUI thread, fed on the loop
    // thread, released when the loop ends.
    ZONEALARM::ZoneAlarm *zone_ = nullptr;
    std::function<qint64()> clock_;

    std::vector<UserPointData> points_;
    std::vector<UserPointData> objects_;
    std::atomic<uint8_t> show_objects_{0};
    int last_upload_type_ = -1;
    // Replies the window had no room for, counted in the log; loop thread only.
    NoticePacer notices_{[this](int type, const QString &text) { post(type, text.toLocal8Bit()); }};
    bool overflowing_ = false; // frames are being dropped for size; said once per run of them
    std::atomic<size_t> high_water_{0};
};
