#pragma once
// The 3D view's interaction: VTK's trackball camera, and, while circling is on, a screen
// rectangle whose corners are a left click and then a right click. The points of the cloud
// whose projection falls inside the rectangle go to the selection callback, by index.

#include <vtkIdTypeArray.h>
#include <vtkInteractorStyleTrackballCamera.h>
#include <vtkPolyData.h>
#include <vtkRenderer.h>
#include <vtkSmartPointer.h>

#include <utility>
#include <vector>

class MyInteractorStyle : public vtkInteractorStyleTrackballCamera {
public:
    // Receives the picked point indices; the caller is always null.
    using SelectCallback = void (*)(void *caller, vtkIdTypeArray *ids);

    static MyInteractorStyle *New();
    vtkTypeMacro(MyInteractorStyle, vtkInteractorStyleTrackballCamera);

    void OnLeftButtonDown() override;
    void OnRightButtonDown() override;

    void setRenderer(vtkRenderer *renderer) { renderer_ = renderer; }
    void setSelectCallback(SelectCallback fn) { callback_ = fn; }
    void setPolyData(vtkPolyData *cloud) { cloud_ = cloud; }
    void setCircleEnable(bool enable) { enable_ = enable; }

    // Picks the points inside the rectangle of the first two recorded corners.
    void selectPoints();

    bool circleEnabled() const { return enable_; }
    const std::vector<std::pair<int, int>> &corners() const { return corners_; }
    vtkIdTypeArray *selectedIds() const { return selectedIds_; }

protected:
    MyInteractorStyle();
    ~MyInteractorStyle() override;

private:
    MyInteractorStyle(const MyInteractorStyle &) = delete;
    void operator=(const MyInteractorStyle &) = delete;

    bool enable_ = false;
    std::vector<std::pair<int, int>> corners_;
    vtkSmartPointer<vtkIdTypeArray> selectedIds_;
    vtkSmartPointer<vtkPolyData> cloud_;
    vtkSmartPointer<vtkRenderer> renderer_;
    SelectCallback callback_ = nullptr;
};
