#include "view3dscene.h"

#include "colorhelpers.h"
#include "inisettings.h"
#include "markeroverlay.h"
#include "pointcloudanomalydetector.h"
#include "settingsdocument.h"
#include "timercleanupcallback.h"

#include <QStringList>
#include <QVTKOpenGLNativeWidget.h>
#include <vtkCamera.h>
#include <vtkCaptionActor2D.h>
#include <vtkCommand.h>
#include <vtkGenericOpenGLRenderWindow.h>
#include <vtkLine.h>
#include <vtkMath.h>
#include <vtkNew.h>
#include <vtkPointData.h>
#include <vtkProperty.h>
#include <vtkRenderWindowInteractor.h>
#include <vtkTextActor.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <string>

namespace {

// The axes' length as the presets fit the camera to them.
constexpr double kAxesLength = 40.0;
// The share of the camera's distance the axes reach: a preset's fitted camera (some 268 m away)
// shows them at their 40 m, and from nearer they shrink with the distance instead of reaching
// past the camera, whose view they would fill with the cone of the axis pointing at it.
constexpr double kAxesShare = 0.15;
// The shaft's radius against the camera's distance, for shafts kAxesLength long.
constexpr double kShaftRadiusPerDistance = 0.0001;
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

struct Preset {
    double position[3];
    double viewUp[3];
};

// By CameraView.
const Preset kPresets[] = {
    {{0, 5, 0}, {0, 0, 1}},   // Up
    {{0, -5, 0}, {0, 0, -1}}, // Bottom
    {{0, 0, 5}, {0, 1, 0}},   // Front
    {{0, 0, -5}, {0, -1, 0}}, // Back
    {{5, 0, 0}, {0, 1, 0}},   // Left
    {{-5, 0, 0}, {0, 1, 0}},  // Right
    {{0, 0, 1}, {0, 1, 0}},   // Center
};

} // namespace

View3DScene::View3DScene(QVTKOpenGLNativeWidget *view, MyInteractorStyle::SelectCallback onPick, QObject *parent)
    : QObject(parent), view_(view)
{
    randomGen_.seed(uint32_t(std::time(nullptr)));
    markerTimerCallback_ = vtkSmartPointer<TimerCleanupCallback>::New();
    build(onPick);
}

View3DScene::~View3DScene()
{
    // The view can render once more after the scene is gone.
    renderer_->RemoveObserver(sceneryObserver_);
    cloudRenderer_->RemoveObserver(cloudObserver_);
    // The interactor's timer must find no overlay once the overlay is gone.
    markerTimerCallback_->setTarget(nullptr);
    delete markerOverlay_;
    markerOverlay_ = nullptr;
}

