#include "zonealarm.h"

#include "checksum.h"
#include "dirhelpers.h"
#include "lhframe.h"
#include "tracelog.h"

#include <QDebug>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace ZONEALARM {

namespace {

constexpr double PI = 3.14159265358979323846;

QString hex(uint32_t v)
{
    return QString::number(v, 16);
}

// Header and payload of a received LhCrcFrame after its frame checks: the datagram holds the
// whole frame (12 + L bytes, L a multiple of 4) and its trailer matches crc32_words over
// header and payload.
bool crc_frame_ok(const uint8_t *frame, size_t len, size_t *payload_len)
{
    if (len < LH_CRC_OVERHEAD)
        return false;
    const size_t l = rd_u16(frame + 6);
    if (l % 4 != 0 || len < LH_CRC_OVERHEAD + l)
        return false;
    if (crc32_words(frame, l / 4 + 2) != rd_u32(frame + LH_CRC_HEADER + l))
        return false;
    *payload_len = l;
    return true;
}

} // namespace

ZoneAlarm::ZoneAlarm(QObject *parent)
    : QObject(parent),
      m_image(IMAGE_SIZE, 0),
      m_polar(size_t(ZONE_IDS) * ZONE_POLAR_USED, 0),
      m_recvFlags(PIECES, 0),
      m_recvData(IMAGE_SIZE, 0),
      m_sendData(IMAGE_SIZE, 0)
{
}

ZoneAlarm::~ZoneAlarm() = default;

void ZoneAlarm::clearTable()
{
    m_zones = zones();
}

uint32_t ZoneAlarm::buildZoneImage(const zones &table)
{
    m_nodes = make_zone_nodes(table);

    uint8_t *img = m_image.data();
    std::fill(m_image.begin(), m_image.end(), uint8_t(0));
    wr_u32(img + 0x00, IMAGE_MAGIC);
    wr_u32(img + 0x04, IMAGE_VERSION);
    wr_u32(img + 0x08, IMAGE_SIZE);
    wr_u32(img + 0x10, POLAR_AREA_SIZE);
    wr_u32(img + 0x14, uint32_t(uint64_t(std::time(nullptr))));

    for (int i = 0; i < ZONE_IDS; ++i) {
        write_zone_def_block(m_nodes, i, img + DEF_OFFSET + size_t(ZONE_DEF_BLOCK) * size_t(i));
        rasterise_zone(m_nodes, i, img + POLAR_OFFSET + size_t(POLAR_TABLE_SIZE) * size_t(i));
    }

    const uint32_t check = crc32_words(img + CHECK_OFFSET, (IMAGE_SIZE - CHECK_OFFSET) / 4);
    wr_u32(img + 0x0C, check);
    return check;
}

int ZoneAlarm::parseZoneDef(int index, size_t len, const uint8_t *block)
{
    Q_UNUSED(index);
    const size_t bound = std::min(len, size_t(ZONE_DEF_BLOCK));
    int added = 0;
    size_t pos = 0;
    while (pos + 4 <= bound) {
        const uint8_t *e = block + pos;
        const int kind = e[0], zone_id = e[1], area = e[2], n = e[3];
        if (kind == 0 || kind > 5 || area > 2 || n < 2 || n % 2 != 0 || n > 40)
            break;
        // An id the table cannot name, or a fixed-size shape that does not carry exactly its
        // two points, is a malformed entry: decoding it would read into the next one.
        if (zone_id >= ZONE_IDS)
            break;
        if ((kind == ZONE_RECTANGLE || kind == ZONE_ELLIPSE || kind == ZONE_SECTOR) && n != 4)
            break;
        const size_t size = 4 + 4 * size_t(n);
        if (pos + size > bound)
            break;
        if (m_zones.count >= ZONE_MAX_SHAPES)
            break;

        int32_t v[40];
        for (int j = 0; j < n; ++j)
            v[j] = int32_t(rd_u32(e + 4 + 4 * j));

        ZoneShape &r = m_zones.shapes[m_zones.count];
        r = ZoneShape();
        r.kind = kind;
        r.zone_id = uint8_t(zone_id);
        r.area = uint8_t(area);
        r.flag = 1;
        switch (kind) {
        case ZONE_RECTANGLE:
            for (int j = 0; j < 4; ++j)
                r.param[j] = v[j];
            r.point_count = 2;
            break;
        case ZONE_ELLIPSE: {
            const double y1 = v[0], x1 = v[1], y2 = v[2], x2 = v[3];
            r.param[2] = x2 - x1;
            r.param[3] = y2 - y1;
            r.param[0] = x1 + r.param[2] / 2;
            r.param[1] = y1 + r.param[3] / 2;
            r.point_count = 2;
            break;
        }
        case ZONE_SECTOR: {
            const double y1 = v[0], x1 = v[1], y2 = v[2], x2 = v[3]; // near, far
            double start = std::round(std::atan2(x2, y2) / (2 * PI) * 3600);
            double end = std::round(std::atan2(x1, y1) / (2 * PI) * 3600);
            if (start < 0)
                start += 3600;
            if (end < 0)
                end += 3600;
            r.param[0] = start;
            r.param[1] = end;
            r.param[2] = std::round(std::sqrt(y2 * y2 + x2 * x2));
            r.param[3] = std::round(std::sqrt(y1 * y1 + x1 * x1));
            r.point_count = 2;
            break;
        }
        default: // polygons: (y, x) pairs
            for (int j = 0; j < n / 2; ++j) {
                r.param[2 * j] = v[2 * j + 1];
                r.param[2 * j + 1] = v[2 * j];
            }
            r.point_count = n / 2;
            break;
        }
        ++m_zones.count;
        ++added;
        pos += size;
    }
    return added;
}

