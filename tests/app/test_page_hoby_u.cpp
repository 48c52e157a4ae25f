// The Fenk-U page as a user drives it: its set frames byte for byte, its refusals, the parameter
// reply it shows and its firmware box.

#include "page_hoby_u.h"

#include "lhframe.h"
#include "modalrecorder.h"
#include "pagetest.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>

#include <functional>

using pagetest::bytes;
using pagetest::child;

namespace {

class FenkPage : public ::testing::Test {
protected:
    void SetUp() override { pagetest::load_settings(); }

    static void type(QWidget *page, const char *field, const QString &text)
    {
        child<QLineEdit>(page, field)->setText(text);
    }
    static void check(QWidget *page, const char *box, bool on)
    {
        child<QCheckBox>(page, box)->setChecked(on);
    }
};

// Checks every field of a set frame and the sum byte.
void expect_set_frame(const QByteArray &frame, uint16_t code, const std::vector<uint8_t> &data)
{
    const std::vector<uint8_t> f = bytes(frame);
    ASSERT_EQ(f.size(), data.size() + 17);
    EXPECT_EQ(rd_u16(&f[0]), 0x484C);
    EXPECT_EQ(rd_u16(&f[2]), 0);
    EXPECT_LT(rd_u16(&f[4]), 0x8000) << "sequence from rand() & 0x7FFF";
    EXPECT_EQ(rd_u16(&f[6]), FENK_SET);
    EXPECT_EQ(rd_u32(&f[8]), data.size() + 4);
    EXPECT_EQ(rd_u16(&f[12]), code);
    EXPECT_EQ(rd_u16(&f[14]), data.size());
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + 16, f.end() - 1), data);
    unsigned sum = 0;
    for (size_t i = 0; i + 1 < f.size(); ++i)
        sum += f[i];
    EXPECT_EQ(f.back(), uint8_t(sum));
}

struct SetCase {
    const char *name;
    std::function<void(QWidget *)> fill;
    const char *button;
    uint16_t code;
    std::vector<uint8_t> data;
    QString note;
};

} // namespace