void View3DScene::build(MyInteractorStyle::SelectCallback onPick)
{
    vtkRenderWindow *window = view_->renderWindow();

    // 1. The cloud: one set of points, cells and colours, refilled in place at every draw.
    cloudPolyData_ = vtkSmartPointer<vtkPolyData>::New();
    cloudPoints_ = vtkSmartPointer<vtkPoints>::New();
    cloudPoints_->SetDataTypeToFloat();
    cloudCells_ = vtkSmartPointer<vtkCellArray>::New();
    cloudOffsets_ = vtkSmartPointer<vtkIdTypeArray>::New();
    cloudConnectivity_ = vtkSmartPointer<vtkIdTypeArray>::New();
    cloudColours_ = vtkSmartPointer<vtkUnsignedCharArray>::New();
    cloudColours_->SetNumberOfComponents(3);
    cloudColours_->SetName("Colors");
    cloudPolyData_->SetPoints(cloudPoints_);
    cloudPolyData_->SetVerts(cloudCells_);
    cloudMapper_ = vtkSmartPointer<vtkPolyDataMapper>::New();
    cloudMapper_->SetInputData(cloudPolyData_);
    cloudActor_ = vtkSmartPointer<vtkActor>::New();
    cloudActor_->SetMapper(cloudMapper_);
    cloudActor_->GetProperty()->SetPointSize(1);
    cloudActor_->GetProperty()->SetColor(0, 1, 0);

    // 2. Axes, their captions at a fixed size whatever the zoom.
    axes_ = vtkSmartPointer<vtkAxesActor>::New();
    axes_->SetTotalLength(kAxesLength, kAxesLength, kAxesLength);
    axes_->SetShaftTypeToCylinder();
    axes_->SetCylinderRadius(0.01);
    axes_->SetConeRadius(0.1);
    for (vtkCaptionActor2D *caption :
         {axes_->GetXAxisCaptionActor2D(), axes_->GetYAxisCaptionActor2D(), axes_->GetZAxisCaptionActor2D()})
        caption->GetTextActor()->SetTextScaleModeToNone();

    // 3. Renderers: the background, the grid and the axes in the first layer, the cloud (and,
    // below, the markers) in the layer over it, both through one camera. Each layer keeps its
    // own depth, so the axes and the grid never hide a point.
    renderer_ = vtkSmartPointer<vtkRenderer>::New();
    cloudRenderer_ = vtkSmartPointer<vtkRenderer>::New();
    cloudRenderer_->SetLayer(1);
    cloudRenderer_->InteractiveOff();
    cloudRenderer_->SetActiveCamera(renderer_->GetActiveCamera());
    cloudRenderer_->AddActor(cloudActor_);
    renderer_->AddActor(axes_);
    renderer_->SetBackground(0.1, 0.2, 0.3);
    renderer_->ResetCamera();
    window->SetNumberOfLayers(std::max(window->GetNumberOfLayers(), 2));
    window->AddRenderer(renderer_);
    window->AddRenderer(cloudRenderer_);
    sceneryObserver_ = renderer_->AddObserver(vtkCommand::StartEvent, this, &View3DScene::beforeSceneryRender);
    cloudObserver_ = cloudRenderer_->AddObserver(vtkCommand::StartEvent, this, &View3DScene::beforeCloudRender);

    // 4. Picker and interaction.
    areaPicker_ = vtkSmartPointer<vtkAreaPicker>::New();
    interactorStyle_ = vtkSmartPointer<MyInteractorStyle>::New();
    interactorStyle_->setRenderer(renderer_);
    interactorStyle_->setSelectCallback(onPick);
    vtkRenderWindowInteractor *interactor = window->GetInteractor();
    if (interactor != nullptr) {
        interactor->SetInteractorStyle(interactorStyle_);
        interactor->SetPicker(areaPicker_);
    }

    // 5. Ground grid.
    addGrid();

    // 6 and 7. Background and point size as stored.
    loadStoredLook();

    // 8. Markers.
    markerOverlay_ = new MarkerOverlay(cloudRenderer_);
    markerTimerCallback_->setTarget(markerOverlay_);

    // 9. The markers' purge timer.
    if (interactor != nullptr) {
        interactor->CreateRepeatingTimer(kMarkerTimerMs);
        interactor->AddObserver(vtkCommand::TimerEvent, markerTimerCallback_, 0.0f);
    }

    // 10. Camera above the origin.
    vtkCamera *camera = renderer_->GetActiveCamera();
    camera->SetPosition(0, 0, 40);
    camera->SetFocalPoint(0, 0, 0);
    camera->SetViewUp(0, 1, 0);
    updateAxes();
    renderer_->ResetCameraClippingRange();
}

// 81 lines along y, then 81 along x.
void View3DScene::addGrid()
{
    gridActors_.clear();
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
        gridActors_.push_back(actor);
    };
    for (int g = -kGridHalf; g <= kGridHalf; ++g)
        addLine(g, -kGridHalf, g, kGridHalf);
    for (int h = -kGridHalf; h <= kGridHalf; ++h)
        addLine(-kGridHalf, h, kGridHalf, h);
}

