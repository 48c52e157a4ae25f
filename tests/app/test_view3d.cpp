// The 3D point view of the main window: the scene as built, frames through the accumulation
// and colouring to pixels on the screen, the limits and part-hide, the camera and the toolbar's
// switches, the rectangle pick with real mouse clicks, and the object markers.

#include "mainwindow.h"

#include "appsettings.h"
#include "colorhelpers.h"
#include "component_logoperate.h"
#include "dialog_alldata.h"
#include "dialog_parsedata.h"
#include "fakeraxo.h"
#include "inisettings.h"
#include "mainwindowaccess.h"
#include "markeroverlay.h"
#include "modalrecorder.h"
#include "myinteractorstyle.h"
#include "pointcloudui.h"
#include "graphics_item_data.h"
#include "raxopacket.h"
#include "receiverprobe.h"
#include "recvdataproc2.h"
#include "testsupport.h"
#include "timercleanupcallback.h"
#include "zonemonitor.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QVTKOpenGLNativeWidget.h>

#include <vtkCallbackCommand.h>
#include <vtkCamera.h>
#include <vtkCommand.h>
#include <vtkCoordinate.h>
#include <vtkPointData.h>
#include <vtkProperty.h>
#include <vtkRenderWindow.h>
#include <vtkRenderWindowInteractor.h>
#include <vtkRendererCollection.h>
#include <vtkUnsignedCharArray.h>

#include <cmath>
#include <functional>
#include <memory>

namespace {

const char kDoc[] = "main_ini";

UserPointData pt(float x, float y, float z, uint16_t intensity = 100)
{
    UserPointData p;
    p.x = x;
    p.y = y;
    p.z = z;
    p.intensity = intensity;
    return p;
}

std::vector<UserPointData> frameOf(size_t n, float x = 0.0f)
{
    std::vector<UserPointData> f;
    for (size_t i = 0; i < n; ++i)
        f.push_back(pt(x, float(i) * 0.01f, 0.0f));
    return f;
}

// A square patch of points, side `side` metres, `per` points a side, centred at (cx, cy, cz).
std::vector<UserPointData> patch(float cx, float cy, float cz, uint16_t intensity, float side = 0.3f, int per = 31)
{
    std::vector<UserPointData> f;
    for (int i = 0; i < per; ++i)
        for (int j = 0; j < per; ++j)
            f.push_back(pt(cx - side / 2 + side * float(i) / float(per - 1),
                           cy - side / 2 + side * float(j) / float(per - 1), cz, intensity));
    return f;
}

// The colour array of the drawn cloud, as tuples.
std::vector<std::vector<int>> colours(vtkPolyData *cloud)
{
    std::vector<std::vector<int>> out;
    auto *c = vtkUnsignedCharArray::SafeDownCast(cloud->GetPointData()->GetScalars());
    if (c == nullptr)
        return out;
    for (vtkIdType i = 0; i < c->GetNumberOfTuples(); ++i) {
        std::vector<int> t;
        for (int k = 0; k < c->GetNumberOfComponents(); ++k)
            t.push_back(c->GetTypedComponent(i, k));
        out.push_back(t);
    }
    return out;
}

std::vector<int> rgbOf(double r, double g, double b)
{
    return {int(r), int(g), int(b)};
}

std::vector<int> hue(float lo, float hi, float v)
{
    double c[3];
    value_to_hue_rgb(lo, hi, v, c);
    return rgbOf(c[0], c[1], c[2]);
}

const std::vector<int> kWhite = {255, 255, 255};
const std::vector<int> kBlue = {20, 20, 204}; // hue 240 at saturation 0.9, value 0.8
const std::vector<int> kRed = {204, 20, 20};  // hue 0
const std::vector<int> kGrey = {128, 128, 128};

class View3DTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        load_test_settings();
        IniSettings::instance()->set_value("Standard", "Color", "0|0|0", kDoc);
        IniSettings::instance()->set_value("Standard", "PointSize", "1", kDoc);
        IniSettings::instance()->set_value("Standard", "showtime", "10", kDoc);
        makeWindow();
    }
    void makeWindow()
    {
        a.reset();
        w.reset();
        w = std::make_unique<MainWindow>();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        a = std::make_unique<MainWindowTestAccess>(*w);
        // The tests tick themselves: a real tick between a frame's arrival and the test's
        // look at the redraw flag would draw and clear it first.
        a->tickTimer()->stop();
        a->redrawFlag() = false;
        a->displayPaused() = false; // as a session start leaves it
    }
    void TearDown() override
    {
        a.reset();
        w.reset();
    }
    QVTKOpenGLNativeWidget *view() { return a->find<QVTKOpenGLNativeWidget>("openGLWidget"); }
    vtkRenderer *renderer() { return w->renderer(); }
    vtkCamera *camera() { return renderer()->GetActiveCamera(); }
    // Where a world point lands in the widget (Qt's top-left origin).
    QPoint widgetPos(double x, double y, double z)
    {
        vtkNew<vtkCoordinate> c;
        c->SetCoordinateSystemToWorld();
        c->SetValue(x, y, z);
        const int *d = c->GetComputedDisplayValue(renderer());
        return QPoint(d[0], view()->height() - 1 - d[1]);
    }
    QImage grabView()
    {
        view()->renderWindow()->Render();
        return view()->grabFramebuffer();
    }
    void frame(std::vector<UserPointData> f, int model = LIDAR_RAXO_E)
    {
        w->recv_framedata(std::move(f), model);
        a->tick();
    }

    testsupport::ModalRecorder modal;
    std::unique_ptr<MainWindow> w;
    std::unique_ptr<MainWindowTestAccess> a;
};

bool near(QRgb c, const std::vector<int> &want, int tol = 12)
{
    return std::abs(qRed(c) - want[0]) <= tol && std::abs(qGreen(c) - want[1]) <= tol &&
           std::abs(qBlue(c) - want[2]) <= tol;
}

QString rgbText(QRgb c)
{
    return QString("(%1, %2, %3)").arg(qRed(c)).arg(qGreen(c)).arg(qBlue(c));
}

} // namespace

// ---- the scene ----

