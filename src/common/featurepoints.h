#pragma once
// The selection limits of the 3D view: a box in x, y and z and a window of horizontal and
// vertical angles, carried with the statistics the analysis panel computed for the points it
// describes. The panel fills and sends it; the main window applies it when it draws.

#include "floatstats.h"

#include <QMetaType>

struct FeaturePoints {
    bool enable = false;     // true: the limits apply; false: none does
    FloatStats x{};          // minimum and maximum bound the box; the rest travels along
    FloatStats y{};
    FloatStats z{};
    FloatStats intensity{};  // carried, never applied
    float h_angle_min = 0.0f; // degrees; 0 means no bound
    float h_angle_max = 0.0f;
    float v_angle_min = 0.0f;
    float v_angle_max = 0.0f;
};

Q_DECLARE_METATYPE(FeaturePoints)
