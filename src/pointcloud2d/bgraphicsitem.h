#pragma once
// The editable drawings of alarm-zone records in the 2D view: one shape per record of the zone
// being edited, each with small drag handles. After every change a shape reports its geometry
// in zone units (millimetres, tenths of a degree) through sig_syn; the 2D view writes it back
// into its zones copy and into the zone editor.
//
// A world point (x, y) in millimetres, y forward, lies at the item point
// (o.x + x*s, o.y - y*s): s is the view scale (scene units per millimetre) and o the scene
// offset (the radar item's position) of the moment the shape was made. Shapes are made at item
// position (0, 0); a report adds the shape's current scene position p back in. The 2D view
// deletes and remakes every shape at each rebuild, so a shape never outlives one rebuild.

#include "zonetable.h"

#include <QAbstractGraphicsShapeItem>
#include <QColor>
#include <QList>
#include <QObject>
#include <QPainterPath>
#include <QPen>
#include <QPoint>
#include <QPointF>
#include <QVector>

class BPointItem;

// Subtractive polygons of the zone: world millimetres with y negated.
using FilterPolygons = QVector<QVector<QPointF>>;

class BGraphicsItem : public QObject, public QAbstractGraphicsShapeItem {
    Q_OBJECT

public:
    enum ItemType {
        Polygon = 1,
        Rectangle = 2,
        Ellipse = 3,
        ConcentricSector = 4,
        FilterPolygon = 5, // subtractive polygon
    };

    ~BGraphicsItem() override;

    QPointF getCenter() const { return m_center; }
    void setCenter(QPointF p) { m_center = p; }
    QPointF getEdge() const { return m_edge; }
    QPointF getAnotherEdge() const { return m_anotherEdge; }
    // Store a new edge point. While a handle is dragged, the shape first reports the geometry
    // it had (flag 0, a sector -1), so the report always trails the pointer by one step; the
    // release reports the final geometry.
    void setEdge(QPointF p);
    virtual void setAnotherEdge(QPointF p);

    int type() const override { return m_type; }
    int area() const { return m_area; }
    int uuid() const { return m_uuid; }
    double scale() const { return m_scale; }
    QPoint offset() const { return m_offset; }
    const FilterPolygons &filters() const { return m_filters; }
    const QList<BPointItem *> &handles() const { return m_pointList; }
    QPen focusPen() const { return m_pen_isSelected; }
    QPen normalPen() const { return m_pen_noSelected; }

    // Emits sig_syn with the shape's geometry in zone units.
    virtual void syncShape(int flag) = 0;

signals:
    // Why the shape reports (flag): 0 moved or an edge handle dragged, 1 focused or handle
    // released, 2 polygon closed by the user (or the subtractive polygon just finished),
    // 3 polygon replayed from its record, -1 sector dragged. `data` points to the emitter's own
    // array: receivers copy what they need during the call.
    void sig_syn(Point_double *data, int size, int uuid, int flag = 0);
    void sig_delete(int uuid);
    void sig_copy(int uuid);
    void sig_filter();
    void sig_refresh();
    void sig_synCurrentShape(double maxRadis, int uuid);
    void synPolygon(Point_double *points, int n);

protected:
    BGraphicsItem(QPointF center, QPointF edge, ItemType type, int area, int uuid, double scale,
                  QPoint offset, FilterPolygons filters);

    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void contextMenuEvent(QGraphicsSceneContextMenuEvent *event) override;
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;

    // Item point -> zone units, with the current scene position added back in; y negated.
    Point_double toZone(QPointF itemPoint) const;
    // Zone units -> item point for a shape at position (0, 0).
    QPointF fromZone(double x, double y) const;
    // The pen's half width and a pixel of antialiasing around a painted outline.
    qreal penMargin() const;
    BPointItem *addHandle(QPointF p, int kind);
    void emitSyn(QVector<Point_double> &data, int flag);

    QPointF m_center;
    QPointF m_edge;
    ItemType m_type;
    QList<BPointItem *> m_pointList;
    QPen m_pen_isSelected;
    QPen m_pen_noSelected;
    QPointF m_anotherEdge;
    double m_radius = 0.0;        // sector: far radius, scene units
    double m_anotherRadius = 0.0; // sector: near radius, scene units
    double m_angle = 0.0;         // sector: first angle, degrees counter-clockwise from +x
    double m_anotherAngle = 0.0;  // sector: second angle
    int m_area;
    int m_uuid;
    double m_scale;
    QPoint m_offset;
    FilterPolygons m_filters;
};

