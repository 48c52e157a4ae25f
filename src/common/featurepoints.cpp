#include "featurepoints.h"

#include <cmath>

float angle_to_degrees(float radians)
{
    const float times180 = radians * 180.0f;
    return float(double(times180) / 3.1415926535898);
}

float horizontal_angle_degrees(float x, float y)
{
    return angle_to_degrees(std::atan2(y, x));
}

float vertical_angle_degrees(float x, float y, float z)
{
    return angle_to_degrees(std::atan2(z, std::sqrt(x * x + y * y)));
}

bool feature_points_inside(const FeaturePoints &limits, float x, float y, float z)
{
    if (!limits.enable)
        return false;
    if (!(limits.x.min <= x && x <= limits.x.max && limits.y.min <= y && y <= limits.y.max &&
          limits.z.min <= z && z <= limits.z.max))
        return false;
    if (limits.vertical_min != 0.0f || limits.vertical_max != 0.0f) {
        const float v = vertical_angle_degrees(x, y, z);
        if (limits.vertical_min != 0.0f && v < limits.vertical_min)
            return false;
        if (limits.vertical_max != 0.0f && v > limits.vertical_max)
            return false;
    }
    if (limits.horizontal_min != 0.0f || limits.horizontal_max != 0.0f) {
        const float h = horizontal_angle_degrees(x, y);
        if (limits.horizontal_min != 0.0f && h < limits.horizontal_min)
            return false;
        if (limits.horizontal_max != 0.0f && h > limits.horizontal_max)
            return false;
    }
    return true;
}
