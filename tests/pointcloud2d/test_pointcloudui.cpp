// The 2D view with the zone editor attached, driven as a user drives them: zones rebuilt into
// shapes at the view's tick, polygons drawn with the mouse, drags written back into the editor,
// the radar item dragged and zoomed, and the tick held back while a menu or warning is open.

#include "bgraphicsitem.h"
#include "graphics_item_data.h"
#include "graphics_scene.h"
#include "graphics_view.h"
#include "modalrecorder.h"
#include "page_drawzone.h"
#include "pointcloudui.h"
#include "view2dtest.h"

#include <QApplication>
#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cmath>

using namespace view2dtest;
using ZONEALARM::ZoneShape;

namespace {

void expect_same_record(const ZoneShape &a, const ZoneShape &b, const char *what)
{
    EXPECT_EQ(a.kind, b.kind) << what;
    EXPECT_EQ(a.zone_id, b.zone_id) << what;
    EXPECT_EQ(a.area, b.area) << what;
    EXPECT_EQ(a.point_count, b.point_count) << what;
    for (int i = 0; i < 40; ++i)
        EXPECT_NEAR(a.param[i], b.param[i], 1e-6) << what << " parameter " << i;
}

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The tests run the ticks themselves.
        editor.autosaveTimer()->stop();
        ui.refreshTimer()->stop();
        ui.setDrawZone(&editor);
        ui.resize(813, 582);
        ui.show();
        QApplication::processEvents();
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(ui.graphicsScene(), &activate);
        tick();
        tick();
    }

    void tick() { ui.recv_refresh2(); }
    Graphics_view *view() { return ui.graphicsView(); }
    // The scene point a mouse at `p` really lands on.
    QPointF landed(QPointF p) { return view()->mapToScene(view()->mapFromScene(p)); }
    // A record's world point (mm) as a scene point of the view now.
    QPointF scenePoint(double x, double y)
    {
        return QPointF(ui.sceneOffset().x() + x * ui.viewScale(),
                       ui.sceneOffset().y() - y * ui.viewScale());
    }

    testsupport::ModalRecorder modal;
    Page_DrawZone editor;
    PointCloudUI ui;
};

} // namespace