class BEllipse : public BGraphicsItem {
    Q_OBJECT

public:
    // The record's centre, width and height as stored (millimetres, y forward).
    BEllipse(double x, double y, double width, double height, int area, int uuid, double scale,
             QPoint offset, int kind, FilterPolygons filters);

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget) override;
    void syncShape(int flag) override;

private:
    QRectF ellipseRect() const;

    BPointItem *m_edgeHandle = nullptr;
};

class BRectangle : public BGraphicsItem {
    Q_OBJECT

public:
    // The record's parameters as stored: bottom y, left x, top y, right x.
    BRectangle(double y1, double x1, double y2, double x2, int area, int uuid, double scale,
               QPoint offset, int kind, FilterPolygons filters);

    void setAnotherEdge(QPointF p) override;
    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget) override;
    void syncShape(int flag) override;
};

class BPolygon : public BGraphicsItem {
    Q_OBJECT

public:
    // Kind 1 (polygon) or 5 (subtractive polygon); vertices come through pushPoint.
    BPolygon(int area, int uuid, double scale, QPoint offset, int kind, FilterPolygons filters);

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget) override;
    void syncShape(int flag) override;

    // A vertex handle whose position equals `previous` takes `current`; the centre follows.
    void moveVertex(QPointF previous, QPointF current);
    QPointF getCentroid(const QList<QPointF> &list) const;
    void updateMaxRadius();

    bool isClosed() const { return m_closed; }
    double maxRadius() const { return m_radius; }
    // Vertex count: every handle but the centre handle once closed.
    int vertexCount() const;

public slots:
    // isCenter 0 adds the vertex p; 1 closes the polygon the user drew (reports flag 2),
    // 2 closes a replayed one (flag 3). `list` holds every vertex so far.
    void pushPoint(QPointF p, QList<QPointF> list, int isCenter);

private:
    QPolygonF vertexPolygon() const;

    double m_radius = 0.0;
    bool m_closed = false;
};

class BConcentricSector : public BGraphicsItem {
    Q_OBJECT

public:
    // Centre (0, 0) in millimetres, far and near radius in millimetres, the two angles in
    // tenths of a degree counter-clockwise from +x (900 - the record's start and end).
    BConcentricSector(double x, double y, double radius, double anotherRadius, double angle,
                      double anotherAngle, int area, int uuid, double scale, QPoint offset,
                      int kind, FilterPolygons filters);

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget) override;
    void syncShape(int flag) override;

    void updateAngle();
    void updateAnotherAngle();
    void updateRadius();
    void updateAnotherRadius();

    // Degrees in (0, 360] counter-clockwise from +x on the screen of a point about the centre.
    double angleOf(QPointF q) const;

    double farRadius() const { return m_radius; }
    double nearRadius() const { return m_anotherRadius; }
    double firstAngle() const { return m_angle; }
    double secondAngle() const { return m_anotherAngle; }

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;

private:
    QPainterPath outline() const;

    bool m_pressed = false;
    QPointF m_pressPoint;
    QPointF m_releasePoint;
};

// A drag handle: a child item of its shape.
class BPointItem : public QObject, public QAbstractGraphicsShapeItem {
    Q_OBJECT

public:
    enum PointType {
        Center = 0,  // moves the whole shape
        Edge = 1,    // first edge point (or a polygon vertex)
        Special = 2, // second edge point
    };

    BPointItem(QAbstractGraphicsShapeItem *parent, QPointF p, int type);

    QPointF getPoint() const { return m_point; }
    void setPoint(QPointF p);
    int pointType() const { return m_type; }

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget) override;
    int type() const override { return QGraphicsItem::UserType + 2; }

signals:
    void sig_force();

protected:
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;

private:
    QPointF m_point;
    int m_type;
};

// Gives every handle a solid brush of `color` (the shapes use cyan).
void setHandleColor(const QList<BPointItem *> &list, const QColor &color);
