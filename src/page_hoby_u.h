#pragma once
// Stand-in for the Fenk-U configuration page until the pages issue builds it: the signals the
// main window connects and the parameter hand-over, and nothing else.

#include <QByteArray>
#include <QString>
#include <QWidget>

#include <cstddef>
#include <cstdint>

class Page_Hoby_U : public QWidget {
    Q_OBJECT

public:
    explicit Page_Hoby_U(QWidget *parent = nullptr);

    // The body of the parameter reply 0x8007 (reply byte 12 on) and its length.
    void setInfo(const uint8_t *body, size_t length);

    size_t lastInfoLength() const { return lastInfoLength_; }

signals:
    void sig_sendcmd(QByteArray cmd, QString note, int lidartype = 0);
    void sig_upgrade(QString path, int lidartype, int updatetype);

private:
    size_t lastInfoLength_ = 0;
};
