#pragma once
// The one top-level window and the owner of almost every long-lived object: the form with the
// 3D and 2D views, the configuration pages and the analysis panels; the toolbar, the menus and
// the two radio-button groups; the heartbeat listener, the 100 ms tick, the playback worker and
// its thread; the live session with a device; the 3D scene; and the message log.
//
// The session (devicesession.h) runs the device's receiver, sends the pages' commands and reads
// the replies; the window wires its signals to the pages and views once and keeps the connect
// actions. What the window shows of a model is its row of the layout table (modellayout.h).
//
// Every worker, page and panel reports through recv_data. The class is written in six files:
// mainwindow.cpp (construction, the session's wiring, tool and notification actions),
// mainwindow_dispatch.cpp (the dispatcher and the message log), mainwindow_sessions.cpp (the
// connect actions, the side page and what the pages ask of the session), mainwindow_view3d.cpp (the 3D view's tick and toolbar, forwarded to the scene,
// View3DScene, and what its draws and picks change in the other views),
// mainwindow_playback.cpp (playback, recording and snapshot) and mainwindow_inspection.cpp
// (the factory test, the voxel filter and the free-text command window).

#include "devicemodels.h"
#include "dialog_debug.h"
#include "featurepoints.h"
#include "messagebox.h"
#include "pointcloudanomalydetector.h"
#include "userpointdata.h"
#include "view3dscene.h"
#include "zonemonitor.h"

#include <QButtonGroup>
#include <QByteArray>
#include <QColor>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QThread>
#include <QVector>

#include <vtkIdTypeArray.h>
#include <vtkRenderer.h>

#include <cstdint>
#include <utility>
#include <vector>

class AlgorithmBox;
class DeviceSession;
class Component_LogOperate;
class Dialog_Connect;
class Dialog_Detect_Raxo;
class Dialog_ObjectTrack;
class HeartBeatProc;
class MessageLog;
class Page_Admin;
class PlaybackProc;
class QAction;
class QTimer;

namespace Ui {
class MainWindow;
}

struct RecorderEvent;

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // The window of the program: created without parent on first call, never deleted.
    static MainWindow *instance();

    // The program makes its one window through instance(); tests build their own.
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Writes one line to the message log at once: "[time]  [ title ] text".
    void appendLog(const QString &title, const QString &text);

    // Buttons of the "3D view"/"2D view" group and of the six side pages, by id.
    QButtonGroup *viewGroup() const { return viewGroup_; }
    QButtonGroup *propertyGroup() const { return propertyGroup_; }
    // Shows page b of the central stack (0 3D, 1 2D); the camera, axes and circling actions
    // work in the 3D view only.
    void switchView(int b);
    // Shows side page a; "Points data" (3) redraws at the next tick.
    void switchProperty(int a);

    vtkRenderer *renderer() const;

    // Local address every receiver the window creates binds to; empty (the default) means any.
    // Tests bind 127.0.0.1 while a fake device holds the same port numbers on 127.0.0.2.
    void setBindAddress(const QString &ip) { bindAddress = ip; }

    // Handed to the interaction style: forwards a pick to the one window.
    static void selectCallback(void *caller, vtkIdTypeArray *ids);
    // Applies a pick: the picked points become the selection, the analysis panel turns them
    // into limits, and the live display pauses with the panel shown.
    void setSelectData(vtkIdTypeArray *ids);

protected:
    // A click or key press in the factory test dialog brings that dialog forward, one in the
    // window the window: the dialog stays on top without keeping the focus from the window.
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    void sig_playback(QString filename, int logtype, int lidartype);

