#pragma once
// Stand-in for the algorithm box's detection and IO page until the algorithm-box issue builds
// it: the signals the main window connects, the box address and the upload-type combo box.

#include <QByteArray>
#include <QString>
#include <QWidget>

class QComboBox;

class Page_Box_V0 : public QWidget {
    Q_OBJECT

public:
    explicit Page_Box_V0(QWidget *parent = nullptr);

    void setIP(QString ip);
    QString ip() const { return ip_; }

signals:
    void sig_sendcmd(QByteArray sendbuf, QString note, int lidartype = 4);
    void sig_data(int type, QByteArray info);
    void sig_iconshow(bool isopen);
    void sig_reset();

private:
    QComboBox *cb_upload_data_type = nullptr;
    QString ip_;
};
