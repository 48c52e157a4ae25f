#include "vimolidarinfo.h"

#include "texthelpers.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

std::string dotted(const uint8_t *p)
{
    char text[20];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", p[0], p[1], p[2], p[3]);
    return trim_version_string(text, std::min<size_t>(std::strlen(text), 16));
}

uint16_t u16(const uint8_t *p)
{
    return uint16_t(p[0] | (p[1] << 8));
}

} // namespace

bool vimo_param_decode(const uint8_t *data, size_t length, VimoLidarInfo *out)
{
    if (data == nullptr || length != VIMO_PARAM_SIZE)
        return false;
    VimoLidarInfo info;
    info.sn = trim_version_string(data + 8, 20);
    info.model = trim_version_string(data + 28, 16);
    info.ip = dotted(data + 48);
    info.mask = dotted(data + 52);
    info.gateway = dotted(data + 56);
    info.upload_ip = dotted(data + 60);
    info.upload_port = u16(data + 64);
    info.port = u16(data + 66);
    info.upload_fix = data[77];
    info.ptp = data[143] & 1;
    *out = std::move(info);
    return true;
}
