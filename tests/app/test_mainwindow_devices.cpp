// Fake devices configured through the main window: the configuration pages, the zone editor,
// the voxel filter and the object table of a session, against fake sensors on 127.0.0.2 and
// the fake box on 6002 (the window's receivers bind 127.0.0.1), with the replies as the message
// log shows them.

#include "mainwindow.h"

#include <QRegularExpression>
#include <QTabWidget>

#include "algorithmbox.h"
#include "algorithmboxproc.h"
#include "appsettings.h"
#include "boxpacket.h"
#include "dialog_alldata.h"
#include "dialog_connect.h"
#include "dialog_detect_raxo.h"
#include "dialog_objecttrack.h"
#include "fakebox.h"
#include "fakefenku.h"
#include "fakeheartbeat.h"
#include "fakeraxo.h"
#include "raxoscene.h"
#include "fakevimo.h"
#include "graphics_item_data.h"
#include "lhframe.h"
#include "mainwindowaccess.h"
#include "modalrecorder.h"
#include "page_box.h"
#include "page_box_v0.h"
#include "page_drawzone.h"
#include "page_hoby_u.h"
#include "page_raxo_e.h"
#include "page_vimo_e.h"
#include "pointcloudui.h"
#include "receiverprobe.h"
#include "recvboxdataproc.h"
#include "recvdataproc.h"
#include "recvdataproc2.h"
#include "recvdataproc3.h"
#include "sessionfixture.h"
#include "testsupport.h"
#include "widgettexts.h"
#include "zonealarm.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QTextBrowser>

#include <atomic>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

namespace {

constexpr int kWaitMs = 10000;

bool waitFor(const std::function<bool()> &done, int ms = kWaitMs)
{
    return testsupport::wait_until(done, ms);
}

// The text of an LhCrcFrame's payload, without its zero padding.
std::string textOf(const std::vector<uint8_t> &frame)
{
    if (frame.size() < LH_CRC_OVERHEAD)
        return std::string();
    const size_t n = std::min<size_t>(rd_u16(frame.data() + 6), frame.size() - 8);
    std::string s(frame.begin() + 8, frame.begin() + 8 + long(n));
    return s.substr(0, s.find('\0'));
}

uint16_t sumType(const std::vector<uint8_t> &frame)
{
    return frame.size() >= 8 ? rd_u16(frame.data() + 6) : 0xFFFF;
}

class DeviceWindow : public WindowSessionFixture {
protected:
    template <typename T> T *child(QWidget *parent, const char *name)
    {
        T *c = parent->findChild<T *>(name);
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    void click(QWidget *parent, const char *button) { child<QPushButton>(parent, button)->click(); }
    void type(QWidget *parent, const char *edit, const QString &text)
    {
        child<QLineEdit>(parent, edit)->setText(text);
    }
    // Log lines (without time stamps) holding `text`, after the queued lines are written.
    int linesWith(const QString &text)
    {
        a->tick();
        return a->logLines().filter(text).size();
    }
    bool logs(const QString &text, int times = 1)
    {
        return waitFor([&] { return linesWith(text) >= times; });
    }
};

// ---- the algorithm box ----

class BoxWindow : public DeviceWindow {
protected:
    void SetUp() override
    {
        DeviceWindow::SetUp();
        AlgorithmBoxProc::setBindAddress("127.0.0.1");
        ASSERT_TRUE(fake.ok()) << "port 6002 on 127.0.0.2";
        fake.set_host("127.0.0.1", FakeBox::kPort);
        fake.set_answer_commands(true);
        page = a->find<Page_Box_V0>("page_box_v0");
    }
    // The box session as "连接" starts it, with the box's "hello" taken.
    void startSession()
    {
        w->recv_actionAlgorithmBox_run("127.0.0.2", 6002, LIDAR_ALG_BOX);
        ASSERT_NE(a->session().boxReceiver(), nullptr);
        ASSERT_TRUE(fake.peer().wait_for(1, kWaitMs)) << "hello";
        fake.peer().clear_received();
    }
    std::vector<std::string> boxTexts()
    {
        std::vector<std::string> out;
        for (const Datagram &d : fake.peer().received())
            out.push_back(textOf(d.bytes));
        return out;
    }
    static std::vector<uint8_t> frameEnd(uint8_t uploadType)
    {
        LhabSpec s;
        s.upload_type = uploadType;
        s.frame_flag = BOX_FRAME_END;
        s.points = {{1.0f, 2.0f, 3.0f, 4}};
        return make_lhab(s);
    }

