#pragma once
// Stand-in for the Raxo-E/Raxo-S configuration page until the Raxo page issue builds it: the
// signals the main window connects, the reply hand-overs, the zone editor it carries, and
// nothing else.

#include <QByteArray>
#include <QMainWindow>
#include <QString>

#include <cstddef>
#include <cstdint>

class Page_DrawZone;

class Page_Raxo_E : public QMainWindow {
    Q_OBJECT

public:
    explicit Page_Raxo_E(QWidget *parent = nullptr);

    // Bodies of the replies 0x8001 and 0x8006 (reply byte 12 on) and their lengths.
    void setInfo(const uint8_t *body, size_t length);
    void setAlgInfo(const uint8_t *body, size_t length);

    // The zone editor the page carries; lives as long as the page.
    Page_DrawZone *getDrawZone();
    // 2: Raxo-S, 1: Raxo-E.
    void setLidarType(int type);
    bool isGrayImgShow();

    size_t lastInfoLength() const { return lastInfoLength_; }
    size_t lastAlgInfoLength() const { return lastAlgInfoLength_; }
    int lidarType() const { return lidarType_; }

public slots:
    void recv_height(float compensate);
    void recv_modelData(QString path);

signals:
    void sig_data(int type, QByteArray info);
    void sig_upgrade(QString path, int lidartype, int updatetype);
    void sig_sendcmd(QByteArray cmd, QString note, int lidartype = 1);
    void sig_showDataType(int type);
    void sig_height(float height);
    void sig_autoheight();
    void sig_show_objtrack();
    void sig_objselect(bool isselect);

private:
    Page_DrawZone *drawZone_ = nullptr;
    size_t lastInfoLength_ = 0;
    size_t lastAlgInfoLength_ = 0;
    int lidarType_ = 1;
};
