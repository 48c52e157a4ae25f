// Device sessions of the main window: the connect actions, the side page a model shows, the
// pages' commands handed to the session (devicesession.h), what the box session reports and the
// handlers of the Raxo page's object tools.

#include "mainwindow.h"

#include "algorithmbox.h"
#include "component_logoperate.h"
#include "dialog_alldata.h"
#include "dialog_connect.h"
#include "dialog_objecttrack.h"
#include "dialog_parsedata.h"
#include "heartbeatproc.h"
#include "inisettings.h"
#include "boxprotocol.h"
#include "messagebox.h"
#include "page_box_v0.h"
#include "page_drawzone.h"
#include "page_raxo_e.h"
#include "devicesession.h"
#include "modellayout.h"
#include "pointcloudanomalydetector.h"
#include "pointcloudui.h"
#include "settingsdocument.h"
#include "tracelog.h"
#include "ui_mainwindow.h"

#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <string>

// ---- the page switch ----

void MainWindow::updateModelUi(int type)
{
    ui->page_spandata->setLidarType(currentModel);
    if (bigScreen)
        return;
    const ModelLayout *layout = find_model_layout(type);
    if (layout == nullptr) {
        QV_TRACE() << "no page layout for model" << type;
        return;
    }
    ui->frame_view->setVisible(layout->frameView);
    for (int id : layout->hiddenButtons)
        if (id >= 0)
            propertyGroup_->button(id)->hide();
    for (int id : layout->shownButtons)
        if (id >= 0)
            propertyGroup_->button(id)->show();
    ui->frame_func->show();
    ui->stackedWidget->setCurrentIndex(0);
    ui->stackedWidget_2->setCurrentIndex(layout->page);
    propertyGroup_->button(layout->page)->setChecked(true);
    if (layout->raxoPage)
        ui->page_raxo_e->setLidarType(type);
    emit viewGroup_->idPressed(0);
}

// ---- the connect actions ----

void MainWindow::recv_actionFenk_U(bool)
{
    connectSensor(LIDAR_FENK_U);
}

void MainWindow::recv_actionRaxo_E(bool)
{
    connectSensor(LIDAR_RAXO_E);
}

void MainWindow::recv_actionRaxo_S(bool)
{
    connectSensor(LIDAR_RAXO_S);
}

void MainWindow::recv_actionVimo_E(bool)
{
    connectSensor(LIDAR_VIMO_E);
}

void MainWindow::connectSensor(uint8_t model)
{
    const DeviceModel &m = device_model(model);
    startHeartBeat();
    Dialog_Connect *d = connectDialog();
    d->lidarmodel = QString::fromLatin1(lidar_wire_name(model));
    if (!m.keepsDialogRows)
        d->clearLidarList();
    else
        d->removeOtherModels();
    if (run_dialog(d) != QDialog::Accepted)
        return;

    recv_data(MSG_STOP, QByteArray());
    if (model_layout(model).frameView)
        ui->frame_view->show();
    connectedSn = d->lidarsn;

    if (d->isconnect) {
        currentModel = model;
        updateModelUi(model);
        startSession(model, SessionTarget{d->lidarip, d->lidarport, int(d->localport), bindAddress});
    }

    int32_t kept = m.framesKept;
    if (m.framesKeptKey != nullptr) {
        const std::string stored = IniSettings::instance()->get_value(
            "Standard", m.framesKeptKey, std::to_string(m.framesKept).c_str(), kSettingsDoc);
        kept = std::clamp(std::atoi(stored.c_str()), 0, kMaxFramesKept);
    }
    startDisplay(kept);
}

