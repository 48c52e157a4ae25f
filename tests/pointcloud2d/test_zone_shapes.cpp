// The zone shapes on a real scene and view: construction from a record, what each shape
// reports (and when), handle and body drags with the mouse, polygons drawn click by click, and
// the context menu.

#include "bgraphicsitem.h"
#include "graphics_scene.h"
#include "graphics_view.h"
#include "modalrecorder.h"
#include "view2dtest.h"
#include "zonemodalscope.h"

#include <QApplication>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace view2dtest;

namespace {

constexpr double kEps = 1e-6;

// The world point at `bearing` degrees (from forward towards the right) and `r` millimetres,
// as a scene point of a shape made with scale `s` and offset `o`.
QPointF at_bearing(double bearing, double r, double s = 0.1, QPointF o = QPointF())
{
    const double a = bearing * M_PI / 180.0;
    return QPointF(o.x() + r * std::sin(a) * s, o.y() - r * std::cos(a) * s);
}

class ShapesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        view.setScene(&scene);
        view.resize(800, 600);
        view.show();
        view.centerOn(0, 0);
        // Focus reaches items only in an active scene; no window manager activates it here.
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&scene, &activate);
    }

    // The scene point a mouse at `p` really lands on (the viewport has integer pixels).
    QPointF landed(QPointF p) const { return view.mapToScene(view.mapFromScene(p)); }

    template <typename Shape> Shape *add(Shape *shape)
    {
        scene.addItem(shape);
        record_reports(shape, &reports);
        return shape;
    }

    testsupport::ModalRecorder modal;
    Graphics_scene scene;
    Graphics_view view;
    std::vector<Report> reports;
};

void expect_point(const Point_double &p, double x, double y, const char *what)
{
    EXPECT_NEAR(p.x, x, 1e-6) << what;
    EXPECT_NEAR(p.y, y, 1e-6) << what;
}

} // namespace

TEST_F(ShapesTest, DefaultSectorAnglesHandlesArcAndReport)
{
    // The editor's default: start 300, end 1200, far 3000, near 1000.
    auto *sector = add(new BConcentricSector(0, 0, 3000, 1000, 900 - 300, 900 - 1200, 2, 0, 0.1,
                                             QPoint(0, 0), 4, {}));
    EXPECT_NEAR(sector->firstAngle(), 60, kEps);
    EXPECT_NEAR(sector->secondAngle(), 330, kEps);
    EXPECT_NEAR(sector->farRadius(), 300, kEps);
    EXPECT_NEAR(sector->nearRadius(), 100, kEps);
    ASSERT_EQ(sector->handles().size(), 3);
    const QPointF edge = at_bearing(30, 3000), second = at_bearing(120, 1000);
    EXPECT_NEAR(sector->handles()[0]->getPoint().x(), edge.x(), kEps);
    EXPECT_NEAR(sector->handles()[0]->getPoint().y(), edge.y(), kEps);
    EXPECT_NEAR(sector->handles()[1]->getPoint().x(), second.x(), kEps);
    EXPECT_NEAR(sector->handles()[1]->getPoint().y(), second.y(), kEps);
    EXPECT_EQ(sector->handles()[2]->getPoint(), QPointF(0, 0));
    EXPECT_EQ(sector->handles()[0]->pointType(), BPointItem::Edge);
    EXPECT_EQ(sector->handles()[1]->pointType(), BPointItem::Special);
    EXPECT_EQ(sector->handles()[2]->pointType(), BPointItem::Center);

    // A 90-degree ring from bearing 30 clockwise to bearing 120, between 1 and 3 m.
    const QPainterPath shape = sector->shape();
    EXPECT_TRUE(shape.contains(at_bearing(75, 2000)));
    EXPECT_TRUE(shape.contains(at_bearing(35, 1100)));
    EXPECT_FALSE(shape.contains(at_bearing(20, 2000)));
    EXPECT_FALSE(shape.contains(at_bearing(130, 2000)));
    EXPECT_FALSE(shape.contains(at_bearing(75, 500)));   // inside the near radius
    EXPECT_FALSE(shape.contains(at_bearing(75, 3200)));  // beyond the far radius

    sector->setFocus();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].flag, 1);
    EXPECT_EQ(reports[0].uuid, 0);
    ASSERT_EQ(reports[0].data.size(), 2u);
    expect_point(reports[0].data[0], 300, 1200, "start, end");
    expect_point(reports[0].data[1], 3000, 1000, "far, near");
    EXPECT_EQ(sector->pen(), sector->focusPen());
    sector->clearFocus();
    EXPECT_EQ(sector->pen(), sector->normalPen());
}

