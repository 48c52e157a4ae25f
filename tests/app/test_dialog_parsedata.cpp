// The analysis panel as a standalone widget: its statistics over fixed point sets (expected
// values computed here, independently), the multi-frame folds, the 3-sigma filter reported to
// its debug view, and the selection limits it sends.

#include "analysistesthelpers.h"
#include "dialog_parsedata.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

#include <algorithm>
#include <cfloat>
#include <cmath>

using namespace analysistest;

namespace {

const char *const kAxes[] = {"x", "y", "z", "conf"};
const char *const kValues[] = {"min", "max", "diff", "ave", "sd"};

// The sixteen multi-frame labels a reset empties (the ranges are not among them).
QStringList multiLabelNames()
{
    QStringList names;
    for (const char *a : kAxes)
        for (const char *v : {"min", "max", "ave", "sd"})
            names << QString("lb_%1%2%3").arg(v, a, "2");
    return names;
}

struct Expected {
    double min, max, mean, sd;
};

Expected stats(const std::vector<double> &v)
{
    Expected e{v[0], v[0], 0, 0};
    for (double d : v) {
        e.min = std::min(e.min, d);
        e.max = std::max(e.max, d);
        e.mean += d;
    }
    e.mean /= double(v.size());
    for (double d : v)
        e.sd += (d - e.mean) * (d - e.mean);
    e.sd = std::sqrt(e.sd / double(v.size()));
    return e;
}

float degrees(float radians)
{
    return float(double(radians * 180.0f) / 3.1415926535898);
}

// Checks one axis's five labels ("" or "2" suffix) against expected statistics.
void expectAxis(QWidget *w, const char *axis, const char *suffix, const Expected &e)
{
    auto name = [&](const char *v) { return QString("lb_%1%2%3").arg(v, axis, suffix); };
    EXPECT_EQ(labelText(w, name("min").toLatin1()), g6(e.min)) << axis;
    EXPECT_EQ(labelText(w, name("max").toLatin1()), g6(e.max)) << axis;
    EXPECT_EQ(labelText(w, name("diff").toLatin1()), g6(float(e.max) - float(e.min))) << axis;
    EXPECT_EQ(labelText(w, name("ave").toLatin1()), g6(e.mean)) << axis;
    EXPECT_EQ(labelText(w, name("sd").toLatin1()), g6(e.sd)) << axis;
}

// Two points whose x mean is m, minimum m - 0.5 and maximum m + 0.5.
std::vector<UserPointData> frameWithXMean(float m)
{
    return {point(m - 0.5f, 1.0f, 0.0f, 10), point(m + 0.5f, 2.0f, 0.0f, 20)};
}


void click(Dialog_ParseData &panel, const char *button)
{
    auto *b = panel.findChild<QPushButton *>(button);
    ASSERT_NE(b, nullptr) << button;
    // The template buttons are hidden; click() reaches their slots all the same.
    b->click();
}

} // namespace

