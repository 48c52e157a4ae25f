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

std::vector<QByteArray> raxoQueries(uint8_t)
{
    const uint8_t zero = 0;
    return {bytes(lh_make_sum_frame(0, newSequence(), RAXO_GET_PARAM, &zero, 1))};
}

// The algorithm block is a Raxo-S setting: asked for after the parameters.
std::vector<QByteArray> raxoSQueries(uint8_t type)
{
    std::vector<QByteArray> out = raxoQueries(type);
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

DeviceModel fenkU()
{
    DeviceModel m;
    m.type = LIDAR_FENK_U;
    m.makeReceiver = makeFenk;
    m.repeatStop = true;
    m.startQueries = fenkQueries;
    m.replies = ReplyFormat::FenkSum;
    m.setFrameType = FENK_SET;
    m.addressSetCode = FENK_SET_ADDRESS;
    m.dataTypeSetCode = FENK_SET_DATA_TYPE;
    m.scanRaw = rawFenk;
    m.parse = parseFenk;
    return m;
}

DeviceModel raxoFamily(uint8_t type)
{
    DeviceModel m;
    m.type = type;
    m.makeReceiver = makeRaxo;
    m.repeatStop = true;
    m.startQueries = raxoQueries;
    m.replies = ReplyFormat::RaxoSum;
    m.setFrameType = RAXO_SET;
    m.addressSetCode = RAXO_SET_ADDRESS;
    m.voxelFilter = true;
    m.scanRaw = rawRaxo;
    m.parse = parseRaxo;
    return m;
}

DeviceModel raxoE()
{
    return raxoFamily(LIDAR_RAXO_E);
}

DeviceModel raxoS()
{
    DeviceModel m = raxoFamily(LIDAR_RAXO_S);
    m.startQueries = raxoSQueries;
    m.zones = true;
    m.objectModels = true;
    return m;
}

DeviceModel vimoE()
{
    DeviceModel m;
    m.type = LIDAR_VIMO_E;
    m.makeReceiver = makeVimo;
    m.repeatStop = true;
    m.startQueries = vimoQueries;
    m.replies = ReplyFormat::VimoText;
    m.framesKept = 10;
    m.framesKeptKey = kFramesKeptKey;
    m.keepsDialogRows = true;
    m.freeTextCommands = true;
    m.scanRaw = rawVimo;
    m.parse = parseVimo;
    m.udppRecords = true;
    return m;
}

DeviceModel algorithmBox()
{
    DeviceModel m;
    m.type = LIDAR_ALG_BOX;
    m.makeReceiver = makeBox;
    m.replies = ReplyFormat::BoxText;
    m.zones = true;
    m.scanRaw = rawBox;
    m.parse = parseBox;
    return m;
}

// One row per LidarType, in its order.
const DeviceModel *models()
{
    static const DeviceModel kModels[] = {fenkU(), raxoE(), raxoS(), vimoE(),
                                          algorithmBox(), DeviceModel()};
    static_assert(sizeof kModels / sizeof kModels[0] == LIDAR_UNKNOWN + 1, "one row per LidarType");
    return kModels;
}

} // namespace

const DeviceModel *find_device_model(int type)
{
    return type >= 0 && type <= int(LIDAR_UNKNOWN) ? &models()[type] : nullptr;
}

const DeviceModel &device_model(int type)
{
    const DeviceModel *m = find_device_model(type);
    return m != nullptr ? *m : models()[LIDAR_UNKNOWN];
}

int udpp_model()
{
    for (int type = 0; type < int(LIDAR_UNKNOWN); ++type)
        if (models()[type].udppRecords)
            return type;
    return LIDAR_UNKNOWN;
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
