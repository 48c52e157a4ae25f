#include "mainwindow.h"

#include "appresources.h"
#include "colorhelpers.h"
#include "component_logoperate.h"
#include "dialog_config.h"
#include "dialog_connect.h"
#include "dialog_fix_point_detect.h"
#include "dialog_objecttrack.h"
#include "dialog_software_info.h"
#include "dialog_alldata.h"
#include "dialog_traindata.h"
#include "devicesession.h"
#include "heartbeatproc.h"
#include "inisettings.h"
#include "logmanager.h"
#include "messagelog.h"
#include "messagebox.h"
#include "page_drawzone.h"
#include "page_hoby_u.h"
#include "page_raxo_e.h"
#include "page_vimo_e.h"
#include "playbackproc.h"
#include "pointcloudanomalydetector.h"
#include "pointcloudui.h"
#include "algorithmbox.h"
#include "settingsdocument.h"
#include "tracelog.h"
#include "ui_mainwindow.h"
#include "zonetable.h"

#include <QAbstractItemModel>
#include <QMenu>
#include <QMenuBar>
#include <QPersistentModelIndex>
#include <QRadioButton>
#include <QTimer>
#include <QToolBar>

#include <vtkGenericOpenGLRenderWindow.h>
#include <vtkNew.h>

namespace {

MainWindow *g_instance = nullptr;

// One action of the view toolbar, in toolbar order.
struct ToolAction {
    QAction *MainWindow::*member;
    const char *name;
    const char *icon;
    const char *tip;
    bool checkable;
    bool checked;
    void (MainWindow::*slot)(bool);
};


// Property buttons by id, in the order of the side stack's pages.
const char *const kPropertyButtons[] = {
    QT_TRANSLATE_NOOP("MainWindow", "Fenk-U property"), QT_TRANSLATE_NOOP("MainWindow", "Raxo-E property"),
    QT_TRANSLATE_NOOP("MainWindow", "Vimo-E property"), QT_TRANSLATE_NOOP("MainWindow", "Points data"),
    QT_TRANSLATE_NOOP("MainWindow", "Parse data"),      QT_TRANSLATE_NOOP("MainWindow", "alarm zone property"),
};

} // namespace

MainWindow *MainWindow::instance()
{
    if (g_instance == nullptr)
        new MainWindow(nullptr); // registers itself as the instance
    return g_instance;
}

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui::MainWindow)
{
    if (g_instance == nullptr)
        g_instance = this;
    init_app_resources();

    ui->setupUi(this);
    messageLog = new MessageLog(ui->logList);
    session_ = new DeviceSession();

    // The widget keeps the render window; the window needs no reference of its own.
    vtkNew<vtkGenericOpenGLRenderWindow> renderWindow;
    ui->openGLWidget->setRenderWindow(renderWindow);

    // Frames, zone tables and item-model hints cross threads in queued connections.
    register_point_meta_types();
    register_zone_meta_types();
    qRegisterMetaType<QList<QPersistentModelIndex>>("QList<QPersistentModelIndex>");
    qRegisterMetaType<QVector<int>>("QVector<int>");
    qRegisterMetaType<QAbstractItemModel::LayoutChangeHint>("QAbstractItemModel::LayoutChangeHint");

    setupToolbar();
    setupThreads();
    initView3D();
    setupConnections();
    // Warnings from the network that are not shown while one is open go to the message log.
    previousWarningLog = set_warning_log_handler(
        [this](const QString &title, const QString &text, int repeats) {
            logNetworkWarning(title, text, repeats);
        });
    // The recorder reports from its own thread: through the event loop, like the workers.
    LogManager::instance()->set_event_handler([this](const RecorderEvent &e) {
        QMetaObject::invokeMethod(this, [this, e] { recordingEvent(e); }, Qt::QueuedConnection);
    });
    showMaximized();
}

MainWindow::~MainWindow()
{
    set_warning_log_handler(std::move(previousWarningLog));
    LogManager::instance()->set_event_handler(nullptr);
    recv_data(MSG_STOP, QByteArray());
    LogManager::instance()->stop(LogManager::kModeDestroy);
    // The scene goes before the view it draws into, its markers with it.
    delete scene_;
    scene_ = nullptr;
    delete messageLog;
    messageLog = nullptr;
    // Stopped by the stop message above: nothing of it runs any more.
    delete session_;
    session_ = nullptr;
    delete ui;
    ui = nullptr;

    // The program never destroys its window; tests do, and then nothing the window started may
    // keep running: a running QThread must not be destroyed.
    if (!heartBeat.isNull()) {
        heartBeat->stop();
        heartBeat->wait();
        heartBeat.clear(); // deletes itself on finished
    }
    delete tickTimer;
    delete dialogConnect;
    delete objectTable;
    // The factory test is a child: it goes with the window, which filters no more events.
    removeEventFilter(this);
    delete algorithmBox;
    playbackThread.quit();
    playbackThread.wait();
    if (g_instance == this)
        g_instance = nullptr;
}