TEST_F(ShapesTest, SectorAnglesReportAsStored)
{
    struct Case {
        double start, end;      // the record's angles
        double first, second;   // the shape's angles, degrees counter-clockwise from +x
        double repStart, repEnd;
    };
    const Case cases[] = {
        {300, 1200, 60, 330, 300, 1200},
        {3300, 300, 120, 60, 3300, 300},   // through forward
        {700, 4200, 20, 30, 700, 4200},    // an end above 3600 names the same bearing as 600
        {0, 900, 90, 360, 0, 900},
        {1800, 900, 270, 360, 1800, 900},  // three quarters of the circle
    };
    for (const Case &c : cases) {
        auto *sector = add(new BConcentricSector(0, 0, 3000, 1000, 900 - c.start, 900 - c.end, 0,
                                                 3, 0.1, QPoint(0, 0), 4, {}));
        EXPECT_NEAR(sector->firstAngle(), c.first, kEps) << c.start;
        EXPECT_NEAR(sector->secondAngle(), c.second, kEps) << c.end;
        reports.clear();
        sector->syncShape(1);
        ASSERT_EQ(reports.size(), 1u);
        expect_point(reports[0].data[0], c.repStart, c.repEnd, "start, end");
        delete sector;
    }
    // Through forward: bearing 0 lies inside, the right-hand side does not.
    auto *sector = add(new BConcentricSector(0, 0, 3000, 1000, 900 - 3300, 900 - 300, 0, 0, 0.1,
                                             QPoint(0, 0), 4, {}));
    EXPECT_TRUE(sector->shape().contains(at_bearing(0, 2000)));
    EXPECT_TRUE(sector->shape().contains(at_bearing(350, 2000)));
    EXPECT_FALSE(sector->shape().contains(at_bearing(90, 2000)));
}

TEST_F(ShapesTest, SectorBodyDragMovesTheRingRadially)
{
    auto *sector = add(new BConcentricSector(0, 0, 3000, 1000, 900 - 300, 900 - 1200, 2, 0, 0.1,
                                             QPoint(0, 0), 4, {}));
    // Grab the ring at bearing 75, 2 m, and let go 50 scene units further out: both radii grow
    // by the radial distance the pointer moved.
    const QPointF from = landed(at_bearing(75, 2000)), to = landed(at_bearing(75, 2500));
    const double delta = std::hypot(to.x(), to.y()) - std::hypot(from.x(), from.y());
    const QPointF edge = sector->getEdge(), second = sector->getAnotherEdge();
    drag(&view, from, {to});
    ASSERT_FALSE(reports.empty());
    const Report &r = reports.back();
    EXPECT_EQ(r.flag, -1);
    expect_point(r.data[1], (300 + delta) * 10, (100 + delta) * 10, "far, near");
    // The edge points are carried along by the pointer's move and name the new bearings.
    EXPECT_NEAR(sector->firstAngle(), sector->angleOf(edge + (to - from)), kEps);
    EXPECT_NEAR(sector->secondAngle(), sector->angleOf(second + (to - from)), kEps);
    EXPECT_NEAR(sector->handles()[0]->getPoint().x(), sector->getEdge().x(), kEps);
    EXPECT_NEAR(std::hypot(sector->getEdge().x(), sector->getEdge().y()), 300 + delta, kEps);

    // Pulling it in past the sensor would leave no near radius: refused, nothing reported.
    reports.clear();
    drag(&view, at_bearing(75, 2500), {landed(at_bearing(75, 500))});
    for (const Report &x : reports)
        EXPECT_NE(x.flag, -1);
    EXPECT_NEAR(sector->nearRadius(), 100 + delta, kEps);
    EXPECT_NEAR(sector->farRadius(), 300 + delta, kEps);
}

