#pragma once
// Receiver thread of the Raxo-E and Raxo-S sensors. It owns two UDP sockets: the data socket on
// the host port (point, IMU and "AM" zone-monitor packets) and the command socket on a local
// port numbered like the device's listen port (commands out, replies and file transfers in).
// run() is one socket loop without an event loop; between datagrams it does the file work
// handed over as codes in a lock-free queue. Frames, replies and reports leave by value
// through queued signals.

#include "filetransfer.h"
#include "raxoprotocol.h"
#include "sensorreceiver.h"
#include "framehandoff.h"
#include "noticepacer.h"
#include "raxopacket.h"
#include "userpointdata.h"
#include "zonetable.h"

#include <QByteArray>
#include <QString>
#include <QThread>

#include <concurrentqueue/concurrentqueue.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace ZONEALARM {
class ZoneAlarm;
}

class RecvDataProc2 : public SensorReceiver {
    Q_OBJECT

public:
    // Work codes of the queue. A firmware upload's code is the message type its result is
    // posted under; a zone command's is the editor's.
    enum WorkCode {
        WORK_FIRMWARE_MOTOR = MSG_FW_MOTOR,
        WORK_FIRMWARE_MCU = MSG_FW_MCU,
        WORK_ZONE_WRITE = ZONEALARM::ZONE_CMD_WRITE,
        WORK_ZONE_READ = ZONEALARM::ZONE_CMD_READ,
        WORK_MODEL_READ = 13,
    };
    static constexpr int kTransferFrameType = RAXO_TRANSFER;
    static constexpr int kDataBufferSize = 8192;
    static constexpr int kCmdBufferSize = 1024;
    static constexpr int kScanPackets = 450;            // point packets of a ground scan
    static constexpr int kReceptionResetMs = 4000;      // after a firmware upload
    // Points a frame under construction may hold. A scan fills each cell of the 360 x 150 grid
    // once (RAXO_GRID_CELLS points; type 14 half of that), whatever the points per packet, so
    // four scans' worth lies far above any frame the sensor sends. Point packets that never
    // end a frame (a broken or misconfigured device, a stray stream on the port) would
    // otherwise grow it without limit: past this it is dropped and the next one starts.
    static constexpr size_t kMaxFramePoints = 4 * size_t(RAXO_GRID_CELLS);

    explicit RecvDataProc2(QObject *parent = nullptr);
    ~RecvDataProc2() override;

    // Stores the host port (data), the device IP text and the device's listen port (commands).
    // Called once, before start().
    void init(int dataPort, QString ip, int cmdPort);

    // Local address both sockets bind to; empty means any (0.0.0.0). Tests bind 127.0.0.1
    // while a fake sensor holds the same command port on 127.0.0.2. Set before start().
    void setBindAddress(const QString &ip) override;

    // LidarType of the session (1 or 2): goes with every frame and is the record type of every
    // recorded datagram. Set by the session code after init(), before start().
    int lidartype = LIDAR_RAXO_E;

    // Clears the running flag; the caller repeats it until the thread has ended.
    void stop() override;

    // Sends a command datagram unchanged to device IP : command port. False when the command
    // socket is not open or when neither byte 0 is "L" nor byte 1 is "H".
    bool SendCmd(const char *cmd, int len) override;

    // Hands a work code to the loop; any thread may call it. A model read asked for while one
    // waits in the queue is the same read: false, nothing is queued.
    bool PushCmd(int code);
    // Stores the path of a file to upload, then queues the code (8 or 9 firmware). The
    // loop discards any other code: no model file is ever uploaded to a sensor.
    bool FileUpdate(QString path, int code) override;

    // Display mode 0 raw, 1 levelled; drops the mounting height and the collected ground.
    void SetShowMode(int mode);
    // Drops the mounting height so that the next settled scan fits it again.
    void ResetCompensate();
    // A height entered on the configuration page, in metres.
    void SetMountingHeight(float h);
    // Voxel outlier filter of the 3D frame (off at start, cell 0.05 m, minimum count 5).
    void SetVoxelFilter(bool on, float unitSize, int minNum);

    // Run by the single-shot timer (on the thread the receiver object lives in).
    void clearReceptionFlags();

    // Pitch and roll correction of one point, rounded to 1 mm; intensity and distance are the
    // caller's to copy.
    static UserPointData RotatePoint(const UserPointData &p, double pitch, double roll);
    // Distance from the sensor origin of the ground plane fitted (RANSAC) to the collected
    // ground points, in metres; negative when nothing can be fitted.
    double FitGround();
    // The same fit over given x, y, z triples.
    static double FitGround(const std::vector<std::array<float, 3>> &points);

    // The file transfer on the transfer socket (frame type 3).
    bool updateFile(QString path, QString &text);
    int SendFileInfo(QString path);
    int RecvFile(QString localPath, QString fileName);
    // Frame sender of the transfer: an LhSumFrame with sequence 0 to device IP : command port.
    // A failed send switches the transfer to a TCP connection and ends the loop afterwards.
    int SendFrame(int type, const void *payload, unsigned length);