void MainWindow::setupToolbar()
{
    static const ToolAction kToolActions[] = {
        {&MainWindow::actionUp, "actionUp", "up", QT_TRANSLATE_NOOP("MainWindow", "Z Top"), false, false,
         &MainWindow::recv_actionUp},
        {&MainWindow::actionBottom, "actionBottom", "bottom", QT_TRANSLATE_NOOP("MainWindow", "Z Bottom"), false,
         false, &MainWindow::recv_actionBottom},
        {&MainWindow::actionFront, "actionFront", "front", QT_TRANSLATE_NOOP("MainWindow", "Z Front"), false, false,
         &MainWindow::recv_actionFront},
        {&MainWindow::actionBack, "actionBack", "back", QT_TRANSLATE_NOOP("MainWindow", "Z Back"), false, false,
         &MainWindow::recv_actionBack},
        {&MainWindow::actionLeft, "actionLeft", "left", QT_TRANSLATE_NOOP("MainWindow", "Z Left"), false, false,
         &MainWindow::recv_actionLeft},
        {&MainWindow::actionRight, "actionRight", "right", QT_TRANSLATE_NOOP("MainWindow", "Z Right"), false, false,
         &MainWindow::recv_actionRight},
        {&MainWindow::actionRotateX, "actionRotateX", "rotate_x", QT_TRANSLATE_NOOP("MainWindow", "rotate x"), false,
         false, &MainWindow::recv_actionRotateX},
        {&MainWindow::actionRotateY, "actionRotateY", "rotate_y", QT_TRANSLATE_NOOP("MainWindow", "rotate y"), false,
         false, &MainWindow::recv_actionRotateY},
        {&MainWindow::actionRotateZ, "actionRotateZ", "rotate_z", QT_TRANSLATE_NOOP("MainWindow", "rotate z"), false,
         false, &MainWindow::recv_actionRotateZ},
        {&MainWindow::actionCoodinate, "actionCoodinate", "coodinate",
         QT_TRANSLATE_NOOP("MainWindow", "Coodinate show/hide"), true, true, &MainWindow::recv_actionCoodinate},
        {&MainWindow::actionGrid, "actionGrid", "grid", QT_TRANSLATE_NOOP("MainWindow", "grid"), true, true,
         &MainWindow::recv_actionGrid},
        {&MainWindow::actionPartHide, "actionPartHide", "part_hide",
         QT_TRANSLATE_NOOP("MainWindow", " no filter part hide"), true, false, &MainWindow::recv_actionPartHide},
        {&MainWindow::actionCircle, "actionCircle", "circle",
         QT_TRANSLATE_NOOP("MainWindow",
                           "Circling the point cloud: After clicking, left mouse button (first point) and then right "
                           "mouse button (second point) in the image, the circling is finished."),
         true, false, &MainWindow::recv_actionCircle},
        {&MainWindow::actionZoomIn, "actionZoomIn", "zoomin2", QT_TRANSLATE_NOOP("MainWindow", "Zoom in"), false, false,
         &MainWindow::recv_actionZoomIn},
        // The zoom-out button carries the zoom-in tooltip; users know it by its icon.
        {&MainWindow::actionZoomOut, "actionZoomOut", "zoomout2", QT_TRANSLATE_NOOP("MainWindow", "Zoom in"), false,
         false, &MainWindow::recv_actionZoomOut},
        {&MainWindow::actionCenter, "actionCenter", "center", QT_TRANSLATE_NOOP("MainWindow", "center"), false, false,
         &MainWindow::recv_actionCenter},
        {&MainWindow::actionColorful, "actionColorful", "colorful",
         QT_TRANSLATE_NOOP("MainWindow", "intensity maps color by min-max"), true, false,
         &MainWindow::recv_actionColorful},
    };
    // The view toolbar on the left.
    auto *toolBar = new QToolBar(this);
    toolBar->setObjectName("toolBar");
    addToolBar(Qt::LeftToolBarArea, toolBar);
    for (const ToolAction &t : kToolActions) {
        auto *a = new QAction(QIcon(QString(":/resource/images/%1.png").arg(t.icon)), tr(t.tip), this);
        a->setObjectName(t.name);
        a->setToolTip(tr(t.tip));
        a->setCheckable(t.checkable);
        a->setChecked(t.checked);
        this->*t.member = a;
        toolBar->addAction(a);
        connect(a, &QAction::triggered, this, t.slot);
    }

    auto addEntry = [this](QMenu *menu, const QString &text, const char *name, void (MainWindow::*slot)(bool)) {
        auto *a = new QAction(text, this);
        a->setObjectName(name);
        menu->addAction(a);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };

    auto *source = new QMenu(tr("data source"), ui->menubar);
    source->setObjectName("menu_connect_type");
    addEntry(source, tr("Fenk-U"), "actionFenk_U", &MainWindow::recv_actionFenk_U);
    addEntry(source, tr("Raxo-E"), "actionRaxo_E", &MainWindow::recv_actionRaxo_E);
    addEntry(source, tr("Raxo-S"), "actionRaxo_S", &MainWindow::recv_actionRaxo_S);
    addEntry(source, tr("Vimo-E"), "actionVimo_E", &MainWindow::recv_actionVimo_E);
    addEntry(source, tr("Algorithm Box"), "actionAlgorithmBox", &MainWindow::recv_actionAlgorithmBox);
    addEntry(source, tr("playback file"), "actionPlayBack", &MainWindow::recv_actionPlayBack);
    ui->menubar->addMenu(source);

    auto *tool = new QMenu(tr("tool"), ui->menubar);
    tool->setObjectName("menu_tool");
    auto *language = new QMenu(tr("language"), tool);
    language->setObjectName("menu_language");
    addEntry(language, tr("CN"), "action_CN", &MainWindow::recv_action_CN);
    addEntry(language, tr("EN"), "action_EN", &MainWindow::recv_action_EN);
    tool->addMenu(language);
    addEntry(tool, tr("backgroud color"), "actionBGColor", &MainWindow::recv_actionBGColor);
    addEntry(tool, tr("log config"), "action_Config", &MainWindow::recv_action_Config);
    addEntry(tool, tr("big screen"), "action_BigScreen", &MainWindow::recv_action_BigScreen);
    addEntry(tool, tr("fix point edit"), "action_FixPointEdit", &MainWindow::recv_action_FixPointEdit);
    addEntry(tool, tr("model train"), "action_Train", &MainWindow::recv_action_train);
    // The voxel filter is the Raxo receiver's: both entries wait for a Raxo session.
    actionVoxelSet = addEntry(tool, tr("voxel filter setting"), "action_voxel_set",
                              &MainWindow::recv_actionOutlierFiltration);
    actionVoxelReset = addEntry(tool, tr("voxel filter reset"), "action_voxel_reset",
                                &MainWindow::recv_actionOutlierFiltration);
    updateVoxelActions();
    connect(tool, &QMenu::aboutToShow, this, &MainWindow::updateVoxelActions);
    ui->menubar->addMenu(tool);

    auto *help = new QMenu(tr("help"), ui->menubar);
    help->setObjectName("menu_help");
    addEntry(help, tr("about"), "actionabout", &MainWindow::recv_actionAbout);
    ui->menubar->addMenu(help);

    // The playback toolbar at the top.
    logOperate = new Component_LogOperate();
    connect(logOperate, &Component_LogOperate::sig_data, this, &MainWindow::recv_data);
    connect(logOperate, &Component_LogOperate::sig_playprogress, this, &MainWindow::recv_playprogress);
    addToolBar(Qt::TopToolBarArea, logOperate);
    connect(logOperate, &Component_LogOperate::sig_actionFirst, this, &MainWindow::recv_actionFirst);
    connect(logOperate, &Component_LogOperate::sig_actionPrevious, this, &MainWindow::recv_actionPrevious);
    connect(logOperate, &Component_LogOperate::sig_actionPlayCircle, this, &MainWindow::recv_actionPlayCircle);
    connect(logOperate, &Component_LogOperate::sig_actionNext, this, &MainWindow::recv_actionNext);
    connect(logOperate, &Component_LogOperate::sig_actionLast, this, &MainWindow::recv_actionLast);
    connect(logOperate, &Component_LogOperate::sig_actionVideoCamera, this, &MainWindow::recv_actionVideoCamera);
    connect(logOperate, &Component_LogOperate::sig_actionCamera, this, &MainWindow::recv_actionCamera);

    // "3D view" / "2D view".
    viewGroup_ = new QButtonGroup(this);
    viewGroup_->setExclusive(true);
    const char *const views[] = {QT_TR_NOOP("3D view"), QT_TR_NOOP("2D view")};
    for (int id = 0; id < 2; ++id) {
        auto *b = new QRadioButton(tr(views[id]), ui->frame_view);
        b->setObjectName(QString("rb_view_%1").arg(id));
        viewGroup_->addButton(b, id);
        ui->horizontalLayout_view->addWidget(b);
    }
    viewGroup_->button(0)->setChecked(true);
    ui->stackedWidget->setCurrentIndex(0);
    connect(viewGroup_, &QButtonGroup::idPressed, this, &MainWindow::switchView, Qt::DirectConnection);

    // The six side pages; a session shows the buttons of its model.
    propertyGroup_ = new QButtonGroup(this);
    propertyGroup_->setExclusive(true);
    for (int id = 0; id < 6; ++id) {
        auto *b = new QRadioButton(tr(kPropertyButtons[id]), ui->frame_func);
        b->setObjectName(QString("rb_property_%1").arg(id));
        propertyGroup_->addButton(b, id);
        ui->horizontalLayout_func->addWidget(b);
    }
    propertyGroup_->button(0)->setChecked(true);
    ui->stackedWidget_2->setCurrentIndex(3);
    for (QAbstractButton *b : propertyGroup_->buttons())
        b->hide();
    connect(propertyGroup_, &QButtonGroup::idPressed, this, &MainWindow::switchProperty, Qt::DirectConnection);

    ui->frame_view->hide();
    ui->frame_func->hide();
    ui->logList->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);

    ui->page_2d->setDrawZone(ui->page_raxo_e->getDrawZone());
    // Object boxes in the 2D view carry the names of the detector's models.
    ui->page_2d->setClassNames([](int classIndex) {
        const PointCloudAnomalyDetector *detector = PointCloudAnomalyDetector::GetInstance();
        return QString::fromStdString(detector != nullptr ? detector->GetModelName(classIndex)
                                                          : std::string("unknown"));
    });

    // A stored colour that is not three channels of 0 to 255 leaves the default.
    int rgb[3] = {0, 0, 0};
    const std::string stored = IniSettings::instance()->get_value("Standard", "Color", "0|0|0", kSettingsDoc);
    if (!parse_color_setting(stored, rgb)) {
        QV_TRACE() << "Color not three channels of 0 to 255:" << QString::fromStdString(stored);
        rgb[0] = rgb[1] = rgb[2] = 0;
    }
    ui->page_2d->setBackground(QColor(rgb[0], rgb[1], rgb[2], 255));
}

