#pragma once
// Stand-in for the Vimo-E configuration page until the pages issue builds it: the signals the
// main window connects and the parameter hand-over, and nothing else.

#include "vimolidarinfo.h"

#include <QByteArray>
#include <QString>
#include <QWidget>

class Page_Vimo_E : public QWidget {
    Q_OBJECT

public:
    explicit Page_Vimo_E(QWidget *parent = nullptr);

    void setInfo(VimoLidarInfo info);

    const VimoLidarInfo &lastInfo() const { return lastInfo_; }

signals:
    void sig_sendcmd(QByteArray cmd, QString note, int lidartype = 3);
    void sig_upgrade(QString path, int lidartype, int updatetype);
    void sig_showtime(int time);
    void sig_ignore_err(int second);

private:
    VimoLidarInfo lastInfo_;
};
