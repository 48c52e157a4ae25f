#pragma once
// Configuration page of a connected Fenk-U sensor. Every setting the user confirms becomes one
// complete LhSumFrame set command (type 8), handed to the main window with a short note; the
// device's parameter reply (type 0x8007) comes back through setInfo.

#include <QByteArray>
#include <QString>
#include <QWidget>

#include <cstddef>
#include <cstdint>

class Ui_Page_Hoby_UClass;

// LhSumFrame types of the Fenk-U commands; the device answers with bit 15 set.
enum FenkFrameType : uint16_t {
    FENK_GET_PARAM = 7, // payload one zero byte; reply 0x8007 carries FenkLidarParam
    FENK_SET = 8,       // payload a set body; reply 0x8008 carries a u32 result (0 = accepted)
};

// The set commands of the page (codes 6 and 8 are not used).
enum FenkSetCode : uint16_t {
    FENK_SET_SN = 0,          // serial-number text
    FENK_SET_ID = 1,          // u32 identifier
    FENK_SET_ADDRESS = 2,     // IP, mask, gateway (4 bytes each), u16 port
    FENK_SET_UPLOAD = 3,      // upload IP (4 bytes), u16 upload port
    FENK_SET_PWM = 4,         // u16 duty cycle below 100
    FENK_SET_DATA_TYPE = 5,   // u16 data-type mask
    FENK_SET_CONFIDENCE = 7,  // byte on, u16 threshold
    FENK_SET_DISTANCE = 9,    // byte on, u16 minimum, u16 maximum
};

// Data bytes a set body can carry (the device's buffer).
constexpr size_t FENK_SET_DATA_MAX = 1020;

// FenkLidarParam, the body of the parameter reply (reply byte 12 on): the bytes the page reads.
namespace fenk_param {
constexpr size_t kSize = 129;
constexpr size_t kModel = 2;         // 16 bytes of text
constexpr size_t kSerial = 18;       // 32 bytes of text, main board
constexpr size_t kId = 50;           // u32
constexpr size_t kSoftVersion = 54;  // u32
constexpr size_t kHardVersion = 58;  // u32
constexpr size_t kIp = 62;           // 4 bytes, first octet first
constexpr size_t kMask = 66;
constexpr size_t kGateway = 70;
constexpr size_t kPort = 74;         // u16
constexpr size_t kUploadIp = 76;
constexpr size_t kUploadPort = 80;   // u16
constexpr size_t kDataType = 82;     // u16 mask
constexpr size_t kUploadFix = 84;    // byte
constexpr size_t kPwm = 85;          // u16
constexpr size_t kCalib = 87;        // byte
constexpr size_t kFilters = 90;      // bit 0 confidence filter, bit 1 distance filter
constexpr size_t kConfidenceThr = 91;// u16
constexpr size_t kBoardASerial = 93; // 32 bytes of text
constexpr size_t kMinDistance = 125; // u16
constexpr size_t kMaxDistance = 127; // u16
} // namespace fenk_param

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
