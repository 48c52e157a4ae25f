// The free-text command window against a fake Vimo-E on 127.0.0.2: what it sends, the rows it
// lists, the refused address command, a silent sensor, and its own socket.

#include "page_admin.h"

#include "fakepeer.h"
#include "fakevimo.h"
#include "lhframe.h"
#include "pagetest.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardItemModel>
#include <QTableView>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

using pagetest::child;

namespace {

const QRegularExpression kTime("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}$");

QString cell(const Page_Admin &w, int row, int col)
{
    const QStandardItem *i = w.model()->item(row, col);
    return i != nullptr ? i->text() : QString();
}

void send(Page_Admin &w, const QString &cmd, int pack_row)
{
    child<QComboBox>(&w, "cb_pack")->setCurrentIndex(pack_row);
    child<QLineEdit>(&w, "le_cmd")->setText(cmd);
    child<QPushButton>(&w, "pb_send")->click();
}

// The text of a command frame the fake received, and its command word.
std::pair<std::string, uint16_t> command_of(const Datagram &d)
{
    const auto &b = d.bytes;
    return {std::string(b.begin() + 8, b.begin() + 8 + rd_u16(&b[6])), rd_u16(&b[2])};
}

// Opens what the first window of a process opens lazily (the X connection, fonts, the event
// loop's pipes), so that a test that plays with descriptors sees only the window's socket.
void warm_up_gui()
{
    Page_Admin w;
    w.show();
    QApplication::processEvents();
}

bool is_udp_socket(int fd)
{
    int type = 0;
    socklen_t len = sizeof(type);
    return ::getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &len) == 0 && type == SOCK_DGRAM;
}

} // namespace

TEST(CommandWindow, FormAndHistoryModel)
{
    Page_Admin w;
    EXPECT_EQ(w.objectName(), "Page_Admin");
    EXPECT_EQ(w.windowTitle(), "Form");
    EXPECT_EQ(w.size(), QSize(713, 540));
    auto *pack = child<QComboBox>(&w, "cb_pack");
    ASSERT_EQ(pack->count(), 2);
    EXPECT_EQ(pack->itemText(0), "C_PACK");
    EXPECT_EQ(pack->itemData(0).toInt(), 67);
    EXPECT_EQ(pack->itemText(1), "S_PACK");
    EXPECT_EQ(pack->itemData(1).toInt(), 83);
    auto *view = child<QTableView>(&w, "tableView");
    EXPECT_EQ(view->model(), w.model());
    ASSERT_EQ(w.model()->columnCount(), 3);
    EXPECT_EQ(w.model()->headerData(0, Qt::Horizontal).toString(), "TIME");
    EXPECT_EQ(w.model()->headerData(1, Qt::Horizontal).toString(), "CMD");
    EXPECT_EQ(w.model()->headerData(2, Qt::Horizontal).toString(), "RETURN");
    EXPECT_EQ(w.model()->rowCount(), 0);
    EXPECT_TRUE(view->wordWrap());
    EXPECT_TRUE(view->verticalHeader()->isHidden());
    EXPECT_EQ(view->horizontalHeader()->sectionResizeMode(0), QHeaderView::Stretch);
    EXPECT_EQ(view->horizontalHeader()->styleSheet(),
              "QHeaderView::section {background-color: rgb(209, 208, 224);color: rgb(27, 20, 100);}");

    w.appendReply("by hand");
    ASSERT_EQ(w.model()->rowCount(), 1);
    EXPECT_EQ(cell(w, 0, 2), "by hand");
    EXPECT_TRUE(kTime.match(cell(w, 0, 0)).hasMatch());
    EXPECT_EQ(cell(w, 0, 1), "");
}

TEST(CommandWindow, CommandsAndRepliesTakeTwoRowsEach)
{
    FakeVimo fake;
    ASSERT_TRUE(fake.ok());
    fake.set_text_handler([](const std::string &cmd, uint16_t pack) -> std::string {
        if (cmd == "LLSADCH")
            return "CPUTmp:452,MotorTmp:401"; // 23 bytes: padded with one zero
        if (cmd == "LONG")
            return std::string(1100, 'r');   // more than the window takes
        if (cmd == "EXACT")
            return "ABCD";                   // a multiple of 4: no zero behind it
        return pack == S_PACK ? "set ok" : "OK";
    });
    Page_Admin w;
    w.setIP(QString::fromStdString(fake.ip()));
    w.setPort(fake.port());
    w.setLidarType(3);

    send(w, "LSTARH", 0);
    send(w, "LSPTP:1H", 1);
    send(w, "LLSADCH", 0);
    send(w, "EXACT", 1);
    send(w, "LONG", 1);
    ASSERT_EQ(w.model()->rowCount(), 10);
    const QStringList cmds = {"LSTARH/C_PACK", "LSPTP:1H/S_PACK", "LLSADCH/C_PACK", "EXACT/S_PACK",
                              "LONG/S_PACK"};
    const QStringList replies = {"OK", "set ok", "CPUTmp:452,MotorTmp:401", "ABCD",
                                 QString(1024, 'r')};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(cell(w, 2 * i, 1), cmds[i]);
        EXPECT_EQ(cell(w, 2 * i, 2), "");
        EXPECT_TRUE(kTime.match(cell(w, 2 * i, 0)).hasMatch()) << cell(w, 2 * i, 0).toStdString();
        EXPECT_EQ(cell(w, 2 * i + 1, 1), "");
        EXPECT_EQ(cell(w, 2 * i + 1, 2), replies[i]);
        EXPECT_TRUE(kTime.match(cell(w, 2 * i + 1, 0)).hasMatch());
    }

    // What went out: the pack as the command word, the text padded to a multiple of 4.
    const auto got = fake.peer().received();
    ASSERT_EQ(got.size(), 5u);
    EXPECT_EQ(command_of(got[0]), std::make_pair(std::string("LSTARH\0\0", 8), uint16_t(C_PACK)));
    EXPECT_EQ(got[0].bytes.size(), 20u) << "6 characters go out as an 8-byte payload";
    EXPECT_EQ(command_of(got[1]), std::make_pair(std::string("LSPTP:1H"), uint16_t(S_PACK)));
    EXPECT_EQ(got[1].bytes.size(), 20u);
    EXPECT_EQ(got[1].from_ip, "127.0.0.1");
}