TEST_F(ViewTest, Construction)
{
    EXPECT_EQ(ui.windowTitle(), "detect zone draw");
    EXPECT_TRUE(ui.testAttribute(Qt::WA_MouseTracking));
    EXPECT_EQ(ui.graphicsView()->objectName(), "graphicsView");
    EXPECT_EQ(ui.graphicsScene()->itemIndexMethod(), QGraphicsScene::NoIndex);
    EXPECT_EQ(ui.graphicsScene()->backgroundBrush().color(), QColor(0, 0, 0, 255));
    EXPECT_EQ(ui.radarItem()->gridMode(), 1);
    EXPECT_EQ(ui.radarItem()->scene(), ui.graphicsScene());
    EXPECT_EQ(ui.graphicsView()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(ui.graphicsView()->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(ui.refreshTimer()->interval(), 100);
    EXPECT_DOUBLE_EQ(ui.viewScale(), 0.1);
    EXPECT_EQ(ui.redrawState(), PointCloudUI::Idle);
    // Centred on the sensor.
    const QPoint centre = view()->viewport()->rect().center();
    EXPECT_LE((view()->mapFromScene(QPointF(0, 0)) - centre).manhattanLength(), 2);
}

TEST_F(ViewTest, ShapesOfTheEditedZoneOnly)
{
    ui.recv_zoneData(table_of({zone_shape(3, 0, {0, 0, 1000, 1000}), zone_shape(2, 1, {-1000, -1000, 1000, 1000}),
                               zone_shape(4, 0, {300, 1200, 3000, 1000}), zone_shape(7, 0, {1, 2, 3, 4}),
                               zone_shape(1, 0, {0, 0, 1000, 0, 0, 1000})}));
    EXPECT_EQ(editor.shapeList().size(), 5);
    QList<BGraphicsItem *> shapes = ui.shapes();
    ASSERT_EQ(shapes.size(), 3);
    EXPECT_EQ(shapes[0]->type(), 3);
    EXPECT_EQ(shapes[1]->type(), 4);
    EXPECT_EQ(shapes[2]->type(), 1);
    EXPECT_EQ(shapes[2]->uuid(), 4);

    // Another zone: only its shapes, at the next tick.
    editor.findChild<QComboBox *>("cb_editzone")->setCurrentIndex(1);
    EXPECT_EQ(ui.redrawState(), PointCloudUI::Rebuild);
    EXPECT_EQ(ui.shapes().size(), 3);
    tick();
    shapes = ui.shapes();
    ASSERT_EQ(shapes.size(), 1);
    EXPECT_EQ(shapes[0]->type(), 2);
    EXPECT_EQ(shapes[0]->uuid(), 1);

    // A table of more than 64 records changes nothing; an empty one clears the view.
    zones big = table_of({});
    big.count = 65;
    ui.recv_zoneData(big);
    EXPECT_EQ(ui.shapes().size(), 1);
    ui.recv_zoneData(table_of({}));
    EXPECT_TRUE(ui.shapes().isEmpty());
    EXPECT_EQ(ui.radarItem()->scene(), ui.graphicsScene());
}

TEST_F(ViewTest, SectorRadiiAreSwappedWhenNearIsFar)
{
    ui.recv_zoneData(table_of({zone_shape(4, 0, {300, 1200, 3000, 5000})}));
    ASSERT_EQ(ui.shapes().size(), 1);
    auto *sector = static_cast<BConcentricSector *>(ui.shapes()[0]);
    EXPECT_NEAR(sector->farRadius(), 500, 1e-9);
    EXPECT_NEAR(sector->nearRadius(), 300, 1e-9);
    EXPECT_EQ(ui.zonesCopy().shapes[0].param[2], 5000);
    EXPECT_EQ(ui.zonesCopy().shapes[0].param[3], 3000);
}

TEST_F(ViewTest, DrawingAPolygonWithTheMouse)
{
    QTest::mouseClick(editor.findChild<QPushButton *>("pb_raw"), Qt::LeftButton);
    editor.recv_autosave();
    tick();
    ASSERT_TRUE(ui.graphicsScene()->isCapturing());

    const std::vector<QPointF> clicks = {landed({-100, -50}), landed({120, -80}), landed({60, 90})};
    click(view(), clicks[0]);
    click(view(), clicks[1]);
    click(view(), QPointF(0, 0), Qt::RightButton); // two points: nothing yet
    EXPECT_TRUE(ui.graphicsScene()->isCapturing());
    EXPECT_EQ(editor.shapeList()[0].point_count, 0);

    click(view(), clicks[2]);
    click(view(), QPointF(0, 0), Qt::RightButton);
    EXPECT_FALSE(ui.graphicsScene()->isCapturing());
    const ZoneShape &r = editor.shapeList()[0];
    ASSERT_EQ(r.point_count, 3);
    for (int j = 0; j < 3; ++j) {
        EXPECT_NEAR(r.param[2 * j], clicks[j].x() * 10, 1e-6);
        EXPECT_NEAR(r.param[2 * j + 1], -clicks[j].y() * 10, 1e-6); // y forward is up
    }
    EXPECT_EQ(ui.zonesCopy().shapes[0].point_count, 3);
    EXPECT_EQ(editor.vertexModel()->rowCount(), 3);
    EXPECT_EQ(editor.currentRecord(), 1);

    // Rebuilt from its record, it stays where it was drawn.
    ui.markDirty();
    tick();
    ASSERT_EQ(ui.shapes().size(), 1);
    const BPolygon *poly = static_cast<BPolygon *>(ui.shapes()[0]);
    EXPECT_TRUE(poly->isClosed());
    EXPECT_NEAR(poly->handles()[2]->getPoint().x(), clicks[2].x(), 1e-9);
    EXPECT_NEAR(poly->handles()[2]->getPoint().y(), clicks[2].y(), 1e-9);
    EXPECT_FALSE(ui.graphicsScene()->isCapturing());
}

TEST_F(ViewTest, RecordsWrittenBackUnchangedThroughTheShapes)
{
    // Zoomed in three steps (700 mm rings) and the radar dragged: the shapes still report
    // what their records hold.
    for (int i = 0; i < 3; ++i)
        wheel(view(), QPointF(-300, 200), 120);
    drag(view(), landed({-300, 200}), {landed({-280, 215}), landed({-260, 230})});
    tick();
    ASSERT_NE(ui.sceneOffset(), QPoint(0, 0));
    ASSERT_NEAR(ui.viewScale(), 100.0 / 700, 1e-12);

    const std::vector<ZoneShape> records = {
        zone_shape(3, 0, {-1000, 2500, 3000, 1200}, 0),
        zone_shape(2, 0, {-1000, -2000, 1500, 3000}, 1),
        zone_shape(4, 0, {2700, 450, 4000, 1500}, 2),
        zone_shape(1, 0, {-1000, 500, 2000, 2500, 1500, -750}, 2),
        zone_shape(5, 0, {-250, -1250, 250, -1250, 0, -800}, 0),
    };
    ui.recv_zoneData(table_of(records));
    const QList<BGraphicsItem *> shapes = ui.shapes();
    ASSERT_EQ(shapes.size(), 5);
    // The ellipse is drawn as stored: its centre 2.5 m ahead is above the sensor.
    EXPECT_LT(shapes[0]->getCenter().y(), ui.sceneOffset().y());
    // The replayed polygons have already stored their vertices (flag 3: not shown).
    EXPECT_EQ(editor.currentRecord(), 0);
    for (BGraphicsItem *s : shapes)
        s->setFocus();
    for (size_t i = 0; i < records.size(); ++i) {
        expect_same_record(editor.shapeList()[int(i)], records[i], "editor");
        expect_same_record(ui.zonesCopy().shapes[i], records[i], "view");
    }
    // Every shape knows the subtractive polygon of its zone.
    ASSERT_EQ(shapes[0]->filters().size(), 1);
    EXPECT_EQ(shapes[0]->filters()[0][1], QPointF(250, 1250));
}

TEST_F(ViewTest, RadarDragAndRecentre)
{
    ui.recv_zoneData(table_of({zone_shape(3, 0, {0, 0, 1000, 1000})}));
    QSignalSpy moved(ui.radarItem(), &Graphics_Item_Data::sig_synScenePos);
    const QPointF from = landed({-300, 200}), to = landed({-260, 230});
    drag(view(), from, {landed({-280, 215}), to});
    EXPECT_FALSE(ui.mousePressed());
    ASSERT_FALSE(moved.isEmpty());
    const QPoint offset = (to - from).toPoint();
    EXPECT_EQ(ui.sceneOffset(), offset);
    EXPECT_EQ(ui.redrawState(), PointCloudUI::Rebuild);
    tick();
    ASSERT_EQ(ui.shapes().size(), 1);
    EXPECT_EQ(ui.shapes()[0]->getCenter(), QPointF(offset));

    wheel(view(), QPointF(0, 0), 120);
    tick();
    EXPECT_EQ(ui.radarItem()->step(), 900);
    ui.setscancenter(true);
    EXPECT_EQ(ui.radarItem()->pos(), QPointF(0, 0));
    EXPECT_EQ(ui.radarItem()->step(), 1000);
    tick();
    EXPECT_EQ(ui.sceneOffset(), QPoint(0, 0));
    EXPECT_DOUBLE_EQ(ui.viewScale(), 0.1);
    EXPECT_EQ(ui.shapes()[0]->getCenter(), QPointF(0, 0));
}

TEST_F(ViewTest, NoRebuildWhileASectorIsHeld)
{
    ui.recv_zoneData(table_of({zone_shape(4, 0, {300, 1200, 3000, 1000})}));
    QPointer<BGraphicsItem> sector = ui.shapes()[0];
    const QPointF edge = sector->getEdge();
    press(view(), edge);
    EXPECT_TRUE(ui.mousePressed());
    move(view(), landed(edge + QPointF(20, -10)));
    const QPointF last = landed(edge + QPointF(40, -20));
    move(view(), last);
    EXPECT_EQ(ui.redrawState(), PointCloudUI::RebuildAfterDrag);
    tick();
    tick();
    EXPECT_FALSE(sector.isNull()); // still held: not rebuilt
    release(view(), last);
    tick();
    EXPECT_TRUE(sector.isNull());
    ASSERT_EQ(ui.shapes().size(), 1);
    auto *rebuilt = static_cast<BConcentricSector *>(ui.shapes()[0]);
    EXPECT_NEAR(rebuilt->farRadius(), std::hypot(last.x(), last.y()), 1e-6);
    EXPECT_NEAR(editor.shapeList()[0].param[2], std::hypot(last.x(), last.y()) * 10, 1e-6);
    EXPECT_EQ(editor.currentRecord(), 1);
    EXPECT_EQ(ui.redrawState(), PointCloudUI::Idle);
}

TEST_F(ViewTest, CursorReadout)
{
    const QRect r = view()->rect();
    const QPoint at(r.width() / 2 + 100, r.height() / 2 - 50);
    QMouseEvent ev(QEvent::MouseMove, at, view()->viewport()->mapToGlobal(at), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view()->viewport(), &ev);
    EXPECT_DOUBLE_EQ(ui.radarItem()->m_cursorX, 1000);
    EXPECT_DOUBLE_EQ(ui.radarItem()->m_cursorY, 500);
}

// A 40 m record raises one warning per rebuild; ticks that fire inside it (and a read-back
// arriving meanwhile) build nothing until it is closed.
TEST_F(ViewTest, TicksInsideTheFortyMetreWarning)
{
    const zones t = table_of({zone_shape(3, 0, {50000, 0, 1000, 1000}), zone_shape(2, 0, {-1000, -1000, 1000, 1000})});
    editor.setZones(t);
    ui.onZoneArg(t);
    int inside = 0;
    modal.duringWarning = [&] {
        ++inside;
        tick();
        ui.markDirty();
        tick();
        ui.recv_zoneData(t);
        tick();
    };
    tick();
    EXPECT_EQ(modal.warningLines(),
              QStringList{"error|Maximum distance of graphic drawing cannot exceed 40 meters!"});
    EXPECT_EQ(inside, 1);
    ASSERT_EQ(ui.shapes().size(), 2); // drawn all the same, once each
    EXPECT_EQ(ui.redrawState(), PointCloudUI::Rebuild); // asked for inside: done next
    modal.duringWarning = nullptr;
    tick();
    EXPECT_EQ(modal.warnings.size(), 2u);
    EXPECT_EQ(ui.shapes().size(), 2);
    EXPECT_EQ(ui.redrawState(), PointCloudUI::Idle);
}

// The shape whose menu is open is not deleted under it, whatever the menu's action does.
TEST_F(ViewTest, TicksInsideAShapeMenu)
{
    ui.recv_zoneData(table_of({zone_shape(3, 0, {0, 0, 2000, 2000}), zone_shape(1, 0, {0, 0, 1000, 0, 0, 1000})}));
    QPointer<BGraphicsItem> ellipse = ui.shapes()[0];
    bool aliveInside = false;
    modal.duringMenu = [&] {
        ui.markDirty();
        tick();
        aliveInside = !ellipse.isNull();
    };
    modal.duringWarning = [&] { tick(); };

    // "delete" of a record that is still there.
    modal.menuAnswers = {"delete"};
    contextMenu(view(), scenePoint(-300, -300));
    EXPECT_TRUE(aliveInside);
    EXPECT_FALSE(ellipse.isNull());
    EXPECT_EQ(editor.shapeList().size(), 1);
    editor.recv_autosave();
    tick();
    EXPECT_TRUE(ellipse.isNull());
    ASSERT_EQ(ui.shapes().size(), 1);

    // "delete" of a record the editor no longer has: its warning opens inside the menu.
    editor.setZones(table_of({}));
    ellipse = ui.shapes()[0];
    aliveInside = false;
    modal.menuAnswers = {"delete"};
    contextMenu(view(), scenePoint(200, 200));
    EXPECT_TRUE(aliveInside);
    EXPECT_EQ(modal.warningLines(), QStringList{"error|!!! 0 0"});
    EXPECT_FALSE(ellipse.isNull());
    tick();
    EXPECT_TRUE(ellipse.isNull());
}

TEST_F(ViewTest, SubtractivePolygonFromTheFilterAction)
{
    ui.recv_zoneData(table_of({zone_shape(2, 0, {-2000, -2000, 2000, 2000}, 2)}));
    modal.menuAnswers = {"filter"};
    contextMenu(view(), scenePoint(500, 500));
    ASSERT_EQ(editor.shapeList().size(), 2);
    EXPECT_EQ(editor.shapeList()[1].kind, 5);
    EXPECT_EQ(editor.shapeList()[1].area, 0);
    editor.recv_autosave();
    tick();
    ASSERT_TRUE(ui.graphicsScene()->isCapturing());
    for (QPointF p : {QPointF(-50, -50), QPointF(50, -50), QPointF(0, 50)})
        click(view(), landed(p));
    click(view(), QPointF(0, 0), Qt::RightButton);
    EXPECT_EQ(ui.subtractiveIndex(), 1);
    EXPECT_EQ(editor.shapeList()[1].point_count, 3);
    // Replayed once as just finished, then like any other.
    tick();
    EXPECT_EQ(ui.subtractiveIndex(), -1);
    EXPECT_EQ(editor.currentRecord(), 2);
    tick();
    EXPECT_EQ(ui.redrawState(), PointCloudUI::Idle);
    const QList<BGraphicsItem *> shapes = ui.shapes();
    ASSERT_EQ(shapes.size(), 2);
    EXPECT_EQ(shapes[1]->brush().color(), QColor(255, 255, 255, 80));
    ASSERT_EQ(shapes[0]->filters().size(), 1);
    EXPECT_EQ(shapes[0]->filters()[0].size(), 3);
}

TEST_F(ViewTest, SettersReachTheRadarItem)
{
    UserPointData p;
    p.x = 1;
    p.y = 2;
    ui.setPoints({p, p});
    EXPECT_EQ(ui.radarItem()->points().size(), 2u);
    ui.clearPoints();
    EXPECT_TRUE(ui.radarItem()->points().empty());
    TrackedObject o{};
    ui.setObjects(1, {o});
    EXPECT_EQ(ui.radarItem()->objects().size(), 1u);
    ui.setShowObjects(0);
    EXPECT_EQ(ui.radarItem()->m_showObjects, 0);
    ui.setAlarm(5, "Alarm");
    EXPECT_EQ(ui.radarItem()->alarmZone(), 5);
    ui.setBackground(QColor(10, 20, 30));
    EXPECT_EQ(ui.radarItem()->background(), QColor(10, 20, 30));
    ui.setPointSize(3);
    EXPECT_EQ(ui.radarItem()->m_pointSize, 3);
    ui.setScanDirection(1);
    EXPECT_EQ(ui.radarItem()->m_direction, 1);
    EXPECT_EQ(ui.scanDirection(), 1);
}