TEST_F(View3DTest, SceneAsBuilt)
{
    EXPECT_EQ(a->scene().gridActors().size(), 162u);
    for (const auto &line : a->scene().gridActors())
        EXPECT_TRUE(renderer()->HasViewProp(line));
    double b[6];
    a->scene().gridActors().front()->GetBounds(b);
    EXPECT_EQ(std::vector<double>(b, b + 6), std::vector<double>({-40, -40, -40, 40, 0, 0}));
    a->scene().gridActors().back()->GetBounds(b);
    EXPECT_EQ(std::vector<double>(b, b + 6), std::vector<double>({-40, 40, 40, 40, 0, 0}));

    // The axes reach 15 % of the way to the camera, 40 m away.
    double len[3];
    a->scene().axes()->GetTotalLength(len);
    EXPECT_EQ(std::vector<double>(len, len + 3), std::vector<double>({6, 6, 6}));
    EXPECT_TRUE(renderer()->HasViewProp(a->scene().axes()));
    // The cloud in the layer over the scenery, through the same camera.
    vtkRenderer *cloudLayer = a->scene().cloudRenderer();
    EXPECT_TRUE(cloudLayer->HasViewProp(a->scene().cloudActor()));
    EXPECT_FALSE(renderer()->HasViewProp(a->scene().cloudActor()));
    EXPECT_EQ(cloudLayer->GetLayer(), 1);
    EXPECT_EQ(renderer()->GetLayer(), 0);
    EXPECT_EQ(cloudLayer->GetActiveCamera(), camera());

    double p[3], f[3], up[3];
    camera()->GetPosition(p);
    camera()->GetFocalPoint(f);
    camera()->GetViewUp(up);
    EXPECT_EQ(std::vector<double>(p, p + 3), std::vector<double>({0, 0, 40}));
    EXPECT_EQ(std::vector<double>(f, f + 3), std::vector<double>({0, 0, 0}));
    EXPECT_EQ(std::vector<double>(up, up + 3), std::vector<double>({0, 1, 0}));

    vtkRenderWindowInteractor *interactor = view()->renderWindow()->GetInteractor();
    EXPECT_EQ(interactor->GetInteractorStyle(), a->scene().interactorStyle());
    EXPECT_STREQ(a->scene().interactorStyle()->GetClassName(), "MyInteractorStyle");
    EXPECT_EQ(interactor->GetPicker(), a->scene().areaPicker());
    EXPECT_TRUE(interactor->HasObserver(vtkCommand::TimerEvent, a->scene().markerTimerCallback()));
    EXPECT_EQ(a->scene().markerTimerCallback()->getTarget(), a->scene().markerOverlay());
    EXPECT_STREQ(a->scene().markerTimerCallback()->GetClassName(), "TimerCleanupCallback");
    EXPECT_EQ(a->scene().cloudActor()->GetProperty()->GetPointSize(), 1.0);
}

TEST_F(View3DTest, StoredColourAndPointSize)
{
    struct Case {
        const char *color;
        std::vector<double> background;
        const char *size;
        int pointSize;
    };
    const Case cases[] = {
        {"0|0|0", {0, 0, 0}, "1", 1},
        {"255|x|51", {1, 0, 0.2}, "3", 3},
        {"1|2|3|4", {0.1, 0.2, 0.3}, "300", 44}, // four parts leave the default; 300 mod 256
        {"blue", {0.1, 0.2, 0.3}, "abc", 0},
        {"||", {0, 0, 0}, "-1", 0}, // -1 % 256 is -1: its low 8 bits are 255
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.color);
        IniSettings::instance()->set_value("Standard", "Color", c.color, kDoc);
        IniSettings::instance()->set_value("Standard", "PointSize", c.size, kDoc);
        makeWindow();
        double bg[3];
        renderer()->GetBackground(bg);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(bg[i], c.background[i], 1e-9);
        if (std::string(c.size) == "-1")
            EXPECT_EQ(a->scene().pointSize(), 255);
        else
            EXPECT_EQ(a->scene().pointSize(), c.pointSize);
    }
}

// ---- frames to pixels ----

TEST_F(View3DTest, DrawnFrameShowsItsPointsInPlaceAndColour)
{
    a->scene().cloudActor()->GetProperty()->SetPointSize(3);
    std::vector<UserPointData> f = patch(5.5f, 3.5f, 0.5f, 255); // red, upper right
    const auto blue = patch(-4.5f, -2.5f, 0.5f, 0);              // blue, lower left
    f.insert(f.end(), blue.begin(), blue.end());
    frame(f);

    const QImage img = grabView();
    ASSERT_FALSE(img.isNull());
    const QPoint red = widgetPos(5.5, 3.5, 0.5);
    const QPoint bl = widgetPos(-4.5, -2.5, 0.5);
    ASSERT_TRUE(img.rect().contains(red) && img.rect().contains(bl));
    EXPECT_GT(red.x(), img.width() / 2);
    EXPECT_LT(red.y(), img.height() / 2);
    EXPECT_TRUE(near(img.pixel(red), kRed)) << rgbText(img.pixel(red)).toStdString();
    EXPECT_TRUE(near(img.pixel(bl), kBlue)) << rgbText(img.pixel(bl)).toStdString();
    // Between grid lines and away from the points: the background.
    const QPoint empty = widgetPos(-4.5, 3.5, 0.0);
    EXPECT_TRUE(near(img.pixel(empty), {0, 0, 0}, 3)) << rgbText(img.pixel(empty)).toStdString();
    // Kept in the build folder for a person to look at.
    img.save(QCoreApplication::applicationDirPath() + "/view3d-points.png");

    // Selected points are white on the screen too.
    a->scene().limits().enable = true;
    a->scene().limits().x = {5.0f, 6.0f};
    a->scene().limits().y = {3.0f, 4.0f};
    a->scene().limits().z = {0.0f, 1.0f};
    a->redrawFlag() = true;
    a->tick();
    const QImage sel = grabView();
    EXPECT_TRUE(near(sel.pixel(red), kWhite)) << rgbText(sel.pixel(red)).toStdString();
    EXPECT_TRUE(near(sel.pixel(bl), kBlue)) << rgbText(sel.pixel(bl)).toStdString();

    // Part-hide: the selected keep their ramp colour, the others are not drawn at all.
    w->recv_actionPartHide(true);
    a->redrawFlag() = true;
    a->tick();
    const QImage hidden = grabView();
    EXPECT_TRUE(near(hidden.pixel(red), {254, 0, 0})) << rgbText(hidden.pixel(red)).toStdString();
    EXPECT_TRUE(near(hidden.pixel(bl), {0, 0, 0}, 3)) << rgbText(hidden.pixel(bl)).toStdString();
}

