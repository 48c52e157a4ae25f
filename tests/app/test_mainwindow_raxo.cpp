// The Raxo page in a real Raxo-S session against a fake sensor on 127.0.0.2: what its buttons put
// on the wire, how the sensor's parameter, algorithm and set replies show on the page and in the
// message log, the class selectors filled from the model file read back from the sensor, and the
// training dialog's sensor write, which must leave the sensor alone.

#include "mainwindow.h"

#include "devicepackets.h"
#include "dialog_traindata.h"
#include "fakepeer.h"
#include "fakeraxo.h"
#include "inisettings.h"
#include "lhframe.h"
#include "multiselectcombobox.h"
#include "page_raxo_e.h"
#include "pointcloudanomalydetector.h"
#include "receiverprobe.h"
#include "recvdataproc2.h"
#include "sessionfixture.h"
#include "setframebytes.h"
#include "testsupport.h"
#include "widgettexts.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>

#include "qtrygtest.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

const char kDoc[] = "main_ini";
constexpr int kWaitMs = 10000;

using setbytes::cat;
using setbytes::set_body;
using setbytes::u16;
using setbytes::u32;

// The sensor's parameters, as the 608-byte body of its 0x8001 reply.
std::vector<uint8_t> sensorParams()
{
    namespace f = raxo_param;
    std::vector<uint8_t> b(f::kSize);
    std::memcpy(&b[f::kModel], "LDS-Raxo-S", 10);
    std::memcpy(&b[f::kSerial], "RAXO-S-SN-0042", 14);
    wr_u32(&b[f::kId], 77);
    wr_u32(&b[f::kSoftVersion], (1u << 26) | (2u << 20) | 345u);
    wr_u32(&b[f::kHardVersion], (3u << 26) | (4u << 20) | 5u);
    const uint8_t ip[4] = {10, 0, 0, 7}, mask[4] = {255, 255, 255, 0}, gateway[4] = {10, 0, 0, 1},
                  upload[4] = {10, 0, 0, 99};
    std::memcpy(&b[f::kIp], ip, 4);
    std::memcpy(&b[f::kMask], mask, 4);
    std::memcpy(&b[f::kGateway], gateway, 4);
    wr_u16(&b[f::kPort], 2368);
    std::memcpy(&b[f::kUploadIp], upload, 4);
    wr_u16(&b[f::kUploadPort], 6789);
    wr_u16(&b[f::kUploadFlags], 0x12); // point-data row 2, no status packets, alarm packets
    b[f::kFilters] = 0x02;             // intensity filter only
    wr_u16(&b[f::kMinDistance], 150);
    wr_u16(&b[f::kMaxDistance], 4000);
    wr_u16(&b[f::kCircles], 3);
    wr_u16(&b[f::kPoints], 40);
    b[f::kClassMasks] = 0x06;     // output 1: classes 1 and 2
    b[f::kClassMasks + 3] = 0x01; // output 4: class 0
    b[f::kSize - 1] = 0x5A;
    return b;
}

// The sensor's algorithm block, the 128-byte body of its 0x8006 reply, with recognisable bytes
// past the fields the page shows (they go back to the sensor as they came).
std::vector<uint8_t> sensorAlg(float offset)
{
    namespace g = raxo_alg;
    std::vector<uint8_t> b(g::kSize);
    for (size_t i = 9; i < b.size(); ++i)
        b[i] = uint8_t(i * 7);
    b[g::kEnable] = 1;
    b[g::kPoints] = 9;
    b[g::kCircles] = 4;
    b[g::kObjMin] = 25;
    b[g::kFrames] = 2;
    wr_f32(&b[g::kOffset], offset);
    return b;
}

// A model file of three classes, as the sensor keeps it.
std::vector<uint8_t> modelFile(const std::vector<std::string> &names)
{
    const std::string path = testsupport::make_temp_subdir("models") + "/alg_model.bin";
    PointCloudAnomalyDetector detector;
    for (const std::string &n : names)
        EXPECT_TRUE(detector.AddModel(n));
    EXPECT_TRUE(detector.SaveModels(path));
    return testsupport::read_file(path);
}

QString tr(const char *context, const char *text)
{
    return QCoreApplication::translate(context, text);
}

// The log line of a set result as the window writes it, in the running language.
QString setLine(const char *note, uint32_t result)
{
    const QString n = tr("Page_Raxo_E", note);
    const QString text = result == 0 ? tr("DeviceSession", "%1 SET OK").arg(n)
                                     : tr("DeviceSession", "%1 SET NG  code:%2").arg(n).arg(result);
    return "[ " + tr("DeviceSession", "Info") + " ] " + text;
}

