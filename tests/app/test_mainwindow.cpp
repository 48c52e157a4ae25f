// The main window: its form, actions, menus and groups as it starts; the dispatcher's lines
// and follow-ups for every message type; the message log; the stop message; the tool actions;
// and a fake sensor's heartbeats through the window's own listener.

#include "mainwindow.h"

#include "algorithmbox.h"
#include "algorithmboxproc.h"
#include "appsettings.h"
#include "component_logoperate.h"
#include "dialog_alldata.h"
#include "dialog_connect.h"
#include "dialog_parsedata.h"
#include "fixpointstore.h"
#include "fakeheartbeat.h"
#include "inisettings.h"
#include "lhframe.h"
#include "mainwindowaccess.h"
#include "modalrecorder.h"
#include "page_box.h"
#include "page_box_v0.h"
#include "page_drawzone.h"
#include "page_hoby_u.h"
#include "page_raxo_e.h"
#include "page_vimo_e.h"
#include "graphics_item_data.h"
#include "pointcloudanomalydetector.h"
#include "pointcloudui.h"
#include "receiverprobe.h"
#include "recvboxdataproc.h"
#include "recvdataproc.h"
#include "testsupport.h"
#include "widgettexts.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QTableView>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTest>

#include "qtrygtest.h"
#include <QToolBar>
#include <QVTKOpenGLNativeWidget.h>

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <fstream>
#include <memory>

namespace {

const char kDoc[] = "main_ini";

QByteArray bytes(const std::vector<uint8_t> &v)
{
    return QByteArray(reinterpret_cast<const char *>(v.data()), int(v.size()));
}

// A whole LhSumFrame reply of `type` with `payload`.
QByteArray sumReply(uint16_t type, const QByteArray &payload)
{
    return bytes(lh_make_sum_frame(0, 0x1234, type, payload.constData(), size_t(payload.size())));
}

QByteArray u32s(std::initializer_list<uint32_t> values)
{
    QByteArray out;
    for (uint32_t v : values) {
        uint8_t b[4];
        wr_u32(b, v);
        out.append(reinterpret_cast<const char *>(b), 4);
    }
    return out;
}

// The boxes a configurator window lists.
QStringList listedBoxes(const Page_Box *page)
{
    QStringList out;
    const auto *list = page->findChild<QListWidget *>("listWidget");
    for (int i = 0; list != nullptr && i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        load_test_settings();
        w = std::make_unique<MainWindow>();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        a = std::make_unique<MainWindowTestAccess>(*w);
        a->redrawFlag() = false;
    }
    void TearDown() override
    {
        a.reset();
        w.reset();
    }
    // Log lines added since the last call, without their time stamps.
    QStringList newLines()
    {
        const QStringList all = a->logLines();
        const QStringList fresh = all.mid(seen_);
        seen_ = all.size();
        return fresh;
    }

    testsupport::ModalRecorder modal;
    std::unique_ptr<MainWindow> w;
    std::unique_ptr<MainWindowTestAccess> a;
    int seen_ = 1; // the log starts with one empty row
};

// A click on a radio button's indicator: its label may be narrower than the button.
void clickRadio(QAbstractButton *b)
{
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
}

QStringList actionTips(const QToolBar *bar)
{
    QStringList out;
    for (const QAction *act : bar->actions())
        out << act->toolTip();
    return out;
}

QStringList entries(const QMenu *menu)
{
    QStringList out;
    for (const QAction *act : menu->actions())
        out << (act->menu() != nullptr ? act->menu()->objectName() + ":" + act->text()
                                       : act->objectName() + ":" + act->text());
    return out;
}

} // namespace

// ---- start-up ----

