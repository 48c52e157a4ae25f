#include "raxopacket.h"

#include <cstring>

RaxoDatagram raxo_classify(const uint8_t *buf, size_t len)
{
    if (buf == nullptr || len < 2)
        return RaxoDatagram::None;
    if (raxo_has_sync(buf, len)) {
        if (len < 4)
            return RaxoDatagram::None;
        if (buf[3] == RAXO_TYPE_POINTS || buf[3] == RAXO_TYPE_POINTS_HALF)
            return RaxoDatagram::Points;
        if (buf[3] == RAXO_TYPE_IMU)
            return RaxoDatagram::Imu;
        return RaxoDatagram::None;
    }
    if (buf[0] == 'A' && buf[1] == 'M')
        return RaxoDatagram::ZoneMonitor;
    return RaxoDatagram::None;
}

namespace {

struct UnitTables : RaxoUnitTables {
    UnitTables()
    {
        for (uint32_t v = 0; v < 65536; ++v) {
            coord[v] = float(int16_t(uint16_t(v))) / 1000.0f * 2.0f;
            range[v] = float(v) / 100.0f;
        }
    }
};

} // namespace

const RaxoUnitTables &raxo_unit_tables()
{
    static const UnitTables tables;
    return tables;
}

bool raxo_parse_imu(const uint8_t *buf, size_t len, ImuRecord *rec)
{
    if (buf == nullptr || len < 20)
        return false;
    const uint8_t kind = buf[8];
    if ((kind == 3 && len < 58) || (kind == 2 && len < 46))
        return false;
    rec->time = int64_t(rd_u64(buf + 12)) / 1000000;
    rec->kind = kind;
    if (kind == 3) {
        for (int i = 0; i < 9; ++i)
            rec->m[i] = rd_f32(buf + 22 + 4 * i);
    } else if (kind == 2) {
        for (int i = 0; i < 6; ++i)
            rec->m[3 + i] = rd_f32(buf + 22 + 4 * i);
    }
    return true;
}

bool raxo_zone_monitor_record(const uint8_t *buf, size_t len, const uint8_t **record,
                              size_t *record_len)
{
    if (buf == nullptr || len < 14)
        return false;
    const uint16_t selector = rd_u16(buf + 12);
    size_t size = 0;
    if (selector == 0)
        size = RAXO_OBJECT_LIST_SIZE;
    else if (selector == 1)
        size = RAXO_ZONE_ALARM_SIZE;
    else
        return false;
    if (len < RAXO_ZONE_MONITOR_OFFSET + size)
        return false;
    *record = buf + RAXO_ZONE_MONITOR_OFFSET;
    *record_len = size;
    return true;
}
