#pragma once
// Configuration page of a connected Fenk-U sensor. Every setting the user confirms becomes one
// complete LhSumFrame set command (type 8), handed to the main window with a short note; the
// device's parameter reply (type 0x8007) comes back through setInfo.

#include "fenkprotocol.h"

#include <QByteArray>
#include <QString>
#include <QWidget>

#include <cstddef>
#include <cstdint>

class Ui_Page_Hoby_UClass;


class Page_Hoby_U : public QWidget {
    Q_OBJECT

public:
    explicit Page_Hoby_U(QWidget *parent = nullptr);
    ~Page_Hoby_U() override;

    // A complete set frame: code and len ahead of the len data bytes, a fresh sequence number.
    // Empty when len exceeds FENK_SET_DATA_MAX.
    QByteArray buildCmdFrame(uint16_t code, uint16_t len, const void *data);

    // A general LhSumFrame of the given words and data (at most 2035 bytes, else empty). The main
    // window builds its parameter queries with it.
    static QByteArray buildFrame(uint16_t reserved, uint16_t seq, uint16_t type, uint32_t len,
                                 const void *data);

    // Fills the page from a FenkLidarParam body of `len` bytes. A body shorter than
    // fenk_param::kSize is refused with a trace line and the page keeps what it shows.
    void setInfo(const char *body, int len);

    // The data-type mask the device last reported (0 until the first reply).
    uint16_t dataType() const { return dataType_; }

signals:
    void sig_sendcmd(QByteArray cmd, QString note, int lidartype = 0);
    void sig_upgrade(QString path, int lidartype, int updatetype);
    void sig_lidaripchange(QString ip, int port);

public slots:
    // The body of the sensor's parameter reply, as the session reads it.
    void recv_params(QByteArray body);
    void on_pb_setsn_2_clicked();
    void on_pb_setid_2_clicked();
    void on_pb_setip_2_clicked();
    void on_pb_setdstip_2_clicked();
    void on_pb_setdatatype_2_clicked();
    void on_pb_pwm_2_clicked();
    void on_pb_setconfidence_2_clicked();
    void on_pb_distancefitter_clicked();
    void on_pb_chooseFile_clicked();
    void on_pb_update_clicked();

private:
    void sendSet(uint16_t code, const QByteArray &data, const QString &note);
    void warn(const QString &text);

    Ui_Page_Hoby_UClass *ui;
    uint16_t dataType_ = 0;
};
