// The 3D point view of the main window: the scene, the road of a frame to the rendered cloud,
// the 100 ms tick, the camera presets and the view switches.

#include "mainwindow.h"

#include "ui_mainwindow.h"

#include <QVTKOpenGLNativeWidget.h>
#include <vtkGenericOpenGLRenderWindow.h>
#include <vtkRenderer.h>

void MainWindow::initView3D()
{
    renderer_ = vtkSmartPointer<vtkRenderer>::New();
    renderer_->SetBackground(0.1, 0.2, 0.3);
    ui->openGLWidget->renderWindow()->AddRenderer(renderer_);
}

void MainWindow::recv_timeout()
{
    if (redrawFlag) {
        showFrame();
        redrawFlag = false;
        flushLogQueue();
    }
    updateAxes();
}

void MainWindow::showFrame() {}

void MainWindow::updateAxes() {}

void MainWindow::clearView3D()
{
    ui->openGLWidget->renderWindow()->Render();
    ui->openGLWidget->update();
}

void MainWindow::updateMarkers() {}

void MainWindow::recv_framedata(std::vector<UserPointData>, int) {}
void MainWindow::recv_framedata_2D(std::vector<UserPointData>, int) {}
void MainWindow::recv_dataLimit(FeaturePoints, bool) {}
void MainWindow::recv_actionUp(bool) {}
void MainWindow::recv_actionBottom(bool) {}
void MainWindow::recv_actionFront(bool) {}
void MainWindow::recv_actionBack(bool) {}
void MainWindow::recv_actionLeft(bool) {}
void MainWindow::recv_actionRight(bool) {}
void MainWindow::recv_actionRotateX(bool) {}
void MainWindow::recv_actionRotateY(bool) {}
void MainWindow::recv_actionRotateZ(bool) {}
void MainWindow::recv_actionCoodinate(bool) {}
void MainWindow::recv_actionGrid(bool) {}
void MainWindow::recv_actionPartHide(bool) {}
void MainWindow::recv_actionCircle(bool) {}
void MainWindow::recv_actionZoomIn(bool) {}
void MainWindow::recv_actionZoomOut(bool) {}
void MainWindow::recv_actionCenter(bool) {}
void MainWindow::recv_actionColorful(bool) {}
void MainWindow::recv_actionBGColor(bool) {}
void MainWindow::recv_debug_show(QByteArray) {}
void MainWindow::recv_showtime(int) {}
void MainWindow::onClearCloud() {}
