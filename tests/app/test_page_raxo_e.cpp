// The Raxo page as a user drives it: every frame it sends byte for byte with its note, its
// refusals, the replies it shows, the model switch, the view controls, the class binding and the
// firmware check.

#include "page_raxo_e.h"

#include "lhframe.h"
#include "modalrecorder.h"
#include "multiselectcombobox.h"
#include "page_drawzone.h"
#include "pagetest.h"
#include "pointcloudanomalydetector.h"
#include "setframebytes.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QVBoxLayout>

#include <cstring>
#include <functional>

using pagetest::bytes;
using pagetest::child;

namespace {

class RaxoPage : public ::testing::Test {
protected:
    void SetUp() override { pagetest::load_settings(); }
};

void type(QWidget *page, const char *field, const QString &text)
{
    child<QLineEdit>(page, field)->setText(text);
}

void tick(QWidget *page, const char *box, bool on)
{
    child<QCheckBox>(page, box)->setChecked(on);
}

void row(QWidget *page, const char *combo, int index)
{
    child<QComboBox>(page, combo)->setCurrentIndex(index);
}

void press(QWidget *page, const char *button)
{
    child<QAbstractButton>(page, button)->click();
}

using setbytes::cat;
using setbytes::f32;
using setbytes::set_body;
using setbytes::u16;

// What one frame must hold; the sequence is checked for range and masked.
struct Frame {
    uint16_t type;
    std::vector<uint8_t> payload;
    QString note;
};

void expect_frame(const pagetest::Sent &s, const Frame &want, const std::string &name)
{
    SCOPED_TRACE(name);
    const std::vector<uint8_t> f = bytes(s.frame);
    ASSERT_EQ(f.size(), want.payload.size() + 13);
    EXPECT_EQ(rd_u16(&f[0]), 0x484C);
    EXPECT_EQ(rd_u16(&f[2]), 0);
    EXPECT_LT(rd_u16(&f[4]), 0x8000) << "sequence from rand() & 0x7FFF";
    EXPECT_EQ(rd_u16(&f[6]), want.type);
    EXPECT_EQ(rd_u32(&f[8]), want.payload.size());
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + 12, f.end() - 1), want.payload);
    unsigned sum = 0;
    for (size_t i = 0; i + 1 < f.size(); ++i)
        sum += f[i];
    EXPECT_EQ(f.back(), uint8_t(sum));
    EXPECT_EQ(s.note, want.note);
    EXPECT_EQ(s.lidartype, 1);
}

// A whole algorithm block with recognisable carried bytes.
std::vector<uint8_t> alg_block(uint8_t enable, uint8_t fir, uint8_t cir, uint8_t obj, uint8_t frames,
                               float offset)
{
    std::vector<uint8_t> b(128);
    for (size_t i = 9; i < b.size(); ++i)
        b[i] = uint8_t(i * 7);
    b[0] = enable;
    b[1] = fir;
    b[2] = cir;
    b[3] = obj;
    b[4] = frames;
    wr_f32(&b[5], offset);
    return b;
}

struct Case {
    const char *name;
    std::function<void(Page_Raxo_E *)> act;
    std::vector<Frame> frames;
    QStringList errors = {};   // sig_data type 3 texts
    QStringList warnings = {}; // "title|text"
};

std::function<void(Page_Raxo_E *)> steps(std::vector<std::function<void(Page_Raxo_E *)>> list)
{
    return [list](Page_Raxo_E *p) {
        for (const auto &s : list)
            s(p);
    };
}
auto t(const char *field, const char *text)
{
    return [=](Page_Raxo_E *p) { type(p, field, QString::fromUtf8(text)); };
}
auto on(const char *box) { return [=](Page_Raxo_E *p) { tick(p, box, true); }; }
auto pick(const char *combo, int index) { return [=](Page_Raxo_E *p) { row(p, combo, index); }; }
auto click(const char *button) { return [=](Page_Raxo_E *p) { press(p, button); }; }
auto area(int id) { return [=](Page_Raxo_E *p) { p->findChild<QButtonGroup *>()->button(id)->setChecked(true); }; }
auto with_alg(std::vector<uint8_t> block)
{
    return [=](Page_Raxo_E *p) { p->setAlgInfo(block.data(), block.size()); };
}
auto with_info(std::vector<uint8_t> body)
{
    return [=](Page_Raxo_E *p) { p->setInfo(body.data(), body.size()); };
}

std::vector<uint8_t> alg_with(std::vector<uint8_t> block, std::initializer_list<std::pair<size_t, uint8_t>> bytes)
{
    for (const auto &b : bytes)
        block[b.first] = b.second;
    return block;
}

} // namespace

