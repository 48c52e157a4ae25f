// The 3D point view of the main window: the scene, the road of a frame to the rendered cloud,
// the 100 ms tick, the camera presets and the view switches, and the rectangle selection.

#include "mainwindow.h"

#include "colorhelpers.h"
#include "component_logoperate.h"
#include "dialog_alldata.h"
#include "dialog_debug.h"
#include "dialog_detect_raxo.h"
#include "dialog_parsedata.h"
#include "featurepoints.h"
#include "inisettings.h"
#include "markeroverlay.h"
#include "messagebox.h"
#include "myinteractorstyle.h"
#include "page_raxo_e.h"
#include "pointcloudui.h"
#include "timercleanupcallback.h"
#include "ui_mainwindow.h"

#include <QStringList>
#include <QVTKOpenGLNativeWidget.h>
#include <vtkCamera.h>
#include <vtkCaptionActor2D.h>
#include <vtkCommand.h>
#include <vtkGenericOpenGLRenderWindow.h>
#include <vtkLine.h>
#include <vtkPointData.h>
#include <vtkProperty.h>
#include <vtkRenderWindowInteractor.h>
#include <vtkTextActor.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

const char kDoc[] = "main_ini";

constexpr double kAxesLength = 40.0;
constexpr int kGridHalf = 40;
constexpr unsigned long kMarkerTimerMs = 1000;

// Colour components reach 8 bits clamped: the part-hide ramp of a 16-bit intensity (LAS and PCD
// playback) runs far outside 0 to 255, and wrapping would paint those points at random.
unsigned char to8(double v)
{
    if (!(v > 0.0))
        return 0;
    if (v >= 255.0)
        return 255;
    return static_cast<unsigned char>(v);
}

} // namespace

// ---- the scene ----

