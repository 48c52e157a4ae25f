#include "dialog_alldata.h"

#include <QHeaderView>
#include <algorithm>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
enum { COL_INDEX, COL_X, COL_Y, COL_Z, COL_DISTANCE, COL_CONFIDENCE, COL_DEPTH, COL_DEEPFIELD, COLS };
}

Dialog_AllData::Dialog_AllData(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    table_ = new QTableWidget(0, COLS, this);
    table_->setObjectName("tableView");
    table_->setHorizontalHeaderLabels({tr("Index"), tr("X"), tr("Y"), tr("Z"), tr("distance"),
                                       tr("confidence"), tr("depth"), tr("deep field")});
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // Wide enough for the columns shown at start without a scroll bar.
    table_->setMinimumWidth(400);
    layout->addWidget(table_);
    setDataType(0);
}

void Dialog_AllData::setData(std::vector<UserPointData> points, bool)
{
    points_ = std::move(points);
    fill();
}

void Dialog_AllData::setLidarType(uint8_t type)
{
    lidarType_ = type;
    rowsPerBlock_ = type == 0 ? 40 : type == 3 ? 128 : 150;
}

void Dialog_AllData::setDataType(uint16_t mask)
{
    dataType_ = mask;
    table_->setColumnHidden(COL_DISTANCE, !(mask & 0x04));
    table_->setColumnHidden(COL_DEPTH, !(mask & 0x10));
    table_->setColumnHidden(COL_DEEPFIELD, !(mask & 0x20));
}

void Dialog_AllData::clearData()
{
    points_.clear();
    table_->setRowCount(0);
}

void Dialog_AllData::fill()
{
    const int rows = int(std::min<size_t>(points_.size(), size_t(rowsPerBlock_)));
    table_->setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        const UserPointData &p = points_[size_t(r)];
        const QString cells[COLS] = {QString::number(r + 1), QString::number(p.x), QString::number(p.y),
                                     QString::number(p.z), QString::number(p.distance),
                                     QString::number(p.intensity), QString::number(p.depth),
                                     QString::number(p.deep_field)};
        for (int c = 0; c < COLS; ++c)
            table_->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
}