TEST(ParseDataPanel, ConstructionAsAPage)
{
    Dialog_ParseData panel;
    EXPECT_EQ(panel.objectName(), "Dialog_ParseData");
    EXPECT_EQ(panel.windowTitle(), "Data Analysis");
    EXPECT_EQ(panel.size(), QSize(488, 588));
    EXPECT_FALSE(panel.isModal());
    EXPECT_FALSE(panel.testAttribute(Qt::WA_QuitOnClose));
    EXPECT_FALSE(panel.windowFlags() & Qt::WindowContextHelpButtonHint);
    for (Qt::WindowType hint : {Qt::WindowMinimizeButtonHint, Qt::WindowMaximizeButtonHint,
                                Qt::WindowCloseButtonHint, Qt::CustomizeWindowHint})
        EXPECT_TRUE(panel.windowFlags() & hint) << hint;
    EXPECT_FALSE(panel.isRun());
    EXPECT_EQ(panel.testCount(), 0);

    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    for (const char *hidden : {"groupBox_3", "frame_fix_point_detect", "pb_save_param",
                               "pb_sync_param"}) {
        auto *w = panel.findChild<QWidget *>(hidden);
        ASSERT_NE(w, nullptr) << hidden;
        EXPECT_FALSE(w->isVisible()) << hidden;
    }
    for (const char *shown : {"pb_select_range", "pb_reset", "pb_sigma_filter", "groupBox_4",
                              "groupBox", "groupBox_2"})
        EXPECT_TRUE(panel.findChild<QWidget *>(shown)->isVisible()) << shown;

    // Every value label starts as "xxx", the ranging-angle ones included.
    for (const char *a : kAxes)
        for (const char *v : kValues)
            for (const char *s : {"", "2"})
                EXPECT_EQ(labelText(&panel, QString("lb_%1%2%3").arg(v, a, s).toLatin1()), "xxx");
    for (const char *l : {"lb_select_num", "lb_testnum", "lb_leanX", "lb_leanX_extern", "lb_leanY",
                          "lb_leanY_extern", "lb_distance", "lb_distance_extern", "lb_offsetZ",
                          "lb_offsetZ_extern"})
        EXPECT_EQ(labelText(&panel, l), "xxx") << l;
    EXPECT_EQ(edit(&panel, "le_horizontail_min")->placeholderText(), "-180");
    EXPECT_EQ(edit(&panel, "le_horizontail_max")->placeholderText(), "180");
    EXPECT_EQ(edit(&panel, "le_vertical_min")->placeholderText(), "-90");
    EXPECT_EQ(edit(&panel, "le_vertical_max")->placeholderText(), "90");
    EXPECT_TRUE(panel.debugView().isHidden());

    // As the main window's page it is a plain child widget, not a window of its own.
    QStackedWidget stack;
    auto *page = new Dialog_ParseData;
    stack.addWidget(page);
    stack.setCurrentWidget(page);
    stack.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&stack));
    EXPECT_FALSE(page->isWindow());
    EXPECT_TRUE(page->isVisible());
}

TEST(ParseDataPanel, StatisticsOfTwentyPoints)
{
    std::vector<UserPointData> pts;
    std::vector<double> xs, ys, zs, is;
    float hmin = FLT_MAX, hmax = -FLT_MAX, vmin = FLT_MAX, vmax = -FLT_MAX;
    for (int i = 0; i < 20; ++i) {
        const float x = 1.0f + 0.37f * float(i);
        const float y = -2.5f + 0.29f * float(i % 7) * float(i % 3);
        const float z = 0.8f * std::sin(float(i)) - 0.1f;
        const uint16_t in = uint16_t(7 * i + (i % 4) * 13);
        pts.push_back(point(x, y, z, in));
        xs.push_back(x);
        ys.push_back(y);
        zs.push_back(z);
        is.push_back(in);
        const float h = degrees(std::atan2(y, x));
        const float v = degrees(std::atan2(z, std::sqrt(x * x + y * y)));
        hmin = std::min(hmin, h);
        hmax = std::max(hmax, h);
        vmin = std::min(vmin, v);
        vmax = std::max(vmax, v);
    }

    Dialog_ParseData panel;
    const FeaturePoints f = panel.selectPoints(pts);
    EXPECT_TRUE(f.enable);
    EXPECT_EQ(labelText(&panel, "lb_select_num"), "20");
    expectAxis(&panel, "x", "", stats(xs));
    expectAxis(&panel, "y", "", stats(ys));
    expectAxis(&panel, "z", "", stats(zs));
    expectAxis(&panel, "conf", "", stats(is));
    EXPECT_EQ(f.x.count, 20);
    EXPECT_EQ(f.intensity.count, 20);
    EXPECT_FLOAT_EQ(f.y.min, float(stats(ys).min));
    EXPECT_FLOAT_EQ(f.z.max, float(stats(zs).max));

    // The angle bounds are exact in the record and six digits in the edits.
    EXPECT_EQ(f.horizontal_min, hmin);
    EXPECT_EQ(f.horizontal_max, hmax);
    EXPECT_EQ(f.vertical_min, vmin);
    EXPECT_EQ(f.vertical_max, vmax);
    EXPECT_EQ(edit(&panel, "le_horizontail_min")->text(), g6(hmin));
    EXPECT_EQ(edit(&panel, "le_horizontail_max")->text(), g6(hmax));
    EXPECT_EQ(edit(&panel, "le_vertical_min")->text(), g6(vmin));
    EXPECT_EQ(edit(&panel, "le_vertical_max")->text(), g6(vmax));
    EXPECT_EQ(edit(&panel, "le_minx")->text(), g6(stats(xs).min));
    EXPECT_EQ(edit(&panel, "le_maxz")->text(), g6(stats(zs).max));

    // A rectangle selection counts itself without folding.
    EXPECT_EQ(labelText(&panel, "lb_testnum"), "1");
    for (const QString &name : multiLabelNames())
        EXPECT_EQ(labelText(&panel, name.toLatin1()), "") << name.toStdString();

    // Every picked point lies inside the returned limits.
    for (const UserPointData &p : pts)
        EXPECT_TRUE(feature_points_inside(f, p.x, p.y, p.z));
}

