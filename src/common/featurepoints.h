#pragma once
// The selection limits of the 3D view and the one rule by which a point lies inside them. The
// analysis panel fills the record, the main window applies it when it draws, and the debug view
// shows its statistics.

#include "floatstats.h"

#include <QMetaType>

struct FeaturePoints {
    bool enable = false;  // false: no point is inside, whatever the bounds
    FloatStats x{};       // min and max bound the box in x; the rest travels along
    FloatStats y{};
    FloatStats z{};
    FloatStats intensity{}; // carried with the record, never applied
    float horizontal_min = 0.0f; // degrees; 0 is no bound
    float horizontal_max = 0.0f;
    float vertical_min = 0.0f;
    float vertical_max = 0.0f;
};
Q_DECLARE_METATYPE(FeaturePoints)

// An angle in radians, computed in single precision, to degrees the way every limit and
// statistic of the program does it: times 180 in single precision, divided in double by
// 3.1415926535898, narrowed back to float. Points exactly on a bound depend on this rounding.
float angle_to_degrees(float radians);

// atan2(y, x) in degrees: 0 along +x, positive towards +y, -180..180.
float horizontal_angle_degrees(float x, float y);

// atan2(z, sqrt(x^2 + y^2)) in degrees: -90..90.
float vertical_angle_degrees(float x, float y, float z);

// True when the limits are enabled and the point lies in the box (bounds inclusive) and in the
// angle window (a bound of 0 is no bound; non-zero bounds inclusive).
bool feature_points_inside(const FeaturePoints &limits, float x, float y, float z);
