#include "myinteractorstyle.h"

#include <vtkCoordinate.h>
#include <vtkNew.h>
#include <vtkObjectFactory.h>
#include <vtkRenderWindow.h>
#include <vtkRenderWindowInteractor.h>
#include <vtkRendererCollection.h>

#include <algorithm>

vtkStandardNewMacro(MyInteractorStyle);

MyInteractorStyle::MyInteractorStyle() : selectedIds_(vtkSmartPointer<vtkIdTypeArray>::New()) {}

MyInteractorStyle::~MyInteractorStyle() = default;

void MyInteractorStyle::OnLeftButtonDown()
{
    if (enable_ && Interactor != nullptr) {
        const int *p = Interactor->GetEventPosition();
        corners_.clear();
        corners_.emplace_back(p[0], p[1]);
    }
    vtkInteractorStyleTrackballCamera::OnLeftButtonDown();
}

void MyInteractorStyle::OnRightButtonDown()
{
    if (enable_ && Interactor != nullptr) {
        const int *p = Interactor->GetEventPosition();
        corners_.emplace_back(p[0], p[1]);
        selectPoints();
    }
    vtkInteractorStyleTrackballCamera::OnRightButtonDown();
}

void MyInteractorStyle::selectPoints()
{
    if (cloud_ == nullptr)
        return;
    selectedIds_->Reset();
    if (corners_.size() < 2)
        return;
    vtkRenderer *renderer = nullptr;
    if (Interactor != nullptr && Interactor->GetRenderWindow() != nullptr)
        renderer = Interactor->GetRenderWindow()->GetRenderers()->GetFirstRenderer();
    if (renderer == nullptr)
        renderer = renderer_;
    if (renderer == nullptr)
        return;
    const int x0 = std::min(corners_[0].first, corners_[1].first);
    const int x1 = std::max(corners_[0].first, corners_[1].first);
    const int y0 = std::min(corners_[0].second, corners_[1].second);
    const int y1 = std::max(corners_[0].second, corners_[1].second);
    vtkNew<vtkCoordinate> coordinate;
    coordinate->SetCoordinateSystemToWorld();
    const vtkIdType n = cloud_->GetNumberOfPoints();
    for (vtkIdType i = 0; i < n; ++i) {
        coordinate->SetValue(cloud_->GetPoint(i));
        const int *d = coordinate->GetComputedDisplayValue(renderer);
        if (x0 <= d[0] && d[0] <= x1 && y0 <= d[1] && d[1] <= y1)
            selectedIds_->InsertNextValue(i);
    }
    if (callback_ != nullptr)
        callback_(nullptr, selectedIds_);
}
