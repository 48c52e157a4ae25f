#pragma once
// Configuration page of the Raxo-E and Raxo-S sensors. The page never talks to the network: every
// user action becomes one complete LhSumFrame handed to the main window with a short note and
// LidarType 1; the sensor's parameter replies come back through setInfo and setAlgInfo.

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

// LhSumFrame types the page sends; the sensor answers with bit 15 set.
enum RaxoFrameType : uint16_t {
    RAXO_CALIBRATE = 0,      // 1 byte: 0 IMU zero position, 1 compare frame
    RAXO_GET_PARAM = 1,      // 1 zero byte; reply 0x8001 carries RaxoLidarParam
    RAXO_SET = 2,            // a set body; reply 0x8002 carries a u32 result (0 = accepted)
    RAXO_RUN = 5,            // 1 byte: 1 start, 0 stop
    RAXO_GET_ALG_PARAM = 6,  // no payload; reply 0x8006 carries RaxoAlgParam
    RAXO_NET_ERROR = 8,      // no payload; reply 0x8008 carries two u32 counters
};

// The set vocabulary (codes 11 and 15 are not used; 12 carries two different settings).
enum RaxoSetCode : uint16_t {
    RAXO_SET_SN = 0,
    RAXO_SET_ID = 1,
    RAXO_SET_ADDRESS = 2,
    RAXO_SET_UPLOAD_TARGET = 3,
    RAXO_SET_IMU_PARAM = 4,
    RAXO_SET_UPLOAD_KIND = 5,
    RAXO_SET_DISTANCE_FILTER = 6,
    RAXO_SET_INTENSITY_FILTER = 7,
    RAXO_SET_AREA = 8,
    RAXO_SET_OUTPUT = 9,
    RAXO_SET_ALG = 10,
    RAXO_SET_HEIGHT = 12,
    RAXO_SET_MODEL_BIND = 12,
    RAXO_SET_FILTER_ALG = 13,
    RAXO_SET_TIME_AREA_FILTER = 14,
    RAXO_SET_CLOSE_RANGE = 16,
    RAXO_SET_IMU_TYPE = 17,
    RAXO_SET_IMU_ACC = 18,
    RAXO_SET_IMU_GYRO = 19,
    RAXO_SET_IMU_FILTER = 20,
    RAXO_SET_IMU_SAMPLE_RATE = 21,
};

// Data bytes a set body can carry (the sensor's buffer).
constexpr size_t RAXO_SET_DATA_MAX = 1020;

// RaxoLidarParam, the body of the parameter reply (reply byte 12 on): the bytes the page reads.
namespace raxo_param {
constexpr size_t kSize = 608;
constexpr size_t kModel = 2;          // 16 bytes of text
constexpr size_t kSerial = 18;        // 32 bytes of text
constexpr size_t kId = 50;            // u32
constexpr size_t kSoftVersion = 54;   // u32
constexpr size_t kHardVersion = 58;   // u32
constexpr size_t kIp = 62;            // 4 bytes, first octet first
constexpr size_t kMask = 66;
constexpr size_t kGateway = 70;
constexpr size_t kPort = 74;          // u16
constexpr size_t kUploadIp = 76;
constexpr size_t kUploadPort = 80;    // u16
constexpr size_t kUploadFlags = 82;   // u16: bits 0-2 point-data row, 3 status, 4 alarm
constexpr size_t kAccBias = 84;       // 3 floats
constexpr size_t kGyroBias = 96;      // 3 floats
constexpr size_t kImuParams = 108;    // 9 floats
constexpr size_t kFilters = 144;      // bit 0 distance, bit 1 intensity
constexpr size_t kNearEnergy = 146;   // byte
constexpr size_t kMinEnergy = 147;    // byte
constexpr size_t kMinDistance = 148;  // u16, mm
constexpr size_t kMaxDistance = 150;  // u16, mm
constexpr size_t kArea = 152;         // 16 bytes, one per area row
constexpr size_t kOutputs = 168;      // bits 0-3 default on, 4-7 PNP
constexpr size_t kCircles = 169;      // u16
constexpr size_t kPoints = 171;       // u16
constexpr size_t kTimeArea = 179;     // u16
constexpr size_t kCloseRange = 181;   // u16 switch, then four u16 thresholds
constexpr size_t kClassMasks = 191;   // 4 bytes, outputs 1 to 4
constexpr size_t kImuType = 195;      // byte
constexpr size_t kImuRanges = 196;    // low nibble acc, high nibble gyro
constexpr size_t kImuFilters = 197;   // low nibble acc, high nibble gyro
constexpr size_t kImuSampleRate = 198;
} // namespace raxo_param

// RaxoAlgParam, the 128-byte algorithm block the page keeps and sends back whole (code 10).
namespace raxo_alg {
constexpr size_t kSize = 128;
constexpr size_t kEnable = 0;
constexpr size_t kPoints = 1;    // 1 to 100
constexpr size_t kCircles = 2;   // 1 to 10
constexpr size_t kObjMin = 3;    // 1 to 100
constexpr size_t kFrames = 4;    // 1 to 10
constexpr size_t kOffset = 5;    // float, cm, 10 to 50; unaligned
} // namespace raxo_alg

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