TEST_F(RaxoPage, EveryFrameByteForByte)
{
    const std::vector<uint8_t> block = alg_block(0, 5, 2, 30, 3, 20.0f);
    const std::string utf8_sn = "\xC3\x9C" "n\xC3\xAF"; // "Ünï": 3 characters, 5 bytes
    std::vector<uint8_t> sn1020(1020, 'S');
    std::vector<uint8_t> info(608);
    info[82] = 0x04; // point-data row 4, which the page removed
    info[196] = 0x93; // gyroscope row 9 of 8
    std::vector<uint8_t> info_pnp(608);
    info_pnp[168] = 0x20; // output 2 PNP
    const auto addr = steps({t("le_ip", "192.168.001.010"), t("le_mask", "255.255.255.0"),
                             t("le_gateway", "192.168.1.1")});
    const QString ipError = "error|ip.mask.gatewat.port  format error!";
    const QString noAlg = "algorithm parameters not read yet, press refresh first";

    const std::vector<Case> cases = {
        // Frames without a setting.
        {"calibration", click("pb_calib"), {{0, {0}, "calibration"}}},
        {"compare frame", click("pb_compare_frame_set"), {{0, {1}, "compare frame "}}},
        {"start", click("pb_start"), {{5, {1}, "start"}}},
        {"stop", click("pb_stop"), {{5, {0}, "stop"}}},
        {"network-error query", click("pb_query_net_error"), {{8, {}, "query network err"}}},
        {"refresh", click("pb_flush"), {{1, {0}, ""}, {6, {}, "get algorithm parameters"}}},
        // Identity.
        {"serial number", steps({t("le_sn", "SN-0042"), click("pb_setsn")}),
         {{2, set_body(0, bytes({'S', 'N', '-', '0', '0', '4', '2'})), "sn"}}},
        {"serial number counted in bytes", steps({t("le_sn", "Ünï"), click("pb_setsn")}),
         {{2, set_body(0, std::vector<uint8_t>(utf8_sn.begin(), utf8_sn.end())), "sn"}}},
        {"serial number cut to 1020 bytes",
         [](Page_Raxo_E *p) { type(p, "le_sn", QString(1500, 'S')); press(p, "pb_setsn"); },
         {{2, set_body(0, sn1020), "sn"}}},
        {"id", steps({t("le_id", "305419896"), click("pb_setid")}),
         {{2, set_body(1, bytes({0x78, 0x56, 0x34, 0x12})), "id"}}},
        {"id not a number", steps({t("le_id", "12ab"), click("pb_setid")}),
         {{2, set_body(1, bytes({0, 0, 0, 0})), "id"}}},
        // Addresses.
        {"address, port 1001", steps({addr, t("le_port", "1001"), click("pb_setip")}),
         {{2, set_body(2, bytes({192, 168, 1, 10, 255, 255, 255, 0, 192, 168, 1, 1, 0xE9, 0x03})),
           "lidar ip mask gateway port"}}},
        {"address, port 65535", steps({addr, t("le_port", "65535"), click("pb_setip")}),
         {{2, set_body(2, bytes({192, 168, 1, 10, 255, 255, 255, 0, 192, 168, 1, 1, 0xFF, 0xFF})),
           "lidar ip mask gateway port"}}},
        {"address, port 1000", steps({addr, t("le_port", "1000"), click("pb_setip")}), {}, {}, {ipError}},
        {"address, port 65536", steps({addr, t("le_port", "65536"), click("pb_setip")}), {}, {}, {ipError}},
        {"mask with a hole",
         steps({addr, t("le_mask", "255.255.0.255"), t("le_port", "2368"), click("pb_setip")}), {}, {},
         {ipError}},
        {"gateway outside the subnet",
         steps({addr, t("le_gateway", "192.168.2.1"), t("le_port", "2368"), click("pb_setip")}), {}, {},
         {ipError}},
        {"upload target", steps({t("le_dstip", "10.1.2.3"), t("le_dstport", "6789"), click("pb_setdstip")}),
         {{2, set_body(3, bytes({10, 1, 2, 3, 0x85, 0x1A})), "lidar upload ip port"}}},
        {"upload target refused", steps({t("le_dstip", "10.1.2"), t("le_dstport", "6789"), click("pb_setdstip")}),
         {}, {}, {"error|target ip.port  format error!"}},
        // Upload kinds.
        {"point data", steps({pick("cb_pointdata_packet", 2), click("pb_pointdata_packet")}),
         {{2, set_body(5, {0, 2}), "pointdata upload"}}},
        {"device status", steps({pick("cb_dev_status_packet", 1), click("pb_dev_status_packet")}),
         {{2, set_body(5, {1, 1}), "dev status upload"}}},
        {"zone alarm", steps({pick("cb_alarm_packet", 1), click("pb_alarm_packet")}),
         {{2, set_body(5, {2, 1}), "alarm upload"}}},
        {"point data row the reply removed", steps({with_info(info), click("pb_pointdata_packet")}), {},
         {"pointdata upload: no value selected"}},
        // Filters.
        {"distance filter, hidden maximum still sent",
         steps({on("cb_distance_filter"), t("le_distance_filter_min", "100"),
                t("le_distance_filter_max", "65535"), click("pb_distance_filter")}),
         {{2, set_body(6, bytes({1, 100, 0, 0xFF, 0xFF})), "distance filter"}}},
        {"intensity filter, energies cut to a byte",
         steps({t("le_intensity_distance_filter_min", "300"), t("le_intensity_filter_min", "7"),
                click("pb_intensity_filter")}),
         {{2, set_body(7, bytes({0, 44, 7})), "intensity filter"}}},
        {"filter algorithm off", click("cb_filter_alg"), {{2, set_body(13, {0}), "filter algorithm"}}},
        {"filter algorithm off and on", steps({click("cb_filter_alg"), click("cb_filter_alg")}),
         {{2, set_body(13, {0}), "filter algorithm"}, {2, set_body(13, {1}), "filter algorithm"}}},
        {"time-domain filter, low 16 bits", steps({t("le_time_area_filter", "70000"), click("pb_time_area_filter")}),
         {{2, set_body(14, u16(70000 & 0xFFFF)), "time area filter algorithm"}}},
        {"close-range clutter",
         steps({on("cb_close_range_noise"), t("le_indoor_first_threshold", "1000"),
                t("le_indoor_second_threshold", "2"), t("le_outdoor_first_threshold", "x"),
                t("le_outdoor_second_threshold", "65535"), click("pb_close_range_noise")}),
         {{2, set_body(16, cat({u16(1), u16(1000), u16(2), u16(0), u16(65535)})), "close range clutter "}}},
        // IMU.
        {"imu parameters",
         [](Page_Raxo_E *p) {
             for (int i = 0; i < 9; ++i)
                 type(p, qPrintable(QString("le_imu%1").arg(i)), QString::number(i * 0.5 - 1));
             press(p, "pb_imuset");
         },
         {{2,
           set_body(4, cat({f32(-1), f32(-0.5f), f32(0), f32(0.5f), f32(1), f32(1.5f), f32(2),
                            f32(2.5f), f32(3)})),
           "imu parameters"}}},
        {"imu type", steps({pick("cb_imu_type_packet", 1), click("pb_imu_type_packet")}),
         {{2, set_body(17, {1}), "imu type "}}},
        {"imu acc", steps({pick("cb_imu_acc", 3), click("pb_imu_acc")}), {{2, set_body(18, {3}), "imu acc "}}},
        {"gyroscope 2000 sends its row", steps({pick("cb_imu_gyro", 7), click("pb_imu_gyro")}),
         {{2, set_body(19, {7}), "imu gyro "}}},
        {"gyroscope row the reply does not offer", steps({with_info(info), click("pb_imu_gyro")}), {},
         {"imu gyro: no value selected"}},
        {"imu filter levels",
         steps({pick("cb_imu_acc_filter", 2), pick("cb_imu_gyro_filter", 7), click("pb_imu_filter_level")}),
         {{2, set_body(20, {2, 7}), "imu filter level "}}},
        {"imu sample rate", steps({pick("cb_imu_sample_rate", 3), click("pb_imu_sample_rate")}),
         {{2, set_body(21, {3}), "imu sample rate "}}},
        // Outputs.
        {"area matrix and no classes", steps({area(0), area(11), click("pb_out")}),
         {{2, set_body(8, cat({bytes({0x01, 0x00, 0x08}), std::vector<uint8_t>(13, 0)})), "4 channel out"},
          {2, set_body(12, {0, 0, 0, 0}), "model bind 4 channel"}}},
        {"output byte", steps({on("cb_out2"), pick("cb_pnp3", 1), click("pb_pnp")}),
         {{2, set_body(9, {0x42}), "4 channel PNP/NPN"}}},
        {"output byte from a reply", steps({with_info(info_pnp), on("cb_out4"), click("pb_pnp")}),
         {{2, set_body(9, {0x28}), "4 channel PNP/NPN"}}},
        {"driver type not selected", steps({pick("cb_pnp2", -1), click("pb_pnp")}), {},
         {"4 channel PNP/NPN: no value selected"}},
        // Mounting height.
        {"manual height", steps({t("le_height", "2.25"), click("pb_fix")}),
         {{2, set_body(12, f32(2.25f)), " set lidar height"}}},
        // The algorithm block.
        {"circles and points",
         steps({with_alg(block), t("le_cir", "3"), t("le_fir", "50"), t("le_frame_min_num", "10"),
                t("le_obj_min_num", "100"), click("pb_cir_fir")}),
         {{2, set_body(10, alg_with(block, {{2, 3}, {1, 50}, {4, 10}, {3, 100}})), "circle and point filter"}}},
        {"circles 0", steps({with_alg(block), t("le_cir", "0"), click("pb_cir_fir")}), {},
         {"circle filter num is out of range"}},
        {"points 101",
         steps({with_alg(block), t("le_cir", "10"), t("le_fir", "101"), click("pb_cir_fir")}), {},
         {"filter filter num is out of range"}},
        {"frames 11",
         steps({with_alg(block), t("le_cir", "3"), t("le_fir", "50"), t("le_frame_min_num", "11"),
                click("pb_cir_fir")}),
         {}, {"circle filter num is out of range"}},
        {"object points 0",
         steps({with_alg(block), t("le_cir", "3"), t("le_fir", "50"), t("le_frame_min_num", "1"),
                t("le_obj_min_num", ""), click("pb_cir_fir")}),
         {}, {"filter filter num is out of range"}},
        {"offset 50", steps({with_alg(block), t("le_offset_distance", "50"), click("pb_offset_distance")}),
         {{2, set_body(10, [&] { auto b = block; wr_f32(&b[5], 50.0f); return b; }()), "offset distance"}}},
        {"offset 10", steps({with_alg(block), t("le_offset_distance", "10"), click("pb_offset_distance")}),
         {{2, set_body(10, [&] { auto b = block; wr_f32(&b[5], 10.0f); return b; }()), "offset distance"}}},
        {"offset 51", steps({with_alg(block), t("le_offset_distance", "51"), click("pb_offset_distance")}), {},
         {"offset distance isout of range"}},
        {"offset 9", steps({with_alg(block), t("le_offset_distance", "9"), click("pb_offset_distance")}), {},
         {"offset distance isout of range"}},
        {"algorithm switch", steps({with_alg(block), click("cb_alg_enable")}),
         {{2, set_body(10, alg_with(block, {{0, 1}})), "algorithm  enable"}}},
        // Before this session's block arrived nothing of the block goes out.
        {"circles before the block", steps({t("le_cir", "3"), t("le_fir", "50"), t("le_frame_min_num", "1"),
                                            t("le_obj_min_num", "10"), click("pb_cir_fir")}),
         {}, {noAlg}},
        {"offset before the block", steps({t("le_offset_distance", "20"), click("pb_offset_distance")}), {},
         {noAlg}},
        {"switch before the block", click("cb_alg_enable"), {}, {noAlg}},
        {"block of an earlier session",
         steps({with_alg(block), [](Page_Raxo_E *p) { p->setLidarType(2); }, click("cb_alg_enable")}), {},
         {noAlg}},
        {"short block keeps none",
         steps({[](Page_Raxo_E *p) { uint8_t b[127] = {1}; p->setAlgInfo(b, sizeof b); },
                click("cb_alg_enable")}),
         {}, {noAlg}},
    };

    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Page_Raxo_E page;
        page.setLidarType(2); // the algorithm tab's buttons work on a Raxo-S
        testsupport::ModalRecorder modal;
        QSignalSpy frames(&page, &Page_Raxo_E::sig_sendcmd);
        QSignalSpy errors(&page, &Page_Raxo_E::sig_data);
        c.act(&page);
        const auto got = pagetest::sent(frames);
        ASSERT_EQ(got.size(), c.frames.size());
        for (size_t i = 0; i < got.size(); ++i)
            expect_frame(got[i], c.frames[i], c.name);
        QStringList texts;
        for (const auto &args : errors) {
            EXPECT_EQ(args.at(0).toInt(), 3);
            texts << QString::fromLocal8Bit(args.at(1).toByteArray());
        }
        EXPECT_EQ(texts, c.errors);
        EXPECT_EQ(modal.warningLines(), c.warnings);
    }
}

