// The connection dialog: heartbeats through the real listener become rows, rows age out and
// come back, the user's choice and the host port are checked, and MAC addresses are filled in
// from a worker thread without outliving the dialog.

#include "dialog_connect.h"
#include "fakeheartbeat.h"
#include "heartbeatproc.h"
#include "modalrecorder.h"
#include "sockethelpers.h"
#include "testsupport.h"
#include "userpointdata.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QGuiApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

#include "qtrygtest.h"
#include <QThread>
#include <QTimer>

#include <QElapsedTimer>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <random>
#include <thread>

#include <arpa/inet.h>
#include <linux/if_packet.h>
#include <net/ethernet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

QByteArray bytes(const std::vector<uint8_t> &v)
{
    return QByteArray(reinterpret_cast<const char *>(v.data()), int(v.size()));
}

FakeSensorInfo sensor(const std::string &sn, uint8_t lastOctet = 2, const std::string &model = "LDS-Raxo-E")
{
    FakeSensorInfo s;
    s.sn = sn;
    s.model = model;
    s.ip[3] = lastOctet;
    return s;
}

QString cell(const Dialog_Connect &d, int row, int col)
{
    const QStandardItem *it = d.DeviceInfoTable->item(row, col);
    return it != nullptr ? it->text() : QString("<none>");
}

QStringList column(const Dialog_Connect &d, int col)
{
    QStringList out;
    for (int r = 0; r < d.DeviceInfoTable->rowCount(); ++r)
        out << cell(d, r, col);
    return out;
}

QString localTime(qint64 ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms).toString("yyyy-MM-dd hh:mm:ss.zzz");
}

// Starts the program's heartbeat listener feeding the dialog.
void hearInto(HeartBeatProc &listener, Dialog_Connect &d)
{
    QObject::connect(&listener, &HeartBeatProc::sig_data, &d, [&d](int type, QByteArray info) {
        if (type == MSG_HEARTBEAT)
            d.recv_heartbeat(info);
    });
    listener.start();
}

// Restores the default MAC lookup when a test ends.
struct LookupGuard {
    ~LookupGuard() { Dialog_Connect::setMacLookup({}); }
};

} // namespace

TEST(DialogConnect, FormAndInitialState)
{
    Dialog_Connect d;
    EXPECT_EQ(d.objectName(), "Dialog_Connect");
    EXPECT_EQ(d.windowTitle(), "Device Connection Information");
    EXPECT_FALSE(d.windowFlags() & Qt::WindowContextHelpButtonHint);
    EXPECT_EQ(d.selectrow, -1);
    EXPECT_EQ(d.lidarsn, "nan");
    EXPECT_FLOAT_EQ(d.motortemp, -1.0f);
    EXPECT_FALSE(d.isconnect);
    EXPECT_TRUE(d.lidarmodel.isEmpty());
    QStringList headers;
    for (int c = 0; c < d.DeviceInfoTable->columnCount(); ++c)
        headers << d.DeviceInfoTable->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(headers, QStringList({"Num ", "Time", "SN", "Model", "Version", "ID", "IP", "Mask",
                                    "Gateway", "ListenPort", "UploadIP", "UploadPort", "Mac", "RPM",
                                    "Delay(s)"}));
    auto *view = d.findChild<QTableView *>("servers");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->model(), d.DeviceInfoTable);
    EXPECT_TRUE(view->isSortingEnabled());
    EXPECT_EQ(view->editTriggers(), QAbstractItemView::NoEditTriggers);
    auto *port = d.findChild<QLineEdit *>("le_listenport");
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(port->text(), "10000");
    int pos = 0;
    QString big = "100000";
    EXPECT_EQ(port->validator()->validate(big, pos), QValidator::Invalid);
}

