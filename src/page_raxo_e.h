#pragma once
// Configuration page of the Raxo-E and Raxo-S sensors. The page never talks to the network: every
// user action becomes one complete LhSumFrame handed to the main window with a short note and
// LidarType 1; the sensor's parameter replies come back through setInfo and setAlgInfo.

#include "raxoprotocol.h"

#include <QByteArray>
#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <vector>

class Page_DrawZone;
class PointCloudAnomalyDetector;
class QButtonGroup;
class QComboBox;
class Ui_Page_Raxo_EClass;
struct ModelInfo;


class Page_Raxo_E : public QMainWindow {
    Q_OBJECT

public:
    explicit Page_Raxo_E(QWidget *parent = nullptr);
    ~Page_Raxo_E() override;

    // A complete set frame (type 2) of one code; data past RAXO_SET_DATA_MAX bytes is cut.
    QByteArray buildCmdFrame(uint16_t code, uint16_t len, const void *data);

    // The bodies of the replies 0x8001 and 0x8006 (reply byte 12 on) and their lengths. A
    // parameter body is read as if zero-padded to 608 bytes; an algorithm body under 128 bytes is
    // refused (trace line) and the kept block stays.
    void setInfo(const uint8_t *body, size_t length);
    void setAlgInfo(const uint8_t *body, size_t length);
    // 2 Raxo-S, 1 Raxo-E; other values change nothing.
    void setLidarType(int lidartype);
    bool isGrayImgShow();
    // The zone editor on the zone tab; lives as long as the page.
    Page_DrawZone *getDrawZone();

    // Refills the class selectors with one row per model, checked from the kept class masks.
    void setObjModels(std::vector<ModelInfo> infos);
    // The detector whose model names the class selectors show (the process-wide one unless a
    // test sets another; null leaves the selectors empty).
    void setDetector(PointCloudAnomalyDetector *detector) { detector_ = detector; }

    // The kept copies of the last replies.
    const uint8_t *lidarParam() const { return lidarParam_; }
    const uint8_t *algParam() const { return algParam_; }

signals:
    void sig_data(int type, QByteArray info);
    void sig_lidaripchange(QString lidarip, int lidarport);
    void sig_uploadipchange(QString uploadip, int uploadport);
    void sig_upgrade(QString path, int lidartype, int updatetype);
    void sig_sendcmd(QByteArray cmd, QString note, int lidartype = 1);
    void sig_showDataType(int type);
    void sig_height(float compensate);
    void sig_autoheight();
    void sig_show_objtrack();
    void sig_objselect(bool isselect);

public slots:
    // The bodies of the sensor's parameter and algorithm replies, as the session reads them.
    void recv_params(QByteArray body);
    void recv_algParams(QByteArray body);
    void recv_height(float compensate);
    void clickItem(int index);
    void recv_modelData(QString path);
    void on_pb_chooseFile_clicked();
    void on_pb_update_clicked();
    void on_pb_setip_clicked();
    void on_pb_setdstip_clicked();
    void on_pb_setsn_clicked();
    void on_pb_setid_clicked();
    void on_pb_calib_clicked();
    void on_pb_flush_clicked();
    void on_pb_fix_clicked();
    void on_pb_autofix_clicked();
    void on_pb_imuset_clicked();
    void on_pb_distance_filter_clicked();
    void on_pb_intensity_filter_clicked();
    void on_pb_pnp_clicked();
    void on_pb_out_clicked();
    void on_pb_cir_fir_clicked();
    void on_pb_pointdata_packet_clicked();
    void on_pb_dev_status_packet_clicked();
    void on_pb_alarm_packet_clicked();
    void on_pb_compare_frame_set_clicked();
    void on_cb_filter_alg_clicked(bool checked);
    void on_cb_upload_data_type_clicked(bool checked);
    void on_pb_obj_track_clicked();
    void on_cb_obj_select_clicked(bool checked);
    void on_pb_start_clicked();
    void on_pb_stop_clicked();
    void on_pb_offset_distance_clicked();
    void on_cb_alg_enable_clicked(bool checked);
    void on_pb_time_area_filter_clicked();
    void on_pb_query_net_error_clicked();
    void on_pb_close_range_noise_clicked();
    void on_pb_imu_type_packet_clicked();
    void on_pb_imu_acc_clicked();
    void on_pb_imu_gyro_clicked();
    void on_pb_imu_filter_level_clicked();
    void on_pb_imu_sample_rate_clicked();

private:
    void sendFrame(uint16_t type, const QByteArray &payload, const QString &note);
    void sendSet(uint16_t code, const QByteArray &data, const QString &note);
    // Sends the kept algorithm block as code 10, unless it was not read from this sensor yet.
    bool algBlockReady();
    void sendAlgBlock(const QString &note);
    // The row a combo shows as one byte; false (and an error line) when it shows none.
    bool comboRow(QComboBox *combo, const QString &note, uint8_t *row);
    void reportError(const QString &text);
    void warn(const QString &text);

    Ui_Page_Raxo_EClass *ui;
    QButtonGroup *areaGroup_ = nullptr;
    QStringList areaRows_;
    uint8_t algParam_[raxo_alg::kSize] = {};
    uint8_t lidarParam_[raxo_param::kSize] = {};
    // True once a whole algorithm block came from the sensor of this session.
    bool algParamRead_ = false;
    PointCloudAnomalyDetector *detector_ = nullptr;
};
