// Device sessions through the main window: each model's connect action against a fake device on
// 127.0.0.2 (the window's receivers bind 127.0.0.1), the parameter query as it arrives on the
// wire, frames posted by the session's receiver, the stop message ending its thread; the routing
// of page commands with their notes; the Raxo-S page handlers; the algorithm-box session on 6002.

#include "mainwindow.h"

#include "algorithmbox.h"
#include "algorithmboxproc.h"
#include "boxpacket.h"
#include "appsettings.h"
#include "component_logoperate.h"
#include "dialog_alldata.h"
#include "dialog_connect.h"
#include "dialog_objecttrack.h"
#include "dialog_parsedata.h"
#include "fakebox.h"
#include "fakefenku.h"
#include "fakeheartbeat.h"
#include "fakeraxo.h"
#include "fakevimo.h"
#include "inisettings.h"
#include "lhframe.h"
#include "mainwindowaccess.h"
#include "modalrecorder.h"
#include "page_box.h"
#include "page_box_v0.h"
#include "raxoprotocol.h"
#include "page_raxo_e.h"
#include "pointcloudui.h"
#include "raxopacket.h"
#include "receiverprobe.h"
#include "recvboxdataproc.h"
#include "recvdataproc.h"
#include "recvdataproc2.h"
#include "recvdataproc3.h"
#include "sessionfixture.h"
#include "testsupport.h"
#include "userpointdata.h"
#include "widgettexts.h"
#include "busycores.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QVTKOpenGLNativeWidget.h>

#include <vtkCallbackCommand.h>
#include <vtkCommand.h>
#include <vtkRenderWindow.h>

