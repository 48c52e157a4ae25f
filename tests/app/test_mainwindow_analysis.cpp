// The analysis panel, its debug view and the factory test inside the main window: a rectangle
// pick fills the panel's limit edits and pauses the display, typed limits choose the points the
// window selects, the panel's statistics follow every drawn frame, "3σ过滤" opens the panel's own
// debug statistics, and every drawn selection is a frame of a running factory test.

#include "mainwindow.h"

#include "analysistesthelpers.h"
#include "appsettings.h"
#include "component_logoperate.h"
#include "dialog_debug.h"
#include "dialog_detect_raxo.h"
#include "dialog_parsedata.h"
#include "inisettings.h"
#include "mainwindowaccess.h"
#include "modalrecorder.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QTextBrowser>
#include <QVTKOpenGLNativeWidget.h>
#include <vtkCoordinate.h>
#include <vtkNew.h>
#include <vtkRenderer.h>

#include <cmath>
#include <memory>

using analysistest::edit;
using analysistest::g6;
using analysistest::labelText;
using analysistest::point;

namespace {

class AnalysisWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        load_test_settings();
        IniSettings::instance()->set_value("Standard", "showtime", "10", "main_ini");
        w = std::make_unique<MainWindow>();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        a = std::make_unique<MainWindowTestAccess>(*w);
        panel = a->find<Dialog_ParseData>("page_parse_data");
        // As a session start leaves them: the display runs, the panel knows it, one frame kept.
        a->displayPaused() = false;
        panel->setIsRun(true);
        a->scene().framesKept() = 1;
    }
    void TearDown() override
    {
        a.reset();
        w.reset();
    }
    // One frame of a Raxo-E as the receiver posts it, drawn at the next tick.
    void frame(std::vector<UserPointData> f)
    {
        w->recv_framedata(std::move(f), LIDAR_RAXO_E);
        a->tick();
    }
    QVTKOpenGLNativeWidget *view() { return a->find<QVTKOpenGLNativeWidget>("openGLWidget"); }
    // Where a world point lands in the 3D view (Qt's top-left origin).
    QPoint widgetPos(double x, double y, double z)
    {
        vtkNew<vtkCoordinate> c;
        c->SetCoordinateSystemToWorld();
        c->SetValue(x, y, z);
        const int *d = c->GetComputedDisplayValue(w->renderer());
        return QPoint(d[0], view()->height() - 1 - d[1]);
    }
    std::vector<float> selectedX()
    {
        std::vector<float> out;
        for (const UserPointData &p : a->scene().selection()) {
            const float x = p.x; // packed record: no reference to a field
            out.push_back(x);
        }
        return out;
    }
    void typeLimits(std::initializer_list<std::pair<const char *, const char *>> values)
    {
        for (const char *name : {"le_minx", "le_maxx", "le_miny", "le_maxy", "le_minz", "le_maxz",
                                 "le_horizontail_min", "le_horizontail_max", "le_vertical_min", "le_vertical_max"})
            edit(panel, name)->clear();
        for (const auto &v : values)
            edit(panel, v.first)->setText(v.second);
    }

    testsupport::ModalRecorder modal;
    std::unique_ptr<MainWindow> w;
    std::unique_ptr<MainWindowTestAccess> a;
    Dialog_ParseData *panel = nullptr;
};

const std::vector<UserPointData> kRow = {point(-6, 0, 0, 50), point(-2, 1, 0.5f, 10), point(2, -1, -0.5f, 30),
                                         point(6, 0, 0, 50)};

} // namespace

