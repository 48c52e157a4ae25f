// The front end as the main window uses it: one window and one command thread however often it
// is shown, heartbeats before the first show, the connect request, a taken command port, the
// end of the thread with the front end; and the window in both languages.

#include "configuratorfixture.h"
#include "widgettexts.h"

#include <algorithm>

namespace {

int configurator_windows()
{
    const auto tops = QApplication::topLevelWidgets();
    return int(std::count_if(tops.begin(), tops.end(),
                             [](QWidget *w) { return qobject_cast<Page_Box *>(w) != nullptr; }));
}

// A front end of its own, for the cases the shared fixture cannot start from.
struct OwnFrontEnd {
    OwnFrontEnd()
    {
        AlgorithmBoxProc::setBindAddress("127.0.0.1");
        front = std::make_unique<AlgorithmBox>();
    }
    ~OwnFrontEnd()
    {
        QPointer<AlgorithmBoxProc> thread = front->commandThread();
        Page_Box *page = front->window();
        front.reset();
        EXPECT_TRUE(wait_until([&] { return thread.isNull(); }, 5000));
        delete page;
    }
    std::unique_ptr<AlgorithmBox> front;
};

} // namespace

TEST_F(ConfiguratorTest, ShowingAgainKeepsOneWindowAndOneThread)
{
    AlgorithmBoxProc *t = front->commandThread();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(page->proc(), t);
    page->close();
    front->show();
    front->show();
    EXPECT_EQ(front->window(), page);
    EXPECT_EQ(front->commandThread(), t);
    EXPECT_TRUE(page->isVisible());
    EXPECT_EQ(configurator_windows(), 1);
}

TEST_F(ConfiguratorTest, ConnectAsksForTheBoxSessionAndHidesTheWindow)
{
    FakeBoxInfo info;
    info.lidar_port = 6001;
    selectFakeBox(info);
    ASSERT_TRUE(ui->button("pb_connect")->isEnabled());
    QTest::mouseClick(ui->button("pb_connect"), Qt::LeftButton);
    EXPECT_EQ(starts, QStringList({"127.0.0.2|6001|4"}));
    EXPECT_FALSE(page->isVisible());

    // Heartbeats keep coming while it is hidden; the menu shows it again.
    front->setBoxInfo(box_heartbeat(info));
    EXPECT_FALSE(page->isVisible());
    EXPECT_EQ(ui->statusRows().size(), 1u);
    front->show();
    EXPECT_TRUE(page->isVisible());
    QTest::mouseClick(ui->button("pb_cancel"), Qt::LeftButton);
    EXPECT_FALSE(page->isVisible());
    EXPECT_TRUE(modal.warnings.empty());
}

TEST_F(ConfiguratorTest, TheAddButtonListsAFixedTestBox)
{
    QTest::mouseClick(ui->button("pb_add"), Qt::LeftButton);
    QTest::mouseClick(ui->button("pb_add"), Qt::LeftButton);
    EXPECT_EQ(ui->listed(), QStringList({"192.168.6.128"}));
    ui->clickBox("192.168.6.128");
    EXPECT_EQ(ui->ip("ip"), "192.168.6.128");
    QTest::mouseClick(ui->button("pb_add"), Qt::LeftButton);
    ASSERT_EQ(ui->statusRows().size(), 1u);
    EXPECT_EQ(ui->statusRows()[0][1], "192.168.137.200");
    EXPECT_TRUE(ui->statusRows()[0][2].endsWith("background-color:rgb(190,190,190)"));
    EXPECT_EQ(ui->statusRows()[0][3], "000000000000");
}

TEST_F(ConfiguratorTest, ZoneTablesOfTheWindowAreRelayed)
{
    int relayed = 0;
    QObject::connect(front.get(), &AlgorithmBox::sig_zoneData, front.get(), [&](ZONEALARM::zones) { ++relayed; });
    emit page->sig_zoneData(ZONEALARM::zones{});
    EXPECT_EQ(relayed, 1);
}

TEST(AlgorithmBoxFrontEnd, AHeartbeatBeforeAnyShowOpensTheWindowFirst)
{
    OwnFrontEnd own;
    EXPECT_EQ(own.front->window(), nullptr);
    EXPECT_EQ(own.front->commandThread(), nullptr);
    own.front->setBoxInfo(box_heartbeat());
    ASSERT_NE(own.front->window(), nullptr);
    EXPECT_TRUE(own.front->window()->isVisible());
    EXPECT_NE(own.front->commandThread(), nullptr);
    EXPECT_EQ(WindowProbe(own.front->window()).listed(), QStringList({"127.0.0.2"}));
}

