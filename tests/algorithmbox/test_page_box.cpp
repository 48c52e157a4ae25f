// The configurator window driven through its widgets, against the fake box command channel:
// the box list and status row, the queries of a selection, the replies, the network, MAC and
// serial-number settings with the history file, and the firmware upgrade.

#include "configuratorfixture.h"

#include "firmwaretarget.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

const QString kDot = "min-width: 10px;min-height: 10px;max-width: 10px;max-height: 10px;"
                     "border-radius: 5px;border:1px solid black;";
const QString kGrey = kDot + "background-color:rgb(190,190,190)";
const QString kYellow = kDot + "background-color:rgb(255,255,0)";
const QString kGreen = kDot + "background-color:rgb(0,255,0)";
const QString kRed = kDot + "background-color:rgb(255,0,0)";

QStringList file_lines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromLocal8Bit(f.readAll()).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

bool same_picture(const QIcon &a, const QString &resource)
{
    return a.pixmap(28, 28).toImage() == QIcon(resource).pixmap(28, 28).toImage();
}

} // namespace

TEST_F(ConfiguratorTest, FreshWindowShowsTheBoxListAndTheStatusGroupOnly)
{
    EXPECT_EQ(page->windowTitle(), "Algorithm Box Configurator");
    EXPECT_FALSE(page->testAttribute(Qt::WA_QuitOnClose));
    for (const char *shown : {"groupBox_5", "groupBox_3", "listWidget", "pb_add", "pb_del",
                              "pb_details", "pb_connect", "pb_cancel"})
        EXPECT_TRUE(ui->get(shown)->isVisible()) << shown;
    for (const char *hidden : {"groupBox_net", "groupBox_mac", "groupBox_upgrade", "groupBox_2"})
        EXPECT_FALSE(ui->get(hidden)->isVisible()) << hidden;
    for (const char *off : {"groupBox_net", "groupBox_mac", "groupBox_upgrade", "groupBox_2", "pb_connect"})
        EXPECT_FALSE(ui->get(off)->isEnabled()) << off;
    EXPECT_TRUE(same_picture(ui->button("pb_details")->icon(), ":/resource/algorithmbox/show_details.png"));
    EXPECT_EQ(ui->button("pb_details")->toolTip(), ui->button("pb_details")->accessibleName());
    EXPECT_FALSE(ui->button("pb_details")->toolTip().isEmpty());

    // The window takes the size of what it shows: the details make it larger, and it cannot be
    // resized by hand.
    EXPECT_EQ(page->layout()->sizeConstraint(), QLayout::SetFixedSize);
    QCoreApplication::processEvents();
    const QSize collapsed = page->size();
    EXPECT_EQ(page->minimumSize(), page->maximumSize());

    QTest::mouseClick(ui->button("pb_details"), Qt::LeftButton);
    for (const char *shown : {"groupBox_net", "groupBox_mac", "groupBox_upgrade", "label_9", "le_macValue"})
        EXPECT_TRUE(ui->get(shown)->isVisible()) << shown;
    for (const char *hidden : {"groupBox_2", "label_10", "le_snValue", "pb_snGet", "pb_snSet"})
        EXPECT_FALSE(ui->get(hidden)->isVisible()) << hidden;
    EXPECT_TRUE(same_picture(ui->button("pb_details")->icon(), ":/resource/algorithmbox/hide_details.png"));
    EXPECT_EQ(ui->button("pb_details")->iconSize(), QSize(28, 28));
    EXPECT_EQ(ui->button("pb_details")->minimumSize(), QSize(33, 33));
    EXPECT_EQ(ui->button("pb_details")->maximumSize(), QSize(33, 33));
    QCoreApplication::processEvents();
    EXPECT_GT(page->height(), collapsed.height());

    QTest::mouseClick(ui->button("pb_details"), Qt::LeftButton);
    EXPECT_FALSE(ui->get("groupBox_net")->isVisible());
    EXPECT_TRUE(same_picture(ui->button("pb_details")->icon(), ":/resource/algorithmbox/show_details.png"));
}

