#include "dialog_objecttrack.h"

Dialog_ObjectTrack::Dialog_ObjectTrack(QWidget *parent) : QDialog(parent) {}

void Dialog_ObjectTrack::setObjModels(std::vector<ModelInfo> models)
{
    models_ = std::move(models);
}

void Dialog_ObjectTrack::setObjectList(const ObjectListMsg *list)
{
    if (list != nullptr)
        ++lists_;
}
