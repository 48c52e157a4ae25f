#pragma once
// A small stand-alone window for talking to a connected Vimo-E sensor in its own text
// commands: the user picks the pack type, types a command and sends it; the window lists the
// command and the sensor's answer with their times. It has its own UDP socket and waits for
// the answer (at most five seconds) before it returns.

#include <QByteArray>
#include <QString>
#include <QWidget>

class QStandardItemModel;
class Ui_Page_Admin;

class Page_Admin : public QWidget {
    Q_OBJECT

public:
    explicit Page_Admin(QWidget *parent = nullptr);
    ~Page_Admin() override;

    // Where commands go, written by the main window each time it opens the window.
    void setIP(const QString &ip) { ip_ = ip; }
    void setPort(int port) { port_ = port; }
    void setLidarType(int type) { lidarType_ = type; }
    QString ip() const { return ip_; }
    int port() const { return port_; }
    int lidarType() const { return lidarType_; }

    // The history: columns "TIME", "CMD", "RETURN".
    QStandardItemModel *model() const { return model_; }

    // Appends one reply row: the time and the text in "RETURN".
    void appendReply(const QString &text);

signals:
    void sig_data(int type, QByteArray info);

public slots:
    void on_pb_send_clicked();

private:
    Ui_Page_Admin *ui;
    QStandardItemModel *model_ = nullptr;
    QString ip_;
    int port_ = 0;
    int lidarType_ = 5;
    int sock_ = -1;
};
