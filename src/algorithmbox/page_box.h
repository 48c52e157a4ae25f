#pragma once
// The algorithm-box configurator: lists the boxes that announce themselves, shows the state of
// the sensor the selected box reports, and sets the box's network, MAC address, serial number,
// firmware and served sensors through the box command thread. Its "连接" asks the main window
// to start a data session with the selected box.

#include "heartbeat.h"
#include "zonetable.h"

#include <QModelIndex>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <vector>

class AlgorithmBoxProc;
class QLabel;
class QListWidgetItem;
class QStandardItemModel;
class QTimer;

namespace Ui {
class Page_Box;
}

class Page_Box : public QWidget {
    Q_OBJECT

public:
    explicit Page_Box(QWidget *parent = nullptr);
    ~Page_Box() override;

    // The command thread every box command goes through. Held through a guarded pointer: a
    // thread that has ended and deleted itself is never touched.
    void setProc(AlgorithmBoxProc *proc);
    AlgorithmBoxProc *proc() const;

    // Called by the front end for every box heartbeat.
    void setBoxInfo(BoxHeartbeat info);

    void showDetails(bool show);
    bool checkBoxSelected();
    void clearGrid();
    // Takes the boxes not heard for a while out of the list (the selected one stays).
    void dropSilentBoxes();

    // Restyles a status dot: grey, yellow, green or red for status 0 to 3.
    static void setStatusStyle(QLabel *label, int status, int size);

    // Served-sensor lists: checks every row of `model` and sends the difference to `reported`
    // as "LSADD:" (add) or "LSDEL:" (not add) for IO port `io`.
    void setLidarINI(QStandardItemModel *model, const QStringList &reported, int io, bool add);

    // Appends one line to the history file, refusing a symlink planted in the temp folder.
    static void writeHistory(const QString &path, const QString &line);
    QString historyPath() const;

    // Test seams: the clock of the heartbeat check (ms since 1970) and the ping of the new
    // network address. Empty functions restore the wall clock and the system's ping.
    void setClock(std::function<qint64()> clock);
    void setPingFunction(std::function<bool(const QString &ip, int timeout)> ping);

signals:
    void sig_start(QString ip, int port, int lidartype);
    void sig_zoneData(ZONEALARM::zones data);

public slots:
    void recv_BoxMSG(QString ip, int type, QString info);
    void recv_autocheck();
    bool pingtest(QString ip, int timeout);
    void on_pb_getbox_clicked();
    void on_pb_setbox_clicked();
    void on_pb_getlidars_clicked();
    void on_pb_input_clicked();
    void on_pb_output_clicked();
    void on_tableView_before_clicked(const QModelIndex &index);
    void on_tableView_after_clicked(const QModelIndex &index);
    void on_pb_edit_clicked();
    void on_pb_choose_clicked();
    void on_pb_upgrade_clicked();
    void on_pb_version_clicked();
    void on_pb_input2_clicked();
    void on_pb_output2_clicked();
    void on_tableView_after2_clicked(const QModelIndex &index);
    void on_listWidget_itemClicked(QListWidgetItem *item);
    void on_pb_macGet_clicked();
    void on_pb_macSet_clicked();
    void on_pb_history_clicked();
    void on_pb_snGet_clicked();
    void on_pb_snSet_clicked();
    void on_pb_restart_clicked();
    void on_pb_connect_clicked();
    void on_pb_cancel_clicked();
    void on_pb_details_clicked();
    void on_pb_add_clicked();
    void on_pb_del_clicked();

private:
    void initTables();
    void send(const QString &text);
    void enableSettings();
    void moveIn(QStandardItemModel *target, QStringList &reported, int io);
    void moveOut(QStandardItemModel *source, int &row, QStringList &reported, int io);
    void rebuildServedLists(const QString &info);
    qint64 now() const;

    Ui::Page_Box *ui;
    QStandardItemModel *model_before;
    QStandardItemModel *model_after;
    QStandardItemModel *model_after2;
    int row_before = 0;
    int row_after = 0;
    int row_after2 = 0;
    QPointer<AlgorithmBoxProc> proc_;
    QStringList list_io_a;
    QStringList list_io_b;
    QTimer *timer;
    qint64 last_heartbeat = 0;
    std::vector<BoxHeartbeat> records;
    QString selected_ip;
    int sensor_port = 0;
    QString history_path;

    std::function<qint64()> clock_;
    std::function<bool(const QString &, int)> ping_;
};