TEST_F(MainWindowTest, FormAndInitialState)
{
    for (const char *name :
         {"centralwidget", "gridLayout", "frame_log", "verticalLayout", "horizontalLayout_2", "label", "pb_clean",
          "logList", "frame_func", "horizontalLayout_4", "horizontalLayout_func", "frame_view", "horizontalLayout_5",
          "horizontalLayout_view", "stackedWidget", "page_3", "horizontalLayout", "openGLWidget", "page_2d",
          "stackedWidget_2", "page_fenku", "page_raxo_e", "page_vimo_e", "page_spandata", "page_parse_data",
          "page_box_v0", "label_2", "menubar", "statusbar"})
        EXPECT_NE(w->findChild<QObject *>(name), nullptr) << name;
    EXPECT_EQ(w->objectName(), "MainWindow");
    EXPECT_EQ(w->windowTitle(), "MainWindow");
    EXPECT_NE(a->find<QVTKOpenGLNativeWidget>("openGLWidget")->renderWindow(), nullptr);

    auto *stack = a->find<QStackedWidget>("stackedWidget");
    auto *side = a->find<QStackedWidget>("stackedWidget_2");
    EXPECT_EQ(stack->currentIndex(), 0) << "the 3D view";
    EXPECT_EQ(qobject_cast<PointCloudUI *>(stack->widget(1)), a->find<PointCloudUI>("page_2d"));
    EXPECT_EQ(side->currentIndex(), 3) << "the point table";
    EXPECT_NE(qobject_cast<Page_Hoby_U *>(side->widget(0)), nullptr);
    EXPECT_NE(qobject_cast<Page_Raxo_E *>(side->widget(1)), nullptr);
    EXPECT_NE(qobject_cast<Page_Vimo_E *>(side->widget(2)), nullptr);
    EXPECT_NE(qobject_cast<Dialog_AllData *>(side->widget(3)), nullptr);
    EXPECT_NE(qobject_cast<Dialog_ParseData *>(side->widget(4)), nullptr);
    EXPECT_NE(qobject_cast<Page_Box_V0 *>(side->widget(5)), nullptr);
    EXPECT_EQ(a->find<PointCloudUI>("page_2d")->drawZone(), a->find<Page_Raxo_E>("page_raxo_e")->getDrawZone());
    EXPECT_EQ(a->find<PointCloudUI>("page_2d")->radarItem()->background(), QColor(0, 0, 0));

    EXPECT_FALSE(a->find<QFrame>("frame_view")->isVisibleTo(w.get()));
    EXPECT_FALSE(a->find<QFrame>("frame_func")->isVisibleTo(w.get()));
    EXPECT_TRUE(w->viewGroup()->button(0)->isChecked());
    EXPECT_TRUE(w->propertyGroup()->button(0)->isChecked());
    QStringList propertyTexts;
    for (int id = 0; id < 6; ++id) {
        propertyTexts << w->propertyGroup()->button(id)->text();
        EXPECT_FALSE(w->propertyGroup()->button(id)->isVisibleTo(w.get())) << id;
    }
    EXPECT_EQ(propertyTexts, QStringList({"Fenk-U property", "Raxo-E property", "Vimo-E property", "Points data",
                                          "Parse data", "alarm zone property"}));
    EXPECT_EQ(w->viewGroup()->button(0)->text(), "3D view");
    EXPECT_EQ(w->viewGroup()->button(1)->text(), "2D view");

    ASSERT_EQ(a->log()->count(), 1);
    EXPECT_EQ(a->log()->item(0)->text(), "");
    EXPECT_EQ(a->log()->verticalScrollMode(), QAbstractItemView::ScrollPerPixel);
    EXPECT_TRUE(a->displayPaused());
    EXPECT_EQ(a->currentModel(), LIDAR_UNKNOWN);
    EXPECT_EQ(a->scene().framesKept(), 10);
    EXPECT_TRUE(a->showObjects());

    // The view toolbar on the left, the playback toolbar at the top.
    auto *bar = a->find<QToolBar>("toolBar");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(w->toolBarArea(bar), Qt::LeftToolBarArea);
    EXPECT_EQ(w->toolBarArea(a->logOperate()), Qt::TopToolBarArea);
    EXPECT_EQ(actionTips(bar),
              QStringList({"Z Top", "Z Bottom", "Z Front", "Z Back", "Z Left", "Z Right", "rotate x", "rotate y",
                           "rotate z", "Coodinate show/hide", "grid", " no filter part hide",
                           "Circling the point cloud: After clicking, left mouse button (first point) and then right "
                           "mouse button (second point) in the image, the circling is finished.",
                           "Zoom in", "Zoom in", "center", "intensity maps color by min-max"}));
    QStringList checkable, checked;
    for (const QAction *act : bar->actions()) {
        EXPECT_FALSE(act->icon().isNull()) << act->toolTip().toStdString();
        if (act->isCheckable())
            checkable << act->objectName();
        if (act->isChecked())
            checked << act->objectName();
    }
    EXPECT_EQ(checkable, QStringList({"actionCoodinate", "actionGrid", "actionPartHide", "actionCircle",
                                      "actionColorful"}));
    EXPECT_EQ(checked, QStringList({"actionCoodinate", "actionGrid"}));

    // Menus, left to right, with the language submenu first in "tool".
    QStringList menus;
    for (const QAction *act : a->find<QMenuBar>("menubar")->actions())
        menus << act->menu()->objectName() + ":" + act->text();
    EXPECT_EQ(menus, QStringList({"menu_connect_type:data source", "menu_tool:tool", "menu_help:help"}));
    EXPECT_EQ(entries(a->find<QMenu>("menu_connect_type")),
              QStringList({"actionFenk_U:Fenk-U", "actionRaxo_E:Raxo-E", "actionRaxo_S:Raxo-S", "actionVimo_E:Vimo-E",
                           "actionAlgorithmBox:Algorithm Box", "actionPlayBack:playback file"}));
    EXPECT_EQ(entries(a->find<QMenu>("menu_tool")),
              QStringList({"menu_language:language", "actionBGColor:backgroud color", "action_Config:log config",
                           "action_BigScreen:big screen", "action_FixPointEdit:fix point edit",
                           "action_Train:model train", "action_voxel_set:voxel filter setting",
                           "action_voxel_reset:voxel filter reset"}));
    EXPECT_EQ(entries(a->find<QMenu>("menu_language")), QStringList({"action_CN:CN", "action_EN:EN"}));
    EXPECT_EQ(entries(a->find<QMenu>("menu_help")), QStringList({"actionabout:about"}));
}

TEST_F(MainWindowTest, ViewAndPropertySwitches)
{
    a->find<QFrame>("frame_view")->show();
    // Lay the shown buttons out before clicking them.
    QCoreApplication::processEvents();
    auto *bar = a->find<QToolBar>("toolBar");
    auto disabled = [bar] {
        QStringList out;
        for (const QAction *act : bar->actions())
            if (!act->isEnabled())
                out << act->objectName();
        return out;
    };
    clickRadio(w->viewGroup()->button(1));
    EXPECT_EQ(a->find<QStackedWidget>("stackedWidget")->currentIndex(), 1);
    EXPECT_TRUE(w->viewGroup()->button(1)->isChecked());
    EXPECT_EQ(disabled(), QStringList({"actionUp", "actionBottom", "actionFront", "actionBack", "actionLeft",
                                       "actionRight", "actionCoodinate", "actionCircle"}));
    clickRadio(w->viewGroup()->button(0));
    EXPECT_EQ(a->find<QStackedWidget>("stackedWidget")->currentIndex(), 0);
    EXPECT_TRUE(disabled().isEmpty());

    // "Points data" redraws at the next tick, which also writes what was queued.
    a->find<QFrame>("frame_func")->show();
    for (QAbstractButton *b : w->propertyGroup()->buttons())
        b->show();
    QCoreApplication::processEvents();
    clickRadio(w->propertyGroup()->button(4));
    EXPECT_EQ(a->find<QStackedWidget>("stackedWidget_2")->currentIndex(), 4);
    EXPECT_FALSE(a->redrawFlag());
    clickRadio(w->propertyGroup()->button(3));
    EXPECT_EQ(a->find<QStackedWidget>("stackedWidget_2")->currentIndex(), 3);
    EXPECT_TRUE(w->propertyGroup()->button(3)->isChecked());
    EXPECT_TRUE(a->redrawFlag());
    a->tick();
    EXPECT_FALSE(a->redrawFlag());
}

// "Color" gives the 2D background only as three channels of 0 to 255.
TEST(MainWindowColour, StoredBackground)
{
    load_test_settings();
    struct Case {
        const char *stored;
        QColor expected;
    } cases[] = {{"10|20|30", QColor(10, 20, 30)}, {"10|20", QColor(0, 0, 0)}, {"a|b|c", QColor(0, 0, 0)},
                 {"10|300|30", QColor(0, 0, 0)}};
    for (const Case &c : cases) {
        IniSettings::instance()->set_value("Standard", "Color", c.stored, kDoc);
        MainWindow w;
        EXPECT_EQ(w.findChild<PointCloudUI *>("page_2d")->radarItem()->background(), c.expected) << c.stored;
    }
    IniSettings::instance()->set_value("Standard", "Color", "0|0|0", kDoc);
}

