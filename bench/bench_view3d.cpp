// One redraw of the 3D view over 1,000,000 accumulated points under Xvfb: the main window's
// draw (poly data refilled in place, intensity colours, render) beside a bare VTK pipeline that
// builds the same points, vertices and colours into new objects and renders them in the same
// renderer. Goal: the window's redraw at most 1.3x the bare pipeline.
//   BM_bare_pipeline new points, cells, colours, poly data, mapper and actor, rendered
//   BM_bare_arrays   the same new arrays and poly data into one mapper kept in the renderer: a
//                    VTK program's cheapest rebuild, shown beside the goal's baseline
//   BM_redraw        the tick's whole draw: trim, colours, render, the point table's copy
//   BM_buildPointsRGB the poly data rebuild and render alone
// Runs inside its own network namespace (isolatednetwork.h).

#include "colorhelpers.h"
#include "inisettings.h"
#include "isolatednetwork.h"
#include "mainwindowaccess.h"
#include "ratioreporter.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QLoggingCategory>
#include <QSurfaceFormat>
#include <QTest>
#include <QVTKOpenGLNativeWidget.h>

#include <vtkActor.h>
#include <vtkCellArray.h>
#include <vtkIdTypeArray.h>
#include <vtkNew.h>
#include <vtkPointData.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkPolyDataMapper.h>
#include <vtkRenderWindow.h>
#include <vtkUnsignedCharArray.h>

#include <cmath>
#include <random>