TEST_F(ConfiguratorTest, HeartbeatsListEachBoxOnceAndTheSelectedBoxFillsTheStatusRow)
{
    FakeBoxInfo a;
    FakeBoxInfo b;
    b.box_ip = "127.0.0.9";
    for (int i = 0; i < 3; ++i) {
        front->setBoxInfo(box_heartbeat(a));
        front->setBoxInfo(box_heartbeat(b));
    }
    EXPECT_EQ(ui->listed(), QStringList({"127.0.0.2", "127.0.0.9"}));
    EXPECT_TRUE(ui->statusRows().empty()) << "no box is selected yet";

    ui->clickBox("127.0.0.2");
    EXPECT_TRUE(ui->statusRows().empty()) << "the row comes with the box's next heartbeat";
    EXPECT_EQ(ui->ip("ip"), "127.0.0.2");
    EXPECT_EQ(ui->ip("mask"), "255.255.255.0");
    EXPECT_EQ(ui->ip("gateway"), "127.0.0.1");

    front->setBoxInfo(box_heartbeat(a));
    ASSERT_EQ(ui->statusRows().size(), 1u);
    EXPECT_EQ(ui->statusRows()[0],
              QStringList({timeText("yyyy-MM-dd hh:mm:ss.zzz"), "127.0.0.3", kGreen, "000010100101"}));

    // Same sensor: the row is updated in place.
    clock += 700;
    a.status = 3;
    a.flags = 5;
    front->setBoxInfo(box_heartbeat(a));
    front->setBoxInfo(box_heartbeat(b)); // another box: the row stays
    ASSERT_EQ(ui->statusRows().size(), 1u);
    EXPECT_EQ(ui->statusRows()[0],
              QStringList({timeText("yyyy-MM-dd hh:mm:ss.zzz"), "127.0.0.3", kRed, "000000000101"}));

    // Another sensor: a new single row replaces it.
    a.lidar_ip = "127.0.0.4";
    a.status = 1;
    front->setBoxInfo(box_heartbeat(a));
    ASSERT_EQ(ui->statusRows().size(), 1u);
    EXPECT_EQ(ui->statusRows()[0][1], "127.0.0.4");
    EXPECT_EQ(ui->statusRows()[0][2], kYellow);
    EXPECT_EQ(ui->get<QGridLayout>("gridLayout_2")->count(), 4);
}

TEST_F(ConfiguratorTest, FlagsAndStatusDots)
{
    struct Case {
        uint8_t status;
        uint16_t flags;
        QString dot;
        QString text;
    };
    const Case cases[] = {
        {0, 0, kGrey, "000000000000"},
        {1, 0x0FFF, kYellow, "111111111111"},
        {2, 0x1000, kGreen, "1000000000000"},
        {3, 0xFFFF, kRed, "1111111111111111"},
        {4, 5, kDot, "000000000101"}, // no colour for an unknown status
    };
    FakeBoxInfo a;
    front->setBoxInfo(box_heartbeat(a));
    ui->clickBox("127.0.0.2");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.status);
        a.status = c.status;
        a.flags = c.flags;
        front->setBoxInfo(box_heartbeat(a));
        ASSERT_EQ(ui->statusRows().size(), 1u);
        EXPECT_EQ(ui->statusRows()[0][2], c.dot);
        EXPECT_EQ(ui->statusRows()[0][3], c.text);
    }
    QLabel dot("text");
    Page_Box::setStatusStyle(&dot, 2, 20);
    EXPECT_EQ(dot.text(), "");
    EXPECT_EQ(dot.styleSheet(), "min-width: 20px;min-height: 20px;max-width: 20px;max-height: 20px;"
                                "border-radius: 10px;border:1px solid black;background-color:rgb(0,255,0)");
}

TEST_F(ConfiguratorTest, SilentSelectedBoxTurnsGreyWhileOtherBoxesKeepSending)
{
    FakeBoxInfo a;
    FakeBoxInfo b;
    b.box_ip = "127.0.0.9";
    front->setBoxInfo(box_heartbeat(a));
    ui->clickBox("127.0.0.2");
    front->setBoxInfo(box_heartbeat(a));
    const QStringList fresh = ui->statusRows()[0];

    clock += 2000;
    page->recv_autocheck();
    EXPECT_EQ(ui->statusRows()[0][2], kGreen) << "2000 ms is not yet stale";

    clock += 1;
    front->setBoxInfo(box_heartbeat(b));
    page->recv_autocheck();
    EXPECT_EQ(ui->statusRows()[0], QStringList({fresh[0], fresh[1], kGrey, fresh[3]}))
        << "only the dot changes; another box's heartbeat does not count";

    clock += 500;
    front->setBoxInfo(box_heartbeat(a));
    EXPECT_EQ(ui->statusRows()[0][2], kGreen);
}