// With the English translation nothing of the window, its menus or the dialogs it runs shows
// Chinese; with the Chinese one the form's captions and the menus are Chinese.
TEST(MainWindowLanguage, EnglishAndChinese)
{
    load_test_settings();
    auto collect = [](MainWindow &w) {
        testsupport::ModalRecorder modal;
        QStringList texts = testsupport::visible_texts(&w);
        modal.dialogAction = [&texts](QDialog *d) {
            texts << testsupport::visible_texts(d);
            return 0;
        };
        for (const char *entry : {"action_Config", "actionabout", "action_FixPointEdit", "action_Train"})
            w.findChild<QAction *>(entry)->trigger();
        MainWindowTestAccess a(w);
        texts << testsupport::visible_texts(a.connectDialog());
        return texts;
    };
    {
        testsupport::ScopedTranslation en("English");
        ASSERT_TRUE(en.loaded());
        MainWindow w;
        const QStringList texts = collect(w);
        EXPECT_TRUE(texts.contains("pb_clean: Clear")) << texts.join("\n").toStdString();
        EXPECT_EQ(testsupport::cjk_texts(texts), QStringList());
    }
    {
        testsupport::ScopedTranslation zh("Chinese");
        ASSERT_TRUE(zh.loaded());
        MainWindow w;
        const QStringList texts = collect(w);
        for (const char *expected : {"label: 日志信息", "pb_clean: 清空", "menu_connect_type: 数据源", "menu_tool: 工具",
                                     "action_Train: 模型训练", "pb_writelidar: 写入在线雷达",
                                     "menu_help: 帮助", "rb_view_0: 3D视图", "actionUp: Z 顶视图", "pb_connect: 连接"})
            EXPECT_TRUE(texts.contains(QString::fromUtf8(expected))) << expected;
        EXPECT_TRUE(w.findChild<QLabel *>("label_2")->text().startsWith(QString::fromUtf8("基本操作说明")));
    }
}

// The playback chooser names its file types in the window's language; the patterns stay.
TEST(MainWindowLanguage, PlaybackFileTypesInTheLanguage)
{
    load_test_settings();
    const QStringList patterns = {"(*.dump)", "(*.pcap)", "(*.pcapng)", "(*.las)", "(*.pcd)"};
    for (const char *language : {"English", "Chinese"}) {
        SCOPED_TRACE(language);
        testsupport::ScopedTranslation translation(language);
        ASSERT_TRUE(translation.loaded());
        testsupport::ModalRecorder modal;
        MainWindow w;
        w.findChild<QAction *>("actionPlayBack")->trigger(); // cancelled
        ASSERT_EQ(modal.chooserRequests.size(), 1u);
        const QStringList types = modal.chooserRequests[0].filter.split(";;");
        ASSERT_EQ(types.size(), patterns.size()) << modal.chooserRequests[0].filter.toStdString();
        for (int i = 0; i < types.size(); ++i) {
            EXPECT_TRUE(types[i].endsWith(patterns[i])) << types[i].toStdString();
            EXPECT_EQ(testsupport::has_cjk(types[i]), QString(language) == "Chinese") << types[i].toStdString();
        }
        if (QString(language) == "English")
            EXPECT_EQ(modal.chooserRequests[0].filter,
                      "custom format (*.dump);;wireshark data(*.pcap);;wireshark data (*.pcapng);;LAS data "
                      "(*.las);;PCL data (*.pcd)");
    }
}

// ---- the dispatcher ----

TEST_F(MainWindowTest, WorkerLinesAreQueuedUntilTheTick)
{
    const struct {
        int type;
        const char *title;
    } queued[] = {{1, "debug infomation"}, {2, "warm infomation"}, {3, "error infomation"}, {4, "run state"},
                  {8, "firmware motor upgrades"}, {9, "firmware mcu upgrades"}, {10, "detect zone  upgrades"},
                  {12, "model upgrades"}, {22, "log infomation"}};
    QStringList expected;
    for (const auto &q : queued) {
        w->recv_data(q.type, QByteArray("text of ") + QByteArray::number(q.type));
        expected << QString("[ %1 ] text of %2").arg(q.title).arg(q.type);
    }
    EXPECT_TRUE(a->redrawFlag()) << "a queued line asks for the next tick";
    EXPECT_TRUE(newLines().isEmpty());
    a->tick();
    EXPECT_EQ(newLines(), expected);
    EXPECT_EQ(a->queuedLines(), 0u);

    // The line's format: "[" date time "] " " [ " title " ] " text.
    const QString row = a->log()->item(a->log()->count() - 1)->text();
    EXPECT_TRUE(QRegularExpression(R"(^\[\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\]  \[ log infomation \] text of 22$)")
                    .match(row)
                    .hasMatch())
        << row.toStdString();

    // Types with no line, and types outside the table.
    for (int type : {0, 11, 13, 14, 15, 19, 23, 25, -1})
        w->recv_data(type, "ignored");
    a->tick();
    EXPECT_TRUE(newLines().isEmpty());
    EXPECT_FALSE(a->redrawFlag());
}

TEST_F(MainWindowTest, LogClearsPastAThousandRows)
{
    for (int i = 1; i < 1000; ++i)
        w->appendLog("t", QString::number(i));
    EXPECT_EQ(a->log()->count(), 1000) << "the empty first row counts";
    w->appendLog("t", "1000");
    EXPECT_EQ(a->log()->count(), 0) << "the line that makes it 1001 goes too";
    w->appendLog("t", "next");
    ASSERT_EQ(a->log()->count(), 1);
    EXPECT_TRUE(a->log()->item(0)->text().endsWith("[ t ] next"));
}

