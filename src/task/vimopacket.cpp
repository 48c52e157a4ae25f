#include "vimopacket.h"

#include "lhframe.h"

#include <cmath>

namespace {

constexpr double kPi = 3.1415926535898;
// Codes the sensor really sends: elevation 0..180 degrees, azimuth 0..360 degrees. Other codes
// (the fields are 20 bits wide) are computed directly.
constexpr uint32_t kElevationCodes = 180001;
constexpr uint32_t kAzimuthCodes = 360000;

struct CosSin {
    double c;
    double s;
};

double elevation_rad(uint32_t e) { return (90000.0 - double(e)) * kPi / 180000.0; }
double azimuth_rad(uint32_t a) { return double(a) * kPi / 180000.0; }

// Two trigonometric calls per angle and point would cost more than the receive itself at the
// packet rates the sensor can reach. The tables hold exactly what the direct computation gives
// (same argument, same functions), so a looked-up point equals a computed one bit for bit.
struct TrigTables {
    std::vector<CosSin> elevation;
    std::vector<CosSin> azimuth;
    TrigTables() : elevation(kElevationCodes), azimuth(kAzimuthCodes)
    {
        for (uint32_t e = 0; e < kElevationCodes; ++e) {
            const double phi = elevation_rad(e);
            elevation[e] = {std::cos(phi), std::sin(phi)};
        }
        for (uint32_t a = 0; a < kAzimuthCodes; ++a) {
            const double theta = azimuth_rad(a);
            azimuth[a] = {std::cos(theta), std::sin(theta)};
        }
    }
};

const TrigTables &tables()
{
    static const TrigTables t;
    return t;
}

} // namespace

bool vimo_read_header(const uint8_t *data, size_t length, VimoPacketHeader *out)
{
    if (data == nullptr || length < VIMO_HEADER_SIZE)
        return false;
    if (out != nullptr) {
        out->type = data[0];
        out->count = rd_u16(data + 5);
        out->sequence = rd_u16(data + 7);
        out->mirror = rd_u16(data + 12);
        out->motor = rd_u16(data + 14);
        out->status = data[16];
    }
    return true;
}

size_t vimo_points_present(size_t length, uint16_t count)
{
    if (length < VIMO_HEADER_SIZE)
        return 0;
    const size_t room = (length - VIMO_HEADER_SIZE) / VIMO_POINT_SIZE;
    return count < room ? count : room;
}

UserPointData vimo_decode_point(const uint8_t *point)
{
    const uint64_t v = rd_u64(point);
    const uint32_t range = uint32_t(v & 0xFFFFFFu);
    const uint32_t e = uint32_t((v >> 24) & 0xFFu) * 4096u + uint32_t((v >> 32) & 0xFFFu);
    const uint32_t a = uint32_t((v >> 44) & 0xFFFFFu);

    const TrigTables &t = tables();
    const CosSin el = e < kElevationCodes
                          ? t.elevation[e]
                          : CosSin{std::cos(elevation_rad(e)), std::sin(elevation_rad(e))};
    const CosSin az = a < kAzimuthCodes
                          ? t.azimuth[a]
                          : CosSin{std::cos(azimuth_rad(a)), std::sin(azimuth_rad(a))};

    const double r = double(range) / 1000.0;
    UserPointData p;
    p.x = float(r * el.c * az.c);
    p.y = float(r * el.c * az.s);
    p.z = float(r * el.s);
    p.intensity = point[8];
    return p;
}

size_t vimo_decode_points(const uint8_t *data, size_t length, UserPointData *out)
{
    VimoPacketHeader h;
    if (!vimo_read_header(data, length, &h))
        return 0;
    const size_t n = vimo_points_present(length, h.count);
    const uint8_t *p = data + VIMO_HEADER_SIZE;
    for (size_t i = 0; i < n; ++i, p += VIMO_POINT_SIZE)
        out[i] = vimo_decode_point(p);
    return n;
}

size_t vimo_append_points(const uint8_t *data, size_t length, std::vector<UserPointData> &out)
{
    VimoPacketHeader h;
    if (!vimo_read_header(data, length, &h))
        return 0;
    const size_t first = out.size();
    out.resize(first + vimo_points_present(length, h.count));
    return vimo_decode_points(data, length, out.data() + first);
}

void vimo_prepare_tables()
{
    (void)tables();
}