public slots:
    // Message dispatcher and log.
    void recv_data(int type, QByteArray info);

    // Tool, language and notification actions.
    void on_pb_clean_clicked();
    void recv_actionAbout(bool checked);
    void recv_action_CN(bool checked);
    void recv_action_EN(bool checked);
    void recv_action_Config(bool checked);
    void recv_action_BigScreen(bool checked);
    void recv_action_FixPointEdit(bool checked);
    // "model train": the training dialog, modal, made anew for each use.
    void recv_action_train(bool checked);
    void recv_iconshow(bool isopen);
    void recv_ignore_err(int secord);
    void recv_lidarOnLine(QString sn);
    void recv_lidarOffLine(QString sn);

    // The factory test, the voxel filter and the free-text command window.
    void recv_action_detect_raxo(bool checked);
    void recv_actionOutlierFiltration(bool checked);
    void onVoxelParam(bool on, float unitSize, int minNum);
    void recv_action_Cmd(bool checked);

    // 3D view: frames, the tick, limits and the toolbar, forwarded to the scene.
    void recv_timeout();
    void recv_framedata(std::vector<UserPointData> pointsdata, int lidartype);
    void recv_framedata_2D(std::vector<UserPointData> pointsdata, int lidartype);
    void recv_dataLimit(FeaturePoints data, bool isrun);
    void recv_actionUp(bool checked);
    void recv_actionBottom(bool checked);
    void recv_actionFront(bool checked);
    void recv_actionBack(bool checked);
    void recv_actionLeft(bool checked);
    void recv_actionRight(bool checked);
    void recv_actionRotateX(bool checked);
    void recv_actionRotateY(bool checked);
    void recv_actionRotateZ(bool checked);
    void recv_actionCoodinate(bool checked);
    void recv_actionGrid(bool checked);
    void recv_actionPartHide(bool checked);
    void recv_actionCircle(bool checked);
    void recv_actionZoomIn(bool checked);
    void recv_actionZoomOut(bool checked);
    void recv_actionCenter(bool checked);
    void recv_actionColorful(bool checked);
    void recv_actionBGColor(bool checked);
    void recv_debug_show(QByteArray data);
    void recv_showtime(int time);

    // Device sessions and command routing.
    void recv_actionFenk_U(bool checked);
    void recv_actionRaxo_E(bool checked);
    void recv_actionRaxo_S(bool checked);
    void recv_actionVimo_E(bool checked);
    void recv_actionAlgorithmBox(bool checked);
    void recv_actionAlgorithmBox_run(QString ip, int port, int lidartype);
    void recv_sendcmd(QByteArray sendbuf, QString note, int lidartype);
    void recv_upgrade(QString path, int lidartype, int updatetype);
    void recv_progress(int rate, QString title, QString info);
    void recv_uploadtype(uint8_t uploadtype);
    void recv_reset();

    // Playback, recording and snapshot.
    void recv_actionPlayBack(bool checked);
    void recv_actionFirst(bool checked);
    void recv_actionPrevious(bool checked);
    void recv_actionPlayCircle(bool checked);
    void recv_actionNext(bool checked);
    void recv_actionLast(bool checked);
    void recv_actionVideoCamera(bool checked);
    void recv_actionCamera(bool checked);
    void recv_CacheData(std::vector<UserPointData> framedata, float progress);
    void recv_playprogress(int index);

private slots:
    // Run 100 ms after the fixed-point editor closes.
    void onReloadFixPoints();
    // The playback worker has passed the abandon mark of one stop message.
    void onAbandonPassed();
    // Empties the 3D cloud, the accumulation and the 2D view's points (200 ms after a reset).
    void onClearCloud();

