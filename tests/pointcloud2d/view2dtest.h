#pragma once
// Helpers of the 2D view tests: mouse input at scene points of a real QGraphicsView (through its
// viewport, as a user's mouse arrives), and the reports of the zone shapes.

#include "bgraphicsitem.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QGraphicsView>
#include <QMouseEvent>
#include <QWheelEvent>

#include <vector>

namespace view2dtest {

// A zone record: its parameters in order, 2 points for a shape, one vertex per pair for a
// polygon.
inline ZONEALARM::ZoneShape zone_shape(int kind, int zone, std::vector<double> params, int area = 0)
{
    ZONEALARM::ZoneShape s;
    s.kind = kind;
    s.zone_id = uint8_t(zone);
    s.area = uint8_t(area);
    for (size_t i = 0; i < params.size() && i < size_t(ZONEALARM::ZONE_PARAMS); ++i)
        s.param[i] = params[i];
    s.point_count = (kind == ZONEALARM::ZONE_POLYGON || kind == ZONEALARM::ZONE_SUBTRACT)
                        ? int(params.size() / 2)
                        : 2;
    return s;
}

inline zones table_of(const std::vector<ZONEALARM::ZoneShape> &records)
{
    zones t;
    t.count = int(records.size());
    for (size_t i = 0; i < records.size() && i < size_t(ZONEALARM::ZONE_MAX_SHAPES); ++i)
        t.shapes[i] = records[i];
    return t;
}

inline void mouse(QGraphicsView *view, QEvent::Type type, QPointF scenePoint,
                  Qt::MouseButton button, Qt::MouseButtons buttons)
{
    const QPoint at = view->mapFromScene(scenePoint);
    QMouseEvent ev(type, at, view->viewport()->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &ev);
}

inline void press(QGraphicsView *view, QPointF p, Qt::MouseButton b = Qt::LeftButton)
{
    mouse(view, QEvent::MouseButtonPress, p, b, b);
}

inline void move(QGraphicsView *view, QPointF p, Qt::MouseButtons held = Qt::LeftButton)
{
    mouse(view, QEvent::MouseMove, p, Qt::NoButton, held);
}

inline void release(QGraphicsView *view, QPointF p, Qt::MouseButton b = Qt::LeftButton)
{
    mouse(view, QEvent::MouseButtonRelease, p, b, Qt::NoButton);
}

inline void click(QGraphicsView *view, QPointF p, Qt::MouseButton b = Qt::LeftButton)
{
    press(view, p, b);
    release(view, p, b);
}

inline void drag(QGraphicsView *view, QPointF from, const std::vector<QPointF> &path)
{
    press(view, from);
    for (const QPointF &p : path)
        move(view, p);
    release(view, path.empty() ? from : path.back());
}

inline void contextMenu(QGraphicsView *view, QPointF scenePoint)
{
    const QPoint at = view->mapFromScene(scenePoint);
    QContextMenuEvent ev(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
    QApplication::sendEvent(view->viewport(), &ev);
}

inline void wheel(QGraphicsView *view, QPointF scenePoint, int delta)
{
    const QPoint at = view->mapFromScene(scenePoint);
    QWheelEvent ev(QPointF(at), QPointF(view->viewport()->mapToGlobal(at)), QPoint(),
                   QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->viewport(), &ev);
}

// One report of a shape, copied during the call as every receiver must.
struct Report {
    std::vector<Point_double> data;
    int uuid = 0;
    int flag = 0;
};

// Appends every report of `shape` to `out`, which must outlive the shape's reports.
inline void record_reports(BGraphicsItem *shape, std::vector<Report> *out)
{
    QObject::connect(shape, &BGraphicsItem::sig_syn, shape,
                     [out](Point_double *data, int size, int uuid, int flag) {
                         Report r;
                         r.data.assign(data, data + size);
                         r.uuid = uuid;
                         r.flag = flag;
                         out->push_back(r);
                     },
                     Qt::DirectConnection);
}

} // namespace view2dtest