// Boxes no longer heard leave the list, as sensor rows leave the connection dialog; the selected
// one stays (its dots grey). Anyone can announce boxes: however many, the list stays bounded and
// every heartbeat finds its entry at once.
TEST_F(ConfiguratorTest, SilentBoxesLeaveTheListWhichStaysBounded)
{
    FakeBoxInfo a;
    FakeBoxInfo b;
    FakeBoxInfo c;
    b.box_ip = "127.0.0.9";
    c.box_ip = "127.0.0.10";
    for (const FakeBoxInfo *info : {&a, &b, &c})
        front->setBoxInfo(box_heartbeat(*info));
    ui->clickBox("127.0.0.9");
    ASSERT_EQ(ui->listed(), QStringList({"127.0.0.2", "127.0.0.9", "127.0.0.10"}));

    clock += 4000;
    front->setBoxInfo(box_heartbeat(c)); // c is still heard
    page->recv_autocheck();
    EXPECT_EQ(ui->listed(), QStringList({"127.0.0.2", "127.0.0.9", "127.0.0.10"})) << "6 s is the limit";

    clock += 2001;
    page->recv_autocheck();
    EXPECT_EQ(ui->listed(), QStringList({"127.0.0.9", "127.0.0.10"})) << "a went; the selected b stays";

    // a comes back: listed again at the end, with its record (selecting it queries it once).
    front->setBoxInfo(box_heartbeat(a));
    EXPECT_EQ(ui->listed(), QStringList({"127.0.0.9", "127.0.0.10", "127.0.0.2"}));
    fake.clear();
    ui->clickBox("127.0.0.2");
    EXPECT_EQ(commandsSoFar(), (std::vector<std::string>{"LSGETS", "LVERSH", "LSNETS", "LQMACH"}))
        << "the record of its first listing went with it";

    // A flood of made-up boxes fills the list to its bound and no further; once they go
    // silent, the list empties of them.
    for (int i = 0; i < 5000; ++i) {
        FakeBoxInfo junk;
        junk.box_ip = "10.0." + std::to_string(i / 200) + "." + std::to_string(i % 200);
        front->setBoxInfo(box_heartbeat(junk));
    }
    EXPECT_EQ(ui->listed().size(), 256);
    clock += 6001;
    front->setBoxInfo(box_heartbeat(a));
    page->recv_autocheck();
    EXPECT_EQ(ui->listed(), QStringList({"127.0.0.2"})) << "the selected box, heard again";
}

TEST_F(ConfiguratorTest, SelectingABoxQueriesItAndTheRepliesFillTheWindow)
{
    FakeBoxCommand::State s = fake.state();
    s.mask = "255.255.0.0";
    s.gateway = "127.0.1.1";
    s.mac = "02:AB:CD:EF:01:23";
    fake.set_state(s);
    front->setBoxInfo(box_heartbeat());
    ui->clickBox("127.0.0.2");
    for (const char *on : {"groupBox_net", "groupBox_mac", "groupBox_upgrade", "groupBox_2", "pb_connect"})
        EXPECT_TRUE(ui->get(on)->isEnabled()) << on;

    ASSERT_TRUE(fake.wait_for(4, 5000));
    const auto cmds = fake.commands();
    EXPECT_EQ(fake.command_texts(), (std::vector<std::string>{"LSGETS", "LVERSH", "LSNETS", "LQMACH"}));
    // The kernel stamps each datagram as it reaches the fake; on a loaded machine loopback
    // delivery has held the first one back by more than a millisecond longer than the second.
    EXPECT_GE(cmds[1].at_us - cmds[0].at_us, 95000) << "the version query waits 100 ms";

    ASSERT_TRUE(wait_until([&] { return ui->text("le_macValue") == "02:AB:CD:EF:01:23"; }));
    EXPECT_EQ(ui->get<QLabel>("lb_version")->text(), "V2.1.7");
    EXPECT_EQ(ui->ip("ip"), "127.0.0.2");
    EXPECT_EQ(ui->ip("mask"), "255.255.0.0");
    EXPECT_EQ(ui->ip("gateway"), "127.0.1.1");
    EXPECT_TRUE(modal.warnings.empty());

    // The read buttons ask again.
    QTest::mouseClick(ui->button("pb_details"), Qt::LeftButton);
    fake.clear();
    QTest::mouseClick(ui->button("pb_getbox"), Qt::LeftButton);
    QTest::mouseClick(ui->button("pb_macGet"), Qt::LeftButton);
    QTest::mouseClick(ui->button("pb_version"), Qt::LeftButton);
    ui->button("pb_snGet")->click(); // its row is hidden; the slot still works
    QTest::mouseClick(ui->button("pb_restart"), Qt::LeftButton);
    EXPECT_EQ(commandsSoFar(), (std::vector<std::string>{"LSNETS", "LQMACH", "LVERSH", "LUUIDH", "REBOOT"}));
    ASSERT_TRUE(wait_until([&] { return !modal.warnings.empty(); }));
    EXPECT_EQ(modal.warningLines(), QStringList({"warm|algorithm box is reboot!"}));
    EXPECT_EQ(ui->text("le_snValue"), "QVBOX0001");
}