TEST_F(RaxoPage, BuildCmdFrameCutsTheDataAt1020Bytes)
{
    Page_Raxo_E page;
    std::vector<uint8_t> data(1100, 0xAB);
    const std::vector<uint8_t> f = bytes(page.buildCmdFrame(0, uint16_t(data.size()), data.data()));
    ASSERT_EQ(f.size(), 1020u + 17);
    EXPECT_EQ(rd_u32(&f[8]), 1024u);
    EXPECT_EQ(rd_u16(&f[14]), 1020u);
    EXPECT_EQ(f[16 + 1019], 0xAB);
    // Two identical requests differ only in sequence and sum.
    const std::vector<uint8_t> a = bytes(page.buildCmdFrame(1, 4, "abcd"));
    const std::vector<uint8_t> b = bytes(page.buildCmdFrame(1, 4, "abcd"));
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        if (i != 4 && i != 5 && i + 1 != a.size()) {
            EXPECT_EQ(a[i], b[i]) << i;
        }
    }
}

TEST_F(RaxoPage, ConstructedState)
{
    Page_Raxo_E page;
    EXPECT_EQ(page.objectName(), "Page_Raxo_EClass");
    EXPECT_EQ(page.windowTitle(), "Page_Raxo_E");
    EXPECT_EQ(page.size(), QSize(708, 737));

    auto *tabs = child<QTabWidget>(&page, "tabWidget");
    EXPECT_EQ(tabs->currentIndex(), 0);
    const QStringList tabNames = {"tab_baseinfo", "tab_netinfo", "tab_io", "tab_alg", "tab_zone"};
    ASSERT_EQ(tabs->count(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(tabs->widget(i)->objectName(), tabNames[i]);
        EXPECT_EQ(tabs->isTabEnabled(i), i < 3) << i;
    }

    for (const char *name : {"pb_autofix", "frame_height_fix", "gb_imuset", "label_7",
                             "le_distance_filter_max", "cb_alg_enable", "pb_setsn",
                             "pb_query_net_error", "cb_gray_img_show"})
        EXPECT_TRUE(child<QWidget>(&page, name)->isHidden()) << name;
    EXPECT_FALSE(child<QWidget>(&page, "le_sn")->isEnabled());
    EXPECT_TRUE(child<QCheckBox>(&page, "cb_filter_alg")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(&page, "cb_obj_select")->isChecked());
    EXPECT_FALSE(page.isGrayImgShow());
    for (const char *name : {"cb_distance_filter", "cb_intensity_filter", "cb_close_range_noise",
                             "cb_upload_data_type", "cb_out1", "cb_out4"})
        EXPECT_FALSE(child<QCheckBox>(&page, name)->isChecked()) << name;

    // The firmware box shows a path but takes no typing; the IMU bias is display only.
    EXPECT_FALSE(child<QTextEdit>(&page, "le_update")->isEnabled());
    EXPECT_EQ(child<QTextEdit>(&page, "le_update")->maximumWidth(), 400);
    for (const char *name : {"le_acc_x", "le_acc_y", "le_acc_z", "le_gyro_x", "le_gyro_y", "le_gyro_z"})
        EXPECT_FALSE(child<QLineEdit>(&page, name)->isEnabled()) << name;

    // Three point-data rows are left; every combo shows row 0.
    auto *points = child<QComboBox>(&page, "cb_pointdata_packet");
    ASSERT_EQ(points->count(), 3);
    EXPECT_EQ(points->itemText(0), "不上传");
    EXPECT_EQ(points->itemText(1), "单回波(360X150)");
    EXPECT_EQ(points->itemText(2), "单回波抽点(360X75)");
    const std::vector<std::pair<const char *, int>> combos = {
        {"cb_imu_acc", 4}, {"cb_imu_gyro", 8}, {"cb_imu_sample_rate", 4}, {"cb_imu_acc_filter", 8},
        {"cb_imu_gyro_filter", 8}, {"cb_dev_status_packet", 2}, {"cb_alarm_packet", 2},
        {"cb_imu_type_packet", 2}, {"cb_pnp1", 2}, {"cb_pnp4", 2}};
    for (const auto &c : combos) {
        EXPECT_EQ(child<QComboBox>(&page, c.first)->count(), c.second) << c.first;
        EXPECT_EQ(child<QComboBox>(&page, c.first)->currentIndex(), 0) << c.first;
    }
    EXPECT_EQ(child<QComboBox>(&page, "cb_imu_gyro")->itemText(7), "2000");
    EXPECT_EQ(child<QComboBox>(&page, "cb_imu_gyro_filter")->itemText(7), "采样率/40");
    EXPECT_EQ(child<QComboBox>(&page, "cb_pnp2")->itemText(1), "PNP");

    // Placeholders, empty edits and read-outs, captions with their blanks.
    const std::vector<std::pair<const char *, const char *>> placeholders = {
        {"le_time_area_filter", "0表示关闭"}, {"le_offset_distance", "10-20"}, {"le_cir", "1"},
        {"le_fir", "1-100"}, {"le_frame_min_num", "1"}, {"le_obj_min_num", "10-100"}};
    for (const auto &p : placeholders) {
        EXPECT_EQ(child<QLineEdit>(&page, p.first)->placeholderText(), QString::fromUtf8(p.second)) << p.first;
        EXPECT_EQ(child<QLineEdit>(&page, p.first)->text(), "") << p.first;
    }
    for (const char *name : {"lb_model", "lb_softver", "lb_hardver"})
        EXPECT_EQ(child<QLabel>(&page, name)->text(), "") << name;
    EXPECT_EQ(child<QPushButton>(&page, "pb_imu_gyro")->text(), " 设置");
    EXPECT_EQ(child<QPushButton>(&page, "pb_imu_acc")->text(), "设置");
    EXPECT_EQ(child<QLabel>(&page, "label_46")->text(), "  GYRO量程(dps):");
    EXPECT_EQ(child<QLabel>(&page, "label_48")->text(), " GYRO滤波等级");
    EXPECT_EQ(child<QLabel>(&page, "label_49")->text(), "    采样率");
    EXPECT_EQ(child<QPushButton>(&page, "pb_flush")->text(), "刷新");

    // Layouts: spacing 6, margins 11 for a widget's own layout, three nested ones without a top
    // margin.
    QWidget *zoneEditor = page.getDrawZone();
    for (QLayout *l : page.findChildren<QLayout *>()) {
        QWidget *owner = l->parentWidget();
        if (owner == zoneEditor || (owner != nullptr && zoneEditor->isAncestorOf(owner)))
            continue; // the zone editor lays itself out
        if (qobject_cast<MultiSelectComboBox *>(l->parentWidget()) != nullptr)
            continue;
        if (l->objectName().isEmpty())
            continue; // the toolkit's own, inside the combo boxes and tab widget
        EXPECT_EQ(l->spacing(), 6) << l->objectName().toStdString();
    }
    for (const char *name : {"gridLayout_20", "gridLayout_8", "gridLayout_18", "gridLayout_7", "gridLayout_15"})
        EXPECT_EQ(child<QLayout>(&page, name)->contentsMargins(), QMargins(11, 11, 11, 11)) << name;
    for (const char *name : {"horizontalLayout_2", "gridLayout_6", "gridLayout_4"})
        EXPECT_EQ(child<QLayout>(&page, name)->contentsMargins().top(), 0) << name;
    EXPECT_EQ(child<QGroupBox>(tabs->widget(1), "groupBox")->styleSheet(), "QPushButton\n{\nmax-width: 60px;\n}");
    EXPECT_EQ(child<QGroupBox>(&page, "groupBox_6")->alignment(), Qt::AlignCenter);

    // The class selectors are the form's, in the output-mapping group, with only the search row.
    for (const char *name : {"cb_bind_idx1", "cb_bind_idx2", "cb_bind_idx3", "cb_bind_idx4"}) {
        auto *b = child<MultiSelectComboBox>(&page, name);
        EXPECT_EQ(b->parentWidget(), child<QGroupBox>(&page, "groupBox_5")) << name;
        EXPECT_EQ(b->count(), 1) << name;
    }

    // The area matrix: three row captions and twelve boxes with ids row * 4 + output.
    auto *rows = child<QVBoxLayout>(child<QWidget>(&page, "groupBox_5"), "verticalLayout");
    ASSERT_EQ(rows->count(), 3);
    QStringList captions;
    for (int i = 0; i < 3; ++i)
        captions << qobject_cast<QLabel *>(rows->itemAt(i)->widget())->text();
    EXPECT_EQ(captions, (QStringList{"observe", "warm", "alarm"}));
    auto *group = page.findChild<QButtonGroup *>();
    ASSERT_NE(group, nullptr);
    EXPECT_FALSE(group->exclusive());
    auto *grid = child<QGridLayout>(&page, "gridLayout_17");
    ASSERT_EQ(group->buttons().size(), 12);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 4; ++j) {
            QAbstractButton *b = group->button(i * 4 + j);
            ASSERT_NE(b, nullptr);
            EXPECT_EQ(grid->itemAtPosition(i, j)->widget(), b);
            EXPECT_EQ(b->styleSheet(), "QCheckBox::indicator {\nwidth: 20px;\nheight: 20px;\n}; ");
        }

    // The zone editor is the form's, on the zone tab.
    Page_DrawZone *zone = page.getDrawZone();
    ASSERT_NE(zone, nullptr);
    EXPECT_EQ(zone->objectName(), "widget_zone");
    EXPECT_EQ(zone->parentWidget(), tabs->widget(4));
}