    FakeBox fake; // 127.0.0.2:6002
    Page_Box_V0 *page = nullptr;
};

// The "Algorithm Box" entry makes the front end, its window and its command thread once, however
// often it is chosen; a box heard, chosen in the list and "连接" pressed starts the box session.
TEST_F(BoxWindow, AlgorithmBoxOpensOneWindowAndOneThreadAndConnectStartsTheSession)
{
    trigger("actionAlgorithmBox");
    AlgorithmBox *front = a->algorithmBox();
    ASSERT_NE(front, nullptr);
    std::unique_ptr<Page_Box> configurator(front->window()); // it outlives its front end
    ASSERT_NE(configurator, nullptr);
    AlgorithmBoxProc *thread = front->commandThread();
    ASSERT_NE(thread, nullptr);
    for (int i = 0; i < 3; ++i) {
        configurator->hide();
        trigger("actionAlgorithmBox");
        EXPECT_EQ(a->algorithmBox(), front);
        EXPECT_EQ(front->window(), configurator.get());
        EXPECT_EQ(front->commandThread(), thread);
        EXPECT_TRUE(configurator->isVisible());
    }
    EXPECT_TRUE(thread->isRunning());
    int windows = 0;
    for (QWidget *top : QApplication::topLevelWidgets())
        windows += qobject_cast<Page_Box *>(top) != nullptr ? 1 : 0;
    EXPECT_EQ(windows, 1);

    // The box's heartbeat lists it; choosing it and pressing "连接" starts the session on 6002.
    FakeBoxInfo info;
    info.box_ip = "127.0.0.2";
    const std::vector<uint8_t> hb = make_box_heartbeat(info);
    w->recv_data(MSG_BOX_HEARTBEAT, QByteArray(reinterpret_cast<const char *>(hb.data()), int(hb.size())));
    auto *list = child<QListWidget>(configurator.get(), "listWidget");
    ASSERT_EQ(list->count(), 1);
    QListWidgetItem *item = list->item(0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
    auto *connectButton = child<QPushButton>(configurator.get(), "pb_connect");
    ASSERT_TRUE(connectButton->isEnabled());
    QTest::mouseClick(connectButton, Qt::LeftButton);

    ASSERT_NE(a->session().boxReceiver(), nullptr);
    EXPECT_EQ(a->currentModel(), LIDAR_ALG_BOX);
    EXPECT_FALSE(configurator->isVisible());
    EXPECT_EQ(a->find<QStackedWidget>("stackedWidget_2")->currentWidget(), page);
    ASSERT_TRUE(fake.peer().wait_for(1, kWaitMs));
    const Datagram hello = fake.peer().received()[0];
    EXPECT_EQ(std::string(hello.bytes.begin(), hello.bytes.end()), "hello");
    EXPECT_EQ(hello.from_port, FakeBox::kPort);
    EXPECT_EQ(front->commandThread(), thread) << "the session leaves the command thread alone";
}

// Every setting of the box page goes to the box in a box session, and each "OK" is logged
// against its note, in the order sent.
TEST_F(BoxWindow, EveryBoxPageCommandReachesTheBoxAndIsLoggedAgainstItsNote)
{
    startSession();
    type(page, "le_cir", "4");
    type(page, "le_fir", "6");
    type(page, "le_similar_distance_factor", "5");
    type(page, "le_min_poiny_num", "12");
    type(page, "le_length", "450");
    type(page, "le_width", "180");
    type(page, "le_height", "150");
    type(page, "le_lidar_height", "2.5");
    child<QCheckBox>(page, "cb_out2")->setChecked(true);
    child<QComboBox>(page, "cb_pnp")->setCurrentIndex(1);
    const char *const buttons[] = {"pb_cir",          "pb_fir",            "pb_factor", "pb_carsize",
                                   "pb_set_height",   "pb_setstaticframe", "pb_out",    "pb_pnp"};
    for (const char *b : buttons)
        click(page, b);
    child<QComboBox>(page, "cb_upload_data_type")->setCurrentIndex(1);

    const std::vector<std::string> want = {"LSCIR:4H",       "LSFIR:6H", "LSFACTOR:05,12H", "LSCAR:0450,0180,0150H",
                                           "LSHEIGHT:2500H", "LSSFCH",   "LSOUT:000000H",   "LSPNP:01000001H",
                                           "LSPST:1H"};
    ASSERT_TRUE(fake.peer().wait_for(want.size(), kWaitMs));
    EXPECT_EQ(boxTexts(), want);
    const char *const notes[] = {"set circle num",       "set filter point num",      "set near points factor",
                                 "set car detect factor", "set lidar height",          "init first frame",
                                 "set IO board output param", "set pnp/npn",            "set upload data type"};
    ASSERT_TRUE(logs("set upload data type SET OK"));
    QStringList got = a->logLines().filter(" SET OK");
    QStringList expected;
    for (const char *n : notes)
        expected << QString("[ Info ] %1 SET OK").arg(n);
    EXPECT_EQ(got, expected);
    EXPECT_TRUE(a->session().notes().isEmpty());
}

// The upload type the box reports in its frames sets the page's combo box once per change and
// shows the icon box for alarm data; what the box reports is never sent back to it.
TEST_F(BoxWindow, UploadTypeChangeInTheBoxFramesSetsTheComboOnce)
{
    startSession();
    auto *combo = child<QComboBox>(page, "cb_upload_data_type");
    int changes = 0;
    QObject::connect(combo, qOverload<int>(&QComboBox::currentIndexChanged), combo, [&] { ++changes; });
    fake.send(frameEnd(0)); // what the combo box already shows
    for (int i = 0; i < 3; ++i)
        fake.send(frameEnd(2));
    ASSERT_TRUE(waitFor([&] { return combo->currentIndex() == 2; }));
    // The marker: a command sent after the frames arrives after anything they caused.
    click(page, "pb_setstaticframe");
    ASSERT_TRUE(fake.peer().wait_for(1, kWaitMs));
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{"LSSFCH"}));
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(child<QCheckBox>(page, "cb_iconshow")->isHidden());
    EXPECT_FALSE(a->boxObjects()) << "the icon box starts unchecked";
}

// Zones drawn with the editor's buttons go to the box during a box session and come back; the
// exchange's progress is logged.
TEST_F(BoxWindow, ZonesWrittenToTheBoxAndReadBackWithTheirProgress)
{
    startSession();
    fake.set_answer_zones(true);
    auto *raxoPage = a->find<Page_Raxo_E>("page_raxo_e");
    auto *editor = raxoPage->getDrawZone();
    // No window path reaches the editor in a box session (the Raxo page, whose Raxo-S tabs hold
    // it, is hidden and those tabs stay disabled), so the test opens them to drive the editor's
    // own buttons into the box receiver.
    auto *tabs = child<QTabWidget>(raxoPage, "tabWidget");
    for (int i = 0; i < tabs->count(); ++i)
        tabs->setTabEnabled(i, true);
    click(editor, "pb_rect");
    click(editor, "pb_span");
    const zones written = editor->table();
    ASSERT_EQ(written.count, 2);
    click(editor, "pb_setzone");
    // A zone exchange starts with the next datagram from the box.
    fake.send(frameEnd(0));
    ASSERT_TRUE(waitFor([&] { return fake.good_reload_count() == 1; }, 20000));
    ASSERT_TRUE(waitFor([&] { return a->logLines().filter(QRegularExpression("^\\[ write alarm zone \\] .*:100$")).size() == 1; }));

    // A shape added and not written goes when the box's zones are read back.
    click(editor, "pb_ellipse");
    ASSERT_EQ(editor->table().count, 3);
    click(editor, "pb_readzone");
    fake.send(frameEnd(0));
    ASSERT_TRUE(waitFor([&] { return editor->table().count == 2; }, 20000));
    const zones back = editor->table();
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(back.shapes[i].kind, written.shapes[i].kind);
        EXPECT_EQ(int(back.shapes[i].zone_id), int(written.shapes[i].zone_id));
        for (int j = 0; j < 4; ++j)
            EXPECT_EQ(back.shapes[i].param[j], written.shapes[i].param[j]) << i << " " << j;
    }
    EXPECT_TRUE(waitFor([&] { return a->logLines().filter(QRegularExpression("^\\[ read alarm zone \\] .*:100$")).size() == 1; }));
}