void View3DScene::loadStoredLook()
{
    // Background: three parts or the default stays; a part that is not a number is 0.
    const QStringList parts =
        QString::fromStdString(IniSettings::instance()->get_value("Standard", "Color", "0|0|0", kSettingsDoc))
            .split('|', Qt::KeepEmptyParts);
    if (parts.size() == 3)
        renderer_->SetBackground(parts[0].toUShort() / 255.0, parts[1].toUShort() / 255.0,
                                 parts[2].toUShort() / 255.0);

    // Point size, as stored (only its low 8 bits).
    const std::string size = IniSettings::instance()->get_value("Standard", "PointSize", "1", kSettingsDoc);
    pointSize_ = uint8_t(std::atoi(size.c_str()) % 256);
    cloudActor_->GetProperty()->SetPointSize(pointSize_);
}

void View3DScene::render()
{
    view_->renderWindow()->Render();
    view_->update();
}

// ---- frames ----

void View3DScene::replaceCurrentFrame(std::vector<UserPointData> frame)
{
    currentFrame_ = std::move(frame);
    frameFresh_ = true;
}

void View3DScene::draw()
{
    if (frameFresh_) {
        frameCounts_.push_back(int(currentFrame_.size()));
        accumulatedCloud_.insert(accumulatedCloud_.end(), currentFrame_.begin(), currentFrame_.end());
        frameFresh_ = false;
    }
    // Compared as unsigned: a negative count never trims.
    while (frameCounts_.size() > size_t(uint32_t(framesKept_))) {
        const size_t c = std::min(size_t(std::max(frameCounts_.front(), 0)), accumulatedCloud_.size());
        frameCounts_.pop_front();
        accumulatedCloud_.erase(accumulatedCloud_.begin(), accumulatedCloud_.begin() + ptrdiff_t(c));
    }
    selection_.clear();
    if (!partHide_)
        buildPointsRGB(accumulatedCloud_);
    else
        buildPointsRGBA(accumulatedCloud_);
}

void View3DScene::buildPointsRGB(const std::vector<UserPointData> &cloud)
{
    fillCloud(cloud, false);
}

void View3DScene::buildPointsRGBA(const std::vector<UserPointData> &cloud)
{
    fillCloud(cloud, true);
}

void View3DScene::fillCloud(const std::vector<UserPointData> &cloud, bool partHideColours)
{
    const vtkIdType n = vtkIdType(cloud.size());
    const int components = partHideColours ? 4 : 3;

    // The same arrays every time, resized: the pipeline behind them stays as it is.
    cloudPoints_->SetNumberOfPoints(n);
    float *xyz = static_cast<float *>(cloudPoints_->GetVoidPointer(0));
    cloudColours_->SetNumberOfComponents(components);
    cloudColours_->SetNumberOfTuples(n);
    unsigned char *rgba = cloudColours_->GetPointer(0);
    if (cloudConnectivity_->GetNumberOfValues() != n) {
        cloudOffsets_->SetNumberOfValues(n + 1);
        cloudConnectivity_->SetNumberOfValues(n);
        vtkIdType *offsets = cloudOffsets_->GetPointer(0);
        vtkIdType *ids = cloudConnectivity_->GetPointer(0);
        for (vtkIdType i = 0; i < n; ++i) {
            offsets[i] = i;
            ids[i] = i;
        }
        offsets[n] = n;
    }
    cloudCells_->SetData(cloudOffsets_, cloudConnectivity_);

    float lo = 255.0f, hi = 0.0f;
    if (!partHideColours) {
        for (const UserPointData &p : cloud) {
            lo = std::min(lo, float(p.intensity));
            hi = std::max(hi, float(p.intensity));
        }
    }
    const bool limited = limits_.enable;
    for (vtkIdType i = 0; i < n; ++i) {
        const UserPointData &p = cloud[size_t(i)];
        double colour[3];
        if (partHideColours)
            value_to_rgb(p.intensity, colour);
        else if (colourful_)
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
            if (feature_points_inside(limits_, p.x, p.y, p.z)) {
                selection_.push_back(p);
                accumulatedCloud_[size_t(i)].selected = 1;
                if (!partHideColours)
                    c[0] = c[1] = c[2] = 255;
            } else if (partHideColours) {
                c[0] = c[1] = c[2] = c[3] = 0;
            }
        }
    }

    cloudPoints_->Modified();
    cloudColours_->Modified();
    cloudCells_->Modified();
    cloudPolyData_->SetPoints(cloudPoints_);
    cloudPolyData_->SetVerts(cloudCells_);
    cloudPolyData_->GetPointData()->SetScalars(cloudColours_);
    cloudPolyData_->Modified();
    interactorStyle_->setPolyData(cloudPolyData_);

    axes_->AxisLabelsOn();
    updateAxes();
    render();
}