// A fake sensor's multicast heartbeats, heard by the program's own listener, become rows.
TEST(DialogConnect, HeartbeatsThroughTheListenerBecomeRows)
{
    if (!network_is_isolated())
        GTEST_SKIP() << "needs the test network namespace (scripts/test.sh)";
    Dialog_Connect d;
    d.lidarmodel = "LDS-Raxo-E";
    HeartBeatProc listener(HEARTBEAT_PORT);
    hearInto(listener, d);

    FakeHeartbeatSender sender;
    ASSERT_TRUE(sender.ok());
    FakeSensorInfo a = sensor("RAXO-A", 2);
    FakeSensorInfo b = sensor("RAXO-B", 3);
    b.rpm1 = 600;
    b.rpm2 = 125;
    FakeSensorInfo other = sensor("FENK-1", 4, "LDS-Fenk-U");
    // The listener may join the group a moment after it starts: repeat until both are heard.
    QTRY_VERIFY_WITH_TIMEOUT(
        (sender.send(make_heartbeat104(a)), sender.send(make_heartbeat112(b)),
         sender.send(make_heartbeat104(other)), d.DeviceInfoTable->rowCount() == 2),
        10000);
    listener.stop();
    listener.wait();

    const int ra = column(d, Dialog_Connect::COL_SN).indexOf("RAXO-A");
    const int rb = column(d, Dialog_Connect::COL_SN).indexOf("RAXO-B");
    ASSERT_GE(ra, 0);
    ASSERT_GE(rb, 0);
    EXPECT_EQ(cell(d, ra, Dialog_Connect::COL_MODEL), "LDS-Raxo-E");
    EXPECT_EQ(cell(d, ra, Dialog_Connect::COL_VERSION), "2 5 1234");
    EXPECT_EQ(cell(d, ra, Dialog_Connect::COL_ID), "42");
    EXPECT_EQ(cell(d, ra, Dialog_Connect::COL_IP), "127.0.0.2");
    EXPECT_EQ(cell(d, ra, Dialog_Connect::COL_MASK), "255.255.255.0");
    EXPECT_EQ(cell(d, ra, Dialog_Connect::COL_GATEWAY), "127.0.0.1");
    EXPECT_EQ(cell(d, ra, Dialog_Connect::COL_LISTENPORT), "6001");
    EXPECT_EQ(cell(d, ra, Dialog_Connect::COL_UPLOADIP), "127.0.0.1");
    EXPECT_EQ(cell(d, ra, Dialog_Connect::COL_UPLOADPORT), "6002");
    EXPECT_EQ(cell(d, ra, Dialog_Connect::COL_TIME), localTime(1700000000500));
    EXPECT_EQ(cell(d, ra, Dialog_Connect::COL_RPM), "");
    EXPECT_EQ(cell(d, ra, Dialog_Connect::COL_MAC), "");
    EXPECT_EQ(cell(d, rb, Dialog_Connect::COL_RPM), "600/12");
    EXPECT_EQ(cell(d, rb, Dialog_Connect::COL_IP), "127.0.0.3");
    EXPECT_EQ(cell(d, rb, Dialog_Connect::COL_DELAY), "0");
    QStringList nums = column(d, Dialog_Connect::COL_NUM);
    nums.sort();
    EXPECT_EQ(nums, QStringList({"0", "1"}));

    // Shown, the dialog is as wide as the whole table and sits in the middle of the screen.
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    auto *view = d.findChild<QTableView *>("servers");
    QTRY_COMPARE(d.width(), tableViewSize(view).width() + 9);
    d.recv_timeout();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(d.x(), screen.left() + (screen.width() - d.width()) / 2);
    EXPECT_EQ(d.y(), screen.top() + (screen.height() - d.height()) / 2);
}

// What a stranger on the group sends: bytes of any length, heartbeats with a broken checksum,
// box heartbeats (no checksum to fail) and well-formed heartbeats of another model, which pass
// the listener and reach the dialog.
static std::vector<std::vector<uint8_t>> junkDatagrams()
{
    std::mt19937 rng(27);
    std::vector<std::vector<uint8_t>> out;
    for (int i = 0; i < 200; ++i) {
        std::vector<uint8_t> d;
        switch (i % 5) {
        case 0:
            d.resize(1 + rng() % 1400);
            for (auto &b : d)
                b = uint8_t(rng());
            break;
        case 1:
            d = make_heartbeat104(sensor("JUNK-" + std::to_string(i)));
            d[30] ^= 0x40;
            break;
        case 2:
            d = make_heartbeat112(sensor("JUNK-" + std::to_string(i)));
            d[111] ^= 0x01;
            break;
        case 3:
            d.assign(91, uint8_t(i));
            break;
        default:
            d = make_heartbeat104(sensor("JUNK-" + std::to_string(i), uint8_t(i), "LDS-Fenk-U"));
            break;
        }
        out.push_back(std::move(d));
    }
    return out;
}

