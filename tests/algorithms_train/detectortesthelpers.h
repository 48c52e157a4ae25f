#pragma once
// Shared by the detector's tests: fresh detectors and frames, a still sensor, and synthetic
// scans fed through the real packet intake.

#include "fakeraxo.h"
#include "pointcloudanomalydetector.h"
#include "raxoscene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
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

inline Point3f pt(float x, float y, float z)
{
    Point3f p;
    p.x = x;
    p.y = y;
    p.z = z;
    return p;
}

// The features written out once more from their description, each step in floats.
// One object 5 m ahead, 20 rows by 4 columns, 15 cm deep, put into `scene`; its cluster, the
// 80 cells in raster order, as the detector levels them.
inline std::vector<Point3f> put_one_object(RaxoScene &scene)
{
    std::vector<Point3f> cluster;
    for (int r = 40; r <= 59; ++r)
        for (int c = 100; c <= 103; ++c) {
            const int16_t x = int16_t(2500 + 25 * (c - 100));
            scene.set(r, c, 500, x, int16_t((c - 180) * 25), int16_t((75 - r) * 25));
            cluster.push_back(pt(float(x) / 1000.0f * 2.0f, RaxoScene::cell_y(c), RaxoScene::cell_z(r)));
        }
    return cluster;
}

inline ObjectFeature reference_features(const std::vector<Point3f> &pts)
{
    ObjectFeature f;
    f.radialHist.assign(8, 0.0f);
    f.heightHist.assign(5, 0.0f);
    const float n = float(pts.size());
    float minX = pts[0].x, maxX = minX, minY = pts[0].y, maxY = minY, minZ = pts[0].z, maxZ = minZ;
    float sx = 0, sy = 0, sz = 0;
    for (const Point3f &p : pts) {
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
        minZ = std::min(minZ, p.z), maxZ = std::max(maxZ, p.z);
        sx += p.x, sy += p.y, sz += p.z;
    }
    f.extentX = maxX - minX;
    f.extentY = maxY - minY;
    f.extentZ = maxZ - minZ;
    const float cx = sx / n, cy = sy / n, cz = sz / n;
    float spread = 0;
    for (const Point3f &p : pts)
        spread += (p.x - cx) * (p.x - cx) + (p.y - cy) * (p.y - cy) + (p.z - cz) * (p.z - cz);
    f.spread = spread / n;
    float d = std::sqrt(f.extentX * f.extentX + f.extentY * f.extentY + f.extentZ * f.extentZ);
    if (d < 0.00001f)
        d = 1;
    const float h = f.extentZ < 0.00001f ? 1.0f : f.extentZ;
    for (const Point3f &p : pts) {
        const float s = (p.x - cx) * (p.x - cx) + (p.y - cy) * (p.y - cy) + (p.z - cz) * (p.z - cz);
        f.radialHist[size_t(std::min(7, int(s / d * 8)))] += 1;
        f.heightHist[size_t(std::min(4, int((p.z - minZ) / h * 5)))] += 1;
    }
    for (float &b : f.radialHist)
        b /= n;
    for (float &b : f.heightHist)
        b /= n;
    return f;
}

// What a model trained on `frames` samples of features `f` holds: the sum of each sample's
// value over the count, as training adds them up, not f itself.
inline ObjectFeature mean_of_samples(const ObjectFeature &f, int frames)
{
    ObjectFeature mean;
    mean.radialHist.assign(8, 0.0f);
    mean.heightHist.assign(5, 0.0f);
    for (int i = 0; i < frames; ++i) {
        mean.extentX += f.extentX / float(frames);
        mean.extentY += f.extentY / float(frames);
        mean.extentZ += f.extentZ / float(frames);
        mean.spread += f.spread / float(frames);
        for (size_t k = 0; k < 8; ++k)
            mean.radialHist[k] += f.radialHist[k] / float(frames);
        for (size_t k = 0; k < 5; ++k)
            mean.heightHist[k] += f.heightHist[k] / float(frames);
    }
    return mean;
}

// "%g" in the C locale, as the model file writes its floats.
inline std::string g6(float v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", double(v));
    return buf;
}

// The text of one model as the file carries it, lines ending in CR LF.
inline std::string model_text(const std::string &name, int count, uint64_t time, const ObjectFeature &m)
{
    std::string t = name + " " + std::to_string(count) + " " + std::to_string(time) + "\r\n";
    t += g6(m.extentX) + " " + g6(m.extentY) + " " + g6(m.extentZ) + " " + g6(m.spread) + "\r\n";
    for (const auto *bins : {&m.radialHist, &m.heightHist}) {
        t += std::to_string(bins->size());
        for (float b : *bins)
            t += " " + g6(b);
        t += "\r\n";
    }
    return t;
}
