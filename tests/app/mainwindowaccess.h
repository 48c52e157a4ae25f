#pragma once
// Reaches the main window's state in tests: what the Parts call its members, without widening
// the window's public interface for the program's sake.

#include "devicesessionaccess.h"
#include "heartbeatproc.h"
#include "mainwindow.h"
#include "messagelog.h"
#include "view3dsceneaccess.h"

#include <QListWidget>
#include <QStringList>

struct MainWindowTestAccess {
    explicit MainWindowTestAccess(MainWindow &w) : w(w) {}
    MainWindow &w;

    bool &displayPaused() { return w.displayPaused; }
    bool &redrawFlag() { return w.redrawFlag; }
    uint8_t &currentModel() { return w.currentModel; }
    QString &connectedSn() { return w.connectedSn; }
    bool &showObjects() { return w.showObjects; }
    bool &showMarkers() { return w.showMarkers; }
    std::vector<ModelInfo> &objectModels() { return w.objectModels; }
    int32_t &lastProgress() { return w.lastProgress; }
    bool &boxObjects() { return w.boxObjects; }
    bool bigScreen() const { return w.bigScreen; }
    std::vector<std::vector<UserPointData>> &frameCache() { return w.frameCache; }
    float &cacheProgress() { return w.cacheProgress; }
    int32_t &cacheIndex() { return w.cacheIndex; }
    Component_LogOperate *logOperate() { return w.logOperate; }
    QString &playbackFile() { return w.playbackFile; }
    int playbackAbandons() const { return w.playbackAbandons; }
    Dialog_Debug &debugView() { return w.debugView; }
    Dialog_Connect *dialogConnect() { return w.dialogConnect; }
    QPointer<HeartBeatProc> &heartBeat() { return w.heartBeat; }
    Dialog_Connect *connectDialog() { return w.connectDialog(); }
    AlgorithmBox *&algorithmBox() { return w.algorithmBox; }
    Dialog_ObjectTrack *&objectTable() { return w.objectTable; }
    // The live session: its notes and its receiver.
    DeviceSessionTestAccess session() { return DeviceSessionTestAccess(*w.session_); }
    size_t queuedLines() { return w.messageLog->queued(); }

    // The 3D view: the scene's own state through its access, the rest here.
    View3DSceneTestAccess scene() { return View3DSceneTestAccess(*w.scene_); }
    std::vector<UserPointData> &currentFrame2D() { return w.currentFrame2D; }
    // The window's draw: the scene's, then the point table, the 2D view and the analysis panel.
    void showFrame() { w.showFrame(); }
    QTimer *tickTimer() { return w.tickTimer; }
    void onClearCloud() { w.onClearCloud(); }

    template <typename T> T *find(const char *name) { return w.findChild<T *>(name); }
    QListWidget *log() { return find<QListWidget>("logList"); }
    // The log's rows, without their time stamps: "[ title ] text".
    QStringList logLines()
    {
        QStringList out;
        for (int i = 0; i < log()->count(); ++i) {
            const QString row = log()->item(i)->text();
            const int at = row.indexOf("]  [ ");
            out << (at < 0 ? row : row.mid(at + 3));
        }
        return out;
    }
    // How many times `line` ("[ title ] text") was logged: its rows, a row that says it came N
    // times counting N.
    int timesLogged(const QString &line)
    {
        int n = 0;
        const QString repeated = line + " (came ";
        for (const QString &row : logLines()) {
            if (row == line)
                ++n;
            else if (row.startsWith(repeated) && row.endsWith(" times)"))
                n += row.mid(repeated.size()).section(' ', 0, 0).toInt();
        }
        return n;
    }
    // The same for the lines that hold `text` anywhere.
    int timesLoggedWith(const QString &text)
    {
        int n = 0;
        for (const QString &row : logLines()) {
            if (!row.contains(text))
                continue;
            const int at = row.lastIndexOf(" (came ");
            n += at >= 0 && row.endsWith(" times)") ? row.mid(at + 7).section(' ', 0, 0).toInt() : 1;
        }
        return n;
    }
    // The tick: draws when asked to and writes the queued lines.
    void tick() { w.recv_timeout(); }
};
