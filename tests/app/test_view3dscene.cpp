// The 3D scene on its own, in a bare view and through its public interface only: how the frames
// it is fed accumulate and trim, what each of its clears forgets, where a pick goes, and the
// signals a zoom step sends. The window's tests cover the same scene as the user meets it.

#include "view3dscene.h"

#include "appsettings.h"
#include "inisettings.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QVTKOpenGLNativeWidget.h>

#include <vtkCamera.h>
#include <vtkCoordinate.h>
#include <vtkGenericOpenGLRenderWindow.h>
#include <vtkNew.h>

#include <cmath>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace {

const char kDoc[] = "main_ini";

UserPointData pt(float x, float y = 0.0f)
{
    UserPointData p;
    p.x = x;
    p.y = y;
    p.intensity = 100;
    return p;
}

std::vector<UserPointData> frameOf(int n)
{
    std::vector<UserPointData> f;
    for (int i = 0; i < n; ++i)
        f.push_back(pt(float(i) * 0.01f));
    return f;
}

// What a depth camera 50 x 30 points wide sees of a wall `distance` metres away, ±30 degrees
// across and ±20 degrees up and down: a patch facing `direction` (a unit vector from the
// sensor), its middle on that line. Intensity 64 paints it cyan.
std::vector<UserPointData> wallAt(const double direction[3], double distance)
{
    const double *d = direction;
    const double helper[3] = {0, std::fabs(d[2]) > 0.9 ? 1.0 : 0.0, std::fabs(d[2]) > 0.9 ? 0.0 : 1.0};
    const double u[3] = {d[1] * helper[2] - d[2] * helper[1], d[2] * helper[0] - d[0] * helper[2],
                         d[0] * helper[1] - d[1] * helper[0]};
    const double v[3] = {d[1] * u[2] - d[2] * u[1], d[2] * u[0] - d[0] * u[2], d[0] * u[1] - d[1] * u[0]};
    const double across = distance * std::tan(30 * M_PI / 180);
    const double upDown = distance * std::tan(20 * M_PI / 180);
    std::vector<UserPointData> wall;
    for (int i = 0; i < 50; ++i) {
        for (int j = 0; j < 30; ++j) {
            const double a = across * (2 * i / 49.0 - 1);
            const double b = upDown * (2 * j / 29.0 - 1);
            UserPointData p;
            p.x = float(d[0] * distance + a * u[0] + b * v[0]);
            p.y = float(d[1] * distance + a * u[1] + b * v[1]);
            p.z = float(d[2] * distance + a * u[2] + b * v[2]);
            p.intensity = 64;
            wall.push_back(p);
        }
    }
    return wall;
}

// Pixels of a kind in the middle of a picture (the middle quarter of its width and height).
int inTheMiddle(const QImage &img, const std::function<bool(QRgb)> &kind)
{
    int n = 0;
    for (int y = img.height() * 3 / 8; y < img.height() * 5 / 8; ++y)
        for (int x = img.width() * 3 / 8; x < img.width() * 5 / 8; ++x)
            n += kind(img.pixel(x, y)) ? 1 : 0;
    return n;
}

// The wall's colour, (20, 204, 204), also where the edge of a point is blended with what lies
// under it.
bool cyan(QRgb c)
{
    const int r = qRed(c), g = qGreen(c), b = qBlue(c);
    return g - r > 40 && b - r > 40 && std::abs(g - b) < 40;
}

// The axes' colours, lit: x red, y green, z blue.
bool axisColour(QRgb c)
{
    const int r = qRed(c), g = qGreen(c), b = qBlue(c);
    return (r > 120 && g < 60 && b < 60) || (g > 120 && r < 60 && b < 60) || (b > 120 && r < 60 && g < 60);
}

std::vector<float> xs(const std::vector<UserPointData> &cloud)
{
    std::vector<float> out;
    for (const UserPointData &p : cloud)
        out.push_back(float(p.x)); // a copy: the packed field may sit at an odd address
    return out;
}

// What the interaction style handed on, as the window's callback receives it.
std::vector<vtkIdType> g_picked;
int g_picks = 0;

void recordPick(void *, vtkIdTypeArray *ids)
{
    ++g_picks;
    g_picked.clear();
    for (vtkIdType k = 0; ids != nullptr && k < ids->GetNumberOfValues(); ++k)
        g_picked.push_back(ids->GetValue(k));
}

class View3DSceneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        load_test_settings();
        IniSettings::instance()->set_value("Standard", "Color", "0|0|0", kDoc);
        IniSettings::instance()->set_value("Standard", "PointSize", "1", kDoc);
        g_picked.clear();
        g_picks = 0;
        view = std::make_unique<QVTKOpenGLNativeWidget>();
        vtkNew<vtkGenericOpenGLRenderWindow> window;
        view->setRenderWindow(window);
        view->resize(400, 300);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        scene = std::make_unique<View3DScene>(view.get(), &recordPick);
    }
    void TearDown() override
    {
        scene.reset();
        view.reset();
    }
    void frame(int n)
    {
        scene->replaceCurrentFrame(frameOf(n));
        scene->draw();
    }

    std::unique_ptr<QVTKOpenGLNativeWidget> view;
    std::unique_ptr<View3DScene> scene;
};

} // namespace

