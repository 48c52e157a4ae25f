#include "viewrange.h"

bool point_coordinates_ok(const UserPointData &p, float limit)
{
    // Packed fields: read by value.
    const float x = p.x, y = p.y, z = p.z;
    return coordinate_ok(x, limit) && coordinate_ok(y, limit) && coordinate_ok(z, limit);
}

bool tracked_object_ok(const TrackedObject &o)
{
    const float values[6] = {o.center_x, o.center_y, o.center_z, o.length, o.width, o.height};
    for (const float v : values)
        if (!coordinate_ok(v))
            return false;
    return true;
}

size_t keep_points_in_view(UserPointData *points, size_t n, float limit)
{
    size_t kept = 0;
    for (size_t i = 0; i < n; ++i) {
        if (!point_coordinates_ok(points[i], limit))
            continue;
        if (kept != i)
            points[kept] = points[i];
        ++kept;
    }
    return kept;
}
