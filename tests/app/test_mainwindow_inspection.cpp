// The main window's inspection tools: the factory test it makes once and keeps on top, the two
// voxel entries of its "tool" menu and the Raxo receiver's filter behind them, and the free-text
// command window of a Vimo-E session, which the stop message deletes.

#include "mainwindow.h"

#include "appsettings.h"
#include "dialog_connect.h"
#include "dialog_detect_raxo.h"
#include "inisettings.h"
#include "mainwindowaccess.h"
#include "modalrecorder.h"
#include "page_admin.h"
#include "raxotesthelpers.h"
#include "recvdataproc2.h"
#include "recvdataproc3.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

class InspectionWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        load_test_settings();
        w = std::make_unique<MainWindow>();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        a = std::make_unique<MainWindowTestAccess>(*w);
    }
    void TearDown() override
    {
        // Receivers made by a test are the test's: the window only forgets them.
        a->session().receiver() = nullptr;
        a.reset();
        w.reset();
    }
    QMenu *toolMenu() { return w->findChild<QMenu *>("menu_tool"); }
    QAction *action(const char *name) { return w->findChild<QAction *>(name); }
    // What the tool menu offers when it opens.
    void openToolMenu() { emit toolMenu()->aboutToShow(); }
    QStringList logTail(int n)
    {
        a->tick();
        const QStringList all = a->logLines();
        return all.mid(std::max(0, int(all.size()) - n));
    }

    testsupport::ModalRecorder modal;
    std::unique_ptr<MainWindow> w;
    std::unique_ptr<MainWindowTestAccess> a;
};

// One frame of five points: four in one 0.5 m cell, one alone 2 m away.
std::vector<uint8_t> crowdedAndLonelyFrame()
{
    std::vector<RaxoPoint> pts;
    for (int i = 0; i < 4; ++i)
        pts.push_back(raxo_point(100, int16_t(100 + i), 50, 50, uint8_t(i)));
    pts.push_back(raxo_point(100, 2000, 50, 50, 9));
    return raxo_point_packet(1, 0, 0, pts, RAXO_FRAME_END);
}

// True once `window` is the active window (window managers take their time).
bool activates(QWidget *window)
{
    return testsupport::wait_until([window] { return QApplication::activeWindow() == window; }, 3000);
}

} // namespace

TEST_F(InspectionWindow, FactoryTestIsMadeOnceAndKeptOnTop)
{
    EXPECT_EQ(w->findChild<Dialog_Detect_Raxo *>(), nullptr);
    w->recv_action_detect_raxo(false);
    auto *dialog = w->findChild<Dialog_Detect_Raxo *>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->parentWidget(), w.get());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    const Qt::WindowFlags flags = dialog->windowFlags();
    for (Qt::WindowType f : {Qt::CustomizeWindowHint, Qt::WindowStaysOnTopHint, Qt::WindowTitleHint})
        EXPECT_TRUE(flags.testFlag(f)) << f;
    EXPECT_FALSE(flags.testFlag(Qt::WindowContextHelpButtonHint));
    EXPECT_FALSE(dialog->isModal());
    EXPECT_FALSE(dialog->testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_EQ(dialog->focusPolicy(), Qt::StrongFocus);

    // Each opening stores the form: a threshold typed before closing is in the INI file after
    // the next opening, and the dialog is the same one, closed only hidden.
    dialog->findChild<QLineEdit *>("le_test_frame_sum")->setText("17");
    dialog->close();
    EXPECT_FALSE(dialog->isVisible());
    w->recv_action_detect_raxo(true);
    EXPECT_EQ(w->findChildren<Dialog_Detect_Raxo *>().size(), 1);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(IniSettings::instance()->get_value("class Dialog_Detect_Raxo", "le_test_frame_sum", "", "main_ini"),
              "17");
    EXPECT_EQ(dialog->findChild<QLineEdit *>("le_test_frame_sum")->text(), "17");
}

// A press into a window gives that window the focus back: the dialog stays above the main
// window, so without this typing after a click into the view would go to the dialog.
TEST_F(InspectionWindow, PressesBringTheirWindowForward)
{
    w->recv_action_detect_raxo(false);
    auto *dialog = w->findChild<Dialog_Detect_Raxo *>();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    w->activateWindow();
    EXPECT_TRUE(activates(w.get()));

    QKeyEvent key(QEvent::KeyPress, Qt::Key_Shift, Qt::NoModifier);
    QApplication::sendEvent(dialog, &key);
    EXPECT_TRUE(activates(dialog));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.get(), &press);
    EXPECT_TRUE(activates(w.get()));
    QMouseEvent again(QEvent::MouseButtonPress, QPointF(5, 5), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(dialog, &again);
    EXPECT_TRUE(activates(dialog));

    // The presses still reach the dialog's own widgets.
    auto *start = dialog->findChild<QPushButton *>("pb_start");
    QTest::mouseClick(start, Qt::LeftButton);
    EXPECT_TRUE(dialog->isRunning());
}