TEST_F(FenkPage, EverySetFrameByteForByte)
{
    auto t = [](const char *f, const char *text) {
        return [=](QWidget *p) { child<QLineEdit>(p, f)->setText(text); };
    };
    auto all = [](std::vector<std::function<void(QWidget *)>> steps) {
        return [=](QWidget *p) {
            for (const auto &s : steps)
                s(p);
        };
    };
    auto box = [](const char *b, bool on) {
        return [=](QWidget *p) { child<QCheckBox>(p, b)->setChecked(on); };
    };
    const std::string utf8_sn = "\xC3\x9C" "n\xC3\xAF"; // "Ünï": 3 characters, 5 bytes
    const std::vector<SetCase> cases = {
        {"serial number", t("le_sn_2", "SN-0042"), "pb_setsn_2", 0,
         bytes({'S', 'N', '-', '0', '0', '4', '2'}), "sn"},
        {"empty serial number", t("le_sn_2", ""), "pb_setsn_2", 0, {}, "sn"},
        {"serial number counted in bytes",
         [](QWidget *p) { child<QLineEdit>(p, "le_sn_2")->setText(QString::fromUtf8("Ünï")); },
         "pb_setsn_2", 0, std::vector<uint8_t>(utf8_sn.begin(), utf8_sn.end()), "sn"},
        {"id all bits", t("le_id_2", "4294967295"), "pb_setid_2", 1, bytes({0xFF, 0xFF, 0xFF, 0xFF}),
         "id"},
        {"id past 32 bits", t("le_id_2", "4294967296"), "pb_setid_2", 1, bytes({0, 0, 0, 0}), "id"},
        {"id", t("le_id_2", "305419896"), "pb_setid_2", 1, bytes({0x78, 0x56, 0x34, 0x12}), "id"},
        {"address with leading zeros",
         all({t("le_ip_2", "192.168.001.010"), t("le_mask_2", "255.255.255.0"),
              t("le_gateway_2", "192.168.1.1"), t("le_port_2", "2368")}),
         "pb_setip_2", 2,
         bytes({192, 168, 1, 10, 255, 255, 255, 0, 192, 168, 1, 1, 0x40, 0x09}),
         "lidar ip mask gateway port"},
        {"upload target", all({t("le_dstip_2", "10.1.2.3"), t("le_dstport_2", "65535")}),
         "pb_setdstip_2", 3, bytes({10, 1, 2, 3, 0xFF, 0xFF}), "lidar upload ip port"},
        {"pwm 99", t("le_pwm_2", "99"), "pb_pwm_2", 4, bytes({99, 0}), "pwm"},
        {"pwm empty reads 0", t("le_pwm_2", ""), "pb_pwm_2", 4, bytes({0, 0}), "pwm"},
        {"pwm -5 reads 0", t("le_pwm_2", "-5"), "pb_pwm_2", 4, bytes({0, 0}), "pwm"},
        {"no data type", [](QWidget *) {}, "pb_setdatatype_2", 5, bytes({0, 0}), "data type"},
        {"every data type",
         all({box("cb_data1_2", true), box("cb_data2_2", true), box("cb_data3_2", true),
              box("cb_data4_2", true), box("cb_data5_2", true)}),
         "pb_setdatatype_2", 5, bytes({0x3E, 0}), "data type"},
        {"distance and depth", all({box("cb_data2_2", true), box("cb_data4_2", true)}),
         "pb_setdatatype_2", 5, bytes({0x14, 0}), "data type"},
        {"confidence off still sends the threshold", t("le_confidence_filter_thr_2", "300"),
         "pb_setconfidence_2", 7, bytes({0, 0x2C, 0x01}), "confidence"},
        {"confidence threshold past 16 bits",
         all({box("cb_confidence_filter_enable_2", true), t("le_confidence_filter_thr_2", "65536")}),
         "pb_setconfidence_2", 7, bytes({1, 0, 0}), "confidence"},
        {"distance filter",
         all({box("cb_distancefitter", true), t("le_mindistance", "100"),
              t("le_maxdistance", "65535")}),
         "pb_distancefitter", 9, bytes({1, 100, 0, 0xFF, 0xFF}), "distance fitter"},
        {"distance past 16 bits", all({t("le_mindistance", "70000"), t("le_maxdistance", "x")}),
         "pb_distancefitter", 9, bytes({0, 0, 0, 0, 0}), "distance fitter"},
    };
    for (const SetCase &c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::ModalRecorder modal;
        Page_Hoby_U page;
        QSignalSpy spy(&page, &Page_Hoby_U::sig_sendcmd);
        c.fill(&page);
        child<QPushButton>(&page, c.button)->click();
        EXPECT_TRUE(modal.warnings.empty());
        const auto s = pagetest::sent(spy);
        ASSERT_EQ(s.size(), 1u);
        EXPECT_EQ(s[0].note, c.note);
        EXPECT_EQ(s[0].lidartype, 0);
        expect_set_frame(s[0].frame, c.code, c.data);
    }
}

TEST_F(FenkPage, AddressSetIsFollowedByTheAddressChange)
{
    Page_Hoby_U page;
    QStringList order;
    QObject::connect(&page, &Page_Hoby_U::sig_sendcmd, [&](QByteArray, QString note, int) {
        order << "cmd:" + note;
    });
    QObject::connect(&page, &Page_Hoby_U::sig_lidaripchange, [&](QString ip, int port) {
        order << QString("ip:%1:%2").arg(ip).arg(port);
    });
    type(&page, "le_ip_2", "192.168.001.010");
    type(&page, "le_mask_2", "255.255.0.0");
    type(&page, "le_gateway_2", "192.168.7.1");
    type(&page, "le_port_2", "2368");
    child<QPushButton>(&page, "pb_setip_2")->click();
    // The upload target is no address change of the sensor.
    type(&page, "le_dstip_2", "192.168.1.100");
    type(&page, "le_dstport_2", "2368");
    child<QPushButton>(&page, "pb_setdstip_2")->click();
    EXPECT_EQ(order, QStringList({"cmd:lidar ip mask gateway port", "ip:192.168.001.010:2368",
                                  "cmd:lidar upload ip port"}));
}

