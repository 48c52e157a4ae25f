#include "bgraphicsitem.h"

#include "messagebox.h"
#include "tracelog.h"
#include "zonemodalscope.h"

#include <QAction>
#include <QCursor>
#include <QGraphicsScene>
#include <QGraphicsSceneContextMenuEvent>
#include <QGraphicsSceneMouseEvent>
#include <QMenu>
#include <QPainter>
#include <QtMath>

#include <cmath>

namespace {

constexpr double kPi = 3.1415926535898;
const QColor kHandleColor(0, 255, 255);

QColor area_color(int kind, int area)
{
    QColor c;
    if (kind == BGraphicsItem::FilterPolygon)
        c = QColor(255, 255, 255);
    else if (area == ZONEALARM::ZONE_AREA_OBSERVE)
        c = QColor(0, 0, 255);
    else if (area == ZONEALARM::ZONE_AREA_WARNING)
        c = QColor(255, 255, 0);
    else if (area == ZONEALARM::ZONE_AREA_ALARM)
        c = QColor(255, 0, 0);
    c.setAlpha(80);
    return c;
}

double distance(QPointF a, QPointF b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

// A point at `radius` from `centre` at `degrees` counter-clockwise from +x on the screen.
QPointF polar(QPointF centre, double radius, double degrees)
{
    const double a = degrees * kPi / 180.0;
    return centre + QPointF(radius * std::cos(a), -radius * std::sin(a));
}

} // namespace

// ---- BGraphicsItem ------------------------------------------------------------------------

BGraphicsItem::BGraphicsItem(QPointF center, QPointF edge, ItemType type, int area, int uuid,
                             double scale, QPoint offset, FilterPolygons filters)
    : m_center(center),
      m_edge(edge),
      m_type(type),
      m_area(area),
      m_uuid(uuid),
      m_scale(scale),
      m_offset(offset),
      m_filters(std::move(filters))
{
    m_pen_noSelected = QPen(QColor(0, 0, 0), 2);
    m_pen_isSelected = QPen(QColor(255, 255, 255), 2);
    setPen(m_pen_noSelected);
    setBrush(QBrush(area_color(type, area)));
    GraphicsItemFlags f = ItemIsSelectable | ItemIsFocusable | ItemSendsGeometryChanges;
    if (type != ConcentricSector)
        f |= ItemIsMovable;
    setFlags(f);
}

BGraphicsItem::~BGraphicsItem()
{
    qDeleteAll(m_pointList);
    m_pointList.clear();
}

void BGraphicsItem::setEdge(QPointF p)
{
    if (!m_edge.isNull() && m_edge != p)
        syncShape(m_type == ConcentricSector ? -1 : 0);
    prepareGeometryChange();
    m_edge = p;
}

void BGraphicsItem::setAnotherEdge(QPointF p)
{
    if (!m_anotherEdge.isNull() && m_anotherEdge != p)
        syncShape(m_type == ConcentricSector ? -1 : 0);
    prepareGeometryChange();
    m_anotherEdge = p;
}

Point_double BGraphicsItem::toZone(QPointF itemPoint) const
{
    const QPointF p = pos();
    Point_double z;
    z.x = (itemPoint.x() + p.x() - m_offset.x()) / m_scale;
    z.y = -(itemPoint.y() + p.y() - m_offset.y()) / m_scale;
    return z;
}

QPointF BGraphicsItem::fromZone(double x, double y) const
{
    return QPointF(m_offset.x() + x * m_scale, m_offset.y() - y * m_scale);
}

qreal BGraphicsItem::penMargin() const
{
    return pen().widthF() / 2 + 1;
}

BPointItem *BGraphicsItem::addHandle(QPointF p, int kind)
{
    auto *h = new BPointItem(this, p, kind);
    m_pointList.append(h);
    return h;
}

void BGraphicsItem::emitSyn(QVector<Point_double> &data, int flag)
{
    emit sig_syn(data.data(), data.size(), m_uuid, flag);
}

void BGraphicsItem::focusInEvent(QFocusEvent *event)
{
    Q_UNUSED(event);
    syncShape(1);
    setPen(m_pen_isSelected);
}

void BGraphicsItem::focusOutEvent(QFocusEvent *event)
{
    Q_UNUSED(event);
    setPen(m_pen_noSelected);
}

void BGraphicsItem::contextMenuEvent(QGraphicsSceneContextMenuEvent *event)
{
    auto *menu = new QMenu;
    QAction *refresh = menu->addAction(tr("refresh"));
    connect(refresh, &QAction::triggered, refresh, [this] { emit sig_refresh(); },
            Qt::DirectConnection);
    if (m_type != FilterPolygon) {
        QAction *filter = menu->addAction(tr("filter"));
        connect(filter, &QAction::triggered, filter, [this] { emit sig_filter(); },
                Qt::DirectConnection);
        QAction *add = menu->addAction(tr("add"));
        connect(add, &QAction::triggered, add, [this] { emit sig_copy(m_uuid); },
                Qt::DirectConnection);
    }
    QAction *del = menu->addAction(tr("delete"));
    connect(del, &QAction::triggered, del, [this] { emit sig_delete(m_uuid); },
            Qt::DirectConnection);
    {
        // The menu runs its own event loop while this shape's handler is on the stack.
        ZoneModalScope modal;
        run_menu(menu, QCursor::pos());
    }
    delete menu;
    QAbstractGraphicsShapeItem::contextMenuEvent(event);
}

QVariant BGraphicsItem::itemChange(GraphicsItemChange change, const QVariant &value)
{
    // A sector is not movable; it reports only through its own drags.
    if (change == ItemPositionHasChanged && m_type != ConcentricSector)
        syncShape(0);
    return QAbstractGraphicsShapeItem::itemChange(change, value);
}

// ---- BEllipse -----------------------------------------------------------------------------

BEllipse::BEllipse(double x, double y, double width, double height, int area, int uuid,
                   double scale, QPoint offset, int kind, FilterPolygons filters)
    : BGraphicsItem(QPointF(), QPointF(), ItemType(kind), area, uuid, scale, offset,
                    std::move(filters))
{
    m_center = fromZone(x, y);
    m_edge = fromZone(x + width / 2, y + height / 2);
    m_edgeHandle = addHandle(m_edge, BPointItem::Edge);
    addHandle(m_center, BPointItem::Center);
    setHandleColor(m_pointList, kHandleColor);
}

QRectF BEllipse::ellipseRect() const
{
    const double rx = std::fabs(m_edge.x() - m_center.x());
    const double ry = std::fabs(m_edge.y() - m_center.y());
    return QRectF(m_center.x() - rx, m_center.y() - ry, 2 * rx, 2 * ry);
}

QRectF BEllipse::boundingRect() const
{
    const qreal m = penMargin();
    return ellipseRect().adjusted(-m, -m, m, m);
}

QPainterPath BEllipse::shape() const
{
    QPainterPath path;
    path.addEllipse(ellipseRect());
    return path;
}

void BEllipse::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->setPen(pen());
    painter->setBrush(brush());
    QPainterPath path;
    path.addEllipse(ellipseRect());
    painter->drawPath(path);
}

