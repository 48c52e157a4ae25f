#pragma once
// Reaches the 3D scene's state in tests: the accumulation, the colouring state and the VTK
// objects it draws with, without widening the scene's interface for the program's sake.

#include "markeroverlay.h"
#include "myinteractorstyle.h"
#include "timercleanupcallback.h"
#include "view3dscene.h"

struct View3DSceneTestAccess {
    explicit View3DSceneTestAccess(View3DScene &s) : s(s) {}
    View3DScene &s;

    std::vector<UserPointData> &currentFrame() { return s.currentFrame_; }
    std::vector<UserPointData> &accumulatedCloud() { return s.accumulatedCloud_; }
    std::vector<UserPointData> &selection() { return s.selection_; }
    std::deque<int> &frameCounts() { return s.frameCounts_; }
    int32_t &framesKept() { return s.framesKept_; }
    FeaturePoints &limits() { return s.limits_; }
    bool &partHide() { return s.partHide_; }
    bool &colourful() { return s.colourful_; }
    bool circling() const { return s.circling_; }
    uint8_t pointSize() const { return s.pointSize_; }
    vtkPolyData *cloud() { return s.cloudPolyData_; }
    vtkActor *cloudActor() { return s.cloudActor_; }
    vtkRenderer *cloudRenderer() { return s.cloudRenderer_; }
    vtkAxesActor *axes() { return s.axes_; }
    const std::vector<vtkSmartPointer<vtkActor>> &gridActors() { return s.gridActors_; }
    vtkAreaPicker *areaPicker() { return s.areaPicker_; }
    MyInteractorStyle *interactorStyle() { return s.interactorStyle_; }
    MarkerOverlay *markerOverlay() { return s.markerOverlay_; }
    TimerCleanupCallback *markerTimerCallback() { return s.markerTimerCallback_; }
    void buildPointsRGB(const std::vector<UserPointData> &cloud) { s.buildPointsRGB(cloud); }
};
