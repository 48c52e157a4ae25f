#pragma once
// Stand-in for the radar-style 2D view until the 2D view issue builds it: it keeps what the
// main window hands it and draws the current frame from above on its background colour.

#include "userpointdata.h"
#include "zonemonitor.h"
#include "zonetable.h"

#include <QColor>
#include <QString>
#include <QWidget>

#include <vector>

class Page_DrawZone;

class PointCloudUI : public QWidget {
    Q_OBJECT

public:
    explicit PointCloudUI(QWidget *parent = nullptr);

    void setDrawZone(Page_DrawZone *drawZone);
    void setPoints(std::vector<UserPointData> points);
    void clearPoints();
    void setObjects(int show, std::vector<TrackedObject> objects);
    void setShowObjects(int show);
    void setAlarm(int zone, QString text);
    void setBackground(QColor color);
    void setPointSize(int size);
    void setScanDirection(int direction);
    void setscancenter(bool reset);

    // What the window handed over, for its tests.
    QColor background() const { return background_; }
    size_t pointCount() const { return points_.size(); }
    const std::vector<TrackedObject> &objects() const { return objects_; }
    int showObjects() const { return showObjects_; }
    int alarmZone() const { return alarmZone_; }
    QString alarmText() const { return alarmText_; }
    Page_DrawZone *drawZone() const { return drawZone_; }

public slots:
    void recv_zoneData(zones data);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Page_DrawZone *drawZone_ = nullptr;
    std::vector<UserPointData> points_;
    std::vector<TrackedObject> objects_;
    int showObjects_ = 1;
    int alarmZone_ = -1;
    QString alarmText_;
    QColor background_ = Qt::black;
    int pointSize_ = 1;
    int direction_ = 0;
};