TEST_F(AnalysisWindow, RectangleSelectionFillsTheLimitEditsAndPausesTheDisplay)
{
    frame(kRow);
    w->findChild<QAction *>("actionCircle")->trigger();
    QTest::mouseClick(view(), Qt::LeftButton, {}, widgetPos(-3, -2, 0));
    QTest::mouseClick(view(), Qt::RightButton, {}, widgetPos(3, 2, 0));

    // The two middle points: their bounds in the edits, their statistics in the labels.
    const std::pair<const char *, QString> edits[] = {{"le_minx", "-2"},   {"le_maxx", "2"},  {"le_miny", "-1"},
                                                      {"le_maxy", "1"},    {"le_minz", "-0.5"}, {"le_maxz", "0.5"}};
    for (const auto &e : edits)
        EXPECT_EQ(edit(panel, e.first)->text(), e.second) << e.first;
    EXPECT_EQ(labelText(panel, "lb_minconf"), "10");
    EXPECT_EQ(labelText(panel, "lb_maxconf"), "30");
    EXPECT_EQ(labelText(panel, "lb_select_num"), "2");
    EXPECT_EQ(a->find<QStackedWidget>("stackedWidget_2")->currentWidget(), panel);

    // The display holds the picked cloud: the panel and the toolbar know it, new frames wait.
    EXPECT_TRUE(a->displayPaused());
    EXPECT_FALSE(panel->isRun());
    EXPECT_FALSE(a->logOperate()->isPlaying());
    w->recv_framedata({point(1, 1, 1)}, LIDAR_RAXO_E);
    a->tick();
    EXPECT_EQ(a->scene().accumulatedCloud().size(), kRow.size());
    EXPECT_EQ(selectedX(), std::vector<float>({-2, 2}));

    // "圈选范围设置" hands the limits back with the stored run state: still paused.
    pagetest::child<QPushButton>(panel, "pb_select_range")->click();
    EXPECT_TRUE(a->displayPaused());
    EXPECT_TRUE(a->scene().limits().enable);
    EXPECT_FLOAT_EQ(a->scene().limits().x.min, -2.0f);
}

TEST_F(AnalysisWindow, TypedLimitsSelectThePointsAndTheStatisticsFollowEachFrame)
{
    typeLimits({{"le_minx", "-3"}, {"le_maxx", "3"}});
    pagetest::child<QPushButton>(panel, "pb_select_range")->click();
    EXPECT_TRUE(a->scene().limits().enable);
    EXPECT_FALSE(a->displayPaused()) << "the run state the session gave the panel";

    // Each drawn frame: the points inside, their statistics now, folded over the frames.
    struct Step {
        std::vector<UserPointData> frame;
        std::vector<float> selected;
        QString min, max, mean, multiMin, multiMax, tests;
    };
    const Step steps[] = {
        {kRow, {-2, 2}, "-2", "2", "0", "-2", "2", "1"},
        {{point(-1, 0, 0), point(2.5f, 0, 0), point(2.5f, 0, 0), point(4, 0, 0)},
         {-1, 2.5f, 2.5f}, "-1", "2.5", g6(4.0 / 3.0), "-2", "2.5", "2"},
        {{point(0.5f, 0, 0), point(9, 0, 0)}, {0.5f}, "0.5", "0.5", "0.5", "-2", "2.5", "3"},
    };
    for (const Step &s : steps) {
        frame(s.frame);
        EXPECT_EQ(selectedX(), s.selected) << s.tests.toStdString();
        EXPECT_EQ(labelText(panel, "lb_minx"), s.min);
        EXPECT_EQ(labelText(panel, "lb_maxx"), s.max);
        EXPECT_EQ(labelText(panel, "lb_avex"), s.mean);
        EXPECT_EQ(labelText(panel, "lb_minx2"), s.multiMin);
        EXPECT_EQ(labelText(panel, "lb_maxx2"), s.multiMax);
        EXPECT_EQ(labelText(panel, "lb_testnum"), s.tests);
        EXPECT_EQ(labelText(panel, "lb_select_num"), QString::number(s.selected.size()));
    }

    // A frame with nothing inside leaves the panel as it was.
    frame({point(7, 0, 0)});
    EXPECT_TRUE(a->scene().selection().empty());
    EXPECT_EQ(labelText(panel, "lb_testnum"), "3");

    // "重置圈选" drops the limits: nothing is selected any more.
    pagetest::child<QPushButton>(panel, "pb_reset")->click();
    frame(kRow);
    EXPECT_TRUE(a->scene().selection().empty());
}

