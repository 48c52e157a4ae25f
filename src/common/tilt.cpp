#include "tilt.h"

#include <Eigen/Geometry>

#include <cmath>

Eigen::Matrix3d tilt_rotation(double pitch, double roll)
{
    const Eigen::Quaterniond q = Eigen::AngleAxisd(pitch, Eigen::Vector3d::UnitX())
        * Eigen::AngleAxisd(roll, Eigen::Vector3d::UnitY())
        * Eigen::AngleAxisd(0.0, Eigen::Vector3d::UnitZ());
    return q.toRotationMatrix();
}

TiltPoint tilt_rotate(const Eigen::Matrix3d &r, float x, float y, float z)
{
    const Eigen::Vector3d v = r * Eigen::Vector3d(double(x), double(y), double(z));
    TiltPoint q;
    q.x = float(std::round(v.x() * 1000.0) / 1000.0);
    q.y = float(std::round(v.y() * 1000.0) / 1000.0);
    q.z = float(std::round(v.z() * 1000.0) / 1000.0);
    return q;
}

TiltStepResult tilt_filter_step(double &pitch, double &roll, const ImuSample &s,
                                TiltRateStep integration)
{
    if (!std::isfinite(s.rate_x) || !std::isfinite(s.rate_y) || !std::isfinite(s.acc_x)
        || !std::isfinite(s.acc_y) || !std::isfinite(s.acc_z))
        return TiltStepResult::Ignored;
    const double pitchAcc = std::atan2(s.acc_y, std::sqrt(s.acc_x * s.acc_x + s.acc_z * s.acc_z));
    const double rollAcc = std::atan2(-s.acc_x, s.acc_z);
    const double p0 = pitch;
    const double r0 = roll;
    double p, r;
    if (integration == TiltRateStep::Divide) {
        p = p0 + s.rate_x / 208;
        r = r0 + s.rate_y / 208;
    } else {
        p = p0 + s.rate_x * (1.0 / 208);
        r = r0 + s.rate_y * (1.0 / 208);
    }
    const double k = 1.0 - 0.98;
    p = p * 0.98 + pitchAcc * k;
    r = r * 0.98 + rollAcc * k;
    pitch = p;
    roll = r;
    return std::fabs(p0 - p) < 0.01 && std::fabs(r0 - r) < 0.01 ? TiltStepResult::Still
                                                               : TiltStepResult::Moving;
}
