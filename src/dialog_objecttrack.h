#pragma once
// Stand-in for the tracked-object table until the inspection issue builds it.

#include "pointcloudanomalydetector.h"
#include "zonemonitor.h"

#include <QDialog>

#include <vector>

class Dialog_ObjectTrack : public QDialog {
    Q_OBJECT

public:
    explicit Dialog_ObjectTrack(QWidget *parent = nullptr);

    void setObjModels(std::vector<ModelInfo> models);
    void setObjectList(const ObjectListMsg *list);

    size_t modelCount() const { return models_.size(); }
    int listsSeen() const { return lists_; }

private:
    std::vector<ModelInfo> models_;
    int lists_ = 0;
};