TEST_F(MainWindowTest, FenkReplies)
{
    a->currentModel() = LIDAR_FENK_U;
    a->displayPaused() = false;
    auto *table = a->find<Dialog_AllData>("page_spandata");
    auto *page = a->find<Page_Hoby_U>("page_fenku");

    // Parameters: the page gets the body, the point table the mask at reply byte 94.
    QByteArray body(129, '\0');
    body[82] = char(0x34);
    body[83] = char(0x00);
    a->session().notes() = {"start"};
    w->recv_data(MSG_CMD_INFO, sumReply(0x8007, body));
    EXPECT_EQ(newLines(), QStringList({"[ cmd infomation ] get lidar parameters  OK"}));
    EXPECT_EQ(page->dataType(), 0x34) << "the page read the body";
    EXPECT_EQ(table->dataType(), 0x34);
    EXPECT_EQ(a->session().notes(), QVector<QString>({"start"})) << "parameters name no note";
    // A body a byte short is no parameter record, though the sum byte after it would make up
    // the length.
    body.resize(128);
    body[82] = char(0x56);
    const QByteArray shortReply = sumReply(0x8007, body);
    ASSERT_NE(shortReply.back(), '\0');
    w->recv_data(MSG_CMD_INFO, shortReply);
    EXPECT_EQ(page->dataType(), 0x34) << "the page kept what it had";
    newLines();

    // A reply is matched by what was set (the set code carried with the note), never by the
    // words of the note, which the other language words differently.
    struct SetCase {
        const char *note;
        int key;
        uint32_t result;
        const char *line;
        bool stops;
    } sets[] = {
        {"start", -1, 0, "[ cmd infomation ] start SET OK", false},
        {"set lidar ip", FENK_SET_ADDRESS, 5, "[ cmd infomation ] set lidar ip SET NG  code:5", false},
        {"set data type", FENK_SET_DATA_TYPE, 0, "[ cmd infomation ] set data type SET OK", false},
        {"set lidar ip", -1, 0, "[ cmd infomation ] set lidar ip SET OK", false},
        {"设置地址", FENK_SET_ADDRESS, 0, "[ cmd infomation ] 设置地址 SET OK", true},
        {"set lidar ip", FENK_SET_ADDRESS, 0, "[ cmd infomation ] set lidar ip SET OK", true},
    };
    for (const SetCase &c : sets) {
        SCOPED_TRACE(c.note);
        a->displayPaused() = false;
        a->session().notes().clear();
        a->session().notes().append(c.note, c.key);
        a->session().notes().append("later", -1);
        w->recv_data(MSG_CMD_INFO, sumReply(0x8008, u32s({c.result})));
        EXPECT_EQ(newLines(), QStringList({c.line}));
        if (c.stops) {
            EXPECT_TRUE(a->session().notes().isEmpty()) << "the stop message empties the notes";
            EXPECT_TRUE(a->displayPaused());
        } else {
            EXPECT_EQ(a->session().notes(), QVector<QString>({"later"}));
            EXPECT_FALSE(a->displayPaused()) << "the session goes on";
        }
    }
    EXPECT_TRUE(modal.warnings.empty());

    // A result nobody asked for.
    a->session().notes().clear();
    w->recv_data(MSG_CMD_INFO, sumReply(0x8008, u32s({0})));
    EXPECT_EQ(modal.warningLines(), QStringList({"error|Multiple simultaneous connections to the host computer exist!"}));
    EXPECT_TRUE(newLines().isEmpty());

    // Other frame types are not Fenk-U replies.
    a->session().notes() = {"x"};
    w->recv_data(MSG_CMD_INFO, sumReply(0x8002, u32s({0})));
    EXPECT_TRUE(newLines().isEmpty());
    EXPECT_EQ(a->session().notes().size(), 1);
}

TEST_F(MainWindowTest, RaxoReplies)
{
    auto *page = a->find<Page_Raxo_E>("page_raxo_e");
    for (uint8_t model : {uint8_t(LIDAR_RAXO_E), uint8_t(LIDAR_RAXO_S)}) {
        SCOPED_TRACE(int(model));
        a->currentModel() = model;
        a->session().notes() = {"imu", "run", "alg", "counters", "set"};
        w->recv_data(MSG_CMD_INFO, sumReply(0x8000, QByteArray(4, '\1')));
        w->recv_data(MSG_CMD_INFO, sumReply(0x8001, QByteArray(608, '\0')));
        w->recv_data(MSG_CMD_INFO, sumReply(0x8005, QByteArray(1, '\1'))); // not "0": still SET OK
        w->recv_data(MSG_CMD_INFO, sumReply(0x8006, QByteArray(128, '\0')));
        w->recv_data(MSG_CMD_INFO, sumReply(0x8008, u32s({7, 9})));
        w->recv_data(MSG_CMD_INFO, sumReply(0x8002, u32s({3})));
        w->recv_data(MSG_CMD_INFO, sumReply(0x8007, QByteArray(129, '\0'))); // a Fenk-U type
        EXPECT_EQ(newLines(), QStringList({"[ Info ] IMU calibrate  OK", "[ Info ] get lidar parameters  OK",
                                           "[ Info ] run SET OK", "[ Info ] alg SET OK",
                                           "[ Info ] counters GET OK,timestamp:7 count:9",
                                           "[ Info ] set SET NG  code:3"}));
        EXPECT_TRUE(a->session().notes().isEmpty());
        // Both bodies reached the page: it shows the zero address and the block's zero counts.
        EXPECT_EQ(page->findChild<QLineEdit *>("le_ip")->text(), "0.0.0.0");
        EXPECT_EQ(page->findChild<QLineEdit *>("le_obj_min_num")->text(), "0");

        // Without a note: the counters and run state log nothing, a set result warns.
        w->recv_data(MSG_CMD_INFO, sumReply(0x8008, u32s({7, 9})));
        w->recv_data(MSG_CMD_INFO, sumReply(0x8005, QByteArray(1, '\0')));
        w->recv_data(MSG_CMD_INFO, sumReply(0x8002, u32s({0})));
        EXPECT_TRUE(newLines().isEmpty());
        EXPECT_EQ(modal.warningLines(),
                  QStringList({"error|Multiple simultaneous connections to the host computer exist!"}));
        modal.clear();
    }
}

// Replies too short for what their branch reads are dropped without reading past them.
TEST_F(MainWindowTest, ShortRepliesAreIgnored)
{
    auto cut = [](const QByteArray &whole, int n) { return whole.left(n); };
    struct Case {
        uint8_t model;
        QByteArray reply;
    } cases[] = {
        {LIDAR_FENK_U, QByteArray("LH\0\0\x34", 5)},
        {LIDAR_FENK_U, cut(sumReply(0x8007, QByteArray(129, '\0')), 95)},
        {LIDAR_FENK_U, cut(sumReply(0x8008, u32s({0})), 15)},
        {LIDAR_RAXO_E, cut(sumReply(0x8001, QByteArray(8, '\0')), 7)},
        {LIDAR_RAXO_E, cut(sumReply(0x8001, QByteArray(8, '\0')), 11)},
        {LIDAR_RAXO_E, cut(sumReply(0x8002, u32s({0})), 15)},
        {LIDAR_RAXO_S, cut(sumReply(0x8005, QByteArray(1, '\0')), 12)},
        {LIDAR_RAXO_S, cut(sumReply(0x8006, QByteArray(128, '\0')), 11)},
        {LIDAR_RAXO_S, cut(sumReply(0x8008, u32s({7, 9})), 19)},
        {LIDAR_RAXO_E, QByteArray()},
    };
    for (const Case &c : cases) {
        a->currentModel() = c.model;
        a->session().notes() = {"pending"};
        // A detached copy, so that a sanitizer sees any read past the reply.
        const QByteArray exact(c.reply.constData(), c.reply.size());
        w->recv_data(MSG_CMD_INFO, exact);
        EXPECT_TRUE(newLines().isEmpty()) << int(c.model) << " " << c.reply.size();
        EXPECT_EQ(a->session().notes().size(), 1);
    }
    EXPECT_TRUE(modal.warnings.empty());
}

