#pragma once
// The radar item of the 2D view: the sensor seen from above. It paints the background, a square
// grid with ring-distance labels, the points of the current frame coloured by intensity, a
// wedge over the bearings the frame covers, the zone monitor's alarm, the cursor readout and the
// boxes of tracked objects. It owns the view's zoom: one grid cell is always 100 scene units
// wide and stands for one ring step, so the wheel changes the ring step and with it the factor
// (scene units per millimetre) that the zone shapes follow.
//
// Item x grows to the right and y downwards; a world point (x, y) in millimetres, y forward,
// is drawn at (x*f, -y*f). Frames arrive in metres.

#include "userpointdata.h"
#include "zonemonitor.h"

#include <QColor>
#include <QGraphicsItem>
#include <QObject>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>

#include <cstdint>
#include <functional>
#include <vector>

class QPainter;

class Graphics_Item_Data : public QObject, public QGraphicsItem {
    Q_OBJECT
    Q_INTERFACES(QGraphicsItem)

public:
    explicit Graphics_Item_Data(QGraphicsItem *parent = nullptr);

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget) override;
    int type() const override { return 0; }

    // Ring step back to 1000 mm; rings and range keep their values. `distance` is not used.
    void setRange(int distance);
    // The frame (metres) and the bearing range it covers.
    void setPoints(std::vector<UserPointData> points);
    void clearPoints();
    void setObjects(int show, std::vector<TrackedObject> objects);
    // The names an object box is labelled with, by class index: whoever builds the view hands
    // in the detector's model names, so the 2D view needs no detector of its own.
    void setClassNames(std::function<QString(int)> names);
    // The lookup's name for the class; "unknown" while no lookup is set.
    QString className(int classIndex) const;
    void setAlarm(int zone, QString text);
    void setBackground(QColor color);
    void setGridMode(int mode);
    // With reset the item forgets its dragged position and its zoom (step 1000); the viewport
    // rectangle takes `size` in every case.
    void resizeView(bool reset, QSize size);

    // Step to add to (coarser) or take from (finer) the ring step `step`.
    int ringStepDelta(int step, bool coarser) const;
    // Readout angle of the cursor (x, y) in millimetres: degrees clockwise from forward in
    // (0, 360]; direction 1 mirrors it.
    static double readoutAngle(double x, double y, int direction);

    // Set directly by the 2D view.
    uint8_t m_direction = 0;
    int m_pointSize = 1;
    double m_cursorX = 0.0;
    double m_cursorY = 0.0;
    uint8_t m_showObjects = 0;

    double factor() const { return m_factor; }
    int rings() const { return m_rings; }
    int range() const { return m_range; }
    int step() const { return m_step; }
    int gridMode() const { return m_gridMode; }
    int tickCount() const { return m_tick; }
    QPointF positionOffset() const { return m_posOffset; }
    const std::vector<UserPointData> &points() const { return m_points; }
    const std::vector<TrackedObject> &objects() const { return m_objects; }
    int alarmZone() const { return m_alarmZone; }
    QString alarmText() const { return m_alarmText; }
    QColor background() const { return m_background; }
    bool hasFieldOfView() const { return m_fovValid; }
    float fieldOfViewStart() const { return m_fovStart; }
    float fieldOfViewSpan() const { return m_fovSpan; }
    QRect viewRect() const { return m_viewRect; }
    const QVector<int> &ringSteps() const { return m_steps; }
    int timerId() const { return m_timerId; }

signals:
    void sig_synData(float multiple, int cx, int cy, float factor);
    void sig_factor(double factor);
    void sig_synScenePos(QPointF point);

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    void wheelEvent(QGraphicsSceneWheelEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    void applyStep();
    void paintGrid(QPainter *painter, const QRectF &visible);
    void paintLabels(QPainter *painter, const QRectF &visible);
    void paintPoints(QPainter *painter, const QRectF &visible);

    QRect m_rect;
    QRect m_viewRect;
    int m_timerId = 0;
    bool m_fovValid = false;
    float m_fovSpan = 0.0f;
    float m_fovStart = 0.0f;
    double m_factor = 0.1;
    int m_gridMode = 0;
    int m_rings = 64;
    int m_range = 6400;
    int m_step = 1000;
    int m_tick = 0;
    std::vector<UserPointData> m_points;
    int m_alarmZone = -1;
    QString m_alarmText;
    QPointF m_posOffset;
    QVector<int> m_steps;
    QColor m_background = QColor(0, 0, 0);
    std::vector<TrackedObject> m_objects;
    std::function<QString(int)> m_classNames;
    // Points of one paint, one list per colour, kept between paints to spare allocations.
    QVector<QVector<QPointF>> m_buckets;
};
