// The radar item: its zoom steps through the wheel of a real view, the bearing wedge of a frame,
// point colours, the alarm and readout, the tick that clears the alarm, and its paint compared
// pixel for pixel with the literal paint that draws the whole grid and every point on its own.

#include "graphics_item_data.h"
#include "graphics_scene.h"
#include "graphics_view.h"
#include "radarpaint_reference.h"
#include "view2dtest.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QStyleOptionGraphicsItem>
#include <QTimerEvent>
#include <gtest/gtest.h>

#include <cmath>

namespace {

UserPointData point(float x, float y, uint16_t intensity = 0, uint8_t selected = 0)
{
    UserPointData p;
    p.x = x;
    p.y = y;
    p.intensity = intensity;
    p.selected = selected;
    return p;
}

// The item painted into a w x h image, the item's origin at the image centre plus its
// position, as a centred view shows it.
QImage paint_item(Graphics_Item_Data &item, int w, int h, bool literal = false)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::black);
    QPainter p(&img);
    p.translate(w / 2 + item.pos().x(), h / 2 + item.pos().y());
    if (literal) {
        radar_paint_reference(item, &p, QRect(0, 0, w, h));
    } else {
        QStyleOptionGraphicsItem option;
        item.paint(&p, &option, nullptr);
    }
    return img;
}

// A 1 m x 0.6 m box 2 m right and 1 m ahead of the sensor.
TrackedObject object_box(int classIndex)
{
    TrackedObject o{};
    o.class_index = classIndex;
    o.center_x = 2.0f;
    o.center_y = 1.0f;
    o.length = 1.0f;
    o.width = 0.6f;
    return o;
}

int count_pixels(const QImage &img, const QRect &area, const std::function<bool(QColor)> &match)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += match(img.pixelColor(x, y)) ? 1 : 0;
    return n;
}

class RadarItemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        item = new Graphics_Item_Data;
        item->setGridMode(1);
        scene.addItem(item);
        view.setScene(&scene);
        view.resize(800, 600);
        view.show();
        view.centerOn(0, 0);
    }

    Graphics_scene scene;
    Graphics_view view;
    Graphics_Item_Data *item = nullptr;
};

} // namespace

TEST_F(RadarItemTest, StartsAtOneMetreRings)
{
    EXPECT_EQ(item->step(), 1000);
    EXPECT_EQ(item->rings(), 64);
    EXPECT_EQ(item->range(), 6400);
    EXPECT_DOUBLE_EQ(item->factor(), 0.1);
    EXPECT_EQ(item->boundingRect(), QRectF(-6400, -6400, 12800, 12800));
    EXPECT_EQ(item->type(), 0);
    EXPECT_EQ(item->property("Class").toString(), "Graphics_Item_Data");
    EXPECT_EQ(item->flags(), QGraphicsItem::ItemIsMovable | QGraphicsItem::ItemIsSelectable |
                                 QGraphicsItem::ItemSendsGeometryChanges);
}

TEST_F(RadarItemTest, WheelStepsTheRingsBothWaysFromOneMetre)
{
    const std::vector<int> finer = {900, 800, 700, 600, 500, 450, 400, 350, 300, 250, 200,
                                    180, 160, 140, 120, 100, 90,  80,  70,  60,  50,  45,
                                    40,  35,  30,  25,  20,  18,  16,  14,  12,  10,  10};
    const std::vector<int> coarser = {1200, 1400, 1600, 1800, 2000, 2500,
                                      3000, 3500, 4000, 4500, 5000, 5000};
    for (int direction : {+120, -120}) {
        item->setRange(0);
        QSignalSpy factors(item, &Graphics_Item_Data::sig_factor);
        const std::vector<int> &expected = direction > 0 ? finer : coarser;
        for (size_t i = 0; i < expected.size(); ++i) {
            view2dtest::wheel(&view, QPointF(10, 10), direction);
            const int step = expected[i];
            ASSERT_EQ(item->step(), step) << "wheel " << direction << " step " << i;
            EXPECT_EQ(item->rings(), 64000 / step);
            EXPECT_EQ(item->range(), item->rings() * 100);
            EXPECT_DOUBLE_EQ(item->factor(), double(item->range()) / item->rings() / step);
            ASSERT_EQ(factors.size(), int(i + 1));
            EXPECT_DOUBLE_EQ(factors.last()[0].toDouble(), item->factor());
        }
    }
    // One step in from the start: 71 rings labelled 900 ... 63900.
    item->setRange(0);
    view2dtest::wheel(&view, QPointF(10, 10), 120);
    EXPECT_EQ(item->rings(), 71);
    EXPECT_EQ(item->rings() * item->step(), 63900);
}

TEST_F(RadarItemTest, RingStepDeltaAtTheEnds)
{
    struct Case {
        int step;
        bool coarser;
        int delta;
    };
    const Case cases[] = {{5, true, 2},    {10, true, 2},     {4999, true, 500}, {5000, true, 0},
                          {7000, true, 0}, {5, false, 0},     {10, false, 0},    {11, false, 2},
                          {5000, false, 500}, {7000, false, 500}};
    for (const Case &c : cases)
        EXPECT_EQ(item->ringStepDelta(c.step, c.coarser), c.delta) << c.step << " " << c.coarser;
}

