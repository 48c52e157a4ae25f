#pragma once
// Stand-in for the paged point table until the inspection issue builds it: it shows the first
// block of the points it is given, with the columns the data type asks for.

#include "userpointdata.h"

#include <QWidget>

#include <cstdint>
#include <vector>

class QTableWidget;

class Dialog_AllData : public QWidget {
    Q_OBJECT

public:
    explicit Dialog_AllData(QWidget *parent = nullptr);

    void setData(std::vector<UserPointData> points, bool relabel);
    // Points per block: 40 for Fenk-U, 128 for Vimo-E, 150 otherwise.
    void setLidarType(uint8_t type);
    // Fenk-U data-type mask: 0x04 shows "distance", 0x10 "depth", 0x20 "deep field".
    void setDataType(uint16_t mask);
    void clearData();

    uint8_t lidarType() const { return lidarType_; }
    uint16_t dataType() const { return dataType_; }
    int rowsPerBlock() const { return rowsPerBlock_; }
    size_t pointCount() const { return points_.size(); }

private:
    void fill();

    QTableWidget *table_ = nullptr;
    uint8_t lidarType_ = 0;
    uint16_t dataType_ = 0;
    int rowsPerBlock_ = 150;
    std::vector<UserPointData> points_;
};
