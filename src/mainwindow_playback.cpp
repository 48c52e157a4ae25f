// Playback, recording and snapshot of the main window: the playback file, the frame cache and
// the playback toolbar's navigation, the raw-data recording and the cloud snapshot.

#include "mainwindow.h"

void MainWindow::recv_actionPlayBack(bool) {}
void MainWindow::recv_actionFirst(bool) {}
void MainWindow::recv_actionPrevious(bool) {}
void MainWindow::recv_actionPlayCircle(bool) {}
void MainWindow::recv_actionNext(bool) {}
void MainWindow::recv_actionLast(bool) {}
void MainWindow::recv_actionVideoCamera(bool) {}
void MainWindow::recv_actionCamera(bool) {}
void MainWindow::recv_CacheData(std::vector<UserPointData>, float) {}
void MainWindow::recv_playprogress(int) {}