TEST_F(FenkPage, RefusalsWarnAndSendNothing)
{
    const QString address = "error|ip.mask.gatewat.port  format error!";
    const QString target = "error|target ip.port  format error!";
    struct Case {
        const char *name;
        std::vector<std::pair<const char *, QString>> fields;
        const char *button;
        QString warning;
    };
    const QString long_sn(FENK_SET_DATA_MAX + 1, 'A');
    // 511 characters but 1022 bytes: too long for the device although short in characters.
    const QString wide_sn(511, QChar(0x00E9));
    const std::vector<Case> cases = {
        {"pwm 100", {{"le_pwm_2", "100"}}, "pb_pwm_2", "error|pwn set range(0,100)"},
        {"pwm 65535", {{"le_pwm_2", "65535"}}, "pb_pwm_2", "error|pwn set range(0,100)"},
        {"empty port",
         {{"le_ip_2", "192.168.1.10"}, {"le_mask_2", "255.255.255.0"}, {"le_gateway_2", "192.168.1.1"},
          {"le_port_2", ""}},
         "pb_setip_2", address},
        {"port past 32 bits",
         {{"le_ip_2", "192.168.1.10"}, {"le_mask_2", "255.255.255.0"}, {"le_gateway_2", "192.168.1.1"},
          {"le_port_2", "4294969664"}},
         "pb_setip_2", address},
        {"gateway outside the subnet",
         {{"le_ip_2", "192.168.1.10"}, {"le_mask_2", "255.255.255.0"}, {"le_gateway_2", "10.0.0.1"},
          {"le_port_2", "2368"}},
         "pb_setip_2", address},
        {"mask with a hole",
         {{"le_ip_2", "192.168.1.10"}, {"le_mask_2", "255.0.255.0"}, {"le_gateway_2", "192.168.1.1"},
          {"le_port_2", "2368"}},
         "pb_setip_2", address},
        {"upload address with five parts", {{"le_dstip_2", "192.168.1.1.1"}, {"le_dstport_2", "2368"}},
         "pb_setdstip_2", target},
        {"upload port below 1001", {{"le_dstip_2", "192.168.1.100"}, {"le_dstport_2", "1000"}},
         "pb_setdstip_2", target},
        {"serial number past the buffer", {{"le_sn_2", long_sn}}, "pb_setsn_2",
         "error|sn is too long (at most 1020 bytes)!"},
        {"serial number past the buffer in bytes", {{"le_sn_2", wide_sn}}, "pb_setsn_2",
         "error|sn is too long (at most 1020 bytes)!"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::ModalRecorder modal;
        Page_Hoby_U page;
        QSignalSpy cmds(&page, &Page_Hoby_U::sig_sendcmd);
        QSignalSpy ipchange(&page, &Page_Hoby_U::sig_lidaripchange);
        for (const auto &f : c.fields)
            type(&page, f.first, f.second);
        child<QPushButton>(&page, c.button)->click();
        EXPECT_EQ(modal.warningLines(), QStringList{c.warning});
        EXPECT_EQ(cmds.count(), 0);
        EXPECT_EQ(ipchange.count(), 0);
    }

    // The longest serial number the buffer holds still goes out whole.
    testsupport::ModalRecorder modal;
    Page_Hoby_U page;
    QSignalSpy cmds(&page, &Page_Hoby_U::sig_sendcmd);
    type(&page, "le_sn_2", QString(int(FENK_SET_DATA_MAX), 'Z'));
    child<QPushButton>(&page, "pb_setsn_2")->click();
    EXPECT_TRUE(modal.warnings.empty());
    const auto s = pagetest::sent(cmds);
    ASSERT_EQ(s.size(), 1u);
    expect_set_frame(s[0].frame, 0, std::vector<uint8_t>(FENK_SET_DATA_MAX, 'Z'));
}

TEST_F(FenkPage, GeneralFrameBuilderMatchesTheQueryLayout)
{
    const uint8_t zero = 0;
    const QByteArray query = Page_Hoby_U::buildFrame(0, 0x1234, FENK_GET_PARAM, 1, &zero);
    EXPECT_EQ(bytes(query), bytes({'L', 'H', 0, 0, 0x34, 0x12, 7, 0, 1, 0, 0, 0, 0,
                                   ('L' + 'H' + 0x34 + 0x12 + 7 + 1) & 0xFF}));
    EXPECT_EQ(bytes(Page_Hoby_U::buildFrame(0, 5, 6, 0, nullptr)),
              lh_make_sum_frame(0, 5, 6, nullptr, 0));
    const std::vector<uint8_t> big(LH_SUM_MAX_PAYLOAD + 1, 1);
    EXPECT_TRUE(Page_Hoby_U::buildFrame(0, 1, 1, uint32_t(big.size()), big.data()).isEmpty());
    EXPECT_EQ(Page_Hoby_U::buildFrame(0, 1, 1, uint32_t(big.size() - 1), big.data()).size(),
              int(LH_SUM_MAX_PAYLOAD + 13));

    Page_Hoby_U page;
    const uint8_t data[2] = {0x3E, 0};
    expect_set_frame(page.buildCmdFrame(FENK_SET_DATA_TYPE, 2, data), 5, bytes({0x3E, 0}));
    EXPECT_TRUE(page.buildCmdFrame(FENK_SET_SN, FENK_SET_DATA_MAX + 1, big.data()).isEmpty());
}

namespace {

// A parameter body with every field set to a value of its own.
std::vector<uint8_t> param_body()
{
    namespace f = fenk_param;
    std::vector<uint8_t> b(f::kSize, 0);
    auto text = [&](size_t at, const std::string &s) { std::copy(s.begin(), s.end(), b.begin() + long(at)); };
    text(f::kModel, "LDS-Fenk-U");
    text(f::kSerial, std::string(32, 'S'));   // no zero: the next field must not show
    wr_u32(&b[f::kId], 4294967295u);
    wr_u32(&b[f::kSoftVersion], (1u << 26) | (1u << 20) | 5u);
    wr_u32(&b[f::kHardVersion], (63u << 26) | (63u << 20) | 0xFFFFFu);
    const uint8_t ip[4] = {192, 168, 1, 10}, mask[4] = {255, 255, 255, 0}, gw[4] = {10, 0, 0, 1},
                  dst[4] = {192, 168, 1, 100};
    std::copy(ip, ip + 4, b.begin() + long(f::kIp));
    std::copy(mask, mask + 4, b.begin() + long(f::kMask));
    std::copy(gw, gw + 4, b.begin() + long(f::kGateway));
    std::copy(dst, dst + 4, b.begin() + long(f::kUploadIp));
    wr_u16(&b[f::kPort], 0);
    wr_u16(&b[f::kUploadPort], 2368);
    wr_u16(&b[f::kDataType], 0x0C);
    b[f::kUploadFix] = 7;
    wr_u16(&b[f::kPwm], 55);
    b[f::kCalib] = 0;
    b[f::kFilters] = 2;
    wr_u16(&b[f::kConfidenceThr], 300);
    text(f::kBoardASerial, "ASN-7");
    wr_u16(&b[f::kMinDistance], 100);
    wr_u16(&b[f::kMaxDistance], 65535);
    return b;
}

} // namespace

TEST_F(FenkPage, ParameterReplyFillsEveryField)
{
    testsupport::ModalRecorder modal;
    Page_Hoby_U page;
    QSignalSpy cmds(&page, &Page_Hoby_U::sig_sendcmd);
    // What was shown before: boxes the reply clears must be cleared.
    check(&page, "cb_data1_2", true);
    check(&page, "cb_confidence_filter_enable_2", true);
    check(&page, "cb_calib_2", true);

    const std::vector<uint8_t> body = param_body();
    page.setInfo(reinterpret_cast<const char *>(body.data()), int(body.size()));

    const std::vector<std::pair<const char *, QString>> edits = {
        {"le_sn_2", QString(32, 'S')},   {"le_id_2", "4294967295"},
        {"le_ip_2", "192.168.1.10"},     {"le_mask_2", "255.255.255.0"},
        {"le_gateway_2", "10.0.0.1"},    {"le_port_2", "0"},
        {"le_dstip_2", "192.168.1.100"}, {"le_dstport_2", "2368"},
        {"le_pwm_2", "55"},              {"le_confidence_filter_thr_2", "300"},
        {"le_mindistance", "100"},       {"le_maxdistance", "65535"},
    };
    for (const auto &e : edits)
        EXPECT_EQ(child<QLineEdit>(&page, e.first)->text(), e.second) << e.first;
    const std::vector<std::pair<const char *, QString>> labels = {
        {"lb_model_2", "LDS-Fenk-U"},
        {"lb_softver_2", "1 1 5"},
        {"lb_hardver_2", "63 63 1048575"},
        {"lb_asn_2", "ASN-7"},
    };
    for (const auto &l : labels)
        EXPECT_EQ(child<QLabel>(&page, l.first)->text(), l.second) << l.first;
    const std::vector<std::pair<const char *, bool>> boxes = {
        {"cb_data1_2", false}, {"cb_data2_2", true},  {"cb_data3_2", true},
        {"cb_data4_2", false}, {"cb_data5_2", false}, {"cb_uploadfix_2", true},
        {"cb_calib_2", false}, {"cb_confidence_filter_enable_2", false},
        {"cb_distancefitter", true},
    };
    for (const auto &b : boxes)
        EXPECT_EQ(child<QCheckBox>(&page, b.first)->isChecked(), b.second) << b.first;
    EXPECT_EQ(page.dataType(), 0x0C);
    EXPECT_EQ(cmds.count(), 0) << "showing the device's state sends nothing";

    // The boxes now show what "set" sends.
    child<QPushButton>(&page, "pb_setdatatype_2")->click();
    ASSERT_EQ(cmds.count(), 1);
    expect_set_frame(pagetest::sent(cmds)[0].frame, 5, bytes({0x0C, 0}));

    // A short body is refused: the page and its mask stay as they are.
    std::vector<uint8_t> other = param_body();
    wr_u16(&other[fenk_param::kDataType], 0x3E);
    other[fenk_param::kModel] = 'X';
    page.setInfo(reinterpret_cast<const char *>(other.data()), int(fenk_param::kSize - 1));
    page.setInfo(nullptr, 0);
    EXPECT_EQ(child<QLabel>(&page, "lb_model_2")->text(), "LDS-Fenk-U");
    EXPECT_FALSE(child<QCheckBox>(&page, "cb_data1_2")->isChecked());
    EXPECT_EQ(page.dataType(), 0x0C);

    // A longer body is read for its first 129 bytes.
    other.resize(200, 0xAB);
    page.setInfo(reinterpret_cast<const char *>(other.data()), int(other.size()));
    EXPECT_EQ(child<QLabel>(&page, "lb_model_2")->text(), "XDS-Fenk-U");
    EXPECT_EQ(page.dataType(), 0x3E);
    EXPECT_TRUE(modal.warnings.empty());
}

TEST_F(FenkPage, FormAsTheUserSeesIt)
{
    Page_Hoby_U page;
    EXPECT_EQ(page.objectName(), "Page_Hoby_UClass");
    EXPECT_EQ(page.windowTitle(), "Page_Hoby_U");
    EXPECT_EQ(page.size(), QSize(402, 376));
    auto *tabs = child<QTabWidget>(&page, "tabWidget");
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(tabs->widget(0)->objectName(), "tab_2");
    EXPECT_EQ(tabs->widget(1)->objectName(), "geoProperty");
    EXPECT_EQ(tabs->widget(2)->objectName(), "tab_5");
    EXPECT_FALSE(child<QCheckBox>(&page, "cb_uploadfix_2")->isEnabled());
    EXPECT_FALSE(child<QCheckBox>(&page, "cb_calib_2")->isEnabled());
    EXPECT_FALSE(child<QTextEdit>(&page, "le_update")->isEnabled());
    EXPECT_EQ(page.dataType(), 0);
    for (QCheckBox *b : page.findChildren<QCheckBox *>())
        EXPECT_FALSE(b->isChecked()) << b->objectName().toStdString();
}

TEST_F(FenkPage, FirmwareFileIsChosenRestoredAndHandedOver)
{
    pagetest::expect_firmware_box<Page_Hoby_U>(0);
}
