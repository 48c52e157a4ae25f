// The model-file parser over any bytes; what it reads is written back and read again the same.

#include "pointcloudanomalydetector.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<ObjectModel> models;
    std::vector<ModelInfo> infos;
    PointCloudAnomalyDetector::parseModelFile(reinterpret_cast<const char *>(data), size, models, infos);
    if (models.size() > size_t(kDetectorMaxModels) || infos.size() != models.size())
        std::abort();
    for (const ObjectModel &m : models)
        if (m.name.empty() || m.mean.radialHist.size() > 64 || m.mean.heightHist.size() > 64)
            std::abort();
    const std::string text = PointCloudAnomalyDetector::formatModelFile(models);
    std::vector<ObjectModel> again;
    std::vector<ModelInfo> againInfos;
    PointCloudAnomalyDetector::parseModelFile(text.data(), text.size(), again, againInfos);
    if (again.size() != models.size())
        std::abort();
    for (size_t i = 0; i < models.size(); ++i)
        if (again[i].name != models[i].name || again[i].sampleCount != models[i].sampleCount
            || again[i].mean.radialHist.size() != models[i].mean.radialHist.size())
            std::abort();
    return 0;
}
