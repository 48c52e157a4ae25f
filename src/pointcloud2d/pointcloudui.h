#pragma once
// The radar-style 2D view of the main window. Its scene holds the radar item (grid, points of
// the current frame, tracked objects, alarm, cursor readout) and, above it, one editable shape
// for every zone record of the zone the zone editor is editing. The view keeps a copy of the
// editor's zones, rebuilds the shapes from it whenever something changed (at its 100 ms tick),
// and writes every edit made on a shape back into that copy and into the editor.
//
// A world point (x, y) in millimetres, y forward, is drawn at the scene point
// (o.x + x*f, o.y - y*f): f is the radar item's factor, o its position (it can be dragged).

#include "userpointdata.h"
#include "zonemonitor.h"
#include "zonetable.h"

#include <QColor>
#include <QPoint>
#include <QPointF>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QVector>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

class BGraphicsItem;
class Graphics_Item_Data;
class Graphics_scene;
class Graphics_view;
class Page_DrawZone;
class QTimer;
class Ui_PointCloudUI;

class PointCloudUI : public QWidget {
    Q_OBJECT

public:
    // Redraw states: idle, a rebuild is due at the next tick, a sector was dragged and the
    // rebuild waits for the mouse button to come up.
    enum RedrawState { Idle = 1, Rebuild = 2, RebuildAfterDrag = 5 };

    explicit PointCloudUI(QWidget *parent = nullptr);
    ~PointCloudUI() override;

    // The editor whose zones the view draws and edits. Until one is attached no shape is drawn.
    void setDrawZone(Page_DrawZone *drawZone);
    void setPoints(std::vector<UserPointData> points);
    void clearPoints();
    void setObjects(int show, std::vector<TrackedObject> objects);
    // The names the radar item labels object boxes with (Graphics_Item_Data::setClassNames).
    void setClassNames(std::function<QString(int)> names);
    void setShowObjects(int show);
    void setAlarm(int zone, QString text);
    void setBackground(QColor color);
    void setPointSize(int size);
    void setScanDirection(int direction);
    // With reset the radar item goes back to the origin and ring step 1000.
    void setscancenter(bool reset);

    // The editor announced its zones: keep them and rebuild at the next tick.
    void onZoneArg(zones data);
    void markDirty();

    Page_DrawZone *drawZone() const;
    Graphics_Item_Data *radarItem() const { return m_item; }
    Graphics_scene *graphicsScene() const { return m_scene; }
    Graphics_view *graphicsView() const;
    QTimer *refreshTimer() const { return m_timer; }
    const zones &zonesCopy() const { return m_zones; }
    int redrawState() const { return m_redraw; }
    double viewScale() const { return m_factor; }
    QPoint sceneOffset() const { return m_offset; }
    bool mousePressed() const { return m_mousePressed; }
    int subtractiveIndex() const { return m_subIndex; }
    int scanDirection() const { return m_direction; }
    // The zone shapes now in the scene, in record order.
    QList<BGraphicsItem *> shapes() const;

public slots:
    void recv_factor(double factor);
    void recv_refresh2();
    void recv_refresh();
    void recv_synScenePos(QPointF point);
    void recv_mouseMovePoint(QPoint pos);
    void recv_mouseMoveFrag(bool flag);
    void recv_zonearg(zones data);
    void recv_zoneCmd(int flag, zones data);
    void recv_zoneData(zones data);

private:
    void connectShape(BGraphicsItem *shape, int kind);
    void writeBack(int kind, const Point_double *data, int size, int uuid, int flag);
    void replayPolygon(BGraphicsItem *shape, int index);

    Ui_PointCloudUI *ui;
    Graphics_scene *m_scene = nullptr;
    Graphics_Item_Data *m_item = nullptr;
    double m_factor = 0.1;
    QPoint m_offset;
    bool m_mousePressed = false;
    QVector<QVector<QPointF>> m_filters;
    QSize m_prevSize;
    QSize m_curSize;
    int m_subIndex = -1;
    uint8_t m_direction = 0;
    QTimer *m_timer = nullptr;
    int m_redraw = Idle;
    zones m_zones;
    QPointer<Page_DrawZone> m_drawZone;
};