TEST_F(InspectionWindow, VoxelEntriesFollowTheTrainingEntryAndWaitForARaxoSession)
{
    QStringList names, texts;
    for (QAction *act : toolMenu()->actions()) {
        names << act->objectName();
        texts << act->text();
    }
    const int train = names.indexOf("action_Train");
    ASSERT_GE(train, 0);
    EXPECT_EQ(names.mid(train + 1, 2), QStringList({"action_voxel_set", "action_voxel_reset"}));
    EXPECT_EQ(texts.mid(train + 1, 2), QStringList({"voxel filter setting", "voxel filter reset"}));

    QAction *set = action("action_voxel_set");
    QAction *reset = action("action_voxel_reset");
    openToolMenu();
    EXPECT_FALSE(set->isEnabled());
    EXPECT_FALSE(reset->isEnabled());

    // Only a Raxo receiver of a Raxo model enables them; the stop message disables them again.
    RecvDataProc2 raxo;
    a->session().setReceiver(&raxo, LIDAR_RAXO_E);
    const struct {
        uint8_t model;
        bool enabled;
    } cases[] = {{LIDAR_FENK_U, false}, {LIDAR_RAXO_E, true}, {LIDAR_RAXO_S, true}, {LIDAR_VIMO_E, false}};
    for (const auto &c : cases) {
        a->currentModel() = c.model;
        openToolMenu();
        EXPECT_EQ(set->isEnabled(), c.enabled) << int(c.model);
        EXPECT_EQ(reset->isEnabled(), c.enabled) << int(c.model);
    }
    a->currentModel() = LIDAR_RAXO_E;
    openToolMenu();
    w->recv_data(MSG_STOP, QByteArray());
    EXPECT_EQ(a->session().raxoReceiver(), nullptr);
    EXPECT_FALSE(set->isEnabled());
    EXPECT_FALSE(reset->isEnabled());
}

// The dialog behind "voxel filter setting" sets the receiver's filter at each "应用", while it
// is still open; "voxel filter reset" switches it off. The receiver's frames show it: with the
// filter on, the lonely point goes and no 2D frame is posted.
TEST_F(InspectionWindow, VoxelSettingReachesTheRaxoReceiver)
{
    RecvDataProc2 raxo;
    raxo.init(0, "127.0.0.2", 0);
    QObject context;
    RaxoPosted posted;
    collect(&raxo, &context, &posted);
    a->session().setReceiver(&raxo, LIDAR_RAXO_E);
    a->currentModel() = LIDAR_RAXO_S;
    openToolMenu();
    ASSERT_TRUE(action("action_voxel_set")->isEnabled());

    std::vector<size_t> sizesWhileOpen;
    modal.dialogAction = [&](QDialog *d) {
        d->findChild<QLineEdit *>("le_voxel_unit_size")->setText("0.5");
        d->findChild<QLineEdit *>("le_voxel_min_num")->setText("3");
        d->findChild<QPushButton *>("pb_apply")->click();
        feed(raxo, crowdedAndLonelyFrame());
        sizesWhileOpen.push_back(posted.frames.back().size());
        d->findChild<QPushButton *>("pb_close")->click();
        return 0;
    };
    action("action_voxel_set")->trigger();
    EXPECT_EQ(modal.dialogTitles, QStringList({"Vitamin Filtration Parameters|Dialog_VoxelFilter"}));
    EXPECT_EQ(sizesWhileOpen, std::vector<size_t>({4u}));
    EXPECT_TRUE(posted.frames2D.empty());

    action("action_voxel_reset")->trigger();
    feed(raxo, crowdedAndLonelyFrame());
    ASSERT_EQ(posted.frames.size(), 2u);
    EXPECT_EQ(posted.frames[1].size(), 5u);
    EXPECT_EQ(posted.frames2D.size(), 1u);

    // Parameters for another model are not the Raxo receiver's.
    a->currentModel() = LIDAR_VIMO_E;
    w->onVoxelParam(true, 0.5f, 3);
    feed(raxo, crowdedAndLonelyFrame());
    EXPECT_EQ(posted.frames.back().size(), 5u);
    // Nor does the slot react to a sender that is not one of its entries.
    a->currentModel() = LIDAR_RAXO_E;
    w->recv_actionOutlierFiltration(false);
    EXPECT_EQ(modal.dialogTitles.size(), 1);
}

TEST_F(InspectionWindow, CommandWindowOfAVimoSession)
{
    w->recv_action_Cmd(false);
    EXPECT_EQ(logTail(1), QStringList({"[ warm infomation ] please connect lidar first!"}));

    RecvDataProc2 raxo;
    a->session().setReceiver(&raxo, LIDAR_RAXO_E);
    a->currentModel() = LIDAR_RAXO_E;
    w->recv_action_Cmd(false);
    EXPECT_EQ(logTail(1), QStringList({"[ warm infomation ] only Vimo-E use"}));
    EXPECT_EQ(w->findChild<Page_Admin *>(), nullptr);
    a->session().receiver() = nullptr;

    RecvDataProc3 vimo;
    a->session().setReceiver(&vimo, LIDAR_VIMO_E);
    a->currentModel() = LIDAR_VIMO_E;
    a->connectDialog()->lidarip = "127.0.0.2";
    a->connectDialog()->lidarport = 2368;
    w->recv_action_Cmd(false);
    QPointer<Page_Admin> page;
    for (QWidget *top : QApplication::topLevelWidgets())
        if (auto *p = qobject_cast<Page_Admin *>(top))
            page = p;
    ASSERT_FALSE(page.isNull());
    EXPECT_TRUE(page->isVisible());
    EXPECT_EQ(page->parent(), nullptr);
    EXPECT_EQ(page->ip(), "127.0.0.2");
    EXPECT_EQ(page->port(), 2368);
    EXPECT_EQ(page->lidarType(), LIDAR_VIMO_E);

    // Opened again for another sensor: the same window with the new address.
    page->close();
    a->connectDialog()->lidarip = "127.0.0.3";
    w->recv_action_Cmd(false);
    EXPECT_TRUE(page->isVisible());
    EXPECT_EQ(page->ip(), "127.0.0.3");

    // The stop message ends the window with its session.
    w->recv_data(MSG_STOP, QByteArray());
    EXPECT_TRUE(page.isNull());
    EXPECT_EQ(a->session().vimoReceiver(), nullptr);
}
