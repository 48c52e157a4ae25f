#include "pointcloudui.h"

#include "page_drawzone.h"

#include <QPainter>

PointCloudUI::PointCloudUI(QWidget *parent) : QWidget(parent)
{
    resize(813, 582);
}

void PointCloudUI::setDrawZone(Page_DrawZone *drawZone)
{
    drawZone_ = drawZone;
}

void PointCloudUI::setPoints(std::vector<UserPointData> points)
{
    points_ = std::move(points);
    update();
}

void PointCloudUI::clearPoints()
{
    points_.clear();
    update();
}

void PointCloudUI::setObjects(int show, std::vector<TrackedObject> objects)
{
    showObjects_ = show;
    objects_ = std::move(objects);
    update();
}

void PointCloudUI::setShowObjects(int show)
{
    showObjects_ = show;
}

void PointCloudUI::setAlarm(int zone, QString text)
{
    alarmZone_ = zone;
    alarmText_ = text;
}

void PointCloudUI::setBackground(QColor color)
{
    background_ = color;
    update();
}

void PointCloudUI::setPointSize(int size)
{
    pointSize_ = size;
}

void PointCloudUI::setScanDirection(int direction)
{
    direction_ = direction;
}

void PointCloudUI::setscancenter(bool)
{
    update();
}

void PointCloudUI::recv_zoneData(zones data)
{
    if (drawZone_ != nullptr)
        drawZone_->setZones(data);
}

void PointCloudUI::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), background_);
    // Seen from above, sensor in the middle, x to the right and y up, 20 pixels per metre.
    p.setPen(QPen(Qt::green, pointSize_));
    const QPointF c = QRectF(rect()).center();
    for (const UserPointData &pt : points_)
        p.drawPoint(QPointF(c.x() + pt.x * 20.0, c.y() - pt.y * 20.0));
}
