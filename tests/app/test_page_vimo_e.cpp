// The Vimo-E page as a user drives it: every text command byte for byte, the start sequence,
// the upload-fix re-query, its refusals, the parameter reply it shows and its firmware box.

#include "page_vimo_e.h"

#include "checksum.h"
#include "fakevimo.h"
#include "lhframe.h"
#include "modalrecorder.h"
#include "pagetest.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>

#include <functional>

using pagetest::bytes;
using pagetest::child;
using pagetest::expect_text_frame;

namespace {

class VimoPage : public ::testing::Test {
protected:
    void SetUp() override { pagetest::load_settings(); }
    static void type(QWidget *page, const char *field, const QString &text)
    {
        child<QLineEdit>(page, field)->setText(text);
    }
};

struct TextCase {
    const char *name;
    std::function<void(Page_Vimo_E *)> act;
    uint16_t pack;
    std::string text;
    size_t L;
    QString note;
};

} // namespace

TEST_F(VimoPage, EveryTextCommandByteForByte)
{
    auto click = [](const char *b) {
        return [=](Page_Vimo_E *p) { child<QPushButton>(p, b)->click(); };
    };
    const std::vector<TextCase> cases = {
        {"start", click("pb_start"), C_PACK, "LSTARH", 8, "set lidar start"},
        {"stop", click("pb_stop"), C_PACK, "LSTOPH", 8, "set lidar stop"},
        {"ptp on", [](Page_Vimo_E *p) { child<QCheckBox>(p, "cb_ptp_enable")->click(); }, S_PACK,
         "LSPTP:1H", 8, "set lidar ptp :enable"},
        {"ptp off",
         [](Page_Vimo_E *p) {
             auto *b = child<QCheckBox>(p, "cb_ptp_enable");
             b->setChecked(true);
             b->click();
         },
         S_PACK, "LSPTP:0H", 8, "set lidar ptp :disable"},
        {"upload fix box on", [](Page_Vimo_E *p) { p->on_cb_uploadfix_clicked(true); }, S_PACK,
         "LSTFX:1H", 8, "set lidar uploadfix :enable"},
        {"upload fix box off", [](Page_Vimo_E *p) { p->on_cb_uploadfix_clicked(false); }, S_PACK,
         "LSTFX:0H", 8, "set lidar uploadfix :disable"},
        {"upload fix button", click("pb_uploadfix"), S_PACK, "LSTFX:1H", 8,
         "set lidar uploadfix enable"},
        {"upload target",
         [&](Page_Vimo_E *p) {
             type(p, "le_dstip", "192.168.1.100");
             type(p, "le_dstport", "2368");
             child<QPushButton>(p, "pb_setdstip")->click();
         },
         S_PACK, "LSDST:192.168.001.100 02368H", 28, "set lidar upload ip :192.168.1.100 port:2368"},
        {"lidar address",
         [&](Page_Vimo_E *p) {
             type(p, "le_ip", "10.0.7.20");
             type(p, "le_mask", "255.255.0.0");
             type(p, "le_gateway", "10.0.0.1");
             type(p, "le_port", "02369");
             child<QPushButton>(p, "pb_setip")->click();
         },
         S_PACK, "LSUDP:010.000.007.020 255.255.000.000 010.000.000.001 02369H", 60,
         "set lidar ip mask gateway port ok"},
        {"refresh", click("pb_reflush"), QUERY_PACK, "xxxxxx", 8, "dev param"},
        {"fault query", click("pb_err_query"), C_PACK, "LNETRRH", 8, "debug query"},
        {"temperature query", click("pb_temperature_query"), C_PACK, "LLSADCH", 8,
         "temperature query"},
    };
    for (const TextCase &c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::ModalRecorder modal;
        Page_Vimo_E page;
        QSignalSpy spy(&page, &Page_Vimo_E::sig_sendcmd);
        c.act(&page);
        EXPECT_TRUE(modal.warnings.empty());
        const auto s = pagetest::sent(spy);
        ASSERT_EQ(s.size(), 1u);
        EXPECT_EQ(s[0].note, c.note);
        EXPECT_EQ(s[0].lidartype, 3);
        expect_text_frame(s[0].frame, c.pack, c.text, c.L);
    }
}

TEST_F(VimoPage, StartSendsTheCommandThenHoldsFaultReports)
{
    Page_Vimo_E page;
    QStringList order;
    QObject::connect(&page, &Page_Vimo_E::sig_sendcmd,
                     [&](QByteArray f, QString, int) { order << QString::fromLatin1(f.mid(8, 6)); });
    QObject::connect(&page, &Page_Vimo_E::sig_ignore_err,
                     [&](int s) { order << QString("ignore %1").arg(s); });
    child<QPushButton>(&page, "pb_start")->click();
    EXPECT_EQ(order, QStringList({"LSTARH", "ignore 15"}));
    child<QPushButton>(&page, "pb_stop")->click();
    EXPECT_EQ(order, QStringList({"LSTARH", "ignore 15", "LSTOPH"}))
        << "each button fires once: nothing is connected twice";
}