void BEllipse::syncShape(int flag)
{
    QVector<Point_double> data(2);
    data[0] = toZone(m_center);
    data[1].x = std::fabs(2 * (m_edge.x() - m_center.x())) / m_scale;
    data[1].y = std::fabs(2 * (m_edge.y() - m_center.y())) / m_scale;
    emitSyn(data, flag);
}

// ---- BRectangle ---------------------------------------------------------------------------

BRectangle::BRectangle(double y1, double x1, double y2, double x2, int area, int uuid,
                       double scale, QPoint offset, int kind, FilterPolygons filters)
    : BGraphicsItem(QPointF(), QPointF(), ItemType(kind), area, uuid, scale, offset,
                    std::move(filters))
{
    m_center = fromZone((x1 + x2) / 2, (y1 + y2) / 2);
    m_edge = fromZone(x1, y1);
    m_anotherEdge = fromZone(x2, y2);
    addHandle(m_edge, BPointItem::Edge);
    addHandle(m_anotherEdge, BPointItem::Special);
    addHandle(m_center, BPointItem::Center);
    setHandleColor(m_pointList, kHandleColor);
}

void BRectangle::setAnotherEdge(QPointF p)
{
    QV_TRACE() << "BRectangle::setAnotherEdge";
    BGraphicsItem::setAnotherEdge(p);
}

QRectF BRectangle::boundingRect() const
{
    const qreal m = penMargin();
    return QRectF(m_edge, m_anotherEdge).normalized().adjusted(-m, -m, m, m);
}

void BRectangle::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->setPen(pen());
    painter->setBrush(brush());
    QPainterPath path;
    path.addRect(QRectF(m_edge, m_anotherEdge));
    painter->drawPath(path);
}

