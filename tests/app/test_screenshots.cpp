// Pictures of the windows as a user sees them, in English and in Chinese, kept in
// "<build folder>/screenshots" for a person to look at. The checks here are only that each
// picture was taken and is not blank.

#include "appsettings.h"
#include "component_logoperate.h"
#include "dialog_config.h"
#include "dialog_connect.h"
#include "dialog_question.h"
#include "dialog_software_info.h"
#include "fakeheartbeat.h"
#include "inisettings.h"
#include "mainwindow.h"
#include "mainwindowaccess.h"
#include "testsupport.h"
#include "userpointdata.h"
#include "widgettexts.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QTest>
#include <QToolBar>

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

} // namespace

TEST(Screenshots, MainWindowInEnglish) { shootMainWindow("English"); }

TEST(Screenshots, MainWindowInChinese) { shootMainWindow("Chinese"); }

TEST(Screenshots, DialogsInEnglish) { shootDialogs("English"); }

TEST(Screenshots, DialogsInChinese) { shootDialogs("Chinese"); }