TEST_F(ConfiguratorTest, AfterRefreshNoBoxIsSelectedAndCommandsOnlyWarn)
{
    selectFakeBox();
    QTest::mouseClick(ui->button("pb_details"), Qt::LeftButton);
    front->setBoxInfo(box_heartbeat());
    ui->get<QLineEdit>("le_snValue")->setText("x");
    QTest::mouseClick(ui->button("pb_del"), Qt::LeftButton);
    EXPECT_TRUE(ui->listed().isEmpty());
    EXPECT_TRUE(ui->statusRows().empty());
    EXPECT_EQ(ui->ip("ip"), "...");
    EXPECT_EQ(ui->ip("mask"), "...");
    EXPECT_EQ(ui->ip("gateway"), "...");
    EXPECT_EQ(ui->text("le_macValue"), "");
    EXPECT_EQ(ui->text("le_snValue"), "");
    for (const char *on : {"groupBox_net", "groupBox_mac", "groupBox_upgrade", "pb_connect"})
        EXPECT_TRUE(ui->get(on)->isEnabled()) << on << " stays as it was";

    for (const char *b : {"pb_getbox", "pb_macGet", "pb_macSet", "pb_snGet", "pb_snSet", "pb_restart",
                          "pb_version"})
        ui->button(b)->click();
    QStringList expected;
    for (int i = 0; i < 7; ++i)
        expected << "error|Please select the specified IP box first!";
    EXPECT_EQ(modal.warningLines(), expected);

    modal.clear();
    QTest::mouseClick(ui->button("pb_connect"), Qt::LeftButton);
    EXPECT_EQ(modal.warningLines(), QStringList({"error|Please select the lidar to be connected first!"}));
    EXPECT_TRUE(starts.isEmpty());
    EXPECT_TRUE(page->isVisible());
    EXPECT_TRUE(commandsSoFar().empty());

    // New heartbeats fill the list again.
    front->setBoxInfo(box_heartbeat());
    EXPECT_EQ(ui->listed(), QStringList({"127.0.0.2"}));
}