// ---- Raxo sessions ----

class RaxoWindow : public DeviceWindow {
protected:
    void start(const char *action)
    {
        ASSERT_TRUE(fake.ok());
        local = free_udp_port();
        answerConnect(fake.ip(), fake.listen_port(), local, "RAXO-1");
        trigger(action);
        ASSERT_NE(a->session().raxoReceiver(), nullptr);
        ASSERT_TRUE(logs("get lidar parameters  OK"));
        fake.set_host("127.0.0.1", local);
    }
    FakeRaxo fake;
    int local = 0;
};

// One frame of five points: four in one 0.5 m cell, one alone 4 m away.
std::vector<uint8_t> crowdedAndLonely()
{
    std::vector<RaxoPoint> pts;
    for (int i = 0; i < 4; ++i)
        pts.push_back(raxo_point(100, int16_t(100 + i), 50, 50, uint8_t(i)));
    pts.push_back(raxo_point(100, 2000, 50, 50, 9));
    return raxo_point_packet(1, 0, 0, pts, RAXO_FRAME_END);
}

// "voxel filter setting" filters the 3D frames of a Raxo-E session and stops its 2D frames;
// "voxel filter reset" brings both back unfiltered.
TEST_F(RaxoWindow, VoxelFilterOfARaxoESession)
{
    QAction *set = w->findChild<QAction *>("action_voxel_set");
    QAction *reset = w->findChild<QAction *>("action_voxel_reset");
    EXPECT_FALSE(set->isEnabled());
    start("actionRaxo_E");
    EXPECT_TRUE(set->isEnabled());
    EXPECT_TRUE(reset->isEnabled());

    int frames2D = 0;
    std::vector<size_t> frames3D;
    QObject context;
    QObject::connect(a->session().raxoReceiver(), &RecvDataProc2::sig_framedata_2D, &context, [&] { ++frames2D; });
    QObject::connect(a->session().raxoReceiver(), &RecvDataProc2::sig_framedata, &context,
                     [&](const std::vector<UserPointData> &f) { frames3D.push_back(f.size()); });

    modal.dialogAction = [](QDialog *d) {
        d->findChild<QLineEdit *>("le_voxel_unit_size")->setText("0.5");
        d->findChild<QLineEdit *>("le_voxel_min_num")->setText("3");
        d->findChild<QPushButton *>("pb_confirm")->click();
        return d->result();
    };
    set->trigger();
    fake.send_data(crowdedAndLonely());
    ASSERT_TRUE(waitFor([&] { return frames3D.size() == 1; }));
    reset->trigger();
    fake.send_data(crowdedAndLonely());
    ASSERT_TRUE(waitFor([&] { return frames3D.size() == 2 && frames2D == 1; }));
    EXPECT_EQ(frames3D, (std::vector<size_t>{4, 5}));
    a->tick();
    EXPECT_EQ(a->scene().currentFrame().size(), 5u) << "the window draws what the receiver posts";

    // The stop message ends the session and disables both entries.
    w->recv_data(MSG_STOP, QByteArray());
    EXPECT_FALSE(set->isEnabled());
    EXPECT_FALSE(reset->isEnabled());
}

