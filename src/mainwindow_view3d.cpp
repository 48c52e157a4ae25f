// The 3D point view of the main window: the scene is View3DScene's; here are the road of a frame
// to it, the 100 ms tick, the toolbar's camera and view switches, and what a draw or a pick
// changes in the window's other views.

#include "mainwindow.h"

#include "colorhelpers.h"
#include "component_logoperate.h"
#include "dialog_alldata.h"
#include "dialog_debug.h"
#include "dialog_detect_raxo.h"
#include "dialog_parsedata.h"
#include "featurepoints.h"
#include "inisettings.h"
#include "page_raxo_e.h"
#include "pointcloudui.h"
#include "settingsdocument.h"
#include "ui_mainwindow.h"

#include <algorithm>

// ---- the scene ----

void MainWindow::initView3D()
{
    scene_ = new View3DScene(ui->openGLWidget, &MainWindow::selectCallback, this);
    connect(scene_, &View3DScene::logLine, this, &MainWindow::appendLog);
    connect(scene_, &View3DScene::pointSizeChanged, ui->page_2d, &PointCloudUI::setPointSize);
    ui->page_2d->setPointSize(scene_->pointSize());
}

vtkRenderer *MainWindow::renderer() const
{
    return scene_->renderer();
}

// ---- frames ----

// Every model's frames wait for the tick, Fenk-U's too: a Fenk-U whose data-type mask is not
// known yet posts a frame per data type, five a measurement, and drawing each at once left the
// GUI thread behind its queue. A frame arriving before the tick replaces the one before it.
void MainWindow::recv_framedata(std::vector<UserPointData> pointsdata, int lidartype)
{
    if (displayPaused)
        return;
    currentModel = uint8_t(lidartype);
    scene_->replaceCurrentFrame(std::move(pointsdata));
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
    } else if (pointTableStale && ui->page_spandata->isVisible()) {
        refreshPointTable();
    }
    // Every tick, whether or not it drew: a tick writes a bounded share of what waits.
    flushLogQueue();
    scene_->updateAxes();
}

void MainWindow::showFrame()
{
    scene_->draw();
    refreshPointTable();
    if (ui->stackedWidget->currentIndex() == 1)
        ui->page_2d->setPoints(currentFrame2D);
    const std::vector<UserPointData> &selection = scene_->selection();
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
    const std::vector<UserPointData> &selection = scene_->selection();
    ui->page_spandata->setData(selection.empty() ? scene_->accumulatedCloud() : selection, true);
    pointTableStale = false;
}

void MainWindow::onClearCloud()
{
    // Rendered at the next tick: a box that sends cache cleans back to back must not have the
    // GUI thread render for each.
    scene_->clearUndrawn();
    ui->page_2d->clearPoints();
    redrawFlag = true;
}

// ---- limits, frames kept, debug images ----

void MainWindow::recv_dataLimit(FeaturePoints data, bool isrun)
{
    scene_->setLimits(data);
    displayPaused = !isrun;
    ui->page_parse_data->setIsRun(isrun);
    logOperate->setPlayState(isrun);
    redrawFlag = true;
}

void MainWindow::recv_showtime(int time)
{
    // The Vimo-E page's range: more would let the cloud grow without end.
    scene_->setFramesKept(std::clamp(time, 0, kMaxFramesKept));
    IniSettings::instance()->set_value("Standard", kFramesKeptKey, std::to_string(scene_->framesKept()), kSettingsDoc);
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

void MainWindow::recv_actionUp(bool)
{
    scene_->lookFrom(View3DScene::CameraView::Up);
}

void MainWindow::recv_actionBottom(bool)
{
    scene_->lookFrom(View3DScene::CameraView::Bottom);
}

void MainWindow::recv_actionFront(bool)
{
    scene_->lookFrom(View3DScene::CameraView::Front);
}

void MainWindow::recv_actionBack(bool)
{
    scene_->lookFrom(View3DScene::CameraView::Back);
}

void MainWindow::recv_actionLeft(bool)
{
    scene_->lookFrom(View3DScene::CameraView::Left);
}

void MainWindow::recv_actionRight(bool)
{
    scene_->lookFrom(View3DScene::CameraView::Right);
}

void MainWindow::recv_actionCenter(bool)
{
    scene_->lookFrom(View3DScene::CameraView::Center);
    ui->page_2d->setscancenter(true);
}

void MainWindow::recv_actionRotateX(bool)
{
    scene_->rotate(View3DScene::Axis::X);
}

void MainWindow::recv_actionRotateY(bool)
{
    scene_->rotate(View3DScene::Axis::Y);
}

void MainWindow::recv_actionRotateZ(bool)
{
    scene_->rotate(View3DScene::Axis::Z);
}

// ---- point size, background, switches ----

void MainWindow::recv_actionZoomIn(bool)
{
    scene_->zoomIn();
}

void MainWindow::recv_actionZoomOut(bool)
{
    scene_->zoomOut();
}

void MainWindow::recv_actionBGColor(bool)
{
    const QColor colour = choose_color(scene_->backgroundColour(), this, QString());
    if (!colour.isValid())
        return;
    scene_->setBackground(colour);
    ui->page_2d->setBackground(colour);
}

void MainWindow::recv_actionCoodinate(bool checked)
{
    scene_->setAxesVisible(checked);
}

void MainWindow::recv_actionGrid(bool checked)
{
    scene_->setGridVisible(checked);
}

void MainWindow::recv_actionPartHide(bool checked)
{
    scene_->setPartHide(checked);
}

void MainWindow::recv_actionColorful(bool checked)
{
    scene_->setColourful(checked);
}

// ---- rectangle selection ----

void MainWindow::recv_actionCircle(bool checked)
{
    scene_->setCircling(checked);
    ui->page_2d->setShowObjects(checked);
}

void MainWindow::selectCallback(void *, vtkIdTypeArray *ids)
{
    MainWindow::instance()->setSelectData(ids);
}

void MainWindow::setSelectData(vtkIdTypeArray *ids)
{
    scene_->pick(ids);
    redrawFlag = true;
    scene_->setLimits(ui->page_parse_data->selectPoints(scene_->selection()));
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
