#pragma once
// Shared by the detector's tests: fresh detectors and frames, a still sensor, and synthetic
// scans fed through the real packet intake.

#include "fakeraxo.h"
#include "pointcloudanomalydetector.h"
#include "raxoscene.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

inline std::unique_ptr<PointCloudAnomalyDetector> make_detector()
{
    return std::make_unique<PointCloudAnomalyDetector>();
}

// A zeroed grid (0.76 MB: never on the stack).
inline std::unique_ptr<PacketData> make_frame()
{
    return std::unique_ptr<PacketData>(new PacketData());
}

// A level sensor standing still: one packet settles the filter.
inline void settle(PointCloudAnomalyDetector &d)
{
    const std::vector<uint8_t> imu = raxo_imu_level_packet(0.0f, 0.0f, 9.8f);
    ASSERT_NE(d.ProcessImuPacket(imu.data(), imu.size()), 0);
}

// A sensor tipped on its side: the filter's angle moves, the sensor is not still.
inline void unsettle(PointCloudAnomalyDetector &d)
{
    const std::vector<uint8_t> imu = raxo_imu_level_packet(0.0f, 9.8f, 0.0f);
    ASSERT_EQ(d.ProcessImuPacket(imu.data(), imu.size()), 0);
}

// Every packet of the scan, each of which must be taken.
inline void feed(PointCloudAnomalyDetector &d, const RaxoScene &scene)
{
    for (const Bytes &p : scene.packets())
        ASSERT_EQ(d.ProcessPointPacket(p.data(), p.size()), 0);
}

// The scan as the intake queues it (no workers running).
inline std::unique_ptr<PacketData> intake(PointCloudAnomalyDetector &d, const RaxoScene &scene)
{
    feed(d, scene);
    std::unique_ptr<PacketData> f = make_frame();
    EXPECT_TRUE(d.TakeQueuedFrame(*f));
    return f;
}

// The 20 learning frames, all without a return: every later return is foreground.
inline void learn_nothing(PointCloudAnomalyDetector &d)
{
    std::unique_ptr<PacketData> f = make_frame();
    for (int i = 0; i < kDetectorBackgroundFrames; ++i) {
        std::memset(static_cast<void *>(f.get()), 0, sizeof(PacketData));
        ASSERT_FALSE(d.processFrame(*f));
    }
}

// A still sensor and an empty room learnt: every return that comes is foreground.
inline std::unique_ptr<PointCloudAnomalyDetector> learned_detector()
{
    std::unique_ptr<PointCloudAnomalyDetector> d = make_detector();
    settle(*d);
    learn_nothing(*d);
    return d;
}

// The workers started with the configuration a start puts in, the sensor still.
inline void start_still(PointCloudAnomalyDetector &d)
{
    DetectorConfig cfg;
    d.Start(cfg);
    settle(d);
}

// The clusters of a queue-2 element, each its points in order.
inline std::vector<std::vector<Point3f>> clusters_of(const PacketData &f)
{
    std::vector<std::vector<Point3f>> out;
    for (int j = 0; j < f.clusterCount; ++j)
        out.emplace_back(f.point + f.start[j], f.point + f.start[j + 1]);
    return out;
}

inline std::vector<size_t> cluster_sizes(const PacketData &f)
{
    std::vector<size_t> out;
    for (const auto &c : clusters_of(f))
        out.push_back(c.size());
    return out;
}

// A configuration with the minimum cluster points given (the rest as a start puts them).
inline DetectorConfig config_with_min_points(uint8_t minPoints)
{
    DetectorConfig c;
    c.min_cluster_points = minPoints;
    return c;
}
