#pragma once
// The 3D point view's scene: the cloud's one VTK pipeline, refilled in place at every draw, the
// frames it accumulates, its colouring and the selection the limits make of it, the grid, the
// axes and the camera, the point size and the background, the rectangle pick's interaction
// style and the boxes of tracked objects.
//
// The scene draws into the view it is given and knows nothing of sessions, pages or the
// message dispatcher: the window feeds it frames and limits, tells it when to draw, and shows
// what it selected in the other views. The log lines it writes leave through logLine.
//
// The cloud and the boxes of tracked objects are drawn in a layer of their own over the grid and
// the axes, through the same camera: what a sensor sees is never hidden by the scenery around
// it, from any side and at any zoom.

#include "featurepoints.h"
#include "myinteractorstyle.h"
#include "userpointdata.h"
#include "zonemonitor.h"

#include <QColor>
#include <QObject>
#include <QString>

#include <vtkActor.h>
#include <vtkAreaPicker.h>
#include <vtkAxesActor.h>
#include <vtkCellArray.h>
#include <vtkIdTypeArray.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkPolyDataMapper.h>
#include <vtkRenderer.h>
#include <vtkSmartPointer.h>
#include <vtkUnsignedCharArray.h>

#include <cstdint>
#include <deque>
#include <random>
#include <vector>

class MarkerOverlay;
class QVTKOpenGLNativeWidget;
class TimerCleanupCallback;

class View3DScene : public QObject {
    Q_OBJECT

public:
    // The toolbar's camera presets; Center looks from just above the origin.
    enum class CameraView { Up, Bottom, Front, Back, Left, Right, Center };
    enum class Axis { X, Y, Z };

    // Builds the scene into the view's render window, with the background and point size as
    // stored; picks go to onPick.
    View3DScene(QVTKOpenGLNativeWidget *view, MyInteractorStyle::SelectCallback onPick,
                QObject *parent = nullptr);
    ~View3DScene() override;

    // The renderer of the background, the grid and the axes; its camera is the view's.
    vtkRenderer *renderer() const { return renderer_; }

    // ---- frames ----
    // Replaces the current frame; the next draw appends it to the accumulated cloud once.
    void replaceCurrentFrame(std::vector<UserPointData> frame);
    const std::vector<UserPointData> &currentFrame() const { return currentFrame_; }
    // The number of frames the accumulated cloud holds; 0 keeps none.
    void setFramesKept(int32_t kept) { framesKept_ = kept; }
    int32_t framesKept() const { return framesKept_; }
    // Appends a fresh current frame, trims the oldest frames, colours and renders the cloud,
    // and makes the points inside the limits the selection.
    void draw();
    const std::vector<UserPointData> &accumulatedCloud() const { return accumulatedCloud_; }
    const std::vector<UserPointData> &selection() const { return selection_; }
    // Empties the drawn cloud and renders; the accumulated points stay.
    void clearView();
    // Empties the drawn cloud's arrays; nothing is rendered.
    void emptyView();
    // Empties the drawn cloud, the accumulated points and their frame counts.
    void clear();
    // The same without rendering: the next draw shows it.
    void clearUndrawn();
    // Forgets the current frame, the selection and the accumulated points without drawing.
    void resetFrames();

    // ---- colouring and the selection ----
    void setLimits(const FeaturePoints &limits) { limits_ = limits; }
    const FeaturePoints &limits() const { return limits_; }
    void setPartHide(bool on) { partHide_ = on; }
    void setColourful(bool on) { colourful_ = on; }
    // The points of a pick, by their index in the cloud last drawn, become the selection, and
    // the whole cloud counts as one frame from then on.
    void pick(vtkIdTypeArray *ids);
    void setCircling(bool on);
    bool circling() const { return circling_; }