// The factory test over a fake Raxo-E's scans: the window's limits select the floor of each
// drawn frame, and each such selection is a test frame; the second scan has a point above the
// floor inside the box and fails the noise test.
TEST_F(RaxoWindow, FactoryTestOverTheFramesOfARaxoESession)
{
    start("actionRaxo_E");
    w->recv_action_detect_raxo(false);
    auto *factory = w->findChild<Dialog_Detect_Raxo *>();
    ASSERT_NE(factory, nullptr);
    const std::pair<const char *, const char *> values[] = {
        {"le_conf_ave_threshold", "10"}, {"le_conf_stdev_threshold", "10"}, {"le_xy_threshold", "1"},
        {"le_z_threshold", "1"},         {"le_z_diff_threshold", "1"},      {"le_board_depth_threshold", "1"},
        {"le_noise_num_threshold", "0"}, {"le_test_frame_sum", "3"},        {"le_pass_rate", "0.9"}};
    for (const auto &v : values)
        type(factory, v.first, v.second);
    for (const char *c : {"cb_conf", "cb_side", "cb_board_split", "cb_noise"})
        child<QCheckBox>(factory, c)->setChecked(true);

    // The selection box: the floor and a little above it, not the point 1 m up.
    auto *panel = a->find<QWidget>("page_parse_data");
    const std::pair<const char *, const char *> limits[] = {{"le_minx", "-1"}, {"le_maxx", "3"}, {"le_miny", "-2"},
                                                            {"le_maxy", "2"},  {"le_minz", "-1"}, {"le_maxz", "0.5"}};
    for (const auto &l : limits)
        type(panel, l.first, l.second);
    click(panel, "pb_select_range");
    ASSERT_FALSE(a->displayPaused());

    const auto scan = raxo_floor_fan_packet;
    // A first scan before the run: the receiver's first-frame report is a log line, and every
    // line redraws (the held selection would count again).
    fake.send_data(scan(false));
    ASSERT_TRUE(waitFor([&] { return linesWith("lidar data reception is ok") == 1 && !a->scene().selection().empty(); }));
    click(factory, "pb_start");
    auto *log = factory->findChild<QTextBrowser *>("tb_print");
    for (int k = 0; k < 3; ++k) {
        const int lines = log->toPlainText().isEmpty() ? 0 : int(log->toPlainText().split('\n').size());
        fake.send_data(scan(k == 1));
        // Each drawn frame adds the four test lines.
        ASSERT_TRUE(waitFor([&] { return int(log->toPlainText().split('\n').size()) >= lines + 4; })) << k;
    }
    EXPECT_FALSE(factory->isRunning());
    const QStringList l = log->toPlainText().split('\n');
    ASSERT_EQ(l.size(), 14) << l.join('\n').toStdString();
    EXPECT_EQ(l[3], "上方噪点检测:1 数量:0 参照值:0");
    EXPECT_EQ(l[7], "上方噪点检测:0 数量:1 参照值:0");
    EXPECT_EQ(l[12], "检测结束,测试次数:3 成功次数:2 强度均匀检测成功次数:3 边缘齐平性检测成功次数:3 "
                     "地面分层检测成功次数:3 上方噪点检测成功次数:2");
    EXPECT_EQ(l[13], "失败，通过率:0.666667");
    EXPECT_EQ(child<QLabel>(factory, "lb_pointcloud_sum")->text(), "122") << "fan and edges";
}