void View3DScene::clearView()
{
    emptyView();
    render();
}

void View3DScene::emptyView()
{
    cloudPoints_->SetNumberOfPoints(0);
    cloudColours_->SetNumberOfTuples(0);
    cloudOffsets_->SetNumberOfValues(1);
    cloudOffsets_->SetValue(0, 0);
    cloudConnectivity_->SetNumberOfValues(0);
    cloudCells_->SetData(cloudOffsets_, cloudConnectivity_);
    cloudPoints_->Modified();
    cloudCells_->Modified();
    cloudColours_->Modified();
    cloudPolyData_->Modified();
    interactorStyle_->setPolyData(cloudPolyData_);
}

void View3DScene::clear()
{
    clearView();
    accumulatedCloud_.clear();
    frameCounts_.clear();
}

void View3DScene::clearUndrawn()
{
    emptyView();
    accumulatedCloud_.clear();
    frameCounts_.clear();
}

void View3DScene::resetFrames()
{
    currentFrame_.clear();
    frameFresh_ = false;
    selection_.clear();
    accumulatedCloud_.clear();
    frameCounts_.clear();
}

// ---- the selection ----

void View3DScene::pick(vtkIdTypeArray *ids)
{
    selection_.clear();
    const vtkIdType n = ids != nullptr ? ids->GetNumberOfValues() : 0;
    for (vtkIdType k = 0; k < n; ++k) {
        const vtkIdType id = ids->GetValue(k);
        // The cloud the pick ran on is the one last drawn; an id past the cloud is none of ours.
        if (id >= 0 && size_t(id) < accumulatedCloud_.size())
            selection_.push_back(accumulatedCloud_[size_t(id)]);
    }
    frameCounts_.assign(1, int(accumulatedCloud_.size()));
}

void View3DScene::setCircling(bool on)
{
    circling_ = on;
    interactorStyle_->setCircleEnable(on);
}

// ---- camera, axes, grid ----

void View3DScene::cameraPreset(const double position[3], const double viewUp[3])
{
    vtkCamera *camera = renderer_->GetActiveCamera();
    camera->SetPosition(position[0], position[1], position[2]);
    camera->SetFocalPoint(0, 0, 0);
    camera->SetViewUp(viewUp[0], viewUp[1], viewUp[2]);
    // Fitted to what both layers show, the axes at their full length: they follow the camera
    // afterwards, so the size they have now cannot be what decides where it stands.
    axes_->SetTotalLength(kAxesLength, kAxesLength, kAxesLength);
    double bounds[6], cloud[6];
    renderer_->ComputeVisiblePropBounds(bounds);
    cloudRenderer_->ComputeVisiblePropBounds(cloud);
    if (!vtkMath::AreBoundsInitialized(bounds)) {
        std::copy(cloud, cloud + 6, bounds);
    } else if (vtkMath::AreBoundsInitialized(cloud)) {
        for (int i = 0; i < 3; ++i) {
            bounds[2 * i] = std::min(bounds[2 * i], cloud[2 * i]);
            bounds[2 * i + 1] = std::max(bounds[2 * i + 1], cloud[2 * i + 1]);
        }
    }
    if (vtkMath::AreBoundsInitialized(bounds))
        renderer_->ResetCamera(bounds);
    updateAxes();
    view_->renderWindow()->Render();
}

void View3DScene::lookFrom(CameraView view)
{
    const Preset &p = kPresets[int(view)];
    cameraPreset(p.position, p.viewUp);
}