void ZoneAlarm::decodeImage(const uint8_t *image)
{
    clearTable();
    for (int i = 0; i < ZONE_IDS; ++i)
        parseZoneDef(i, ZONE_DEF_BLOCK, image + DEF_OFFSET + size_t(ZONE_DEF_BLOCK) * size_t(i));
}

bool ZoneAlarm::setZoneSyn(const uint8_t *image, size_t len)
{
    clearTable();
    std::fill(m_image.begin(), m_image.end(), uint8_t(0));
    if (image == nullptr || len < IMAGE_SIZE) {
        qDebug() << "bad zone image length" << len;
        return false;
    }
    std::memcpy(m_image.data(), image, IMAGE_SIZE);
    const uint32_t magic = rd_u32(image), version = rd_u32(image + 4), size = rd_u32(image + 8);
    if (magic != IMAGE_MAGIC || size != IMAGE_SIZE || version != IMAGE_VERSION) {
        qDebug().noquote() << "bad zone header" << hex(magic) << hex(size) << hex(version);
        return false;
    }
    decodeImage(image);
    for (int i = 0; i < ZONE_IDS; ++i)
        std::memcpy(m_polar.data() + size_t(ZONE_POLAR_USED) * size_t(i),
                    image + POLAR_OFFSET + size_t(POLAR_TABLE_SIZE) * size_t(i), ZONE_POLAR_USED);
    return true;
}

// --- exchange ----------------------------------------------------------------------------------

void ZoneAlarm::report(int rate, const QString &title, const QString &info)
{
    emit sig_progress(rate, title, info);
}

void ZoneAlarm::reportRead(int rate, const QString &info)
{
    report(rate, tr("read alarm zone"), info);
}

void ZoneAlarm::reportWrite(int rate, const QString &info)
{
    report(rate, tr("write alarm zone"), info);
}

void ZoneAlarm::sendReadRequest(int sn, uint32_t offset, uint32_t length)
{
    QByteArray cmd(int(READ_REQUEST_LEN), '\0');
    auto *p = reinterpret_cast<uint8_t *>(cmd.data());
    wr_u32(p, IMAGE_VERSION);
    wr_u32(p + 4, offset);
    wr_u32(p + 8, length);
    emit sig_ZoneCMD(CMD_READ, sn & 0xFFFF, int(READ_REQUEST_LEN), cmd, false);
}

void ZoneAlarm::sendWriteRequest(int sn, uint32_t offset)
{
    QByteArray cmd(int(WRITE_REQUEST_LEN), '\0');
    auto *p = reinterpret_cast<uint8_t *>(cmd.data());
    wr_u32(p, IMAGE_VERSION);
    wr_u32(p + 4, offset);
    if (offset == OFFSET_ERASE) {
        wr_u32(p + 12, m_sendSize);
        wr_u32(p + 16, m_sendCheck);
    } else if (offset != OFFSET_RELOAD) {
        wr_u16(p + 8, uint16_t(PIECE));
        std::memcpy(p + 12, m_sendData.data() + offset, PIECE);
    }
    m_lastWriteOffset = offset;
    emit sig_ZoneCMD(CMD_WRITE, sn & 0xFFFF, int(WRITE_REQUEST_LEN), cmd, false);
}

void ZoneAlarm::getZone(int sn)
{
    m_exchange = Exchange::Read;
    clearTable();
    std::fill(m_image.begin(), m_image.end(), uint8_t(0));
    m_recvSize = 0;
    m_recvCheck = 0;
    std::fill(m_recvFlags.begin(), m_recvFlags.end(), uint8_t(0));
    std::fill(m_recvData.begin(), m_recvData.end(), uint8_t(0));
    sendReadRequest(sn, OFFSET_SIZE_QUERY, 0);
    reportRead(0, tr("query"));
}

