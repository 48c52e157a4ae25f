// Device sessions and command routing of the main window: the connect actions, the parameter
// query, the routing of the pages' commands to the current receiver and the handlers a Raxo-S
// session wires.

#include "mainwindow.h"

void MainWindow::queryLidarParam(int) {}

void MainWindow::recv_actionFenk_U(bool) {}
void MainWindow::recv_actionRaxo_E(bool) {}
void MainWindow::recv_actionRaxo_S(bool) {}
void MainWindow::recv_actionVimo_E(bool) {}
void MainWindow::recv_actionAlgorithmBox(bool) {}
void MainWindow::recv_actionAlgorithmBox_run(QString, int, int) {}
void MainWindow::recv_sendcmd(QByteArray, QString, int) {}
void MainWindow::recv_upgrade(QString, int, int) {}
void MainWindow::recv_progress(int, QString, QString) {}
void MainWindow::recv_uploadtype(uint8_t) {}
void MainWindow::recv_reset() {}