// Thirty sensors heartbeating once a second, lost in a thousand junk datagrams a second on the
// same group: every sensor is listed within two seconds and none ages out while the flood goes
// on, so the listener and the dialog behind it both keep up.
TEST(DialogConnect, EverySensorIsListedThroughAFloodOfJunk)
{
    if (!network_is_isolated())
        GTEST_SKIP() << "needs the test network namespace (scripts/test.sh)";
    using namespace std::chrono;
    constexpr int kSensors = 30;
    constexpr int kJunkPerSecond = 1000;
    constexpr int kSlicesPerSecond = 100;

    Dialog_Connect d;
    d.lidarmodel = "LDS-Raxo-E";
    d.lidarsn = "FLOOD-07";
    QSignalSpy on(&d, &Dialog_Connect::sig_lidarOnLine);
    QSignalSpy off(&d, &Dialog_Connect::sig_lidarOffLine);
    QSignalSpy removed(d.DeviceInfoTable, &QStandardItemModel::rowsRemoved);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));

    QElapsedTimer clock;
    std::map<QString, qint64> listedAt; // SN -> ms after the flood started
    QObject::connect(d.DeviceInfoTable, &QStandardItemModel::rowsInserted, &d,
                     [&](const QModelIndex &, int first, int last) {
                         for (int r = first; r <= last; ++r)
                             listedAt.emplace(cell(d, r, Dialog_Connect::COL_SN), clock.elapsed());
                     });

    bool listening = false;
    HeartBeatProc listener(HEARTBEAT_PORT);
    QObject::connect(&listener, &HeartBeatProc::sig_data, &d, [&](int type, QByteArray info) {
        if (type == MSG_HEARTBEAT)
            d.recv_heartbeat(info);
        else if (type == MSG_BOX_HEARTBEAT)
            listening = true;
    });
    listener.start();
    {
        // The listener joins the group a moment after it starts.
        FakeHeartbeatSender probe;
        ASSERT_TRUE(probe.ok());
        QTRY_VERIFY_WITH_TIMEOUT((probe.send(make_box_heartbeat()), listening), 10000);
    }

    std::vector<std::vector<uint8_t>> heartbeats;
    for (int i = 0; i < kSensors; ++i) {
        char sn[16];
        std::snprintf(sn, sizeof sn, "FLOOD-%02d", i);
        const FakeSensorInfo s = sensor(sn, uint8_t(10 + i));
        heartbeats.push_back(i % 2 == 0 ? make_heartbeat104(s) : make_heartbeat112(s));
    }
    const auto junk = junkDatagrams();
    std::atomic<bool> stop{false};
    std::atomic<int> seconds{0};
    std::atomic<int> junkSent{0}, heartbeatsLost{0};
    clock.start();
    std::thread flood([&] {
        FakeHeartbeatSender sensors("127.0.0.2");
        FakeHeartbeatSender stranger("127.0.0.66");
        const auto start = steady_clock::now();
        const int junkPerSlice = kJunkPerSecond / kSlicesPerSecond;
        const int slicesPerSensor = kSlicesPerSecond / kSensors;
        for (int slice = 0; !stop.load(); ++slice) {
            for (int j = 0; j < junkPerSlice; ++j)
                if (stranger.send(junk[size_t(slice * junkPerSlice + j) % junk.size()]) > 0)
                    ++junkSent;
            // The sensors' heartbeats are spread over each second, as sensors started at
            // different times would send them.
            const int inSecond = slice % kSlicesPerSecond;
            if (inSecond % slicesPerSensor == 0 && inSecond / slicesPerSensor < kSensors) {
                const auto &hb = heartbeats[size_t(inSecond / slicesPerSensor)];
                if (sensors.send(hb) != int(hb.size()))
                    ++heartbeatsLost;
            }
            if (inSecond == kSlicesPerSecond - 1)
                ++seconds;
            std::this_thread::sleep_until(start + milliseconds(1000 / kSlicesPerSecond) * (slice + 1));
        }
    });
    struct Join {
        std::thread &t;
        std::atomic<bool> &stop;
        ~Join()
        {
            stop = true;
            t.join();
        }
    } joinFlood{flood, stop};

    QTRY_COMPARE_WITH_TIMEOUT(d.DeviceInfoTable->rowCount(), kSensors, 10000);
    // Each sensor sends once a second: a row that took three seconds lost heartbeats to the
    // flood (a sanitizer build on a busy machine lists a little past two).
    for (const auto &entry : listedAt)
        EXPECT_LE(entry.second, 3000) << entry.first.toStdString() << " listed late";
    // Several ageing periods of the flood: a row would go after four ticks without a heartbeat.
    QTRY_VERIFY_WITH_TIMEOUT(seconds.load() >= 7, 30000);
    stop = true;

    EXPECT_EQ(removed.count(), 0) << "a sensor aged out during the flood";
    EXPECT_EQ(d.DeviceInfoTable->rowCount(), kSensors);
    EXPECT_EQ(on.count(), 1);
    EXPECT_EQ(off.count(), 0);
    EXPECT_EQ(heartbeatsLost.load(), 0);
    EXPECT_GE(junkSent.load(), 7 * kJunkPerSecond) << "the flood did not run at its rate";
    listener.stop();
    listener.wait();
}

