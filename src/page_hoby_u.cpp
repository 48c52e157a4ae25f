#include "page_hoby_u.h"

#include "ui_page_hoby_u.h"

#include "pagehelpers.h"
#include "lhframe.h"
#include "messagebox.h"
#include "tracelog.h"
#include "userpointdata.h"


#include <cstdlib>
#include <cstring>

Page_Hoby_U::Page_Hoby_U(QWidget *parent) : QWidget(parent), ui(new Ui_Page_Hoby_UClass)
{
    ui->setupUi(this);
    dataType_ = 0;
    restore_upgrade_path(ui->le_update);
}

Page_Hoby_U::~Page_Hoby_U()
{
    delete ui;
}

QByteArray Page_Hoby_U::buildCmdFrame(uint16_t code, uint16_t len, const void *data)
{
    if (len > FENK_SET_DATA_MAX)
        return {};
    uint8_t body[4 + FENK_SET_DATA_MAX] = {};
    wr_u16(body, code);
    wr_u16(body + 2, len);
    if (len > 0 && data != nullptr)
        std::memcpy(body + 4, data, len);
    return buildFrame(0, uint16_t(std::rand() & 0x7FFF), FENK_SET, uint32_t(len) + 4, body);
}

QByteArray Page_Hoby_U::buildFrame(uint16_t reserved, uint16_t seq, uint16_t type, uint32_t len,
                                   const void *data)
{
    const std::vector<uint8_t> f = lh_make_sum_frame(reserved, seq, type, data, len);
    return QByteArray(reinterpret_cast<const char *>(f.data()), int(f.size()));
}

void Page_Hoby_U::sendSet(uint16_t code, const QByteArray &data, const QString &note)
{
    const QByteArray frame = buildCmdFrame(code, uint16_t(data.size()), data.constData());
    emit sig_sendcmd(frame, note, LIDAR_FENK_U);
}

void Page_Hoby_U::warn(const QString &text)
{
    show_warning(nullptr, tr("error"), text, QMessageBox::Ok);
}

void Page_Hoby_U::on_pb_setsn_2_clicked()
{
    // The device counts bytes: a text with characters outside ASCII is longer than it looks.
    const QByteArray sn = ui->le_sn_2->text().toLocal8Bit();
    if (size_t(sn.size()) > FENK_SET_DATA_MAX) {
        warn(tr("sn is too long (at most %1 bytes)!").arg(FENK_SET_DATA_MAX));
        return;
    }
    sendSet(FENK_SET_SN, sn, tr("sn"));
}

void Page_Hoby_U::on_pb_setid_2_clicked()
{
    sendSet(FENK_SET_ID, le_u32_bytes(ui->le_id_2->text().toUInt(nullptr, 10)), tr("id"));
}

void Page_Hoby_U::on_pb_setip_2_clicked()
{
    char formatted[64] = {};
    uint16_t port = 0;
    if (!check_typed_address(true, ui->le_ip_2->text(), ui->le_mask_2->text(),
                             ui->le_gateway_2->text(), ui->le_port_2->text(), formatted, &port)) {
        warn(tr("ip.mask.gatewat.port  format error!"));
        return;
    }
    const QByteArray data = address_octets(ui->le_ip_2->text()) + address_octets(ui->le_mask_2->text())
                            + address_octets(ui->le_gateway_2->text()) + le_u16_bytes(port);
    sendSet(FENK_SET_ADDRESS, data, tr("lidar ip mask gateway port"));
    emit sig_lidaripchange(ui->le_ip_2->text(), port);
}

void Page_Hoby_U::on_pb_setdstip_2_clicked()
{
    char formatted[64] = {};
    uint16_t port = 0;
    if (!check_typed_address(false, ui->le_dstip_2->text(), {}, {}, ui->le_dstport_2->text(),
                             formatted, &port)) {
        warn(tr("target ip.port  format error!"));
        return;
    }
    sendSet(FENK_SET_UPLOAD, address_octets(ui->le_dstip_2->text()) + le_u16_bytes(port),
            tr("lidar upload ip port"));
}

void Page_Hoby_U::on_pb_setdatatype_2_clicked()
{
    uint16_t mask = 0;
    if (ui->cb_data1_2->isChecked())
        mask |= 0x02;
    if (ui->cb_data2_2->isChecked())
        mask |= 0x04;
    if (ui->cb_data3_2->isChecked())
        mask |= 0x08;
    if (ui->cb_data4_2->isChecked())
        mask |= 0x10;
    if (ui->cb_data5_2->isChecked())
        mask |= 0x20;
    sendSet(FENK_SET_DATA_TYPE, le_u16_bytes(mask), tr("data type"));
}