TEST_F(RadarItemTest, FieldOfViewOfAFrame)
{
    auto arc = [](double fromDeg, double toDeg) {
        std::vector<UserPointData> v;
        for (double a = fromDeg; a <= toDeg + 1e-9; a += 5)
            v.push_back(point(float(60 * std::cos(a * M_PI / 180)), float(60 * std::sin(a * M_PI / 180))));
        return v;
    };
    struct Case {
        std::vector<UserPointData> frame;
        bool wedge;
        float start, span;
    };
    const Case cases[] = {
        {arc(-60, 60), true, -60, 120},      // straddles +x: measured from -180
        {arc(30, 150), true, 30, 120},
        {{point(0, 0), point(0, 0)}, false, 0, 0},
        {{}, false, 0, 0},
    };
    for (const Case &c : cases) {
        item->setPoints(c.frame);
        EXPECT_EQ(item->hasFieldOfView(), c.wedge);
        if (c.wedge) {
            EXPECT_NEAR(item->fieldOfViewStart(), c.start, 1e-3);
            EXPECT_NEAR(item->fieldOfViewSpan(), c.span, 1e-3);
        }
    }
    // Points at the origin are left out, and y is kept negated for the screen.
    item->setPoints({point(0, 0), point(1, 2)});
    ASSERT_EQ(item->points().size(), 1u);
    EXPECT_EQ(item->points()[0].y, -2.0f);

    // The 30..150 wedge greys the area above the sensor and nothing below it; a frame with no
    // point off the origin draws no wedge at all.
    item->clearPoints();
    const QImage none = paint_item(*item, 800, 600);
    item->setPoints({point(0, 0)});
    EXPECT_EQ(paint_item(*item, 800, 600), none);
    item->setPoints(arc(30, 150));
    const QImage wedge = paint_item(*item, 800, 600);
    EXPECT_GT(qGray(wedge.pixel(450, 50)), 40);  // item (50, -250): 78.7 degrees
    EXPECT_EQ(qGray(wedge.pixel(450, 550)), 0);  // item (50, 250): below
}

TEST_F(RadarItemTest, PointColours)
{
    struct Case {
        UserPointData p;
        QColor colour;
    };
    const Case cases[] = {
        {point(1.25f, 0.55f, 0, 0), QColor(0, 0, 255)},
        {point(1.25f, 0.55f, 0, 1), QColor(255, 255, 255)},   // selected: white
        {point(1.25f, 0.55f, 200, 1), QColor(255, 255, 255)},
        {point(1.25f, 0.55f, 64, 0), QColor(0, 128, 127)},
        {point(1.25f, 0.55f, 300, 0), QColor(255, 0, 0)},     // above 255: the red end
    };
    item->m_pointSize = 3;
    for (const Case &c : cases) {
        item->setPoints({c.p});
        const QImage img = paint_item(*item, 800, 600);
        EXPECT_EQ(img.pixelColor(525, 245), c.colour) << c.p.intensity << " " << int(c.p.selected);
    }
}

TEST_F(RadarItemTest, AlarmZoneShowsAsOneHexDigitUpperRight)
{
    item->setGridMode(0);
    const int w = 800, h = 600;
    const QRect upperRight(w / 2, 0, w / 2, h / 4);
    auto expected = [&](const QString &digit) {
        QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::black);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        QFont f = p.font();
        f.setPointSize(30);
        p.setFont(f);
        p.setPen(Qt::red);
        p.drawText(QPointF(w - w / 40, std::max(h / 25, QFontMetrics(f, &img).capHeight() + 2)), digit);
        return img.copy(upperRight);
    };
    item->setAlarm(10, "");
    EXPECT_EQ(paint_item(*item, w, h).copy(upperRight), expected("A"));
    item->setAlarm(-1, "");
    const QImage empty = paint_item(*item, w, h).copy(upperRight);
    EXPECT_EQ(count_pixels(empty, empty.rect(), [](QColor c) { return c.red() > 0; }), 0);
    // The alarm text sits lower left.
    item->setAlarm(2, "Alarm");
    const QImage img = paint_item(*item, w, h);
    EXPECT_GT(count_pixels(img, QRect(0, h * 3 / 4, w / 2, h / 4 - 1),
                           [](QColor c) { return c.red() > 100 && c.green() < 50; }),
              20);
}

TEST_F(RadarItemTest, ReadoutAngleClockwiseFromForward)
{
    struct Case {
        double x, y;
        int direction;
        double angle;
    };
    const Case cases[] = {{0, 1000, 0, 360},   {1000, 0, 0, 90},    {0, -1000, 0, 180},
                          {-1000, 0, 0, 270},  {1000, 1000, 0, 45}, {0, 0, 0, 90},
                          {1000, 0, 1, 270},   {0, 1000, 1, 0},     {-1000, -1000, 1, 135}};
    for (const Case &c : cases)
        EXPECT_NEAR(Graphics_Item_Data::readoutAngle(c.x, c.y, c.direction), c.angle, 1e-9)
            << c.x << "," << c.y << " dir " << c.direction;
}