TEST_F(RaxoPage, ClickingAnAreaBoxFocusesIt)
{
    Page_Raxo_E page;
    page.setLidarType(2);
    child<QTabWidget>(&page, "tabWidget")->setCurrentIndex(2);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    QAbstractButton *b = page.findChild<QButtonGroup *>()->button(6);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, b->height() / 2));
    EXPECT_TRUE(b->isChecked());
    EXPECT_EQ(page.focusWidget(), b);
    page.clickItem(9);
    EXPECT_EQ(page.focusWidget(), page.findChild<QButtonGroup *>()->button(9));
}

namespace {

std::vector<uint8_t> full_reply()
{
    std::vector<uint8_t> b(608);
    auto put = [&b](size_t at, const std::string &s) { std::memcpy(&b[at], s.data(), s.size()); };
    put(2, "LDS-Raxo-S");
    put(18, "SN0123456789ABCDEF0123456789ABCD"); // the whole 32 bytes, no zero
    wr_u32(&b[50], 77);
    wr_u32(&b[54], (1u << 26) + (1u << 20) + 3);
    wr_u32(&b[58], (2u << 26) + (63u << 20) + 0xFFFFF);
    const uint8_t ip[] = {10, 0, 0, 7, 255, 255, 0, 0, 192, 168, 1, 1};
    std::memcpy(&b[62], ip, sizeof ip);
    wr_u16(&b[74], 2368);
    const uint8_t up[] = {10, 0, 0, 99};
    std::memcpy(&b[76], up, 4);
    wr_u16(&b[80], 6789);
    wr_u16(&b[82], 0x001A);
    for (int i = 0; i < 15; ++i)
        wr_f32(&b[84 + 4 * size_t(i)], 0.125f * float(i) - 1.0f);
    b[144] = 0x02;
    b[146] = 12;
    b[147] = 200;
    wr_u16(&b[148], 150);
    wr_u16(&b[150], 60000);
    b[152] = 0x01;
    b[153] = 0x06;
    b[154] = 0x08;
    b[168] = 0x92; // output 2 on; outputs 1 and 4 PNP
    wr_u16(&b[169], 300);
    wr_u16(&b[171], 40);
    wr_u16(&b[179], 500);
    wr_u16(&b[181], 2);
    wr_u16(&b[183], 11);
    wr_u16(&b[185], 22);
    wr_u16(&b[187], 33);
    wr_u16(&b[189], 44);
    b[195] = 1;
    b[196] = 0x73;
    b[197] = 0x52;
    b[198] = 3;
    b[607] = 0x5A;
    return b;
}

} // namespace