// A Raxo-S session through the window, the fake answering as the sensor would: its parameters,
// its algorithm block (unless withheld), and each set frame with the result the test chose.
class RaxoSWindow : public WindowSessionFixture {
protected:
    void SetUp() override
    {
        load_test_settings();
        if (const char *language = this->language()) {
            translation = std::make_unique<testsupport::ScopedTranslation>(language);
            ASSERT_TRUE(translation->loaded());
        }
        makeWindow();
        ASSERT_TRUE(fake.ok());
        fake.set_command_handler([this](const std::vector<uint8_t> &request) { return reply(request); });
        page = a->find<Page_Raxo_E>("page_raxo_e");
        ASSERT_NE(page, nullptr);
    }
    void TearDown() override
    {
        WindowSessionFixture::TearDown();
        translation.reset();
    }
    virtual const char *language() const { return nullptr; }

    std::vector<uint8_t> reply(const std::vector<uint8_t> &request)
    {
        const SumCommand c = parseSum(request);
        std::lock_guard<std::mutex> lock(replyMutex);
        switch (c.type) {
        case RAXO_GET_PARAM:
            return make_command_reply(c.type, params);
        case RAXO_GET_ALG_PARAM:
            return answerAlg ? make_command_reply(c.type, alg) : std::vector<uint8_t>();
        case RAXO_SET:
            return make_command_reply(c.type, u32(setResult.load()));
        default:
            return make_command_reply(c.type, std::vector<uint8_t>(4, 0));
        }
    }
    void setReplies(const std::vector<uint8_t> &p, const std::vector<uint8_t> &g, bool answer)
    {
        std::lock_guard<std::mutex> lock(replyMutex);
        params = p;
        alg = g;
        answerAlg = answer;
    }

    // A Raxo-S session as the connect action starts it; returns once its two queries are in.
    void startSession()
    {
        const size_t before = fake.commands().size();
        answerConnect(fake.ip(), fake.listen_port(), free_udp_port(), "RAXO-S-1");
        trigger("actionRaxo_S");
        ASSERT_NE(a->session().raxoReceiver(), nullptr);
        ASSERT_EQ(a->currentModel(), LIDAR_RAXO_S);
        ASSERT_TRUE(waitCommands(fake, before + 2));
    }

    // Times `line` (without time stamp) was logged, after the queued lines are written.
    int linesEqual(const QString &line)
    {
        a->tick();
        return a->timesLogged(line);
    }
    // Times a line holding `text` was logged.
    int linesWith(const QString &text)
    {
        a->tick();
        return a->timesLoggedWith(text);
    }
    bool logs(const QString &line, int times = 1)
    {
        return testsupport::wait_until([&] { return linesEqual(line) >= times; }, kWaitMs);
    }
    // The model read-back that follows each algorithm reply has ended (well or not): the
    // receiver reads command replies again.
    bool readBacksDone(int times)
    {
        const QString line = tr("RecvDataProc2", "detect model load %1").arg(QString());
        return testsupport::wait_until([&] { return linesWith(line) >= times; }, kWaitMs);
    }

    template <typename T> T *field(const char *name)
    {
        T *c = page->findChild<T *>(name);
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    QString text(const char *name) { return field<QLineEdit>(name)->text(); }
    void type(const char *name, const QString &t) { field<QLineEdit>(name)->setText(t); }
    // Brings the button's tab to the front and clicks it with the mouse, as a user would.
    void press(const char *name)
    {
        auto *button = field<QAbstractButton>(name);
        ASSERT_NE(button, nullptr);
        auto *tabs = field<QTabWidget>("tabWidget");
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->widget(i)->isAncestorOf(button))
                tabs->setCurrentIndex(i);
        ASSERT_TRUE(button->isVisible()) << name;
        ASSERT_TRUE(button->isEnabled()) << name;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // The command frame the fake took last.
    SumCommand last() { return parseSum(fake.commands().back()); }

    std::unique_ptr<testsupport::ScopedTranslation> translation;
    std::mutex replyMutex;
    std::vector<uint8_t> params = sensorParams();
    std::vector<uint8_t> alg = sensorAlg(12.5f);
    bool answerAlg = true;
    std::atomic<uint32_t> setResult{0};
    FakeRaxo fake;
    Page_Raxo_E *page = nullptr;
};

} // namespace

