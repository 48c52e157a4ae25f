#include "algorithmbox.h"

AlgorithmBox::AlgorithmBox() = default;

void AlgorithmBox::show() {}

void AlgorithmBox::setBoxInfo(const BoxHeartbeat *info)
{
    if (info != nullptr)
        ++heartbeats_;
}