TEST_F(ConfiguratorTest, EveryReplyClassHasItsEffect)
{
    selectFakeBox();
    const QString history = page->historyPath();
    QFile::remove(history);
    struct Case {
        int type;
        const char *info;
        QStringList warnings;
    };
    const Case cases[] = {
        {1, "REBOOT", {"warm|algorithm box is reboot!"}},
        {2, "LSADD:NG", {}},
        {3, "LSDEL:NG", {}},
        {6, "LSNETS:10.0.0.5 255.0.0.0 10.0.0.1", {}},
        {7, "LVERSH:V9.1", {}},
        {7, "LVERSH:V9:beta", {}},
        {8, "LSMAC:NG", {"error|LSMAC:NG"}},
        {8, "LSMAC:OK", {"warm|MAC set ok!"}},
        {9, "LQMACH:NG", {"error|LQMACH:NG"}},
        {9, "LQMACH:AA:BB:CC:DD:EE:FFH", {}},
        {10, "LUUIDH:SN42H", {}},
        {11, "LQUUID:NG", {"error|LQUUID:NG"}},
        {11, "LQUUID:OK", {"warm|SN set ok"}},
        {11, "LQUUID", {"warm|SN set ok"}}, // no field 2: not a refusal
        {9, "LQMACH", {}},                  // no field 2, nothing after a colon
        {42, "LVERSH:none", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.info);
        modal.clear();
        page->recv_BoxMSG("127.0.0.2", c.type, c.info);
        EXPECT_EQ(modal.warningLines(), c.warnings);
        if (QString(c.info) == "LVERSH:V9:beta") {
            EXPECT_EQ(ui->get<QLabel>("lb_version")->text(), "V9.1") << "three parts: unchanged";
        }
        if (QString(c.info) == "LQMACH:AA:BB:CC:DD:EE:FFH") {
            EXPECT_EQ(ui->text("le_macValue"), "AA:BB:CC:DD:EE:FF");
        }
    }
    EXPECT_EQ(ui->ip("ip"), "10.0.0.5");
    EXPECT_EQ(ui->ip("mask"), "255.0.0.0");
    EXPECT_EQ(ui->ip("gateway"), "10.0.0.1");
    EXPECT_EQ(ui->text("le_snValue"), "SN42");
    EXPECT_EQ(ui->text("le_macValue"), "");
    EXPECT_EQ(file_lines(history), QStringList({"MAC set ok", "SN set ok", "SN set ok"}))
        << "refusals write no history";

    // The box takes a new address: its list entry goes, the selection stays.
    page->recv_BoxMSG("127.0.0.2", 5, "LSNET:OK");
    EXPECT_TRUE(ui->listed().isEmpty());
    ui->button("pb_version")->click();
    EXPECT_EQ(commandsSoFar(), (std::vector<std::string>{"LVERSH"}));
}

// Replies that come while the reboot notice is still open are not lost: each is shown once it
// has closed, in the order they came, a repeat only counted.
TEST_F(ConfiguratorTest, RepliesDuringAnOpenNoticeAreShownAfterIt)
{
    selectFakeBox();
    modal.clear();
    modal.duringWarning = [&] {
        modal.duringWarning = nullptr;
        page->recv_BoxMSG("127.0.0.2", 8, "LSMAC:OK");
        page->recv_BoxMSG("127.0.0.2", 11, "LQUUID:OK");
        page->recv_BoxMSG("127.0.0.2", 8, "LSMAC:OK");
    };
    page->recv_BoxMSG("127.0.0.2", 1, "REBOOT");
    EXPECT_EQ(modal.warningLines(), QStringList({"warm|algorithm box is reboot!"}));
    const QStringList all = {"warm|algorithm box is reboot!", "warm|MAC set ok!", "warm|SN set ok"};
    ASSERT_TRUE(wait_until([&] { return modal.warningLines() == all; })) << modal.warningLines().join("\n").toStdString();
    QCoreApplication::processEvents();
    EXPECT_EQ(modal.warningLines(), all) << "each shown once";
}

TEST_F(ConfiguratorTest, ABoxListedAgainHasTwoRecordsAndIsQueriedOncePerRecord)
{
    selectFakeBox();
    page->recv_BoxMSG("127.0.0.2", 5, "LSNET:OK");
    front->setBoxInfo(box_heartbeat());
    EXPECT_EQ(ui->listed(), QStringList({"127.0.0.2"}));
    ui->clickBox("127.0.0.2");
    EXPECT_EQ(commandsSoFar(), (std::vector<std::string>{"LSGETS", "LVERSH", "LSNETS", "LQMACH", "LSGETS",
                                                         "LVERSH", "LSNETS", "LQMACH"}));
}

