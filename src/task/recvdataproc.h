#pragma once
// Receiver thread of the Fenk-U sensor. One UDP socket on the host port takes the sensor's
// "LP" sub-packages and its LhSumFrame replies and carries the commands and the time sync out.
// Each measurement arrives as frames of several data types (x, y, z points and up to four u16
// planes); the loop reassembles them, checks every frame's CRC and, when a frame of the wanted
// type completes, posts the newest frame of every type combined as one point frame.
// Firmware goes up through the file transfer (frame type 9) on a socket of its own at the host
// port + 100, inside the loop's thread.

#include "fenkprotocol.h"
#include "filetransfer.h"
#include "lpsubpackage.h"
#include "noticepacer.h"
#include "sensorreceiver.h"
#include "userpointdata.h"

#include <QByteArray>
#include <QString>
#include <QThread>

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

// Reassembly state of the loop: the header of the frame under way and the newest data of
// every type. The stores hold at most kMaxValues entries; a frame that needs more is dropped.
struct FenkFrameStore {
    static constexpr size_t kMaxValues = 1500;
    static constexpr size_t kPointSize = 12; // float x, y, z in millimetres
    static constexpr size_t kPlaneCount = 4; // data types 2 to 5

    LpFrameHeader header;                    // data_type -1: no frame under way
    std::array<uint8_t, kMaxValues * kPointSize> points{}; // as sent, little-endian
    std::array<std::array<uint8_t, kMaxValues * 2>, kPlaneCount> planes{};
    uint32_t count = 0;     // values of the frame under way
    uint64_t expected = 0;  // offset at which the next sub-package must start
};

class RecvDataProc : public SensorReceiver {
    Q_OBJECT

public:
    static constexpr int kTransferFrameType = FENK_TRANSFER;
    static constexpr int kTimeSyncFrameType = FENK_TIME_SYNC;
    static constexpr int kTimeSyncPayload = 24;
    static constexpr int kUploadPortOffset = 100;
    static constexpr int kUploadRecvBuffer = 0xA00000;
    static constexpr int kRecvBufferSize = 8192;
    static constexpr int kReceptionResetMs = 4000; // after a firmware upload

    // What ParsePacket found.
    enum ParseResult {
        PARSE_NEED_MORE = 0,   // an "LH" or "LP" that the datagram does not hold whole
        PARSE_REPLY = 6,       // a complete "LH" frame
        PARSE_ACCEPTED = 10,   // a sub-package taken, its frame not complete yet
        PARSE_REFUSED = -1,    // out of order, no header, bad CRC or too big a frame
        PARSE_NOTHING = 100,   // no "LH" or "LP" in the datagram
        // 1 to 5: a frame of that data type has completed and checked out.
    };

    explicit RecvDataProc(QObject *parent = nullptr);
    ~RecvDataProc() override;

    // Device IP text, device port (commands, time sync, transfers) and host port (data).
    // Sets the running flag. Called on the GUI thread before start().
    void init(QString ip, int port, int localPort);

    // Local address both sockets bind to; empty means any (0.0.0.0). Set before start().
    void setBindAddress(const QString &ip) override;

    // Clears the running flag; the caller repeats it until the thread has ended.
    void stop() override;

    // Sends a command datagram unchanged to device IP : device port. Refused (false) when
    // neither byte 0 is "L" nor byte 1 is "H"; true otherwise, also when the socket is not open
    // (then nothing is sent).
    bool SendCmd(const char *cmd, int len) override;

    // Asks the loop to upload a file; `code` (8 or 9 for firmware) is the type its result is
    // posted under. Always true.
    bool FileUpdate(QString path, int code) override;

    // The data-type mask the sensor reports: the wanted data type becomes the index of its
    // highest set bit among bits 0 to 5; a mask without any of them leaves it unchanged.
    void SetDataType(int mask);
    int dataTypeMask() const;
    int wantedDataType() const;

    // One step of the reassembly over one datagram: a ParseResult or a completed data type.
    int ParsePacket(const uint8_t *buf, size_t len);
    // What the loop does with one accepted datagram: ParsePacket, then posts the measurement
    // or the reply. Takes any bytes and reads only what is there.
    void processDatagram(const uint8_t *buf, size_t len);
    const FenkFrameStore &store() const { return store_; }
    // Why the last sub-package was refused. Kept for a debugger's eyes, never shown: a stream
    // of bad sub-packages must not flood the console or slow the loop.
    const char *parseMessage() const { return parseMessage_; }

    // Run by the 4 s timer after a firmware upload: the sensor restarts, so both reception
    // notices are due again; posts the reboot message.
    void clearReceptionFlags();

    // The file transfer on the upload socket (frame type 9).
    bool updateFile(QString path, QString &text);
    int SendFileInfo(int sock, QString path);
    int SendFileData(int sock, QString path);
    // An LhSumFrame with the next value of the process-wide sequence counter to device IP :
    // device port.
    int SendFrame(int sock, int type, const void *payload, unsigned length);

    // The time-sync frame's payload for a clock reading: seconds, microseconds, 16 zero bytes.
    static std::array<uint8_t, kTimeSyncPayload> timeSyncPayload(uint32_t sec, uint32_t usec);

protected:
    void run() override;

private:
    int parseSubPackage(const uint8_t *p, size_t n);
    void note(const char *format, ...) __attribute__((format(printf, 2, 3)));
    std::vector<UserPointData> buildPoints(uint32_t count) const;
    void sendTimeSync(int sock);
    void doUpload(const QString &path, int code);
    void postText(int type, const QString &text);

    std::atomic<uint8_t> running_{0};
    // Replies the window had no room for, counted in the log (noticepacer.h); loop thread only.
    NoticePacer notices_;
    QString ip_;
    QByteArray ipText_; // ip_ as 8-bit text, for the socket calls
    int port_ = 0;
    int localPort_ = 0;
    QByteArray bindIp_;

    // The socket: written by the loop, read by SendCmd on the GUI thread under sockMutex_.
    std::mutex sockMutex_;
    int sock_ = -1;
    int uploadSock_ = -1; // loop thread only

    // Guarded by mutex_: handed over by the GUI thread, copied by the loop each turn.
    mutable std::mutex mutex_;
    bool uploadRequested_ = false;
    QString uploadPath_;
    int uploadCode_ = 0;
    uint16_t dataTypeMask_ = 0;
    uint8_t wantedDataType_ = 0;

    std::atomic<uint8_t> dataOk_{0};
    std::atomic<uint8_t> cmdOk_{0};

    FileTransfer transfer_;
    FenkFrameStore store_; // loop thread only
    char parseMessage_[128] = {};
};