// The road a Raxo session lays: a real receiver on its own thread decodes a fake sensor's
// datagrams and its queued frames reach the window's frame slots; the tick draws them.
TEST_F(View3DTest, FramesOfAFakeRaxoReachTheScreen)
{
    FakeRaxo fake;
    ASSERT_TRUE(fake.ok());
    const int dataPort = free_udp_port();
    auto *rx = new RecvDataProc2();
    rx->init(dataPort, "127.0.0.2", fake.listen_port());
    rx->setBindAddress("127.0.0.1");
    rx->lidartype = LIDAR_RAXO_E;
    fake.set_host("127.0.0.1", dataPort);
    QObject::connect(rx, &RecvDataProc2::sig_framedata, w.get(), &MainWindow::recv_framedata);
    QObject::connect(rx, &RecvDataProc2::sig_framedata_2D, w.get(), &MainWindow::recv_framedata_2D);
    bool started = false;
    QObject::connect(rx, &RecvDataProc2::sig_data, w.get(),
            [&](int type, QByteArray) { started = started || type == MSG_RECV_STARTED; });
    rx->start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return started; }, 5000));

    // Two 11 x 11 patches of 0.3 m, 0.5 m up (units of 2 mm): bright ahead to the left
    // (x 5.5, y 3.5), dark behind to the right (x -4.5, y -2.5).
    auto patchPoints = [](double cx, double cy, uint8_t intensity) {
        std::vector<RaxoPoint> pts;
        for (int i = 0; i < 11; ++i)
            for (int j = 0; j < 11; ++j)
                pts.push_back(raxo_point(500, int16_t(std::lround((cx - 0.15 + 0.03 * i) * 500)),
                                         int16_t(std::lround((cy - 0.15 + 0.03 * j) * 500)), 250, intensity, 0));
        return pts;
    };
    a->scene().cloudActor()->GetProperty()->SetPointSize(3);
    a->scene().framesKept() = 1;
    fake.send_data(raxo_point_packet(1, 0, 0, patchPoints(5.5, 3.5, 255), 0));
    fake.send_data(raxo_point_packet(1, 4, 0, patchPoints(-4.5, -2.5, 0), RAXO_FRAME_END));
    ASSERT_TRUE(QTest::qWaitFor([&] { return a->redrawFlag(); }, 5000));
    a->tick();
    rx->stop();
    ASSERT_TRUE(rx->wait(5000));
    delete rx;

    ASSERT_EQ(a->scene().accumulatedCloud().size(), 242u);
    EXPECT_NEAR(a->scene().accumulatedCloud().front().x, 5.35, 1e-3);
    EXPECT_NEAR(a->scene().accumulatedCloud().front().z, 0.5, 1e-3);
    const QImage img = grabView();
    const QPoint bright = widgetPos(5.5, 3.5, 0.5);
    const QPoint dark = widgetPos(-4.5, -2.5, 0.5);
    EXPECT_TRUE(near(img.pixel(bright), kRed)) << rgbText(img.pixel(bright)).toStdString();
    EXPECT_TRUE(near(img.pixel(dark), kBlue)) << rgbText(img.pixel(dark)).toStdString();
    img.save(QCoreApplication::applicationDirPath() + "/view3d-fake-raxo.png");
    w->grab().save(QCoreApplication::applicationDirPath() + "/view3d-window.png");
}

// Frames of every model wait for the tick, Fenk-U's too; of several arriving between two ticks
// the latest is drawn, and nothing is rendered before the tick.
TEST_F(View3DTest, FramesOfEveryModelAreDrawnAtTheTick)
{
    int renders = 0;
    vtkNew<vtkCallbackCommand> counter;
    counter->SetClientData(&renders);
    counter->SetCallback([](vtkObject *, unsigned long, void *data, void *) { ++*static_cast<int *>(data); });
    view()->renderWindow()->AddObserver(vtkCommand::EndEvent, counter);
    a->scene().framesKept() = 10;

    for (uint8_t model : {LIDAR_FENK_U, LIDAR_RAXO_E, LIDAR_RAXO_S, LIDAR_VIMO_E, LIDAR_ALG_BOX}) {
        SCOPED_TRACE(int(model));
        const size_t before = a->scene().accumulatedCloud().size();
        renders = 0;
        for (size_t n : {3, 4, 5}) {
            w->recv_framedata(frameOf(n), model);
            w->recv_framedata_2D(frameOf(n), model);
        }
        EXPECT_EQ(a->scene().accumulatedCloud().size(), before);
        EXPECT_TRUE(a->redrawFlag());
        EXPECT_EQ(a->currentModel(), model);
        EXPECT_EQ(renders, 0);
        a->tick();
        EXPECT_EQ(a->scene().accumulatedCloud().size(), before + 5) << "the latest frame, once";
        EXPECT_EQ(a->scene().cloud()->GetNumberOfPoints(), vtkIdType(before + 5));
        EXPECT_EQ(a->scene().cloud()->GetNumberOfVerts(), vtkIdType(before + 5));
        EXPECT_FALSE(a->redrawFlag());
        EXPECT_GE(renders, 1);
    }
    view()->renderWindow()->RemoveObserver(counter);
    a->scene().framesKept() = 1;
    frame(frameOf(7), LIDAR_RAXO_E);
    ASSERT_EQ(a->scene().accumulatedCloud().size(), 7u);

    // Paused: dropped, model and frame untouched.
    a->displayPaused() = true;
    w->recv_framedata(frameOf(3), LIDAR_VIMO_E);
    w->recv_framedata_2D(frameOf(3), LIDAR_VIMO_E);
    EXPECT_EQ(a->scene().currentFrame().size(), 7u);
    EXPECT_EQ(a->currentModel(), LIDAR_RAXO_E);
    EXPECT_FALSE(a->redrawFlag());
}

// The point table copies what it shows: it follows the cloud while it is on screen, is left
// alone while another page or the big screen hides it, and shows the latest cloud at the first
// tick after it is shown again.
TEST_F(View3DTest, PointTableFollowsTheCloudOnlyWhileShown)
{
    auto *table = a->find<Dialog_AllData>("page_spandata");
    auto *count = table->findChild<QLabel *>("lb_selectnum");
    ASSERT_NE(count, nullptr);
    a->scene().framesKept() = 1;
    w->switchProperty(3);
    frame(frameOf(4));
    ASSERT_TRUE(table->isVisible());
    EXPECT_EQ(table->pointCount(), 4u);
    EXPECT_EQ(count->text(), "4");

    w->switchProperty(4);
    frame(frameOf(6));
    EXPECT_EQ(table->pointCount(), 4u) << "hidden: not filled";
    w->switchProperty(3);
    a->tick();
    EXPECT_EQ(table->pointCount(), 6u);
    EXPECT_EQ(count->text(), "6");

    // Hidden by the big screen and shown again by leaving it: the tick alone brings it up to
    // date, without a new frame.
    w->findChild<QAction *>("action_BigScreen")->trigger();
    ASSERT_FALSE(table->isVisible());
    frame(frameOf(8));
    EXPECT_EQ(table->pointCount(), 6u);
    w->findChild<QAction *>("action_BigScreen")->trigger();
    ASSERT_TRUE(table->isVisible());
    EXPECT_FALSE(a->redrawFlag());
    a->tick();
    EXPECT_EQ(table->pointCount(), 8u);
    EXPECT_EQ(count->text(), "8");
}

TEST_F(View3DTest, FramesKeptTrimsTheOldest)
{
    a->scene().framesKept() = 3;
    for (size_t n : {100, 200, 300, 400})
        frame(frameOf(n));
    EXPECT_EQ(a->scene().accumulatedCloud().size(), 900u);
    EXPECT_EQ(a->scene().frameCounts(), std::deque<int>({200, 300, 400}));
    EXPECT_EQ(a->scene().cloud()->GetNumberOfPoints(), 900);

    // Nothing kept: the cloud stays empty.
    a->scene().framesKept() = 0;
    frame(frameOf(10));
    EXPECT_TRUE(a->scene().accumulatedCloud().empty());
    EXPECT_TRUE(a->scene().frameCounts().empty());
    EXPECT_EQ(a->scene().cloud()->GetNumberOfPoints(), 0);
}

