#pragma once
// Sensor tilt of the Raxo models: the complementary filter that estimates pitch and roll from
// the IMU packets, and the rotation that levels a point with them. The Raxo receiver and the
// anomaly detector both level their points with these, so the two agree on every point.

#include <Eigen/Core>

struct TiltPoint {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

// The product of three angle-axis rotations: about x by pitch, about y by roll, about z by 0
// (so a point is turned about y first, then about x).
Eigen::Matrix3d tilt_rotation(double pitch, double roll);

// The point rotated by r in doubles, each coordinate rounded to the millimetre
// (round(v * 1000) / 1000, half away from zero) and stored as a float.
TiltPoint tilt_rotate(const Eigen::Matrix3d &r, float x, float y, float z);

// The five values one IMU packet gives the filter: rates about x and y, acceleration x, y, z.
struct ImuSample {
    double rate_x = 0.0, rate_y = 0.0;
    double acc_x = 0.0, acc_y = 0.0, acc_z = 0.0;
};

// How a step integrates the rates over one sample of 1/208 s. The two users were written apart
// and integrate differently: the receiver multiplies by the reciprocal, the detector divides.
// The results can differ in the last bit, and each keeps its own so that its angles follow the
// history its users have always seen.
enum class TiltRateStep {
    TimesReciprocal, // angle + rate * (1 / 208): the Raxo receiver
    Divide,          // angle + rate / 208: the anomaly detector
};

enum class TiltStepResult {
    Ignored, // a value was not a number: the angles are untouched
    Moving,  // an angle moved by 0.01 rad or more
    Still,   // both angles moved by less than 0.01 rad
};

// One step of the filter over pitch and roll (radians, doubles): integrate the rates, then blend
// with the gravity direction, 0.98 of the integrated angle and 0.02 (the double 1 - 0.98) of the
// accelerometer's. A sample holding a value that is not finite would poison the angles for good;
// it is ignored.
TiltStepResult tilt_filter_step(double &pitch, double &roll, const ImuSample &s,
                                TiltRateStep integration);