// The replies to the session's two queries fill the page: the parameter body its tabs, the
// later algorithm block the algorithm fields, both kept whole. Neither takes a note.
TEST_F(RaxoSWindow, QueryRepliesFillThePage)
{
    startSession();
    const std::vector<uint8_t> p = sensorParams();
    const std::vector<uint8_t> g = sensorAlg(12.5f);
    ASSERT_TRUE(testsupport::wait_until([&] { return text("le_offset_distance") == "12.5"; }, kWaitMs));
    EXPECT_EQ(field<QLabel>("lb_model")->text(), "LDS-Raxo-S");
    EXPECT_EQ(text("le_sn"), "RAXO-S-SN-0042");
    EXPECT_EQ(text("le_id"), "77");
    EXPECT_EQ(field<QLabel>("lb_softver")->text(), "1 2 345");
    EXPECT_EQ(field<QLabel>("lb_hardver")->text(), "3 4 5");
    EXPECT_EQ(text("le_ip"), "10.0.0.7");
    EXPECT_EQ(text("le_mask"), "255.255.255.0");
    EXPECT_EQ(text("le_gateway"), "10.0.0.1");
    EXPECT_EQ(text("le_port"), "2368");
    EXPECT_EQ(text("le_dstip"), "10.0.0.99");
    EXPECT_EQ(text("le_dstport"), "6789");
    EXPECT_EQ(field<QComboBox>("cb_pointdata_packet")->currentIndex(), 2);
    EXPECT_EQ(field<QComboBox>("cb_dev_status_packet")->currentIndex(), 0);
    EXPECT_EQ(field<QComboBox>("cb_alarm_packet")->currentIndex(), 1);
    EXPECT_FALSE(field<QCheckBox>("cb_distance_filter")->isChecked());
    EXPECT_TRUE(field<QCheckBox>("cb_intensity_filter")->isChecked());
    EXPECT_EQ(text("le_distance_filter_min"), "150");
    // The circle and point counts come from the algorithm block, which arrives later.
    EXPECT_EQ(text("le_cir"), "4");
    EXPECT_EQ(text("le_fir"), "9");
    EXPECT_EQ(text("le_obj_min_num"), "25");
    EXPECT_EQ(text("le_frame_min_num"), "2");
    EXPECT_TRUE(field<QCheckBox>("cb_alg_enable")->isChecked());
    EXPECT_EQ(std::memcmp(page->lidarParam(), p.data(), p.size()), 0);
    EXPECT_EQ(std::memcmp(page->algParam(), g.data(), g.size()), 0);

    EXPECT_EQ(linesEqual("[ Info ] get lidar parameters  OK"), 1);
    EXPECT_EQ(linesWith("SET OK"), 0) << "the session's own queries carry no note";
    EXPECT_TRUE(a->session().notes().isEmpty());
}

// "刷新" asks for both again, the parameters without a note and the algorithm block with one;
// what the sensor holds now replaces what the page showed.
TEST_F(RaxoSWindow, RefreshQueriesBothAndShowsTheNewReplies)
{
    startSession();
    ASSERT_TRUE(readBacksDone(1));
    EXPECT_EQ(text("le_port"), "2368");
    std::vector<uint8_t> p = sensorParams();
    wr_u16(&p[raxo_param::kPort], 2400);
    p[raxo_param::kFilters] = 0x01;
    setReplies(p, sensorAlg(30.0f), true);

    const size_t before = fake.commands().size();
    press("pb_flush");
    ASSERT_TRUE(waitCommands(fake, before + 2));
    const auto commands = fake.commands();
    ASSERT_EQ(commands.size(), before + 2);
    const SumCommand params = parseSum(commands[before]);
    const SumCommand alg = parseSum(commands[before + 1]);
    EXPECT_TRUE(params.intact);
    EXPECT_EQ(params.reserved, 0);
    EXPECT_LT(params.seq, 0x8000);
    EXPECT_EQ(params.type, RAXO_GET_PARAM);
    EXPECT_EQ(params.payload, std::vector<uint8_t>{0});
    EXPECT_TRUE(alg.intact);
    EXPECT_EQ(alg.type, RAXO_GET_ALG_PARAM);
    EXPECT_TRUE(alg.payload.empty());

    ASSERT_TRUE(logs("[ Info ] get algorithm parameters SET OK"));
    EXPECT_EQ(linesEqual("[ Info ] get lidar parameters  OK"), 2);
    EXPECT_TRUE(a->session().notes().isEmpty());
    EXPECT_EQ(text("le_port"), "2400");
    EXPECT_TRUE(field<QCheckBox>("cb_distance_filter")->isChecked());
    EXPECT_FALSE(field<QCheckBox>("cb_intensity_filter")->isChecked());
    EXPECT_EQ(text("le_offset_distance"), "30");
    EXPECT_EQ(std::memcmp(page->lidarParam(), p.data(), p.size()), 0);
    ASSERT_TRUE(readBacksDone(2)) << "each algorithm reply reads the models back";
}

