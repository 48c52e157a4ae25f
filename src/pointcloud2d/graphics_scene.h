#pragma once
// The 2D view's scene. Besides holding the radar item and the zone shapes it captures the
// vertices of a polygon being drawn: while capture is on, left clicks become vertices (the
// shapes under them do not see the click) and a right click after at least three of them
// closes the polygon.

#include <QGraphicsScene>
#include <QList>
#include <QPointF>

class Graphics_scene : public QGraphicsScene {
    Q_OBJECT

public:
    explicit Graphics_scene(QObject *parent = nullptr);

    void startCapture();
    void stopCapture();
    bool isCapturing() const { return m_capture; }
    const QList<QPointF> &capturedPoints() const { return m_points; }

signals:
    // flag 0: the vertex p was added; 1: the polygon is closed. `list` holds every vertex so
    // far, in scene coordinates.
    void updatePoint(QPointF p, QList<QPointF> list, int flag);

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;

private:
    bool m_capture = false;
    QList<QPointF> m_points;
};