TEST_F(MainWindowTest, TextReplies)
{
    for (uint8_t model : {uint8_t(LIDAR_VIMO_E), uint8_t(LIDAR_ALG_BOX)}) {
        SCOPED_TRACE(int(model));
        a->currentModel() = model;
        w->recv_data(MSG_CMD_INFO, "LSTART OK");
        EXPECT_TRUE(newLines().isEmpty()) << "no note, no line";

        a->session().notes() = {"start", "temp", "temp", "temp"};
        w->recv_data(MSG_CMD_INFO, QByteArray("OK\0garbage", 10));
        // Before any connection dialog the motor reads the dialog's starting value.
        w->recv_data(MSG_CMD_INFO, "LCPUTmp:452,MOTOR");
        w->recv_data(MSG_CMD_INFO, "CPUTmp=x1,");
        w->recv_data(MSG_CMD_INFO, "CPUTmp:300");
        EXPECT_EQ(newLines(), QStringList({"[ Info ] start SET OK",
                                           "[ Info ] mcu temperature:45.2 motor temperature:-1",
                                           "[ Info ] mcu temperature:0 motor temperature:-1",
                                           "[ Info ] mcu temperature:30 motor temperature:-1"}));
        EXPECT_TRUE(a->session().notes().isEmpty());
    }
    // With the dialog's motor temperature.
    a->connectDialog()->motortemp = 38.5f;
    a->session().notes() = {"temp"};
    w->recv_data(MSG_CMD_INFO, "CPUTmp:452,");
    EXPECT_EQ(newLines(), QStringList({"[ Info ] mcu temperature:45.2 motor temperature:38.5"}));

    // Without a session nothing is decoded.
    a->currentModel() = LIDAR_UNKNOWN;
    a->session().notes() = {"x"};
    w->recv_data(MSG_CMD_INFO, "OK");
    EXPECT_TRUE(newLines().isEmpty());
}

TEST_F(MainWindowTest, VimoParameters)
{
    std::vector<uint8_t> r(152, 0);
    std::memcpy(r.data() + 8, "VIMO-SN-001", 11);
    std::memcpy(r.data() + 28, "LDS-Vimo-E", 10);
    const uint8_t ip[] = {192, 168, 1, 50}, mask[] = {255, 255, 255, 0}, gw[] = {192, 168, 1, 1},
                  up[] = {192, 168, 1, 100};
    std::memcpy(r.data() + 48, ip, 4);
    std::memcpy(r.data() + 52, mask, 4);
    std::memcpy(r.data() + 56, gw, 4);
    std::memcpy(r.data() + 60, up, 4);
    wr_u16(r.data() + 64, 2368);
    wr_u16(r.data() + 66, 6001);
    r[77] = 1;
    r[143] = 0xFF;
    const QByteArray reply = bytes(r);
    auto *page = a->find<Page_Vimo_E>("page_vimo_e");
    auto text = [page](const char *name) {
        if (auto *l = page->findChild<QLabel *>(name))
            return l->text();
        return page->findChild<QLineEdit *>(name)->text();
    };

    a->currentModel() = LIDAR_RAXO_E;
    w->recv_data(MSG_VIMO_PARAM, reply);
    EXPECT_NE(text("lb_sn"), "VIMO-SN-001") << "another model";
    a->currentModel() = LIDAR_VIMO_E;
    w->recv_data(MSG_VIMO_PARAM, reply + QByteArray(1, '\0'));
    EXPECT_NE(text("lb_sn"), "VIMO-SN-001") << "another size";

    a->session().notes() = {"set ptp"};
    w->recv_data(MSG_VIMO_PARAM, reply);
    EXPECT_EQ(text("lb_sn"), "VIMO-SN-001");
    EXPECT_EQ(text("lb_model"), "LDS-Vimo-E");
    EXPECT_EQ(text("le_ip"), "192.168.1.50");
    EXPECT_EQ(text("le_mask"), "255.255.255.0");
    EXPECT_EQ(text("le_gateway"), "192.168.1.1");
    EXPECT_EQ(text("le_dstip"), "192.168.1.100");
    EXPECT_EQ(text("le_dstport"), "2368");
    EXPECT_EQ(text("le_port"), "6001");
    EXPECT_TRUE(page->findChild<QCheckBox *>("cb_uploadfix")->isChecked());
    EXPECT_TRUE(page->findChild<QCheckBox *>("cb_ptp_enable")->isChecked());
    EXPECT_EQ(newLines(), QStringList({"[ Info ] set ptp SET OK"}));
}

TEST_F(MainWindowTest, ZoneMonitorMessages)
{
    Graphics_Item_Data *view = a->find<PointCloudUI>("page_2d")->radarItem();
    ObjectListMsg list{};
    list.count = 3;
    for (uint8_t i = 0; i < 3; ++i)
        list.objects[i].id = uint8_t(10 + i);
    w->recv_data(MSG_ZONE_MONITOR, QByteArray(reinterpret_cast<const char *>(&list), sizeof list));
    ASSERT_EQ(view->objects().size(), 3u);
    EXPECT_EQ(view->objects()[2].id, 12);
    EXPECT_EQ(view->m_showObjects, 1);

    auto alarm = [](uint8_t zone, uint32_t flags) {
        ZoneAlarmMsg m{};
        m.zone_id = zone;
        m.alarm_flags = flags;
        return QByteArray(reinterpret_cast<const char *>(&m), sizeof m);
    };
    auto *editor = a->find<Page_Raxo_E>("page_raxo_e")->getDrawZone();
    a->currentModel() = LIDAR_RAXO_S;
    w->recv_data(MSG_ZONE_MONITOR, alarm(4, 5));
    EXPECT_EQ(view->alarmZone(), 4);
    EXPECT_EQ(view->alarmText(), "ObserveAlarm");
    EXPECT_EQ(editor->deviceZone(), 4);
    w->recv_data(MSG_ZONE_MONITOR, alarm(5, 7));
    EXPECT_EQ(view->alarmText(), "ObserveWarningAlarm");
    a->currentModel() = LIDAR_RAXO_E;
    w->recv_data(MSG_ZONE_MONITOR, alarm(6, 5));
    EXPECT_EQ(view->alarmZone(), 6);
    EXPECT_EQ(view->alarmText(), "");
    // A zone no view can show, and other sizes, change nothing.
    w->recv_data(MSG_ZONE_MONITOR, alarm(16, 5));
    w->recv_data(MSG_ZONE_MONITOR, QByteArray(300, '\0'));
    EXPECT_EQ(view->alarmZone(), 6);
    EXPECT_EQ(editor->deviceZone(), 6);
}