TEST_F(View3DTest, RedrawsWithoutANewFrameAddNoPoints)
{
    frame(frameOf(10));
    ASSERT_EQ(a->scene().accumulatedCloud().size(), 10u);

    // A worker's log line sets the redraw flag; the tick draws and writes it.
    w->recv_data(MSG_LOG, "hello");
    a->tick();
    EXPECT_EQ(a->scene().accumulatedCloud().size(), 10u);
    EXPECT_EQ(a->scene().frameCounts(), std::deque<int>({10}));

    // New limits redraw too.
    FeaturePoints limits;
    limits.enable = true;
    limits.x = {-1.0f, 1.0f};
    limits.y = {-1.0f, 1.0f};
    limits.z = {-1.0f, 1.0f};
    w->recv_dataLimit(limits, true);
    EXPECT_TRUE(a->redrawFlag());
    EXPECT_FALSE(a->displayPaused());
    EXPECT_TRUE(a->find<Dialog_ParseData>("page_parse_data")->isRun());
    EXPECT_TRUE(a->logOperate()->isPlaying());
    a->tick();
    EXPECT_EQ(a->scene().accumulatedCloud().size(), 10u);
    EXPECT_EQ(a->scene().selection().size(), 10u);
    // Limits that stop the display pause it; the panel and the playback bar follow.
    w->recv_dataLimit(limits, false);
    EXPECT_TRUE(a->displayPaused());
    EXPECT_FALSE(a->find<Dialog_ParseData>("page_parse_data")->isRun());
    EXPECT_FALSE(a->logOperate()->isPlaying());
    a->tick();
    a->displayPaused() = false;

    // The 2D frame redraws the 3D cloud without repeating its frame.
    w->recv_framedata_2D(frameOf(4), LIDAR_RAXO_E);
    a->tick();
    EXPECT_EQ(a->scene().accumulatedCloud().size(), 10u);

    frame(frameOf(3));
    EXPECT_EQ(a->scene().accumulatedCloud().size(), 13u);
    EXPECT_EQ(a->scene().frameCounts(), std::deque<int>({10, 3}));
}

// ---- colours and limits ----

TEST_F(View3DTest, IntensityColours)
{
    struct Case {
        bool colourful;
        std::vector<uint16_t> intensities;
        std::vector<std::vector<int>> want;
    };
    const Case cases[] = {
        {true, {10, 30, 50}, {kBlue, hue(10, 50, 30), kRed}},
        {true, {20, 20}, {kGrey, kGrey}},
        {false, {0, 255, 20, 20}, {kBlue, kRed, hue(0, 255, 20), hue(0, 255, 20)}},
        {false, {10, 50}, {hue(0, 255, 10), hue(0, 255, 50)}},
    };
    a->scene().framesKept() = 1;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.colourful);
        w->recv_actionColorful(c.colourful);
        std::vector<UserPointData> f;
        for (uint16_t v : c.intensities)
            f.push_back(pt(1, 2, 3, v));
        frame(f);
        EXPECT_EQ(colours(a->scene().cloud()), c.want);
    }
}

TEST_F(View3DTest, LimitsSelectAndPaint)
{
    // Points around the box x -1..1, y and z -100..100, and around the angle bounds.
    const std::vector<UserPointData> f = {
        pt(-1, 0, 0),  pt(1, 100, -100), pt(1.01f, 0, 0), pt(0, 100.5f, 0), pt(0.5f, 0, -100.5f), pt(0, 0, 0),
    };
    struct Case {
        const char *name;
        float hmin, hmax, vmin, vmax;
        std::vector<bool> inside;
    };
    const Case cases[] = {
        {"box only", 0, 0, 0, 0, {true, true, false, false, false, true}},
        // Azimuth of (1, 100) is 89.4 degrees; of (-1, 0) 180; of the origin 0.
        {"azimuth above 10", 10, 0, 0, 0, {true, true, false, false, false, false}},
        {"azimuth up to 90", 0, 90, 0, 0, {false, true, false, false, false, true}},
        // Elevation of (1, 100, -100) is -44.7 degrees.
        {"elevation below -40", 0, 0, -40, 0, {true, false, false, false, false, true}},
    };
    w->recv_actionPartHide(false);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FeaturePoints limits;
        limits.enable = true;
        limits.x = {-1.0f, 1.0f};
        limits.y = {-100.0f, 100.0f};
        limits.z = {-100.0f, 100.0f};
        limits.horizontal_min = c.hmin;
        limits.horizontal_max = c.hmax;
        limits.vertical_min = c.vmin;
        limits.vertical_max = c.vmax;
        w->recv_dataLimit(limits, true);
        a->scene().framesKept() = 1;
        frame(f);
        const auto got = colours(a->scene().cloud());
        size_t selected = 0;
        for (size_t i = 0; i < f.size(); ++i) {
            EXPECT_EQ(got[i] == kWhite, bool(c.inside[i])) << i;
            EXPECT_EQ(a->scene().accumulatedCloud()[i].selected, c.inside[i] ? 1 : 0) << i;
            selected += c.inside[i];
        }
        EXPECT_EQ(a->scene().selection().size(), selected);
    }

    // A minimum of 10 rejects a point at azimuth 9.99 degrees.
    const float r = 9.99f * 3.14159265f / 180.0f;
    FeaturePoints limits;
    limits.enable = true;
    limits.x = {-100.0f, 100.0f};
    limits.y = {-100.0f, 100.0f};
    limits.z = {-100.0f, 100.0f};
    limits.horizontal_min = 10.0f;
    w->recv_dataLimit(limits, true);
    frame({pt(std::cos(r), std::sin(r), 0)});
    EXPECT_TRUE(a->scene().selection().empty());

    // Disabled: every point keeps its intensity colour, and the point table gets the cloud.
    w->recv_dataLimit(FeaturePoints(), true);
    frame(f);
    EXPECT_TRUE(a->scene().selection().empty());
    for (const auto &c : colours(a->scene().cloud()))
        EXPECT_EQ(c, hue(0, 255, 100));
}