TEST_F(ConfiguratorTest, NetworkSettingChecksTheNewAddress)
{
    selectFakeBox();
    QTest::mouseClick(ui->button("pb_details"), Qt::LeftButton);
    auto *ip = ui->get("ip");
    auto *gateway = ui->get("gateway");

    // 127.0.0.5 answers the ping (loopback): occupied.
    ip->setProperty("ip", "127.0.0.5");
    QTest::mouseClick(ui->button("pb_setbox"), Qt::LeftButton);
    EXPECT_EQ(modal.warningLines(),
              QStringList({"error|This IP is an internal IP or is occupied. Please choose another IP"}));
    EXPECT_TRUE(commandsSoFar().empty());

    // The box's own address answers too, and is accepted.
    modal.clear();
    ip->setProperty("ip", "127.0.0.2");
    gateway->setProperty("ip", "10.0.0.1");
    QTest::mouseClick(ui->button("pb_setbox"), Qt::LeftButton);
    EXPECT_EQ(modal.warningLines(), QStringList({"error|IP/Mask/Gateway mismatch, please modify and try again"}));
    modal.clear();
    gateway->setProperty("ip", "127.0.0.1");
    QTest::mouseClick(ui->button("pb_setbox"), Qt::LeftButton);
    EXPECT_TRUE(modal.warnings.empty());
    ASSERT_TRUE(wait_until([&] { return ui->listed().isEmpty(); })) << "the reply empties the list";
    EXPECT_EQ(commandsSoFar(), (std::vector<std::string>{"LSNET:127.0.0.2 255.255.255.0 127.0.0.1"}));

    // Through the ping seam: an address nobody answers is sent, unless it holds "192.168.158".
    QStringList pinged;
    page->setPingFunction([&](const QString &a, int timeout) {
        pinged << QString("%1/%2").arg(a).arg(timeout);
        return false;
    });
    ip->setProperty("ip", "10.1.2.3");
    ui->get("mask")->setProperty("ip", "255.255.255.0");
    gateway->setProperty("ip", "10.1.2.1");
    QTest::mouseClick(ui->button("pb_setbox"), Qt::LeftButton);
    ip->setProperty("ip", "192.168.158.7");
    gateway->setProperty("ip", "192.168.158.1");
    QTest::mouseClick(ui->button("pb_setbox"), Qt::LeftButton);
    EXPECT_EQ(pinged, QStringList({"10.1.2.3/1", "192.168.158.7/1"}));
    EXPECT_EQ(modal.warningLines(),
              QStringList({"error|This IP is an internal IP or is occupied. Please choose another IP"}));
    EXPECT_EQ(commandsSoFar(), (std::vector<std::string>{"LSNET:10.1.2.3 255.255.255.0 10.1.2.1"}));
}

TEST_F(ConfiguratorTest, SystemPingAnswersForLoopbackOnly)
{
    EXPECT_TRUE(page->pingtest("127.0.0.5", 1));
    EXPECT_FALSE(page->pingtest("-c", 1)) << "never handed to ping as an option";
    EXPECT_FALSE(page->pingtest("", 1));
}

TEST_F(ConfiguratorTest, MacAndSerialNumberWriteTheHistoryBeforeAndAfterTheReply)
{
    selectFakeBox();
    QTest::mouseClick(ui->button("pb_details"), Qt::LeftButton);
    const QString history = page->historyPath();
    EXPECT_EQ(history, QString::fromStdString(testsupport::temp_dir()) + "/QuorvelViewLog.txt");
    QFile::remove(history);
    const QString at = timeText("yyyy-MM-dd hh:mm:ss");

    auto *mac = ui->get<QLineEdit>("le_macValue");
    mac->setText("aa:bb:cc:dd:ee:0f");
    QTest::mouseClick(ui->button("pb_macSet"), Qt::LeftButton);
    EXPECT_EQ(file_lines(history), QStringList({at + " MAC set aa:bb:cc:dd:ee:0f "}))
        << "written when the command is sent";
    ASSERT_TRUE(wait_until([&] { return !modal.warnings.empty(); }));
    EXPECT_EQ(modal.warningLines(), QStringList({"warm|MAC set ok!"}));
    EXPECT_EQ(file_lines(history), QStringList({at + " MAC set aa:bb:cc:dd:ee:0f ", "MAC set ok"}));
    EXPECT_EQ(commandsSoFar(), (std::vector<std::string>{"LSMAC:aa:bb:cc:dd:ee:0fH"}));

    // A refusal: the sending line only.
    modal.clear();
    setBoxOverride([](const std::string &t) -> std::optional<std::vector<std::string>> {
        if (t.rfind("LSMAC:", 0) == 0)
            return std::vector<std::string>{"LSMAC:NG"};
        return std::nullopt;
    });
    QTest::mouseClick(ui->button("pb_macSet"), Qt::LeftButton);
    ASSERT_TRUE(wait_until([&] { return !modal.warnings.empty(); }));
    EXPECT_EQ(modal.warningLines(), QStringList({"error|LSMAC:NG"}));
    EXPECT_EQ(file_lines(history).size(), 3u);
    EXPECT_EQ(file_lines(history).last(), at + " MAC set aa:bb:cc:dd:ee:0f ");

    // A malformed MAC is not sent.
    modal.clear();
    fake.clear();
    for (const char *bad : {"aa:bb:cc:dd:ee", "aa-bb-cc-dd-ee-ff", "aa:bb:cc:dd:ee:gg", "aa:bb:cc:dd:ee:ff:"}) {
        mac->setText(bad);
        QTest::mouseClick(ui->button("pb_macSet"), Qt::LeftButton);
    }
    EXPECT_EQ(modal.warningLines().size(), 4);
    EXPECT_EQ(modal.warningLines().first(), "error|MAC address format error!");
    EXPECT_TRUE(commandsSoFar().empty());
    EXPECT_EQ(file_lines(history).size(), 3u);

    // The serial number: its row is hidden, its slots work all the same.
    modal.clear();
    ui->get<QLineEdit>("le_snValue")->setText("QV 77");
    ui->button("pb_snSet")->click();
    ASSERT_TRUE(wait_until([&] { return !modal.warnings.empty(); }));
    EXPECT_EQ(modal.warningLines(), QStringList({"warm|SN set ok"}));
    EXPECT_EQ(file_lines(history).mid(3), QStringList({at + " SN set QV 77 ", "SN set ok"}));
    EXPECT_EQ(commandsSoFar(), (std::vector<std::string>{"LQUUID:QV 77H"}));
    ui->get<QLineEdit>("le_snValue")->clear();
    ui->button("pb_snGet")->click();
    ASSERT_TRUE(wait_until([&] { return ui->text("le_snValue") == "QV 77"; }));

    // "历史记录" opens the file.
    QTest::mouseClick(ui->button("pb_history"), Qt::LeftButton);
    ASSERT_EQ(modal.openedUrls.size(), 1u);
    EXPECT_EQ(modal.openedUrls[0], QUrl::fromLocalFile(history));
}

