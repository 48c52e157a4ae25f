#pragma once
// Which coordinates that come from outside the program are fit to be shown. A device or a file
// can send any float: NaN, an infinity or a value so large that scaling it for a view, turning
// it into a pixel or handing it to VTK is undefined or meaningless. Whatever decodes points or
// objects drops those that fail here, before anything converts or draws them.

#include "userpointdata.h"
#include "zonemonitor.h"

#include <cmath>
#include <cstddef>

// Metres from the sensor, on any axis, beyond which no sensor of the family reports anything:
// the farthest of them sees a few hundred metres, the 2D view spans +-64 m and the 3D grid
// less. At 10 km a coordinate still scales to well inside an int at the 2D view's finest zoom
// (10 scene units a millimetre gives 1e8), so every conversion downstream stays defined.
constexpr float DEVICE_COORD_LIMIT_M = 1.0e4f;

// Point files (LAS, PCD) written by other programs often carry map coordinates (UTM northings
// run to 1e7 m): they are shown as they are, up to a bound that still keeps them finite however
// a view scales them.
constexpr float FILE_COORD_LIMIT_M = 1.0e8f;

// Finite and within `limit` of zero. (A NaN compares false, so it fails.)
inline bool coordinate_ok(float v, float limit = DEVICE_COORD_LIMIT_M)
{
    return std::fabs(v) <= limit;
}

// x, y and z all pass coordinate_ok.
bool point_coordinates_ok(const UserPointData &p, float limit = DEVICE_COORD_LIMIT_M);

// The object's centre and its length, width and height all pass coordinate_ok.
bool tracked_object_ok(const TrackedObject &o);

// Moves the points that pass to the front of `points[0, n)`, in their order, and returns how
// many there are.
size_t keep_points_in_view(UserPointData *points, size_t n, float limit = DEVICE_COORD_LIMIT_M);
