#include "pointcloudanomalydetector.h"

#include <new>

namespace {
// Created before main and never freed: other static objects may still ask for it at exit.
PointCloudAnomalyDetector *const g_detector = new (std::nothrow) PointCloudAnomalyDetector();
} // namespace

PointCloudAnomalyDetector *PointCloudAnomalyDetector::GetInstance()
{
    return g_detector;
}

std::string PointCloudAnomalyDetector::GetModelName(int index)
{
    std::lock_guard<std::mutex> lock(models_mutex_);
    if (index < 0 || size_t(index) >= model_names_.size())
        return "unknown";
    return model_names_[size_t(index)];
}

void PointCloudAnomalyDetector::LoadModelsFromFile(std::string, std::vector<ModelInfo> &)
{
    std::lock_guard<std::mutex> lock(models_mutex_);
    model_names_.clear();
}