TEST_F(ConfiguratorTest, HistoryMissingOrPlantedAsALink)
{
    selectFakeBox();
    QTest::mouseClick(ui->button("pb_details"), Qt::LeftButton);
    const std::string history = page->historyPath().toStdString();
    fs::remove(history);
    QTest::mouseClick(ui->button("pb_history"), Qt::LeftButton);
    EXPECT_EQ(modal.warningLines(),
              QStringList({"error|No available history files, please modify your Mac and try again!"}));
    EXPECT_TRUE(modal.openedUrls.empty());

    // Another user plants a link in the shared temp folder: the history never writes through it.
    const std::string victim = testsupport::make_temp_subdir("victim") + "/precious";
    std::ofstream(victim) << "keep";
    fs::create_symlink(victim, history);
    ui->get<QLineEdit>("le_macValue")->setText("00:11:22:33:44:55");
    QTest::mouseClick(ui->button("pb_macSet"), Qt::LeftButton);
    ASSERT_TRUE(wait_until([&] { return modal.warnings.size() == 2; }));
    EXPECT_EQ(modal.warningLines().last(), "warm|MAC set ok!");
    EXPECT_TRUE(fs::is_symlink(history));
    EXPECT_EQ(testsupport::read_file(victim).size(), 4u);
    fs::remove(history);
}

class ConfiguratorFirmware : public ConfiguratorTest {
protected:
    QString storedPath() const
    {
        return QString::fromStdString(IniSettings::instance()->get_value("Standard", "UpgradePath", "", "main_ini"));
    }

    BoxFirmwareTarget target{1536, "box-fw.bin"};
    FakeIapDevice &device = target.device;
    const QString image_path = QString::fromStdString(target.path);
};