TEST(ParseDataPanel, NegativeAnglesIdenticalIntensityAndEmptySets)
{
    Dialog_ParseData panel;
    // All y < 0 and all z < 0: the angle maxima are negative.
    FeaturePoints f = panel.selectPoints({point(1, -1, -0.5f, 40), point(2, -0.5f, -1, 40),
                                          point(0.5f, -3, -0.2f, 40)});
    EXPECT_LT(f.horizontal_max, 0.0f);
    EXPECT_LT(f.vertical_max, 0.0f);
    EXPECT_TRUE(edit(&panel, "le_horizontail_max")->text().startsWith('-'));
    EXPECT_TRUE(edit(&panel, "le_vertical_max")->text().startsWith('-'));
    EXPECT_EQ(labelText(&panel, "lb_sdconf"), "0");
    EXPECT_EQ(labelText(&panel, "lb_diffconf"), "0");
    EXPECT_EQ(labelText(&panel, "lb_aveconf"), "40");

    // An empty pick: count 0, untouched angle starts, a box that selects nothing.
    f = panel.selectPoints({});
    EXPECT_EQ(labelText(&panel, "lb_select_num"), "0");
    EXPECT_EQ(edit(&panel, "le_horizontail_min")->text(), g6(FLT_MAX));
    EXPECT_EQ(edit(&panel, "le_horizontail_max")->text(), g6(-FLT_MAX));
    EXPECT_EQ(edit(&panel, "le_minx")->text(), "2.14748e+09");
    EXPECT_TRUE(f.enable);
    for (const UserPointData &p : {point(0, 0, 0), point(1, -1, -0.5f), point(-5, 5, 5)})
        EXPECT_FALSE(feature_points_inside(f, p.x, p.y, p.z));
}

TEST(ParseDataPanel, FoldsAfterSetRangeAndAfterARectangleSelection)
{
    {
        Dialog_ParseData panel;
        LimitCapture cap(panel);
        click(panel, "pb_select_range");
        ASSERT_EQ(cap.count, 1);
        EXPECT_TRUE(cap.last.enable);

        // The first folded frame writes its own values into every multi-frame label.
        panel.parseFrame(frameWithXMean(1));
        EXPECT_EQ(labelText(&panel, "lb_testnum"), "1");
        for (const char *a : kAxes)
            for (const char *v : kValues)
                EXPECT_EQ(labelText(&panel, QString("lb_%1%2%3").arg(v, a, "2").toLatin1()),
                          labelText(&panel, QString("lb_%1%2").arg(v, a).toLatin1()))
                    << v << a;
        panel.parseFrame(frameWithXMean(2));
        panel.parseFrame(frameWithXMean(3));
        EXPECT_EQ(labelText(&panel, "lb_testnum"), "3");
        EXPECT_EQ(labelText(&panel, "lb_avex2"), "2");
        EXPECT_EQ(labelText(&panel, "lb_minx2"), "0.5");
        EXPECT_EQ(labelText(&panel, "lb_maxx2"), "3.5");
        EXPECT_EQ(labelText(&panel, "lb_diffx2"), "3");
        EXPECT_EQ(labelText(&panel, "lb_sdx2"), "0.5");
        EXPECT_EQ(panel.testCount(), 3);
    }
    {
        // A selection counts 1 without folding: (2 x 1 + 4) / 3 = 2.
        Dialog_ParseData panel;
        panel.selectPoints({point(9, 9, 9)});
        panel.parseFrame(frameWithXMean(1));
        panel.parseFrame(frameWithXMean(4));
        EXPECT_EQ(labelText(&panel, "lb_avex2"), "2");
        EXPECT_EQ(labelText(&panel, "lb_testnum"), "3");
    }
}