TEST_F(RadarItemTest, AlarmClearsAfterTwentyFiveTicks)
{
    auto tick = [&] {
        QTimerEvent ev(item->timerId());
        QApplication::sendEvent(item, &ev);
    };
    item->setAlarm(3, "Alarm");
    for (int i = 0; i < 20; ++i)
        tick();
    item->setAlarm(3, "Alarm"); // a new alarm starts the count again
    for (int i = 0; i < 25; ++i)
        tick();
    EXPECT_EQ(item->alarmZone(), 3);
    EXPECT_EQ(item->alarmText(), "Alarm");
    tick();
    EXPECT_EQ(item->alarmZone(), -1);
    EXPECT_EQ(item->alarmText(), "");
}

TEST_F(RadarItemTest, ObjectsAreDrawnByOnePaint)
{
    const TrackedObject o = object_box(3);
    item->setObjects(1, {o});
    const QImage img = paint_item(*item, 800, 600);
    EXPECT_TRUE(item->objects().empty());
    // The box's left edge at item x 150, between y -130 and -70.
    EXPECT_GT(count_pixels(img, QRect(549, 180, 3, 40), [](QColor c) { return c.green() > 100 && c.red() < 50; }), 20);
    item->setObjects(0, {o});
    const QImage hidden = paint_item(*item, 800, 600);
    EXPECT_EQ(count_pixels(hidden, QRect(549, 180, 3, 40), [](QColor c) { return c.green() > 100 && c.red() < 50; }), 0);
}

// An object box is labelled with the name the view's builder looks up for its class; with no
// lookup handed in every class is "unknown".
TEST_F(RadarItemTest, ObjectLabelsComeFromTheClassNamesHandedIn)
{
    const TrackedObject o = object_box(2);
    const auto painted = [&] {
        item->setObjects(1, {o});
        return paint_item(*item, 800, 600);
    };
    EXPECT_EQ(item->className(2), "unknown");
    const QImage unnamed = painted();

    std::vector<int> asked;
    item->setClassNames([&](int classIndex) {
        asked.push_back(classIndex);
        return classIndex == 2 ? QString("person") : QString("unknown");
    });
    EXPECT_EQ(item->className(2), "person");
    EXPECT_EQ(item->className(-1), "unknown");
    asked.clear();
    const QImage named = painted();
    EXPECT_EQ(asked, std::vector<int>({2})) << "one look-up per box";
    EXPECT_NE(named, unnamed);

    item->setClassNames([](int) { return QString("unknown"); });
    EXPECT_EQ(painted(), unnamed) << "the same label as with no lookup";
}

// The paint draws only what the painted area shows and batches the points by colour; the
// picture must be the one the literal paint gives.
TEST_F(RadarItemTest, PaintMatchesTheLiteralPaint)
{
    struct Case {
        int finerSteps; // wheel steps in from 1000
        QSize size;
        QPointF at;     // the item dragged to
    };
    // The positions leave a ring label cut by the left and the top edge of the picture.
    const Case cases[] = {{0, {800, 600}, {0, 0}},
                          {11, {640, 480}, {72, 63}},     // step 200, small labels
                          {32, {1024, 768}, {-220, 22}}}; // step 10, 6400 rings
    for (const Case &c : cases) {
        item->setRange(0);
        for (int i = 0; i < c.finerSteps; ++i)
            view2dtest::wheel(&view, QPointF(1, 1), 120);
        item->setPos(c.at);
        std::vector<UserPointData> frame;
        // A lattice of points that do not touch, with every colour slot, some selected, some
        // off the picture.
        for (int i = 0; i < 40; ++i)
            for (int j = 0; j < 30; ++j) {
                const float x = (i - 20) * 0.013f * float(item->step()) / 100.0f + 0.0031f;
                const float y = (j - 15) * 0.017f * float(item->step()) / 100.0f - 0.0017f;
                frame.push_back(point(x, y, uint16_t((i * 30 + j) % 300), uint8_t((i + j) % 7 == 0)));
            }
        item->setPoints(frame);
        item->setAlarm(11, "ObserveAlarm");
        item->m_cursorX = 1234.5;
        item->m_cursorY = -678.25;
        item->m_direction = 1;
        TrackedObject o{};
        o.center_x = 0.02f * item->step() / 10.0f;
        o.center_y = 0.01f * item->step() / 10.0f;
        o.length = 0.01f * item->step() / 10.0f;
        o.width = 0.006f * item->step() / 10.0f;
        item->setObjects(1, {o, o});
        const QImage literal = paint_item(*item, c.size.width(), c.size.height(), true);
        const QImage clipped = paint_item(*item, c.size.width(), c.size.height());
        EXPECT_EQ(clipped, literal) << "step " << item->step();
        if (clipped != literal) {
            int differ = 0;
            for (int y = 0; y < literal.height(); ++y)
                for (int x = 0; x < literal.width(); ++x)
                    differ += clipped.pixel(x, y) != literal.pixel(x, y);
            ADD_FAILURE() << differ << " pixels differ at step " << item->step();
        }
    }
}
