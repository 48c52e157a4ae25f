// The detector's packet intake over a list of packets cut from the input: IMU packets (byte 3
// is 4) step the tilt filter, the others go to the frame grid, and every whole frame goes
// through the live thread's stages.

#include "fuzzsupport.h"
#include "pointcloudanomalydetector.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static PointCloudAnomalyDetector *detector = new PointCloudAnomalyDetector();
    static PacketData *frame = new PacketData();
    detector->Reset();
    const PacketCutter packets(data, size);
    for (const PacketView &v : packets.views()) {
        if (v.size >= 4 && v.data[3] == 4) {
            detector->ProcessImuPacket(v.data, v.size);
            continue;
        }
        const int rc = detector->ProcessPointPacket(v.data, v.size);
        if (rc != 0 && rc != -1 && rc != -2 && rc != -3)
            std::abort();
        while (detector->TakeQueuedFrame(*frame)) {
            if (detector->processFrame(*frame)
                && (frame->clusterCount > kDetectorMaxClusters
                    || frame->start[frame->clusterCount] > kDetectorMaxForeground))
                std::abort();
        }
    }
    return 0;
}