TEST(ParseDataPanel, UpdateMultiLabelModes)
{
    Dialog_ParseData panel;
    QLabel current, multi;
    struct Case {
        QString cur, old;
        int mode, n;
        QString result;
    } cases[] = {
        {"1", "", 0, 0, "1"},       {"1", "xxx", 1, 5, "1"},     {"-2", "1", 0, 1, "-2"},
        {"0.5", "-2", 0, 2, "-2"},  {"3", "3", 0, 1, "3"},       {"3", "4", 1, 1, "4"},
        {"5", "4", 1, 1, "5"},      {"4", "1", 2, 2, "2"},       {"7", "", 2, 9, "7"},
        {"abc", "1", 2, 1, "0.5"},  {"1", "2", 7, 1, "2"},       {"1.23456789", "", 2, 0, "1.23457"},
    };
    for (const Case &c : cases) {
        current.setText(c.cur);
        multi.setText(c.old);
        panel.updateMultiLabel(&current, &multi, c.mode, c.n);
        EXPECT_EQ(multi.text(), c.result) << c.cur.toStdString() << " into "
                                          << c.old.toStdString() << " mode " << c.mode;
    }
}

TEST(ParseDataPanel, ResetEmptiesTheMultiLabelsButKeepsRanges)
{
    Dialog_ParseData panel;
    LimitCapture cap(panel);
    panel.setIsRun(true);
    click(panel, "pb_select_range");
    panel.parseFrame(frameWithXMean(1));
    panel.parseFrame(frameWithXMean(2));
    const QString range = labelText(&panel, "lb_diffx2");
    const QString current = labelText(&panel, "lb_avex");
    ASSERT_FALSE(range.isEmpty());

    click(panel, "pb_reset");
    ASSERT_EQ(cap.count, 2);
    EXPECT_FALSE(cap.last.enable);
    EXPECT_TRUE(cap.isrun);
    EXPECT_EQ(cap.last.x.min, -FLT_MAX);
    EXPECT_EQ(cap.last.x.max, FLT_MAX);
    EXPECT_EQ(cap.last.x.mean, 0.0f);
    for (const QString &name : multiLabelNames())
        EXPECT_EQ(labelText(&panel, name.toLatin1()), "") << name.toStdString();
    EXPECT_EQ(labelText(&panel, "lb_diffx2"), range);
    EXPECT_EQ(labelText(&panel, "lb_avex"), current);
    EXPECT_EQ(labelText(&panel, "lb_testnum"), "2");
    EXPECT_EQ(panel.testCount(), 0);

    // The next frame starts the fold again.
    panel.parseFrame(frameWithXMean(5));
    EXPECT_EQ(labelText(&panel, "lb_avex2"), "5");
    EXPECT_EQ(labelText(&panel, "lb_diffx2"), "1");
    EXPECT_EQ(labelText(&panel, "lb_testnum"), "1");
}

