#pragma once
// The algorithm box's detection and IO page. Every setting becomes one ASCII command text in an
// LhCrcFrame (S_PACK) that the page hands to the main window for the box session's receiver;
// the page keeps no copy of the box's settings and reads its widgets at the moment of the click.

#include <QByteArray>
#include <QString>
#include <QWidget>

class QButtonGroup;
class QLabel;

namespace Ui {
class Page_Box_V0;
}

class Page_Box_V0 : public QWidget {
    Q_OBJECT
public:
    // Lamp colours of setLampStyle.
    enum LampColour { LampGrey = 0, LampGreen = 1, LampBlue = 2, LampYellow = 3, LampRed = 4 };

    explicit Page_Box_V0(QWidget *parent = nullptr);
    ~Page_Box_V0() override;

    // One text-command frame: "LH", cmd, a fresh rand() sequence, the length rounded up to 4,
    // the len bytes at data zero-padded, the word CRC. Empty when the text does not fit a
    // frame (more than 2036 bytes) or len is negative.
    static QByteArray buildCmdFrame(int cmd, int len, const char *data);

    // The box address of the running session.
    void setIP(QString ip);
    QString boxIP() const { return box_ip_; }

    // A round status lamp of size x size pixels in one of the LampColour colours; any other
    // colour leaves the background colour empty.
    static void setLampStyle(QLabel *label, int colour, int size);

    // Shows the upload type the box reports, as the user's choice would show it, without
    // sending it back to the box as a setting.
    void showUploadType(int type);

signals:
    void sig_sendcmd(QByteArray sendbuf, QString note, int lidartype = 4);
    // Declared like the other device pages' signals; this page emits none of the three.
    void sig_data(int type, QByteArray info);
    void sig_upgrade(QString path, int lidartype, int updatetype);
    void sig_ipchange(QString ip);
    // The box session is to show objects (true) or points (false).
    void sig_iconshow(bool isopen);
    // The displayed cloud is to be cleared.
    void sig_reset();

public slots:
    void on_pb_setstaticframe_clicked();
    void on_pb_cir_clicked();
    void on_pb_fir_clicked();
    void on_pb_carsize_clicked();
    void on_pb_factor_clicked();
    void on_cb_iconshow_clicked(bool checked);
    void recv_cb_ioclick(int id);
    void on_pb_pnp_clicked();
    void on_pb_out_clicked();
    void on_cb_upload_data_type_currentIndexChanged(int index);
    void on_pb_set_height_clicked();

private:
    // Packs the text (local 8-bit encoding) with S_PACK and emits it with its note; a text too
    // long for one frame is refused with a warning and nothing is sent.
    bool sendText(const QString &text, const QString &note);

    Ui::Page_Box_V0 *ui;
    QString box_ip_;
    QButtonGroup *io_group_ = nullptr;
    bool reporting_ = false; // the combo box shows what the box reported (showUploadType)
};