// The algorithm settings send back the sensor's own block: before this session's algorithm
// reply they are refused with an error line and nothing goes out; after it they go out whole.
// A new session refuses them again until its own reply.
TEST_F(RaxoSWindow, AlgorithmSettingsWaitForTheSessionsAlgorithmReply)
{
    const QString refused = "[ error infomation ] algorithm parameters not read yet, press refresh first";
    setReplies(sensorParams(), sensorAlg(12.5f), false);
    startSession();
    ASSERT_TRUE(logs("[ Info ] get lidar parameters  OK"));
    size_t before = fake.commands().size();

    type("le_offset_distance", "20");
    press("pb_offset_distance");
    type("le_cir", "3");
    type("le_fir", "40");
    type("le_frame_min_num", "2");
    type("le_obj_min_num", "5");
    press("pb_cir_fir");
    EXPECT_TRUE(logs(refused, 2));
    // A last command: once it is in, anything sent before it is too.
    press("pb_start");
    ASSERT_TRUE(waitCommands(fake, before + 1));
    ASSERT_TRUE(logs("[ Info ] start SET OK"));
    EXPECT_EQ(fake.commands().size(), before + 1);
    EXPECT_EQ(last().type, RAXO_RUN);
    EXPECT_TRUE(a->session().notes().isEmpty()) << "a refused setting queues no note";

    // The sensor answers a refresh; its block goes back with the offset changed only.
    setReplies(sensorParams(), sensorAlg(12.5f), true);
    press("pb_flush");
    ASSERT_TRUE(logs("[ Info ] get algorithm parameters SET OK"));
    ASSERT_TRUE(readBacksDone(1));
    EXPECT_EQ(text("le_offset_distance"), "12.5");
    type("le_offset_distance", "20");
    before = fake.commands().size();
    press("pb_offset_distance");
    ASSERT_TRUE(waitCommands(fake, before + 1));
    std::vector<uint8_t> block = sensorAlg(20.0f);
    EXPECT_TRUE(last().intact);
    EXPECT_EQ(last().type, RAXO_SET);
    EXPECT_EQ(last().payload, set_body(RAXO_SET_ALG, block));
    ASSERT_TRUE(logs("[ Info ] offset distance SET OK"));

    type("le_cir", "3");
    type("le_fir", "40");
    type("le_frame_min_num", "6");
    type("le_obj_min_num", "5");
    press("pb_cir_fir");
    ASSERT_TRUE(waitCommands(fake, before + 2));
    block[raxo_alg::kCircles] = 3;
    block[raxo_alg::kPoints] = 40;
    block[raxo_alg::kFrames] = 6;
    block[raxo_alg::kObjMin] = 5;
    EXPECT_EQ(last().payload, set_body(RAXO_SET_ALG, block));
    ASSERT_TRUE(logs("[ Info ] circle and point filter SET OK"));
    EXPECT_EQ(linesEqual(refused), 2);

    // The next session's sensor has not answered yet: refused again.
    setReplies(sensorParams(), sensorAlg(12.5f), false);
    startSession();
    ASSERT_TRUE(logs("[ Info ] get lidar parameters  OK", 3));
    before = fake.commands().size();
    press("pb_offset_distance");
    EXPECT_TRUE(logs(refused, 3));
    press("pb_stop");
    ASSERT_TRUE(waitCommands(fake, before + 1));
    EXPECT_EQ(fake.commands().size(), before + 1);
    EXPECT_EQ(last().type, RAXO_RUN);
}