TEST_F(View3DTest, PartHideHidesWhatLiesOutside)
{
    FeaturePoints limits;
    limits.enable = true;
    limits.x = {-1.0f, 1.0f};
    limits.y = {-100.0f, 100.0f};
    limits.z = {-100.0f, 100.0f};
    w->recv_dataLimit(limits, true);
    w->recv_actionPartHide(true);
    a->scene().framesKept() = 1;
    // 300 and 1000: 16-bit intensities of LAS and PCD files, far beyond the ramp.
    frame({pt(0, 0, 0, 0), pt(0.5f, 0, 0, 200), pt(5, 0, 0, 100), pt(0, 0, 0, 300), pt(0, 1, 0, 1000)});
    const auto got = colours(a->scene().cloud());
    ASSERT_EQ(got.size(), 5u);
    EXPECT_EQ(got[0], std::vector<int>({0, 0, 255, 255}));
    EXPECT_EQ(got[1], std::vector<int>({144, 111, 0, 255}));
    EXPECT_EQ(got[2], std::vector<int>({0, 0, 0, 0}));
    EXPECT_EQ(got[3], std::vector<int>({255, 0, 0, 255}));
    EXPECT_EQ(got[4], std::vector<int>({255, 0, 0, 255}));
    EXPECT_EQ(a->scene().selection().size(), 4u);

    // Without limits every point shows its ramp colour.
    w->recv_dataLimit(FeaturePoints(), true);
    frame({pt(5, 0, 0, 100)});
    EXPECT_EQ(colours(a->scene().cloud()), std::vector<std::vector<int>>({{0, 200, 55, 255}}));
}

// ---- settings and switches ----

TEST_F(View3DTest, ShowtimeIsClampedAndStored)
{
    const std::pair<int, int> cases[] = {{3, 3}, {0, 0}, {99, 99}, {150, 99}, {-5, 0}};
    for (const auto &c : cases) {
        w->recv_showtime(c.first);
        EXPECT_EQ(a->scene().framesKept(), c.second);
        EXPECT_EQ(IniSettings::instance()->get_value("Standard", "showtime", "", kDoc), std::to_string(c.second));
    }
}

TEST_F(View3DTest, ZoomStepsAndLogsThePointSize)
{
    const QString title = msg_type_text(MSG_WARM);
    w->recv_actionZoomIn(true); // at 1: stays 1
    EXPECT_EQ(a->scene().pointSize(), 1);
    EXPECT_EQ(a->logLines().last(), QString("[ %1 ] point size set:1").arg(title));
    for (int i = 0; i < 6; ++i)
        w->recv_actionZoomOut(true);
    EXPECT_EQ(a->scene().pointSize(), 5);
    EXPECT_EQ(a->scene().cloudActor()->GetProperty()->GetPointSize(), 5.0);
    EXPECT_EQ(IniSettings::instance()->get_value("Standard", "PointSize", "", kDoc), "5");
    // At 5 the zoom-out steps say "5" again: one row, with how many times it came.
    EXPECT_EQ(a->logLines().last(), QString("[ %1 ] point size set:5 (came 3 times)").arg(title));
    w->recv_actionZoomIn(true);
    EXPECT_EQ(a->scene().pointSize(), 4);
    EXPECT_EQ(a->logLines().last(), QString("[ %1 ] point size set:4").arg(title));
    EXPECT_EQ(a->logLines().filter("point size set").size(), 6);
}

TEST_F(View3DTest, BackgroundColourFromTheChooser)
{
    modal.colorAnswers.push_back(QColor(10, 20, 255));
    w->findChild<QAction *>("actionBGColor")->trigger();
    ASSERT_EQ(modal.colorRequests.size(), 1u);
    EXPECT_FALSE(modal.colorRequests[0].isValid()); // nothing chosen before
    double bg[3];
    renderer()->GetBackground(bg);
    EXPECT_NEAR(bg[0], 10 / 255.0, 1e-9);
    EXPECT_NEAR(bg[2], 1.0, 1e-9);
    EXPECT_EQ(IniSettings::instance()->get_value("Standard", "Color", "", kDoc), "10|20|255");
    EXPECT_EQ(a->find<PointCloudUI>("page_2d")->radarItem()->background(), QColor(10, 20, 255));

    // Cancelled: nothing changes; the last choice is offered.
    w->recv_actionBGColor(true);
    ASSERT_EQ(modal.colorRequests.size(), 2u);
    EXPECT_EQ(modal.colorRequests[1], QColor(10, 20, 255));
    renderer()->GetBackground(bg);
    EXPECT_NEAR(bg[0], 10 / 255.0, 1e-9);
    EXPECT_EQ(IniSettings::instance()->get_value("Standard", "Color", "", kDoc), "10|20|255");
}

TEST_F(View3DTest, AxesAndGridSwitches)
{
    w->findChild<QAction *>("actionCoodinate")->trigger(); // checked at start: now off
    EXPECT_FALSE(renderer()->HasViewProp(a->scene().axes()));
    w->findChild<QAction *>("actionGrid")->trigger();
    for (const auto &line : a->scene().gridActors())
        EXPECT_FALSE(renderer()->HasViewProp(line));
    w->findChild<QAction *>("actionCoodinate")->trigger();
    w->findChild<QAction *>("actionGrid")->trigger();
    EXPECT_TRUE(renderer()->HasViewProp(a->scene().axes()));
    for (const auto &line : a->scene().gridActors())
        EXPECT_TRUE(renderer()->HasViewProp(line));
}

// The axes follow the camera's distance: 15 % of it long, the shaft as thick as a 40 m shaft of
// radius 0.0001 x the distance would be (the radius is relative to the shaft's length, 80 % of
// the whole). The tick does it, and so does a render after a zoom before the next tick.
TEST_F(View3DTest, TickSizesTheAxesByTheCameraDistance)
{
    const auto expectSizedFor = [this](double d) {
        double len[3];
        a->scene().axes()->GetTotalLength(len);
        for (double l : len)
            EXPECT_NEAR(l, 0.15 * d, 1e-9);
        EXPECT_NEAR(a->scene().axes()->GetCylinderRadius() * 0.8 * len[0], 0.0001 * d * 0.8 * 40, 1e-9);
    };
    camera()->SetPosition(0, 30, 40);
    a->tick();
    expectSizedFor(50);
    camera()->Dolly(2.0); // half the distance, as the mouse wheel zooms
    view()->renderWindow()->Render();
    expectSizedFor(25);
}

TEST_F(View3DTest, CameraPresets)
{
    // Small props so the fitted camera distance is what the reset makes of them.
    struct Case {
        const char *action;
        std::vector<double> direction; // from the focal point towards the camera
        std::vector<double> up;
    };
    const Case cases[] = {
        {"actionUp", {0, 1, 0}, {0, 0, 1}},     {"actionBottom", {0, -1, 0}, {0, 0, -1}},
        {"actionFront", {0, 0, 1}, {0, 1, 0}},  {"actionBack", {0, 0, -1}, {0, -1, 0}},
        {"actionLeft", {1, 0, 0}, {0, 1, 0}},   {"actionRight", {-1, 0, 0}, {0, 1, 0}},
        {"actionCenter", {0, 0, 1}, {0, 1, 0}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.action);
        camera()->SetPosition(3, 4, 5);
        camera()->SetViewUp(0, 0, 1);
        w->findChild<QAction *>(c.action)->trigger();
        double p[3], f[3], up[3];
        camera()->GetPosition(p);
        camera()->GetFocalPoint(f);
        camera()->GetViewUp(up);
        const double d = std::sqrt((p[0] - f[0]) * (p[0] - f[0]) + (p[1] - f[1]) * (p[1] - f[1]) +
                                   (p[2] - f[2]) * (p[2] - f[2]));
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR((p[i] - f[i]) / d, c.direction[i], 1e-9);
            EXPECT_NEAR(up[i], c.up[i], 1e-9);
        }
        // Fitted: the whole 80 m grid is in sight, so the camera stands well back.
        EXPECT_GT(d, 40.0);
    }
}