void MainWindow::switchView(int b)
{
    if (QAbstractButton *button = viewGroup_->button(b))
        button->setChecked(true);
    ui->stackedWidget->setCurrentIndex(b);
    // Camera presets, axes and circling belong to the 3D view.
    for (QAction *a : {actionUp, actionBottom, actionFront, actionBack, actionLeft, actionRight, actionCoodinate,
                       actionCircle})
        a->setEnabled(b == 0);
}

void MainWindow::switchProperty(int a)
{
    if (QAbstractButton *button = propertyGroup_->button(a))
        button->setChecked(true);
    ui->stackedWidget_2->setCurrentIndex(a);
    if (a == 3)
        redrawFlag = true; // the next tick fills the point table
}

void MainWindow::startHeartBeat()
{
    // One that has ended but is not deleted yet is as good as gone.
    if (!heartBeat.isNull() && !heartBeat->isFinished())
        return;
    heartBeat = new HeartBeatProc(HEARTBEAT_PORT);
    connect(heartBeat, &HeartBeatProc::sig_data, this, &MainWindow::recv_data);
    connect(heartBeat, &QThread::finished, heartBeat, &QObject::deleteLater);
    heartBeat->start();
}

void MainWindow::setupThreads()
{
    startHeartBeat();

    tickTimer = new QTimer();
    connect(tickTimer, &QTimer::timeout, this, &MainWindow::recv_timeout);
    tickTimer->start(100);

    playback = new PlaybackProc();
    playback->moveToThread(&playbackThread);
    connect(&playbackThread, &QThread::finished, playback, &QObject::deleteLater);
    // Replies and the model of a request the window has left would act on whatever runs now;
    // its log lines are still true and are kept.
    connect(playback, &PlaybackProc::sig_data, this, [this](int type, QByteArray info) {
        if (playbackAbandons > 0 && (type == MSG_LIDAR_TYPE || type == MSG_CMD_INFO || type == MSG_DATA_TYPE))
            return;
        recv_data(type, info);
    });
    connect(playback, &PlaybackProc::sig_abandonPassed, this, &MainWindow::onAbandonPassed);
    connect(this, &MainWindow::sig_playback, playback, &PlaybackProc::recv_playback);
    connect(playback, &PlaybackProc::sig_CacheData, this, &MainWindow::recv_CacheData);
    playbackThread.start();
}

