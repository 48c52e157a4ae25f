#pragma once
// What the window benchmarks and soaks share: settings of their own in a temporary folder (with
// a log path for recordings), the connection dialog answered as a user would, and the playback
// toolbar's record action.

#include "component_logoperate.h"
#include "dialog_connect.h"
#include "inisettings.h"
#include "mainwindowaccess.h"
#include "messagebox.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>
#include <string>

// "main_ini" in a fresh temporary folder, English unless the system says otherwise, recordings
// under `logpath`.
struct BenchSettings {
    explicit BenchSettings(bool english = true)
    {
        std::ofstream(temp.path().toStdString() + "/QuorvelView3D.ini").flush();
        IniSettings::instance()->load(temp.path().toStdString(), "/QuorvelView3D.ini", "main_ini");
        if (english)
            IniSettings::instance()->set_value("Standard", "Language", "English", "main_ini");
        QDir().mkpath(logpath);
        IniSettings::instance()->set_value("Standard", "Logpath", logpath.toStdString(), "main_ini");
    }
    QTemporaryDir temp;
    QString logpath = temp.path() + "/log";
};

// The connection dialog answers the next connect action as a user would: the device's row chosen,
// the host port typed, "connect" pressed.
inline void answer_connect(const std::string &ip, int devicePort, int localPort, const QString &sn)
{
    set_dialog_handler([=](QDialog *dialog) {
        auto *d = qobject_cast<Dialog_Connect *>(dialog);
        if (d == nullptr)
            return 0;
        d->lidarip = QString::fromStdString(ip);
        d->lidarport = uint16_t(devicePort);
        d->lidarsn = sn;
        d->selectrow = 0;
        d->findChild<QLineEdit *>("le_listenport")->setText(QString::number(localPort));
        QTest::mouseClick(d->findChild<QPushButton *>("pb_connect"), Qt::LeftButton);
        return d->result();
    });
}

// The playback toolbar's record button; null when the toolbar has none.
inline QAction *record_action(MainWindowTestAccess &a)
{
    for (QAction *act : a.logOperate()->actions())
        if (act->text() == "videoCamera")
            return act;
    return nullptr;
}