TEST_F(RaxoPage, ParameterReplyFillsTheTabs)
{
    Page_Raxo_E page;
    const std::vector<uint8_t> body = full_reply();
    page.setInfo(body.data(), body.size() + 1); // the frame's sum byte follows the body
    auto text = [&page](const char *name) { return child<QLineEdit>(&page, name)->text(); };
    auto index = [&page](const char *name) { return child<QComboBox>(&page, name)->currentIndex(); };
    auto ticked = [&page](const char *name) { return child<QCheckBox>(&page, name)->isChecked(); };

    EXPECT_EQ(child<QLabel>(&page, "lb_model")->text(), "LDS-Raxo-S");
    EXPECT_EQ(text("le_sn"), "SN0123456789ABCDEF0123456789ABCD");
    EXPECT_EQ(text("le_id"), "77");
    EXPECT_EQ(child<QLabel>(&page, "lb_softver")->text(), "1 1 3");
    EXPECT_EQ(child<QLabel>(&page, "lb_hardver")->text(), "2 63 1048575");
    EXPECT_EQ(text("le_ip"), "10.0.0.7");
    EXPECT_EQ(text("le_mask"), "255.255.0.0");
    EXPECT_EQ(text("le_gateway"), "192.168.1.1");
    EXPECT_EQ(text("le_port"), "2368");
    EXPECT_EQ(text("le_dstip"), "10.0.0.99");
    EXPECT_EQ(text("le_dstport"), "6789");
    EXPECT_EQ(index("cb_pointdata_packet"), 2);
    EXPECT_EQ(index("cb_dev_status_packet"), 1);
    EXPECT_EQ(index("cb_alarm_packet"), 1);
    EXPECT_EQ(text("le_acc_x"), "-1");
    EXPECT_EQ(text("le_acc_z"), "-0.75");
    EXPECT_EQ(text("le_gyro_x"), "-0.625");
    EXPECT_EQ(text("le_imu0"), "-0.25");
    EXPECT_EQ(text("le_imu8"), "0.75");
    EXPECT_FALSE(ticked("cb_distance_filter"));
    EXPECT_TRUE(ticked("cb_intensity_filter"));
    EXPECT_EQ(text("le_intensity_distance_filter_min"), "12");
    EXPECT_EQ(text("le_intensity_filter_min"), "200");
    EXPECT_EQ(text("le_distance_filter_min"), "150");
    EXPECT_EQ(text("le_distance_filter_max"), "60000");
    QButtonGroup *group = page.findChild<QButtonGroup *>();
    QString matrix;
    for (int id = 0; id < 12; ++id)
        matrix += group->button(id)->isChecked() ? '1' : '0';
    EXPECT_EQ(matrix, "1000" "0110" "0001");
    EXPECT_EQ(std::vector<bool>({ticked("cb_out1"), ticked("cb_out2"), ticked("cb_out3"), ticked("cb_out4")}),
              std::vector<bool>({false, true, false, false}));
    EXPECT_EQ(std::vector<int>({index("cb_pnp1"), index("cb_pnp2"), index("cb_pnp3"), index("cb_pnp4")}),
              std::vector<int>({1, 0, 0, 1}));
    EXPECT_EQ(text("le_cir"), "300");
    EXPECT_EQ(text("le_fir"), "40");
    EXPECT_EQ(text("le_time_area_filter"), "500");
    EXPECT_TRUE(ticked("cb_close_range_noise")) << "any non-zero switch is on";
    EXPECT_EQ(text("le_indoor_first_threshold"), "11");
    EXPECT_EQ(text("le_indoor_second_threshold"), "22");
    EXPECT_EQ(text("le_outdoor_first_threshold"), "33");
    EXPECT_EQ(text("le_outdoor_second_threshold"), "44");
    EXPECT_EQ(index("cb_imu_type_packet"), 1);
    EXPECT_EQ(index("cb_imu_acc"), 3);
    EXPECT_EQ(index("cb_imu_gyro"), 7);
    EXPECT_EQ(index("cb_imu_acc_filter"), 2);
    EXPECT_EQ(index("cb_imu_gyro_filter"), 5);
    EXPECT_EQ(index("cb_imu_sample_rate"), 3);
    EXPECT_TRUE(ticked("cb_filter_alg")) << "no reply changes the filter-algorithm box";
    EXPECT_EQ(std::memcmp(page.lidarParam(), body.data(), 608), 0);

    // The later reply decides what the circle and point counts show.
    const std::vector<uint8_t> block = alg_block(1, 9, 4, 25, 2, 12.5f);
    page.setAlgInfo(block.data(), block.size() + 1);
    EXPECT_EQ(text("le_cir"), "4");
    EXPECT_EQ(text("le_fir"), "9");
    EXPECT_EQ(text("le_obj_min_num"), "25");
    EXPECT_EQ(text("le_frame_min_num"), "2");
    EXPECT_EQ(text("le_offset_distance"), "12.5");
    EXPECT_TRUE(ticked("cb_alg_enable"));
    page.setInfo(body.data(), body.size());
    EXPECT_EQ(text("le_cir"), "300");
    EXPECT_EQ(text("le_fir"), "40");

    // An algorithm body too short keeps the old block and what it shows.
    const std::vector<uint8_t> shortBlock(100, 0x33);
    page.setAlgInfo(shortBlock.data(), shortBlock.size());
    EXPECT_EQ(std::memcmp(page.algParam(), block.data(), 128), 0);
    EXPECT_EQ(text("le_obj_min_num"), "25");

    // A short parameter body reads as zero-padded; nothing past it is read.
    std::vector<uint8_t> cut(body.begin(), body.begin() + 76);
    page.setInfo(cut.data(), cut.size());
    EXPECT_EQ(text("le_ip"), "10.0.0.7");
    EXPECT_EQ(text("le_port"), "2368");
    EXPECT_EQ(text("le_dstip"), "0.0.0.0");
    EXPECT_EQ(text("le_dstport"), "0");
    EXPECT_EQ(text("le_cir"), "0");
    EXPECT_FALSE(ticked("cb_intensity_filter"));
    EXPECT_EQ(index("cb_imu_gyro"), 0);
    EXPECT_EQ(page.lidarParam()[607], 0);
    page.setInfo(nullptr, 0);
    EXPECT_EQ(child<QLabel>(&page, "lb_model")->text(), "");
    EXPECT_EQ(text("le_ip"), "0.0.0.0");
}