void MainWindow::startSession(uint8_t model, const SessionTarget &target)
{
    if (!session_->start(model, target) || !device_model(model).objectModels)
        return;
    // The page's object tools work on the session from the first session that has them. The
    // page lives as long as the window: one connection each, whatever the number of sessions,
    // or every entry on the page would be applied again per session.
    Page_Raxo_E *page = ui->page_raxo_e;
    const auto once = Qt::ConnectionType(Qt::DirectConnection | Qt::UniqueConnection);
    connect(page, &Page_Raxo_E::sig_showDataType, this, &MainWindow::onShowDataType, once);
    connect(page, &Page_Raxo_E::sig_height, session_, &DeviceSession::setMountingHeight, once);
    connect(page, &Page_Raxo_E::sig_autoheight, session_, &DeviceSession::resetCompensation, once);
    connect(page, &Page_Raxo_E::sig_show_objtrack, this, &MainWindow::onShowObjectTrack, once);
    connect(page, &Page_Raxo_E::sig_objselect, this, &MainWindow::onObjectSelect, once);
}

void MainWindow::startDisplay(int32_t kept)
{
    scene_->setFramesKept(kept);
    displayPaused = false;
    ui->page_parse_data->setIsRun(true);
    logOperate->setPlayState(true);
    logOperate->liveSource = true;
}

// ---- the algorithm box ----

void MainWindow::recv_actionAlgorithmBox(bool)
{
    if (algorithmBox == nullptr) {
        algorithmBox = new AlgorithmBox();
        connect(algorithmBox, &AlgorithmBox::sig_start, this, &MainWindow::recv_actionAlgorithmBox_run);
        connect(algorithmBox, &AlgorithmBox::sig_zoneData, ui->page_2d, &PointCloudUI::recv_zoneData);
    }
    algorithmBox->show();
}

void MainWindow::recv_actionAlgorithmBox_run(QString ip, int port, int lidartype)
{
    recv_data(MSG_STOP, QByteArray());
    if (lidartype != LIDAR_ALG_BOX)
        return;
    currentModel = LIDAR_ALG_BOX;
    updateModelUi(LIDAR_ALG_BOX);
    QV_TRACE() << port << ip << port;
    startSession(LIDAR_ALG_BOX, SessionTarget{ip, BOX_SESSION_PORT, BOX_SESSION_PORT, bindAddress});

    ui->page_2d->setScanDirection(0);
    ui->page_box_v0->setIP(ip);
    startDisplay(device_model(LIDAR_ALG_BOX).framesKept);
}

// ---- commands and uploads from the pages ----

void MainWindow::recv_sendcmd(QByteArray sendbuf, QString note, int lidartype)
{
    session_->send(sendbuf, note, lidartype);
}

void MainWindow::recv_upgrade(QString path, int lidartype, int updatetype)
{
    appendLog(msg_type_text(MSG_WARM), tr("Firmware upgrade in progress, please wait "));
    IniSettings::instance()->set_value("Standard", "upgrade_path", path.toStdString(), kSettingsDoc);
    session_->upload(path, lidartype, updatetype);
}

// ---- what the box receiver reports ----

void MainWindow::recv_progress(int rate, QString title, QString info)
{
    if (rate == lastProgress)
        return;
    lastProgress = rate;
    appendLog(title, QString("%1:%2").arg(info).arg(rate));
}

void MainWindow::recv_uploadtype(uint8_t uploadtype)
{
    ui->page_box_v0->showUploadType(uploadtype);
}

void MainWindow::recv_reset()
{
    // One clear waits at a time: resets that come while it waits are done by it.
    if (clearWaiting)
        return;
    clearWaiting = true;
    QTimer::singleShot(200, this, [this] {
        clearWaiting = false;
        onClearCloud();
    });
}

// ---- handlers of the Raxo page in Raxo-S sessions ----

void MainWindow::onShowDataType(int type)
{
    session_->setShowMode(type);
    showMarkers = type != 0;
}

void MainWindow::onShowObjectTrack()
{
    if (objectTable == nullptr)
        objectTable = new Dialog_ObjectTrack();
    run_dialog(objectTable);
}

void MainWindow::onObjectSelect(bool isselect)
{
    showObjects = isselect;
}

void MainWindow::onModelData(QString path)
{
    objectModels.clear();
    PointCloudAnomalyDetector *detector = PointCloudAnomalyDetector::GetInstance();
    if (detector == nullptr)
        return;
    detector->LoadModelsFromFile(path.toLocal8Bit().toStdString(), objectModels);
}