TEST_F(MainWindowTest, PlaybackModelAndBoxHeartbeats)
{
    auto *table = a->find<Dialog_AllData>("page_spandata");
    w->recv_data(MSG_LIDAR_TYPE, "3");
    EXPECT_EQ(a->currentModel(), 3);
    EXPECT_EQ(a->scene().framesKept(), 10);
    EXPECT_EQ(table->lidarType(), 3);
    EXPECT_EQ(table->rowsPerBlock(), 128);
    w->recv_data(MSG_LIDAR_TYPE, "1");
    EXPECT_EQ(a->currentModel(), 1);
    EXPECT_EQ(a->scene().framesKept(), 1);
    EXPECT_EQ(newLines(), QStringList({"[ lidar type ] lidar type:LDS-Vimo-E", "[ lidar type ] lidar type:LDS-Raxo-E"}));

    // Box heartbeats reach the front end only once it exists, and only whole; the first one
    // opens the configurator, which lists the box.
    AlgorithmBoxProc::setBindAddress("127.0.0.1");
    const QByteArray hb = bytes(make_box_heartbeat());
    w->recv_data(MSG_BOX_HEARTBEAT, hb);
    a->algorithmBox() = new AlgorithmBox;
    w->recv_data(MSG_BOX_HEARTBEAT, hb.left(90));
    EXPECT_EQ(a->algorithmBox()->window(), nullptr);
    w->recv_data(MSG_BOX_HEARTBEAT, hb);
    w->recv_data(MSG_BOX_HEARTBEAT, hb);
    std::unique_ptr<Page_Box> page(a->algorithmBox()->window()); // the window outlives its front end
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->isVisible());
    EXPECT_EQ(listedBoxes(page.get()), QStringList({"127.0.0.2"}));
}

// A fake box announcing itself to the heartbeat group: the window's own listener hands the
// heartbeat to the configurator.
TEST_F(MainWindowTest, FakeBoxHeartbeatsThroughTheWindow)
{
    if (!network_is_isolated())
        GTEST_SKIP() << "needs the test network namespace (scripts/test.sh)";
    AlgorithmBoxProc::setBindAddress("127.0.0.1");
    a->algorithmBox() = new AlgorithmBox;
    FakeHeartbeatSender sender("127.0.0.7");
    ASSERT_TRUE(sender.ok());
    FakeBoxInfo box;
    box.box_ip = "127.0.0.7";
    // The listener may join the group a moment after the window is up: announce until heard.
    auto heard = [&](int boxes) {
        return testsupport::wait_until([&] {
            sender.send(make_box_heartbeat(box));
            return testsupport::wait_until([&] {
                Page_Box *p = a->algorithmBox()->window();
                return p != nullptr && listedBoxes(p).size() == boxes;
            }, 50);
        }, 10000);
    };
    ASSERT_TRUE(heard(1));
    std::unique_ptr<Page_Box> page(a->algorithmBox()->window()); // the window outlives its front end
    EXPECT_TRUE(page->isVisible());
    box.box_ip = "127.0.0.8";
    ASSERT_TRUE(heard(2));
    EXPECT_EQ(listedBoxes(page.get()), QStringList({"127.0.0.7", "127.0.0.8"})) << "each box once";
}

// ---- the stop message ----

TEST_F(MainWindowTest, StopMessageEmptiesEverything)
{
    const std::vector<UserPointData> frame(5);
    a->session().notes() = {"a", "b"};
    a->scene().currentFrame() = frame;
    a->scene().accumulatedCloud() = frame;
    a->scene().selection() = frame;
    a->scene().frameCounts() = {5};
    a->frameCache() = {frame, frame};
    a->cacheProgress() = 100.0f;
    a->cacheIndex() = 1;
    a->displayPaused() = false;
    // The 2D view leaves out points at the sensor itself: these lie 1 m to the right.
    std::vector<UserPointData> seen(5);
    for (UserPointData &p : seen)
        p.x = 1.0f;
    a->find<PointCloudUI>("page_2d")->setPoints(seen);
    ASSERT_EQ(a->find<PointCloudUI>("page_2d")->radarItem()->points().size(), 5u);
    a->find<Dialog_AllData>("page_spandata")->setData(frame, true);
    a->find<Dialog_ParseData>("page_parse_data")->setIsRun(true);
    Component_LogOperate *bar = a->logOperate();
    bar->frameCount = 2;
    bar->liveSource = true;
    bar->setSourcePath("/data/x.dump");
    bar->setPlayState(true);
    a->debugView().show();

    w->recv_data(MSG_STOP, QByteArray());
    EXPECT_TRUE(a->session().notes().isEmpty());
    EXPECT_TRUE(a->scene().currentFrame().empty());
    EXPECT_TRUE(a->scene().accumulatedCloud().empty());
    EXPECT_TRUE(a->scene().selection().empty());
    EXPECT_TRUE(a->scene().frameCounts().empty());
    EXPECT_TRUE(a->frameCache().empty());
    EXPECT_EQ(a->cacheProgress(), 0.0f);
    EXPECT_EQ(a->cacheIndex(), 0);
    EXPECT_TRUE(a->displayPaused());
    EXPECT_TRUE(a->find<PointCloudUI>("page_2d")->radarItem()->points().empty());
    // The point table empties its rows and drops its block buttons (it keeps the frame).
    auto *spanTable = a->find<Dialog_AllData>("page_spandata")->findChild<QTableView *>("tableView");
    ASSERT_NE(spanTable, nullptr);
    EXPECT_EQ(spanTable->model()->rowCount(), 0);
    EXPECT_FALSE(a->find<Dialog_ParseData>("page_parse_data")->isRun());
    EXPECT_FALSE(bar->isPlaying());
    EXPECT_FALSE(bar->playTimer().isActive());
    EXPECT_EQ(bar->frameCount, 0u);
    EXPECT_FALSE(bar->liveSource);
    EXPECT_FALSE(a->debugView().isVisible());
}