// The object list a Raxo-S sends fills the object table while it is shown.
TEST_F(RaxoWindow, RaxoSObjectListFillsTheShownObjectTable)
{
    start("actionRaxo_S");
    ObjectListMsg msg;
    std::memset(&msg, 0, sizeof msg);
    msg.count = 2;
    msg.objects[0].id = 7;
    msg.objects[0].class_index = -1;
    msg.objects[0].alarm_flags = 4;
    msg.objects[0].length = msg.objects[0].width = msg.objects[0].height = 1.0f;
    msg.objects[0].center_x = 2.5f;
    msg.objects[1] = msg.objects[0];
    msg.objects[1].id = 9;
    msg.objects[1].alarm_flags = 1;
    std::vector<uint8_t> record(sizeof msg);
    std::memcpy(record.data(), &msg, sizeof msg);

    QStringList ids, alarms;
    modal.dialogAction = [&](QDialog *d) {
        d->show(); // what exec would do
        fake.send_data(raxo_zone_monitor_packet(0, record));
        auto *model = qobject_cast<QStandardItemModel *>(d->findChild<QTableView *>("tv_obj_track")->model());
        EXPECT_TRUE(waitFor([&] { return model->item(1, 0) != nullptr && model->item(1, 0)->text().trimmed() == "9"; }));
        for (int r = 0; r < 2; ++r) {
            ids << model->item(r, 0)->text().trimmed();
            alarms << model->item(r, 8)->text().trimmed();
        }
        d->hide();
        return 0;
    };
    emit a->find<Page_Raxo_E>("page_raxo_e")->sig_show_objtrack();
    ASSERT_NE(a->objectTable(), nullptr);
    EXPECT_EQ(ids, QStringList({"7", "9"}));
    EXPECT_EQ(alarms, QStringList({"alarm", "observe"}));

    // Hidden, it is left alone.
    auto *model = qobject_cast<QStandardItemModel *>(a->objectTable()->findChild<QTableView *>("tv_obj_track")->model());
    msg.objects[0].id = 11;
    std::memcpy(record.data(), &msg, sizeof msg);
    fake.send_data(raxo_zone_monitor_packet(0, record));
    auto *radar = a->find<PointCloudUI>("page_2d")->radarItem();
    ASSERT_TRUE(waitFor([&] { return !radar->objects().empty() && radar->objects()[0].id == 11; }))
        << "the 2D view takes every list";
    EXPECT_EQ(model->item(0, 0)->text().trimmed(), "7");
}