void MainWindow::initView3D()
{
    vtkRenderWindow *window = ui->openGLWidget->renderWindow();

    // 1. The cloud: one set of points, cells and colours, refilled in place at every draw.
    cloudPolyData = vtkSmartPointer<vtkPolyData>::New();
    cloudPoints = vtkSmartPointer<vtkPoints>::New();
    cloudPoints->SetDataTypeToFloat();
    cloudCells = vtkSmartPointer<vtkCellArray>::New();
    cloudOffsets = vtkSmartPointer<vtkIdTypeArray>::New();
    cloudConnectivity = vtkSmartPointer<vtkIdTypeArray>::New();
    cloudColours = vtkSmartPointer<vtkUnsignedCharArray>::New();
    cloudColours->SetNumberOfComponents(3);
    cloudColours->SetName("Colors");
    cloudPolyData->SetPoints(cloudPoints);
    cloudPolyData->SetVerts(cloudCells);
    cloudMapper = vtkSmartPointer<vtkPolyDataMapper>::New();
    cloudMapper->SetInputData(cloudPolyData);
    cloudActor = vtkSmartPointer<vtkActor>::New();
    cloudActor->SetMapper(cloudMapper);
    cloudActor->GetProperty()->SetPointSize(1);
    cloudActor->GetProperty()->SetColor(0, 1, 0);

    // 2. Axes, their captions at a fixed size whatever the zoom.
    axes = vtkSmartPointer<vtkAxesActor>::New();
    axes->SetTotalLength(kAxesLength, kAxesLength, kAxesLength);
    axes->SetShaftTypeToCylinder();
    axes->SetCylinderRadius(0.01);
    axes->SetConeRadius(0.1);
    for (vtkCaptionActor2D *caption :
         {axes->GetXAxisCaptionActor2D(), axes->GetYAxisCaptionActor2D(), axes->GetZAxisCaptionActor2D()})
        caption->GetTextActor()->SetTextScaleModeToNone();

    // 3. Renderer.
    if (renderer_ == nullptr)
        renderer_ = vtkSmartPointer<vtkRenderer>::New();
    renderer_->AddActor(cloudActor);
    renderer_->AddActor(axes);
    renderer_->SetBackground(0.1, 0.2, 0.3);
    renderer_->ResetCamera();
    window->AddRenderer(renderer_);

    // 4. Picker and interaction.
    areaPicker = vtkSmartPointer<vtkAreaPicker>::New();
    interactorStyle = vtkSmartPointer<MyInteractorStyle>::New();
    interactorStyle->setRenderer(renderer_);
    interactorStyle->setSelectCallback(&MainWindow::selectCallback);
    vtkRenderWindowInteractor *interactor = window->GetInteractor();
    if (interactor != nullptr) {
        interactor->SetInteractorStyle(interactorStyle);
        interactor->SetPicker(areaPicker);
    }

    // 5. Ground grid: 81 lines along y, then 81 along x.
    gridActors.clear();
    const auto addLine = [this](double x0, double y0, double x1, double y1) {
        vtkNew<vtkPoints> points;
        points->InsertNextPoint(x0, y0, 0.0);
        points->InsertNextPoint(x1, y1, 0.0);
        vtkNew<vtkLine> line;
        line->GetPointIds()->SetId(0, 0);
        line->GetPointIds()->SetId(1, 1);
        vtkNew<vtkCellArray> lines;
        lines->InsertNextCell(line);
        vtkNew<vtkPolyData> poly;
        poly->SetPoints(points);
        poly->SetLines(lines);
        vtkNew<vtkPolyDataMapper> mapper;
        mapper->SetInputData(poly);
        auto actor = vtkSmartPointer<vtkActor>::New();
        actor->SetMapper(mapper);
        actor->GetProperty()->SetColor(1, 1, 1);
        actor->GetProperty()->SetLineWidth(1);
        renderer_->AddActor(actor);
        gridActors.push_back(actor);
    };
    for (int g = -kGridHalf; g <= kGridHalf; ++g)
        addLine(g, -kGridHalf, g, kGridHalf);
    for (int h = -kGridHalf; h <= kGridHalf; ++h)
        addLine(-kGridHalf, h, kGridHalf, h);

    // 6. Background: three parts or the default stays; a part that is not a number is 0.
    const QStringList parts =
        QString::fromStdString(IniSettings::instance()->get_value("Standard", "Color", "0|0|0", kDoc))
            .split('|', Qt::KeepEmptyParts);
    if (parts.size() == 3)
        renderer_->SetBackground(parts[0].toUShort() / 255.0, parts[1].toUShort() / 255.0,
                                 parts[2].toUShort() / 255.0);

    // 7. Point size, as stored (only its low 8 bits).
    const std::string size = IniSettings::instance()->get_value("Standard", "PointSize", "1", kDoc);
    pointSize = uint8_t(std::atoi(size.c_str()) % 256);
    cloudActor->GetProperty()->SetPointSize(pointSize);
    ui->page_2d->setPointSize(pointSize);

    // 8. Markers.
    markerOverlay = new MarkerOverlay(renderer_);
    markerTimerCallback->setTarget(markerOverlay);

    // 9. The markers' purge timer.
    if (interactor != nullptr) {
        interactor->CreateRepeatingTimer(kMarkerTimerMs);
        interactor->AddObserver(vtkCommand::TimerEvent, markerTimerCallback, 0.0f);
    }

    // 10. Camera above the origin.
    vtkCamera *camera = renderer_->GetActiveCamera();
    camera->SetPosition(0, 0, 40);
    camera->SetFocalPoint(0, 0, 0);
    camera->SetViewUp(0, 1, 0);
    renderer_->ResetCameraClippingRange();
}

void MainWindow::renderView()
{
    ui->openGLWidget->renderWindow()->Render();
    ui->openGLWidget->update();
}

// ---- frames ----

void MainWindow::replaceCurrentFrame(std::vector<UserPointData> frame)
{
    currentFrame = std::move(frame);
    frameFresh = true;
}

// Every model's frames wait for the tick, Fenk-U's too: a Fenk-U whose data-type mask is not
// known yet posts a frame per data type, five a measurement, and drawing each at once left the
// GUI thread behind its queue. A frame arriving before the tick replaces the one before it.
void MainWindow::recv_framedata(std::vector<UserPointData> pointsdata, int lidartype)
{
    if (displayPaused)
        return;
    currentModel = uint8_t(lidartype);
    replaceCurrentFrame(std::move(pointsdata));
    redrawFlag = true;
}

void MainWindow::recv_framedata_2D(std::vector<UserPointData> pointsdata, int lidartype)
{
    if (displayPaused)
        return;
    currentModel = uint8_t(lidartype);
    currentFrame2D = std::move(pointsdata);
    redrawFlag = true;
}