TEST_F(View3DTest, CenterAlsoRecentresThe2DView)
{
    auto *item = a->find<PointCloudUI>("page_2d")->radarItem();
    item->setPos(120, 80);
    w->recv_actionCenter(true);
    EXPECT_EQ(item->pos(), QPointF(0, 0));
}

TEST_F(View3DTest, RotationsTurnTheCameraAQuarter)
{
    struct Case {
        void (MainWindow::*slot)(bool);
        std::vector<double> position;
        std::vector<double> up;
    };
    // From (0, 0, 40) with y up.
    const Case cases[] = {
        {&MainWindow::recv_actionRotateX, {0, 40, 0}, {0, 0, -1}},
        {&MainWindow::recv_actionRotateY, {40, 0, 0}, {0, 1, 0}},
        {&MainWindow::recv_actionRotateZ, {0, 0, 40}, {1, 0, 0}},
    };
    for (const Case &c : cases) {
        camera()->SetPosition(0, 0, 40);
        camera()->SetFocalPoint(0, 0, 0);
        camera()->SetViewUp(0, 1, 0);
        (w.get()->*c.slot)(true);
        double p[3], up[3];
        camera()->GetPosition(p);
        camera()->GetViewUp(up);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(p[i], c.position[i], 1e-6) << i;
            EXPECT_NEAR(up[i], c.up[i], 1e-6) << i;
        }
    }
}

TEST_F(View3DTest, ClearingTheCloudEmptiesBothViews)
{
    w->switchView(1);
    w->recv_framedata_2D(frameOf(6, 1.0f), LIDAR_RAXO_E);
    frame(frameOf(6, 1.0f));
    auto *item = a->find<PointCloudUI>("page_2d")->radarItem();
    ASSERT_EQ(item->points().size(), 6u);
    ASSERT_EQ(a->scene().cloud()->GetNumberOfPoints(), 6);

    a->onClearCloud();
    EXPECT_EQ(a->scene().cloud()->GetNumberOfPoints(), 0);
    EXPECT_EQ(a->scene().cloud()->GetNumberOfVerts(), 0);
    EXPECT_TRUE(a->scene().accumulatedCloud().empty());
    EXPECT_TRUE(a->scene().frameCounts().empty());
    EXPECT_TRUE(item->points().empty());

    // The next frame starts afresh.
    frame(frameOf(2));
    EXPECT_EQ(a->scene().accumulatedCloud().size(), 2u);

    // The stop message empties the drawn cloud too.
    w->recv_data(MSG_STOP, QByteArray());
    EXPECT_EQ(a->scene().cloud()->GetNumberOfPoints(), 0);
    EXPECT_TRUE(a->displayPaused());
}

// A reset empties the 3D cloud and the 2D view's points 200 ms later, not at once.
TEST_F(View3DTest, ResetEmptiesBothViewsAfter200Ms)
{
    struct Trigger {
        const char *name;
        std::function<void()> fire;
    };
    const Trigger triggers[] = {
        {"the reset slot", [this] { w->recv_reset(); }},
        {"the box page's static frame button",
         [this] { a->find<QPushButton>("pb_setstaticframe")->click(); }},
    };
    w->switchView(1);
    a->scene().framesKept() = 10;
    auto *item = a->find<PointCloudUI>("page_2d")->radarItem();
    for (const Trigger &t : triggers) {
        SCOPED_TRACE(t.name);
        w->recv_framedata_2D(frameOf(6, 1.0f), LIDAR_RAXO_E);
        frame(frameOf(6, 1.0f));
        frame(frameOf(4, 2.0f));
        ASSERT_EQ(a->scene().cloud()->GetNumberOfPoints(), 10);
        ASSERT_EQ(item->points().size(), 6u);

        QElapsedTimer clock;
        clock.start();
        t.fire();
        EXPECT_EQ(a->scene().cloud()->GetNumberOfPoints(), 10) << "not cleared at once";
        EXPECT_EQ(item->points().size(), 6u);
        // Both views stay as they are while the timer cannot have run yet. The clock is read
        // before each look: the timer runs only inside the waits.
        while (clock.elapsed() < 150) {
            if (a->scene().cloud()->GetNumberOfPoints() != 10 || a->scene().accumulatedCloud().size() != 10u ||
                item->points().size() != 6u) {
                ADD_FAILURE() << "cleared already at " << clock.elapsed() << " ms";
                break;
            }
            QTest::qWait(10);
        }

        ASSERT_TRUE(testsupport::wait_until(
            [&] { return a->scene().cloud()->GetNumberOfPoints() == 0 && item->points().empty(); }, 5000));
        EXPECT_GE(clock.elapsed(), 190) << "a 200 ms timer, give or take the clock's grain";
        EXPECT_EQ(a->scene().cloud()->GetNumberOfVerts(), 0);
        EXPECT_TRUE(a->scene().accumulatedCloud().empty());
        EXPECT_TRUE(a->scene().frameCounts().empty());

        // The next frame starts a fresh accumulation.
        frame(frameOf(2, 3.0f));
        EXPECT_EQ(a->scene().accumulatedCloud().size(), 2u);
        EXPECT_EQ(a->scene().cloud()->GetNumberOfPoints(), 2);
        a->onClearCloud();
    }
}

// A box that sends cache cleans back to back (or anyone with its address): the resets that come
// while a clear waits are done by it, and the clear renders at the tick, not on its own.
TEST_F(View3DTest, ResetsBackToBackClearOnceAndRenderAtTheTick)
{
    a->scene().framesKept() = 10;
    frame(frameOf(6, 1.0f));
    int renders = 0;
    vtkNew<vtkCallbackCommand> counter;
    counter->SetClientData(&renders);
    counter->SetCallback([](vtkObject *, unsigned long, void *data, void *) { ++*static_cast<int *>(data); });
    view()->renderWindow()->AddObserver(vtkCommand::EndEvent, counter);
    a->tickTimer()->stop(); // the test ticks by hand

    for (int i = 0; i < 2000; ++i)
        w->recv_reset();
    ASSERT_TRUE(testsupport::wait_until([&] { return a->scene().accumulatedCloud().empty(); }, 5000));
    EXPECT_EQ(a->scene().cloud()->GetNumberOfPoints(), 0);
    // The interactor's one-second timer may render meanwhile; a render per reset would be 2000.
    EXPECT_LE(renders, 1) << "drawn at the tick";
    EXPECT_TRUE(a->redrawFlag());
    const int before = renders;
    a->tick();
    EXPECT_EQ(renders, before + 1);

    // The next frame is not cleared by a reset of those: they were all done by the one clear.
    frame(frameOf(2, 3.0f));
    QTest::qWait(400);
    EXPECT_EQ(a->scene().accumulatedCloud().size(), 2u);
    view()->renderWindow()->RemoveObserver(counter);
    a->tickTimer()->start(100);
}