void MainWindow::setupConnections()
{
    connect(ui->page_fenku, &Page_Hoby_U::sig_sendcmd, this, &MainWindow::recv_sendcmd);
    connect(ui->page_fenku, &Page_Hoby_U::sig_upgrade, this, &MainWindow::recv_upgrade);
    connect(ui->page_vimo_e, &Page_Vimo_E::sig_sendcmd, this, &MainWindow::recv_sendcmd);
    connect(ui->page_vimo_e, &Page_Vimo_E::sig_upgrade, this, &MainWindow::recv_upgrade);
    connect(ui->page_vimo_e, &Page_Vimo_E::sig_showtime, this, &MainWindow::recv_showtime);
    connect(ui->page_vimo_e, &Page_Vimo_E::sig_ignore_err, this, &MainWindow::recv_ignore_err);
    connect(ui->page_raxo_e, &Page_Raxo_E::sig_data, this, &MainWindow::recv_data);
    connect(ui->page_raxo_e, &Page_Raxo_E::sig_upgrade, this, &MainWindow::recv_upgrade);
    connect(ui->page_raxo_e, &Page_Raxo_E::sig_sendcmd, this, &MainWindow::recv_sendcmd);
    connect(ui->page_box_v0, &Page_Box_V0::sig_sendcmd, this, &MainWindow::recv_sendcmd);
    connect(ui->page_box_v0, &Page_Box_V0::sig_data, this, &MainWindow::recv_data);
    connect(ui->page_box_v0, &Page_Box_V0::sig_iconshow, this, &MainWindow::recv_iconshow);
    connect(ui->page_box_v0, &Page_Box_V0::sig_reset, this, &MainWindow::recv_reset);
    connect(ui->page_parse_data, &Dialog_ParseData::sig_data, this, &MainWindow::recv_data);
    connect(ui->page_parse_data, &Dialog_ParseData::sig_dataLimit, this, &MainWindow::recv_dataLimit);
    connectSession();
}

