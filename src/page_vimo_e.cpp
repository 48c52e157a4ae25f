#include "page_vimo_e.h"

#include "ui_page_vimo_e.h"

#include "pagehelpers.h"
#include "lhframe.h"
#include "messagebox.h"
#include "settingsdocument.h"
#include "texthelpers.h"
#include "userpointdata.h"

#include <QIntValidator>
#include <QTimer>

#include <cstdlib>

namespace {

QString device_text(const uint8_t *p, size_t width)
{
    return QString::fromStdString(trim_version_string(p, width));
}

} // namespace

bool vimo_lidar_info_decode(const uint8_t *data, size_t len, VimoLidarInfo *out)
{
    if (data == nullptr || len < VIMO_PARAM_SIZE || out == nullptr)
        return false;
    out->sn = device_text(data + 8, 20);
    out->model = device_text(data + 28, 16);
    out->ip = address_text(data + 48);
    out->mask = address_text(data + 52);
    out->gateway = address_text(data + 56);
    out->dstIp = address_text(data + 60);
    out->dstPort = rd_u16(data + 64);
    out->port = rd_u16(data + 66);
    out->uploadFix = data[77];
    out->ptp = data[143] & 0x01;
    return true;
}

Page_Vimo_E::Page_Vimo_E(QWidget *parent) : QWidget(parent), ui(new Ui_Page_Vimo_EClass)
{
    ui->setupUi(this);
    ui->tabWidget->setCurrentIndex(0);
    // The debug queries stay in the form but are not offered on the page.
    ui->tabWidget->removeTab(2);
    ui->cb_uploadfix->setEnabled(false);
    connect(ui->pb_start, &QPushButton::clicked, ui->pb_start, [this] { onStartClicked(); },
            Qt::DirectConnection);
    connect(ui->pb_stop, &QPushButton::clicked, ui->pb_stop, [this] { onStopClicked(); },
            Qt::DirectConnection);
    connect(ui->cb_ptp_enable, &QCheckBox::clicked, ui->cb_ptp_enable,
            [this](bool on) { setPtpEnable(on); }, Qt::DirectConnection);
    ui->le_showtime->setText("10");
    ui->le_showtime->setValidator(new QIntValidator(1, kMaxFramesKept, ui->le_showtime));
    restore_upgrade_path(ui->le_update);
}

Page_Vimo_E::~Page_Vimo_E()
{
    delete ui;
}

QByteArray Page_Vimo_E::buildTextFrame(const QByteArray &text, uint16_t pack)
{
    return text_command_frame(pack, text.constData(), text.size());
}

void Page_Vimo_E::sendText(const QByteArray &text, uint16_t pack, const QString &note)
{
    emit sig_sendcmd(buildTextFrame(text, pack), note, LIDAR_VIMO_E);
}

void Page_Vimo_E::warn(const QString &text)
{
    show_warning(nullptr, tr("error"), text, QMessageBox::Ok);
}

void Page_Vimo_E::onStartClicked()
{
    sendText("LSTARH", C_PACK, tr("set lidar start"));
    emit sig_ignore_err(15);
}

void Page_Vimo_E::onStopClicked()
{
    sendText("LSTOPH", C_PACK, tr("set lidar stop"));
}

void Page_Vimo_E::setPtpEnable(bool on)
{
    sendText(QByteArray("LSPTP:") + (on ? "1" : "0") + "H", S_PACK,
             tr("set lidar ptp :%1").arg(on ? tr("enable") : tr("disable")));
}

void Page_Vimo_E::on_cb_uploadfix_clicked(bool isok)
{
    sendText(QByteArray("LSTFX:") + (isok ? "1" : "0") + "H", S_PACK,
             tr("set lidar uploadfix :%1").arg(isok ? tr("enable") : tr("disable")));
}

void Page_Vimo_E::on_pb_uploadfix_clicked()
{
    sendText("LSTFX:1H", S_PACK, tr("set lidar uploadfix enable"));
    // The device's new state is read back whether or not it has answered by then.
    QTimer::singleShot(2000, Qt::PreciseTimer, this, &Page_Vimo_E::queryParams);
}

void Page_Vimo_E::queryParams()
{
    sendText(VIMO_PARAM_QUERY, QUERY_PACK, tr("dev param"));
}

void Page_Vimo_E::on_pb_reflush_clicked()
{
    queryParams();
}

void Page_Vimo_E::on_pb_err_query_clicked()
{
    sendText("LNETRRH", C_PACK, tr("debug query"));
}

void Page_Vimo_E::on_pb_temperature_query_clicked()
{
    sendText("LLSADCH", C_PACK, tr("temperature query"));
}

void Page_Vimo_E::on_pb_setip_clicked()
{
    char formatted[64] = {};
    uint16_t port = 0;
    if (!check_typed_address(true, ui->le_ip->text(), ui->le_mask->text(), ui->le_gateway->text(),
                             ui->le_port->text(), formatted, &port)) {
        warn(tr("ip.mask.gatewat.port  format error!"));
        return;
    }
    sendText(QByteArray("LSUDP:").append(formatted).append('H'), S_PACK,
             tr("set lidar ip mask gateway port ok"));
}

void Page_Vimo_E::on_pb_setdstip_clicked()
{
    char formatted[64] = {};
    uint16_t port = 0;
    if (!check_typed_address(false, ui->le_dstip->text(), {}, {}, ui->le_dstport->text(),
                             formatted, &port)) {
        warn(tr("target ip.port  format error!"));
        return;
    }
    sendText(QByteArray("LSDST:").append(formatted).append('H'), S_PACK,
             tr("set lidar upload ip :%1 port:%2").arg(ui->le_dstip->text(), ui->le_dstport->text()));
}

void Page_Vimo_E::on_pb_showtime_clicked()
{
    // Frames kept of 0 would show nothing: only what the field's validator offers goes out.
    bool ok = false;
    const uint32_t time = ui->le_showtime->text().toUInt(&ok, 10);
    if (!ok || time < 1 || time > uint32_t(kMaxFramesKept)) {
        warn(tr("display time range(1,99)"));
        return;
    }
    emit sig_showtime(int(time));
}

void Page_Vimo_E::on_pb_chooseFile_clicked()
{
    ui->le_update->setPlainText(choose_open_file(this, tr("Open File"), upgrade_chooser_start(ui->le_update),
                                                 tr("Firmware(*.bin *.lhl)")));
}

void Page_Vimo_E::on_pb_update_clicked()
{
    emit sig_upgrade(ui->le_update->toPlainText(), LIDAR_VIMO_E, MSG_FW_MOTOR);
}

void Page_Vimo_E::setInfo(VimoLidarInfo info)
{
    ui->lb_sn->setText(info.sn);
    ui->lb_model->setText(info.model);
    ui->le_ip->setText(info.ip);
    ui->le_mask->setText(info.mask);
    ui->le_gateway->setText(info.gateway);
    ui->le_port->setText(QString::number(info.port));
    ui->le_dstip->setText(info.dstIp);
    ui->le_dstport->setText(QString::number(info.dstPort));
    // Programmatic check states emit no clicked signal, so nothing is sent from here.
    ui->cb_uploadfix->setChecked(info.uploadFix != 0);
    ui->cb_ptp_enable->setChecked(info.ptp != 0);
}

void Page_Vimo_E::recv_params(QByteArray record)
{
    VimoLidarInfo info;
    if (vimo_lidar_info_decode(reinterpret_cast<const uint8_t *>(record.constData()), size_t(record.size()), &info))
        setInfo(info);
}