TEST_F(View3DTest, DebugImagesHideWithoutTheGreyImageBox)
{
    a->debugView().show();
    w->recv_debug_show(QByteArray(162002, '\0'));
    EXPECT_TRUE(a->debugView().isHidden());
}

// ---- the rectangle pick ----

class PickTest : public View3DTest {
protected:
    void SetUp() override
    {
        View3DTest::SetUp();
        a->scene().framesKept() = 1;
        frame(points);
        w->findChild<QAction *>("actionCircle")->trigger();
        ASSERT_TRUE(a->scene().circling());
    }
    void click(Qt::MouseButton b, QPoint at) { QTest::mouseClick(view(), b, {}, at); }
    std::vector<float> pickedX()
    {
        std::vector<float> out;
        for (const UserPointData &p : a->scene().selection())
            out.push_back(float(p.x)); // a copy: the packed field may sit at an odd address
        return out;
    }

    const std::vector<UserPointData> points = {pt(-6, 0, 0), pt(-2, 1, 0), pt(2, -1, 0), pt(6, 0, 0)};
};

TEST_F(PickTest, CornersInAnyOrderPickTheSamePoints)
{
    const QPoint lo = widgetPos(-3, -2, 0); // a rectangle around the two middle points
    const QPoint hi = widgetPos(3, 2, 0);
    const std::pair<QPoint, QPoint> orders[] = {
        {lo, hi},
        {hi, lo},
        {QPoint(lo.x(), hi.y()), QPoint(hi.x(), lo.y())},
        {QPoint(hi.x(), lo.y()), QPoint(lo.x(), hi.y())},
    };
    for (const auto &o : orders) {
        click(Qt::LeftButton, o.first);
        click(Qt::RightButton, o.second);
        EXPECT_EQ(pickedX(), std::vector<float>({-2, 2}));
        EXPECT_TRUE(a->displayPaused());
        a->displayPaused() = false;
    }
    EXPECT_EQ(a->scene().interactorStyle()->selectedIds()->GetNumberOfValues(), 2);
}

TEST_F(PickTest, APointOnTheEdgeIsPicked)
{
    const QPoint corner = widgetPos(6, 0, 0);
    click(Qt::LeftButton, widgetPos(1, -2, 0));
    click(Qt::RightButton, corner);
    EXPECT_EQ(pickedX(), std::vector<float>({2, 6}));

    // A second right click picks again with the first two corners.
    click(Qt::RightButton, corner - QPoint(5, 0));
    EXPECT_EQ(pickedX(), std::vector<float>({2, 6}));
}

TEST_F(PickTest, APickBecomesTheLimitsAndShowsThePanel)
{
    a->scene().frameCounts() = {3, 1};
    click(Qt::LeftButton, widgetPos(-3, -2, 0));
    click(Qt::RightButton, widgetPos(3, 2, 0));
    EXPECT_EQ(a->scene().frameCounts(), std::deque<int>({4}));
    EXPECT_TRUE(a->redrawFlag());
    EXPECT_TRUE(a->scene().limits().enable);
    EXPECT_FLOAT_EQ(a->scene().limits().x.min, -2.0f);
    EXPECT_FLOAT_EQ(a->scene().limits().x.max, 2.0f);
    EXPECT_EQ(a->find<QStackedWidget>("stackedWidget_2")->currentIndex(), 4);
    EXPECT_TRUE(w->propertyGroup()->button(4)->isChecked());
    EXPECT_FALSE(w->propertyGroup()->button(3)->isHidden());
    EXPECT_TRUE(a->displayPaused());

    // The next draw paints the picked points white and keeps the cloud as it was.
    a->tick();
    EXPECT_EQ(a->scene().accumulatedCloud().size(), 4u);
    const auto got = colours(a->scene().cloud());
    EXPECT_EQ(got[1], kWhite);
    EXPECT_EQ(got[2], kWhite);
    EXPECT_NE(got[0], kWhite);
}

TEST_F(PickTest, AnEmptyPickStillPausesAndShowsThePanel)
{
    click(Qt::LeftButton, widgetPos(10, 10, 0));
    click(Qt::RightButton, widgetPos(11, 11, 0));
    EXPECT_TRUE(a->scene().selection().empty());
    EXPECT_TRUE(a->displayPaused());
    EXPECT_EQ(a->find<QStackedWidget>("stackedWidget_2")->currentIndex(), 4);
    EXPECT_FALSE(a->logOperate()->isPlaying());
}

TEST_F(PickTest, WithoutCirclingClicksPickNothingAndTheCornerSurvives)
{
    click(Qt::LeftButton, widgetPos(-3, -2, 0));
    w->findChild<QAction *>("actionCircle")->trigger();
    EXPECT_FALSE(a->scene().circling());
    click(Qt::LeftButton, widgetPos(5, 5, 0));
    click(Qt::RightButton, widgetPos(3, 2, 0));
    EXPECT_TRUE(a->scene().selection().empty());
    EXPECT_FALSE(a->displayPaused());

    // On again: the first corner from before still counts.
    w->findChild<QAction *>("actionCircle")->trigger();
    click(Qt::RightButton, widgetPos(3, 2, 0));
    EXPECT_EQ(pickedX(), std::vector<float>({-2, 2}));
}

// ---- markers ----

class MarkerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        overlay.setClock([this] { return now; });
    }
    MarkerItem add(int id, bool expires = true, float lifetime = 1.0f)
    {
        const double c[3] = {1, 2, 3}, s[3] = {2, 4, 6}, rgb[3] = {1, 0, 0};
        overlay.add(id, 0, "car", c, s, rgb, 2.0, 20, true, expires, lifetime);
        return overlay.find(id);
    }
    vtkNew<vtkRenderer> renderer;
    MarkerOverlay overlay{renderer};
    uint64_t now = 1000000;
};