void BRectangle::syncShape(int flag)
{
    const Point_double e = toZone(m_edge);
    const Point_double a = toZone(m_anotherEdge);
    QVector<Point_double> data(2);
    data[0].x = e.y; // y1, x1
    data[0].y = e.x;
    data[1].x = a.y; // y2, x2
    data[1].y = a.x;
    emitSyn(data, flag);
}

// ---- BPolygon -----------------------------------------------------------------------------

BPolygon::BPolygon(int area, int uuid, double scale, QPoint offset, int kind,
                   FilterPolygons filters)
    : BGraphicsItem(QPointF(0, 0), QPointF(0, 0), ItemType(kind), area, uuid, scale, offset,
                    std::move(filters))
{
}

int BPolygon::vertexCount() const
{
    return m_closed ? qMax(0, m_pointList.size() - 1) : m_pointList.size();
}

QPolygonF BPolygon::vertexPolygon() const
{
    QPolygonF poly;
    const int n = vertexCount();
    for (int i = 0; i < n; ++i)
        poly << m_pointList[i]->getPoint();
    return poly;
}

QPointF BPolygon::getCentroid(const QList<QPointF> &list) const
{
    if (list.isEmpty())
        return QPointF(0, 0);
    QPointF sum(0, 0);
    for (const QPointF &p : list)
        sum += p;
    return sum / list.size();
}

void BPolygon::updateMaxRadius()
{
    double r = 0.0;
    for (const BPointItem *h : m_pointList)
        r = qMax(r, distance(m_center, h->getPoint()));
    prepareGeometryChange();
    m_radius = r;
}

QRectF BPolygon::boundingRect() const
{
    const qreal r = m_radius + penMargin();
    return QRectF(m_center.x() - r, m_center.y() - r, 2 * r, 2 * r);
}

QPainterPath BPolygon::shape() const
{
    QPainterPath path;
    const QPolygonF poly = vertexPolygon();
    if (poly.isEmpty())
        return path;
    path.addPolygon(poly);
    path.closeSubpath();
    return path;
}

void BPolygon::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (m_pointList.isEmpty())
        return;
    painter->setPen(pen());
    if (!m_closed) {
        painter->setBrush(Qt::NoBrush);
        painter->drawPolyline(vertexPolygon());
        return;
    }
    painter->setBrush(brush());
    painter->drawPolygon(vertexPolygon());
}

void BPolygon::syncShape(int flag)
{
    const int n = m_pointList.size();
    if (n < 3)
        return;
    const QPointF p = pos();
    QVector<Point_double> data(n - 1);
    for (int i = 0; i < n - 1; ++i) {
        const QPointF h = m_pointList[i]->getPoint();
        data[i].x = (h.x() + p.x() - m_offset.x()) / m_scale;
        data[i].y = (h.y() + p.y() - m_offset.y()) / m_scale; // the 2D view negates y
    }
    emitSyn(data, flag);
}

void BPolygon::pushPoint(QPointF p, QList<QPointF> list, int isCenter)
{
    if (m_closed)
        return;
    m_center = getCentroid(list);
    updateMaxRadius();
    if (isCenter == 0) {
        addHandle(p, BPointItem::Edge);
        setHandleColor(m_pointList, kHandleColor);
    } else {
        addHandle(m_center, BPointItem::Center);
        setHandleColor(m_pointList, kHandleColor);
        m_closed = true;
        if (m_pointList.size() - 1 > ZONEALARM::ZONE_MAX_VERTICES) {
            {
                ZoneModalScope modal;
                show_warning(nullptr, tr("error"),
                             tr("Polygon vertices cannot more than 20,please redraw!"),
                             QMessageBox::Ok);
            }
            prepareGeometryChange();
            qDeleteAll(m_pointList);
            m_pointList.clear();
            m_radius = 0.0;
            QVector<Point_double> none;
            emitSyn(none, isCenter == 1 ? 2 : 3);
            update();
            return;
        }
        syncShape(isCenter == 1 ? 2 : 3);
    }
    // The newest vertex may lie beyond the radius measured before it was added.
    updateMaxRadius();
    update();
}

