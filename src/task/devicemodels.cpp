#include "devicemodels.h"

#include "fenkprotocol.h"
#include "lhframe.h"
#include "lpdecoder.h"
#include "playbackparsers.h"
#include "playbackscans.h"
#include "raxoprotocol.h"
#include "recvboxdataproc.h"
#include "recvdataproc.h"
#include "recvdataproc2.h"
#include "recvdataproc3.h"
#include "settingsdocument.h"
#include "vimoprotocol.h"

#include <cstdlib>

namespace {

uint16_t newSequence()
{
    return uint16_t(std::rand() & 0x7FFF);
}

QByteArray bytes(const std::vector<uint8_t> &frame)
{
    return QByteArray(reinterpret_cast<const char *>(frame.data()), int(frame.size()));
}

// ---- receivers ----

SensorReceiver *makeFenk(uint8_t, const SessionTarget &t)
{
    auto *r = new RecvDataProc;
    r->setBindAddress(t.bindAddress);
    r->init(t.ip, t.port, t.localPort);
    return r;
}

SensorReceiver *makeRaxo(uint8_t type, const SessionTarget &t)
{
    auto *r = new RecvDataProc2;
    r->setBindAddress(t.bindAddress);
    r->init(t.localPort, t.ip, t.port);
    r->lidartype = type;
    return r;
}

SensorReceiver *makeVimo(uint8_t, const SessionTarget &t)
{
    auto *r = new RecvDataProc3;
    r->setBindAddress(t.bindAddress);
    r->init(t.localPort, t.ip, t.port);
    return r;
}

SensorReceiver *makeBox(uint8_t, const SessionTarget &t)
{
    auto *r = new RecvBoxDataProc;
    r->setBindAddress(t.bindAddress);
    r->init(t.localPort, t.ip, t.port);
    return r;
}

// ---- start queries ----

std::vector<QByteArray> fenkQueries(uint8_t)
{
    const uint8_t zero = 0;
    return {bytes(lh_make_sum_frame(0, newSequence(), FENK_GET_PARAM, &zero, 1))};
}

std::vector<QByteArray> raxoQueries(uint8_t type)
{
    const uint8_t zero = 0;
    std::vector<QByteArray> out{bytes(lh_make_sum_frame(0, newSequence(), RAXO_GET_PARAM, &zero, 1))};
    // The algorithm block is a Raxo-S setting.
    if (type == LIDAR_RAXO_S)
        out.push_back(bytes(lh_make_sum_frame(0, newSequence(), RAXO_GET_ALG_PARAM, nullptr, 0)));
    return out;
}

std::vector<QByteArray> vimoQueries(uint8_t)
{
    return {bytes(lh_make_crc_frame(QUERY_PACK, newSequence(), VIMO_PARAM_QUERY, VIMO_PARAM_QUERY_SIZE))};
}

// ---- playback ----

void rawFenk(const uint8_t *data, size_t size, PacketViews &out, PlaybackSink &sink)
{
    split_lp_stream(data, size, out, sink);
}

void rawRaxo(const uint8_t *data, size_t size, PacketViews &out, PlaybackSink &)
{
    scan_raw_raxo(data, size, out);
}

void rawVimo(const uint8_t *data, size_t size, PacketViews &out, PlaybackSink &)
{
    scan_raw_vimo_e(data, size, out);
}

void rawBox(const uint8_t *data, size_t size, PacketViews &out, PlaybackSink &)
{
    scan_raw_box(data, size, out);
}

int parseFenk(const PacketView *p, size_t n, PlaybackSink &sink, uint8_t *highest)
{
    return parse_fenk_u_packets(p, n, sink, highest);
}

int parseRaxo(const PacketView *p, size_t n, PlaybackSink &sink, uint8_t *)
{
    return parse_raxo_packets(p, n, sink);
}

int parseVimo(const PacketView *p, size_t n, PlaybackSink &sink, uint8_t *)
{
    return parse_vimo_e_packets(p, n, sink);
}

int parseBox(const PacketView *p, size_t n, PlaybackSink &sink, uint8_t *)
{
    return parse_box_packets(p, n, sink);
}

// Side-page buttons: 0 Fenk-U, 1 Raxo, 2 Vimo-E, 3 points data, 4 data analysis, 5 box.
// Each row, line by line: receiver, stop repeated, start queries, replies; set frame type,
// address code, data-type code; frames kept, its settings key; zones, object models, dialog rows
// kept; view frame, buttons hidden, buttons shown, page, Raxo page; point table: points,
// distance, planes, mask columns, rows per block; playback: raw scan, parser, udpp records.
const DeviceModel kModels[] = {
    {LIDAR_FENK_U,
     makeFenk, true, fenkQueries, ReplyFormat::FenkSum,
     FENK_SET, FENK_SET_ADDRESS, FENK_SET_DATA_TYPE,
     1, nullptr,
     false, false, false,
     false, {1, 2, 5, -1}, {0, 3, 4}, 0, false,
     true, true, true, true, 40,
     rawFenk, parseFenk, false},
    {LIDAR_RAXO_E,
     makeRaxo, true, raxoQueries, ReplyFormat::RaxoSum,
     RAXO_SET, RAXO_SET_ADDRESS, -1,
     1, nullptr,
     false, false, false,
     false, {0, 2, 5, -1}, {1, 3, 4}, 1, true,
     true, true, false, false, 150,
     rawRaxo, parseRaxo, false},
    {LIDAR_RAXO_S,
     makeRaxo, true, raxoQueries, ReplyFormat::RaxoSum,
     RAXO_SET, RAXO_SET_ADDRESS, -1,
     1, nullptr,
     true, true, false,
     true, {0, 2, 5, -1}, {1, 3, 4}, 1, true,
     true, true, false, false, 150,
     rawRaxo, parseRaxo, false},
    {LIDAR_VIMO_E,
     makeVimo, true, vimoQueries, ReplyFormat::Text,
     -1, -1, -1,
     10, kFramesKeptKey,
     false, false, true,
     false, {0, 1, 5, -1}, {2, 3, 4}, 2, false,
     true, false, false, false, 128,
     rawVimo, parseVimo, true},
    {LIDAR_ALG_BOX,
     makeBox, false, nullptr, ReplyFormat::Text,
     -1, -1, -1,
     1, nullptr,
     true, false, false,
     false, {0, 1, 2, -1}, {5, 3, 4}, 5, false,
     true, false, false, false, 150,
     rawBox, parseBox, false},
    {LIDAR_UNKNOWN,
     nullptr, false, nullptr, ReplyFormat::None,
     -1, -1, -1,
     1, nullptr,
     false, false, false,
     false, {0, 1, 2, 5}, {3, 4, -1}, 3, false,
     true, false, false, false, 150,
     nullptr, nullptr, false},
};

static_assert(sizeof kModels / sizeof kModels[0] == LIDAR_UNKNOWN + 1, "one row per LidarType");

} // namespace

const DeviceModel *find_device_model(int type)
{
    return type >= 0 && type <= int(LIDAR_UNKNOWN) ? &kModels[type] : nullptr;
}

const DeviceModel &device_model(int type)
{
    const DeviceModel *m = find_device_model(type);
    return m != nullptr ? *m : kModels[LIDAR_UNKNOWN];
}

bool same_receiver(int a, int b)
{
    const DeviceModel &ma = device_model(a);
    return ma.makeReceiver != nullptr && ma.makeReceiver == device_model(b).makeReceiver;
}

int device_set_code(const DeviceModel &model, const QByteArray &frame)
{
    if (model.setFrameType < 0 || frame.size() < int(LH_SUM_HEADER + 2))
        return -1;
    const auto *p = reinterpret_cast<const uint8_t *>(frame.constData());
    if (rd_u16(p) != LH_MAGIC || rd_u16(p + LH_SUM_TYPE_AT) != model.setFrameType)
        return -1;
    return rd_u16(p + LH_SUM_HEADER);
}