TEST_F(MarkerTest, BoxesStandAtTheCentreWithTheirSize)
{
    const MarkerItem item = add(7);
    ASSERT_NE(item.boxActor, nullptr);
    EXPECT_EQ(item.text, "car");
    EXPECT_FLOAT_EQ(item.lineWidth, 2.0f);
    EXPECT_EQ(item.lastUpdate, now);
    EXPECT_TRUE(renderer->HasViewProp(item.boxActor));
    item.boxActor->GetMapper()->Update();
    double b[6];
    item.boxActor->GetBounds(b);
    EXPECT_EQ(std::vector<double>(b, b + 6), std::vector<double>({0, 2, 0, 4, 0, 6}));

    now += 500;
    const double c[3] = {-5, 0, 1}, s[3] = {1, 1, 2};
    overlay.updatePose(7, c, s);
    item.boxActor->GetMapper()->Update();
    item.boxActor->GetBounds(b);
    EXPECT_EQ(std::vector<double>(b, b + 6), std::vector<double>({-5.5, -4.5, -0.5, 0.5, 0, 2}));
    EXPECT_EQ(overlay.find(7).lastUpdate, now);

    // A box stored flat (size 0) can still be given a size.
    const double zero[3] = {0, 0, 0}, rgb[3] = {0, 1, 0};
    overlay.add(8, 0, "", c, zero, rgb, 2.0, 20, true, true, 1.0f);
    overlay.updatePose(8, c, s);
    const MarkerItem flat = overlay.find(8);
    flat.boxActor->GetMapper()->Update();
    flat.boxActor->GetBounds(b);
    for (double v : b)
        EXPECT_TRUE(std::isfinite(v));
    EXPECT_EQ(std::vector<double>(b, b + 6), std::vector<double>({-5.5, -4.5, -0.5, 0.5, 0, 2}));

    // Absent ids.
    overlay.updatePose(99, c, s);
    EXPECT_EQ(overlay.find(99).id, -999);
    EXPECT_EQ(overlay.find(99).boxActor, nullptr);
    EXPECT_FALSE(overlay.remove(99));
}

TEST_F(MarkerTest, PurgeByLifetime)
{
    add(1);
    now += 1;
    add(2);
    add(3, false);
    now += 1000; // item 1 is 1001 ms old, item 2 exactly 1000
    overlay.purgeExpired();
    EXPECT_EQ(overlay.find(1).id, -999);
    EXPECT_EQ(overlay.find(2).id, 2);
    now += 1;
    overlay.purgeExpired();
    EXPECT_EQ(overlay.find(2).id, -999);
    now += 1000000;
    overlay.purgeExpired();
    EXPECT_EQ(overlay.find(3).id, 3);
    EXPECT_EQ(overlay.count(), 1u);
}

TEST_F(MarkerTest, RemoveClearAndOverwriteTakeTheActorsAway)
{
    const MarkerItem first = add(1);
    const MarkerItem again = add(1); // overwritten
    EXPECT_FALSE(renderer->HasViewProp(first.boxActor));
    EXPECT_TRUE(renderer->HasViewProp(again.boxActor));
    const MarkerItem other = add(2);
    EXPECT_TRUE(overlay.remove(1));
    EXPECT_FALSE(renderer->HasViewProp(again.boxActor));
    overlay.clear();
    EXPECT_FALSE(renderer->HasViewProp(other.boxActor));
    EXPECT_EQ(overlay.count(), 0u);
}

TEST_F(MarkerTest, TimerCallbackPurgesOnTimerEventsOnly)
{
    vtkNew<TimerCleanupCallback> callback;
    add(1);
    now += 5000;
    callback->Execute(nullptr, vtkCommand::TimerEvent, nullptr); // no target yet
    callback->setTarget(&overlay);
    callback->Execute(nullptr, vtkCommand::ModifiedEvent, nullptr);
    EXPECT_EQ(overlay.count(), 1u);
    callback->Execute(nullptr, 25, nullptr);
    EXPECT_EQ(overlay.count(), 0u);
}

// The interactor's own repeating timer runs the purge: an expired box goes without any call.
TEST_F(View3DTest, TheInteractorTimerPurgesExpiredMarkers)
{
    uint64_t now = 5000000;
    a->scene().markerOverlay()->setClock([&now] { return now; });
    const double c[3] = {0, 0, 0}, s[3] = {1, 1, 1}, rgb[3] = {1, 1, 0};
    a->scene().markerOverlay()->add(3, 0, "car", c, s, rgb, 2.0, 20, true, true, 1.0f);
    a->scene().markerOverlay()->add(4, 0, "car", c, s, rgb, 2.0, 20, true, false, 1.0f);
    now += 1001;
    EXPECT_TRUE(QTest::qWaitFor([&] { return a->scene().markerOverlay()->count() == 1; }, 5000));
    EXPECT_EQ(a->scene().markerOverlay()->find(4).id, 4);
}

TEST_F(View3DTest, ObjectListsBecomeMarkers)
{
    auto list = [](std::initializer_list<std::array<float, 7>> objects) {
        ObjectListMsg m{};
        for (const auto &o : objects) {
            TrackedObject &t = m.objects[m.count++];
            t.id = uint8_t(o[0]);
            t.center_x = o[1];
            t.center_y = o[2];
            t.center_z = o[3];
            t.length = o[4];
            t.width = o[5];
            t.height = o[6];
            t.class_index = 99;
        }
        return QByteArray(reinterpret_cast<const char *>(&m), sizeof m);
    };
    MarkerOverlay *overlay = a->scene().markerOverlay();
    a->showMarkers() = true;
    w->recv_data(MSG_ZONE_MONITOR, list({{4, 1, 2, 3, 2, 2, 2}, {5, -1, 0, 0, 1, 1, 1}, {4, 10, 10, 0, 4, 4, 4}}));
    ASSERT_EQ(overlay->count(), 2u);
    const MarkerItem four = overlay->find(4);
    EXPECT_EQ(four.text, "unknown");
    EXPECT_FLOAT_EQ(four.lineWidth, 2.0f);
    EXPECT_FLOAT_EQ(four.lifetime, 1.0f);
    EXPECT_TRUE(four.expires);
    for (double c : four.color)
        EXPECT_TRUE(c >= 0.0 && c < 1.0);
    // The repeated id moved the box.
    four.boxActor->GetMapper()->Update();
    double b[6];
    four.boxActor->GetBounds(b);
    EXPECT_EQ(std::vector<double>(b, b + 6), std::vector<double>({8, 12, 8, 12, -2, 2}));
    EXPECT_TRUE(a->scene().cloudRenderer()->HasViewProp(four.boxActor));

    // The next list replaces them all.
    w->recv_data(MSG_ZONE_MONITOR, list({{6, 0, 0, 0, 1, 1, 1}}));
    EXPECT_EQ(overlay->count(), 1u);
    EXPECT_FALSE(a->scene().cloudRenderer()->HasViewProp(four.boxActor));

    // Markers off: every box goes at once, the 2D view still gets the objects.
    a->showMarkers() = false;
    w->recv_data(MSG_ZONE_MONITOR, list({{1, 0, 0, 0, 1, 1, 1}, {2, 0, 0, 0, 1, 1, 1}, {3, 0, 0, 0, 1, 1, 1}}));
    EXPECT_EQ(overlay->count(), 0u);
    EXPECT_EQ(a->find<PointCloudUI>("page_2d")->radarItem()->objects().size(), 3u);
}