void BPolygon::moveVertex(QPointF previous, QPointF current)
{
    for (BPointItem *h : qAsConst(m_pointList))
        if (h->getPoint() == previous)
            h->setPoint(current);
    if (m_pointList.isEmpty())
        return;
    QPointF sum(0, 0);
    for (const BPointItem *h : qAsConst(m_pointList))
        sum += h->getPoint();
    m_center = sum / m_pointList.size();
    // An open polygon has no centre handle yet: its last handle is a vertex.
    if (m_closed)
        m_pointList.last()->setPoint(m_center);
    updateMaxRadius();
    syncShape(0);
}

// ---- BConcentricSector --------------------------------------------------------------------

BConcentricSector::BConcentricSector(double x, double y, double radius, double anotherRadius,
                                     double angle, double anotherAngle, int area, int uuid,
                                     double scale, QPoint offset, int kind,
                                     FilterPolygons filters)
    : BGraphicsItem(QPointF(), QPointF(), ItemType(kind), area, uuid, scale, offset,
                    std::move(filters))
{
    // Both angles into (0, 360] degrees; an end angle may be stored up to 7200.
    auto degrees = [](double tenths) {
        double a = std::fmod(tenths, 3600.0);
        if (a <= 0)
            a += 3600.0;
        return a / 10.0;
    };
    m_center = fromZone(x, y);
    m_radius = radius * scale;
    m_anotherRadius = anotherRadius * scale;
    m_angle = degrees(angle);
    m_anotherAngle = degrees(anotherAngle);
    m_edge = polar(m_center, m_radius, m_angle);
    m_anotherEdge = polar(m_center, m_anotherRadius, m_anotherAngle);
    addHandle(m_edge, BPointItem::Edge);
    addHandle(m_anotherEdge, BPointItem::Special);
    addHandle(m_center, BPointItem::Center);
    setHandleColor(m_pointList, kHandleColor);
}

double BConcentricSector::angleOf(QPointF q) const
{
    const double dx = q.x() - m_center.x();
    const double dy = q.y() - m_center.y();
    if (dy < 0)
        return std::atan2(-dy, dx) * 180.0 / kPi;
    if (dx < 0)
        return std::atan2(-dy, dx) * 180.0 / kPi + 360.0;
    return 360.0 - std::atan2(dy, dx) * 180.0 / kPi;
}

void BConcentricSector::updateAngle()
{
    m_angle = angleOf(m_edge);
    update();
}

void BConcentricSector::updateAnotherAngle()
{
    m_anotherAngle = angleOf(m_anotherEdge);
    update();
}

void BConcentricSector::updateRadius()
{
    prepareGeometryChange();
    m_radius = distance(m_center, m_edge);
}

void BConcentricSector::updateAnotherRadius()
{
    prepareGeometryChange();
    m_anotherRadius = distance(m_center, m_anotherEdge);
}

QPainterPath BConcentricSector::outline() const
{
    const double r = m_radius;
    double sweep = m_angle - m_anotherAngle;
    if (m_anotherAngle > m_angle)
        sweep += 360.0;
    QPainterPath path;
    path.moveTo(m_center);
    path.arcTo(QRectF(m_center.x() - r, m_center.y() - r, 2 * r, 2 * r), m_anotherAngle, sweep);
    path.closeSubpath();
    QPainterPath inner;
    const double n = m_anotherRadius;
    inner.addEllipse(QRectF(m_center.x() - n, m_center.y() - n, 2 * n, 2 * n));
    return path.subtracted(inner);
}

QRectF BConcentricSector::boundingRect() const
{
    const double r = qMax(std::fabs(m_radius), std::fabs(m_anotherRadius)) + penMargin();
    return QRectF(m_center.x() - r, m_center.y() - r, 2 * r, 2 * r);
}

QPainterPath BConcentricSector::shape() const
{
    return outline();
}

void BConcentricSector::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->setPen(pen());
    painter->setBrush(brush());
    painter->drawPath(outline());
}

void BConcentricSector::syncShape(int flag)
{
    double start = 10.0 * (90.0 - m_angle);
    if (start < 0)
        start += 3600.0;
    double end = 10.0 * (90.0 - m_anotherAngle);
    if (end < 0 || m_anotherAngle > m_angle)
        end += 3600.0;
    QVector<Point_double> data(2);
    data[0].x = start;
    data[0].y = end;
    data[1].x = m_radius / m_scale;
    data[1].y = m_anotherRadius / m_scale;
    emitSyn(data, flag);
}

void BConcentricSector::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        m_pressPoint = event->pos();
    }
    BGraphicsItem::mousePressEvent(event);
}

void BConcentricSector::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    BGraphicsItem::mouseMoveEvent(event);
}