TEST_F(VimoPage, EachUploadFixPressQueriesTheParametersTwoSecondsLater)
{
    Page_Vimo_E page;
    QElapsedTimer clock;
    std::vector<std::pair<qint64, QString>> frames; // time, text
    QObject::connect(&page, &Page_Vimo_E::sig_sendcmd, [&](QByteArray f, QString note, int) {
        frames.emplace_back(clock.elapsed(), note);
    });
    clock.start();
    auto *button = child<QPushButton>(&page, "pb_uploadfix");
    button->click();
    const qint64 second_press = clock.elapsed();
    button->click();
    QSignalSpy spy(&page, &Page_Vimo_E::sig_sendcmd);
    while (spy.count() < 2 && spy.wait(10000)) {
    }
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[0].second, "set lidar uploadfix enable");
    EXPECT_EQ(frames[1].second, "set lidar uploadfix enable");
    EXPECT_EQ(frames[2].second, "dev param");
    EXPECT_EQ(frames[3].second, "dev param");
    EXPECT_GE(frames[2].first, 1950) << "the first query waits for its timer";
    EXPECT_GE(frames[3].first, second_press + 1950) << "the second press has a timer of its own";
}

TEST_F(VimoPage, RefusalsWarnAndSendNothing)
{
    const QString address = "error|ip.mask.gatewat.port  format error!";
    const QString target = "error|target ip.port  format error!";
    const QString showtime = "error|display time range(1,99)";
    struct Case {
        const char *name;
        std::vector<std::pair<const char *, QString>> fields;
        const char *button;
        QString warning;
    };
    const std::vector<std::pair<const char *, QString>> good = {
        {"le_ip", "192.168.1.10"}, {"le_mask", "255.255.255.0"}, {"le_gateway", "192.168.1.1"}};
    auto with = [&](const char *f, const QString &v) {
        auto fields = good;
        fields.emplace_back(f, v);
        return fields;
    };
    const std::vector<Case> cases = {
        {"empty port", with("le_port", ""), "pb_setip", address},
        {"port not a number", with("le_port", "abc"), "pb_setip", address},
        {"port past 16 bits", with("le_port", "65536"), "pb_setip", address},
        {"gateway outside the subnet",
         {{"le_ip", "192.168.1.10"}, {"le_mask", "255.255.255.0"}, {"le_gateway", "192.168.2.1"},
          {"le_port", "2368"}},
         "pb_setip", address},
        {"address below 10.0.0.0",
         {{"le_ip", "9.1.1.1"}, {"le_mask", "255.0.0.0"}, {"le_gateway", "9.0.0.1"}, {"le_port", "2368"}},
         "pb_setip", address},
        {"upload port empty", {{"le_dstip", "192.168.1.100"}, {"le_dstport", ""}}, "pb_setdstip", target},
        {"upload address with a letter", {{"le_dstip", "192.168.1.x"}, {"le_dstport", "2368"}},
         "pb_setdstip", target},
        {"display time empty", {{"le_showtime", ""}}, "pb_showtime", showtime},
        {"display time 0", {{"le_showtime", "0"}}, "pb_showtime", showtime},
        {"display time 100", {{"le_showtime", "100"}}, "pb_showtime", showtime},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::ModalRecorder modal;
        Page_Vimo_E page;
        QSignalSpy cmds(&page, &Page_Vimo_E::sig_sendcmd);
        QSignalSpy times(&page, &Page_Vimo_E::sig_showtime);
        for (const auto &f : c.fields)
            type(&page, f.first, f.second);
        child<QPushButton>(&page, c.button)->click();
        EXPECT_EQ(modal.warningLines(), QStringList{c.warning});
        EXPECT_EQ(cmds.count(), 0);
        EXPECT_EQ(times.count(), 0);
    }
}

TEST_F(VimoPage, DisplayTimeGoesOutInItsRange)
{
    testsupport::ModalRecorder modal;
    Page_Vimo_E page;
    QSignalSpy times(&page, &Page_Vimo_E::sig_showtime);
    for (const char *t : {"1", "10", "99"}) {
        type(&page, "le_showtime", t);
        child<QPushButton>(&page, "pb_showtime")->click();
    }
    ASSERT_EQ(times.count(), 3);
    EXPECT_EQ(times[0].at(0).toInt(), 1);
    EXPECT_EQ(times[1].at(0).toInt(), 10);
    EXPECT_EQ(times[2].at(0).toInt(), 99);
    EXPECT_TRUE(modal.warnings.empty());
}