TEST_F(View3DSceneTest, FramesKeptCountsFramesNotPoints)
{
    enum Op { Frame, Redraw, Keep, PickAll };
    struct Step {
        Op op;
        int n;
    };
    struct Case {
        const char *name;
        std::vector<Step> steps;
        size_t points;
    };
    const Case cases[] = {
        {"a negative count never trims", {{Keep, -1}, {Frame, 5}, {Frame, 6}, {Frame, 7}}, 18},
        {"a lower count trims at the next draw, new frame or not",
         {{Keep, 10}, {Frame, 4}, {Frame, 5}, {Frame, 6}, {Keep, 1}, {Redraw, 0}},
         6},
        {"an empty frame is one of those kept", {{Keep, 2}, {Frame, 4}, {Frame, 0}, {Frame, 6}}, 6},
        // A pick makes the whole cloud one frame (without it: 4 + 5 + 6, and 4 + 5).
        {"a pick merges the cloud", {{Keep, 3}, {Frame, 3}, {Frame, 4}, {PickAll, 0}, {Frame, 5}, {Frame, 6}}, 18},
        {"a merged cloud counts once", {{Keep, 2}, {Frame, 3}, {Frame, 4}, {PickAll, 0}, {Frame, 5}}, 12},
    };
    const int actors = scene->renderer()->GetActors()->GetNumberOfItems();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        scene->resetFrames();
        for (const Step &s : c.steps) {
            switch (s.op) {
            case Frame:
                frame(s.n);
                break;
            case Redraw:
                scene->draw();
                break;
            case Keep:
                scene->setFramesKept(s.n);
                break;
            case PickAll: {
                vtkNew<vtkIdTypeArray> ids;
                for (vtkIdType i = 0; i < vtkIdType(scene->accumulatedCloud().size()); ++i)
                    ids->InsertNextValue(i);
                scene->pick(ids);
                break;
            }
            }
        }
        EXPECT_EQ(scene->accumulatedCloud().size(), c.points);
        EXPECT_EQ(scene->renderer()->GetActors()->GetNumberOfItems(), actors) << "one pipeline, refilled";
    }
}

TEST_F(View3DSceneTest, EachClearForgetsWhatItSays)
{
    scene->setFramesKept(10);
    frame(3);
    frame(4);
    scene->replaceCurrentFrame(frameOf(5)); // arrived, not drawn yet

    // The view only: the next draw brings back what was accumulated, and the waiting frame.
    scene->clearView();
    EXPECT_EQ(scene->accumulatedCloud().size(), 7u);
    scene->draw();
    EXPECT_EQ(scene->accumulatedCloud().size(), 12u);

    // The cloud: nothing comes back at the next draw, the current frame is not drawn twice.
    scene->clear();
    EXPECT_TRUE(scene->accumulatedCloud().empty());
    EXPECT_EQ(scene->currentFrame().size(), 5u);
    scene->draw();
    EXPECT_TRUE(scene->accumulatedCloud().empty());

    // Everything: a frame that arrived before a stop is never drawn after it.
    frame(2);
    scene->replaceCurrentFrame(frameOf(6));
    scene->resetFrames();
    EXPECT_TRUE(scene->currentFrame().empty());
    scene->draw();
    EXPECT_TRUE(scene->accumulatedCloud().empty());
}

TEST_F(View3DSceneTest, PicksGoToTheGivenCallbackAndTakeOnlyIdsOfTheDrawnCloud)
{
    scene->setFramesKept(1);
    scene->replaceCurrentFrame({pt(-6), pt(-2, 1), pt(2, -1), pt(6)});
    scene->draw();
    scene->setCircling(true);
    const auto at = [this](double x, double y) {
        vtkNew<vtkCoordinate> c;
        c->SetCoordinateSystemToWorld();
        c->SetValue(x, y, 0.0);
        const int *d = c->GetComputedDisplayValue(scene->renderer());
        return QPoint(d[0], view->height() - 1 - d[1]);
    };
    QTest::mouseClick(view.get(), Qt::LeftButton, {}, at(-3, -2));
    QTest::mouseClick(view.get(), Qt::RightButton, {}, at(3, 2));
    ASSERT_EQ(g_picks, 1);
    EXPECT_EQ(g_picked, std::vector<vtkIdType>({1, 2}));
    EXPECT_TRUE(scene->selection().empty()) << "the scene waits for the window to hand the pick back";

    // Ids past either end of the cloud are none of its points.
    vtkNew<vtkIdTypeArray> ids;
    for (vtkIdType id : {vtkIdType(1), vtkIdType(-1), vtkIdType(3), vtkIdType(4), vtkIdType(99)})
        ids->InsertNextValue(id);
    scene->pick(ids);
    EXPECT_EQ(xs(scene->selection()), std::vector<float>({-2, 6}));
    scene->pick(nullptr);
    EXPECT_TRUE(scene->selection().empty());

    // Without circling the clicks only turn the camera.
    scene->setCircling(false);
    QTest::mouseClick(view.get(), Qt::LeftButton, {}, at(-3, -2));
    QTest::mouseClick(view.get(), Qt::RightButton, {}, at(3, 2));
    EXPECT_EQ(g_picks, 1);
}

