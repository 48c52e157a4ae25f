#pragma once
// Configuration page of a connected Vimo-E sensor. Every action becomes one LhCrcFrame whose
// payload is an ASCII text command, handed to the main window with a short note; the device's
// parameter reply comes back, decoded, through setInfo.

#include "vimoprotocol.h"

#include <QByteArray>
#include <QString>
#include <QWidget>

#include <cstddef>
#include <cstdint>

class Ui_Page_Vimo_EClass;

// What the page shows of the 152-byte parameter reply (VimoLidarParam).
struct VimoLidarInfo {
    QString sn;
    QString model;
    QString ip;
    QString mask;
    QString gateway;
    uint16_t port = 0;
    QString dstIp;
    uint16_t dstPort = 0;
    uint8_t uploadFix = 0;
    uint8_t ptp = 0; // bit 0 of the reply's PTP byte only
};

// Decodes a parameter reply payload; false (and `out` untouched) unless it holds
// VIMO_PARAM_SIZE bytes or more.
bool vimo_lidar_info_decode(const uint8_t *data, size_t len, VimoLidarInfo *out);

class Page_Vimo_E : public QWidget {
    Q_OBJECT

public:
    explicit Page_Vimo_E(QWidget *parent = nullptr);
    ~Page_Vimo_E() override;

    // Shows the device's parameters; sends nothing.
    void setInfo(VimoLidarInfo info);

    // The frame of one text command: the text zero-padded to a multiple of 4, a fresh sequence
    // number, the word CRC.
    static QByteArray buildTextFrame(const QByteArray &text, uint16_t pack);

signals:
    void sig_sendcmd(QByteArray cmd, QString note, int lidartype = 3);
    void sig_ignore_err(int second);
    void sig_showtime(int time);
    void sig_upgrade(QString path, int lidartype, int updatetype);

public slots:
    // The sensor's parameter record, as the session reads it.
    void recv_params(QByteArray record);
    void on_pb_setip_clicked();
    void on_pb_setdstip_clicked();
    void on_cb_uploadfix_clicked(bool isok);
    void on_pb_chooseFile_clicked();
    void on_pb_update_clicked();
    void on_pb_showtime_clicked();
    void on_pb_reflush_clicked();
    void on_pb_err_query_clicked();
    void on_pb_temperature_query_clicked();
    void on_pb_uploadfix_clicked();

    // Connected by the constructor, not by name: a name of the form on_<widget>_<signal> would
    // be connected a second time by the form.
    void onStartClicked();
    void onStopClicked();
    void setPtpEnable(bool on);
    void queryParams();

private:
    void sendText(const QByteArray &text, uint16_t pack, const QString &note);
    void warn(const QString &text);

    Ui_Page_Vimo_EClass *ui;
};