int ZoneAlarm::getZoneRev(const uint8_t *frame, size_t len, int sn)
{
    if (frame == nullptr || len < 4 || frame[0] != 'L' || frame[1] != 'H' ||
        rd_u16(frame + 2) != REPLY_READ)
        return -1;

    // A frame that fails its checks, or whose payload is too short for the fields it must
    // carry, is a bad frame: the request stays queued and is sent again.
    const auto bad_frame = [this] {
        reportRead(5, tr("ALL CRC verification failed"));
        return -2;
    };
    size_t l = 0;
    if (!crc_frame_ok(frame, len, &l) || l < 8)
        return bad_frame();
    const uint8_t *p = frame + LH_CRC_HEADER;

    const uint32_t version = rd_u32(p);
    if (version != IMAGE_VERSION) {
        reportRead(-1, tr("The alarm zone is not initialized or there is an error writing. "
                          "Please clear the alarm zone and read again"));
        QV_TRACE_LIMITED() << "version:" << hex(version) << p[0] << p[1];
        return -1;
    }

    const uint32_t offset = rd_u32(p + 4);
    if (offset == OFFSET_SIZE_ANSWER) {
        if (l < 20)
            return bad_frame();
        m_recvSize = 0;
        m_recvCheck = 0;
        std::fill(m_recvFlags.begin(), m_recvFlags.end(), uint8_t(0));
        std::fill(m_recvData.begin(), m_recvData.end(), uint8_t(0));
        const uint32_t size = rd_u32(p + 12);
        if (size != IMAGE_SIZE) {
            // Only an image of the one known size is ever accepted into the receive buffer.
            QV_PRINTF_LIMITED("size %x != %x\n", size, IMAGE_SIZE);
            return -1;
        }
        m_recvSize = size;
        m_recvCheck = rd_u32(p + 16);
        sendReadRequest(sn, 0, PIECE);
        reportRead(5, tr("query"));
        return 0;
    }

    if (l < 12)
        return bad_frame();
    const uint32_t length = rd_u16(p + 8);
    if (uint64_t(offset) + length > uint64_t(m_recvSize)) {
        reportRead(-3, tr("error:%1 + %2 > %3").arg(offset).arg(length).arg(m_recvSize));
        return -2;
    }
    if (length != PIECE) {
        m_exchange = Exchange::None;
        reportRead(-4, tr("sub packet len %1 !=512").arg(length));
        return -3;
    }
    if (offset % PIECE != 0) // never requested: not a piece of this image
        return -2;
    if (l < 12 + PIECE)
        return bad_frame();

    std::memcpy(m_recvData.data() + offset, p + 12, PIECE);
    m_recvFlags[offset / PIECE] = 1;
    const double done = double(offset + PIECE) / double(m_recvSize);
    reportRead(int(done * 0.6 * 100 + 30), tr("offset:%1 total:%2").arg(hex(offset), hex(m_recvSize)));
    if (offset + PIECE == m_recvSize) {
        const bool ok = PackAll();
        m_exchange = Exchange::None;
        return ok ? 1 : -4;
    }
    sendReadRequest(sn, offset + PIECE, PIECE);
    return 0;
}

bool ZoneAlarm::PackAll()
{
    const uint32_t pieces = std::min(m_recvSize / PIECE, PIECES);
    int holes = 0;
    for (uint32_t i = 0; i < pieces; ++i)
        if (!m_recvFlags[i])
            ++holes;
    if (holes) {
        reportRead(-8, tr("sub packet hole %1").arg(holes));
        return false;
    }
    const uint32_t size = std::min(m_recvSize, IMAGE_SIZE);
    const uint32_t pc = crc32_words(m_recvData.data(), size / 4);
    if (pc != m_recvCheck) {
        reportRead(-5, tr("crc error:PC:%1 :MCU:%2").arg(hex(pc), hex(m_recvCheck)));
        return false;
    }
    std::memcpy(m_image.data(), m_recvData.data(), size);
    const uint8_t *img = m_image.data();
    if (size != IMAGE_SIZE || rd_u32(img) != IMAGE_MAGIC || rd_u32(img + 8) != IMAGE_SIZE ||
        rd_u32(img + 4) != IMAGE_VERSION) {
        reportRead(-6, tr("bad zone header"));
        return false;
    }
    const uint32_t check = crc32_words(img + CHECK_OFFSET, (IMAGE_SIZE - CHECK_OFFSET) / 4);
    if (check != rd_u32(img + 0x0C)) {
        qDebug().noquote() << "crc error " << hex(check) << hex(rd_u32(img + 0x0C));
        reportRead(-7, tr("crc error"));
        return false;
    }
    // A repeated last piece finishes the read again: the table is decoded afresh, not appended.
    decodeImage(img);
    reportRead(90, QString());
    for (int i = 0; i < ZONE_IDS; ++i)
        std::memcpy(m_polar.data() + size_t(ZONE_POLAR_USED) * size_t(i),
                    img + POLAR_OFFSET + size_t(POLAR_TABLE_SIZE) * size_t(i), ZONE_POLAR_USED);
    reportRead(100, QString());
    qDebug() << "read zone ok";
    return true;
}