void MainWindow::recv_timeout()
{
    if (redrawFlag) {
        showFrame();
        redrawFlag = false;
        flushLogQueue();
    } else if (pointTableStale && ui->page_spandata->isVisible()) {
        refreshPointTable();
    }
    updateAxes();
}

void MainWindow::updateAxes()
{
    // The shaft keeps its thickness on screen whatever the zoom.
    vtkCamera *camera = renderer_->GetActiveCamera();
    double p[3], f[3];
    camera->GetPosition(p);
    camera->GetFocalPoint(f);
    const double d = std::sqrt((p[0] - f[0]) * (p[0] - f[0]) + (p[1] - f[1]) * (p[1] - f[1]) +
                               (p[2] - f[2]) * (p[2] - f[2]));
    axes->SetCylinderRadius(0.0001 * d);
}

void MainWindow::showFrame()
{
    if (frameFresh) {
        frameCounts.push_back(int(currentFrame.size()));
        accumulatedCloud.insert(accumulatedCloud.end(), currentFrame.begin(), currentFrame.end());
        frameFresh = false;
    }
    // Compared as unsigned: a negative count never trims.
    while (frameCounts.size() > size_t(uint32_t(framesKept))) {
        const size_t c = std::min(size_t(std::max(frameCounts.front(), 0)), accumulatedCloud.size());
        frameCounts.pop_front();
        accumulatedCloud.erase(accumulatedCloud.begin(), accumulatedCloud.begin() + ptrdiff_t(c));
    }
    selection.clear();
    if (!partHide)
        buildPointsRGB(accumulatedCloud);
    else
        buildPointsRGBA(accumulatedCloud);
    refreshPointTable();
    if (ui->stackedWidget->currentIndex() == 1)
        ui->page_2d->setPoints(currentFrame2D);
    if (!selection.empty()) {
        ui->page_parse_data->parseFrame(selection);
        // The factory test judges the same floor points, shown or hidden; it ignores frames
        // while no run is in progress.
        if (detectRaxo != nullptr)
            detectRaxo->detectFrame(selection);
    }
}

void MainWindow::refreshPointTable()
{
    if (!ui->page_spandata->isVisible()) {
        pointTableStale = true;
        return;
    }
    ui->page_spandata->setData(selection.empty() ? accumulatedCloud : selection, true);
    pointTableStale = false;
}

void MainWindow::buildPointsRGB(const std::vector<UserPointData> &cloud)
{
    fillCloud(cloud, false);
}

void MainWindow::buildPointsRGBA(const std::vector<UserPointData> &cloud)
{
    fillCloud(cloud, true);
}

void MainWindow::fillCloud(const std::vector<UserPointData> &cloud, bool partHideColours)
{
    const vtkIdType n = vtkIdType(cloud.size());
    const int components = partHideColours ? 4 : 3;

    // The same arrays every time, resized: the pipeline behind them stays as it is.
    cloudPoints->SetNumberOfPoints(n);
    float *xyz = static_cast<float *>(cloudPoints->GetVoidPointer(0));
    cloudColours->SetNumberOfComponents(components);
    cloudColours->SetNumberOfTuples(n);
    unsigned char *rgba = cloudColours->GetPointer(0);
    if (cloudConnectivity->GetNumberOfValues() != n) {
        cloudOffsets->SetNumberOfValues(n + 1);
        cloudConnectivity->SetNumberOfValues(n);
        vtkIdType *offsets = cloudOffsets->GetPointer(0);
        vtkIdType *ids = cloudConnectivity->GetPointer(0);
        for (vtkIdType i = 0; i < n; ++i) {
            offsets[i] = i;
            ids[i] = i;
        }
        offsets[n] = n;
    }
    cloudCells->SetData(cloudOffsets, cloudConnectivity);

    float lo = 255.0f, hi = 0.0f;
    if (!partHideColours) {
        for (const UserPointData &p : cloud) {
            lo = std::min(lo, float(p.intensity));
            hi = std::max(hi, float(p.intensity));
        }
    }
    const bool limited = limits.enable;
    for (vtkIdType i = 0; i < n; ++i) {
        const UserPointData &p = cloud[size_t(i)];
        double colour[3];
        if (partHideColours)
            value_to_rgb(p.intensity, colour);
        else if (colourful)
            value_to_hue_rgb(lo, hi, p.intensity, colour);
        else
            value_to_hue_rgb(0, 255, p.intensity, colour);
        xyz[3 * i] = p.x;
        xyz[3 * i + 1] = p.y;
        xyz[3 * i + 2] = p.z;
        unsigned char *c = rgba + components * i;
        c[0] = to8(colour[0]);
        c[1] = to8(colour[1]);
        c[2] = to8(colour[2]);
        if (partHideColours)
            c[3] = 255;
        if (limited) {
            if (feature_points_inside(limits, p.x, p.y, p.z)) {
                selection.push_back(p);
                accumulatedCloud[size_t(i)].selected = 1;
                if (!partHideColours)
                    c[0] = c[1] = c[2] = 255;
            } else if (partHideColours) {
                c[0] = c[1] = c[2] = c[3] = 0;
            }
        }
    }

    cloudPoints->Modified();
    cloudColours->Modified();
    cloudCells->Modified();
    cloudPolyData->SetPoints(cloudPoints);
    cloudPolyData->SetVerts(cloudCells);
    cloudPolyData->GetPointData()->SetScalars(cloudColours);
    cloudPolyData->Modified();
    interactorStyle->setPolyData(cloudPolyData);

    axes->AxisLabelsOn();
    axes->SetTotalLength(kAxesLength, kAxesLength, kAxesLength);
    renderView();
}

