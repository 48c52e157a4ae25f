// Playback, recording and snapshot of the main window: the playback file, the frame cache and
// the playback toolbar's navigation, the raw-data recording and the cloud snapshot.

#include "mainwindow.h"

#include "component_logoperate.h"
#include "dialog_alldata.h"
#include "dialog_config.h"
#include "dialog_parsedata.h"
#include "dialog_question.h"
#include "inisettings.h"
#include "logmanager.h"
#include "messagebox.h"
#include "playbackproc.h"
#include "settingsdocument.h"
#include "tracelog.h"
#include "ui_mainwindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QStringList>

namespace {

QString storedText(const char *key)
{
    return QString::fromStdString(IniSettings::instance()->get_value("Standard", key, "", kSettingsDoc));
}

void storeText(const char *key, const QString &value)
{
    IniSettings::instance()->set_value("Standard", key, value.toUtf8().toStdString(), kSettingsDoc);
}

// The last file opened or saved is proposed again; before there is one, the home folder.
QString playbackChooserStart(const QString &stored)
{
    if (!stored.isEmpty() && QFileInfo::exists(stored))
        return stored;
    return chooser_start_folder(stored);
}

// A snapshot never starts on the last file played back: that is a recording of another kind,
// one click away from being replaced. It starts in that file's folder with a fresh name.
QString snapshotChooserStart(const QString &stored)
{
    const QString folder = chooser_start_folder(stored);
    const QString stem = QDateTime::currentDateTime().toString("yyyyMMdd_hhmmss");
    QString path = folder + "/" + stem + ".pcd";
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = folder + "/" + stem + "_" + QString::number(n) + ".pcd";
    return path;
}

} // namespace

// ---- opening a file ----

void MainWindow::recv_actionPlayBack(bool)
{
    const QStringList types = {tr("custom format (*.dump)"), tr("wireshark data(*.pcap)"),
                               tr("wireshark data (*.pcapng)"), tr("LAS data (*.las)"), tr("PCL data (*.pcd)")};
    const QString path = choose_open_file(this, tr("Open File"), playbackChooserStart(storedText("CallbackPath")),
                                          types.join(";;"));
    if (path.isEmpty())
        return;
    storeText("CallbackPath", path);

    const int logtype = playback->DetectLogType(path);
    if (logtype == PlaybackProc::LOG_NONE)
        return; // the worker has said why

    // The model is asked before anything stops: closing the question leaves a running session
    // as it was, like choosing no file.
    int lidartype = LIDAR_UNKNOWN;
    switch (logtype) {
    case PlaybackProc::LOG_PCAP:
    case PlaybackProc::LOG_PCAPNG:
    case PlaybackProc::LOG_RAW: {
        QStringList labels;
        for (int t = LIDAR_FENK_U; t <= LIDAR_ALG_BOX; ++t)
            labels << lidar_type_name(t);
        Dialog_Question question(tr("lidar model select"), labels);
        lidartype = run_dialog(&question);
        if (lidartype < LIDAR_FENK_U || lidartype > LIDAR_ALG_BOX) {
            QV_TRACE() << "no lidar model chosen, playback not started:" << lidartype;
            return;
        }
        break;
    }
    case PlaybackProc::LOG_UDPP:
        lidartype = udpp_model();
        break;
    default:
        break; // a dump names its own model; LAS and PCD need none
    }

    recv_data(MSG_STOP, QByteArray());
    // A file plays without a session: the side shows what it shows with none.
    updateModelUi(LIDAR_UNKNOWN);
    ui->frame_view->hide();
    emit sig_playback(path, logtype, lidartype);

    playbackFile = path;
    logOperate->setSourcePath(path);
    displayPaused = true;
    logOperate->setPlayState(false);
    ui->page_parse_data->setIsRun(false);
    scene_->setFramesKept(1);
    logOperate->liveSource = false;
}

// ---- the frame cache ----

void MainWindow::recv_CacheData(std::vector<UserPointData> framedata, float progress)
{
    // Posted by a request the window has left before the stop message: not this cache's.
    if (playbackAbandons > 0)
        return;
    if (!framedata.empty())
        frameCache.push_back(std::move(framedata));
    cacheProgress = progress;
    logOperate->frameCount = uint32_t(frameCache.size());
    if (progress == 100.0f) {
        appendLog(msg_type_text(MSG_LOG), tr("Caching is finish!"));
        displayPaused = false;
        ui->page_parse_data->setIsRun(true);
        logOperate->setPlayState(true);
    }
}

void MainWindow::onAbandonPassed()
{
    if (playbackAbandons > 0)
        --playbackAbandons;
}

void MainWindow::recv_playprogress(int index)
{
    if (index < 0 || size_t(index) >= frameCache.size())
        return;
    scene_->replaceCurrentFrame(frameCache[size_t(index)]);
    redrawFlag = true;
    cacheIndex = index;
    ui->page_spandata->setLidarType(currentModel);
}

void MainWindow::showCachedFrame()
{
    redrawFlag = true;
    scene_->replaceCurrentFrame(frameCache[size_t(cacheIndex)]);
}

void MainWindow::recv_actionFirst(bool)
{
    if (frameCache.empty())
        return;
    if (cacheIndex > 0) {
        cacheIndex = 0;
        logOperate->setPlayIndex(0);
    }
    showCachedFrame();
}

void MainWindow::recv_actionPrevious(bool)
{
    if (frameCache.empty())
        return;
    if (cacheIndex > 0) {
        --cacheIndex;
        logOperate->setPlayIndex(uint32_t(cacheIndex));
    }
    showCachedFrame();
}