TEST(DialogConnect, HeartbeatCases)
{
    FakeSensorInfo vimo = sensor("VIMO-1", 5, "LDS-Vimo-E");
    FakeSensorInfo noSn = sensor("", 6);
    FakeSensorInfo noSnOtherIp = sensor("", 7);
    FakeSensorInfo refreshed = sensor("RAXO-A", 9);
    refreshed.seconds = 1700000100;
    refreshed.id = 7;
    refreshed.listen_port = 7001;
    refreshed.upload_port = 7002;
    refreshed.version = 0;
    FakeSensorInfo noModel = sensor("X-1", 8, "");

    struct Case {
        const char *name;
        QString model;
        std::vector<std::vector<uint8_t>> heartbeats;
        QStringList sns;   // "SN" column after all heartbeats
        QStringList ips;   // "IP" column
        QStringList times; // "Time" column (empty: not checked)
        QStringList rpms;  // "RPM" column (empty: not checked)
    } cases[] = {
        {"104 and 112 bytes", "LDS-Raxo-E",
         {make_heartbeat104(sensor("RAXO-A")), make_heartbeat112(sensor("RAXO-B", 3))},
         {"RAXO-A", "RAXO-B"}, {"127.0.0.2", "127.0.0.3"}, {}, {"", "600/12"}},
        {"a second heartbeat of a serial number refreshes its row", "LDS-Raxo-E",
         {make_heartbeat104(sensor("RAXO-A")), make_heartbeat104(refreshed)},
         {"RAXO-A"}, {"127.0.0.9"}, {localTime(1700000100500)}, {}},
        {"104 bytes without SN are matched by IP", "LDS-Raxo-E",
         {make_heartbeat104(noSn), make_heartbeat104(noSn), make_heartbeat104(noSnOtherIp)},
         {"", ""}, {"127.0.0.6", "127.0.0.7"}, {}, {}},
        {"112 bytes without SN match the first row without SN", "LDS-Raxo-E",
         {make_heartbeat104(noSn), make_heartbeat112(noSnOtherIp)},
         {""}, {"127.0.0.7"}, {}, {"600/12"}},
        {"Vimo-E 112 shows its time as an integer", "LDS-Vimo-E",
         {make_heartbeat112(vimo)}, {"VIMO-1"}, {"127.0.0.5"}, {"500000001700"}, {}},
        {"Vimo-E 104 shows a date", "LDS-Vimo-E",
         {make_heartbeat104(vimo)}, {"VIMO-1"}, {"127.0.0.5"}, {localTime(1700000000500)}, {}},
        {"another model is ignored", "LDS-Raxo-S",
         {make_heartbeat104(sensor("RAXO-A")), make_heartbeat112(sensor("RAXO-B"))}, {}, {}, {}, {}},
        {"an empty expected model lists only heartbeats without a model", "",
         {make_heartbeat104(sensor("RAXO-A")), make_heartbeat104(noModel)}, {"X-1"}, {"127.0.0.8"}, {}, {}},
        {"other sizes are ignored", "LDS-Raxo-E",
         {std::vector<uint8_t>(103), std::vector<uint8_t>(105), std::vector<uint8_t>(91)}, {}, {}, {}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Dialog_Connect d;
        d.lidarmodel = c.model;
        for (const auto &hb : c.heartbeats)
            d.recv_heartbeat(bytes(hb));
        EXPECT_EQ(column(d, Dialog_Connect::COL_SN), c.sns);
        EXPECT_EQ(column(d, Dialog_Connect::COL_IP), c.ips);
        if (!c.times.isEmpty()) {
            EXPECT_EQ(column(d, Dialog_Connect::COL_TIME), c.times);
        }
        if (!c.rpms.isEmpty()) {
            EXPECT_EQ(column(d, Dialog_Connect::COL_RPM), c.rpms);
        }
    }

    // A refresh keeps what was written on append and rewrites the rest.
    Dialog_Connect d;
    d.lidarmodel = "LDS-Raxo-E";
    d.recv_heartbeat(bytes(make_heartbeat104(sensor("RAXO-A"))));
    d.recv_heartbeat(bytes(make_heartbeat104(sensor("RAXO-B", 3))));
    d.DeviceInfoTable->item(0, Dialog_Connect::COL_MAC)->setText("aa-bb-cc-dd-ee-ff");
    d.recv_timeout();
    d.recv_heartbeat(bytes(make_heartbeat104(refreshed)));
    EXPECT_EQ(cell(d, 0, Dialog_Connect::COL_NUM), "0");
    EXPECT_EQ(cell(d, 1, Dialog_Connect::COL_NUM), "1");
    EXPECT_EQ(cell(d, 0, Dialog_Connect::COL_VERSION), "2 5 1234") << "written on append only";
    EXPECT_EQ(cell(d, 0, Dialog_Connect::COL_MAC), "aa-bb-cc-dd-ee-ff");
    EXPECT_EQ(cell(d, 0, Dialog_Connect::COL_ID), "7");
    EXPECT_EQ(cell(d, 0, Dialog_Connect::COL_LISTENPORT), "7001");
    EXPECT_EQ(cell(d, 0, Dialog_Connect::COL_UPLOADPORT), "7002");
    EXPECT_EQ(cell(d, 0, Dialog_Connect::COL_DELAY), "0");
    EXPECT_EQ(cell(d, 1, Dialog_Connect::COL_DELAY), "1");

    // The motor temperature follows the chosen sensor's 112-byte heartbeats only.
    FakeSensorInfo warm = sensor("RAXO-A");
    warm.motor_temp = 385;
    d.recv_heartbeat(bytes(make_heartbeat112(warm)));
    EXPECT_FLOAT_EQ(d.motortemp, -1.0f);
    d.lidarsn = "RAXO-A";
    d.recv_heartbeat(bytes(make_heartbeat112(warm)));
    EXPECT_FLOAT_EQ(d.motortemp, 38.5f);

    d.clearLidarList();
    EXPECT_EQ(d.DeviceInfoTable->rowCount(), 0);
    EXPECT_EQ(d.lidarsn, "RAXO-A");
}

// Rows age 1, 2, 3 and go on the fourth tick; the chosen sensor's going and coming back are
// reported once each and refresh where the session reaches it.
TEST(DialogConnect, AgeingAndReappearance)
{
    Dialog_Connect d;
    d.lidarmodel = "LDS-Raxo-E";
    d.lidarsn = "RAXO-A";
    d.isconnect = true;
    QSignalSpy off(&d, &Dialog_Connect::sig_lidarOffLine);
    QSignalSpy on(&d, &Dialog_Connect::sig_lidarOnLine);
    d.recv_heartbeat(bytes(make_heartbeat104(sensor("RAXO-B", 3))));
    d.recv_heartbeat(bytes(make_heartbeat104(sensor("RAXO-A"))));
    EXPECT_EQ(on.count(), 1) << "first sight of the chosen sensor";
    on.clear();

    QStringList delays;
    for (int tick = 0; tick < 3; ++tick) {
        d.recv_timeout();
        delays << column(d, Dialog_Connect::COL_DELAY).join(",");
    }
    EXPECT_EQ(delays, QStringList({"1,1", "2,2", "3,3"}));
    EXPECT_EQ(off.count(), 0);
    d.recv_timeout();
    EXPECT_EQ(d.DeviceInfoTable->rowCount(), 0);
    ASSERT_EQ(off.count(), 1) << "only the chosen sensor's row reports";
    EXPECT_EQ(off.at(0).at(0).toString(), "RAXO-A");
    EXPECT_FALSE(d.isconnect);

    FakeSensorInfo back = sensor("RAXO-A", 12);
    back.listen_port = 7101;
    back.upload_port = 7102;
    back.motor_temp = 412;
    d.recv_heartbeat(bytes(make_heartbeat112(back)));
    ASSERT_EQ(on.count(), 1);
    EXPECT_EQ(on.at(0).at(0).toString(), "RAXO-A");
    EXPECT_TRUE(d.isconnect);
    EXPECT_EQ(d.lidarip, "127.0.0.12");
    EXPECT_EQ(d.lidarport, 7101);
    EXPECT_EQ(d.localport, 7102u);
    EXPECT_FLOAT_EQ(d.motortemp, 41.2f);
    EXPECT_EQ(cell(d, 0, Dialog_Connect::COL_NUM), "0");
    EXPECT_EQ(off.count(), 1);
}

TEST(DialogConnect, ChoosingAndConnecting)
{
    testsupport::ModalRecorder modal;
    Dialog_Connect d;
    d.lidarmodel = "LDS-Raxo-E";
    FakeSensorInfo s = sensor("RAXO-A", 2);
    s.listen_port = 6001;
    s.upload_port = 2368;
    d.recv_heartbeat(bytes(make_heartbeat104(sensor("RAXO-B", 3))));
    d.recv_heartbeat(bytes(make_heartbeat104(s)));
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    auto *view = d.findChild<QTableView *>("servers");
    auto *port = d.findChild<QLineEdit *>("le_listenport");
    auto *connectButton = d.findChild<QPushButton *>("pb_connect");
    auto *disconnectButton = d.findChild<QPushButton *>("pb_unConnect");
    auto clickRow = [&](int row) {
        const QRect r = view->visualRect(d.DeviceInfoTable->index(row, Dialog_Connect::COL_IP));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
    };
    auto typePort = [&](const QString &text) {
        port->selectAll();
        QTest::keyClick(port, Qt::Key_Backspace);
        QTest::keyClicks(port, text);
    };

    // Nothing chosen yet.
    QTest::mouseClick(connectButton, Qt::LeftButton);
    EXPECT_EQ(modal.warningLines(), QStringList({"error|Please select the lidar to be connected first"}));
    EXPECT_TRUE(d.isVisible());
    modal.clear();

    clickRow(1);
    EXPECT_EQ(d.selectrow, 1);
    EXPECT_EQ(d.lidarsn, "RAXO-A");
    EXPECT_EQ(d.lidarip, "127.0.0.2");
    EXPECT_EQ(d.lidarport, 6001);
    EXPECT_EQ(port->text(), "2368") << "the host port defaults to the sensor's upload port";

    const QString refused = "error|The range of values for the host listening port (1000,65535)";
    for (const QString text : {"1000", "65535", "0", ""}) {
        SCOPED_TRACE(text.toStdString());
        modal.clear();
        typePort(text);
        QTest::mouseClick(connectButton, Qt::LeftButton);
        EXPECT_EQ(modal.warningLines(), QStringList({refused}));
        EXPECT_TRUE(d.isVisible());
        EXPECT_FALSE(d.isconnect);
        EXPECT_EQ(d.selectrow, 1);
    }
    modal.clear();

    for (const QString text : {"1001", "65534"}) {
        SCOPED_TRACE(text.toStdString());
        d.show();
        clickRow(1);
        typePort(text);
        QTest::mouseClick(connectButton, Qt::LeftButton);
        EXPECT_TRUE(modal.warnings.empty());
        EXPECT_EQ(d.result(), QDialog::Accepted);
        EXPECT_FALSE(d.isVisible());
        EXPECT_TRUE(d.isconnect);
        EXPECT_EQ(d.localport, text.toUInt());
        EXPECT_EQ(d.selectrow, -1);
    }

    // A new run refuses to connect until a row is clicked again.
    d.show();
    typePort("2368");
    QTest::mouseClick(connectButton, Qt::LeftButton);
    EXPECT_EQ(modal.warningLines(), QStringList({"error|Please select the lidar to be connected first"}));

    // Disconnect accepts too, with the connected flag cleared and the choice kept.
    d.setResult(0);
    QTest::mouseClick(disconnectButton, Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_FALSE(d.isconnect);
    EXPECT_EQ(d.lidarsn, "RAXO-A");

    // Run modally as the window runs it: connect and disconnect both return 1.
    for (QPushButton *button : {connectButton, disconnectButton}) {
        QTimer::singleShot(0, &d, [&] {
            clickRow(0);
            typePort("5000");
            QTest::mouseClick(button, Qt::LeftButton);
        });
        EXPECT_EQ(d.exec(), 1);
    }
}

// A run that keeps the rows it has collected (a Vimo-E's) lists only rows of its own model; a
// row of another model chosen before goes with its row, a row of the model stays chosen.
TEST(DialogConnect, RowsOfOtherModelsGoBeforeARunThatKeepsItsRows)
{
    struct Case {
        const char *name;
        int clicked; // -1: none
        int chosenAfter;
        QStringList warnings; // pressing connect
    };
    const Case cases[] = {
        {"nothing chosen", -1, -1, {"error|Please select the lidar to be connected first"}},
        {"the Raxo-S chosen", 0, -1, {"error|Please select the lidar to be connected first"}},
        {"the Vimo-E chosen", 1, 0, {}},
        {"the other Raxo-S chosen", 2, -1, {"error|Please select the lidar to be connected first"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::ModalRecorder modal;
        Dialog_Connect d;
        const std::pair<const char *, const char *> sensors[] = {
            {"LDS-Raxo-S", "RAXO-S-1"}, {"LDS-Vimo-E", "VIMO-1"}, {"LDS-Raxo-S", "RAXO-S-2"}};
        uint8_t octet = 2;
        for (const auto &[model, sn] : sensors) {
            d.lidarmodel = model;
            d.recv_heartbeat(bytes(make_heartbeat104(sensor(sn, octet++, model))));
        }
        ASSERT_EQ(d.DeviceInfoTable->rowCount(), 3);
        d.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
        auto *view = d.findChild<QTableView *>("servers");
        if (c.clicked >= 0) {
            const QRect r = view->visualRect(d.DeviceInfoTable->index(c.clicked, Dialog_Connect::COL_IP));
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
            ASSERT_EQ(d.selectrow, c.clicked);
        }

        d.lidarmodel = "LDS-Vimo-E";
        d.removeOtherModels();
        EXPECT_EQ(column(d, Dialog_Connect::COL_SN), QStringList({"VIMO-1"}));
        EXPECT_EQ(d.selectrow, c.chosenAfter);
        QTest::mouseClick(d.findChild<QPushButton *>("pb_connect"), Qt::LeftButton);
        EXPECT_EQ(modal.warningLines(), c.warnings);
        EXPECT_EQ(d.isconnect, c.warnings.isEmpty());
        if (d.isconnect)
            EXPECT_EQ(d.lidarip, "127.0.0.3");

        // While it runs, another model's heartbeats add nothing.
        d.recv_heartbeat(bytes(make_heartbeat104(sensor("RAXO-S-1", 2, "LDS-Raxo-S"))));
        EXPECT_EQ(d.DeviceInfoTable->rowCount(), 1);
    }
}

// The lookup runs on a worker; its results land in the table on the GUI thread. An address that
// did not resolve is tried again ten passes (30 s of the 3 s timer) later, not at every pass; a
// row heard meanwhile is tried at once.
TEST(DialogConnect, MacLookupFillsTheCellOnTheGuiThread)
{
    LookupGuard restore;
    std::mutex m;
    std::map<std::string, int> calls;
    std::atomic<bool> onGuiThread{false};
    QThread *gui = QThread::currentThread();
    Dialog_Connect::setMacLookup([&](const char *ip, char *out) {
        if (QThread::currentThread() == gui)
            onGuiThread = true;
        std::lock_guard<std::mutex> lock(m);
        const int n = ++calls[ip];
        if (std::string(ip) == "127.0.0.2" && n == 1)
            return false; // not in the table yet
        std::snprintf(out, 64, "%s", std::string(ip) == "127.0.0.2" ? "00-11-22-33-44-55" : "66-77-88-99-aa-bb");
        return true;
    });
    auto callsFor = [&](const std::string &ip) {
        std::lock_guard<std::mutex> lock(m);
        return calls[ip];
    };

    Dialog_Connect d;
    d.lidarmodel = "LDS-Raxo-E";
    d.recv_heartbeat(bytes(make_heartbeat104(sensor("RAXO-A", 2))));
    d.recv_heartbeat(bytes(make_heartbeat104(sensor("RAXO-B", 3))));
    std::vector<bool> writesOnGui;
    QObject::connect(d.DeviceInfoTable, &QStandardItemModel::itemChanged, &d, [&](QStandardItem *it) {
        if (it->column() == Dialog_Connect::COL_MAC)
            writesOnGui.push_back(QThread::currentThread() == gui);
    });

    d.recv_mac();
    QTRY_COMPARE(cell(d, 1, Dialog_Connect::COL_MAC), QString("66-77-88-99-aa-bb"));
    QTRY_COMPARE(callsFor("127.0.0.2"), 1);
    EXPECT_EQ(cell(d, 0, Dialog_Connect::COL_MAC), "");

    for (int pass = 2; pass <= Dialog_Connect::kMacRetryPasses; ++pass) {
        if (pass == 5) {
            d.recv_heartbeat(bytes(make_heartbeat104(sensor("RAXO-C", 4))));
            d.recv_mac();
            QTRY_COMPARE(cell(d, 2, Dialog_Connect::COL_MAC), QString("66-77-88-99-aa-bb"));
            continue;
        }
        d.recv_mac();
    }
    EXPECT_EQ(callsFor("127.0.0.2"), 1) << "not again within 30 s";
    EXPECT_EQ(cell(d, 0, Dialog_Connect::COL_MAC), "");

    d.recv_mac();
    QTRY_COMPARE(cell(d, 0, Dialog_Connect::COL_MAC), QString("00-11-22-33-44-55"));
    EXPECT_EQ(callsFor("127.0.0.2"), 2);
    EXPECT_EQ(callsFor("127.0.0.3"), 1) << "a filled cell is not looked up again";
    EXPECT_EQ(callsFor("127.0.0.4"), 1);
    EXPECT_FALSE(onGuiThread);
    EXPECT_EQ(writesOnGui, std::vector<bool>({true, true, true}));
}

// A pass that finishes after its dialog is gone writes nowhere.
TEST(DialogConnect, MacPassOutlivingTheDialogWritesNothing)
{
    LookupGuard restore;
    std::mutex m;
    std::condition_variable cv;
    bool release = false;
    std::atomic<bool> started{false}, finished{false};
    Dialog_Connect::setMacLookup([&](const char *, char *out) {
        started = true;
        std::unique_lock<std::mutex> lock(m);
        cv.wait(lock, [&] { return release; });
        std::snprintf(out, 64, "00-11-22-33-44-55");
        finished = true;
        return true;
    });
    auto *d = new Dialog_Connect;
    d->lidarmodel = "LDS-Raxo-E";
    d->recv_heartbeat(bytes(make_heartbeat104(sensor("RAXO-A", 2))));
    d->recv_mac();
    QTRY_VERIFY(started.load());
    delete d;
    {
        std::lock_guard<std::mutex> lock(m);
        release = true;
    }
    cv.notify_all();
    QTRY_VERIFY(finished.load());
    // Anything the pass posted is delivered before this marker.
    bool marker = false;
    QMetaObject::invokeMethod(qApp, [&] { marker = true; }, Qt::QueuedConnection);
    QTRY_VERIFY(marker);
}

namespace {

// Runs a command without a shell; its exit code, or -1 when it could not start.
int run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(10000) || p.exitStatus() != QProcess::NormalExit)
        return -1;
    return p.exitCode();
}

// A veth pair from the test's namespace to a fake device in a namespace of its own, which
// sends heartbeats to the group and nothing else. Everything it sets up goes again with it.
class LinkedDevice {
public:
    static constexpr const char *kHostLink = "qvmac0";
    static constexpr const char *kDeviceLink = "qvmac1";
    static constexpr const char *kHostIp = "10.213.7.1";
    static constexpr const char *kDeviceIp = "10.213.7.2";
    static constexpr const char *kDeviceMac = "02:51:56:00:07:02";

    // Empty when set up; otherwise why not.
    QString start()
    {
        if (run("ip", {"link", "add", kHostLink, "type", "veth", "peer", "name", kDeviceLink, "address",
                       kDeviceMac})
            != 0)
            return "cannot create a veth pair (needs root or CAP_NET_ADMIN)";
        linked_ = true;
        if (run("ip", {"addr", "add", QString(kHostIp) + "/24", "dev", kHostLink}) != 0
            || run("ip", {"link", "set", kHostLink, "up"}) != 0)
            return "cannot configure the host end";
        // The device's own namespace: unshare executes the fake in place, so its process id
        // names the namespace the device end moves into.
        device_.start("unshare", {"-n", QString::fromStdString(testsupport::binary_dir()) + "/qv_fake_link_device",
                                  kDeviceIp, kDeviceLink});
        if (!device_.waitForStarted(10000))
            return "cannot start the fake device in a namespace of its own";
        const QString pid = QString::number(device_.processId());
        const auto inDevice = [&pid](QStringList args) {
            return run("nsenter", QStringList({"-t", pid, "-n", "ip"}) + args);
        };
        // The move can only follow once unshare has made the namespace: wait for it to differ.
        const auto ownNamespace = [&pid]() {
            return QFileInfo(QString("/proc/%1/ns/net").arg(pid)).symLinkTarget()
                   != QFileInfo("/proc/self/ns/net").symLinkTarget();
        };
        QV_TRY_WAIT_(ownNamespace(), 10000);
        if (!ownNamespace())
            return "the fake device did not get a namespace of its own";
        if (run("ip", {"link", "set", kDeviceLink, "netns", pid}) != 0
            || inDevice({"link", "set", "lo", "up"}) != 0
            || inDevice({"addr", "add", QString(kDeviceIp) + "/24", "dev", kDeviceLink}) != 0
            || inDevice({"link", "set", kDeviceLink, "up"}) != 0
            || inDevice({"route", "add", "224.0.0.0/4", "dev", kDeviceLink}) != 0)
            return "cannot configure the device end";
        // The device is this side's gateway too, as a router on the sensors' network would be.
        if (run("ip", {"route", "add", "default", "via", kDeviceIp, "dev", kHostLink}) != 0)
            return "cannot route through the device";
        // This side accepts the group on the link, as a host on the sensors' network does.
        group_ = ::socket(AF_INET, SOCK_DGRAM, 0);
        ip_mreq m{};
        inet_pton(AF_INET, HEARTBEAT_GROUP, &m.imr_multiaddr);
        inet_pton(AF_INET, kHostIp, &m.imr_interface);
        if (group_ < 0 || setsockopt(group_, IPPROTO_IP, IP_ADD_MEMBERSHIP, &m, sizeof m) != 0)
            return "cannot join the group on the link";
        device_.write("go\n");
        if (!device_.waitForReadyRead(10000))
            return "the fake device did not start sending: " + QString::fromLocal8Bit(device_.readAllStandardError());
        return QString();
    }

    ~LinkedDevice()
    {
        if (device_.state() != QProcess::NotRunning) {
            device_.closeWriteChannel();
            if (!device_.waitForFinished(10000))
                device_.kill();
            device_.waitForFinished(10000);
        }
        if (group_ >= 0)
            ::close(group_);
        if (linked_)
            run("ip", {"link", "del", kHostLink}); // takes the device end along, wherever it is
    }

private:
    QProcess device_;
    bool linked_ = false;
    int group_ = -1;
};

// What leaves through one interface: a packet socket that sees the host's outgoing frames.
class OutgoingCapture {
public:
    struct Datagram {
        std::string to;
        int port = 0;
        std::string payload;
    };

    // Empty when capturing; otherwise why not.
    QString start(const char *link)
    {
        sock_ = ::socket(AF_PACKET, SOCK_RAW | SOCK_NONBLOCK, htons(ETH_P_ALL));
        if (sock_ < 0)
            return "cannot open a packet socket (needs CAP_NET_RAW)";
        sockaddr_ll at{};
        at.sll_family = AF_PACKET;
        at.sll_protocol = htons(ETH_P_ALL);
        at.sll_ifindex = int(if_nametoindex(link));
        if (at.sll_ifindex == 0 || ::bind(sock_, reinterpret_cast<sockaddr *>(&at), sizeof at) != 0)
            return "cannot bind the packet socket to the link";
        return QString();
    }
    ~OutgoingCapture()
    {
        if (sock_ >= 0)
            ::close(sock_);
    }

    // The UDP datagrams that left, up to the first whose payload is `marker` (which is not
    // included): frames leave one interface in order, so nothing sent before it is missed.
    // False when the marker does not show within the time-out.
    bool until(const std::string &marker, std::vector<Datagram> &out, int timeoutMs = 10000)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            pollfd p{sock_, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0)
                continue;
            uint8_t frame[2048];
            sockaddr_ll from{};
            socklen_t len = sizeof from;
            const ssize_t n = ::recvfrom(sock_, frame, sizeof frame, 0, reinterpret_cast<sockaddr *>(&from), &len);
            if (n < 14 + 20 || from.sll_pkttype != PACKET_OUTGOING || frame[12] != 0x08 || frame[13] != 0x00)
                continue;
            const uint8_t *ip = frame + 14;
            const size_t ihl = size_t(ip[0] & 0x0F) * 4;
            if (ip[9] != IPPROTO_UDP || n < ssize_t(14 + ihl + 8))
                continue;
            char to[INET_ADDRSTRLEN] = {};
            inet_ntop(AF_INET, ip + 16, to, sizeof to);
            const uint8_t *udp = ip + ihl;
            Datagram d;
            d.to = to;
            d.port = (udp[2] << 8) | udp[3];
            d.payload.assign(reinterpret_cast<const char *>(udp + 8), size_t(n) - 14 - ihl - 8);
            if (d.payload == marker)
                return true;
            out.push_back(d);
        }
        return false;
    }

private:
    int sock_ = -1;
};

} // namespace