// Replies shorter than their records: the frame's sum byte that follows the body is no field.
// The parameter body reads as zero-padded right after its last byte; an algorithm body one byte
// short is no block, so the settings stay refused.
TEST_F(RaxoSWindow, ShortRepliesEndBeforeTheirSumByte)
{
    std::vector<uint8_t> p = sensorParams();
    p.resize(raxo_param::kUploadIp);
    std::vector<uint8_t> g = sensorAlg(12.5f);
    g.resize(raxo_alg::kSize - 1);
    // Sum bytes that would show if they were read as data.
    ASSERT_NE(make_command_reply(RAXO_GET_PARAM, p).back(), 0);
    ASSERT_NE(make_command_reply(RAXO_GET_ALG_PARAM, g).back(), 0);
    setReplies(p, g, true);
    startSession();
    ASSERT_TRUE(readBacksDone(1));
    EXPECT_EQ(text("le_ip"), "10.0.0.7");
    EXPECT_EQ(text("le_port"), "2368");
    EXPECT_EQ(text("le_dstip"), "0.0.0.0");
    EXPECT_EQ(page->lidarParam()[raxo_param::kUploadIp], 0);
    EXPECT_EQ(page->algParam()[raxo_alg::kSize - 1], 0);
    EXPECT_EQ(text("le_offset_distance"), "") << "the form's own text stays";

    const size_t before = fake.commands().size();
    type("le_offset_distance", "20");
    press("pb_offset_distance");
    EXPECT_TRUE(logs("[ error infomation ] algorithm parameters not read yet, press refresh first"));
    press("pb_stop");
    ASSERT_TRUE(waitCommands(fake, before + 1));
    EXPECT_EQ(fake.commands().size(), before + 1);
    EXPECT_EQ(last().type, RAXO_RUN);
}

// The model file read back after the algorithm reply names the classes of the four outputs'
// selectors, ticked from the class masks of the parameter reply; "4 channel out" sends them
// back after the area frame.
TEST_F(RaxoSWindow, ModelReadBackFillsTheClassSelectors)
{
    fake.serve_file("alg_model.bin", modelFile({"car", "person", "bike"}));
    startSession();
    auto *b1 = field<MultiSelectComboBox>("cb_bind_idx1");
    auto *b2 = field<MultiSelectComboBox>("cb_bind_idx2");
    auto *b4 = field<MultiSelectComboBox>("cb_bind_idx4");
    ASSERT_TRUE(testsupport::wait_until([&] { return b4->count() == 4; }, kWaitMs));
    EXPECT_TRUE(logs("[ warm infomation ] detect model load OK"));
    for (auto *b : {b1, b2, b4}) {
        auto *list = qobject_cast<QListWidget *>(b->view());
        ASSERT_NE(list, nullptr);
        QStringList names;
        for (int r = 1; r < list->count(); ++r)
            names << qobject_cast<QCheckBox *>(list->itemWidget(list->item(r)))->text();
        EXPECT_EQ(names, (QStringList{"car", "person", "bike"})) << b->objectName().toStdString();
    }
    EXPECT_EQ(b1->checkedIndexes(), (QVector<int>{1, 2}));
    EXPECT_EQ(b1->lineEdit()->text(), "person;bike");
    EXPECT_TRUE(b2->checkedIndexes().isEmpty());
    EXPECT_EQ(b4->checkedIndexes(), (QVector<int>{0}));
    EXPECT_EQ(b4->lineEdit()->text(), "car");
    EXPECT_EQ(a->objectModels().size(), size_t(3));

    b2->itemClicked(3);
    const size_t before = fake.commands().size();
    press("pb_out");
    ASSERT_TRUE(waitCommands(fake, before + 2));
    const auto commands = fake.commands();
    EXPECT_EQ(parseSum(commands[before]).payload, set_body(RAXO_SET_AREA, std::vector<uint8_t>(16, 0)));
    EXPECT_EQ(parseSum(commands[before + 1]).payload, set_body(RAXO_SET_MODEL_BIND, {0x06, 0x04, 0x00, 0x01}));
    ASSERT_TRUE(logs("[ Info ] model bind 4 channel SET OK"));
    EXPECT_EQ(linesEqual("[ Info ] 4 channel out SET OK"), 1);
}