TEST_F(RaxoPage, ModelSwitchEnablesTheRaxoSParts)
{
    Page_Raxo_E page;
    auto *tabs = child<QTabWidget>(&page, "tabWidget");
    auto state = [&] {
        return std::vector<bool>({tabs->isTabEnabled(3), tabs->isTabEnabled(4),
                                  !child<QWidget>(&page, "groupBox_5")->isHidden(),
                                  !child<QWidget>(&page, "groupBox_6")->isHidden(),
                                  !child<QWidget>(&page, "gb_update")->isHidden()});
    };
    page.setLidarType(2);
    EXPECT_EQ(state(), std::vector<bool>({true, true, true, true, true}));
    page.setLidarType(3);
    EXPECT_EQ(state(), std::vector<bool>({true, true, true, true, true}));
    page.setLidarType(1);
    EXPECT_EQ(state(), std::vector<bool>({false, false, false, false, true}));
    page.setLidarType(0);
    EXPECT_EQ(state(), std::vector<bool>({false, false, false, false, true}));
}

TEST_F(RaxoPage, ViewControlsSignalInOrder)
{
    Page_Raxo_E page;
    QStringList got;
    QObject::connect(&page, &Page_Raxo_E::sig_showDataType, [&](int t) { got << QString("show %1").arg(t); });
    QObject::connect(&page, &Page_Raxo_E::sig_objselect, [&](bool on) { got << QString("objects %1").arg(on); });
    QObject::connect(&page, &Page_Raxo_E::sig_height, [&](float h) { got << QString("height %1").arg(h); });
    QObject::connect(&page, &Page_Raxo_E::sig_autoheight, [&] { got << "auto"; });
    QObject::connect(&page, &Page_Raxo_E::sig_show_objtrack, [&] { got << "track"; });
    QObject::connect(&page, &Page_Raxo_E::sig_sendcmd, [&](QByteArray, QString note, int) { got << "cmd" + note; });
    page.setLidarType(2);

    tick(&page, "cb_obj_select", false);
    press(&page, "cb_upload_data_type");
    EXPECT_FALSE(child<QWidget>(&page, "frame_height_fix")->isHidden());
    EXPECT_TRUE(child<QCheckBox>(&page, "cb_obj_select")->isChecked());
    EXPECT_TRUE(child<QWidget>(&page, "pb_autofix")->isHidden());
    press(&page, "cb_obj_select");
    press(&page, "cb_upload_data_type");
    EXPECT_TRUE(child<QWidget>(&page, "frame_height_fix")->isHidden());
    EXPECT_FALSE(child<QCheckBox>(&page, "cb_obj_select")->isChecked()) << "clearing leaves it as it was";
    page.recv_height(1.23456789f);
    EXPECT_EQ(child<QLineEdit>(&page, "le_height")->text(), "1.23457");
    press(&page, "pb_fix");
    press(&page, "pb_autofix");
    press(&page, "pb_obj_track");
    EXPECT_EQ(got, (QStringList{"show 1", "objects 1", "objects 0", "show 0", "height 1.23457",
                                "cmd set lidar height", "auto", "track"}));
}