// The receiver is forgotten before it is waited for, a stop arriving during the wait is not
// started again, and the box receiver, which reports every stop call, is stopped once.
TEST_F(MainWindowTest, StopMessageStopsTheReceiverOnce)
{
    auto *box = new RecvBoxDataProc;
    box->setBindAddress("127.0.0.1");
    box->init(free_udp_port(), "127.0.0.2", free_udp_port("127.0.0.2"));
    QPointer<RecvBoxDataProc> boxAlive(box);
    QObject::connect(box, &QThread::finished, box, &QObject::deleteLater);
    QObject::connect(box, &RecvBoxDataProc::sig_data, w.get(), &MainWindow::recv_data);
    int stopsDuringStop = 0;
    // The disconnection report comes back into the window while it is stopping.
    QObject::connect(box, &RecvBoxDataProc::sig_data, w.get(), [&] {
        ++stopsDuringStop;
        w->recv_data(MSG_STOP, QByteArray());
    });
    box->start();
    a->session().setReceiver(box, LIDAR_ALG_BOX);
    a->currentModel() = LIDAR_ALG_BOX;

    w->recv_data(MSG_STOP, QByteArray());
    EXPECT_EQ(a->session().receiver(), nullptr);
    EXPECT_EQ(stopsDuringStop, 1);
    a->tick();
    EXPECT_EQ(newLines().filter("Disconnect lidar connection successful").size(), 1);
    // The thread ended and deletes itself.
    QTRY_VERIFY(boxAlive.isNull());
}

// ---- tool, language and notification actions ----

TEST_F(MainWindowTest, BigScreenTwiceShowsEverySideWidget)
{
    const char *sides[] = {"frame_log", "stackedWidget_2", "frame_func", "frame_view", "label_2"};
    w->findChild<QAction *>("action_BigScreen")->trigger();
    EXPECT_TRUE(a->bigScreen());
    for (const char *name : sides)
        EXPECT_FALSE(a->find<QWidget>(name)->isVisibleTo(w.get())) << name;
    w->findChild<QAction *>("action_BigScreen")->trigger();
    EXPECT_FALSE(a->bigScreen());
    for (const char *name : sides)
        EXPECT_TRUE(a->find<QWidget>(name)->isVisibleTo(w.get())) << name << " (hidden at start, shown now)";
}

TEST_F(MainWindowTest, LanguageChoiceIsStored)
{
    auto stored = [] { return IniSettings::instance()->get_value("Standard", "Language", "", kDoc); };
    const std::string before = stored();
    w->recv_action_CN(true); // not from the menu entry: only traced
    EXPECT_EQ(stored(), before);
    EXPECT_TRUE(modal.warnings.empty());

    w->findChild<QAction *>("action_CN")->trigger();
    EXPECT_EQ(stored(), "Chinese");
    w->findChild<QAction *>("action_EN")->trigger();
    EXPECT_EQ(stored(), "English");
    EXPECT_EQ(modal.warningLines(),
              QStringList({"warm|The Language configuration must be rebooted to take effect",
                           "error|The Language configuration must be rebooted to take effect"}));
    QFile ini(QString::fromStdString(load_test_settings()));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(ini.readAll()).contains("Language = English")) << "the file is rewritten at once";
}

TEST_F(MainWindowTest, DialogsOfTheToolAndHelpMenus)
{
    // A template stored before the editor runs reaches the analysis panel's list only through
    // the reload 100 ms after the editor closes.
    write_fix_point_store("T1_0_0_0_0_-1_1_-1_1_-1_1");
    auto *templates = a->find<Dialog_ParseData>("page_parse_data")->findChild<QComboBox *>("cb_fix_point_detect");
    ASSERT_NE(templates, nullptr);
    EXPECT_EQ(templates->count(), 0);
    w->findChild<QAction *>("action_Config")->trigger();
    w->findChild<QAction *>("actionabout")->trigger();
    w->findChild<QAction *>("action_FixPointEdit")->trigger();
    ASSERT_EQ(modal.dialogTitles.size(), 3);
    EXPECT_EQ(modal.dialogTitles.mid(0, 2),
              QStringList({"Config|Dialog_Config", "Software Information|Dialog_Software_Info"}));
    EXPECT_EQ(modal.dialogTitles[2], "fix point detect|Dialog_Fix_Point_Detect");
    EXPECT_EQ(templates->count(), 0) << "reloaded 100 ms later";
    QTRY_COMPARE(templates->count(), 1);
    EXPECT_EQ(templates->itemText(0), "T1");
    write_fix_point_store("");
}

// The 2D view labels object boxes with the detector's model names, which the window hands it.
TEST_F(MainWindowTest, TwoDViewNamesObjectsAfterTheDetectorsModels)
{
    PointCloudAnomalyDetector *detector = PointCloudAnomalyDetector::GetInstance();
    ASSERT_NE(detector, nullptr);
    Graphics_Item_Data *radar = a->find<PointCloudUI>("page_2d")->radarItem();
    const int added = int(detector->GetModels().size());
    ASSERT_TRUE(detector->AddModel("view2d_probe"));
    EXPECT_EQ(radar->className(added), "view2d_probe");
    EXPECT_EQ(radar->className(added + 1), "unknown");
    EXPECT_EQ(radar->className(-1), "unknown");
    EXPECT_TRUE(detector->RemoveModel("view2d_probe"));
    EXPECT_EQ(radar->className(added), "unknown");
}