void BConcentricSector::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    BGraphicsItem::mouseReleaseEvent(event);
    if (!m_pressed)
        return;
    m_pressed = false;
    m_releasePoint = event->pos();
    const QPointF d = m_releasePoint - m_pressPoint;
    if (std::fabs(d.x()) < 1 && std::fabs(d.y()) < 1)
        return;
    const QPointF shifted = m_edge + d - m_center;
    if (std::fabs(shifted.x()) < 0.1 || std::fabs(shifted.y()) < 0.1)
        return;
    m_angle = angleOf(m_edge + d);
    m_anotherAngle = angleOf(m_anotherEdge + d);
    const double delta = distance(m_releasePoint, m_center) - distance(m_pressPoint, m_center);
    const double newNear = m_anotherRadius + delta;
    const double newFar = m_radius + delta;
    if (newNear <= 0 || newFar > 40000 * m_scale) {
        QV_TRACE() << "error length";
        update();
        return;
    }
    prepareGeometryChange();
    m_radius = newFar;
    m_anotherRadius = newNear;
    m_edge = polar(m_center, m_radius, m_angle);
    m_anotherEdge = polar(m_center, m_anotherRadius, m_anotherAngle);
    m_pointList[0]->setPoint(m_edge);
    m_pointList[1]->setPoint(m_anotherEdge);
    syncShape(-1);
}

// ---- BPointItem ---------------------------------------------------------------------------

BPointItem::BPointItem(QAbstractGraphicsShapeItem *parent, QPointF p, int type)
    : QAbstractGraphicsShapeItem(parent), m_point(p), m_type(type)
{
    setPos(m_point);
    setFlags(ItemIsMovable | ItemIsSelectable | ItemIsFocusable);
    setCursor(type == Center ? Qt::OpenHandCursor : Qt::PointingHandCursor);
}

void BPointItem::setPoint(QPointF p)
{
    m_point = p;
    setPos(p);
}

QRectF BPointItem::boundingRect() const
{
    return QRectF(-4, -4, 8, 8);
}

void BPointItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (m_type == Center)
        return;
    painter->setPen(pen());
    painter->setBrush(brush());
    // Inset by half the pen so the outline stays inside the handle's rectangle.
    const qreal h = pen().widthF() / 2;
    painter->drawEllipse(QRectF(-4, -4, 8, 8).adjusted(h, h, -h, -h));
}

void BPointItem::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->buttons() != Qt::LeftButton)
        return;
    auto *shape = dynamic_cast<BGraphicsItem *>(parentItem());
    if (shape == nullptr)
        return;
    if (m_type == Center) {
        const QPointF d = event->scenePos() - event->lastScenePos();
        shape->moveBy(d.x(), d.y());
        if (scene() != nullptr)
            scene()->update();
        return;
    }
    setPoint(shape->mapFromScene(event->scenePos()));
    if (scene() != nullptr)
        scene()->update();
    const int kind = shape->type();
    if (m_type == Edge) {
        if (kind == BGraphicsItem::Polygon || kind == BGraphicsItem::FilterPolygon) {
            static_cast<BPolygon *>(shape)->moveVertex(event->lastScenePos(), event->scenePos());
        } else if (kind == BGraphicsItem::Rectangle || kind == BGraphicsItem::Ellipse) {
            shape->setEdge(m_point);
        } else if (kind == BGraphicsItem::ConcentricSector) {
            auto *sector = static_cast<BConcentricSector *>(shape);
            sector->setEdge(m_point);
            sector->updateRadius();
            sector->updateAngle();
        }
    } else if (m_type == Special) {
        QV_TRACE() << "handle" << m_point << "scene" << event->scenePos();
        if (kind == BGraphicsItem::Rectangle) {
            QV_TRACE() << "second corner" << m_point;
            shape->setAnotherEdge(m_point);
        } else if (kind == BGraphicsItem::ConcentricSector) {
            auto *sector = static_cast<BConcentricSector *>(shape);
            sector->setAnotherEdge(m_point);
            sector->updateAnotherRadius();
            sector->updateAnotherAngle();
        }
    }
}

void BPointItem::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    Q_UNUSED(event);
    if (auto *shape = dynamic_cast<BGraphicsItem *>(parentItem()))
        shape->syncShape(1);
}

void setHandleColor(const QList<BPointItem *> &list, const QColor &color)
{
    for (BPointItem *h : list)
        h->setBrush(QBrush(color, Qt::SolidPattern));
}