// During a Raxo-S session the training dialog's "写入在线雷达" saves the models for the user and
// tells where; nothing reaches the sensor, and the pages' firmware path stays as it was.
TEST_F(RaxoSWindow, TrainingDialogWritesNothingToTheSensor)
{
    IniSettings::instance()->set_value("Standard", "upgrade_path", "/kept/LDS-Raxo-S_V1.bin", kDoc);
    const QString shownPath = field<QTextEdit>("le_update")->toPlainText();
    fake.serve_file("alg_model.bin", modelFile({"car", "person"}));
    startSession();
    ASSERT_TRUE(logs("[ warm infomation ] detect model load OK"));
    const size_t before = fake.commands().size();

    QString log;
    modal.dialogTitles.clear();
    modal.dialogAction = [&](QDialog *d) {
        if (qobject_cast<Dialog_TrainData *>(d) == nullptr)
            return 0;
        QTest::mouseClick(d->findChild<QPushButton *>("pb_writelidar"), Qt::LeftButton);
        log = d->findChild<QTextBrowser *>("tb_print")->toPlainText();
        return 0;
    };
    trigger("action_Train");
    ASSERT_EQ(modal.dialogTitles, QStringList({"Dialog|Dialog_TrainData"}));
    const QString saved = QStandardPaths::writableLocation(QStandardPaths::TempLocation) + "/alg_model.bin";
    EXPECT_TRUE(log.contains("Uploading models to a sensor is not available; the model file was saved to " + saved))
        << log.toStdString();
    std::vector<ModelInfo> infos;
    PointCloudAnomalyDetector reader;
    ASSERT_TRUE(reader.LoadModelsFromFile(saved.toStdString(), infos));
    EXPECT_EQ(infos.size(), 2u);

    // A last command: once it is in, anything sent before it is too.
    press("pb_stop");
    ASSERT_TRUE(waitCommands(fake, before + 1));
    ASSERT_TRUE(logs("[ Info ] stop SET OK"));
    EXPECT_EQ(fake.commands().size(), before + 1);
    EXPECT_EQ(last().type, RAXO_RUN);
    const FakeUpload upload = fake.upload();
    EXPECT_EQ(upload.info_messages, 0);
    EXPECT_EQ(upload.chunk_messages, 0);
    EXPECT_EQ(IniSettings::instance()->get_value("Standard", "upgrade_path", "", kDoc), "/kept/LDS-Raxo-S_V1.bin");
    EXPECT_EQ(field<QTextEdit>("le_update")->toPlainText(), shownPath);
    EXPECT_EQ(linesWith("Firmware upgrade"), 0);
    EXPECT_NE(a->session().raxoReceiver(), nullptr);
}

// ---- settings and their replies, in each language ----

class RaxoSWindowIn : public RaxoSWindow, public ::testing::WithParamInterface<const char *> {
protected:
    const char *language() const override { return GetParam(); }
};

// Each setting goes out as its set frame; the sensor's result is logged against the note the
// page queued, "SET OK" for 0 and "SET NG  code:" with any other code, and the note is used up
// either way. A confirmed address change ends the session.
TEST_P(RaxoSWindowIn, SettingsAreLoggedAgainstTheirNotes)
{
    startSession();
    ASSERT_TRUE(readBacksDone(1));
    ASSERT_EQ(text("le_ip"), "10.0.0.7");
    const bool english = std::string(GetParam()) == "English";
    const struct {
        const char *button;
        std::function<void()> edit;
        uint16_t code;
        std::vector<uint8_t> data;
        uint32_t result;
        const char *note;
        const char *englishLine;
    } cases[] = {
        {"pb_setdstip", [&] {
             type("le_dstip", "10.0.0.42");
             type("le_dstport", "7001");
         }, RAXO_SET_UPLOAD_TARGET,
         {10, 0, 0, 42, 0x59, 0x1B}, 0, "lidar upload ip port", "[ Info ] lidar upload ip port SET OK"},
        {"pb_setid", [&] { type("le_id", "4242"); }, RAXO_SET_ID, u32(4242), 7, "id", "[ Info ] id SET NG  code:7"},
        {"pb_distance_filter",
         [&] {
             field<QCheckBox>("cb_distance_filter")->setChecked(true);
             type("le_distance_filter_min", "250");
         },
         RAXO_SET_DISTANCE_FILTER, cat({{1}, u16(250), u16(4000)}), 0, "distance filter",
         "[ Info ] distance filter SET OK"},
        {"pb_time_area_filter", [&] { type("le_time_area_filter", "70000"); }, RAXO_SET_TIME_AREA_FILTER,
         u16(70000 & 0xFFFF), 65536, "time area filter algorithm",
         "[ Info ] time area filter algorithm SET NG  code:65536"},
        // Refused by the sensor: the session goes on.
        {"pb_setip", [&] { type("le_port", "2369"); }, RAXO_SET_ADDRESS,
         {10, 0, 0, 7, 255, 255, 255, 0, 10, 0, 0, 1, 0x41, 0x09}, 3, "lidar ip mask gateway port",
         "[ Info ] lidar ip mask gateway port SET NG  code:3"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.button);
        c.edit();
        setResult = c.result;
        const size_t before = fake.commands().size();
        press(c.button);
        ASSERT_TRUE(waitCommands(fake, before + 1));
        EXPECT_EQ(fake.commands().size(), before + 1);
        EXPECT_TRUE(last().intact);
        EXPECT_EQ(last().type, RAXO_SET);
        EXPECT_EQ(last().payload, set_body(c.code, c.data));
        const QString line = setLine(c.note, c.result);
        if (english)
            EXPECT_EQ(line, c.englishLine);
        else
            EXPECT_TRUE(testsupport::has_cjk(tr("Page_Raxo_E", c.note))) << c.note;
        EXPECT_TRUE(logs(line));
        EXPECT_TRUE(a->session().notes().isEmpty());
    }
    ASSERT_NE(a->session().raxoReceiver(), nullptr);

    // Accepted: the sensor moves to its new address and the session ends.
    setResult = 0;
    press("pb_setip");
    EXPECT_TRUE(logs(setLine("lidar ip mask gateway port", 0)));
    EXPECT_EQ(a->session().raxoReceiver(), nullptr);
    EXPECT_TRUE(a->displayPaused());
    EXPECT_TRUE(a->session().notes().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Languages, RaxoSWindowIn, ::testing::Values("English", "Chinese"));

namespace {

// Resident memory of this process, in bytes.
long residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

// Counts the trace lines written from one function while it lives (the receiver's thread writes
// them); they are not printed.
class TraceLineCount {
public:
    explicit TraceLineCount(const char *function)
    {
        function_ = function;
        count_ = 0;
        previous_ = qInstallMessageHandler(&TraceLineCount::handler);
    }
    ~TraceLineCount() { qInstallMessageHandler(previous_); }
    int lines() const { return count_.load(); }

private:
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        if (text.contains(QLatin1String(function_)))
            ++count_;
        else if (previous_ != nullptr)
            previous_(type, context, text);
    }
    static inline const char *function_ = nullptr;
    static inline std::atomic<int> count_{0};
    static inline QtMessageHandler previous_ = nullptr;
};

} // namespace