TEST_F(ShapesTest, AngleOfAPointAboutTheCentre)
{
    BConcentricSector sector(0, 0, 3000, 1000, 600, -300, 1, 0, 0.1, QPoint(), 4, {});
    struct Case {
        QPointF q;
        double degrees;
    };
    const Case cases[] = {{{10, 0}, 360}, {{0, -10}, 90}, {{-10, 0}, 180}, {{0, 10}, 270},
                          {{10, -10}, 45}, {{-10, 10}, 225}, {{10, 10}, 315}, {{0, 0}, 360}};
    for (const Case &c : cases)
        EXPECT_NEAR(sector.angleOf(c.q), c.degrees, kEps) << c.q.x() << "," << c.q.y();
}

TEST_F(ShapesTest, RectangleCornerDragReportsThePreviousPointerThenTheRelease)
{
    auto *rect = add(new BRectangle(-1000, -1000, 1000, 1000, 1, 4, 0.1, QPoint(0, 0), 2, {}));
    EXPECT_EQ(rect->getEdge(), QPointF(-100, 100));
    EXPECT_EQ(rect->getAnotherEdge(), QPointF(100, -100));
    const QPointF p1 = landed(QPointF(-120, 110)), p2 = landed(QPointF(-150, 120));
    drag(&view, QPointF(-100, 100), {p1, p2});
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0].flag, 0);
    expect_point(reports[0].data[0], -1000, -1000, "the corner before the first move");
    EXPECT_EQ(reports[1].flag, 0);
    expect_point(reports[1].data[0], -p1.y() * 10, p1.x() * 10, "the previous pointer");
    EXPECT_EQ(reports[2].flag, 1);
    expect_point(reports[2].data[0], -p2.y() * 10, p2.x() * 10, "the release");
    for (const Report &r : reports) {
        EXPECT_EQ(r.uuid, 4);
        expect_point(r.data[1], 1000, 1000, "the other corner");
    }
}

TEST_F(ShapesTest, WholeEllipseDragMovesTheCentre)
{
    auto *ellipse = add(new BEllipse(0, 0, 2000, 1000, 0, 2, 0.1, QPoint(0, 0), 3, {}));
    const QPointF from(60, 10);
    const QPointF to = landed(QPointF(160, 10));
    drag(&view, from, {landed(QPointF(110, 10)), to});
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.front().flag, 1); // the click focused it
    const Report &r = reports.back();
    EXPECT_EQ(r.flag, 0);
    const double moved = (to - landed(from)).x();
    expect_point(r.data[0], moved * 10, 0, "centre");
    expect_point(r.data[1], 2000, 1000, "width, height");
    EXPECT_NEAR(moved * 10, 1000, 10);
    EXPECT_EQ(ellipse->pos(), QPointF(moved, 0));
}