TEST(CommandWindow, TextLengthIsCountedInBytes)
{
    FakeVimo fake;
    ASSERT_TRUE(fake.ok());
    std::string seen;
    fake.set_text_handler([&](const std::string &cmd, uint16_t) {
        seen = cmd;
        return std::string("OK");
    });
    Page_Admin w;
    w.setIP(QString::fromStdString(fake.ip()));
    w.setPort(fake.port());
    // Two characters, six bytes in the program's 8-bit encoding.
    send(w, QString::fromUtf8("温度"), 0);
    ASSERT_EQ(fake.peer().received_count(), 1u);
    const std::vector<uint8_t> b = fake.peer().received()[0].bytes;
    EXPECT_EQ(rd_u16(&b[6]), 8);
    EXPECT_EQ(seen, "温度");
    EXPECT_EQ(cell(w, 1, 2), "OK");
}

TEST(CommandWindow, AddressCommandIsRefusedAndNotSent)
{
    FakeVimo fake;
    ASSERT_TRUE(fake.ok());
    Page_Admin w;
    w.setIP(QString::fromStdString(fake.ip()));
    w.setPort(fake.port());
    send(w, "LSUDP:192.168.001.010 255.255.255.000 192.168.001.001 02368H", 1);
    ASSERT_EQ(w.model()->rowCount(), 1) << "no reply row";
    EXPECT_EQ(cell(w, 0, 1), "LSUDP is disabled");
    send(w, "xLSUDPx", 0);
    EXPECT_EQ(w.model()->rowCount(), 2);
    // Only "LSUDP" in capitals is refused; the next command is the first thing the fake sees.
    send(w, "lsudp", 0);
    ASSERT_EQ(w.model()->rowCount(), 4);
    EXPECT_EQ(cell(w, 3, 2), "OK");
    ASSERT_EQ(fake.peer().received_count(), 1u);
    EXPECT_EQ(command_of(fake.peer().received()[0]).first, std::string("lsudp\0\0\0", 8));
}

TEST(CommandWindow, SilentSensorGivesNoResponse)
{
    // A peer that records but never answers; a stranger's datagrams do not end the wait.
    FakePeer silent("127.0.0.3");
    ASSERT_TRUE(silent.ok());
    silent.start();
    Page_Admin w;
    w.setIP("127.0.0.3");
    w.setPort(silent.port());
    send(w, "LSTARH", 0);
    ASSERT_EQ(w.model()->rowCount(), 2);
    EXPECT_EQ(cell(w, 1, 2), "no response");
    EXPECT_EQ(silent.received_count(), 1u);
    silent.stop();
}

TEST(CommandWindow, DescriptorZeroIsAWorkingSocket)
{
    FakeVimo fake;
    ASSERT_TRUE(fake.ok());
    warm_up_gui();
    // The test runner may start us with descriptor 0 open or closed.
    const int saved = ::fcntl(0, F_GETFD) != -1 ? ::dup(0) : -1;
    ::close(0);
    {
        Page_Admin w; // the lowest free descriptor: 0
        ASSERT_TRUE(is_udp_socket(0));
        w.setIP(QString::fromStdString(fake.ip()));
        w.setPort(fake.port());
        send(w, "LSTOPH", 0);
        EXPECT_EQ(cell(w, 1, 2), "OK");
    }
    EXPECT_EQ(::fcntl(0, F_GETFD), -1) << "the window closes its socket, also descriptor 0";
    if (saved >= 0) {
        ASSERT_EQ(::dup2(saved, 0), 0);
        ::close(saved);
    }
}

TEST(CommandWindow, WithoutASocketEveryCommandHasNoResponse)
{
    FakeVimo fake;
    ASSERT_TRUE(fake.ok());
    warm_up_gui();
    // No descriptor left: the window's socket cannot be created.
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &old), 0);
    int highest = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(highest, 0);
    ::close(highest);
    rlimit tight = old;
    tight.rlim_cur = rlim_t(highest);
    std::vector<int> filler;
    for (int fd = 0; fd < highest; ++fd)
        if (::fcntl(fd, F_GETFD) == -1)
            filler.push_back(::open("/dev/null", O_RDONLY));
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &tight), 0);
    auto *w = new Page_Admin;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &old), 0);
    for (int fd : filler)
        ::close(fd);

    w->setIP(QString::fromStdString(fake.ip()));
    w->setPort(fake.port());
    send(*w, "LSTARH", 0);
    EXPECT_EQ(cell(*w, 1, 2), "no response");
    EXPECT_EQ(fake.peer().received_count(), 0u);
    delete w;
}
