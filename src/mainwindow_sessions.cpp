// Device sessions and command routing of the main window: the connect actions, the parameter
// query, the routing of the pages' commands to the current receiver and the handlers a Raxo-S
// session wires.

#include "mainwindow.h"

#include "algorithmbox.h"
#include "component_logoperate.h"
#include "dialog_alldata.h"
#include "dialog_connect.h"
#include "dialog_objecttrack.h"
#include "dialog_parsedata.h"
#include "heartbeatproc.h"
#include "inisettings.h"
#include "lhframe.h"
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
#include "tracelog.h"
#include "ui_mainwindow.h"

#include <QComboBox>
#include <QTimer>

#include <algorithm>
#include <cstdlib>

namespace {

const char kDoc[] = "main_ini";

// The box answers on this port only, whatever its configurator says.
constexpr int kBoxPort = 6002;

// Frame types of the parameter queries.
constexpr uint16_t kFenkGetParams = 7;
constexpr uint16_t kRaxoGetParams = 1;
constexpr uint16_t kRaxoGetAlgParams = 6;

// The Vimo-E page offers 0 to 99 frames kept; a stored value outside that would let the cloud
// grow without end.
constexpr int kMaxFramesKept = 99;

uint16_t newSequence()
{
    return uint16_t(std::rand() & 0x7FFF);
}

template <typename Receiver> void sendFrame(Receiver *receiver, const std::vector<uint8_t> &frame)
{
    if (receiver != nullptr && !frame.empty())
        receiver->SendCmd(reinterpret_cast<const char *>(frame.data()), int(frame.size()));
}

// Which property buttons and pages a model shows.
struct ModelUi {
    bool frameView;
    int hidden[4]; // -1 ends the list
    int shown[3];  // -1 ends the list
    int page;      // of stackedWidget_2, also the button checked
};

const ModelUi kModelUi[] = {
    {false, {1, 2, 5, -1}, {0, 3, 4}, 0},     // Fenk-U
    {false, {0, 2, 5, -1}, {1, 3, 4}, 1},     // Raxo-E
    {true, {0, 2, 5, -1}, {1, 3, 4}, 1},      // Raxo-S
    {false, {0, 1, 5, -1}, {2, 3, 4}, 2},     // Vimo-E
    {false, {0, 1, 2, -1}, {5, 3, 4}, 5},     // algorithm box
    {false, {0, 1, 2, 5}, {3, 4, -1}, 3},     // no model
};

} // namespace

// ---- what a session's receiver posts ----