void MainWindow::connectSession()
{
    DeviceSession *s = session_;
    // What the session's receiver posts beyond what the session reads itself.
    connect(s, &DeviceSession::message, this, &MainWindow::recv_data);
    connect(s, &DeviceSession::started, this, &MainWindow::updateVoxelActions);
    connect(s, &DeviceSession::frame, this, &MainWindow::recv_framedata);
    connect(s, &DeviceSession::frame2D, this, &MainWindow::recv_framedata_2D);
    connect(s, &DeviceSession::debugImage, this, &MainWindow::recv_debug_show);
    connect(s, &DeviceSession::zonesRead, ui->page_2d, &PointCloudUI::recv_zoneData);
    connect(ui->page_raxo_e->getDrawZone(), &Page_DrawZone::sig_zoneCmd, s, &DeviceSession::zoneCommand);
    connect(s, &DeviceSession::heightFitted, ui->page_raxo_e, &Page_Raxo_E::recv_height);
    // The models are read by the GUI thread: they are replaced there too.
    connect(s, &DeviceSession::modelFileRead, this, &MainWindow::onModelData, Qt::QueuedConnection);
    connect(s, &DeviceSession::modelFileRead, ui->page_raxo_e, &Page_Raxo_E::recv_modelData);
    connect(s, &DeviceSession::progress, this, &MainWindow::recv_progress);
    connect(s, &DeviceSession::uploadTypeReported, this, &MainWindow::recv_uploadtype);
    connect(s, &DeviceSession::cacheCleaned, this, &MainWindow::recv_reset);

    // What the replies say goes to the pages and the log.
    connect(s, &DeviceSession::fenkParameters, ui->page_fenku, &Page_Hoby_U::recv_params);
    connect(s, &DeviceSession::dataTypeMask, ui->page_spandata, &Dialog_AllData::setDataType);
    connect(s, &DeviceSession::raxoParameters, ui->page_raxo_e, &Page_Raxo_E::recv_params);
    connect(s, &DeviceSession::raxoAlgorithm, ui->page_raxo_e, &Page_Raxo_E::recv_algParams);
    connect(s, &DeviceSession::vimoParameters, ui->page_vimo_e, &Page_Vimo_E::recv_params);
    connect(s, &DeviceSession::logLine, this, &MainWindow::appendLog);
    connect(s, &DeviceSession::warning, this,
            [](QString title, QString text) { show_network_warning(nullptr, title, text); });
    // The device moves to another address: the session ends as a stop message ends it.
    connect(s, &DeviceSession::mustEnd, this, [this] { recv_data(MSG_STOP, QByteArray()); });
    s->setMotorTemperature([this] { return dialogConnect != nullptr ? dialogConnect->motortemp : -1.0f; });
}