// "3σ过滤" opens the panel's own debug view on its statistics page; from then on each drawn
// selection is filtered there. The window's debug view (the grey images) stays closed.
TEST_F(AnalysisWindow, SigmaFilterShowsThePanelsDebugStatistics)
{
    typeLimits({{"le_minx", "-1"}, {"le_maxx", "30"}});
    pagetest::child<QPushButton>(panel, "pb_select_range")->click();
    pagetest::child<QPushButton>(panel, "pb_sigma_filter")->click();
    Dialog_Debug &debug = panel->debugView();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&debug));
    EXPECT_EQ(debug.findChild<QStackedWidget *>()->currentIndex(), 1);
    EXPECT_FALSE(a->debugView().isVisible());

    // Nineteen points at x 0 and one at 20: the one lies 4.36 deviations out and is dropped in
    // x; y and z are 0 everywhere and keep all twenty.
    std::vector<UserPointData> f(19, point(0, 0, 0, 5));
    f.push_back(point(20, 0, 0, 5));
    frame(f);
    EXPECT_EQ(labelText(&debug, "lb_select_num"), "20");
    EXPECT_EQ(labelText(&debug, "lb_numx"), "19");
    EXPECT_EQ(labelText(&debug, "lb_numy"), "20");
    EXPECT_EQ(labelText(&debug, "lb_maxx"), "0");
    EXPECT_EQ(labelText(&debug, "lb_testnum"), "1");
    EXPECT_EQ(labelText(panel, "lb_maxx"), "20") << "the panel shows the points unfiltered";

    // The stop message hides the window's debug view, not the panel's.
    w->recv_data(MSG_STOP, QByteArray());
    EXPECT_TRUE(debug.isVisible());
}

// A running factory test takes each drawn selection as a test frame; without a selection it
// gets nothing, and a hidden dialog still counts its frames.
TEST_F(AnalysisWindow, EachDrawnSelectionIsAFactoryTestFrame)
{
    w->recv_action_detect_raxo(false);
    auto *factory = w->findChild<Dialog_Detect_Raxo *>();
    ASSERT_NE(factory, nullptr);
    for (const char *c : {"cb_conf", "cb_side", "cb_board_split"})
        pagetest::child<QCheckBox>(factory, c)->setChecked(false);
    pagetest::child<QCheckBox>(factory, "cb_noise")->setChecked(true);
    edit(factory, "le_noise_num_threshold")->setText("0");
    edit(factory, "le_test_frame_sum")->setText("2");
    edit(factory, "le_pass_rate")->setText("1");
    pagetest::child<QPushButton>(factory, "pb_start")->click();
    factory->hide();

    // The floor below the sensor, selected; a frame with no point inside is no test frame.
    typeLimits({{"le_minx", "-3"}, {"le_maxx", "3"}});
    pagetest::child<QPushButton>(panel, "pb_select_range")->click();
    frame({point(9, 0, -0.05f)});
    EXPECT_TRUE(factory->isRunning());
    EXPECT_EQ(labelText(factory, "lb_pointcloud_sum"), "0");
    frame({point(1, 0, -0.05f), point(2, 0, -0.05f), point(9, 0, 0.5f)});
    EXPECT_EQ(labelText(factory, "lb_pointcloud_sum"), "2");
    frame({point(1, 0, -0.05f), point(2, 0, 0.1f)});
    EXPECT_FALSE(factory->isRunning());
    const QStringList lines = factory->findChild<QTextBrowser *>("tb_print")->toPlainText().split('\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0], "上方噪点检测:1 数量:0 参照值:0");
    EXPECT_EQ(lines[1], "上方噪点检测:0 数量:1 参照值:0");
    EXPECT_EQ(lines.last(), "失败，通过率:0.5");
}
