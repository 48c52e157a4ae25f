#pragma once
// The zone-image engine: builds the device's 0x34000-byte zone image from a zone table, decodes
// a device image back into one, and runs the 512-byte read and write exchanges with the
// algorithm box. It owns no socket: every request leaves through sig_ZoneCMD and every reply is
// handed in by the receiver that owns the engine, on the receiver's own thread.
//
// What a receiver does with it (the algorithm box, one UDP socket):
//   - connect sig_ZoneCMD to its sender (frame as LhCrcFrame(mode, sn, cmd), keep for re-send)
//     and sig_progress to its own sig_progress;
//   - start a read with getZone(sn) or a write with setZone(table, sn);
//   - hand every datagram with command word 0xA5B8 to getZoneRev(bytes, length, fresh sn), and
//     every 0xA5AC datagram to setZoneRev(bytes, length). Results -2, -1 and 0: the exchange
//     goes on (re-send the last request when it stays unanswered); any other: the exchange has
//     ended (drop the queued zone request). After getZoneRev returned 1, getZones() holds the
//     device's table;
//   - when it gives up re-sending a zone request, call exchangeTimeout() (on the loop thread).
// A Raxo sensor gets the image whole as a file instead: writeZoneFile / readZoneFile.

#include "zoneraster.h"
#include "zonetable.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ZONEALARM {

class ZoneAlarm : public QObject {
    Q_OBJECT
public:
    // Image layout.
    static constexpr uint32_t IMAGE_MAGIC = 0x454E5A50; // "PZNE"
    static constexpr uint32_t IMAGE_VERSION = 0x101;
    static constexpr uint32_t IMAGE_SIZE = 0x34000;
    static constexpr uint32_t POLAR_AREA_SIZE = 0x30000;
    static constexpr uint32_t DEF_OFFSET = 0x400;
    static constexpr uint32_t POLAR_OFFSET = 0x4000;
    static constexpr uint32_t POLAR_TABLE_SIZE = 0x3000;
    static constexpr uint32_t CHECK_OFFSET = 0x10; // the image check covers 0x10 to the end

    // Exchange with the algorithm box.
    static constexpr uint16_t CMD_READ = 0x5A47;
    static constexpr uint16_t CMD_WRITE = 0x5A53;
    static constexpr uint16_t REPLY_READ = 0xA5B8;
    static constexpr uint16_t REPLY_WRITE = 0xA5AC;
    static constexpr uint32_t PIECE = 512;
    static constexpr uint32_t PIECES = IMAGE_SIZE / PIECE; // 416
    static constexpr uint32_t READ_REQUEST_LEN = 32;
    static constexpr uint32_t WRITE_REQUEST_LEN = 524;
    static constexpr uint32_t OFFSET_SIZE_QUERY = 0xFD009E21;
    static constexpr uint32_t OFFSET_SIZE_ANSWER = 0xFD0010F0;
    static constexpr uint32_t OFFSET_ERASE = 0xFD00EEEE;
    static constexpr uint32_t OFFSET_RELOAD = 0xFD0010AD;
    // Rate of the report made when the requester gave up waiting for a reply.
    static constexpr int RATE_TIMEOUT = -9;
    // Rate of the report made when a bad write reply ends the write.
    static constexpr int RATE_WRITE_BAD_FRAME = -25;

    explicit ZoneAlarm(QObject *parent = nullptr);
    ~ZoneAlarm() override;

    // Rebuilds the shape nodes from `table`, fills the image buffer and returns the image check.
    uint32_t buildZoneImage(const zones &table);
    // The image buffer, IMAGE_SIZE bytes.
    const uint8_t *getZoneImage() const { return m_image.data(); }
    const std::vector<ZoneNode> &getNodes() const { return m_nodes; }

    // Takes a whole image (a file read back from a Raxo sensor): true when its header is
    // valid, after the engine's table and polar tables were filled from it. The image check is
    // not tested. False, with an empty table, for a bad header or fewer than IMAGE_SIZE bytes.
    bool setZoneSyn(const uint8_t *image, size_t len);
    // Decodes one definition block (at most 960 bytes of it) and appends its shapes to the
    // engine's table; returns the number of records appended. Decoding stops at the first
    // malformed entry and never reads beyond an entry or the block.
    int parseZoneDef(int index, size_t len, const uint8_t *block);

    // The engine's table: the last one decoded.
    const zones &getZones() const { return m_zones; }

    // Read exchange. getZoneRev returns 1 image received and decoded; 0 goes on; -1 not a read
    // reply, another version or a refused size; -2 bad frame or a piece out of range; -3 bad
    // piece length; -4 the finished image failed its checks.
    void getZone(int sn);
    int getZoneRev(const uint8_t *frame, size_t len, int sn);
    bool PackAll();

    // Write exchange. setZoneRev returns 1 the device confirmed the reload; 0 goes on (or the
    // reply was ignored); -1 not a write reply; -3 bad frame (ends the write).
    void setZone(const zones &table, int sn);
    int setZoneRev(const uint8_t *frame, size_t len);

    // The requester stopped re-sending an unanswered zone request: the exchange under way (if
    // any) ends with a negative report.
    void exchangeTimeout();

    // Raxo hand-over: "zone_cfg.bin" in the user's temporary folder.
    static QString zoneFilePath();
    // Builds the image from `table` and writes it whole to `path` (a fresh file renamed into
    // place). False when the file cannot be written.
    bool writeZoneFile(const zones &table, const QString &path);
    // Reads the first IMAGE_SIZE bytes of `path` into setZoneSyn. False when the file cannot
    // be read, is shorter, or its image is refused; getZones() then holds no device table.
    bool readZoneFile(const QString &path);

signals:
    void sig_zoneinit();
    void sig_ZoneCMD(int mode, int sn, int len, QByteArray cmd, bool isrepeat);
    void sig_progress(int rate, QString title, QString info);

private:
    enum class Exchange { None, Read, Write };

    void clearTable();
    void report(int rate, const QString &title, const QString &info);
    void reportRead(int rate, const QString &info);
    void reportWrite(int rate, const QString &info);
    void sendReadRequest(int sn, uint32_t offset, uint32_t length);
    void sendWriteRequest(int sn, uint32_t offset);
    void decodeImage(const uint8_t *image);

    // Shape nodes of the last table built.
    std::vector<ZoneNode> m_nodes;
    // The image buffer.
    std::vector<uint8_t> m_image;
    // The 16 polar tables of the last image received or synchronised.
    std::vector<uint8_t> m_polar;
    // The last table decoded.
    zones m_zones;

    // Receive buffer of a read: announced size (kept only when it is IMAGE_SIZE) and transfer
    // check, one flag per piece, the data.
    uint32_t m_recvSize = 0;
    uint32_t m_recvCheck = 0;
    std::vector<uint8_t> m_recvFlags;
    std::vector<uint8_t> m_recvData;

    // Send buffer of a write: size, transfer check over the whole image, the image.
    uint32_t m_sendSize = 0;
    uint32_t m_sendCheck = 0;
    std::vector<uint8_t> m_sendData;
    // Offset field of the last write request sent: only its echo moves the write on.
    uint32_t m_lastWriteOffset = 0;

    Exchange m_exchange = Exchange::None;
};

} // namespace ZONEALARM
