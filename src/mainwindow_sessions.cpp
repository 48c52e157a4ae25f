// Device sessions and command routing of the main window: the connect actions, the session's
// receiver made and wired from its model's row, the parameter query, the routing of the pages'
// commands to the current receiver and the handlers a Raxo-S session wires.

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
#include "pointcloudanomalydetector.h"
#include "pointcloudui.h"
#include "recvboxdataproc.h"
#include "recvdataproc.h"
#include "recvdataproc2.h"
#include "recvdataproc3.h"
#include "sensorreceiver.h"
#include "settingsdocument.h"
#include "tracelog.h"
#include "ui_mainwindow.h"

#include <QComboBox>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <string>

// ---- what a session's receiver posts ----

bool MainWindow::isSessionReceiver(const QObject *receiver) const
{
    // A stopped receiver is deleted only after everything it posted before it ended has been
    // delivered, so its address is never a later receiver's while its posts are still queued.
    return receiver != nullptr && receiver == sessionReceiver.data();
}

template <typename Receiver, typename... Args, typename Target, typename... SlotArgs>
void MainWindow::connectSession(Receiver *receiver, void (Receiver::*signal)(Args...), Target *target,
                                void (Target::*slot)(SlotArgs...), Qt::ConnectionType type)
{
    connect(
        receiver, signal, target,
        [this, receiver, target, slot](Args... args) {
            if (isSessionReceiver(receiver))
                (target->*slot)(args...);
        },
        type);
}

void MainWindow::connectSessionData(SensorReceiver *receiver)
{
    connect(receiver, &SensorReceiver::sig_data, this, [this, receiver](int type, QByteArray info) {
        if (isSessionReceiver(receiver) || msg_is_log_line(type))
            recv_data(type, info);
    });
}

// ---- the page switch ----

void MainWindow::updateModelUi(int type)
{
    ui->page_spandata->setLidarType(currentModel);
    if (bigScreen)
        return;
    if (type < 0 || type > int(LIDAR_UNKNOWN)) {
        QV_TRACE() << "no page layout for model" << type;
        return;
    }
    const DeviceModel &m = device_model(type);
    ui->frame_view->setVisible(m.frameView);
    for (int id : m.hiddenButtons)
        if (id >= 0)
            propertyGroup_->button(id)->hide();
    for (int id : m.shownButtons)
        if (id >= 0)
            propertyGroup_->button(id)->show();
    ui->frame_func->show();
    ui->stackedWidget->setCurrentIndex(0);
    ui->stackedWidget_2->setCurrentIndex(m.page);
    propertyGroup_->button(m.page)->setChecked(true);
    if (m.raxoPage)
        ui->page_raxo_e->setLidarType(type);
    emit viewGroup_->idPressed(0);
}

// ---- the parameter query ----

void MainWindow::queryLidarParam(int type)
{
    const DeviceModel &m = device_model(type);
    // Only the session's receiver can ask, and only its own family's questions.
    if (m.startQueries == nullptr || sessionReceiver == nullptr || !same_receiver(type, sessionModel))
        return;
    for (const QByteArray &frame : m.startQueries(uint8_t(type)))
        if (sessionReceiver->SendCmd(frame.constData(), frame.size()))
            noteSent(frame);
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
    if (m.frameView)
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
    const DeviceModel &m = device_model(model);
    if (m.makeReceiver == nullptr)
        return;
    SensorReceiver *r = m.makeReceiver(model, target);
    sessionReceiver = r;
    sessionModel = model;
    connect(r, &QThread::finished, r, &QObject::deleteLater);
    connectSessionData(r);
    connectSession(r, &SensorReceiver::sig_framedata, this, &MainWindow::recv_framedata);

    if (m.zones) {
        connect(ui->page_raxo_e->getDrawZone(), &Page_DrawZone::sig_zoneCmd, r, &SensorReceiver::recv_zoneCmd);
        connectSession(r, &SensorReceiver::sig_zoneData, ui->page_2d, &PointCloudUI::recv_zoneData);
    }
    if (auto *raxo = qobject_cast<RecvDataProc2 *>(r)) {
        Page_Raxo_E *page = ui->page_raxo_e;
        connectSession(raxo, &RecvDataProc2::sig_framedata_2D, this, &MainWindow::recv_framedata_2D);
        connectSession(raxo, &RecvDataProc2::sig_compensate, page, &Page_Raxo_E::recv_height);
        connectSession(raxo, &RecvDataProc2::sig_debug_show, this, &MainWindow::recv_debug_show);
        if (m.objectModels) {
            // The models are read by the GUI thread: they are replaced there too.
            connectSession(raxo, &RecvDataProc2::sig_modelData, this, &MainWindow::onModelData,
                           Qt::QueuedConnection);
            connectSession(raxo, &RecvDataProc2::sig_modelData, page, &Page_Raxo_E::recv_modelData);
            // The page lives as long as the window: one connection each, whatever the number
            // of sessions, or every entry on the page would be applied again per session.
            const auto once = Qt::ConnectionType(Qt::DirectConnection | Qt::UniqueConnection);
            connect(page, &Page_Raxo_E::sig_showDataType, this, &MainWindow::onShowDataType, once);
            connect(page, &Page_Raxo_E::sig_height, this, &MainWindow::onSetHeight, once);
            connect(page, &Page_Raxo_E::sig_autoheight, this, &MainWindow::onAutoHeight, once);
            connect(page, &Page_Raxo_E::sig_show_objtrack, this, &MainWindow::onShowObjectTrack, once);
            connect(page, &Page_Raxo_E::sig_objselect, this, &MainWindow::onObjectSelect, once);
        }
    }
    if (auto *box = qobject_cast<RecvBoxDataProc *>(r)) {
        connectSession(box, &RecvBoxDataProc::sig_progress, this, &MainWindow::recv_progress);
        connectSession(box, &RecvBoxDataProc::sig_uploadtype, this, &MainWindow::recv_uploadtype);
        connectSession(box, &RecvBoxDataProc::sig_cacheclean, this, &MainWindow::recv_reset);
    }
    r->start();
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
    const bool sent = sessionReceiver != nullptr && same_receiver(lidartype, sessionModel) &&
                      sessionReceiver->SendCmd(sendbuf.constData(), sendbuf.size());
    // Notes pair with replies oldest first: a note for a command no device will answer would
    // be taken by the reply of the next one.
    if (!sent) {
        QV_TRACE() << "command dropped for model" << lidartype << note;
        return;
    }
    noteSent(sendbuf);
    if (!note.isEmpty())
        pendingNotes.append({note, device_set_code(device_model(lidartype), sendbuf)});
}

void MainWindow::recv_upgrade(QString path, int lidartype, int updatetype)
{
    appendLog(msg_type_text(MSG_WARM), tr("Firmware upgrade in progress, please wait "));
    IniSettings::instance()->set_value("Standard", "upgrade_path", path.toStdString(), kSettingsDoc);
    if (sessionReceiver != nullptr && same_receiver(lidartype, sessionModel))
        sessionReceiver->FileUpdate(path, updatetype);
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
    if (auto *raxo = sessionAs<RecvDataProc2>())
        raxo->SetShowMode(type);
    showMarkers = type != 0;
}

void MainWindow::onSetHeight(float height)
{
    if (auto *raxo = sessionAs<RecvDataProc2>())
        raxo->SetMountingHeight(height);
}

void MainWindow::onAutoHeight()
{
    if (auto *raxo = sessionAs<RecvDataProc2>())
        raxo->ResetCompensate();
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