    // ---- camera, axes, grid ----
    void lookFrom(CameraView view);
    void rotate(Axis axis);
    void setAxesVisible(bool visible);
    void setGridVisible(bool visible);
    // Sizes the axes against the camera's distance: they reach a fixed share of the way to the
    // camera, so they look the same at any zoom and never reach the camera itself; the shaft
    // keeps its thickness on screen. Every render does it too, before it draws.
    void updateAxes();

    // ---- point size and background ----
    // One step smaller or larger (1 to 5), logged and stored even at the end of the range.
    void zoomIn();
    void zoomOut();
    uint8_t pointSize() const { return pointSize_; }
    // The colour the chooser starts from: the last one chosen in this run.
    QColor backgroundColour() const { return backgroundColour_; }
    void setBackground(const QColor &colour);

    // ---- tracked objects ----
    // Boxes for the objects of the latest list, or none while not visible.
    void updateMarkers(const std::vector<TrackedObject> &objects, bool visible);

signals:
    // A line for the message log: "[ title ] text".
    void logLine(const QString &title, const QString &text);
    void pointSizeChanged(int size);

private:
    friend struct View3DSceneTestAccess;

    void build(MyInteractorStyle::SelectCallback onPick);
    void addGrid();
    void loadStoredLook();
    // Fill the poly data from the accumulated cloud: intensity colours with the selection
    // white, or (part-hide) the ramp colours with everything outside the limits hidden.
    void buildPointsRGB(const std::vector<UserPointData> &cloud);
    void buildPointsRGBA(const std::vector<UserPointData> &cloud);
    void fillCloud(const std::vector<UserPointData> &cloud, bool partHideColours);
    void setPointSize(uint8_t size);
    void logPointSize();
    // Puts the camera at `position` looking at the origin and fits the visible props.
    void cameraPreset(const double position[3], const double viewUp[3]);
    void render();
    double cameraDistance() const;
    // Before each layer draws: the axes follow the camera, and the camera's depth range covers
    // what that layer holds.
    void beforeSceneryRender();
    void beforeCloudRender();

    QVTKOpenGLNativeWidget *view_;
    std::vector<UserPointData> accumulatedCloud_;
    std::vector<UserPointData> currentFrame_;
    std::vector<UserPointData> selection_;
    std::deque<int> frameCounts_;
    int32_t framesKept_ = 10;
    // Set when the current frame was replaced and not yet drawn: only then does a draw append
    // it, so redraws for a log line, a limit or a pick do not repeat it in the cloud.
    bool frameFresh_ = false;
    FeaturePoints limits_;
    bool partHide_ = false;
    bool colourful_ = false;
    bool circling_ = false;
    uint8_t pointSize_ = 2;
    QColor backgroundColour_;
    vtkSmartPointer<vtkRenderer> renderer_;
    vtkSmartPointer<vtkRenderer> cloudRenderer_; // the layer over renderer_'s, same camera
    unsigned long sceneryObserver_ = 0;
    unsigned long cloudObserver_ = 0;
    vtkSmartPointer<vtkPoints> cloudPoints_;
    vtkSmartPointer<vtkCellArray> cloudCells_;
    vtkSmartPointer<vtkIdTypeArray> cloudOffsets_;      // the vertex cells, 0..n
    vtkSmartPointer<vtkIdTypeArray> cloudConnectivity_; // one point per vertex, 0..n-1
    vtkSmartPointer<vtkUnsignedCharArray> cloudColours_;
    vtkSmartPointer<vtkPolyData> cloudPolyData_;
    vtkSmartPointer<vtkPolyDataMapper> cloudMapper_;
    vtkSmartPointer<vtkActor> cloudActor_;
    vtkSmartPointer<vtkAxesActor> axes_;
    vtkSmartPointer<vtkAreaPicker> areaPicker_;
    vtkSmartPointer<MyInteractorStyle> interactorStyle_;
    std::vector<vtkSmartPointer<vtkActor>> gridActors_;
    MarkerOverlay *markerOverlay_ = nullptr;
    vtkSmartPointer<TimerCleanupCallback> markerTimerCallback_;
    std::mt19937 randomGen_; // marker colours
};
