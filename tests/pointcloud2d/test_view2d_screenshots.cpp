// Pictures of the 2D view with zones of every kind, a frame of points and a tracked object,
// beside the zone editor showing a sector, in English and in Chinese. Saved in
// "<build folder>/screenshots" for a person to look at; the checks here are that the picture
// shows the points and the zones' colours.

#include "bgraphicsitem.h"
#include "graphics_item_data.h"
#include "graphics_view.h"
#include "modalrecorder.h"
#include "page_drawzone.h"
#include "pointcloudui.h"
#include "testsupport.h"
#include "view2dtest.h"
#include "widgettexts.h"

#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cmath>
#include <random>

using ZONEALARM::ZoneShape;
using view2dtest::table_of;
using view2dtest::zone_shape;

namespace {

// A room seen by a sensor in its middle: four walls with a doorway, a pillar and a person,
// over the sensor's 270-degree field of view.
std::vector<UserPointData> room_scan()
{
    std::vector<UserPointData> frame;
    std::mt19937 rng(7);
    std::normal_distribution<float> noise(0.0f, 0.015f);
    auto hit = [&](double bearingDeg) -> double {
        // Distance to the first surface along a bearing (degrees counter-clockwise from +x).
        const double a = bearingDeg * M_PI / 180.0, dx = std::cos(a), dy = std::sin(a);
        double best = 1e9;
        auto wall = [&](double t) { if (t > 0 && t < best) best = t; };
        if (dx > 0) wall(5.5 / dx);
        if (dx < 0) wall(-5.0 / dx);
        if (dy > 0) {
            const double t = 4.2 / dy, x = t * dx;
            if (x < 1.0 || x > 2.6) wall(t); // a doorway in the far wall
        }
        if (dy < 0) wall(-3.6 / dy);
        // A round pillar at (-2.5, 2) and a person at (2.2, -1.4).
        for (auto c : {std::make_pair(-2.5, 2.0), std::make_pair(2.2, -1.4)}) {
            const double r = c.first == -2.5 ? 0.35 : 0.25;
            const double b = dx * c.first + dy * c.second;
            const double d2 = c.first * c.first + c.second * c.second - b * b;
            if (d2 < r * r)
                wall(b - std::sqrt(r * r - d2));
        }
        return best;
    };
    for (double deg = -135.0; deg <= 135.0; deg += 0.05) {
        const double bearing = 90.0 - deg; // 0 degrees is forward
        const double d = hit(bearing);
        const double a = bearing * M_PI / 180.0;
        UserPointData p;
        p.x = float(d * std::cos(a)) + noise(rng);
        p.y = float(d * std::sin(a)) + noise(rng);
        p.intensity = uint16_t(std::min(255.0, 40 + 30 * d + 60 * std::fabs(std::sin(a * 7))));
        frame.push_back(p);
    }
    return frame;
}

zones demo_zones()
{
    zones t;
    t.shapes[t.count++] = zone_shape(4, 0, {330, 1080, 2600, 700}, 2);                 // alarm sector ahead
    t.shapes[t.count++] = zone_shape(2, 0, {-3200, -4600, -1200, -2000}, 1);           // warning rectangle
    t.shapes[t.count++] = zone_shape(3, 0, {3000, 2200, 2600, 1800}, 0);               // observe ellipse
    t.shapes[t.count++] = zone_shape(1, 0, {-4200, 1000, -2600, 3400, -1200, 2600, -1800, 600}, 2);
    t.shapes[t.count++] = zone_shape(5, 0, {-3000, 1500, -2300, 2300, -2000, 1300}, 0);
    t.shapes[t.count++] = zone_shape(2, 3, {500, 500, 1500, 1500}, 2);                 // another zone
    return t;
}

void shoot(const QString &lang)
{
    testsupport::ScopedTranslation tr(lang);
    ASSERT_TRUE(tr.loaded());
    QApplication::setFont(QFont("Arial", lang == "English" ? 8 : 10));
    testsupport::ModalRecorder modal;

    QWidget window;
    auto *layout = new QHBoxLayout(&window);
    auto *view = new PointCloudUI;
    auto *editor = new Page_DrawZone;
    layout->addWidget(view, 1);
    layout->addWidget(editor);
    view->setDrawZone(editor);
    window.resize(1400, 700);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    // Zoomed out three steps so the whole room shows.
    for (int i = 0; i < 3; ++i)
        view2dtest::wheel(view->graphicsView(), QPointF(5, 5), -120);
    view->setPointSize(2);
    view->setPoints(room_scan());
    TrackedObject person{};
    person.class_index = 0;
    person.center_x = 2.2f;
    person.center_y = -1.4f;
    person.length = 0.6f;
    person.width = 0.6f;
    view->setObjects(1, {person});
    view->setAlarm(0, QApplication::translate("MainWindow", "Alarm"));
    view->recv_zoneData(demo_zones());
    view->recv_refresh2();
    // Show the sector in the editor, as a click on it would.
    QApplication::setActiveWindow(&window);
    view->shapes()[0]->setFocus();
    EXPECT_EQ(editor->currentRecord(), 1);
    QTest::qWait(300);

    const QImage img = window.grab().toImage();
    const QString dir = QString::fromStdString(testsupport::binary_dir()) + "/screenshots";
    QDir().mkpath(dir);
    ASSERT_TRUE(img.save(dir + "/view2d_" + lang + ".png"));

    // The grab shows the view's own picture: points, and the zones' fills.
    const QImage v = view->grab().toImage();
    int blue = 0, red = 0, yellowish = 0;
    for (int y = 0; y < v.height(); y += 2)
        for (int x = 0; x < v.width(); x += 2) {
            const QColor c = v.pixelColor(x, y);
            blue += c.blue() > c.red() + 50 && c.blue() > c.green() + 50;
            red += c.red() > c.green() + 50 && c.red() > c.blue() + 50;
            yellowish += c.red() > c.blue() + 30 && c.green() > c.blue() + 30 &&
                         std::abs(c.red() - c.green()) < 30;
        }
    EXPECT_GT(blue, 50) << "the observe ellipse";
    EXPECT_GT(red, 50) << "the alarm sector and polygon";
    EXPECT_GT(yellowish, 50) << "the warning rectangle";
    EXPECT_EQ(view->shapes().size(), 5);
    EXPECT_TRUE(modal.warnings.empty());
}

} // namespace

TEST(View2DScreenshots, English)
{
    shoot("English");
}

TEST(View2DScreenshots, Chinese)
{
    shoot("Chinese");
}