TEST(ParseDataPanel, ThreeSigmaFilterReportsToTheDebugView)
{
    // x: 3, -3 and sixteen zeros: mean 0, deviation exactly 1, so 3 and -3 sit on the bounds.
    // y: seventeen ones and one 100, which lies beyond mean + 3 sd. z: constant (deviation 0,
    // every point on both bounds). Intensity alternates 10 and 20.
    std::vector<UserPointData> pts;
    for (int i = 0; i < 18; ++i) {
        const float x = i == 0 ? 3.0f : i == 1 ? -3.0f : 0.0f;
        const float y = i == 5 ? 100.0f : 1.0f;
        pts.push_back(point(x, y, 2.0f, uint16_t(i % 2 ? 20 : 10)));
    }
    Dialog_ParseData panel;
    Dialog_Debug &debug = panel.debugView();

    // Closed statistics window: nothing is filtered or shown.
    panel.parseFrame(pts);
    EXPECT_EQ(labelText(&debug, "lb_select_num"), "xxx");
    EXPECT_EQ(labelText(&debug, "lb_testnum"), "xxx");

    click(panel, "pb_sigma_filter");
    EXPECT_TRUE(debug.isVisible());
    EXPECT_EQ(debug.findChild<QStackedWidget *>("stackedWidget")->currentIndex(), 1);

    panel.parseFrame(pts);
    EXPECT_EQ(labelText(&debug, "lb_select_num"), "18"); // before filtering
    EXPECT_EQ(labelText(&debug, "lb_numx"), "18");
    EXPECT_EQ(labelText(&debug, "lb_minx"), "-3");
    EXPECT_EQ(labelText(&debug, "lb_maxx"), "3");
    EXPECT_EQ(labelText(&debug, "lb_sdx"), "1");
    EXPECT_EQ(labelText(&debug, "lb_numy"), "17");
    EXPECT_EQ(labelText(&debug, "lb_maxy"), "1");
    EXPECT_EQ(labelText(&debug, "lb_avey"), "1");
    EXPECT_EQ(labelText(&debug, "lb_sdy"), "0");
    EXPECT_EQ(labelText(&debug, "lb_numz"), "18");
    EXPECT_EQ(labelText(&debug, "lb_numconf"), "18");
    EXPECT_EQ(labelText(&debug, "lb_aveconf"), "15");
    EXPECT_EQ(labelText(&debug, "lb_testnum"), "1");
    // The panel itself shows the unfiltered statistics.
    EXPECT_EQ(labelText(&panel, "lb_maxy"), "100");

    // The panel's reset restarts the debug view's folds too.
    click(panel, "pb_reset");
    EXPECT_EQ(labelText(&debug, "lb_minx2"), "");

    debug.close();
    panel.parseFrame(pts);
    EXPECT_EQ(labelText(&debug, "lb_testnum"), "1");
}

TEST(ParseDataPanel, TypedLimitsSelectTheExpectedPoints)
{
    struct Edits {
        QString minx, maxx, miny, maxy, minz, maxz, hmin, hmax, vmin, vmax;
    };
    struct Probe {
        UserPointData p;
        bool inside;
    };
    const float t44 = std::tan(44.0f * 3.14159265f / 180.0f);
    const float t46 = std::tan(46.0f * 3.14159265f / 180.0f);
    struct Case {
        const char *what;
        Edits e;
        std::vector<Probe> probes;
    } cases[] = {
        {"all empty: everything",
         {},
         {{point(1e6f, -1e6f, 50), true}, {point(0, 0, 0), true}}},
        {"0 and text that is not a number open their side",
         {"0", "abc", "", "0", "x1", ""},
         {{point(-100, 1e5f, 3), true}, {point(100, -1e5f, -3), true}}},
        {"a bound point is inside",
         {"-1", "1", "-2", "2", "-0.5", "0.5"},
         {{point(1, 2, 0.5f), true},
          {point(-1, -2, -0.5f), true},
          {point(1.0001f, 0, 0), false},
          {point(0, 0, -0.5001f), false}}},
        {"horizontal -45 to 45 at any distance and height",
         {"", "", "", "", "", "", "-45", "45"},
         {{point(10, 10, 5), true},
          {point(0.01f, -0.01f, -7), true},
          {point(1000, 1000 * t44, 300), true},
          {point(0.2f, -0.2f * t44, -1), true},
          {point(1, t46, 0), false},
          {point(1, -t46, 0), false},
          {point(-1, 0, 0), false}}},
        {"a 0 angle bound is no bound",
         {"", "", "", "", "", "", "0", "45", "0", "0"},
         {{point(-1, -0.17633f, 9), true}, {point(1, 1.7320508f, 0), false}}},
        {"vertical window",
         {"", "", "", "", "", "", "", "", "-10", "45"},
         {{point(3, 4, 5), true}, {point(1, 0, -0.1f), true}, {point(1, 0, 1.8f), false}}},
    };

    Dialog_ParseData panel;
    LimitCapture cap(panel);
    for (const Case &c : cases) {
        const QString texts[] = {c.e.minx, c.e.maxx, c.e.miny, c.e.maxy, c.e.minz,
                                 c.e.maxz, c.e.hmin, c.e.hmax, c.e.vmin, c.e.vmax};
        const char *names[] = {"le_minx", "le_maxx", "le_miny", "le_maxy", "le_minz",
                               "le_maxz", "le_horizontail_min", "le_horizontail_max",
                               "le_vertical_min", "le_vertical_max"};
        for (int i = 0; i < 10; ++i) {
            QLineEdit *e = edit(&panel, names[i]);
            e->clear();
            QTest::keyClicks(e, texts[i]);
        }
        const int before = cap.count;
        click(panel, "pb_select_range");
        ASSERT_EQ(cap.count, before + 1) << c.what;
        EXPECT_TRUE(cap.last.enable) << c.what;
        for (const Probe &pr : c.probes)
            EXPECT_EQ(feature_points_inside(cap.last, pr.p.x, pr.p.y, pr.p.z), pr.inside)
                << c.what << " (" << pr.p.x << ", " << pr.p.y << ", " << pr.p.z << ")";
    }

    // The same limits switched off select nothing.
    click(panel, "pb_reset");
    EXPECT_FALSE(feature_points_inside(cap.last, 0, 0, 0));
}