TEST_F(ShapesTest, RecordShapeReportRoundTrips)
{
    struct Frame {
        double s;
        QPoint o;
        QPointF moved; // the shape's own position when it reports
    };
    const Frame frames[] = {{0.1, QPoint(0, 0), QPointF()},
                            {0.05, QPoint(37, -21), QPointF(12, -7)},
                            {0.2, QPoint(-300, 150), QPointF(-40.5, 3)}};
    for (const Frame &f : frames) {
        const QPointF o(f.o);
        // An ellipse is drawn as stored: a centre ahead of the sensor is above it on screen.
        auto *ellipse = add(new BEllipse(-1000, 2500, 3000, 1200, 0, 1, f.s, f.o, 3, {}));
        EXPECT_NEAR(ellipse->getCenter().y(), o.y() - 2500 * f.s, kEps);
        auto *rect = add(new BRectangle(-1000, -2000, 1500, 3000, 1, 2, f.s, f.o, 2, {}));
        auto *sector = add(new BConcentricSector(0, 0, 4000, 1500, 900 - 2700, 900 - 450, 2, 3,
                                                 f.s, f.o, 4, {}));
        auto *poly = add(new BPolygon(2, 4, f.s, f.o, 5, {}));
        const QPointF world[] = {{-1000, 500}, {2000, 2500}, {1500, -750}, {-250, -1250}};
        QList<QPointF> list;
        for (const QPointF &w : world) {
            list << QPointF(o.x() + w.x() * f.s, o.y() - w.y() * f.s);
            poly->pushPoint(list.last(), list, 0);
        }
        poly->pushPoint(list.first(), list, 2);
        for (BGraphicsItem *shape : std::vector<BGraphicsItem *>{ellipse, rect, sector, poly})
            shape->setPos(f.moved);

        reports.clear();
        for (BGraphicsItem *shape : std::vector<BGraphicsItem *>{ellipse, rect, sector, poly})
            shape->syncShape(1);
        ASSERT_EQ(reports.size(), 4u);
        const double mx = f.moved.x() / f.s, my = -f.moved.y() / f.s;
        expect_point(reports[0].data[0], -1000 + mx, 2500 + my, "ellipse centre");
        expect_point(reports[0].data[1], 3000, 1200, "ellipse size");
        expect_point(reports[1].data[0], -1000 + my, -2000 + mx, "rectangle y1, x1");
        expect_point(reports[1].data[1], 1500 + my, 3000 + mx, "rectangle y2, x2");
        expect_point(reports[2].data[0], 2700, 450, "sector start, end");
        expect_point(reports[2].data[1], 4000, 1500, "sector far, near");
        ASSERT_EQ(reports[3].data.size(), 4u);
        for (int j = 0; j < 4; ++j)
            expect_point(reports[3].data[j], world[j].x() + mx, -(world[j].y() + my),
                         "polygon vertex, y as on screen");
        for (BGraphicsItem *shape : std::vector<BGraphicsItem *>{ellipse, rect, sector, poly})
            delete shape;
    }
}

TEST_F(ShapesTest, PolygonOfTwentyClicksIsTakenTwentyOneAreRefused)
{
    for (int n : {20, 21}) {
        auto *poly = add(new BPolygon(1, 6, 0.1, QPoint(0, 0), 1, {}));
        QObject::connect(&scene, &Graphics_scene::updatePoint, poly, &BPolygon::pushPoint);
        scene.startCapture();
        reports.clear();
        modal.clear();
        std::vector<QPointF> clicked;
        for (int i = 0; i < n; ++i) {
            const double a = 2 * M_PI * i / n;
            const QPointF p(std::round(150 * std::cos(a)), std::round(150 * std::sin(a)));
            click(&view, p);
            clicked.push_back(landed(p));
        }
        EXPECT_TRUE(reports.empty());
        click(&view, QPointF(5, 5), Qt::RightButton);
        EXPECT_FALSE(scene.isCapturing());
        ASSERT_EQ(reports.size(), 1u) << n;
        EXPECT_EQ(reports[0].flag, 2);
        EXPECT_EQ(reports[0].uuid, 6);
        if (n == 20) {
            EXPECT_TRUE(modal.warnings.empty());
            ASSERT_EQ(reports[0].data.size(), 20u);
            for (int i = 0; i < n; ++i)
                expect_point(reports[0].data[i], clicked[i].x() * 10, clicked[i].y() * 10,
                             "vertex");
            EXPECT_TRUE(poly->isClosed());
            EXPECT_EQ(poly->handles().size(), 21);
            EXPECT_EQ(poly->handles().last()->pointType(), BPointItem::Center);
        } else {
            EXPECT_EQ(modal.warningLines(),
                      QStringList{"error|Polygon vertices cannot more than 20,please redraw!"});
            EXPECT_TRUE(reports[0].data.empty());
            EXPECT_TRUE(poly->handles().isEmpty());
        }
        delete poly;
    }
}

TEST_F(ShapesTest, PolygonVertexDragMovesTheCentre)
{
    auto *poly = add(new BPolygon(0, 0, 0.1, QPoint(0, 0), 1, {}));
    QList<QPointF> list{{0, 0}, {100, 0}, {100, -100}, {0, -100}};
    for (int i = 0; i < list.size(); ++i)
        poly->pushPoint(list[i], list.mid(0, i + 1), 0);
    poly->pushPoint(list[0], list, 2);
    EXPECT_EQ(poly->getCenter(), QPointF(50, -50));
    reports.clear();
    const QPointF to = landed(QPointF(140, 20));
    drag(&view, QPointF(100, 0), {to});
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports.front().flag, 0);
    EXPECT_EQ(reports.back().flag, 1);
    expect_point(reports.back().data[1], to.x() * 10, to.y() * 10, "the dragged vertex");
    EXPECT_EQ(poly->handles().last()->getPoint(), poly->getCenter());
}