#include "qtrygtest.h"

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace {

const char kDoc[] = "main_ini";
constexpr int kWaitMs = 10000;

std::vector<uint16_t> typesOf(const std::vector<std::vector<uint8_t>> &commands)
{
    std::vector<uint16_t> out;
    for (const auto &c : commands)
        out.push_back(parseSum(c).type);
    return out;
}

QByteArray bytes(const std::vector<uint8_t> &v)
{
    return QByteArray(reinterpret_cast<const char *>(v.data()), int(v.size()));
}

// A set command as the Raxo page builds it: type 2 with a small payload.
QByteArray raxoSet()
{
    const uint8_t body[4] = {1, 2, 3, 4};
    return bytes(lh_make_sum_frame(0, 0x0123, 2, body, sizeof body));
}

class SessionTest : public WindowSessionFixture {
protected:
    // The property buttons a user sees, by id.
    std::vector<int> visibleButtons()
    {
        std::vector<int> out;
        for (int id = 0; id < 6; ++id)
            if (w->propertyGroup()->button(id)->isVisibleTo(w.get()))
                out.push_back(id);
        return out;
    }
    bool frameViewShown() { return a->find<QFrame>("frame_view")->isVisibleTo(w.get()); }
    int sidePage() { return a->find<QStackedWidget>("stackedWidget_2")->currentIndex(); }

    // Log lines (without time stamps) that contain `text`.
    int linesWith(const QString &text) { return a->logLines().filter(text).size(); }

    // The session's state right after a connect action was accepted with a connection.
    void expectRunning(uint8_t model, int32_t kept)
    {
        EXPECT_EQ(a->currentModel(), model);
        EXPECT_EQ(a->scene().framesKept(), kept);
        EXPECT_FALSE(a->displayPaused());
        EXPECT_TRUE(a->find<Dialog_ParseData>("page_parse_data")->isRun());
        EXPECT_TRUE(a->logOperate()->isPlaying());
        EXPECT_TRUE(a->logOperate()->liveSource);
    }

    // The stop message ends the receiver's thread; the receiver deletes itself.
    template <typename Receiver> void expectStopEnds(Receiver *receiver)
    {
        QPointer<Receiver> alive(receiver);
        ASSERT_FALSE(alive.isNull());
        w->recv_data(MSG_STOP, QByteArray());
        EXPECT_EQ(a->session().receiver(), nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(alive.isNull(), kWaitMs);
        EXPECT_TRUE(a->displayPaused());
    }
};

} // namespace

// ---- the connect actions, one model each ----

TEST_F(SessionTest, RaxoESessionQueriesDrawsAndStops)
{
    FakeRaxo fake;
    ASSERT_TRUE(fake.ok());
    const int local = free_udp_port();
    answerConnect(fake.ip(), fake.listen_port(), local, "RAXO-E-1");
    trigger("actionRaxo_E");

    ASSERT_EQ(modal.dialogTitles.size(), 1);
    EXPECT_EQ(seenModel, "LDS-Raxo-E");
    ASSERT_NE(a->session().raxoReceiver(), nullptr);
    EXPECT_EQ(a->session().raxoReceiver()->lidartype, LIDAR_RAXO_E);
    expectRunning(LIDAR_RAXO_E, 1);
    EXPECT_EQ(a->connectedSn(), "RAXO-E-1");
    EXPECT_EQ(visibleButtons(), (std::vector<int>{1, 3, 4}));
    EXPECT_FALSE(frameViewShown());
    EXPECT_EQ(sidePage(), 1);
    EXPECT_TRUE(w->propertyGroup()->button(1)->isChecked());
    EXPECT_TRUE(w->viewGroup()->button(0)->isChecked());
    EXPECT_EQ(a->find<QStackedWidget>("stackedWidget")->currentIndex(), 0);

    // The receiver's start brings the parameter query; the reply fills the page.
    ASSERT_TRUE(waitCommands(fake, 1));
    const SumCommand q = parseSum(fake.commands()[0]);
    EXPECT_TRUE(q.intact);
    EXPECT_EQ(q.reserved, 0);
    EXPECT_EQ(q.type, 1);
    EXPECT_LT(q.seq, 0x8000);
    EXPECT_EQ(q.payload, std::vector<uint8_t>{0});
    QTRY_COMPARE_WITH_TIMEOUT(linesWith("[ Info ] get lidar parameters  OK"), 1, kWaitMs);

    // Frames from the sensor's data port reach the window's receiver.
    ReceiverProbe probe;
    probe.watch(a->session().raxoReceiver());
    fake.set_host("127.0.0.1", local);
    fake.send_data(raxo_point_packet(1, 0, 0, {raxo_point(100, 500, 250, -100, 7)}, RAXO_FRAME_END));
    QTRY_VERIFY_WITH_TIMEOUT(!probe.frames.empty(), kWaitMs);
    EXPECT_EQ(probe.frames[0].size(), 1u);
    EXPECT_EQ(probe.frame_types[0], LIDAR_RAXO_E);

    expectStopEnds(a->session().raxoReceiver());
}

TEST_F(SessionTest, FenkUSessionQueriesDrawsAndStops)
{
    FakeFenkU fake;
    ASSERT_TRUE(fake.ok());
    // The parameter reply carries the data-type mask at byte 94 of the frame.
    fake.set_command_handler([](const std::vector<uint8_t> &request) {
        if (parseSum(request).type != 7)
            return std::vector<uint8_t>();
        return make_command_reply(7, std::vector<uint8_t>(100, 0));
    });
    // A Vimo-E row collected before stays only for Vimo-E sessions.
    a->connectDialog()->DeviceInfoTable->insertRow(0);
    const int local = free_udp_port();
    answerConnect(fake.ip(), fake.port(), local, "FENK-1");
    trigger("actionFenk_U");

    EXPECT_EQ(seenModel, "LDS-Fenk-U");
    EXPECT_EQ(seenRows, 0) << "the table is emptied";
    ASSERT_NE(a->session().fenkReceiver(), nullptr);
    expectRunning(LIDAR_FENK_U, 1);
    EXPECT_EQ(visibleButtons(), (std::vector<int>{0, 3, 4}));
    EXPECT_EQ(sidePage(), 0);

    ASSERT_TRUE(waitCommands(fake, 1));
    const SumCommand q = parseSum(fake.commands()[0]);
    EXPECT_TRUE(q.intact);
    EXPECT_EQ(q.type, 7);
    EXPECT_EQ(q.payload, std::vector<uint8_t>{0});
    QTRY_COMPARE_WITH_TIMEOUT(linesWith("[ cmd infomation ] get lidar parameters  OK"), 1, kWaitMs);

    ReceiverProbe probe;
    probe.watch(a->session().fenkReceiver());
    fake.set_host("127.0.0.1", local);
    fake.send_all(fenku_frame(1, 3, 1, lp_xyz_content(std::vector<std::array<float, 3>>{{1000, 0, 0}, {0, 2000, 0}, {0, 0, 3000}})));
    QTRY_VERIFY_WITH_TIMEOUT(!probe.frames.empty(), kWaitMs);
    EXPECT_EQ(probe.frames[0].size(), 3u);

    expectStopEnds(a->session().fenkReceiver());
}

TEST_F(SessionTest, VimoESessionKeepsRowsQueriesDrawsAndStops)
{
    FakeVimo fake;
    ASSERT_TRUE(fake.ok());
    // Rows collected while the dialog was open for a Vimo-E and then for a Raxo-S.
    Dialog_Connect *dialog = a->connectDialog();
    for (const char *model : {"LDS-Vimo-E", "LDS-Raxo-S"}) {
        FakeSensorInfo sensor;
        sensor.model = model;
        sensor.sn = std::string(model) + "-SN";
        dialog->lidarmodel = model;
        const std::vector<uint8_t> hb = make_heartbeat104(sensor);
        dialog->recv_heartbeat(QByteArray(reinterpret_cast<const char *>(hb.data()), int(hb.size())));
    }
    ASSERT_EQ(dialog->DeviceInfoTable->rowCount(), 2);
    const int local = free_udp_port();
    answerConnect(fake.ip(), fake.port(), local, "VIMO0001");
    trigger("actionVimo_E");

    EXPECT_EQ(seenModel, "LDS-Vimo-E");
    EXPECT_EQ(seenRowModels, QStringList({"LDS-Vimo-E"})) << "the Vimo-E's row stays, the Raxo-S's goes";
    ASSERT_NE(a->session().vimoReceiver(), nullptr);
    expectRunning(LIDAR_VIMO_E, 10); // "showtime" missing
    EXPECT_EQ(visibleButtons(), (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(sidePage(), 2);

    // The query: command 0x4753, "xxxxxx" padded to 8 bytes, an intact frame.
    QTRY_VERIFY_WITH_TIMEOUT(fake.peer().received_count() >= 1, kWaitMs);
    const std::vector<uint8_t> q = fake.peer().received()[0].bytes;
    ASSERT_EQ(q.size(), LH_CRC_OVERHEAD + 8);
    EXPECT_TRUE(crc_frame_intact(q));
    EXPECT_EQ(rd_u16(q.data()), LH_MAGIC);
    EXPECT_EQ(rd_u16(q.data() + 2), 0x4753);
    EXPECT_LT(rd_u16(q.data() + 4), 0x8000);
    EXPECT_EQ(rd_u16(q.data() + 6), 8);
    EXPECT_EQ(std::string(q.begin() + 8, q.begin() + 16), std::string("xxxxxx\0\0", 8));
    QTRY_VERIFY_WITH_TIMEOUT((a->tick(), linesWith("lidar cmd reception is ok") == 1), kWaitMs);

    ReceiverProbe probe;
    probe.watch(a->session().vimoReceiver());
    fake.set_host("127.0.0.1", local);
    for (const auto &packet : vimo_e_frame())
        fake.send(packet);
    QTRY_VERIFY_WITH_TIMEOUT(!probe.frames.empty(), kWaitMs);
    EXPECT_EQ(probe.frames[0].size(), 23040u);
    EXPECT_EQ(probe.frame_types[0], LIDAR_VIMO_E);

    expectStopEnds(a->session().vimoReceiver());
}

// Frames kept of a Vimo-E session: the stored "showtime" as C's atoi reads it, within the
// page's range of 0 to 99.
TEST_F(SessionTest, VimoEFramesKeptFromShowtime)
{
    answerConnect("127.0.0.2", free_udp_port("127.0.0.2"), free_udp_port(), "VIMO0001");
    const struct {
        const char *stored;
        int32_t kept;
    } cases[] = {{"abc", 0}, {"7", 7}, {"12abc", 12}, {"99", 99}, {"100", 99}, {"100000", 99}, {"-3", 0}};
    for (const auto &c : cases) {
        IniSettings::instance()->set_value("Standard", "showtime", c.stored, kDoc);
        trigger("actionVimo_E");
        EXPECT_EQ(a->scene().framesKept(), c.kept) << c.stored;
        EXPECT_NE(a->session().vimoReceiver(), nullptr) << "a new receiver each time";
    }
    // The other models keep one frame.
    answerConnect("127.0.0.2", free_udp_port("127.0.0.2"), free_udp_port(), "RAXO");
    trigger("actionRaxo_E");
    EXPECT_EQ(a->scene().framesKept(), 1);
    EXPECT_EQ(a->session().vimoReceiver(), nullptr);
}

// A translation that gives the sensors' display names a text of their own, as a language may.
class RenamedModels : public QTranslator {
public:
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *sourceText, const char *disambiguation,
                      int n) const override
    {
        (void)disambiguation;
        (void)n;
        if (qstrcmp(context, "QObject") == 0 && QByteArray(sourceText).startsWith("LDS-"))
            return QString::fromUtf8("激光雷达 ") + QString::fromLatin1(sourceText).mid(4);
        return QString();
    }
};

// A Chinese window whose display names of the sensor models differ from their wire names.
class RenamedModelSessionTest : public SessionTest {
protected:
    void SetUp() override
    {
        load_test_settings();
        chinese = std::make_unique<testsupport::ScopedTranslation>("Chinese");
        ASSERT_TRUE(chinese->loaded());
        QCoreApplication::installTranslator(&renamed);
        makeWindow();
    }
    void TearDown() override
    {
        SessionTest::TearDown();
        QCoreApplication::removeTranslator(&renamed);
        chinese.reset();
    }
    std::unique_ptr<testsupport::ScopedTranslation> chinese;
    RenamedModels renamed;
};

// Heartbeats carry the model untranslated: the connection dialog lists the sensors of the model
// chosen whatever its display name reads in the user's language.
TEST_F(RenamedModelSessionTest, DialogListsTheSensorsWhateverTheDisplayName)
{
    const struct {
        const char *action;
        int model;
        const char *wire;
    } cases[] = {{"actionFenk_U", LIDAR_FENK_U, "LDS-Fenk-U"},
                 {"actionRaxo_E", LIDAR_RAXO_E, "LDS-Raxo-E"},
                 {"actionRaxo_S", LIDAR_RAXO_S, "LDS-Raxo-S"},
                 {"actionVimo_E", LIDAR_VIMO_E, "LDS-Vimo-E"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.wire);
        ASSERT_EQ(lidar_type_name(c.model), QString::fromUtf8("激光雷达 ") + QString(c.wire).mid(4));
        FakeSensorInfo sensor;
        sensor.model = c.wire;
        sensor.sn = std::string(c.wire) + "-SN";
        QString expected;
        QStringList listed; // the "Model" cell of each row with the sensor's serial number
        modal.dialogAction = [&](QDialog *dialog) {
            auto *d = qobject_cast<Dialog_Connect *>(dialog);
            if (d == nullptr)
                return int(QDialog::Rejected);
            expected = d->lidarmodel;
            d->recv_heartbeat(bytes(make_heartbeat104(sensor)));
            for (int r = 0; r < d->DeviceInfoTable->rowCount(); ++r)
                if (d->DeviceInfoTable->item(r, Dialog_Connect::COL_SN)->text() == QString::fromStdString(sensor.sn))
                    listed << d->DeviceInfoTable->item(r, Dialog_Connect::COL_MODEL)->text();
            return int(QDialog::Rejected);
        };
        trigger(c.action);
        EXPECT_EQ(expected, QString(c.wire));
        EXPECT_EQ(listed, QStringList({QString(c.wire)}));
    }
}

// A dialog closed without connecting leaves the running session alone; "unConnect" ends it.
TEST_F(SessionTest, CancelKeepsTheSessionAndUnconnectEndsIt)
{
    FakeRaxo fake;
    ASSERT_TRUE(fake.ok());
    answerConnect(fake.ip(), fake.listen_port(), free_udp_port(), "RAXO-1");
    trigger("actionRaxo_E");
    RecvDataProc2 *running = a->session().raxoReceiver();
    ASSERT_NE(running, nullptr);
    QPointer<RecvDataProc2> alive(running);

    modal.dialogAction = [](QDialog *) { return int(QDialog::Rejected); };
    trigger("actionFenk_U");
    EXPECT_EQ(a->session().raxoReceiver(), running);
    EXPECT_EQ(a->currentModel(), LIDAR_RAXO_E);
    EXPECT_FALSE(a->displayPaused());

    modal.dialogAction = [](QDialog *dialog) {
        QTest::mouseClick(dialog->findChild<QPushButton *>("pb_unConnect"), Qt::LeftButton);
        return dialog->result();
    };
    a->scene().framesKept() = 40;
    trigger("actionRaxo_S");
    EXPECT_EQ(a->session().raxoReceiver(), nullptr);
    EXPECT_EQ(a->session().fenkReceiver(), nullptr);
    EXPECT_EQ(a->currentModel(), LIDAR_RAXO_E) << "no new model without a connection";
    EXPECT_EQ(a->scene().framesKept(), 1);
    EXPECT_FALSE(a->displayPaused());
    EXPECT_TRUE(frameViewShown()) << "Raxo-S shows the view switch even then";
    EXPECT_TRUE(a->logOperate()->liveSource);
    QTRY_VERIFY_WITH_TIMEOUT(alive.isNull(), kWaitMs);
}

// ---- switching sessions ----

// A session switch without a disconnect leaves what the stopped receiver posted last in the
// window's queue. Delivered once the next session has started, none of it may act: its frames
// do not make their model the current one again, its start message queries nothing, its replies
// and Raxo-S reports change nothing; its log lines are still true and are kept. The running
// session's start message queries the model connected, whatever the current model has become.
TEST_F(SessionTest, PostsOfAStoppedReceiverAreDroppedAfterTheSwitch)
{
    FakeVimo vimo;
    FakeRaxo raxo;
    ASSERT_TRUE(vimo.ok());
    ASSERT_TRUE(raxo.ok());
    const std::string modelPath = testsupport::temp_dir() + "/stale_models.bin";
    const std::string modelText = "1\r\na 1 5\r\n1 1 1 0\r\n0\r\n0\r\n";
    testsupport::write_file(modelPath, std::vector<uint8_t>(modelText.begin(), modelText.end()));
    std::vector<UserPointData> stale(9);
    for (UserPointData &p : stale)
        p.x = 3.0f;

    // The old session's receiver, kept alive past its end so that the test can post in its name
    // (the window deletes it once it has ended), and everything it can post.
    struct Case {
        const char *action;
        std::string ip;
        int port;
        std::function<QObject *()> receiver;
        std::function<void(QObject *)> post;
    };
    const Case cases[] = {
        {"actionVimo_E", vimo.ip(), vimo.port(), [&] { return static_cast<QObject *>(a->session().vimoReceiver()); },
         [&](QObject *o) {
             auto *r = static_cast<RecvDataProc3 *>(o);
             emit r->sig_data(MSG_RECV_STARTED, QByteArray());
             emit r->sig_framedata(stale, LIDAR_VIMO_E);
             emit r->sig_data(MSG_VIMO_PARAM, bytes(FakeVimo::param_record("STALE", "LDS-Vimo-E")));
             emit r->sig_data(MSG_CMD_INFO, QByteArray("stale reply"));
             emit r->sig_data(MSG_WARM, QByteArray("last words of the old session"));
         }},
        {"actionRaxo_S", raxo.ip(), raxo.listen_port(), [&] { return static_cast<QObject *>(a->session().raxoReceiver()); },
         [&](QObject *o) {
             auto *r = static_cast<RecvDataProc2 *>(o);
             emit r->sig_data(MSG_RECV_STARTED, QByteArray());
             emit r->sig_framedata(stale, LIDAR_RAXO_S);
             emit r->sig_framedata_2D(stale, LIDAR_RAXO_S);
             emit r->sig_compensate(1.5f);
             emit r->sig_zoneData(zones());
             emit r->sig_modelData(QString::fromStdString(modelPath));
             emit r->sig_debug_show(QByteArray(16, '\1'));
             emit r->sig_data(MSG_CMD_INFO, bytes(make_command_reply(8, std::vector<uint8_t>(4, 0))));
             emit r->sig_data(MSG_WARM, QByteArray("last words of the old session"));
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.action);
        a->objectModels().clear();
        answerConnect(c.ip, c.port, free_udp_port(), "OLD");
        trigger(c.action);
        QPointer<QObject> old(c.receiver());
        ASSERT_FALSE(old.isNull());
        auto *oldThread = static_cast<QThread *>(old.data());
        QObject::disconnect(oldThread, &QThread::finished, oldThread, &QObject::deleteLater);

        FakeFenkU fenk;
        ASSERT_TRUE(fenk.ok());
        fenk.set_command_handler([](const std::vector<uint8_t> &) { return std::vector<uint8_t>(); });
        answerConnect(fenk.ip(), fenk.port(), free_udp_port(), "FENK-1");
        trigger("actionFenk_U");
        RecvDataProc *running = a->session().fenkReceiver();
        ASSERT_NE(running, nullptr);
        ASSERT_TRUE(oldThread->isFinished());
        ASSERT_TRUE(waitCommands(fenk, 1));
        a->session().notes() = {"a note no stale reply may take"};

        // Posted from another thread, as the receiver's loop did; the log line comes last, so
        // once it is in the log everything before it has been delivered.
        std::thread([&] { c.post(old.data()); }).join();
        QTRY_VERIFY_WITH_TIMEOUT((a->tick(), linesWith("last words of the old session") == 1), kWaitMs);
        EXPECT_EQ(a->currentModel(), LIDAR_FENK_U);
        EXPECT_TRUE(a->scene().currentFrame().empty());
        EXPECT_TRUE(a->currentFrame2D().empty());
        EXPECT_TRUE(a->scene().accumulatedCloud().empty());
        EXPECT_TRUE(a->objectModels().empty());
        EXPECT_EQ(a->session().notes(), QVector<QString>({"a note no stale reply may take"}));
        EXPECT_EQ(linesWith("SET OK"), 0);
        EXPECT_FALSE(a->debugView().isVisible());

        // The running session's start message, with the current model changed meanwhile (as a
        // frame of another model would change it): the query still goes to the Fenk-U.
        a->currentModel() = LIDAR_VIMO_E;
        std::thread([running] { emit running->sig_data(MSG_RECV_STARTED, QByteArray()); }).join();
        ASSERT_TRUE(waitCommands(fenk, 2));
        EXPECT_EQ(typesOf(fenk.commands()), (std::vector<uint16_t>{7, 7}));

        w->recv_data(MSG_STOP, QByteArray());
        delete old.data();
    }
}

// The switch as it was seen to fail: a Vimo-E session with frames flowing, switched to a Fenk-U
// on a machine whose every core is busy. The Fenk-U is asked for its parameters every time.
TEST_F(SessionTest, VimoToFenkSwitchesUnderLoadQueryTheFenkEveryTime)
{
    FakeVimo vimo;
    ASSERT_TRUE(vimo.ok());
    VimoFrameStream stream(vimo);
    BusyCores busy(BusyCores::cores());

    constexpr int kSwitches = 6;
    for (int i = 0; i < kSwitches; ++i) {
        SCOPED_TRACE(i);
        const int vimoLocal = free_udp_port();
        vimo.set_host("127.0.0.1", vimoLocal);
        answerConnect(vimo.ip(), vimo.port(), vimoLocal, "VIMO0001");
        trigger("actionVimo_E");
        ASSERT_NE(a->session().vimoReceiver(), nullptr);
        stream.set_sending(true);
        QTRY_VERIFY_WITH_TIMEOUT(a->currentModel() == LIDAR_VIMO_E && a->scene().frameCounts().size() >= 1, kWaitMs);

        FakeFenkU fenk;
        ASSERT_TRUE(fenk.ok());
        fenk.set_command_handler([](const std::vector<uint8_t> &) { return std::vector<uint8_t>(); });
        answerConnect(fenk.ip(), fenk.port(), free_udp_port(), "FENK-1");
        trigger("actionFenk_U");
        ASSERT_NE(a->session().fenkReceiver(), nullptr);
        ASSERT_TRUE(waitCommands(fenk, 1)) << "no parameter query reached the Fenk-U";
        EXPECT_EQ(parseSum(fenk.commands()[0]).type, 7);
        // Whatever the old session still had queued is delivered before a call posted now.
        bool passed = false;
        QTimer::singleShot(0, w.get(), [&] { passed = true; });
        QTRY_VERIFY_WITH_TIMEOUT(passed, kWaitMs);
        EXPECT_EQ(a->currentModel(), LIDAR_FENK_U);
        stream.set_sending(false);
    }
}

// A Fenk-U that never answers the parameter query (its data-type mask stays unknown) posts a
// frame for every data type of every measurement, five a measurement. At 20 measurements a
// second the window draws at its tick, not per frame, and leaves the hidden point table alone.
TEST_F(SessionTest, FenkFloodWithoutAMaskIsDrawnAtTheTick)
{
    FakeFenkU fenk;
    ASSERT_TRUE(fenk.ok());
    fenk.set_command_handler([](const std::vector<uint8_t> &) { return std::vector<uint8_t>(); });
    const int local = free_udp_port();
    answerConnect(fenk.ip(), fenk.port(), local, "FENK-1");
    trigger("actionFenk_U");
    ASSERT_NE(a->session().fenkReceiver(), nullptr);
    ASSERT_TRUE(waitCommands(fenk, 1));
    fenk.set_host("127.0.0.1", local);

    int frames = 0, ticks = 0, renders = 0;
    // The counters' connections end with the test: the receiver goes on posting frames until
    // the fixture stops it, and those must not count into a finished test's stack.
    QObject scope;
    QObject::connect(a->session().fenkReceiver(), &RecvDataProc::sig_framedata, &scope,
                     [&](const std::vector<UserPointData> &, int) { ++frames; });
    QObject::connect(a->tickTimer(), &QTimer::timeout, &scope, [&] { ++ticks; });
    vtkNew<vtkCallbackCommand> counter;
    counter->SetClientData(&renders);
    counter->SetCallback([](vtkObject *, unsigned long, void *data, void *) { ++*static_cast<int *>(data); });
    auto *view = a->find<QVTKOpenGLNativeWidget>("openGLWidget");
    view->renderWindow()->AddObserver(vtkCommand::EndEvent, counter);

    std::atomic<bool> sending{true};
    std::thread sender([&] {
        auto next = std::chrono::steady_clock::now();
        for (uint32_t m = 0; sending; ++m) {
            fenk.send_all(fenku_measurement(40, 30, m));
            next += std::chrono::milliseconds(50);
            std::this_thread::sleep_until(next);
        }
    });
    QTRY_VERIFY_WITH_TIMEOUT(frames >= 150, 4 * kWaitMs);
    sending = false;
    sender.join();
    view->renderWindow()->RemoveObserver(counter);

    EXPECT_EQ(a->session().fenkReceiver()->dataTypeMask(), 0) << "no mask learnt";
    // Each frame drawn at once would render at least once a frame.
    EXPECT_LE(renders, 2 * ticks + 4) << frames << " frames, " << ticks << " ticks";
    EXPECT_EQ(a->scene().currentFrame().size(), 1200u);
    EXPECT_EQ(a->find<Dialog_AllData>("page_spandata")->pointCount(), 0u) << "not on screen: not filled";
    w->switchProperty(3);
    a->tick();
    EXPECT_EQ(a->find<Dialog_AllData>("page_spandata")->pointCount(), 1200u);
}

// ---- command routing ----

// Commands go to the receiver of their model only; a note waits for a reply only when its
// command went out.
TEST_F(SessionTest, CommandsRouteByModelAndOnlySentOnesQueueNotes)
{
    FakeRaxo fake;
    ASSERT_TRUE(fake.ok());
    fake.set_command_handler([](const std::vector<uint8_t> &) { return std::vector<uint8_t>(); });
    // Before any session every command is dropped, with its note.
    for (int type : {0, 1, 2, 3, 4})
        w->recv_sendcmd(raxoSet(), "start", type);
    EXPECT_TRUE(a->session().notes().isEmpty());

    answerConnect(fake.ip(), fake.listen_port(), free_udp_port(), "RAXO-1");
    trigger("actionRaxo_E");
    ASSERT_TRUE(waitCommands(fake, 1)); // the query

    const struct {
        int lidartype;
        QByteArray frame;
        bool reaches;
    } cases[] = {
        {0, raxoSet(), false}, {1, raxoSet(), true},  {2, raxoSet(), true}, {3, raxoSet(), false},
        {4, raxoSet(), false}, {5, raxoSet(), false}, {-1, raxoSet(), false},
        {1, QByteArray("xy", 2), false}, // neither "L" nor "H": the receiver refuses it
    };
    size_t expected = 1;
    int notes = 0;
    for (const auto &c : cases) {
        w->recv_sendcmd(c.frame, QString("note %1").arg(c.lidartype), c.lidartype);
        expected += c.reaches ? 1 : 0;
        notes += c.reaches ? 1 : 0;
        EXPECT_EQ(a->session().notes().size(), notes) << c.lidartype;
    }
    EXPECT_EQ(a->session().notes(), QVector<QString>({"note 1", "note 2"}));
    // A last command through the same socket: once it is in, every earlier one is.
    const uint8_t one = 1;
    const QByteArray marker = bytes(lh_make_sum_frame(0, 0x0456, 0x11, &one, 1));
    w->recv_sendcmd(marker, QString(), 1);
    ASSERT_TRUE(waitCommands(fake, expected + 1));
    ASSERT_EQ(fake.commands().size(), expected + 1);
    EXPECT_EQ(parseSum(fake.commands().back()).type, 0x11);
    const QByteArray set = raxoSet();
    EXPECT_EQ(fake.commands()[1], std::vector<uint8_t>(set.begin(), set.end())) << "sent unchanged";

    EXPECT_EQ(a->session().notes().size(), 2) << "an empty note is no note";
}

// The reply to a confirmed "data type" setting brings a new parameter query to the sensor.
// What follows an accepted setting is chosen by the set code that went out, whatever its note
// says: a note that reads "data type" asks nothing again, the address setting ends the session
// under a note in any language.
TEST_F(SessionTest, AcceptedSettingsAreMatchedByTheirSetCode)
{
    FakeRaxo fake; // answers every command with result 0
    ASSERT_TRUE(fake.ok());
    answerConnect(fake.ip(), fake.listen_port(), free_udp_port(), "RAXO-1");
    trigger("actionRaxo_E");
    ASSERT_TRUE(waitCommands(fake, 1));
    QTRY_COMPARE_WITH_TIMEOUT(linesWith("get lidar parameters  OK"), 1, kWaitMs);

    w->recv_sendcmd(raxoSet(), "set data type", 1);
    QTRY_COMPARE_WITH_TIMEOUT(linesWith("[ Info ] set data type SET OK"), 1, kWaitMs);
    ASSERT_TRUE(waitCommands(fake, 2));
    EXPECT_TRUE(a->session().notes().isEmpty());
    EXPECT_FALSE(a->displayPaused());

    const uint8_t address[4] = {RAXO_SET_ADDRESS, 0, 0, 0};
    w->recv_sendcmd(bytes(lh_make_sum_frame(0, 0x0124, RAXO_SET, address, sizeof address)), "雷达地址", 1);
    QTRY_COMPARE_WITH_TIMEOUT(linesWith("[ Info ] 雷达地址 SET OK"), 1, kWaitMs);
    EXPECT_EQ(a->session().receiver(), nullptr) << "the sensor moves: the session ends";
    EXPECT_TRUE(a->displayPaused());
    EXPECT_TRUE(a->session().notes().isEmpty());
    EXPECT_EQ(typesOf(fake.commands()), (std::vector<uint16_t>{1, 2, 2})) << "nothing was asked again";
}

// ---- Raxo-S ----

// Raxo-S asks for its algorithm parameters after its parameters; their reply reads the object
// models back from the sensor, and the window's list is replaced on its own thread.
TEST_F(SessionTest, RaxoSQueriesBothAndReadsTheModelsBack)
{
    FakeRaxo fake;
    ASSERT_TRUE(fake.ok());
    const std::string model = "1\r\nbox 3 5\r\n1.5 0.5 1 0.2\r\n8 1 0 0 0 0 0 0 0\r\n5 1 0 0 0 0\r\n";
    fake.serve_file("alg_model.bin", std::vector<uint8_t>(model.begin(), model.end()));
    a->objectModels() = {ModelInfo(), ModelInfo()};
    answerConnect(fake.ip(), fake.listen_port(), free_udp_port(), "RAXO-S-1");
    trigger("actionRaxo_S");

    EXPECT_EQ(seenModel, "LDS-Raxo-S");
    ASSERT_NE(a->session().raxoReceiver(), nullptr);
    EXPECT_EQ(a->session().raxoReceiver()->lidartype, LIDAR_RAXO_S);
    expectRunning(LIDAR_RAXO_S, 1);
    EXPECT_TRUE(frameViewShown());
    EXPECT_EQ(visibleButtons(), (std::vector<int>{1, 3, 4}));

    ASSERT_TRUE(waitCommands(fake, 2));
    const SumCommand params = parseSum(fake.commands()[0]);
    const SumCommand alg = parseSum(fake.commands()[1]);
    EXPECT_EQ(params.type, 1);
    EXPECT_EQ(params.payload, std::vector<uint8_t>{0});
    EXPECT_TRUE(alg.intact);
    EXPECT_EQ(alg.type, 6);
    EXPECT_TRUE(alg.payload.empty());

    // 0x8006 queues the read-back; the file comes over the transfer and replaces the list.
    QTRY_VERIFY_WITH_TIMEOUT(fake.download_finish_messages() >= 1, kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(a->objectModels().size(), size_t(1), kWaitMs);
    EXPECT_EQ(a->objectModels()[0].sampleCount, 3u);
    QTRY_VERIFY_WITH_TIMEOUT((a->tick(), linesWith("detect model load OK") == 1), kWaitMs);
}

// The model-data handler runs on the GUI thread whichever thread emits, so the list the GUI
// thread reads is never replaced under it.
TEST_F(SessionTest, ModelDataIsTakenOnTheGuiThread)
{
    answerConnect("127.0.0.2", free_udp_port("127.0.0.2"), free_udp_port(), "RAXO-S-1");
    trigger("actionRaxo_S");
    RecvDataProc2 *rx = a->session().raxoReceiver();
    ASSERT_NE(rx, nullptr);
    const std::string path = testsupport::temp_dir() + "/models_here.bin";
    const std::string text = "2\r\na 1 5\r\n1 1 1 0\r\n0\r\n0\r\nb 2 6\r\n1 1 1 0\r\n0\r\n0\r\n";
    testsupport::write_file(path, std::vector<uint8_t>(text.begin(), text.end()));

    std::thread worker([rx, path] { emit rx->sig_modelData(QString::fromStdString(path)); });
    worker.join();
    EXPECT_TRUE(a->objectModels().empty()) << "nothing changed in the emitting thread";
    QTRY_COMPARE_WITH_TIMEOUT(a->objectModels().size(), size_t(2), kWaitMs);
    EXPECT_EQ(a->objectModels()[1].sampleCount, 2u);
}

// The Raxo page's handlers are wired once however many Raxo-S sessions were started; they
// reach the session's receiver, and nothing once no receiver runs.
TEST_F(SessionTest, RaxoPageHandlersAfterTwoRaxoSSessions)
{
    FakeRaxo fake;
    ASSERT_TRUE(fake.ok());
    const int local = free_udp_port();
    answerConnect(fake.ip(), fake.listen_port(), local, "RAXO-S-1");
    trigger("actionRaxo_S");
    trigger("actionRaxo_S");
    RecvDataProc2 *rx = a->session().raxoReceiver();
    ASSERT_NE(rx, nullptr);
    ReceiverProbe probe;
    probe.watch(rx);
    fake.set_host("127.0.0.1", local);
    // The first session's start message may come while it stops or after the second began:
    // wait for the second receiver's data socket instead of counting queries.
    ASSERT_TRUE(QTest::qWaitFor([&] { return udp_receive_queue(local) >= 0; }, kWaitMs));
    auto *page = a->find<Page_Raxo_E>("page_raxo_e");
    const auto frame = [&] {
        const size_t before = probe.frames.size();
        fake.send_data(raxo_point_packet(1, 0, 0, {raxo_point(100, 500, 250, -100, 7)}, RAXO_FRAME_END));
        return QTest::qWaitFor([&] { return probe.frames.size() > before; }, kWaitMs) ? probe.frames.back()
                                                                                        : std::vector<UserPointData>{9};
    };
    const std::vector<UserPointData> raw = frame();
    ASSERT_EQ(raw.size(), 1u);

    // Levelled mode: no points until a height is known, then every point lifted by it.
    emit page->sig_showDataType(1);
    EXPECT_TRUE(a->showMarkers());
    EXPECT_TRUE(frame().empty());
    emit page->sig_height(2.5f);
    const std::vector<UserPointData> lifted = frame();
    ASSERT_EQ(lifted.size(), 1u);
    EXPECT_NEAR(lifted[0].z, raw[0].z + 2.5f, 1e-3);
    emit page->sig_autoheight();
    EXPECT_TRUE(frame().empty()) << "the height is fitted again";
    emit page->sig_showDataType(0);
    EXPECT_FALSE(a->showMarkers());
    EXPECT_EQ(frame().size(), 1u);

    emit page->sig_objselect(false);
    EXPECT_FALSE(a->showObjects());
    emit page->sig_objselect(true);
    EXPECT_TRUE(a->showObjects());

    // The object table runs once per request, and is made once.
    modal.dialogTitles.clear();
    modal.dialogAction = nullptr;
    emit page->sig_show_objtrack();
    ASSERT_EQ(modal.dialogTitles.size(), 1);
    EXPECT_TRUE(modal.dialogTitles[0].endsWith("|Dialog_ObjectTrack"));
    Dialog_ObjectTrack *table = a->objectTable();
    emit page->sig_show_objtrack();
    EXPECT_EQ(a->objectTable(), table);
    EXPECT_EQ(modal.dialogTitles.size(), 2);

    // Without a receiver the page's entries change only the window's flags.
    w->recv_data(MSG_STOP, QByteArray());
    emit page->sig_height(1.0f);
    emit page->sig_autoheight();
    emit page->sig_showDataType(1);
    EXPECT_TRUE(a->showMarkers());
}

// ---- uploads and the box's reports ----

TEST_F(SessionTest, UpgradeIsLoggedStoredAndForwardedToItsModelOnly)
{
    auto storedPath = [] { return IniSettings::instance()->get_value("Standard", "upgrade_path", "", kDoc); };
    // No receiver: the line and the path, nothing more.
    w->recv_upgrade("/nowhere/fw.bin", 1, 8);
    EXPECT_EQ(a->logLines().filter("Firmware upgrade").size(), 1);
    EXPECT_TRUE(a->logLines().contains("[ warm infomation ] Firmware upgrade in progress, please wait "));
    EXPECT_EQ(storedPath(), "/nowhere/fw.bin");

    FakeFenkU fake;
    ASSERT_TRUE(fake.ok());
    answerConnect(fake.ip(), fake.port(), free_udp_port(), "FENK-1");
    trigger("actionFenk_U");
    ASSERT_NE(a->session().fenkReceiver(), nullptr);
    const std::vector<uint8_t> firmware(700, 0x5A);
    const std::string path = write_temp_file("LDS-Fenk-U_V9.bin", firmware);
    // Another model's upload goes nowhere.
    w->recv_upgrade(QString::fromStdString(path), 3, 8);
    w->recv_upgrade(QString::fromStdString(path), 4, 8);
    w->recv_upgrade(QString::fromStdString(path), 0, MSG_FW_MCU);
    EXPECT_EQ(storedPath(), path);
    ASSERT_TRUE(fake.wait_upload_end(kWaitMs));
    EXPECT_EQ(fake.upload().name, "LDS-Fenk-U_V9.bin");
    EXPECT_EQ(fake.upload().data, firmware);
    EXPECT_EQ(fake.upload().info_messages, 1);
    QTRY_VERIFY_WITH_TIMEOUT((a->tick(), linesWith("update OK") == 1), kWaitMs);
}

TEST_F(SessionTest, ProgressIsLoggedWhenItChanges)
{
    for (int rate : {0, 30, 30, 100, 100, -2})
        w->recv_progress(rate, "zone", "write");
    EXPECT_EQ(a->logLines().mid(1), QStringList({"[ zone ] write:30", "[ zone ] write:100", "[ zone ] write:-2"}));
    EXPECT_EQ(a->lastProgress(), -2);
}

// ---- the algorithm box ----

TEST_F(SessionTest, BoxSessionOnPort6002)
{
    AlgorithmBoxProc::setBindAddress("127.0.0.1");
    FakeBox fake; // 127.0.0.2:6002
    ASSERT_TRUE(fake.ok());
    fake.set_host("127.0.0.1", FakeBox::kPort);
    fake.set_answer_commands(true);

    // The front end is made once and shown at every call; its start runs the session.
    trigger("actionAlgorithmBox");
    AlgorithmBox *front = a->algorithmBox();
    ASSERT_NE(front, nullptr);
    std::unique_ptr<Page_Box> page(front->window()); // the window outlives its front end
    trigger("actionAlgorithmBox");
    EXPECT_EQ(a->algorithmBox(), front);
    EXPECT_TRUE(page->isVisible());

    emit front->sig_start("127.0.0.2", 1234, LIDAR_ALG_BOX);
    ASSERT_NE(a->session().boxReceiver(), nullptr);
    expectRunning(LIDAR_ALG_BOX, 1);
    EXPECT_EQ(visibleButtons(), (std::vector<int>{3, 4, 5}));
    EXPECT_EQ(sidePage(), 5);
    EXPECT_EQ(a->find<PointCloudUI>("page_2d")->scanDirection(), 0);
    // The box is reached on 6002 whatever port its configurator gave.
    ASSERT_TRUE(fake.peer().wait_for(1, kWaitMs));
    const Datagram hello = fake.peer().received()[0];
    EXPECT_EQ(std::string(hello.bytes.begin(), hello.bytes.end()), "hello");
    EXPECT_EQ(hello.from_port, FakeBox::kPort);

    // Frames and the upload type the box reports.
    ReceiverProbe probe;
    probe.watch(a->session().boxReceiver());
    fake.send(make_box_packet({{1.0f, 2.0f, 0.5f, 90}, {-1.0f, 3.0f, 0.2f, 40}}, 2, 2));
    QTRY_VERIFY_WITH_TIMEOUT(!probe.frames.empty(), kWaitMs);
    EXPECT_EQ(probe.frames[0].size(), 2u);
    auto *uploadType = a->find<Page_Box_V0>("page_box_v0")->findChild<QComboBox *>("cb_upload_data_type");
    ASSERT_NE(uploadType, nullptr);
    QTRY_COMPARE_WITH_TIMEOUT(uploadType->currentIndex(), 2, kWaitMs);

    // A page command reaches the box; its text reply is logged against the note.
    const size_t before = fake.peer().received_count();
    w->recv_sendcmd(Page_Box_V0::buildCmdFrame(S_PACK, 4, "TEST"), "start", LIDAR_ALG_BOX);
    ASSERT_TRUE(fake.peer().wait_for(before + 1, kWaitMs));
    QTRY_COMPARE_WITH_TIMEOUT(linesWith("[ Info ] start SET OK"), 1, kWaitMs);

    // Ending it: the disconnection is reported once.
    expectStopEnds(a->session().boxReceiver());
    a->tick();
    EXPECT_EQ(linesWith("Disconnect lidar connection successful"), 1);

    // Another type than the box's only stops.
    emit front->sig_start("127.0.0.2", 6002, LIDAR_RAXO_E);
    EXPECT_EQ(a->session().boxReceiver(), nullptr);
    EXPECT_TRUE(a->displayPaused());
}

// The box's empty object list (no objects, clean word 0) asks the window to clear the cloud; it
// is cleared 200 ms later, not with the frame that came with it.
TEST_F(SessionTest, BoxCacheCleanClearsTheCloudLater)
{
    AlgorithmBoxProc::setBindAddress("127.0.0.1");
    FakeBox fake;
    ASSERT_TRUE(fake.ok());
    fake.set_host("127.0.0.1", FakeBox::kPort);
    trigger("actionAlgorithmBox");
    AlgorithmBox *front = a->algorithmBox();
    ASSERT_NE(front, nullptr);
    std::unique_ptr<Page_Box> page(front->window());
    emit front->sig_start("127.0.0.2", 6002, LIDAR_ALG_BOX);
    ASSERT_NE(a->session().boxReceiver(), nullptr);
    ASSERT_TRUE(fake.peer().wait_for(1, kWaitMs)) << "the receiver's hello: it reads from now on";
    // Drawn only when the test ticks: a draw of the empty frame would empty the cloud too.
    a->tickTimer()->stop();
    auto points = [](int n) {
        std::vector<BoxPoint> out;
        for (int i = 0; i < n; ++i)
            out.push_back({1.0f + float(i), 2.0f, 0.5f, uint8_t(10 * i)});
        return out;
    };

    // The switch to object upload resets the views by itself (the page's reset): let it pass.
    fake.send(make_box_packet(points(3), 2, BOX_UPLOAD_OBJECTS));
    auto *uploadType = a->find<Page_Box_V0>("page_box_v0")->findChild<QComboBox *>("cb_upload_data_type");
    QTRY_COMPARE_WITH_TIMEOUT(uploadType->currentIndex(), 2, kWaitMs);
    QTest::qWait(400);

    fake.send(make_box_packet(points(4), 2, BOX_UPLOAD_OBJECTS));
    QTRY_COMPARE_WITH_TIMEOUT(a->scene().currentFrame().size(), 4u, kWaitMs);
    a->tick();
    ASSERT_EQ(a->scene().cloud()->GetNumberOfPoints(), 4);
    ASSERT_EQ(a->scene().accumulatedCloud().size(), 4u);

    // Connected after the window's own slot: runs right after it, in the same order.
    vtkIdType cloudAtReset = -1;
    QObject context;
    QObject::connect(a->session().boxReceiver(), &RecvBoxDataProc::sig_cacheclean, &context,
            [&] { cloudAtReset = a->scene().cloud()->GetNumberOfPoints(); });
    fake.send(make_box_packet({}, 2, BOX_UPLOAD_OBJECTS));
    QTRY_VERIFY_WITH_TIMEOUT(cloudAtReset >= 0, kWaitMs);
    EXPECT_EQ(cloudAtReset, 4) << "not cleared at once";
    EXPECT_TRUE(a->scene().currentFrame().empty()) << "the frame posted with it came first";
    QTRY_COMPARE_WITH_TIMEOUT(a->scene().cloud()->GetNumberOfPoints(), 0, kWaitMs);
    EXPECT_TRUE(a->scene().accumulatedCloud().empty());
    EXPECT_TRUE(a->scene().frameCounts().empty());
    expectStopEnds(a->session().boxReceiver());
}