void MainWindow::clearView3D()
{
    cloudPoints->SetNumberOfPoints(0);
    cloudColours->SetNumberOfTuples(0);
    cloudOffsets->SetNumberOfValues(1);
    cloudOffsets->SetValue(0, 0);
    cloudConnectivity->SetNumberOfValues(0);
    cloudCells->SetData(cloudOffsets, cloudConnectivity);
    cloudPoints->Modified();
    cloudCells->Modified();
    cloudColours->Modified();
    cloudPolyData->Modified();
    interactorStyle->setPolyData(cloudPolyData);
    renderView();
}

void MainWindow::onClearCloud()
{
    clearView3D();
    accumulatedCloud.clear();
    frameCounts.clear();
    ui->page_2d->clearPoints();
}

// ---- limits, frames kept, debug images ----

void MainWindow::recv_dataLimit(FeaturePoints data, bool isrun)
{
    limits = data;
    displayPaused = !isrun;
    ui->page_parse_data->setIsRun(isrun);
    logOperate->setPlayState(isrun);
    redrawFlag = true;
}

void MainWindow::recv_showtime(int time)
{
    // The Vimo-E page's range: more would let the cloud grow without end.
    framesKept = std::clamp(time, 0, 99);
    IniSettings::instance()->set_value("Standard", "showtime", std::to_string(framesKept), kDoc);
}

void MainWindow::recv_debug_show(QByteArray data)
{
    if (ui->page_raxo_e->isGrayImgShow()) {
        debugView.show();
        debugView.setCurrentPage(0);
        debugView.showImage(data);
    } else {
        debugView.hide();
    }
}

// ---- camera ----

void MainWindow::cameraPreset(const double position[3], const double viewUp[3])
{
    vtkCamera *camera = renderer_->GetActiveCamera();
    camera->SetPosition(position[0], position[1], position[2]);
    camera->SetFocalPoint(0, 0, 0);
    camera->SetViewUp(viewUp[0], viewUp[1], viewUp[2]);
    renderer_->ResetCamera();
    ui->openGLWidget->renderWindow()->Render();
}

void MainWindow::recv_actionUp(bool)
{
    const double p[3] = {0, 5, 0}, up[3] = {0, 0, 1};
    cameraPreset(p, up);
}

void MainWindow::recv_actionBottom(bool)
{
    const double p[3] = {0, -5, 0}, up[3] = {0, 0, -1};
    cameraPreset(p, up);
}

void MainWindow::recv_actionFront(bool)
{
    const double p[3] = {0, 0, 5}, up[3] = {0, 1, 0};
    cameraPreset(p, up);
}

void MainWindow::recv_actionBack(bool)
{
    const double p[3] = {0, 0, -5}, up[3] = {0, -1, 0};
    cameraPreset(p, up);
}

void MainWindow::recv_actionLeft(bool)
{
    const double p[3] = {5, 0, 0}, up[3] = {0, 1, 0};
    cameraPreset(p, up);
}