TEST(ParseDataPanel, ReadLimitsFillsTheRecordAndSendsTheStoredRunState)
{
    Dialog_ParseData panel;
    LimitCapture cap(panel);
    panel.selectPoints({point(1, 2, 3, 50), point(2, 3, 4, 70)});
    edit(&panel, "le_minx")->clear();
    edit(&panel, "le_maxy")->setText("0");

    panel.setIsRun(true);
    click(panel, "pb_select_range");
    EXPECT_TRUE(cap.isrun);
    EXPECT_EQ(cap.last.x.min, -FLT_MAX);
    EXPECT_EQ(cap.last.x.max, 2.0f);
    EXPECT_EQ(cap.last.y.min, 2.0f);
    EXPECT_EQ(cap.last.y.max, FLT_MAX);
    // Intensity bounds and the means come from the current-frame labels.
    EXPECT_EQ(cap.last.intensity.min, 50.0f);
    EXPECT_EQ(cap.last.intensity.max, 70.0f);
    EXPECT_EQ(cap.last.x.mean, 1.5f);
    EXPECT_EQ(cap.last.intensity.mean, 60.0f);
    // Deviations and counts keep what the statistics stored.
    EXPECT_EQ(cap.last.x.stddev, 0.5f);
    EXPECT_EQ(cap.last.z.count, 2);

    panel.setIsRun(false);
    click(panel, "pb_reset");
    EXPECT_FALSE(cap.isrun);
    EXPECT_FALSE(panel.limits().enable);
}

TEST(ParseDataPanel, SetRangeAfterASelectionAppliesTheSixDigitEdits)
{
    // The picked extreme 1.2345649 shows as "1.23456": applying the edits leaves it outside.
    Dialog_ParseData panel;
    LimitCapture cap(panel);
    const FeaturePoints picked = panel.selectPoints({point(0.5f, 0.5f, 0.5f), point(1.2345649f, 1, 1)});
    EXPECT_TRUE(feature_points_inside(picked, 1.2345649f, 1, 1));
    EXPECT_EQ(edit(&panel, "le_maxx")->text(), "1.23456");
    click(panel, "pb_select_range");
    EXPECT_FALSE(feature_points_inside(cap.last, 1.2345649f, 1, 1));
    EXPECT_TRUE(feature_points_inside(cap.last, 1.23456f, 1, 1));
}