bool MainWindow::isSessionReceiver(const QObject *receiver) const
{
    // A stopped receiver is deleted only after everything it posted before it ended has been
    // delivered, so its address is never a later receiver's while its posts are still queued.
    return receiver != nullptr && (receiver == fenkReceiver || receiver == raxoReceiver ||
                                   receiver == vimoReceiver || receiver == boxReceiver);
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

template <typename Receiver> void MainWindow::connectSessionData(Receiver *receiver)
{
    connect(receiver, &Receiver::sig_data, this, [this, receiver](int type, QByteArray info) {
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
    const ModelUi &m = kModelUi[type];
    ui->frame_view->setVisible(m.frameView);
    for (int id : m.hidden)
        if (id >= 0)
            propertyGroup_->button(id)->hide();
    for (int id : m.shown)
        if (id >= 0)
            propertyGroup_->button(id)->show();
    ui->frame_func->show();
    ui->stackedWidget->setCurrentIndex(0);
    ui->stackedWidget_2->setCurrentIndex(m.page);
    propertyGroup_->button(m.page)->setChecked(true);
    if (type == LIDAR_RAXO_E || type == LIDAR_RAXO_S)
        ui->page_raxo_e->setLidarType(type);
    emit viewGroup_->idPressed(0);
}

// ---- the parameter query ----

void MainWindow::queryLidarParam(int type)
{
    const uint8_t zero = 0;
    switch (type) {
    case LIDAR_FENK_U:
        sendFrame(fenkReceiver, lh_make_sum_frame(0, newSequence(), kFenkGetParams, &zero, 1));
        break;
    case LIDAR_RAXO_E:
    case LIDAR_RAXO_S:
        sendFrame(raxoReceiver, lh_make_sum_frame(0, newSequence(), kRaxoGetParams, &zero, 1));
        if (type == LIDAR_RAXO_S)
            sendFrame(raxoReceiver, lh_make_sum_frame(0, newSequence(), kRaxoGetAlgParams, nullptr, 0));
        break;
    case LIDAR_VIMO_E: {
        static const char kQuery[] = "xxxxxx";
        sendFrame(vimoReceiver, lh_make_crc_frame(QUERY_PACK, newSequence(), kQuery, 6));
        break;
    }
    default:
        break; // the box and no model have no query
    }
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
    startHeartBeat();
    Dialog_Connect *d = connectDialog();
    d->lidarmodel = lidar_type_name(model);
    // A Vimo-E announces itself rarely: the rows the dialog has collected stay.
    if (model != LIDAR_VIMO_E)
        d->clearLidarList();
    if (run_dialog(d) != QDialog::Accepted)
        return;

    recv_data(MSG_STOP, QByteArray());
    if (model == LIDAR_RAXO_S)
        ui->frame_view->show();
    connectedSn = d->lidarsn;

    if (d->isconnect) {
        currentModel = model;
        updateModelUi(model);
        switch (model) {
        case LIDAR_FENK_U: {
            auto *r = new RecvDataProc;
            fenkReceiver = r;
            sessionModel = model;
            connect(r, &QThread::finished, r, &QObject::deleteLater);
            connectSessionData(r);
            connectSession(r, &RecvDataProc::sig_framedata, this, &MainWindow::recv_framedata);
            r->setBindAddress(bindAddress);
            r->init(d->lidarip, d->lidarport, int(d->localport));
            r->start();
            break;
        }
        case LIDAR_RAXO_E:
        case LIDAR_RAXO_S: {
            const bool s = model == LIDAR_RAXO_S;
            Page_Raxo_E *page = ui->page_raxo_e;
            auto *r = new RecvDataProc2;
            raxoReceiver = r;
            sessionModel = model;
            connect(r, &QThread::finished, r, &QObject::deleteLater);
            connectSessionData(r);
            connectSession(r, &RecvDataProc2::sig_framedata, this, &MainWindow::recv_framedata);
            connectSession(r, &RecvDataProc2::sig_framedata_2D, this, &MainWindow::recv_framedata_2D);
            connectSession(r, &RecvDataProc2::sig_compensate, page, &Page_Raxo_E::recv_height);
            if (s) {
                connect(page->getDrawZone(), &Page_DrawZone::sig_zoneCmd, r, &RecvDataProc2::recv_zoneCmd);
                connectSession(r, &RecvDataProc2::sig_zoneData, ui->page_2d, &PointCloudUI::recv_zoneData);
                // The models are read by the GUI thread: they are replaced there too.
                connectSession(r, &RecvDataProc2::sig_modelData, this, &MainWindow::onModelData,
                               Qt::QueuedConnection);
                connectSession(r, &RecvDataProc2::sig_modelData, page, &Page_Raxo_E::recv_modelData);
            }
            connectSession(r, &RecvDataProc2::sig_debug_show, this, &MainWindow::recv_debug_show);
            if (s) {
                // The page lives as long as the window: one connection each, whatever the
                // number of Raxo-S sessions, or every entry on the page would be applied again
                // per session started.
                const auto once = Qt::ConnectionType(Qt::DirectConnection | Qt::UniqueConnection);
                connect(page, &Page_Raxo_E::sig_showDataType, this, &MainWindow::onShowDataType, once);
                connect(page, &Page_Raxo_E::sig_height, this, &MainWindow::onSetHeight, once);
                connect(page, &Page_Raxo_E::sig_autoheight, this, &MainWindow::onAutoHeight, once);
                connect(page, &Page_Raxo_E::sig_show_objtrack, this, &MainWindow::onShowObjectTrack, once);
                connect(page, &Page_Raxo_E::sig_objselect, this, &MainWindow::onObjectSelect, once);
            }
            r->setBindAddress(bindAddress);
            r->init(int(d->localport), d->lidarip, d->lidarport);
            r->lidartype = model;
            r->start();
            break;
        }
        case LIDAR_VIMO_E: {
            auto *r = new RecvDataProc3;
            vimoReceiver = r;
            sessionModel = model;
            connect(r, &QThread::finished, r, &QObject::deleteLater);
            connectSessionData(r);
            connectSession(r, &RecvDataProc3::sig_framedata, this, &MainWindow::recv_framedata);
            r->setBindAddress(bindAddress);
            r->init(int(d->localport), d->lidarip, d->lidarport);
            r->start();
            break;
        }
        default:
            break;
        }
    }

    int32_t kept = 1;
    if (model == LIDAR_VIMO_E) {
        const std::string stored = IniSettings::instance()->get_value("Standard", "showtime", "10", kDoc);
        kept = std::clamp(std::atoi(stored.c_str()), 0, kMaxFramesKept);
    }
    startDisplay(kept);
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

    auto *r = new RecvBoxDataProc;
    boxReceiver = r;
    sessionModel = LIDAR_ALG_BOX;
    connect(r, &QThread::finished, r, &QObject::deleteLater);
    connectSessionData(r);
    connect(ui->page_raxo_e->getDrawZone(), &Page_DrawZone::sig_zoneCmd, r, &RecvBoxDataProc::recv_zoneCmd);
    connectSession(r, &RecvBoxDataProc::sig_progress, this, &MainWindow::recv_progress);
    connectSession(r, &RecvBoxDataProc::sig_zoneData, ui->page_2d, &PointCloudUI::recv_zoneData);
    connectSession(r, &RecvBoxDataProc::sig_framedata, this, &MainWindow::recv_framedata);
    connectSession(r, &RecvBoxDataProc::sig_uploadtype, this, &MainWindow::recv_uploadtype);
    connectSession(r, &RecvBoxDataProc::sig_cacheclean, this, &MainWindow::recv_reset);
    QV_TRACE() << port << ip << port;
    r->setBindAddress(bindAddress);
    r->init(kBoxPort, ip, kBoxPort);
    r->start();

    ui->page_2d->setScanDirection(0);
    ui->page_box_v0->setIP(ip);
    startDisplay(1);
}

// ---- commands and uploads from the pages ----

void MainWindow::recv_sendcmd(QByteArray sendbuf, QString note, int lidartype)
{
    const char *bytes = sendbuf.constData();
    const int len = sendbuf.size();
    bool sent = false;
    switch (lidartype) {
    case LIDAR_FENK_U:
        sent = fenkReceiver != nullptr && fenkReceiver->SendCmd(bytes, len);
        break;
    case LIDAR_RAXO_E:
    case LIDAR_RAXO_S:
        sent = raxoReceiver != nullptr && raxoReceiver->SendCmd(bytes, len);
        break;
    case LIDAR_VIMO_E:
        sent = vimoReceiver != nullptr && vimoReceiver->SendCmd(bytes, len);
        break;
    case LIDAR_ALG_BOX:
        sent = boxReceiver != nullptr && boxReceiver->SendCmd(bytes, len);
        break;
    default:
        break;
    }
    // Notes pair with replies oldest first: a note for a command no device will answer would
    // be taken by the reply of the next one.
    if (!sent) {
        QV_TRACE() << "command dropped for model" << lidartype << note;
        return;
    }
    if (!note.isEmpty())
        pendingNotes.append(note);
}

void MainWindow::recv_upgrade(QString path, int lidartype, int updatetype)
{
    appendLog(msg_type_text(MSG_WARM), tr("Firmware upgrade in progress, please wait "));
    IniSettings::instance()->set_value("Standard", "upgrade_path", path.toStdString(), kDoc);
    switch (lidartype) {
    case LIDAR_FENK_U:
        if (fenkReceiver != nullptr)
            fenkReceiver->FileUpdate(path, updatetype);
        break;
    case LIDAR_RAXO_E:
    case LIDAR_RAXO_S:
        if (raxoReceiver != nullptr)
            raxoReceiver->FileUpdate(path, updatetype);
        break;
    case LIDAR_VIMO_E:
        if (vimoReceiver != nullptr)
            vimoReceiver->FileUpdate(path, updatetype);
        break;
    default:
        break;
    }
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
    if (auto *combo = ui->page_box_v0->findChild<QComboBox *>("cb_upload_data_type"))
        combo->setCurrentIndex(uploadtype);
}

void MainWindow::recv_reset()
{
    QTimer::singleShot(200, this, &MainWindow::onClearCloud);
}

// ---- handlers of the Raxo page in Raxo-S sessions ----

void MainWindow::onShowDataType(int type)
{
    if (raxoReceiver != nullptr)
        raxoReceiver->SetShowMode(type);
    showMarkers = type != 0;
}

void MainWindow::onSetHeight(float height)
{
    if (raxoReceiver != nullptr)
        raxoReceiver->SetMountingHeight(height);
}

void MainWindow::onAutoHeight()
{
    if (raxoReceiver != nullptr)
        raxoReceiver->ResetCompensate();
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
