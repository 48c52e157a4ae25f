#pragma once
// Stand-in for the anomaly detector until the detector issues build it: the process-wide
// instance, the class names of the object models and the model-file loading the windows use.
// It holds no models, so every class is "unknown".

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#pragma pack(push, 1)
struct ModelInfo {
    int32_t index = 0;
    uint32_t sample_count = 0;
    uint64_t last_update_ms = 0;
};
#pragma pack(pop)
static_assert(sizeof(ModelInfo) == 16, "ModelInfo is a packed 16-byte record");

class PointCloudAnomalyDetector {
public:
    // The one detector, made by static initialisation before main; null only if that
    // allocation failed. Never freed.
    static PointCloudAnomalyDetector *GetInstance();

    // Name of the model at `index`; "unknown" when there is none.
    std::string GetModelName(int index);

    // Replaces the detector's models by those of the file and appends one summary per model to
    // `out`.
    void LoadModelsFromFile(std::string path, std::vector<ModelInfo> &out);

private:
    std::mutex models_mutex_;
    std::vector<std::string> model_names_;
};