// Zones drawn with the editor go to a Raxo-S as its zone file and come back from it.
TEST_F(RaxoWindow, ZonesWrittenToARaxoSAndReadBackIntoTheEditor)
{
    start("actionRaxo_S");
    auto *raxoPage = a->find<Page_Raxo_E>("page_raxo_e");
    auto *editor = raxoPage->getDrawZone();
    // No window path reaches the editor in a box session (the Raxo page, whose Raxo-S tabs hold
    // it, is hidden and those tabs stay disabled), so the test opens them to drive the editor's
    // own buttons into the box receiver.
    auto *tabs = child<QTabWidget>(raxoPage, "tabWidget");
    for (int i = 0; i < tabs->count(); ++i)
        tabs->setTabEnabled(i, true);
    click(editor, "pb_rect");
    click(editor, "pb_span");
    const zones written = editor->table();
    ASSERT_EQ(written.count, 2);
    click(editor, "pb_setzone");
    ASSERT_TRUE(fake.wait_upload_end(kWaitMs));
    EXPECT_EQ(fake.upload().name, "zone_cfg.bin");
    ASSERT_TRUE(logs("zone write OK"));

    // The sensor serves the file it was given; a shape added meanwhile goes with the read.
    fake.serve_file("zone_cfg.bin", fake.upload().data);
    click(editor, "pb_ellipse");
    ASSERT_EQ(editor->table().count, 3);
    click(editor, "pb_readzone");
    ASSERT_TRUE(logs("zone read OK"));
    ASSERT_TRUE(waitFor([&] { return editor->table().count == 2; }));
    const zones back = editor->table();
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(back.shapes[i].kind, written.shapes[i].kind);
        EXPECT_EQ(int(back.shapes[i].zone_id), int(written.shapes[i].zone_id));
        EXPECT_EQ(int(back.shapes[i].area), int(written.shapes[i].area));
        for (int j = 0; j < 4; ++j)
            EXPECT_EQ(back.shapes[i].param[j], written.shapes[i].param[j]) << i << " " << j;
    }
}

// ---- Vimo-E and Fenk-U ----

// The Vimo-E page's commands reach the sensor and its answers are logged against their notes;
// its parameter reply fills the page.
TEST_F(DeviceWindow, VimoESessionConfiguredFromItsPage)
{
    FakeVimo fake;
    ASSERT_TRUE(fake.ok());
    FakeVimo::Params params;
    params.ip[3] = 77;
    params.port = 2370;
    fake.set_param_record(FakeVimo::param_record(params));
    fake.set_text_handler([](const std::string &command, uint16_t) {
        return command == "LLSADCH" ? std::string("CPUTmp:456,MotorTmp:300") : std::string("OK");
    });
    answerConnect(fake.ip(), fake.port(), free_udp_port(), "VIMO0001");
    trigger("actionVimo_E");
    ASSERT_NE(a->session().vimoReceiver(), nullptr);
    auto *page = a->find<Page_Vimo_E>("page_vimo_e");
    ASSERT_TRUE(waitFor([&] { return child<QLineEdit>(page, "le_ip")->text() == "192.168.1.77"; }));
    EXPECT_EQ(child<QLineEdit>(page, "le_port")->text(), "2370");

    const size_t before = fake.peer().received_count();
    click(page, "pb_start");
    click(page, "pb_temperature_query");
    click(page, "pb_reflush");
    ASSERT_TRUE(fake.peer().wait_for(before + 3, kWaitMs));
    std::vector<std::string> sent;
    for (size_t i = before; i < before + 3; ++i)
        sent.push_back(textOf(fake.peer().received()[i].bytes));
    EXPECT_EQ(sent, (std::vector<std::string>{"LSTARH", "LLSADCH", "xxxxxx"}));
    ASSERT_TRUE(logs("[ Info ] dev param SET OK"));
    EXPECT_EQ(linesWith("[ Info ] set lidar start SET OK"), 1);
    EXPECT_EQ(linesWith("[ Info ] mcu temperature:45.6 motor temperature:"), 1);
    EXPECT_TRUE(a->session().notes().isEmpty());
}