private:
    friend struct MainWindowTestAccess;

    // Construction steps.
    void setupToolbar();
    void setupThreads();
    void startHeartBeat();
    void initView3D();
    void setupConnections();

    // Dispatcher branches.
    void queueLog(int type, const QByteArray &info);
    void logNetworkWarning(const QString &title, const QString &text, int repeats);
    void flushLogQueue();
    void recvZoneMonitor(const QByteArray &info);
    void recvHeartbeat(const QByteArray &info);
    void recvBoxHeartbeat(const QByteArray &info);
    void recvLidarType(const QByteArray &info);
    // The stop message: the session stopped, frames and cache emptied, display paused.
    void stopAll();
    // Wires the session's signals to the window, the pages and the views, once.
    void connectSession();

    void storeLanguage(const char *entry, const char *language, const QString &title);

    // The connection dialog, made on first need with its two notifications connected.
    Dialog_Connect *connectDialog();

    // The voxel entries of the "tool" menu work while a Raxo session runs.
    void updateVoxelActions();

    // Parts of the session, 3D view and playback code.
    // Side pages and property buttons of a model.
    void updateModelUi(int type);
    // The connect action of a sensor model (Fenk-U, Raxo-E, Raxo-S, Vimo-E).
    void connectSensor(uint8_t model);
    // Starts the model's session, and wires the Raxo page's object tools to the first that has
    // them.
    void startSession(uint8_t model, const SessionTarget &target);
    // The end of every accepted connect: frames kept, the view and the playback toolbar running.
    void startDisplay(int32_t kept);
    // Handlers of the Raxo page during Raxo-S sessions.
    void onShowDataType(int type);
    void onShowObjectTrack();
    void onObjectSelect(bool isselect);
    void onModelData(QString path);
    // The scene draws, then the point table, the 2D view, the analysis panel and the factory
    // test take what it drew and selected.
    void showFrame();
    // The point table takes a copy of what it shows: it is filled only while it is on screen,
    // and the tick fills it with the latest cloud once it is shown again.
    void refreshPointTable();
    // Makes cache entry (cache index) the current frame, drawn at the next tick.
    void showCachedFrame();
    // Switches the raw-data recording on or off.
    void recordRawData(bool on);
    // What the recorder's thread reports of a recording: losses, its end, a failed write.
    void recordingEvent(const RecorderEvent &event);

    Ui::MainWindow *ui = nullptr;
    Component_LogOperate *logOperate = nullptr;
    Dialog_Connect *dialogConnect = nullptr;
    // The listener deletes itself when it ends, also by itself when port 6789 cannot be bound:
    // the window must never touch it afterwards, and the next connect starts a new one.
    QPointer<HeartBeatProc> heartBeat;
    // The live session with a device (devicesession.h).
    DeviceSession *session_ = nullptr;
    PlaybackProc *playback = nullptr;
    AlgorithmBox *algorithmBox = nullptr;
    QThread playbackThread;
    std::vector<UserPointData> currentFrame2D;
    uint8_t currentModel = LIDAR_UNKNOWN;
    QTimer *tickTimer = nullptr;
    bool displayPaused = true;
    bool showObjects = true;
    bool showMarkers = false;
    bool redrawFlag = false;
    bool clearWaiting = false; // a reset's clear is due (recv_reset)
    // Made by initView3D, deleted before the widgets it draws into.
    View3DScene *scene_ = nullptr;
    // Set when a draw left the hidden point table behind.
    bool pointTableStale = false;
    QButtonGroup *viewGroup_ = nullptr;
    QButtonGroup *propertyGroup_ = nullptr;
    int32_t lastProgress = 0;
    QString playbackFile;
    float cacheProgress = 0.0f;
    int32_t cacheIndex = 0;
    std::vector<std::vector<UserPointData>> frameCache;
    // Stop messages whose abandon mark the playback worker has not passed yet: until it has,
    // the frames and model messages arriving from it belong to a request the window has left.
    int playbackAbandons = 0;
    bool boxObjects = false;
    QString connectedSn;
    Dialog_Debug debugView;
    Dialog_ObjectTrack *objectTable = nullptr;
    // The message log, with the queue of the lines that wait for the tick.
    MessageLog *messageLog = nullptr;
    WarningLogHandler previousWarningLog; // put back when the window goes
    std::vector<TrackedObject> trackedObjects;
    std::vector<ModelInfo> objectModels;
    bool bigScreen = false;
    // Made on first use; the factory test lives as long as the window, the command window
    // until the next stop message.
    Dialog_Detect_Raxo *detectRaxo = nullptr;
    Page_Admin *pageAdmin = nullptr;
    QAction *actionVoxelSet = nullptr;
    QAction *actionVoxelReset = nullptr;
    QString bindAddress;

    // The toolbar's actions, in toolbar order, and the menu entries.
    QAction *actionUp = nullptr;
    QAction *actionBottom = nullptr;
    QAction *actionFront = nullptr;
    QAction *actionBack = nullptr;
    QAction *actionLeft = nullptr;
    QAction *actionRight = nullptr;
    QAction *actionRotateX = nullptr;
    QAction *actionRotateY = nullptr;
    QAction *actionRotateZ = nullptr;
    QAction *actionCoodinate = nullptr;
    QAction *actionGrid = nullptr;
    QAction *actionPartHide = nullptr;
    QAction *actionCircle = nullptr;
    QAction *actionZoomIn = nullptr;
    QAction *actionZoomOut = nullptr;
    QAction *actionCenter = nullptr;
    QAction *actionColorful = nullptr;

    // Set while the stop message runs: a stop arriving from its waits is not started again.
    bool stopping = false;
};