namespace {

constexpr int kPoints = 1000000;

MainWindow *g_window = nullptr;

// Ten frames of a Raxo-like scan of walls and floor, with intensities over the whole byte.
const std::vector<UserPointData> &cloud()
{
    static const std::vector<UserPointData> pts = [] {
        std::vector<UserPointData> v;
        v.reserve(kPoints);
        std::mt19937 rng(5489);
        std::uniform_real_distribution<float> az(-3.1f, 3.1f), el(-0.4f, 0.4f), r(2.0f, 30.0f);
        for (int i = 0; i < kPoints; ++i) {
            const float a = az(rng), e = el(rng), d = r(rng);
            UserPointData p;
            p.x = d * std::cos(e) * std::cos(a);
            p.y = d * std::cos(e) * std::sin(a);
            p.z = d * std::sin(e);
            p.intensity = uint16_t(i % 256);
            v.push_back(p);
        }
        return v;
    }();
    return pts;
}

// keepMapper: new points, cells, colours and poly data each time, handed to one mapper and
// actor that stay in the renderer; else the whole pipeline is new each time.
void runBare(benchmark::State &state, bool keepMapper)
{
    MainWindowTestAccess a(*g_window);
    vtkRenderer *renderer = g_window->renderer();
    renderer->RemoveActor(a.scene().cloudActor());
    vtkNew<vtkPolyDataMapper> keptMapper;
    vtkNew<vtkActor> keptActor;
    keptActor->SetMapper(keptMapper);
    if (keepMapper)
        renderer->AddActor(keptActor);
    const auto &pts = cloud();
    for (auto _ : state) {
        // New objects every time, filled through their raw arrays: the quickest way to hand
        // VTK a cloud, and so the strictest baseline.
        const vtkIdType n = vtkIdType(pts.size());
        vtkNew<vtkPoints> points;
        points->SetDataTypeToFloat();
        points->SetNumberOfPoints(n);
        float *xyz = static_cast<float *>(points->GetVoidPointer(0));
        vtkNew<vtkIdTypeArray> offsets, ids;
        offsets->SetNumberOfValues(n + 1);
        ids->SetNumberOfValues(n);
        vtkNew<vtkUnsignedCharArray> colours;
        colours->SetNumberOfComponents(3);
        colours->SetNumberOfTuples(n);
        unsigned char *rgb = colours->GetPointer(0);
        for (vtkIdType i = 0; i < n; ++i) {
            const UserPointData &p = pts[size_t(i)];
            xyz[3 * i] = p.x;
            xyz[3 * i + 1] = p.y;
            xyz[3 * i + 2] = p.z;
            offsets->SetValue(i, i);
            ids->SetValue(i, i);
            double c[3];
            value_to_hue_rgb(0, 255, p.intensity, c);
            rgb[3 * i] = (unsigned char)c[0];
            rgb[3 * i + 1] = (unsigned char)c[1];
            rgb[3 * i + 2] = (unsigned char)c[2];
        }
        offsets->SetValue(n, n);
        vtkNew<vtkCellArray> verts;
        verts->SetData(offsets, ids);
        vtkNew<vtkPolyData> poly;
        poly->SetPoints(points);
        poly->SetVerts(verts);
        poly->GetPointData()->SetScalars(colours);
        if (keepMapper) {
            keptMapper->SetInputData(poly);
            renderer->GetRenderWindow()->Render();
            continue;
        }
        vtkNew<vtkPolyDataMapper> mapper;
        mapper->SetInputData(poly);
        vtkNew<vtkActor> actor;
        actor->SetMapper(mapper);
        renderer->AddActor(actor);
        renderer->GetRenderWindow()->Render();
        renderer->RemoveActor(actor);
    }
    renderer->RemoveActor(keptActor);
    renderer->AddActor(a.scene().cloudActor());
    state.SetItemsProcessed(int64_t(state.iterations()) * kPoints);
}

void BM_bare_pipeline(benchmark::State &state)
{
    runBare(state, false);
}

void BM_bare_arrays(benchmark::State &state)
{
    runBare(state, true);
}

void BM_buildPointsRGB(benchmark::State &state)
{
    MainWindowTestAccess a(*g_window);
    a.scene().accumulatedCloud() = cloud();
    for (auto _ : state)
        a.scene().buildPointsRGB(a.scene().accumulatedCloud());
    state.SetItemsProcessed(int64_t(state.iterations()) * kPoints);
}

void BM_redraw(benchmark::State &state)
{
    MainWindowTestAccess a(*g_window);
    a.scene().framesKept() = 10;
    a.scene().accumulatedCloud() = cloud();
    a.scene().frameCounts().assign(10, kPoints / 10);
    if (state.range(0) < kPoints) {
        a.scene().accumulatedCloud().resize(size_t(state.range(0)));
        a.scene().frameCounts().assign(1, int(state.range(0)));
    }
    for (auto _ : state)
        a.showFrame();
    state.SetItemsProcessed(int64_t(state.iterations()) * kPoints);
}

// The scene without a cloud: grid, axes and the window's blit. What every draw pays whatever
// the number of points.
void BM_render_scene(benchmark::State &state)
{
    MainWindowTestAccess a(*g_window);
    a.scene().accumulatedCloud().clear();
    a.scene().frameCounts().clear();
    a.showFrame();
    for (auto _ : state)
        g_window->renderer()->GetRenderWindow()->Render();
}

// A redraw of one Raxo scan and the widget's paint that follows it on the screen.
void BM_redraw_painted(benchmark::State &state)
{
    MainWindowTestAccess a(*g_window);
    a.scene().framesKept() = 1;
    a.scene().accumulatedCloud() = cloud();
    a.scene().accumulatedCloud().resize(55200);
    a.scene().frameCounts().assign(1, 55200);
    for (auto _ : state) {
        a.showFrame();
        QApplication::processEvents();
    }
}

} // namespace

// The window's draws first: a run of the bare pipeline leaves the GL driver releasing the
// buffers of its many mappers, which slowed whatever ran after it by half.
BENCHMARK(BM_render_scene)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_redraw_painted)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_buildPointsRGB)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_redraw)->Arg(kPoints)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
// One Raxo scan, the cloud of a Raxo session's draw.
BENCHMARK(BM_redraw)->Arg(55200)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_bare_arrays)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_bare_pipeline)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

int main(int argc, char **argv)
{
    if (!only_loopback())
        return 2;
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    QSurfaceFormat::setDefaultFormat(QVTKOpenGLNativeWidget::defaultFormat());
    QApplication app(argc, argv);
    const QString dir = QDir::tempPath();
    IniSettings::instance()->load(dir.toStdString(), "/QuorvelView3D.ini", "main_ini");
    MainWindow window;
    g_window = &window;
    QTest::qWaitForWindowExposed(&window);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter("ratio to the bare VTK pipeline (goal: 1.3 or less)",
                           {{"BM_buildPointsRGB", "BM_bare_pipeline", "1.3"},
                            {"BM_redraw", "BM_bare_pipeline", "1.3"},
                            {"BM_buildPointsRGB", "BM_bare_arrays", ""},
                            {"BM_redraw", "BM_bare_arrays", ""}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