Dialog_Connect *MainWindow::connectDialog()
{
    if (dialogConnect == nullptr) {
        dialogConnect = new Dialog_Connect();
        connect(dialogConnect, &Dialog_Connect::sig_lidarOnLine, this, &MainWindow::recv_lidarOnLine);
        connect(dialogConnect, &Dialog_Connect::sig_lidarOffLine, this, &MainWindow::recv_lidarOffLine);
    }
    return dialogConnect;
}

// ---- tool, language and notification actions ----

void MainWindow::recv_action_BigScreen(bool)
{
    const bool entering = !bigScreen;
    bigScreen = !bigScreen;
    const std::initializer_list<QWidget *> sides = {ui->frame_log, ui->stackedWidget_2, ui->frame_func,
                                                    ui->frame_view, ui->label_2};
    for (QWidget *w : sides)
        w->setVisible(!entering);
}

// Only the menu entry itself stores the language; the running program keeps its own until the
// next start.
void MainWindow::storeLanguage(const char *entry, const char *language, const QString &title)
{
    const QString name = sender() != nullptr ? sender()->objectName() : QString();
    QV_TRACE() << name;
    if (name != QLatin1String(entry))
        return;
    IniSettings::instance()->set_value("Standard", "Language", language, kSettingsDoc);
    show_warning(nullptr, title, tr("The Language configuration must be rebooted to take effect"));
}

void MainWindow::recv_action_CN(bool)
{
    storeLanguage("action_CN", "Chinese", tr("warm"));
}

void MainWindow::recv_action_EN(bool)
{
    storeLanguage("action_EN", "English", tr("error"));
}

void MainWindow::recv_action_Config(bool)
{
    Dialog_Config dialog;
    run_dialog(&dialog);
}

void MainWindow::recv_action_FixPointEdit(bool)
{
    {
        Dialog_Fix_Point_Detect dialog;
        run_dialog(&dialog);
    }
    QTimer::singleShot(100, this, &MainWindow::onReloadFixPoints);
}

void MainWindow::recv_action_train(bool)
{
    Dialog_TrainData dialog;
    connect(&dialog, &Dialog_TrainData::sig_upgrade, this, &MainWindow::recv_upgrade);
    run_dialog(&dialog);
}

void MainWindow::onReloadFixPoints()
{
    ui->page_parse_data->read_ini();
}

void MainWindow::recv_actionAbout(bool)
{
    Dialog_Software_Info dialog;
    run_dialog(&dialog);
}

void MainWindow::on_pb_clean_clicked()
{
    // The queue is left alone: its lines still come at the next flush.
    ui->logList->clear();
    messageLog->listCleared();
}

void MainWindow::recv_iconshow(bool isopen)
{
    boxObjects = isopen;
    session_->setShowObjects(isopen);
}

void MainWindow::recv_ignore_err(int secord)
{
    session_->ignoreErrors(secord);
}

void MainWindow::recv_lidarOnLine(QString sn)
{
    if (sn != connectedSn)
        return;
    appendLog(msg_type_text(MSG_WARM),
              tr("detected a new lidar online, with the same SN number as the last connected lidar"));
}

void MainWindow::recv_lidarOffLine(QString sn)
{
    if (sn != connectedSn)
        return;
    appendLog(msg_type_text(MSG_WARM), tr("detected that the current lidar heartbeat packet has disappeared"));
    session_->forgetNotes();
}