TEST(AlgorithmBoxFrontEnd, ATakenCommandPortIsReportedOnceAndNeverRetried)
{
    FakePeer holder("127.0.0.1", FakeBoxCommand::kPort, false);
    ASSERT_TRUE(holder.ok());
    testsupport::ModalRecorder modal;
    OwnFrontEnd own;
    own.front->show();
    Page_Box *page = own.front->window();
    ASSERT_TRUE(wait_until([&] { return !modal.warnings.empty(); }));
    EXPECT_EQ(modal.warningLines(), QStringList({"error|open BOXPORT failed!"}));
    ASSERT_TRUE(wait_until([&] { return own.front->commandThread() == nullptr; }))
        << "the thread has ended and deleted itself";
    EXPECT_EQ(page->proc(), nullptr);

    own.front->show();
    EXPECT_EQ(own.front->commandThread(), nullptr) << "not started again";
    EXPECT_TRUE(page->isVisible());

    // Selecting a box still fills the window; commands go nowhere and nothing fails.
    FakeBoxCommand fake("127.0.0.2", FakeBoxCommand::kPort);
    own.front->setBoxInfo(box_heartbeat());
    WindowProbe ui(page);
    ui.clickBox("127.0.0.2");
    EXPECT_EQ(ui.ip("ip"), "127.0.0.2");
    EXPECT_TRUE(ui.get("groupBox_net")->isEnabled());
    EXPECT_TRUE(ui.get("pb_connect")->isEnabled());
    ui.button("pb_restart")->click();
    ui.button("pb_getlidars")->click();
    ui.get<QLineEdit>("le_macValue")->setText("00:11:22:33:44:55");
    ui.button("pb_macSet")->click();
    EXPECT_EQ(modal.warnings.size(), 1u);
    EXPECT_TRUE(fake.commands().empty());
}

TEST(AlgorithmBoxFrontEnd, DestroyingTheFrontEndEndsTheThreadAndKeepsTheWindow)
{
    AlgorithmBoxProc::setBindAddress("127.0.0.1");
    auto front = std::make_unique<AlgorithmBox>();
    front->show();
    QPointer<AlgorithmBoxProc> thread = front->commandThread();
    QPointer<Page_Box> page = front->window();
    ASSERT_FALSE(thread.isNull());
    ASSERT_TRUE(wait_until([&] { return thread->isRunning(); }));
    front.reset();
    EXPECT_TRUE(wait_until([&] { return thread.isNull(); }, 5000));
    ASSERT_FALSE(page.isNull());
    EXPECT_EQ(page->proc(), nullptr) << "the window's guarded pointer follows";
    delete page.data();
}

namespace {

class Translated : public ConfiguratorTest {
protected:
    // The window as the program shows it after selecting a box, with its details open, built
    // under the given translation; a screenshot is kept in the build folder.
    QStringList textsUnder(const char *language)
    {
        testsupport::ScopedTranslation translation(language);
        EXPECT_TRUE(translation.loaded());
        Page_Box window;
        window.setClock([this] { return clock; });
        WindowProbe probe(&window);
        window.setBoxInfo(box_heartbeat());
        window.show();
        probe.clickBox("127.0.0.2");
        window.setBoxInfo(box_heartbeat());
        QTest::mouseClick(probe.button("pb_details"), Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.grab().save(QString::fromStdString(testsupport::binary_dir()) + "/page_box_" + language + ".png");
        QStringList texts = testsupport::visible_texts(&window);
        modal.clear();
        window.recv_BoxMSG("127.0.0.2", 1, "REBOOT");
        window.recv_BoxMSG("127.0.0.2", 8, "LSMAC:NG");
        for (const auto &w : modal.warnings)
            texts << "warning: " + w.title << "warning: " + w.text;
        return texts;
    }
};

} // namespace

TEST_F(Translated, EnglishShowsNoChineseText)
{
    const QStringList texts = textsUnder("English");
    EXPECT_EQ(testsupport::cjk_texts(texts), QStringList());
    EXPECT_TRUE(texts.contains("Page_Box: Algorithm Box Configurator"));
    EXPECT_TRUE(texts.contains("groupBox_5: Available algorithm boxes"));
    EXPECT_TRUE(texts.contains("pb_details: Show or hide details"));
    EXPECT_TRUE(texts.contains("warning: algorithm box is reboot!"));
}

TEST_F(Translated, ChineseShowsChineseCaptionsAndMessages)
{
    const QStringList texts = textsUnder("Chinese");
    EXPECT_TRUE(texts.contains("Page_Box: 算法盒配置工具"));
    EXPECT_TRUE(texts.contains("groupBox_5: 可用算法盒子列表"));
    EXPECT_TRUE(texts.contains("pb_connect: 连接"));
    EXPECT_TRUE(texts.contains("warning: 警告"));
    EXPECT_TRUE(texts.contains("warning: 算法盒正在重启!"));
    EXPECT_TRUE(texts.contains("warning: LSMAC:NG")) << "the box's own reply is shown as it came";
}
