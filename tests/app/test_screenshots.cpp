// Pictures of the windows as a user sees them, in English and in Chinese, kept in
// "<build folder>/screenshots" for a person to look at. The checks here are only that each
// picture was taken and is not blank.

#include "appsettings.h"
#include "component_logoperate.h"
#include "dialog_alldata.h"
#include "dialog_config.h"
#include "dialog_connect.h"
#include "dialog_detect_raxo.h"
#include "dialog_objecttrack.h"
#include "dialog_question.h"
#include "dialog_software_info.h"
#include "dialog_traindata.h"
#include "dialog_voxelfilter.h"
#include "fakeheartbeat.h"
#include "fakeraxo.h"
#include "logmanager.h"
#include "modalrecorder.h"
#include "raxoscene.h"
#include "inisettings.h"
#include "mainwindow.h"
#include "mainwindowaccess.h"
#include "pointcloudanomalydetector.h"
#include "testsupport.h"
#include "userpointdata.h"
#include "widgettexts.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFont>
#include <QAbstractButton>
#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <set>

namespace {

QString shotDir()
{
    const QString dir = QString::fromStdString(testsupport::binary_dir()) + "/screenshots";
    QDir().mkpath(dir);
    return dir;
}

// Shows the widget, lets it lay out and paint, and saves what it shows.
void shoot(QWidget *w, const QString &name)
{
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    QTest::qWait(200); // let layouts settle and deferred paints happen before the grab
    const QImage img = w->grab().toImage();
    const QString path = shotDir() + "/" + name + ".png";
    ASSERT_TRUE(img.save(path)) << path.toStdString();
    std::set<QRgb> colours;
    for (int y = 0; y < img.height(); y += 4)
        for (int x = 0; x < img.width(); x += 4)
            colours.insert(img.pixel(x, y));
    EXPECT_GT(colours.size(), 4u) << name.toStdString() << " looks blank";
}

QByteArray bytes(const std::vector<uint8_t> &v)
{
    return QByteArray(reinterpret_cast<const char *>(v.data()), int(v.size()));
}

// Three Raxo-E sensors, their heartbeats handed to `deliver`.
void fillConnectDialog(Dialog_Connect &d, const std::function<void(QByteArray)> &deliver = {})
{
    d.lidarmodel = "LDS-Raxo-E";
    for (int i = 0; i < 3; ++i) {
        FakeSensorInfo s;
        s.sn = "RAXO-E-2026-00" + std::to_string(i + 1);
        s.model = "LDS-Raxo-E";
        s.ip[3] = uint8_t(2 + i);
        s.upload_port = uint16_t(2368 + i);
        const QByteArray hb = bytes(i == 1 ? make_heartbeat112(s) : make_heartbeat104(s));
        if (deliver)
            deliver(hb);
        else
            d.recv_heartbeat(hb);
    }
}

void shootDialogs(const QString &lang)
{
    testsupport::ScopedTranslation tr(lang);
    ASSERT_TRUE(tr.loaded());
    // The font the program sets for the language.
    QApplication::setFont(QFont("Arial", lang == "English" ? 8 : 10));
    load_test_settings();
    {
        Dialog_Connect d;
        fillConnectDialog(d);
        shoot(&d, "dialog_connect_" + lang);
    }
    {
        Dialog_Config d;
        shoot(&d, "dialog_config_" + lang);
    }
    {
        Dialog_Software_Info d;
        shoot(&d, "dialog_software_info_" + lang);
    }
    {
        Dialog_Question d("lidar model select", {"LDS-Fenk-U", "LDS-Raxo-E", "LDS-Raxo-S", "LDS-Vimo-E",
                                                 "Algorithm Box"});
        shoot(&d, "dialog_question_" + lang);
    }
    {
        Component_LogOperate t;
        t.setSourcePath("/data/record/20260108_090503.dump");
        t.frameCount = 11;
        t.setPlayIndex(5);
        t.resize(1100, t.sizeHint().height());
        shoot(&t, "component_logoperate_" + lang);
    }
}

// The factory test after a run, the point table on a block of a Raxo frame, the voxel dialog.
void shootInspectionDialogs(const QString &lang)
{
    testsupport::ScopedTranslation tr(lang);
    ASSERT_TRUE(tr.loaded());
    QApplication::setFont(QFont("Arial", lang == "English" ? 8 : 10));
    load_test_settings();
    {
        Dialog_Detect_Raxo d;
        const std::pair<const char *, const char *> values[] = {
            {"le_test_frame_sum", "2"},        {"le_pass_rate", "0.9"},
            {"le_conf_ave_threshold", "10"},   {"le_conf_stdev_threshold", "10"},
            {"le_xy_threshold", "5"},          {"le_z_threshold", "5"},
            {"le_z_diff_threshold", "5"},      {"le_board_depth_threshold", "10"},
            {"le_noise_num_threshold", "20"}};
        for (const auto &[name, value] : values)
            d.findChild<QLineEdit *>(name)->setText(value);
        d.findChild<QAbstractButton *>("pb_start")->click();
        std::vector<UserPointData> floor;
        for (int a = -59; a <= 59; ++a)
            for (int r = 1; r <= 3; ++r) {
                UserPointData p;
                p.x = float(r * std::cos(a * M_PI / 180.0));
                p.y = float(r * std::sin(a * M_PI / 180.0));
                p.z = -0.05f - 0.001f * float(r);
                p.intensity = uint16_t(100 + r);
                floor.push_back(p);
            }
        for (float y : {0.5f, -0.5f}) {
            UserPointData p;
            p.x = 0.1f;
            p.y = y;
            p.z = -0.05f;
            floor.push_back(p);
        }
        d.detectFrame(floor);
        floor.resize(floor.size() / 2);
        d.detectFrame(floor);
        shoot(&d, "dialog_detect_raxo_" + lang);
    }
    {
        Dialog_AllData d;
        d.setLidarType(LIDAR_RAXO_E);
        std::vector<UserPointData> frame(4501);
        for (size_t i = 0; i < frame.size(); ++i) {
            frame[i].x = 0.01f * float(i);
            frame[i].y = -0.5f + 0.001f * float(i);
            frame[i].z = -0.05f;
            frame[i].distance = 1.5f;
            frame[i].intensity = uint16_t(i % 256);
        }
        d.setData(frame, true);
        d.findChild<QAbstractButton *>("pb_nextPage")->click();
        d.findChild<QAbstractButton *>("pb_lastPage")->click();
        d.resize(841, 553);
        shoot(&d, "dialog_alldata_" + lang);
    }
    {
        Dialog_ObjectTrack d;
        ObjectListMsg list{};
        list.count = 5;
        for (int i = 0; i < 5; ++i) {
            TrackedObject &o = list.objects[i];
            o.id = uint8_t(3 + 4 * i);
            o.class_index = i - 1;
            o.alarm_flags = uint8_t(1 << (i % 3));
            o.center_x = 2.5f + float(i);
            o.center_y = -1.25f + 0.5f * float(i);
            o.center_z = -0.4f;
            o.length = 0.6f;
            o.width = 0.5f;
            o.height = 1.7f;
        }
        d.setObjectList(&list);
        // The table of a later second without the first two objects: their rows turn grey.
        d.setClock([] { return QDateTime::currentMSecsSinceEpoch() + 1000; });
        list.count = 3;
        std::memmove(&list.objects[0], &list.objects[2], 3 * sizeof(TrackedObject));
        d.setObjectList(&list);
        shoot(&d, "dialog_objecttrack_" + lang);
    }
    {
        Dialog_VoxelFilter d;
        d.findChild<QLineEdit *>("le_voxel_unit_size")->setText("0.05");
        d.findChild<QLineEdit *>("le_voxel_min_num")->setText("5");
        shoot(&d, "dialog_voxelfilter_" + lang);
    }
}

// The training dialog with two models listed and the log of a refused run and an added model.
void shootTrainingDialog(const QString &lang)
{
    testsupport::ScopedTranslation tr(lang);
    ASSERT_TRUE(tr.loaded());
    QApplication::setFont(QFont("Arial", lang == "English" ? 8 : 10));
    load_test_settings();
    PointCloudAnomalyDetector *detector = PointCloudAnomalyDetector::GetInstance();
    ASSERT_NE(detector, nullptr);
    const std::string none = testsupport::temp_dir() + "/no_models.bin";
    std::ofstream(none) << "0";
    std::vector<ModelInfo> infos;
    detector->LoadModelsFromFile(none, infos);
    detector->AddModel("person");
    detector->AddModel("forklift");
    Dialog_TrainData d;
    d.findChild<QLineEdit *>("le_train_name")->setText("pallet");
    d.findChild<QPushButton *>("pb_start_train")->click();
    d.findChild<QPushButton *>("pb_import_abnormal_model")->click();
    shoot(&d, "dialog_traindata_" + lang);
}

// The main window as it starts, with a line in its log, and its connection dialog filled by
// the heartbeats the window received.
void shootMainWindow(const QString &lang)
{
    testsupport::ScopedTranslation tr(lang);
    ASSERT_TRUE(tr.loaded());
    QApplication::setFont(QFont("Arial", lang == "English" ? 8 : 10));
    load_test_settings();
    MainWindow w;
    w.setWindowTitle("QuorvelView3D");
    // Xvfb runs no window manager to maximise the window: give it a desktop's size.
    w.resize(1600, 900);
    MainWindowTestAccess a(w);
    w.recv_data(4, QByteArray("lidar data reception is ok"));
    a.tick();
    shoot(&w, "mainwindow_" + lang);

    Dialog_Connect *d = a.connectDialog();
    fillConnectDialog(*d, [&w](QByteArray hb) { w.recv_data(MSG_HEARTBEAT, hb); });
    shoot(d, "mainwindow_connect_" + lang);
}

// A site engineer's round with a fake Raxo-S: its heartbeats fill the connection dialog, the
// session shows its scans in 3D, on the configuration page and in the 2D view, a recording
// of it plays back. A picture at each step.
void walkLiveSession(const QString &lang)
{
    if (!network_is_isolated())
        GTEST_SKIP() << "needs the test network namespace (scripts/test.sh)";
    testsupport::ScopedTranslation tr(lang);
    ASSERT_TRUE(tr.loaded());
    QApplication::setFont(QFont("Arial", lang == "English" ? 8 : 10));
    load_test_settings();
    const std::string logpath = testsupport::make_temp_subdir("walk_" + lang.toStdString());
    IniSettings::instance()->set_value("Standard", "Logpath", logpath, "main_ini");
    testsupport::ModalRecorder modal;

    FakeRaxo fake;
    ASSERT_TRUE(fake.ok());
    FakeHeartbeatSender beats;
    ASSERT_TRUE(beats.ok());
    FakeSensorInfo info;
    info.sn = "RAXO-S-2026-0007";
    info.model = "LDS-Raxo-S";
    info.listen_port = uint16_t(fake.listen_port());
    QTimer beat;
    QObject::connect(&beat, &QTimer::timeout, [&] { beats.send(make_heartbeat104(info)); });
    beat.start(200);

    MainWindow w;
    w.setBindAddress("127.0.0.1");
    w.setWindowTitle("QuorvelView3D");
    w.resize(1600, 900);
    MainWindowTestAccess a(w);
    const int local = testsupport::free_udp_port();

    // The dialog as the engineer meets it: the sensor's row, picked, the host port typed.
    modal.dialogAction = [&](QDialog *dialog) {
        auto *d = qobject_cast<Dialog_Connect *>(dialog);
        if (d == nullptr)
            return 0;
        if (!QTest::qWaitFor([d] { return d->DeviceInfoTable->rowCount() == 1; }, 10000))
            return 0;
        auto *view = d->findChild<QTableView *>("servers");
        const QRect cell = view->visualRect(view->model()->index(0, Dialog_Connect::COL_SN));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        auto *port = d->findChild<QLineEdit *>("le_listenport");
        port->clear();
        QTest::keyClicks(port, QString::number(local));
        shoot(d, "walk_connect_" + lang);
        QTest::mouseClick(d->findChild<QPushButton *>("pb_connect"), Qt::LeftButton);
        return d->result();
    };
    w.findChild<QAction *>("actionRaxo_S")->trigger();
    ASSERT_NE(a.session().raxoReceiver(), nullptr) << "the dialog picked no sensor";
    fake.set_host("127.0.0.1", local);

    // Scans of a room with two people in it, twenty a second.
    RaxoScene scene;
    scene.wall(8.0);
    scene.object(60, 110, 150, 160, 3.0);
    scene.object(70, 120, 220, 228, 5.0);
    const std::vector<Bytes> scan = scene.packets();
    QTimer stream;
    QObject::connect(&stream, &QTimer::timeout, [&] {
        for (const Bytes &p : scan)
            fake.send_data(p);
    });
    stream.start(50);
    QTest::qWait(1500);
    ASSERT_NO_FATAL_FAILURE(shoot(&w, "walk_live3d_" + lang));

    // The configuration page, refreshed from the sensor.
    w.switchProperty(1);
    auto *page = w.findChild<QWidget *>("page_raxo_e");
    ASSERT_NE(page, nullptr);
    page->findChild<QPushButton *>("pb_flush")->click();
    QTest::qWait(800);
    ASSERT_NO_FATAL_FAILURE(shoot(&w, "walk_config_" + lang));

    w.switchView(1);
    QTest::qWait(800);
    ASSERT_NO_FATAL_FAILURE(shoot(&w, "walk_live2d_" + lang));
    w.switchView(0);

    // One second recorded from the toolbar, then played back.
    QAction *record = nullptr;
    for (QAction *act : a.logOperate()->actions())
        if (act->text() == QCoreApplication::translate("Component_LogOperate", "videoCamera"))
            record = act;
    ASSERT_NE(record, nullptr);
    record->trigger();
    QTest::qWait(1000);
    record->trigger();
    stream.stop();
    LogManager::instance()->wait_stopped(); // the recorder's thread writes the rest, then renames
    QStringList dumps;
    QDirIterator it(QString::fromStdString(logpath), {"*.dump"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        dumps << it.next();
    ASSERT_EQ(dumps.size(), 1);
    modal.chooserAnswers.push_back(dumps[0]);
    modal.dialogAction = nullptr;
    w.findChild<QAction *>("actionPlayBack")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return a.cacheProgress() == 100.0f; }, 20000));
    for (int i = 0; i < 6; ++i) {
        a.logOperate()->recv_timeout();
        QTest::qWait(120);
    }
    ASSERT_NO_FATAL_FAILURE(shoot(&w, "walk_playback_" + lang));
    EXPECT_TRUE(modal.warnings.empty()) << modal.warningLines().join("; ").toStdString();
}

} // namespace

TEST(Screenshots, MainWindowInEnglish) { shootMainWindow("English"); }

TEST(Screenshots, MainWindowInChinese) { shootMainWindow("Chinese"); }

TEST(Screenshots, DialogsInEnglish) { shootDialogs("English"); }

TEST(Screenshots, DialogsInChinese) { shootDialogs("Chinese"); }

TEST(Screenshots, InspectionDialogsInEnglish) { shootInspectionDialogs("English"); }

TEST(Screenshots, InspectionDialogsInChinese) { shootInspectionDialogs("Chinese"); }

TEST(Screenshots, TrainingDialogInEnglish) { shootTrainingDialog("English"); }

TEST(Screenshots, TrainingDialogInChinese) { shootTrainingDialog("Chinese"); }

TEST(Screenshots, LiveSessionWalkInEnglish) { walkLiveSession("English"); }

TEST(Screenshots, LiveSessionWalkInChinese) { walkLiveSession("Chinese"); }