void MainWindow::recv_actionNext(bool)
{
    if (frameCache.empty())
        return;
    if (size_t(cacheIndex) + 1 < frameCache.size()) {
        ++cacheIndex;
        logOperate->setPlayIndex(uint32_t(cacheIndex));
    }
    showCachedFrame();
}

void MainWindow::recv_actionLast(bool)
{
    if (frameCache.empty())
        return;
    if (size_t(cacheIndex) + 1 < frameCache.size()) {
        cacheIndex = int32_t(frameCache.size() - 1);
        logOperate->setPlayIndex(uint32_t(cacheIndex));
    }
    showCachedFrame();
}

void MainWindow::recv_actionPlayCircle(bool checked)
{
    displayPaused = !checked;
    ui->page_parse_data->setIsRun(checked);
    logOperate->setPlayState(checked);
}

// ---- recording ----

void MainWindow::recv_actionVideoCamera(bool checked)
{
    recordRawData(checked);
}

void MainWindow::recordRawData(bool on)
{
    if (!on) {
        // The recorder's thread writes what waits and then reports the end (recordingEvent);
        // with no recording to end, the line comes at once.
        if (!LogManager::instance()->stop(LogManager::kModeDump))
            appendLog(tr("Log"), tr("write log finish,write file path"));
        return;
    }
    // A start that does not happen leaves the action as it was before the click: off.
    const auto refuse = [this](const QString &text) {
        logOperate->recordAction()->setChecked(false);
        show_warning(this, tr("error"), text);
    };
    QString folder = storedText("Logpath");
    if (!folder.isEmpty() && !QFileInfo(folder).isDir()) {
        refuse(tr("The log save path is not exist!"));
        return;
    }
    if (folder.isEmpty())
        folder = QCoreApplication::applicationDirPath();
    if (!folder_is_writable(folder)) {
        refuse(tr("The log path does not have write permission, please change the path."));
        return;
    }
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    const QString dir = folder + QString("/logdata/%1_%2_%3_%4_%5_%6/")
                                     .arg(d.year(), 4, 10, QChar('0'))
                                     .arg(d.month(), 2, 10, QChar('0'))
                                     .arg(d.day(), 2, 10, QChar('0'))
                                     .arg(t.hour(), 2, 10, QChar('0'))
                                     .arg(t.minute(), 2, 10, QChar('0'))
                                     .arg(t.second(), 2, 10, QChar('0'));
    if (!LogManager::instance()->start(dir.toLocal8Bit().toStdString(), "data", 1, LogManager::kModeDump)) {
        logOperate->recordAction()->setChecked(false);
        appendLog(msg_type_text(MSG_ERROR), tr("write log start failed,write file path:%1").arg(dir));
        return;
    }
    appendLog(tr("Log"), tr("writing log,write file path:%1").arg(dir));
}

void MainWindow::recordingEvent(const RecorderEvent &event)
{
    switch (event.kind) {
    case RecorderEvent::Lost:
        appendLog(msg_type_text(MSG_WARM),
                  tr("recording lost %1 records so far: the disk does not keep up with the data").arg(event.lost));
        break;
    case RecorderEvent::Finished:
        if (event.lost > 0)
            appendLog(msg_type_text(MSG_WARM),
                      tr("recording lost %1 of %2 records: the disk did not keep up with the data")
                          .arg(event.lost)
                          .arg(event.taken));
        appendLog(tr("Log"), tr("write log finish,write file path"));
        break;
    case RecorderEvent::Failed:
        // That recording has ended: the next click starts a new one.
        if (!LogManager::instance()->is_recording())
            logOperate->recordAction()->setChecked(false);
        appendLog(msg_type_text(MSG_ERROR), tr("recording stopped: writing %1 failed: %2; %3 records written")
                                                .arg(QString::fromLocal8Bit(event.file.c_str()),
                                                     QString::fromLocal8Bit(event.error.c_str()))
                                                .arg(event.written));
        break;
    }
}

// ---- snapshot ----

void MainWindow::recv_actionCamera(bool)
{
    const QString path = choose_save_file(
        this, tr("save file"), snapshotChooserStart(storedText("CallbackPath")), "(*.pcd);;(*.las)");
    if (path.isEmpty())
        return;
    const QFileInfo info(path);
    if (!folder_is_writable(info.absolutePath())) {
        show_warning(this, tr("error"),
                     tr("The log path does not have write permission, please change the path."));
        return;
    }
    storeText("CallbackPath", path);
    if (scene_->accumulatedCloud().empty()) {
        show_warning(this, tr("error"), tr("Point cloud image does not exist!"));
        return;
    }
    const QString suffix = info.suffix();
    const QByteArray name = path.toLocal8Bit();
    bool written = false;
    if (suffix == QLatin1String("pcd")) {
        written = playback->PCDWriter(name.constData(), scene_->accumulatedCloud());
    } else if (suffix == QLatin1String("las")) {
        written = playback->LASWriter(name.constData(), scene_->accumulatedCloud());
    } else {
        show_warning(this, tr("error"), tr("The point cloud file must end in .pcd or .las: %1").arg(path));
        return;
    }
    if (!written) {
        show_warning(this, tr("error"), tr("The point cloud file could not be written: %1").arg(path));
        return;
    }
    appendLog(tr("Log"), tr("point cloud saved,write file path:%1").arg(path));
}
