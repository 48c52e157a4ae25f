// The main window's side of the inspection tools: the Raxo factory test (made once, kept on top
// of the window, fed by every redraw), the voxel filter of a Raxo session and its two "tool"
// menu entries, and the free-text command window of a Vimo-E session.

#include "mainwindow.h"

#include "dialog_connect.h"
#include "dialog_detect_raxo.h"
#include "dialog_voxelfilter.h"
#include "messagebox.h"
#include "devicesession.h"
#include "page_admin.h"
#include "tracelog.h"

#include <QAction>
#include <QEvent>

void MainWindow::recv_action_detect_raxo(bool)
{
    if (detectRaxo == nullptr) {
        detectRaxo = new Dialog_Detect_Raxo(this);
        detectRaxo->setWindowFlags(detectRaxo->windowFlags() | Qt::CustomizeWindowHint |
                                   Qt::WindowStaysOnTopHint | Qt::WindowTitleHint);
        detectRaxo->setModal(false);
        // Closing only hides it: the next use shows the same run and log.
        detectRaxo->setAttribute(Qt::WA_DeleteOnClose, false);
        detectRaxo->setFocusPolicy(Qt::StrongFocus);
        installEventFilter(this);
        detectRaxo->installEventFilter(this);
    }
    detectRaxo->show();
    detectRaxo->write_ini();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type t = event->type();
    if (t == QEvent::MouseButtonPress || t == QEvent::KeyPress) {
        if (detectRaxo != nullptr && watched == detectRaxo)
            detectRaxo->activateWindow();
        else if (watched == this)
            activateWindow();
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::recv_actionOutlierFiltration(bool)
{
    const QString name = sender() != nullptr ? sender()->objectName() : QString();
    if (name == QLatin1String("action_voxel_set")) {
        Dialog_VoxelFilter dialog;
        // Direct: each "应用" reaches the receiver while the dialog is still open.
        connect(&dialog, &Dialog_VoxelFilter::sig_voxel_param, &dialog,
                [this](bool on, float unitSize, int minNum) { onVoxelParam(on, unitSize, minNum); },
                Qt::DirectConnection);
        run_dialog(&dialog);
    } else if (name == QLatin1String("action_voxel_reset")) {
        session_->setVoxelFilter(false, 0.0f, 0);
    }
}

void MainWindow::onVoxelParam(bool on, float unitSize, int minNum)
{
    // The filter is the Raxo receiver's: the model shown must have it too.
    if (device_model(currentModel).voxelFilter)
        session_->setVoxelFilter(on, unitSize, minNum);
}

void MainWindow::updateVoxelActions()
{
    const bool raxo = session_->hasVoxelFilter() && device_model(currentModel).voxelFilter;
    if (actionVoxelSet != nullptr)
        actionVoxelSet->setEnabled(raxo);
    if (actionVoxelReset != nullptr)
        actionVoxelReset->setEnabled(raxo);
}

void MainWindow::recv_action_Cmd(bool)
{
    if (!session_->isRunning()) {
        recv_data(MSG_WARM, tr("please connect lidar first!").toLocal8Bit());
        return;
    }
    if (!device_model(session_->model()).freeTextCommands) {
        recv_data(MSG_WARM, tr("only Vimo-E use").toLocal8Bit());
        return;
    }
    if (pageAdmin == nullptr)
        pageAdmin = new Page_Admin();
    // The sensor the session was opened with in the connection dialog.
    Dialog_Connect *dialog = connectDialog();
    pageAdmin->setIP(dialog->lidarip);
    pageAdmin->setPort(dialog->lidarport);
    pageAdmin->setLidarType(session_->model());
    pageAdmin->show();
}