void MainWindow::recv_actionRight(bool)
{
    const double p[3] = {-5, 0, 0}, up[3] = {0, 1, 0};
    cameraPreset(p, up);
}

void MainWindow::recv_actionCenter(bool)
{
    const double p[3] = {0, 0, 1}, up[3] = {0, 1, 0};
    cameraPreset(p, up);
    ui->page_2d->setscancenter(true);
}

void MainWindow::recv_actionRotateX(bool)
{
    vtkCamera *camera = renderer_->GetActiveCamera();
    camera->Elevation(90);
    camera->OrthogonalizeViewUp();
    renderer_->ResetCameraClippingRange();
    renderView();
}

void MainWindow::recv_actionRotateY(bool)
{
    renderer_->GetActiveCamera()->Azimuth(90);
    renderView();
}

void MainWindow::recv_actionRotateZ(bool)
{
    renderer_->GetActiveCamera()->Roll(90);
    renderView();
}

// ---- point size, background, switches ----

void MainWindow::setPointSize(uint8_t size)
{
    pointSize = size;
    cloudActor->GetProperty()->SetPointSize(pointSize);
    ui->page_2d->setPointSize(pointSize);
}

void MainWindow::logPointSize()
{
    appendLog(msg_type_text(MSG_WARM), tr("point size set:%1").arg(pointSize));
    IniSettings::instance()->set_value("Standard", "PointSize", std::to_string(pointSize), kDoc);
}

void MainWindow::recv_actionZoomIn(bool)
{
    if (pointSize > 1)
        setPointSize(uint8_t(pointSize - 1));
    logPointSize();
}

void MainWindow::recv_actionZoomOut(bool)
{
    if (pointSize < 5)
        setPointSize(uint8_t(pointSize + 1));
    logPointSize();
}

void MainWindow::recv_actionBGColor(bool)
{
    const QColor colour = choose_color(backgroundColour, this, QString());
    if (!colour.isValid())
        return;
    backgroundColour = colour;
    renderer_->SetBackground(colour.red() / 255.0, colour.green() / 255.0, colour.blue() / 255.0);
    renderView();
    ui->page_2d->setBackground(colour);
    IniSettings::instance()->set_value(
        "Standard", "Color",
        QString("%1|%2|%3").arg(colour.red()).arg(colour.green()).arg(colour.blue()).toStdString(), kDoc);
}

void MainWindow::recv_actionCoodinate(bool checked)
{
    if (checked)
        renderer_->AddActor(axes);
    else
        renderer_->RemoveActor(axes);
    renderView();
}

void MainWindow::recv_actionGrid(bool checked)
{
    for (const auto &line : gridActors) {
        if (checked)
            renderer_->AddActor(line);
        else
            renderer_->RemoveActor(line);
    }
    renderView();
}

void MainWindow::recv_actionPartHide(bool checked)
{
    partHide = checked;
}

void MainWindow::recv_actionColorful(bool checked)
{
    colourful = checked;
}

// ---- rectangle selection ----

void MainWindow::recv_actionCircle(bool checked)
{
    circling = checked;
    interactorStyle->setCircleEnable(checked);
    ui->page_2d->setShowObjects(checked);
}

void MainWindow::selectCallback(void *, vtkIdTypeArray *ids)
{
    MainWindow::instance()->setSelectData(ids);
}

void MainWindow::setSelectData(vtkIdTypeArray *ids)
{
    selection.clear();
    const vtkIdType n = ids != nullptr ? ids->GetNumberOfValues() : 0;
    for (vtkIdType k = 0; k < n; ++k) {
        const vtkIdType id = ids->GetValue(k);
        // The cloud the pick ran on is the one last drawn; an id past the cloud is none of ours.
        if (id >= 0 && size_t(id) < accumulatedCloud.size())
            selection.push_back(accumulatedCloud[size_t(id)]);
    }
    frameCounts.assign(1, int(accumulatedCloud.size()));
    redrawFlag = true;
    limits = ui->page_parse_data->selectPoints(selection);
    for (int id : {3, 4})
        propertyGroup_->button(id)->show();
    ui->frame_func->show();
    ui->stackedWidget->setCurrentIndex(0);
    ui->stackedWidget_2->setCurrentIndex(4);
    propertyGroup_->button(4)->setChecked(true);
    displayPaused = true;
    logOperate->setPlayState(false);
    ui->page_parse_data->setIsRun(false);
}