// A Fenk-U's parameter reply with its data-type mask: every 129 bytes of the body.
std::vector<uint8_t> fenkParams(uint16_t mask)
{
    std::vector<uint8_t> body(fenk_param::kSize, 0);
    std::memcpy(body.data() + fenk_param::kSerial, "FENK-SN-9", 9);
    const uint8_t ip[4] = {127, 0, 0, 2};
    std::memcpy(body.data() + fenk_param::kIp, ip, 4);
    wr_u16(body.data() + fenk_param::kDataType, mask);
    return body;
}

// The Fenk-U page in a session, in each language: the parameter reply fills the page, a
// confirmed "data type" setting asks again and hands the new mask to the receiver and the
// point table.
class FenkWindow : public DeviceWindow, public ::testing::WithParamInterface<const char *> {
protected:
    void SetUp() override
    {
        load_test_settings();
        translation = std::make_unique<testsupport::ScopedTranslation>(GetParam());
        ASSERT_TRUE(translation->loaded());
        makeWindow();
    }
    void TearDown() override
    {
        DeviceWindow::TearDown();
        translation.reset();
    }
    std::unique_ptr<testsupport::ScopedTranslation> translation;
};

TEST_P(FenkWindow, DataTypeSetFromThePageReachesTheReceiverAndThePointTable)
{
    FakeFenkU fake;
    ASSERT_TRUE(fake.ok());
    std::atomic<uint16_t> mask{0x02};
    fake.set_command_handler([&](const std::vector<uint8_t> &request) {
        const uint16_t t = sumType(request);
        if (t == 7)
            return make_command_reply(7, fenkParams(mask.load()));
        if (t == 8 && request.size() >= LH_SUM_OVERHEAD + 6)
            mask = rd_u16(request.data() + LH_SUM_HEADER + 4); // code, length, then the mask
        return make_command_reply(8, std::vector<uint8_t>(4, 0));
    });
    answerConnect(fake.ip(), fake.port(), free_udp_port(), "FENK-1");
    trigger("actionFenk_U");
    ASSERT_NE(a->session().fenkReceiver(), nullptr);
    auto *page = a->find<Page_Hoby_U>("page_fenku");
    auto *table = a->find<Dialog_AllData>("page_spandata");
    ASSERT_TRUE(waitFor([&] { return child<QLineEdit>(page, "le_sn_2")->text() == "FENK-SN-9"; }));
    EXPECT_EQ(child<QLineEdit>(page, "le_ip_2")->text(), "127.0.0.2");
    EXPECT_TRUE(child<QCheckBox>(page, "cb_data1_2")->isChecked());
    EXPECT_EQ(table->dataType(), 0x02);
    EXPECT_EQ(a->session().fenkReceiver()->dataTypeMask(), 0x02);

    child<QCheckBox>(page, "cb_data3_2")->setChecked(true);
    const size_t before = fake.commands().size();
    click(page, "pb_setdatatype_2");
    // The setting, then the query the confirmation brings.
    ASSERT_TRUE(waitFor([&] { return fake.commands().size() >= before + 2; }));
    const auto commands = fake.commands();
    EXPECT_EQ(sumType(commands[before]), 8);
    EXPECT_EQ(sumType(commands[before + 1]), 7);
    ASSERT_TRUE(waitFor([&] { return table->dataType() == 0x0A; }));
    EXPECT_EQ(a->session().fenkReceiver()->dataTypeMask(), 0x0A);
    // The query again follows the setting's code: the note is free to read as the language has it.
    const QString note = QCoreApplication::translate("Page_Hoby_U", "data type");
    if (GetParam() == std::string("Chinese"))
        EXPECT_FALSE(note.contains(QRegularExpression("[A-Za-z]"))) << note.toStdString();
    EXPECT_EQ(linesWith(QCoreApplication::translate("DeviceSession", "%1 SET OK").arg(note)), 1);
    EXPECT_TRUE(a->session().notes().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Languages, FenkWindow, ::testing::Values("English", "Chinese"));

} // namespace