TEST_F(VimoPage, ConstructedAsTheUserFirstSeesIt)
{
    Page_Vimo_E page;
    EXPECT_EQ(page.objectName(), "Page_Vimo_EClass");
    EXPECT_EQ(page.windowTitle(), "Page_Vimo_E");
    EXPECT_EQ(page.size(), QSize(409, 530));
    auto *tabs = child<QTabWidget>(&page, "tabWidget");
    ASSERT_EQ(tabs->count(), 2) << "the debug tab is removed";
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(tabs->widget(0)->objectName(), "tab_2");
    EXPECT_EQ(tabs->widget(1)->objectName(), "tab_5");
    page.show();
    for (const char *b : {"pb_err_query", "pb_temperature_query"}) {
        auto *button = child<QPushButton>(&page, b);
        for (int i = 0; i < tabs->count(); ++i)
            EXPECT_FALSE(tabs->widget(i)->isAncestorOf(button)) << b;
        EXPECT_FALSE(button->isVisible()) << b;
    }
    EXPECT_FALSE(child<QCheckBox>(&page, "cb_uploadfix")->isEnabled());
    EXPECT_FALSE(child<QCheckBox>(&page, "cb_uploadfix")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(&page, "cb_ptp_enable")->isChecked());
    auto *showtime = child<QLineEdit>(&page, "le_showtime");
    EXPECT_EQ(showtime->text(), "10");
    EXPECT_EQ(showtime->placeholderText(), "1-99");
    auto *v = qobject_cast<const QIntValidator *>(showtime->validator());
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->bottom(), 1);
    EXPECT_EQ(v->top(), 99);
    for (const char *e : {"le_ip", "le_mask", "le_gateway", "le_port", "le_dstip", "le_dstport"})
        EXPECT_TRUE(child<QLineEdit>(&page, e)->text().isEmpty()) << e;
    EXPECT_TRUE(child<QLabel>(&page, "lb_sn")->text().isEmpty());
    EXPECT_TRUE(child<QLabel>(&page, "lb_model")->text().isEmpty());
}

TEST_F(VimoPage, ParameterReplyFillsEveryFieldAndSendsNothing)
{
    FakeVimo::Params p;
    p.sn = "VM-2024-0001";
    p.model = "LDS-Vimo-E";
    const uint8_t ip[4] = {192, 168, 10, 5}, mask[4] = {255, 255, 0, 0}, gw[4] = {192, 168, 0, 1},
                  dst[4] = {192, 168, 10, 100};
    std::copy(ip, ip + 4, p.ip);
    std::copy(mask, mask + 4, p.mask);
    std::copy(gw, gw + 4, p.gateway);
    std::copy(dst, dst + 4, p.dst_ip);
    p.port = 0;
    p.dst_port = 2368;
    p.upload_fix = 1;
    p.ptp = 0xFE; // bit 0 clear: PTP off whatever the other bits say
    std::vector<uint8_t> reply = FakeVimo::param_record(p);
    reply[8 + 12] = 0x01; // a control byte ends the serial number

    VimoLidarInfo info;
    EXPECT_FALSE(vimo_lidar_info_decode(reply.data(), reply.size() - 1, &info));
    ASSERT_TRUE(vimo_lidar_info_decode(reply.data(), reply.size(), &info));

    testsupport::ModalRecorder modal;
    Page_Vimo_E page;
    QSignalSpy cmds(&page, &Page_Vimo_E::sig_sendcmd);
    child<QCheckBox>(&page, "cb_ptp_enable")->setChecked(true);
    type(&page, "le_ip", "typed by the user");
    page.setInfo(info);

    const std::vector<std::pair<const char *, QString>> edits = {
        {"le_ip", "192.168.10.5"},      {"le_mask", "255.255.0.0"}, {"le_gateway", "192.168.0.1"},
        {"le_port", "0"},               {"le_dstip", "192.168.10.100"},
        {"le_dstport", "2368"},
    };
    for (const auto &e : edits)
        EXPECT_EQ(child<QLineEdit>(&page, e.first)->text(), e.second) << e.first;
    EXPECT_EQ(child<QLabel>(&page, "lb_sn")->text(), "VM-2024-0001");
    EXPECT_EQ(child<QLabel>(&page, "lb_model")->text(), "LDS-Vimo-E");
    EXPECT_TRUE(child<QCheckBox>(&page, "cb_uploadfix")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(&page, "cb_ptp_enable")->isChecked());

    // A second reply overwrites the first; the disabled box still follows the device.
    p.ip[3] = 6;
    p.port = 2369;
    p.upload_fix = 0;
    p.ptp = 1;
    ASSERT_TRUE(vimo_lidar_info_decode(FakeVimo::param_record(p).data(), VIMO_PARAM_SIZE, &info));
    page.setInfo(info);
    EXPECT_EQ(child<QLineEdit>(&page, "le_ip")->text(), "192.168.10.6");
    EXPECT_EQ(child<QLineEdit>(&page, "le_port")->text(), "2369");
    EXPECT_FALSE(child<QCheckBox>(&page, "cb_uploadfix")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(&page, "cb_ptp_enable")->isChecked());

    EXPECT_EQ(cmds.count(), 0) << "showing the device's state sends nothing";
    EXPECT_TRUE(modal.warnings.empty());
}

TEST_F(VimoPage, FirmwareFileIsChosenRestoredAndHandedOver)
{
    pagetest::expect_firmware_box<Page_Vimo_E>(3);
}