void ZoneAlarm::setZone(const zones &table, int sn)
{
    m_exchange = Exchange::Write;
    reportWrite(0, tr("init"));
    buildZoneImage(table);
    reportWrite(20, tr("ZoneDef already"));
    m_sendSize = IMAGE_SIZE;
    std::memcpy(m_sendData.data(), m_image.data(), IMAGE_SIZE);
    m_sendCheck = crc32_words(m_sendData.data(), IMAGE_SIZE / 4);
    sendWriteRequest(sn, OFFSET_ERASE);
}

int ZoneAlarm::setZoneRev(const uint8_t *frame, size_t len)
{
    if (frame == nullptr || len < 4 || frame[0] != 'L' || frame[1] != 'H' ||
        rd_u16(frame + 2) != REPLY_WRITE) {
        reportWrite(25, tr("package head is error"));
        return -1;
    }
    // Echoes only mean something while a write is under way; a leftover of an earlier one,
    // whatever its state, must not disturb a read the receiver may be running meanwhile.
    if (m_exchange != Exchange::Write)
        return 0;
    size_t l = 0;
    if (!crc_frame_ok(frame, len, &l) || l < 12) {
        m_exchange = Exchange::None;
        reportWrite(RATE_WRITE_BAD_FRAME, tr("crc error"));
        return -3;
    }
    const uint8_t *p = frame + LH_CRC_HEADER;
    const uint32_t echo = rd_u32(p + 4);
    const uint32_t status = rd_u32(p + 8);
    // Only the echo of the request last sent moves the write on: a stale or repeated echo
    // would otherwise skip pieces and have the device reload a partly written image.
    if (echo != m_lastWriteOffset)
        return 0;
    if (status != 0)
        return 0;

    const auto next_sn = [] { return int(QRandomGenerator::global()->bounded(65535)); };
    if (echo == OFFSET_ERASE) {
        sendWriteRequest(next_sn(), 0);
        reportWrite(25, tr("OP_ZONE_ERASE"));
        return 0;
    }
    if (echo == OFFSET_RELOAD) {
        m_exchange = Exchange::None;
        reportWrite(100, tr("success"));
        return 1;
    }
    const uint32_t next = echo + PIECE;
    if (next < m_sendSize) {
        sendWriteRequest(next_sn(), next);
        const double done = double(next) / double(m_sendSize);
        reportWrite(int(done * 100 * 0.6 + 30), tr("offset:%1 total:%2").arg(hex(next), hex(m_sendSize)));
    } else {
        sendWriteRequest(next_sn(), OFFSET_RELOAD);
        reportWrite(95, tr("OP_ZONE_RELOAD"));
    }
    return 0;
}

void ZoneAlarm::exchangeTimeout()
{
    const Exchange was = m_exchange;
    m_exchange = Exchange::None;
    if (was == Exchange::Read)
        reportRead(RATE_TIMEOUT, tr("timeout"));
    else if (was == Exchange::Write)
        reportWrite(RATE_TIMEOUT, tr("timeout"));
}

// --- Raxo hand-over -----------------------------------------------------------------------------

QString ZoneAlarm::zoneFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::TempLocation) + "/zone_cfg.bin";
}

bool ZoneAlarm::writeZoneFile(const zones &table, const QString &path)
{
    buildZoneImage(table);
    return write_file_replace(path.toStdString(), m_image.data(), IMAGE_SIZE);
}

bool ZoneAlarm::readZoneFile(const QString &path)
{
    clearTable();
    // The temporary folder is shared: never follow a link planted in place of the file.
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    std::vector<uint8_t> buf(IMAGE_SIZE);
    size_t got = 0;
    while (got < IMAGE_SIZE) {
        const ssize_t n = ::read(fd, buf.data() + got, IMAGE_SIZE - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += size_t(n);
    }
    ::close(fd);
    if (got < IMAGE_SIZE)
        return false;
    return setZoneSyn(buf.data(), got);
}

} // namespace ZONEALARM