TEST_F(RaxoPage, ClassSelectorsFollowTheModelFileAndTheKeptMasks)
{
    const std::string dir = testsupport::make_temp_subdir("models");
    const std::string file = dir + "/alg_model.bin";
    PointCloudAnomalyDetector detector;
    for (const char *name : {"car", "person", "bike"})
        ASSERT_TRUE(detector.AddModel(name));
    ASSERT_TRUE(detector.SaveModels(file));
    for (const char *name : {"car", "person", "bike"})
        ASSERT_TRUE(detector.RemoveModel(name));

    Page_Raxo_E page;
    page.setDetector(&detector);
    std::vector<uint8_t> body(608);
    body[191] = 0x06; // output 1: classes 1 and 2
    body[194] = 0x01; // output 4: class 0
    page.setInfo(body.data(), body.size());
    page.recv_modelData(QString::fromStdString(file));

    auto *b1 = child<MultiSelectComboBox>(&page, "cb_bind_idx1");
    auto *b2 = child<MultiSelectComboBox>(&page, "cb_bind_idx2");
    auto *b4 = child<MultiSelectComboBox>(&page, "cb_bind_idx4");
    ASSERT_EQ(b1->count(), 4);
    EXPECT_EQ(b1->checkedIndexes(), (QVector<int>{1, 2}));
    EXPECT_EQ(b1->lineEdit()->text(), "person;bike");
    EXPECT_TRUE(b2->checkedIndexes().isEmpty());
    EXPECT_EQ(b4->checkedIndexes(), (QVector<int>{0}));
    auto *list = qobject_cast<QListWidget *>(b1->view());
    QStringList names;
    for (int r = 1; r < list->count(); ++r)
        names << qobject_cast<QCheckBox *>(list->itemWidget(list->item(r)))->text();
    EXPECT_EQ(names, (QStringList{"car", "person", "bike"}));

    // Masks go out from what the selectors show, right after the area frame.
    b1->resetSelection();
    b1->itemClicked(1);
    b1->itemClicked(3);
    b4->resetSelection();
    b4->itemClicked(2);
    QSignalSpy frames(&page, &Page_Raxo_E::sig_sendcmd);
    press(&page, "pb_out");
    const auto got = pagetest::sent(frames);
    ASSERT_EQ(got.size(), 2u);
    expect_frame(got[1], {2, set_body(12, {0x05, 0x00, 0x00, 0x02}), "model bind 4 channel"}, "masks");
    // Sending does not change the kept masks.
    EXPECT_EQ(page.lidarParam()[191], 0x06);

    // A new model file rebuilds the rows; classes 8 and on are never ticked nor sent.
    std::vector<ModelInfo> nine(9);
    for (int i = 0; i < 9; ++i)
        ASSERT_TRUE(detector.AddModel("m" + std::to_string(i)));
    body[191] = 0xFF;
    page.setInfo(body.data(), body.size());
    page.setObjModels(nine);
    EXPECT_EQ(b1->count(), 10);
    EXPECT_EQ(b1->checkedIndexes(), (QVector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    b1->itemClicked(9);
    EXPECT_EQ(b1->checkedIndexes().size(), 9);
    frames.clear();
    press(&page, "pb_out");
    ASSERT_EQ(frames.size(), 2);
    expect_frame(pagetest::sent(frames)[1], {2, set_body(12, {0xFF, 0x00, 0x00, 0x01}), "model bind 4 channel"},
                 "class 8");

    // A file that cannot be read leaves the search rows only; so does a missing detector.
    page.recv_modelData(QString::fromStdString(dir + "/none/alg_model.bin"));
    EXPECT_EQ(b1->count(), 1);
    page.setObjModels(nine);
    EXPECT_EQ(b1->count(), 10);
    page.setDetector(nullptr);
    page.recv_modelData(QString::fromStdString(file));
    page.setObjModels(nine);
    for (auto *b : {b1, b2, b4})
        EXPECT_EQ(b->count(), 1);
}

TEST_F(RaxoPage, FirmwareNameIsChecked)
{
    IniSettings::instance()->set_value("Standard", "upgrade_path", "", "main_ini");
    Page_Raxo_E page;
    testsupport::ModalRecorder modal;
    QSignalSpy upgrades(&page, &Page_Raxo_E::sig_upgrade);
    const QString good = "/opt/fw/LDS-Raxo-E_v1.2.lhl";
    modal.chooserAnswers = {good, good.toLower(), "/opt/fw/LDS-Raxo"};
    for (int i = 0; i < 3; ++i) {
        press(&page, "pb_chooseFile");
        press(&page, "pb_update");
    }
    press(&page, "pb_chooseFile"); // cancelled: the box empties
    EXPECT_EQ(child<QTextEdit>(&page, "le_update")->toPlainText(), "");
    press(&page, "pb_update");

    ASSERT_EQ(modal.chooserRequests.size(), 4u);
    EXPECT_EQ(modal.chooserRequests[0].kind, ChooserKind::OpenFile);
    EXPECT_EQ(modal.chooserRequests[0].parent, &page);
    EXPECT_EQ(modal.chooserRequests[0].caption, "Open File");
    EXPECT_EQ(modal.chooserRequests[0].filter, "Firmware(*.bin *.lhl)");
    EXPECT_EQ(modal.chooserRequests[0].dir, QDir::homePath()) << "no firmware file known yet";
    ASSERT_EQ(upgrades.count(), 2);
    EXPECT_EQ(upgrades[0], (QList<QVariant>{good, 1, 8}));
    EXPECT_EQ(upgrades[1], (QList<QVariant>{QString("/opt/fw/LDS-Raxo"), 1, 8}));
    EXPECT_EQ(modal.warningLines(), (QStringList{"error|Firmware name does not conform to specification",
                                                 "error|Firmware name does not conform to specification"}));
}