// The sensor (or anyone with its address) repeats its replies over and over: the models are read
// back once per algorithm query, not per reply; the page shows the newest parameters without
// being filled per reply; the log says the repeats once. A refresh still reads them again.
TEST_F(RaxoSWindow, RepeatedRepliesStartTheirWorkOncePerQuery)
{
    fake.serve_file("alg_model.bin", modelFile({"car", "person"}));
    setReplies(sensorParams(), sensorAlg(12.5f), true);
    startSession();
    ASSERT_TRUE(readBacksDone(1));
    ASSERT_TRUE(testsupport::wait_until([&] { return fake.download_finish_messages() == 1; }, kWaitMs));

    const std::vector<uint8_t> algReply = make_command_reply(RAXO_GET_ALG_PARAM, sensorAlg(20.0f));
    std::vector<uint8_t> p = sensorParams();
    for (int i = 0; i < 300; ++i) {
        wr_u16(&p[raxo_param::kPort], uint16_t(3000 + i));
        fake.send_to_command_socket(make_command_reply(RAXO_GET_PARAM, p));
        fake.send_to_command_socket(algReply);
    }
    // The newest of them is on the page in the end.
    ASSERT_TRUE(testsupport::wait_until([&] { return text("le_port") == "3299"; }, kWaitMs));
    EXPECT_TRUE(testsupport::wait_until([&] { return text("le_offset_distance") == "20"; }, kWaitMs));
    QTest::qWait(500);
    EXPECT_EQ(fake.download_finish_messages(), 1) << "replies nobody asked for read nothing back";
    EXPECT_EQ(linesWith(tr("RecvDataProc2", "detect model load %1").arg(QString())), 1);
    const QString params = "[ " + tr("DeviceSession", "Info") + " ] " + tr("DeviceSession", "get lidar parameters  OK");
    EXPECT_GE(linesEqual(params), 2) << "every reply that got through is said";
    EXPECT_LE(a->logLines().filter(tr("DeviceSession", "get lidar parameters  OK")).size(), 3)
        << "in a row or two, not a row each";

    // The user asks again: the answer reads the models again.
    press("pb_flush");
    ASSERT_TRUE(readBacksDone(2));
    EXPECT_TRUE(testsupport::wait_until([&] { return fake.download_finish_messages() == 2; }, kWaitMs));
}