void View3DScene::rotate(Axis axis)
{
    vtkCamera *camera = renderer_->GetActiveCamera();
    switch (axis) {
    case Axis::X:
        camera->Elevation(90);
        camera->OrthogonalizeViewUp();
        renderer_->ResetCameraClippingRange();
        break;
    case Axis::Y:
        camera->Azimuth(90);
        break;
    case Axis::Z:
        camera->Roll(90);
        break;
    }
    render();
}

void View3DScene::setAxesVisible(bool visible)
{
    if (visible)
        renderer_->AddActor(axes_);
    else
        renderer_->RemoveActor(axes_);
    render();
}

void View3DScene::setGridVisible(bool visible)
{
    for (const auto &line : gridActors_) {
        if (visible)
            renderer_->AddActor(line);
        else
            renderer_->RemoveActor(line);
    }
    render();
}

double View3DScene::cameraDistance() const
{
    return renderer_->GetActiveCamera()->GetDistance();
}

void View3DScene::updateAxes()
{
    const double d = cameraDistance();
    const double length = kAxesShare * d;
    if (!(length > 0.0) || !std::isfinite(length))
        return;
    axes_->SetTotalLength(length, length, length);
    // The radius is relative to the shaft's length: scaled so the shaft is as thick as a
    // kAxesLength shaft of radius kShaftRadiusPerDistance x d would be.
    axes_->SetCylinderRadius(kShaftRadiusPerDistance * d * kAxesLength / length);
}

void View3DScene::beforeSceneryRender()
{
    updateAxes();
    renderer_->ResetCameraClippingRange();
}

void View3DScene::beforeCloudRender()
{
    cloudRenderer_->ResetCameraClippingRange();
}

// ---- point size and background ----

void View3DScene::setPointSize(uint8_t size)
{
    pointSize_ = size;
    cloudActor_->GetProperty()->SetPointSize(pointSize_);
    emit pointSizeChanged(pointSize_);
}

void View3DScene::logPointSize()
{
    emit logLine(msg_type_text(MSG_WARM), tr("point size set:%1").arg(pointSize_));
    IniSettings::instance()->set_value("Standard", "PointSize", std::to_string(pointSize_), kSettingsDoc);
}

void View3DScene::zoomIn()
{
    if (pointSize_ > 1)
        setPointSize(uint8_t(pointSize_ - 1));
    logPointSize();
}

void View3DScene::zoomOut()
{
    if (pointSize_ < 5)
        setPointSize(uint8_t(pointSize_ + 1));
    logPointSize();
}

void View3DScene::setBackground(const QColor &colour)
{
    backgroundColour_ = colour;
    renderer_->SetBackground(colour.red() / 255.0, colour.green() / 255.0, colour.blue() / 255.0);
    render();
    IniSettings::instance()->set_value(
        "Standard", "Color",
        QString("%1|%2|%3").arg(colour.red()).arg(colour.green()).arg(colour.blue()).toStdString(), kSettingsDoc);
}

// ---- tracked objects ----

void View3DScene::updateMarkers(const std::vector<TrackedObject> &objects, bool visible)
{
    markerOverlay_->clear();
    if (!visible)
        return;
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (const TrackedObject &o : objects) {
        const double centre[3] = {o.center_x, o.center_y, o.center_z};
        const double size[3] = {o.length, o.width, o.height};
        if (markerOverlay_->find(o.id).id != -999) {
            // The same id twice in one list: the later record moves the box.
            markerOverlay_->updatePose(o.id, centre, size);
            continue;
        }
        double colour[3];
        for (double &c : colour)
            c = unit(randomGen_);
        const PointCloudAnomalyDetector *detector = PointCloudAnomalyDetector::GetInstance();
        const std::string name = detector != nullptr ? detector->GetModelName(o.class_index) : "unknown";
        markerOverlay_->add(o.id, 0, name, centre, size, colour, 2.0, 20, true, true, 1.0f);
    }
}