    // One accepted datagram of the data socket or of the command socket (source already
    // checked: the device's address). The loop calls these; they take any bytes and read only
    // what is there.
    void processDataDatagram(const uint8_t *buf, size_t len);
    void processCmdDatagram(const uint8_t *buf, size_t len);

    // Runs one work code as the loop would; returns false for codes the loop discards.
    bool runWork(int code);

    // The most points a frame under construction has held since the receiver was made (any
    // thread), and what its buffers can hold without growing (the larger of the two frames
    // and of the ground points collected for the height fit; read it once the thread has
    // finished, or from the thread that feeds the entry points).
    size_t framePointsHighWater() const { return highWater_.load(std::memory_order_relaxed); }
    size_t frameCapacity() const;

    // How the loop fared under load (any thread; final once the thread has finished): the
    // longest it spent on one read's datagrams before it could read again (time in which the
    // socket's buffer alone takes what the sensor sends), and the page faults the loop's
    // thread took after it began to read (each one a stall of microseconds to milliseconds).
    int64_t longestBatchNs() const { return longestBatchNs_.load(std::memory_order_relaxed); }
    long loopPageFaults() const { return loopFaults_.load(std::memory_order_relaxed); }
    // Frames dropped because their posting fell too far behind (FrameHandoff::kMaxWaiting).
    uint64_t framesDroppedBehind() const { return handoff_.dropped(); }

signals:
    void sig_progress(int rate, QString title, QString info);
    // Like sig_framedata, the frame goes by reference: a queued connection takes its own copy, a
    // direct one sees the buffer the frame was assembled in.
    void sig_framedata_2D(const std::vector<UserPointData> &pointsdata, int lidartype = 1);
    void sig_compensate(float compensate);
    void sig_modelData(QString path);
    void sig_debug_show(QByteArray data);

public slots:
    // The zone editor's write (10) or read (11): stores the table, then queues the flag.
    void recv_zoneCmd(int flag, zones data) override;

protected:
    void run() override;

private:
    void recvDataFormPointCloudV1();
    void handlePointPacket(const uint8_t *buf, size_t len, uint8_t mode);
    void handleImuPacket(const uint8_t *buf, size_t len);
    void endFrame(uint8_t packetType);
    void dropOverflowingFrame();
    void postFrames(FrameHandoff::Batch &batch);
    std::vector<UserPointData> voxelFiltered() const;
    void closeSockets();
    void postText(int type, const QString &text);
    void doUpload(int code);
    void doModelRead();
    void doZoneWrite();
    void doZoneRead();
    void buildTransferPaths();
    int connectFallback();

    std::atomic<uint8_t> running_{1};
    int dataPort_ = 0;
    QString ip_;
    QByteArray ipText_; // ip_ as 8-bit text, for the socket calls
    int cmdPort_ = 0;
    QByteArray bindIp_;

    // Socket handles: written by the loop, read by SendCmd on the GUI thread under sockMutex_.
    std::mutex sockMutex_;
    int dataSock_ = -1;
    int cmdSock_ = -1;
    int transferSock_ = -1;   // the command socket, or the TCP fallback connection
    bool transferIsTcp_ = false;

    QString uploadPath_;

    // The zone engine, created by the first init(); it builds and reads the sensor's image.
    std::unique_ptr<ZONEALARM::ZoneAlarm> zone_;

    FileTransfer transfer_;

    // Guarded by mutex_.
    std::mutex mutex_;
    uint8_t dataOk_ = 0;
    uint8_t cmdOk_ = 0;
    uint8_t displayMode_ = 0;
    double mountingHeight_ = 0.0;
    std::vector<std::array<float, 3>> groundPoints_;
    uint16_t pointPacketCount_ = 0;
    bool voxelOn_ = false;
    float voxelSize_ = 0.05f;
    int voxelMinNum_ = 5;
    zones zoneTable_;

    // Loop-only state.
    uint8_t imuSettled_ = 0;
    double pitch_ = 0.0;
    double roll_ = 0.0;
    ImuRecord imu_;
    // The frame under construction: frames[0] 3D, frames[1] 2D, bytes the debug image.
    FrameHandoff::Batch frame_;
    size_t scanPoints_ = 0;    // points of the packets since the last frame end
    std::atomic<size_t> highWater_{0};
    std::atomic<int64_t> longestBatchNs_{0};
    std::atomic<long> loopFaults_{-1};
    bool overflowing_ = false; // frames are being dropped for size; said once per run of them
    QString zoneFile_;
    QString modelFile_;

    moodycamel::ConcurrentQueue<int> work_;
    // A model read waits in the queue.
    std::atomic<bool> modelReadWaiting_{false};

    // Replies and records the window had no room for, counted in the log; loop thread only.
    NoticePacer notices_;

    // Posts the finished frames off the loop's thread (declared last: it goes first, and its
    // thread stops before anything it posts from is destroyed).
    FrameHandoff handoff_;
};