TEST_F(ShapesTest, ContextMenuOffersItsActionsAndHoldsTheViewBack)
{
    struct Case {
        int kind;
        QString answer;
        QStringList offered;
        const char *signal;
    };
    const QStringList full{"refresh", "filter", "add", "delete"};
    const Case cases[] = {
        {1, "refresh", full, SIGNAL(sig_refresh())},
        {1, "filter", full, SIGNAL(sig_filter())},
        {1, "add", full, SIGNAL(sig_copy(int))},
        {1, "delete", full, SIGNAL(sig_delete(int))},
        {5, "refresh", {"refresh", "delete"}, SIGNAL(sig_refresh())},
        {5, "delete", {"refresh", "delete"}, SIGNAL(sig_delete(int))},
    };
    for (const Case &c : cases) {
        auto *poly = add(new BPolygon(0, 9, 0.1, QPoint(0, 0), c.kind, {}));
        QList<QPointF> list{{-50, -50}, {50, -50}, {0, 50}};
        for (int i = 0; i < 3; ++i)
            poly->pushPoint(list[i], list.mid(0, i + 1), 0);
        poly->pushPoint(list[0], list, 2);
        QSignalSpy spy(poly, c.signal);
        bool heldBack = false;
        modal.menus.clear();
        modal.menuAnswers = {c.answer};
        modal.duringMenu = [&] { heldBack = ZoneModalScope::active(); };
        contextMenu(&view, QPointF(0, -10));
        ASSERT_EQ(modal.menus.size(), 1u) << c.answer.toStdString();
        EXPECT_EQ(modal.menus[0], c.offered);
        EXPECT_TRUE(heldBack);
        EXPECT_FALSE(ZoneModalScope::active());
        ASSERT_EQ(spy.size(), 1) << c.answer.toStdString();
        if (spy[0].size() == 1)
            EXPECT_EQ(spy[0][0].toInt(), 9);
        delete poly;
    }
}

TEST_F(ShapesTest, AreaColoursAndItemSettings)
{
    struct Case {
        int kind, area;
        QColor fill;
    };
    const Case cases[] = {{3, 0, QColor(0, 0, 255, 80)},
                          {2, 1, QColor(255, 255, 0, 80)},
                          {1, 2, QColor(255, 0, 0, 80)},
                          {5, 2, QColor(255, 255, 255, 80)}};
    for (const Case &c : cases) {
        std::unique_ptr<BGraphicsItem> shape;
        if (c.kind == 3)
            shape.reset(new BEllipse(0, 0, 10, 10, c.area, 0, 0.1, QPoint(), 3, {}));
        else if (c.kind == 2)
            shape.reset(new BRectangle(0, 0, 10, 10, c.area, 0, 0.1, QPoint(), 2, {}));
        else
            shape.reset(new BPolygon(c.area, 0, 0.1, QPoint(), c.kind, {}));
        EXPECT_EQ(shape->brush().color(), c.fill) << c.kind;
        EXPECT_EQ(shape->type(), c.kind);
        EXPECT_TRUE(shape->flags() & QGraphicsItem::ItemIsMovable);
        EXPECT_EQ(shape->pen(), QPen(QColor(0, 0, 0), 2));
    }
    BConcentricSector sector(0, 0, 3000, 1000, 600, -300, 1, 0, 0.1, QPoint(), 4, {});
    EXPECT_FALSE(sector.flags() & QGraphicsItem::ItemIsMovable);
    EXPECT_TRUE(sector.flags() & QGraphicsItem::ItemIsFocusable);
    for (BPointItem *h : sector.handles()) {
        EXPECT_EQ(h->type(), 65538);
        EXPECT_EQ(h->brush().color(), QColor(0, 255, 255));
        EXPECT_EQ(h->boundingRect(), QRectF(-4, -4, 8, 8));
        EXPECT_EQ(h->cursor().shape(),
                  h->pointType() == BPointItem::Center ? Qt::OpenHandCursor : Qt::PointingHandCursor);
    }
}