void Page_Hoby_U::on_pb_pwm_2_clicked()
{
    const uint16_t pwm = ui->le_pwm_2->text().toUShort(nullptr, 10);
    if (pwm >= 100) {
        warn(tr("pwn set range(0,100)"));
        return;
    }
    sendSet(FENK_SET_PWM, le_u16_bytes(pwm), tr("pwm"));
}

void Page_Hoby_U::on_pb_setconfidence_2_clicked()
{
    QByteArray data(1, ui->cb_confidence_filter_enable_2->isChecked() ? 1 : 0);
    data += le_u16_bytes(ui->le_confidence_filter_thr_2->text().toUShort(nullptr, 10));
    sendSet(FENK_SET_CONFIDENCE, data, tr("confidence"));
}

void Page_Hoby_U::on_pb_distancefitter_clicked()
{
    QByteArray data(1, ui->cb_distancefitter->isChecked() ? 1 : 0);
    data += le_u16_bytes(ui->le_mindistance->text().toUShort(nullptr, 10));
    data += le_u16_bytes(ui->le_maxdistance->text().toUShort(nullptr, 10));
    sendSet(FENK_SET_DISTANCE, data, tr("distance fitter"));
}

void Page_Hoby_U::on_pb_chooseFile_clicked()
{
    ui->le_update->setPlainText(choose_open_file(this, tr("Open File"), upgrade_chooser_start(ui->le_update),
                                                 tr("Firmware(*.bin *.lhl)")));
}

void Page_Hoby_U::on_pb_update_clicked()
{
    emit sig_upgrade(ui->le_update->toPlainText(), LIDAR_FENK_U, MSG_FW_MOTOR);
}

void Page_Hoby_U::setInfo(const char *body, int len)
{
    namespace f = fenk_param;
    if (body == nullptr || len < int(f::kSize)) {
        QV_TRACE_LIMITED() << "lidar parameters too short:" << len << "bytes, need" << f::kSize;
        return;
    }
    const uint8_t *p = reinterpret_cast<const uint8_t *>(body);
    ui->le_sn_2->setText(field_text(p + f::kSerial, 32));
    ui->lb_model_2->setText(field_text(p + f::kModel, 16));
    ui->lb_hardver_2->setText(version_text(rd_u32(p + f::kHardVersion)));
    ui->lb_softver_2->setText(version_text(rd_u32(p + f::kSoftVersion)));
    ui->lb_asn_2->setText(field_text(p + f::kBoardASerial, 32));
    ui->le_id_2->setText(QString::number(rd_u32(p + f::kId)));

    ui->le_ip_2->setText(address_text(p + f::kIp));
    ui->le_mask_2->setText(address_text(p + f::kMask));
    ui->le_gateway_2->setText(address_text(p + f::kGateway));
    ui->le_port_2->setText(QString::number(rd_u16(p + f::kPort)));
    ui->le_dstip_2->setText(address_text(p + f::kUploadIp));
    ui->le_dstport_2->setText(QString::number(rd_u16(p + f::kUploadPort)));

    // Every box follows its bit both ways, so the boxes show what the next "set" sends.
    dataType_ = rd_u16(p + f::kDataType);
    ui->cb_data1_2->setChecked(dataType_ & 0x02);
    ui->cb_data2_2->setChecked(dataType_ & 0x04);
    ui->cb_data3_2->setChecked(dataType_ & 0x08);
    ui->cb_data4_2->setChecked(dataType_ & 0x10);
    ui->cb_data5_2->setChecked(dataType_ & 0x20);

    ui->cb_uploadfix_2->setChecked(p[f::kUploadFix] != 0);
    ui->cb_calib_2->setChecked(p[f::kCalib] != 0);
    ui->le_pwm_2->setText(QString::number(rd_u16(p + f::kPwm)));

    const uint8_t filters = p[f::kFilters];
    ui->cb_confidence_filter_enable_2->setChecked(filters & 0x01);
    ui->le_confidence_filter_thr_2->setText(QString::number(rd_u16(p + f::kConfidenceThr)));
    ui->cb_distancefitter->setChecked(filters & 0x02);
    ui->le_mindistance->setText(QString::number(rd_u16(p + f::kMinDistance)));
    ui->le_maxdistance->setText(QString::number(rd_u16(p + f::kMaxDistance)));
}

void Page_Hoby_U::recv_params(QByteArray body)
{
    setInfo(body.constData(), body.size());
}