TEST_F(View3DSceneTest, ZoomLogsEveryStepAndSignalsOnlyChanges)
{
    QSignalSpy lines(scene.get(), &View3DScene::logLine);
    QSignalSpy sizes(scene.get(), &View3DScene::pointSizeChanged);
    scene->zoomIn(); // already the smallest
    for (int i = 0; i < 5; ++i)
        scene->zoomOut();
    EXPECT_EQ(scene->pointSize(), 5);
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines.first().at(1).toString(), QString("point size set:1"));
    EXPECT_EQ(lines.last().at(1).toString(), QString("point size set:5"));
    ASSERT_EQ(sizes.size(), 4);
    EXPECT_EQ(sizes.first().at(0).toInt(), 2);
    EXPECT_EQ(sizes.last().at(0).toInt(), 5);
    EXPECT_EQ(IniSettings::instance()->get_value("Standard", "PointSize", "", kDoc), "5");
}

// From the starting camera and after every preset, a wall 3 m and 20 m from the sensor, on the
// camera's side and beyond the sensor, shows in the middle of the view as it does with the axes
// and the grid turned off. Without the wall the middle is not taken by an axis: the axes stop
// well short of the camera and are still drawn.
TEST_F(View3DSceneTest, ACloudNearTheSensorIsSeenAtTheStartAndAfterEveryPreset)
{
    view->resize(800, 600);
    // A pixel is the wall's or not: no edge of a point blended with what lies under it.
    view->renderWindow()->SetMultiSamples(0);
    QCoreApplication::processEvents();
    scene->setFramesKept(1);
    scene->zoomOut(); // points of 2 pixels
    struct View {
        const char *name;
        int preset; // -1: the camera as the scene starts
    };
    const View views[] = {{"start", -1},
                          {"up", int(View3DScene::CameraView::Up)},
                          {"bottom", int(View3DScene::CameraView::Bottom)},
                          {"front", int(View3DScene::CameraView::Front)},
                          {"back", int(View3DScene::CameraView::Back)},
                          {"left", int(View3DScene::CameraView::Left)},
                          {"right", int(View3DScene::CameraView::Right)},
                          {"center", int(View3DScene::CameraView::Center)}};
    const auto grab = [this] {
        view->renderWindow()->Render();
        return view->grabFramebuffer();
    };
    const auto scenery = [this](bool on) {
        scene->setAxesVisible(on);
        scene->setGridVisible(on);
    };
    for (const View &v : views) {
        SCOPED_TRACE(v.name);
        scene->replaceCurrentFrame({});
        scene->draw();
        if (v.preset >= 0)
            scene->lookFrom(View3DScene::CameraView(v.preset));
        vtkCamera *camera = scene->renderer()->GetActiveCamera();
        double towardsCamera[3];
        camera->GetDirectionOfProjection(towardsCamera);
        for (double &c : towardsCamera)
            c = -c;

        // The empty scene: the axes show, and none of them fills the middle.
        const QImage empty = grab();
        int axisPixels = 0;
        for (int y = 0; y < empty.height(); ++y)
            for (int x = 0; x < empty.width(); ++x)
                axisPixels += axisColour(empty.pixel(x, y)) ? 1 : 0;
        EXPECT_GT(axisPixels, 500) << "the axes are drawn";
        const int middle = empty.width() * empty.height() / 16;
        EXPECT_LT(inTheMiddle(empty, axisColour), middle / 10) << "of " << middle;
        empty.save(QString("%1/view3d-%2-empty.png").arg(QCoreApplication::applicationDirPath(), v.name));

        for (double distance : {3.0, 20.0}) {
            for (double side : {1.0, -1.0}) {
                SCOPED_TRACE(testing::Message() << distance << " m " << (side > 0 ? "towards the camera" : "beyond"));
                const double direction[3] = {side * towardsCamera[0], side * towardsCamera[1],
                                             side * towardsCamera[2]};
                scene->replaceCurrentFrame(wallAt(direction, distance));
                scene->draw();
                const QImage shown = grab();
                scenery(false);
                const QImage alone = grab();
                scenery(true);
                const int seen = inTheMiddle(shown, cyan);
                const int all = inTheMiddle(alone, cyan);
                EXPECT_GT(all, 20) << "the wall lies in the middle of the view";
                EXPECT_GE(seen, all * 95 / 100) << "of the wall's " << all << " pixels in the middle";
                if (distance == 3.0 && side > 0)
                    shown.save(QString("%1/view3d-%2-wall.png").arg(QCoreApplication::applicationDirPath(), v.name));
            }
        }
    }
}