// "model train" runs a fresh training dialog modally; closing it destroys it, which stores its
// fields and stops the detector's workers.
TEST_F(MainWindowTest, ModelTrainOpensTheTrainingDialog)
{
    PointCloudAnomalyDetector *detector = PointCloudAnomalyDetector::GetInstance();
    ASSERT_NE(detector, nullptr);
    QPointer<QDialog> shown;
    modal.dialogAction = [&](QDialog *d) {
        shown = d;
        EXPECT_EQ(d->parent(), nullptr);
        d->findChild<QLineEdit *>("le_errpoint_num")->setText("33");
        // A run the dialog would have started: its end resets the detector.
        DetectorConfig cfg;
        detector->Start(cfg);
        EXPECT_EQ(detector->WorkerCount(), 2);
        return 0;
    };
    w->findChild<QAction *>("action_Train")->trigger();
    EXPECT_EQ(modal.dialogTitles, QStringList({"Dialog|Dialog_TrainData"}));
    EXPECT_TRUE(shown.isNull()) << "destroyed when it closes";
    EXPECT_EQ(detector->WorkerCount(), 0);
    EXPECT_EQ(IniSettings::instance()->get_value("Standard", "errpoint_num", "", "main_ini"), "33");

    // A second use is a new dialog that reads the stored field.
    QString field;
    modal.dialogAction = [&](QDialog *d) {
        field = d->findChild<QLineEdit *>("le_errpoint_num")->text();
        return 0;
    };
    w->findChild<QAction *>("action_Train")->trigger();
    EXPECT_EQ(field, "33");
}

TEST_F(MainWindowTest, ClearingTheLogLeavesTheQueue)
{
    w->appendLog("t", "old");
    w->recv_data(MSG_RUN_STATE, "queued");
    QTest::mouseClick(a->find<QPushButton>("pb_clean"), Qt::LeftButton);
    EXPECT_EQ(a->log()->count(), 0);
    a->tick();
    seen_ = 0;
    EXPECT_EQ(newLines(), QStringList({"[ run state ] queued"}));
}

TEST_F(MainWindowTest, NotificationsFromPagesAndTheDialog)
{
    // Before any box session only the flag changes; outside a Vimo-E session nothing happens.
    w->recv_iconshow(true);
    EXPECT_TRUE(a->boxObjects());
    a->currentModel() = LIDAR_VIMO_E;
    w->recv_ignore_err(15);

    a->connectedSn() = "RAXO-A";
    a->session().notes() = {"x"};
    w->recv_lidarOffLine("RAXO-B");
    w->recv_lidarOnLine("RAXO-B");
    EXPECT_TRUE(newLines().isEmpty());
    EXPECT_EQ(a->session().notes().size(), 1);
    w->recv_lidarOffLine("RAXO-A");
    w->recv_lidarOnLine("RAXO-A");
    EXPECT_EQ(newLines(),
              QStringList({"[ warm infomation ] detected that the current lidar heartbeat packet has disappeared",
                           "[ warm infomation ] detected a new lidar online, with the same SN number as the last "
                           "connected lidar"}));
    EXPECT_TRUE(a->session().notes().isEmpty());
}

// A fake Raxo-E heard by the window's own listener: a row in the connection dialog; its
// silence and its return reach the log at once.
TEST_F(MainWindowTest, FakeSensorHeartbeatsThroughTheWindow)
{
    if (!network_is_isolated())
        GTEST_SKIP() << "needs the test network namespace (scripts/test.sh)";
    FakeHeartbeatSender sender;
    ASSERT_TRUE(sender.ok());
    FakeSensorInfo raxo;
    raxo.sn = "RAXO-A";
    raxo.model = "LDS-Raxo-E";
    // The first heartbeat makes the dialog; what it expects is set by a session.
    QTRY_VERIFY_WITH_TIMEOUT((sender.send(make_heartbeat104(raxo)), a->dialogConnect() != nullptr), 10000);
    Dialog_Connect *d = a->dialogConnect();
    d->lidarmodel = "LDS-Raxo-E";
    d->lidarsn = "RAXO-A";
    a->connectedSn() = "RAXO-A";
    QTRY_VERIFY_WITH_TIMEOUT((sender.send(make_heartbeat104(raxo)), d->DeviceInfoTable->rowCount() == 1), 10000);
    EXPECT_EQ(d->DeviceInfoTable->item(0, Dialog_Connect::COL_SN)->text(), "RAXO-A");
    EXPECT_EQ(newLines().filter("online").size(), 1) << "first sight of the session's sensor";

    // Silence: four ageing ticks.
    a->session().notes() = {"start"};
    for (int i = 0; i < 4; ++i)
        d->recv_timeout();
    EXPECT_EQ(d->DeviceInfoTable->rowCount(), 0);
    EXPECT_EQ(newLines(), QStringList({"[ warm infomation ] detected that the current lidar heartbeat packet has "
                                       "disappeared"}));
    EXPECT_TRUE(a->session().notes().isEmpty());
    // The command sent before the silence gets no line of its own.
    a->currentModel() = LIDAR_RAXO_E;
    w->recv_data(MSG_CMD_INFO, sumReply(0x8002, u32s({0})));
    EXPECT_TRUE(newLines().isEmpty());
    EXPECT_EQ(modal.warnings.size(), 1u);

    QTRY_VERIFY_WITH_TIMEOUT((sender.send(make_heartbeat104(raxo)), d->DeviceInfoTable->rowCount() == 1), 10000);
    EXPECT_EQ(newLines(), QStringList({"[ warm infomation ] detected a new lidar online, with the same SN number as "
                                       "the last connected lidar"}));
}

// Another program holds the heartbeat port without sharing it: the window's listener reports the
// failed bind and deletes itself. The window must not touch it afterwards, and each connect
// tries a new one, which runs once the port is free.
TEST(MainWindowListener, ListenerThatEndedByItselfIsNeitherTouchedNorKept)
{
    if (!network_is_isolated())
        GTEST_SKIP() << "needs the test network namespace (scripts/test.sh)";
    const int holder = ::socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(holder, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(6789);
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    ASSERT_EQ(::bind(holder, reinterpret_cast<sockaddr *>(&addr), sizeof(addr)), 0);

    testsupport::ModalRecorder modal; // rejects the connection dialog
    load_test_settings();
    auto w = std::make_unique<MainWindow>();
    MainWindowTestAccess a(*w);
    QAction *raxoE = w->findChild<QAction *>("actionRaxo_E");
    ASSERT_NE(raxoE, nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(a.heartBeat().isNull(), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!a.logLines().filter("bind failed").isEmpty(), 5000);

    for (int i = 0; i < 2; ++i) {
        raxoE->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(a.heartBeat().isNull(), 5000);
    }

    ::close(holder);
    raxoE->trigger();
    ASSERT_FALSE(a.heartBeat().isNull());
    QTest::qWait(500);
    ASSERT_FALSE(a.heartBeat().isNull()) << "the listener bound the freed port and runs";
    EXPECT_TRUE(a.heartBeat()->isRunning());
    w.reset(); // stops the running listener
}