TEST_F(ConfiguratorFirmware, ChosenImageGoesToTheSelectedBoxAndTheWindowResets)
{
    selectFakeBox();
    QTest::mouseClick(ui->button("pb_details"), Qt::LeftButton);

    // Choosing: cancelled, then a file.
    ui->get<QLineEdit>("le_boxupgrade")->setText("old.bin");
    QTest::mouseClick(ui->button("pb_choose"), Qt::LeftButton);
    EXPECT_EQ(ui->text("le_boxupgrade"), "old.bin");
    modal.chooserAnswers.push_back(image_path);
    QTest::mouseClick(ui->button("pb_choose"), Qt::LeftButton);
    EXPECT_EQ(ui->text("le_boxupgrade"), image_path);
    ASSERT_EQ(modal.chooserRequests.size(), 2u);
    EXPECT_EQ(modal.chooserRequests[0].caption, "Open File");
    EXPECT_EQ(modal.chooserRequests[0].filter, "box firmware file (*.bin)");
    EXPECT_EQ(modal.chooserRequests[0].dir, QDir::homePath()) << "no folder in the field";
    EXPECT_EQ(modal.chooserRequests[0].parent, page);
    // The next starts where that file was chosen; with the field empty, where the last one sent
    // to a box lies.
    QTest::mouseClick(ui->button("pb_choose"), Qt::LeftButton); // cancelled
    const QString folder = QFileInfo(image_path).absolutePath();
    EXPECT_EQ(modal.chooserRequests.back().dir, folder);
    ui->get<QLineEdit>("le_boxupgrade")->clear();
    IniSettings::instance()->set_value("Standard", "UpgradePath", image_path.toStdString(), "main_ini");
    QTest::mouseClick(ui->button("pb_choose"), Qt::LeftButton); // cancelled
    EXPECT_EQ(modal.chooserRequests.back().dir, folder);
    ui->get<QLineEdit>("le_boxupgrade")->setText(image_path);

    QTest::mouseClick(ui->button("pb_upgrade"), Qt::LeftButton);
    EXPECT_EQ(storedPath(), image_path);
    ASSERT_TRUE(wait_until([&] { return !modal.warnings.empty(); }, 15000));
    EXPECT_EQ(modal.warningLines(), QStringList({"warm|firmware upgrade OK!"}));
    ASSERT_TRUE(device.wait_for(6, 5000)) << "the end message is not answered: it may still be on its way";
    const auto msgs = device.messages();
    ASSERT_EQ(msgs.size(), 6u) << "erase, three chunks, write, end";
    EXPECT_EQ(msgs.front().word0, OP_FLASH_ERASE);
    EXPECT_EQ(msgs.back().word0, OP_UPGRADE_END);

    // Reset as by "刷新".
    EXPECT_TRUE(ui->listed().isEmpty());
    EXPECT_TRUE(ui->statusRows().empty());
    EXPECT_EQ(ui->ip("ip"), "...");
    ui->button("pb_version")->click();
    EXPECT_EQ(modal.warningLines().last(), "error|Please select the specified IP box first!");

    // The next window shows the stored path.
    Page_Box again;
    EXPECT_EQ(WindowProbe(&again).text("le_boxupgrade"), image_path);
}

TEST_F(ConfiguratorFirmware, RefusedRequestsSendNothing)
{
    selectFakeBox();
    QTest::mouseClick(ui->button("pb_details"), Qt::LeftButton);
    auto *path = ui->get<QLineEdit>("le_boxupgrade");

    path->setText("/nonexistent/box.bin");
    QTest::mouseClick(ui->button("pb_upgrade"), Qt::LeftButton);
    EXPECT_EQ(modal.warningLines(), QStringList({"error|filename:/nonexistent/box.bin is not exist!"}));
    EXPECT_NE(storedPath(), "/nonexistent/box.bin");
    EXPECT_FALSE(page->proc()->upgradePending());

    // A second request while a transfer runs is refused; the box here never answers.
    target.set_timing(150, 50);
    device.set_policy(FakeIapDevice::silent());
    modal.clear();
    path->setText(image_path);
    QTest::mouseClick(ui->button("pb_upgrade"), Qt::LeftButton);
    QTest::mouseClick(ui->button("pb_upgrade"), Qt::LeftButton);
    EXPECT_EQ(modal.warningLines(),
              QStringList({"error|A firmware upgrade is in progress, please wait until it ends!"}));
    ASSERT_TRUE(wait_until([&] { return modal.warnings.size() == 2; }, 15000));
    EXPECT_EQ(modal.warningLines().last(), "warm|firmware upgrade NG!");
    device.peer().clear_received();

    // After "刷新" (and the reset that follows a result) the address field is empty.
    modal.clear();
    QTest::mouseClick(ui->button("pb_del"), Qt::LeftButton);
    QTest::mouseClick(ui->button("pb_upgrade"), Qt::LeftButton);
    EXPECT_EQ(modal.warningLines(), QStringList({"error|Please select the specified IP box first!"}));
    EXPECT_EQ(storedPath(), image_path) << "the path is kept all the same";
    EXPECT_FALSE(page->proc()->upgradePending());
}