// A sensor heard only through its heartbeats (its points go elsewhere) sends nothing that puts
// it into the kernel's neighbour table; the dialog has the address resolved and shows it. A
// heartbeat naming an address beyond the link (reached through the gateway) gets no MAC, and
// nothing is sent towards it, however many passes run.
TEST(DialogConnect, MacOfADeviceHeardOnlyByItsHeartbeats)
{
    if (!network_is_isolated())
        GTEST_SKIP() << "needs the test network namespace (scripts/test.sh)";
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root: the test links a second network namespace over a veth pair";
    LookupGuard restore; // the program's own lookup
    Dialog_Connect::setMacLookup({});
    LinkedDevice device;
    const QString why = device.start();
    if (why.startsWith("cannot create"))
        GTEST_SKIP() << why.toStdString();
    ASSERT_TRUE(why.isEmpty()) << why.toStdString();

    Dialog_Connect d;
    d.lidarmodel = "LDS-Vimo-E";
    HeartBeatProc listener(HEARTBEAT_PORT);
    hearInto(listener, d);
    QTRY_VERIFY_WITH_TIMEOUT(d.DeviceInfoTable->rowCount() == 1, 10000);
    listener.stop();
    listener.wait();
    EXPECT_EQ(cell(d, 0, Dialog_Connect::COL_SN), "LINK-SILENT-1");
    EXPECT_EQ(cell(d, 0, Dialog_Connect::COL_IP), LinkedDevice::kDeviceIp);
    char out[64] = {};
    EXPECT_FALSE(arp_get_mac(LinkedDevice::kDeviceIp, out)) << "the heartbeats alone left an entry: " << out;

    // The test runs the passes itself, and no row ages out meanwhile.
    for (QTimer *timer : d.findChildren<QTimer *>())
        timer->stop();

    // A stranger's heartbeat pointing beyond the link.
    const char *beyond = "203.0.113.7";
    FakeSensorInfo stranger = sensor("FAR-AWAY-1", 0, "LDS-Vimo-E");
    inet_pton(AF_INET, beyond, stranger.ip);
    d.recv_heartbeat(bytes(make_heartbeat104(stranger)));
    ASSERT_EQ(cell(d, 1, Dialog_Connect::COL_IP), beyond);
    OutgoingCapture capture;
    const QString noCapture = capture.start(LinkedDevice::kHostLink);
    ASSERT_TRUE(noCapture.isEmpty()) << noCapture.toStdString();

    // The program's own lookup, counted.
    std::atomic<int> beyondLookups{0};
    Dialog_Connect::setMacLookup([&](const char *ip, char *mac) {
        if (std::string(ip) == beyond)
            ++beyondLookups;
        return arp_resolve_mac(ip, mac, 1000);
    });
    QTRY_COMPARE_WITH_TIMEOUT((d.recv_mac(), cell(d, 0, Dialog_Connect::COL_MAC)), QString("02-51-56-00-07-02"),
                              10000);
    // Over 30 s of passes: the far address is tried twice.
    QTRY_VERIFY_WITH_TIMEOUT((d.recv_mac(), beyondLookups.load() >= 2), 10000);
    EXPECT_EQ(cell(d, 1, Dialog_Connect::COL_MAC), "");

    const int marker = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(9);
    inet_pton(AF_INET, LinkedDevice::kDeviceIp, &to.sin_addr);
    const std::string mark = "end of the lookups";
    ASSERT_EQ(::sendto(marker, mark.data(), mark.size(), 0, reinterpret_cast<sockaddr *>(&to), sizeof to),
              ssize_t(mark.size()));
    ::close(marker);
    std::vector<OutgoingCapture::Datagram> left;
    ASSERT_TRUE(capture.until(mark, left));
    for (const auto &datagram : left)
        EXPECT_NE(datagram.to, beyond) << "a datagram to port " << datagram.port << " left for the stranger's address";
}