// A stranger on the sensor network floods the command port with set results and parameter
// replies of its own; then the sensor itself sends set results that no setting asked for, ten
// thousand of them while the warning they raise is open. The stranger's replies change nothing
// and raise nothing; the sensor's open one box, never a box inside a box, and the repeats are
// said once in the message log when it closes. The trace keeps its pace, and memory stays flat.
TEST_F(RaxoSWindow, AFloodOfRepliesOpensOneBoxAndAStrangersChangeNothing)
{
    constexpr int kFlood = 10000;
    startSession();
    ASSERT_TRUE(readBacksDone(1));
    const QString paramsLine = "[ Info ] get lidar parameters  OK";
    ASSERT_EQ(linesEqual(paramsLine), 1);
    const QString warning = tr("DeviceSession", "Multiple simultaneous connections to the host computer exist!");
    const long residentBefore = residentBytes();
    TraceLineCount trace("RecvDataProc2::processCmdDatagram");
    QElapsedTimer clock;
    clock.start();

    int open = 0;
    int deepest = 0;
    std::function<void()> whileOpen;
    modal.duringWarning = [&] {
        ++open;
        deepest = std::max(deepest, open);
        if (whileOpen) {
            auto run = std::move(whileOpen);
            whileOpen = nullptr;
            run();
        }
        --open;
    };
    const std::vector<uint8_t> setResult = make_command_reply(RAXO_SET, u32(0));
    // The sensor's unasked set result, sent until the window has shown its warning: everything
    // sent before it has been handled by then (kept or dropped).
    auto deviceWarnsOnce = [&] {
        const size_t before = modal.warnings.size();
        return testsupport::wait_until([&] {
            fake.send_to_command_socket(setResult);
            return testsupport::wait_until([&] { return modal.warnings.size() > before; }, 50);
        }, kWaitMs);
    };

    // The stranger, on 127.0.0.3.
    FakePeer stranger("127.0.0.3");
    ASSERT_TRUE(stranger.ok());
    std::vector<uint8_t> spoofed = sensorParams();
    wr_u32(&spoofed[raxo_param::kSoftVersion], 0);
    wr_u32(&spoofed[raxo_param::kHardVersion], 0);
    wr_u16(&spoofed[raxo_param::kPort], 9999);
    wr_u16(&spoofed[raxo_param::kUploadPort], 1);
    const std::vector<uint8_t> spoofedParams = make_command_reply(RAXO_GET_PARAM, spoofed);
    for (int i = 0; i < kFlood; ++i)
        stranger.send_to("127.0.0.1", fake.listen_port(), i % 10 == 9 ? spoofedParams : setResult);
    ASSERT_TRUE(deviceWarnsOnce());
    EXPECT_EQ(field<QLabel>("lb_softver")->text(), "1 2 345");
    EXPECT_EQ(field<QLabel>("lb_hardver")->text(), "3 4 5");
    EXPECT_EQ(text("le_port"), "2368");
    EXPECT_EQ(text("le_dstport"), "6789");
    EXPECT_EQ(linesEqual(paramsLine), 1) << "no parameter reply but the sensor's own";
    for (const auto &w : modal.warnings)
        EXPECT_EQ(w.text, warning);

    // The sensor's flood, sent while its first warning is open; then its parameters, whose
    // arrival on the page shows that the flood before them has been handled, box still open.
    std::vector<uint8_t> newer = sensorParams();
    wr_u16(&newer[raxo_param::kPort], 2402);
    const std::vector<uint8_t> newerParams = make_command_reply(RAXO_GET_PARAM, newer);
    bool flooded = false;
    whileOpen = [&] {
        for (int i = 0; i < kFlood; ++i)
            fake.send_to_command_socket(setResult);
        flooded = testsupport::wait_until([&] {
            fake.send_to_command_socket(newerParams);
            return testsupport::wait_until([&] { return text("le_port") == "2402"; }, 50);
        }, kWaitMs);
    };
    const size_t shownBefore = modal.warnings.size();
    ASSERT_TRUE(deviceWarnsOnce());
    ASSERT_TRUE(flooded);
    EXPECT_EQ(deepest, 1) << "no box opened inside another";
    EXPECT_EQ(modal.warnings.size(), shownBefore + 1);
    EXPECT_GE(linesWith(warning + " ("), 1) << "the repeats are said in the log";
    EXPECT_LE(a->logLines().size(), 1000) << "the log does not take a line per datagram";

    // At most a line a second of each kind the command socket writes per datagram.
    const int seconds = int(clock.elapsed() / 1000) + 1;
    EXPECT_LE(trace.lines(), 2 * (seconds + 1)) << "in " << seconds << " s";
    // The stack overflow and the growth of old came with a box per datagram; a generous bound.
    const long grown = residentBytes() - residentBefore;
    std::printf("resident memory grew %ld KiB; %d trace lines of the command socket in %d s\n",
                grown / 1024, trace.lines(), seconds);
    EXPECT_LT(grown, 200L * 1024 * 1024);
}
