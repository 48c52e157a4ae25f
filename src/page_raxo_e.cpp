#include "page_raxo_e.h"

#include "ui_page_raxo_e.h"

#include "lhframe.h"
#include "messagebox.h"
#include "multiselectcombobox.h"
#include "page_drawzone.h"
#include "pagehelpers.h"
#include "pointcloudanomalydetector.h"
#include "tracelog.h"
#include "userpointdata.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

QByteArray float_bytes(float f)
{
    QByteArray out(4, '\0');
    wr_f32(reinterpret_cast<uint8_t *>(out.data()), f);
    return out;
}

QString float_text(float f)
{
    return QString::number(double(f), 'g', 6);
}

} // namespace

Page_Raxo_E::Page_Raxo_E(QWidget *parent)
    : QMainWindow(parent), ui(new Ui_Page_Raxo_EClass),
      detector_(PointCloudAnomalyDetector::GetInstance())
{
    ui->setupUi(this);
    ui->tabWidget->setCurrentIndex(0);
    ui->pb_autofix->hide();

    // The area matrix: one row of four outputs per zone area.
    areaGroup_ = new QButtonGroup(this);
    areaGroup_->setExclusive(false);
    areaRows_ = QStringList{tr("observe"), tr("warm"), tr("alarm")};
    for (int i = 0; i < areaRows_.size(); ++i) {
        auto *label = new QLabel(areaRows_[i], ui->groupBox_5);
        label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        ui->verticalLayout->addWidget(label);
        for (int j = 0; j < 4; ++j) {
            auto *box = new QCheckBox(ui->groupBox_5);
            box->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
            box->setStyleSheet("QCheckBox::indicator {\nwidth: 20px;\nheight: 20px;\n}; ");
            box->setAccessibleName(tr("%1, output %2").arg(areaRows_[i]).arg(j + 1));
            ui->gridLayout_17->addWidget(box, i, j);
            areaGroup_->addButton(box, i * 4 + j);
        }
    }
    connect(areaGroup_, SIGNAL(buttonClicked(int)), this, SLOT(clickItem(int)));

    restore_upgrade_path(ui->le_update);

    ui->frame_height_fix->hide();
    ui->gb_imuset->hide();
    ui->label_7->hide();
    ui->le_distance_filter_max->hide();
    ui->cb_filter_alg->setChecked(true);
    ui->cb_obj_select->setChecked(true);
    ui->tabWidget->setTabEnabled(3, false);
    ui->tabWidget->setTabEnabled(4, false);
    ui->cb_alg_enable->hide();
    ui->le_sn->setEnabled(false);
    ui->pb_setsn->hide();
    ui->pb_query_net_error->hide();
    ui->cb_gray_img_show->hide();
    ui->cb_pointdata_packet->removeItem(4);
    ui->cb_pointdata_packet->removeItem(3);
}

Page_Raxo_E::~Page_Raxo_E()
{
    delete ui;
}

// --- Frames -------------------------------------------------------------------------------

QByteArray Page_Raxo_E::buildCmdFrame(uint16_t code, uint16_t len, const void *data)
{
    const size_t n = std::min<size_t>(len, RAXO_SET_DATA_MAX);
    uint8_t body[4 + RAXO_SET_DATA_MAX] = {};
    wr_u16(body, code);
    wr_u16(body + 2, uint16_t(n));
    if (n > 0 && data != nullptr)
        std::memcpy(body + 4, data, n);
    const std::vector<uint8_t> f =
        lh_make_sum_frame(0, uint16_t(std::rand() & 0x7FFF), RAXO_SET, body, n + 4);
    return QByteArray(reinterpret_cast<const char *>(f.data()), int(f.size()));
}

void Page_Raxo_E::sendFrame(uint16_t type, const QByteArray &payload, const QString &note)
{
    const std::vector<uint8_t> f = lh_make_sum_frame(0, uint16_t(std::rand() & 0x7FFF), type,
                                                     payload.constData(), size_t(payload.size()));
    emit sig_sendcmd(QByteArray(reinterpret_cast<const char *>(f.data()), int(f.size())), note,
                     LIDAR_RAXO_E);
}

void Page_Raxo_E::sendSet(uint16_t code, const QByteArray &data, const QString &note)
{
    const uint16_t len = uint16_t(std::min<size_t>(size_t(data.size()), RAXO_SET_DATA_MAX));
    emit sig_sendcmd(buildCmdFrame(code, len, data.constData()), note, LIDAR_RAXO_E);
}

void Page_Raxo_E::reportError(const QString &text)
{
    emit sig_data(MSG_ERROR, text.toLocal8Bit());
}

void Page_Raxo_E::warn(const QString &text)
{
    show_warning(nullptr, tr("error"), text, QMessageBox::Ok);
}

bool Page_Raxo_E::comboRow(QComboBox *combo, const QString &note, uint8_t *row)
{
    // A reply can select a row the combo does not offer (the removed point-data rows, a nibble
    // past the list); the combo then shows nothing, and 0xFF must not reach the sensor.
    if (combo->currentIndex() < 0) {
        reportError(tr("%1: no value selected").arg(note.trimmed()));
        return false;
    }
    *row = uint8_t(combo->currentIndex());
    return true;
}

// --- Frames without a setting ----------------------------------------------------------------

void Page_Raxo_E::on_pb_calib_clicked()
{
    sendFrame(RAXO_CALIBRATE, QByteArray(1, '\0'), tr("calibration"));
}

void Page_Raxo_E::on_pb_compare_frame_set_clicked()
{
    sendFrame(RAXO_CALIBRATE, QByteArray(1, '\1'), tr("compare frame "));
}

void Page_Raxo_E::on_pb_start_clicked()
{
    sendFrame(RAXO_RUN, QByteArray(1, '\1'), tr("start"));
}

void Page_Raxo_E::on_pb_stop_clicked()
{
    sendFrame(RAXO_RUN, QByteArray(1, '\0'), tr("stop"));
}

void Page_Raxo_E::on_pb_query_net_error_clicked()
{
    sendFrame(RAXO_NET_ERROR, QByteArray(), tr("query network err"));
}

void Page_Raxo_E::on_pb_flush_clicked()
{
    // The parameter reply has a log line of its own: its query queues no note.
    sendFrame(RAXO_GET_PARAM, QByteArray(1, '\0'), QString());
    QCoreApplication::processEvents();
    sendFrame(RAXO_GET_ALG_PARAM, QByteArray(), tr("get algorithm parameters"));
}

// --- Set commands ----------------------------------------------------------------------------

void Page_Raxo_E::on_pb_setsn_clicked()
{
    // The sensor counts bytes: a text with characters outside ASCII is longer than it looks.
    sendSet(RAXO_SET_SN, ui->le_sn->text().toLocal8Bit(), tr("sn"));
}

void Page_Raxo_E::on_pb_setid_clicked()
{
    sendSet(RAXO_SET_ID, le_u32_bytes(ui->le_id->text().toUInt(nullptr, 10)), tr("id"));
}

void Page_Raxo_E::on_pb_setip_clicked()
{
    char formatted[64] = {};
    uint16_t port = 0;
    if (!check_typed_address(true, ui->le_ip->text(), ui->le_mask->text(), ui->le_gateway->text(),
                             ui->le_port->text(), formatted, &port)) {
        warn(tr("ip.mask.gatewat.port  format error!"));
        return;
    }
    const QByteArray data = address_octets(ui->le_ip->text()) + address_octets(ui->le_mask->text())
                            + address_octets(ui->le_gateway->text()) + le_u16_bytes(port);
    sendSet(RAXO_SET_ADDRESS, data, tr("lidar ip mask gateway port"));
}

void Page_Raxo_E::on_pb_setdstip_clicked()
{
    char formatted[64] = {};
    uint16_t port = 0;
    if (!check_typed_address(false, ui->le_dstip->text(), {}, {}, ui->le_dstport->text(),
                             formatted, &port)) {
        warn(tr("target ip.port  format error!"));
        return;
    }
    sendSet(RAXO_SET_UPLOAD_TARGET, address_octets(ui->le_dstip->text()) + le_u16_bytes(port),
            tr("lidar upload ip port"));
}

void Page_Raxo_E::on_pb_imuset_clicked()
{
    QLineEdit *const edits[9] = {ui->le_imu0, ui->le_imu1, ui->le_imu2, ui->le_imu3, ui->le_imu4,
                                 ui->le_imu5, ui->le_imu6, ui->le_imu7, ui->le_imu8};
    QByteArray data;
    for (QLineEdit *e : edits)
        data += float_bytes(e->text().toFloat());
    sendSet(RAXO_SET_IMU_PARAM, data, tr("imu parameters"));
}

void Page_Raxo_E::on_pb_pointdata_packet_clicked()
{
    const QString note = tr("pointdata upload");
    uint8_t row = 0;
    if (comboRow(ui->cb_pointdata_packet, note, &row))
        sendSet(RAXO_SET_UPLOAD_KIND, QByteArray(1, '\0') + char(row), note);
}

void Page_Raxo_E::on_pb_dev_status_packet_clicked()
{
    const QString note = tr("dev status upload");
    uint8_t row = 0;
    if (comboRow(ui->cb_dev_status_packet, note, &row))
        sendSet(RAXO_SET_UPLOAD_KIND, QByteArray(1, '\1') + char(row), note);
}

void Page_Raxo_E::on_pb_alarm_packet_clicked()
{
    const QString note = tr("alarm upload");
    uint8_t row = 0;
    if (comboRow(ui->cb_alarm_packet, note, &row))
        sendSet(RAXO_SET_UPLOAD_KIND, QByteArray(1, '\2') + char(row), note);
}

void Page_Raxo_E::on_pb_distance_filter_clicked()
{
    QByteArray data(1, ui->cb_distance_filter->isChecked() ? '\1' : '\0');
    data += le_u16_bytes(ui->le_distance_filter_min->text().toUShort(nullptr, 10));
    data += le_u16_bytes(ui->le_distance_filter_max->text().toUShort(nullptr, 10));
    sendSet(RAXO_SET_DISTANCE_FILTER, data, tr("distance filter"));
}

void Page_Raxo_E::on_pb_intensity_filter_clicked()
{
    QByteArray data(1, ui->cb_intensity_filter->isChecked() ? '\1' : '\0');
    data += char(ui->le_intensity_distance_filter_min->text().toUShort(nullptr, 10) & 0xFF);
    data += char(ui->le_intensity_filter_min->text().toUShort(nullptr, 10) & 0xFF);
    sendSet(RAXO_SET_INTENSITY_FILTER, data, tr("intensity filter"));
}

void Page_Raxo_E::on_cb_filter_alg_clicked(bool checked)
{
    sendSet(RAXO_SET_FILTER_ALG, QByteArray(1, checked ? '\1' : '\0'), tr("filter algorithm"));
}

void Page_Raxo_E::on_pb_time_area_filter_clicked()
{
    const uint32_t d = ui->le_time_area_filter->text().toUInt(nullptr, 10);
    sendSet(RAXO_SET_TIME_AREA_FILTER, le_u16_bytes(uint16_t(d & 0xFFFF)),
            tr("time area filter algorithm"));
}

void Page_Raxo_E::on_pb_close_range_noise_clicked()
{
    QByteArray data = le_u16_bytes(ui->cb_close_range_noise->isChecked() ? 1 : 0);
    for (QLineEdit *e : {ui->le_indoor_first_threshold, ui->le_indoor_second_threshold,
                         ui->le_outdoor_first_threshold, ui->le_outdoor_second_threshold})
        data += le_u16_bytes(e->text().toUShort(nullptr, 10));
    sendSet(RAXO_SET_CLOSE_RANGE, data, tr("close range clutter "));
}

void Page_Raxo_E::on_pb_imu_type_packet_clicked()
{
    const QString note = tr("imu type ");
    uint8_t row = 0;
    if (comboRow(ui->cb_imu_type_packet, note, &row))
        sendSet(RAXO_SET_IMU_TYPE, QByteArray(1, char(row)), note);
}

void Page_Raxo_E::on_pb_imu_acc_clicked()
{
    const QString note = tr("imu acc ");
    uint8_t row = 0;
    if (comboRow(ui->cb_imu_acc, note, &row))
        sendSet(RAXO_SET_IMU_ACC, QByteArray(1, char(row)), note);
}

void Page_Raxo_E::on_pb_imu_gyro_clicked()
{
    const QString note = tr("imu gyro ");
    uint8_t row = 0;
    if (comboRow(ui->cb_imu_gyro, note, &row))
        sendSet(RAXO_SET_IMU_GYRO, QByteArray(1, char(row)), note);
}

void Page_Raxo_E::on_pb_imu_filter_level_clicked()
{
    const QString note = tr("imu filter level ");
    uint8_t acc = 0, gyro = 0;
    if (comboRow(ui->cb_imu_acc_filter, note, &acc) && comboRow(ui->cb_imu_gyro_filter, note, &gyro))
        sendSet(RAXO_SET_IMU_FILTER, QByteArray(1, char(acc)) + char(gyro), note);
}

void Page_Raxo_E::on_pb_imu_sample_rate_clicked()
{
    const QString note = tr("imu sample rate ");
    uint8_t row = 0;
    if (comboRow(ui->cb_imu_sample_rate, note, &row))
        sendSet(RAXO_SET_IMU_SAMPLE_RATE, QByteArray(1, char(row)), note);
}

// --- The algorithm block ---------------------------------------------------------------------

bool Page_Raxo_E::algBlockReady()
{
    // The block goes back whole: before this sensor's own block has arrived it would overwrite
    // the settings with zeros or with another sensor's.
    if (algParamRead_)
        return true;
    reportError(tr("algorithm parameters not read yet, press refresh first"));
    return false;
}

void Page_Raxo_E::sendAlgBlock(const QString &note)
{
    sendSet(RAXO_SET_ALG,
            QByteArray(reinterpret_cast<const char *>(algParam_), int(raxo_alg::kSize)), note);
}

void Page_Raxo_E::on_pb_cir_fir_clicked()
{
    const uint16_t cir = ui->le_cir->text().toUShort(nullptr, 10);
    const uint16_t fir = ui->le_fir->text().toUShort(nullptr, 10);
    const uint16_t frames = ui->le_frame_min_num->text().toUShort(nullptr, 10);
    const uint16_t objMin = ui->le_obj_min_num->text().toUShort(nullptr, 10);
    if (cir < 1 || cir > 10) {
        reportError(tr("circle filter num is out of range"));
        return;
    }
    if (fir < 1 || fir > 100) {
        reportError(tr("filter filter num is out of range"));
        return;
    }
    if (frames < 1 || frames > 10) {
        reportError(tr("circle filter num is out of range"));
        return;
    }
    if (objMin < 1 || objMin > 100) {
        reportError(tr("filter filter num is out of range"));
        return;
    }
    if (!algBlockReady())
        return;
    algParam_[raxo_alg::kCircles] = uint8_t(cir);
    algParam_[raxo_alg::kPoints] = uint8_t(fir);
    algParam_[raxo_alg::kFrames] = uint8_t(frames);
    algParam_[raxo_alg::kObjMin] = uint8_t(objMin);
    sendAlgBlock(tr("circle and point filter"));
}

void Page_Raxo_E::on_pb_offset_distance_clicked()
{
    const uint16_t offset = ui->le_offset_distance->text().toUShort(nullptr, 10);
    if (offset < 10 || offset > 50) {
        reportError(tr("offset distance isout of range"));
        return;
    }
    if (!algBlockReady())
        return;
    wr_f32(algParam_ + raxo_alg::kOffset, float(offset));
    sendAlgBlock(tr("offset distance"));
}

void Page_Raxo_E::on_cb_alg_enable_clicked(bool checked)
{
    if (!algBlockReady())
        return;
    algParam_[raxo_alg::kEnable] = checked ? 1 : 0;
    sendAlgBlock(tr("algorithm  enable"));
}

// --- Replies -----------------------------------------------------------------------------------

void Page_Raxo_E::setInfo(const uint8_t *body, size_t length)
{
    namespace f = raxo_param;
    // A short body is read as if the sensor had sent zeros for the rest.
    std::memset(lidarParam_, 0, sizeof lidarParam_);
    if (body != nullptr)
        std::memcpy(lidarParam_, body, std::min(length, f::kSize));
    const uint8_t *p = lidarParam_;

    ui->le_sn->setText(field_text(p + f::kSerial, 32));
    ui->lb_model->setText(field_text(p + f::kModel, 16));
    ui->lb_softver->setText(version_text(rd_u32(p + f::kSoftVersion)));
    ui->lb_hardver->setText(version_text(rd_u32(p + f::kHardVersion)));
    ui->le_id->setText(QString::number(rd_u32(p + f::kId)));
    ui->le_ip->setText(address_text(p + f::kIp));
    ui->le_mask->setText(address_text(p + f::kMask));
    ui->le_gateway->setText(address_text(p + f::kGateway));
    ui->le_port->setText(QString::number(rd_u16(p + f::kPort)));
    ui->le_dstip->setText(address_text(p + f::kUploadIp));
    ui->le_dstport->setText(QString::number(rd_u16(p + f::kUploadPort)));
    QV_TRACE_LIMITED() << "lidar port:" << rd_u16(p + f::kPort)
               << "upload port:" << rd_u16(p + f::kUploadPort);

    const uint16_t flags = rd_u16(p + f::kUploadFlags);
    ui->cb_pointdata_packet->setCurrentIndex(flags & 0x07);
    ui->cb_dev_status_packet->setCurrentIndex((flags >> 3) & 1);
    ui->cb_alarm_packet->setCurrentIndex((flags >> 4) & 1);

    QLineEdit *const bias[6] = {ui->le_acc_x,  ui->le_acc_y,  ui->le_acc_z,
                                ui->le_gyro_x, ui->le_gyro_y, ui->le_gyro_z};
    for (int i = 0; i < 6; ++i)
        bias[i]->setText(float_text(rd_f32(p + f::kAccBias + 4 * size_t(i))));
    QLineEdit *const imu[9] = {ui->le_imu0, ui->le_imu1, ui->le_imu2, ui->le_imu3, ui->le_imu4,
                               ui->le_imu5, ui->le_imu6, ui->le_imu7, ui->le_imu8};
    for (int i = 0; i < 9; ++i)
        imu[i]->setText(float_text(rd_f32(p + f::kImuParams + 4 * size_t(i))));

    ui->cb_distance_filter->setChecked(p[f::kFilters] & 0x01);
    ui->le_distance_filter_min->setText(QString::number(rd_u16(p + f::kMinDistance)));
    ui->le_distance_filter_max->setText(QString::number(rd_u16(p + f::kMaxDistance)));
    ui->cb_intensity_filter->setChecked(p[f::kFilters] & 0x02);
    ui->le_intensity_distance_filter_min->setText(QString::number(p[f::kNearEnergy]));
    ui->le_intensity_filter_min->setText(QString::number(p[f::kMinEnergy]));

    for (int i = 0; i < areaRows_.size(); ++i)
        for (int j = 0; j < 4; ++j)
            areaGroup_->button(i * 4 + j)->setChecked((p[f::kArea + size_t(i)] >> j) & 1);

    const uint8_t outputs = p[f::kOutputs];
    QCheckBox *const outs[4] = {ui->cb_out1, ui->cb_out2, ui->cb_out3, ui->cb_out4};
    QComboBox *const pnps[4] = {ui->cb_pnp1, ui->cb_pnp2, ui->cb_pnp3, ui->cb_pnp4};
    for (int k = 0; k < 4; ++k) {
        outs[k]->setChecked((outputs >> k) & 1);
        pnps[k]->setCurrentIndex((outputs >> (4 + k)) & 1);
    }

    ui->le_cir->setText(QString::number(rd_u16(p + f::kCircles)));
    ui->le_fir->setText(QString::number(rd_u16(p + f::kPoints)));
    ui->le_time_area_filter->setText(QString::number(rd_u16(p + f::kTimeArea)));
    ui->cb_close_range_noise->setChecked(rd_u16(p + f::kCloseRange) != 0);
    ui->le_indoor_first_threshold->setText(QString::number(rd_u16(p + f::kCloseRange + 2)));
    ui->le_indoor_second_threshold->setText(QString::number(rd_u16(p + f::kCloseRange + 4)));
    ui->le_outdoor_first_threshold->setText(QString::number(rd_u16(p + f::kCloseRange + 6)));
    ui->le_outdoor_second_threshold->setText(QString::number(rd_u16(p + f::kCloseRange + 8)));

    ui->cb_imu_type_packet->setCurrentIndex(p[f::kImuType]);
    ui->cb_imu_acc->setCurrentIndex(p[f::kImuRanges] & 0x0F);
    ui->cb_imu_gyro->setCurrentIndex(p[f::kImuRanges] >> 4);
    ui->cb_imu_acc_filter->setCurrentIndex(p[f::kImuFilters] & 0x0F);
    ui->cb_imu_gyro_filter->setCurrentIndex(p[f::kImuFilters] >> 4);
    ui->cb_imu_sample_rate->setCurrentIndex(p[f::kImuSampleRate]);
}

void Page_Raxo_E::setAlgInfo(const uint8_t *body, size_t length)
{
    namespace a = raxo_alg;
    if (body == nullptr || length < a::kSize) {
        QV_TRACE_LIMITED() << "algorithm parameters too short:" << length << "bytes, need" << a::kSize;
        return;
    }
    std::memcpy(algParam_, body, a::kSize);
    algParamRead_ = true;
    ui->cb_alg_enable->setChecked(algParam_[a::kEnable] != 0);
    ui->le_cir->setText(QString("%1").arg(algParam_[a::kCircles]));
    ui->le_fir->setText(QString("%1").arg(algParam_[a::kPoints]));
    ui->le_frame_min_num->setText(QString("%1").arg(algParam_[a::kFrames]));
    ui->le_obj_min_num->setText(QString("%1").arg(algParam_[a::kObjMin]));
    ui->le_offset_distance->setText(QString("%1").arg(double(rd_f32(algParam_ + a::kOffset))));
}

void Page_Raxo_E::setLidarType(int lidartype)
{
    if (lidartype != LIDAR_RAXO_E && lidartype != LIDAR_RAXO_S)
        return;
    // A new session: the block kept so far may be another sensor's.
    algParamRead_ = false;
    const bool s = lidartype == LIDAR_RAXO_S;
    ui->tabWidget->setTabEnabled(3, s);
    ui->tabWidget->setTabEnabled(4, s);
    ui->groupBox_5->setVisible(s);
    ui->groupBox_6->setVisible(s);
}

bool Page_Raxo_E::isGrayImgShow()
{
    return ui->cb_gray_img_show->isChecked();
}

Page_DrawZone *Page_Raxo_E::getDrawZone()
{
    return ui->widget_zone;
}

void Page_Raxo_E::recv_height(float compensate)
{
    ui->le_height->setText(float_text(compensate));
}

// --- View controls -----------------------------------------------------------------------------

void Page_Raxo_E::on_cb_upload_data_type_clicked(bool checked)
{
    emit sig_showDataType(checked ? 1 : 0);
    if (checked) {
        ui->frame_height_fix->show();
        ui->cb_obj_select->setChecked(true);
        emit sig_objselect(true);
    } else {
        ui->frame_height_fix->hide();
    }
}

void Page_Raxo_E::on_cb_obj_select_clicked(bool checked)
{
    emit sig_objselect(checked);
}

void Page_Raxo_E::on_pb_fix_clicked()
{
    const float height = ui->le_height->text().toFloat();
    emit sig_height(height);
    sendSet(RAXO_SET_HEIGHT, float_bytes(height), tr(" set lidar height"));
}

void Page_Raxo_E::on_pb_autofix_clicked()
{
    emit sig_autoheight();
}

void Page_Raxo_E::on_pb_obj_track_clicked()
{
    emit sig_show_objtrack();
}

// --- Outputs and class binding -----------------------------------------------------------------

void Page_Raxo_E::clickItem(int index)
{
    if (QAbstractButton *b = areaGroup_->button(index))
        b->setFocus(Qt::OtherFocusReason);
}

void Page_Raxo_E::on_pb_out_clicked()
{
    QByteArray area(16, '\0');
    for (int i = 0; i < areaRows_.size(); ++i)
        for (int j = 0; j < 4; ++j)
            if (areaGroup_->button(i * 4 + j)->isChecked())
                area[i] = char(uint8_t(area[i]) | (1 << j));
    sendSet(RAXO_SET_AREA, area, tr("4 channel out"));
    QCoreApplication::processEvents();

    MultiSelectComboBox *const binds[4] = {ui->cb_bind_idx1, ui->cb_bind_idx2, ui->cb_bind_idx3,
                                           ui->cb_bind_idx4};
    QByteArray masks(4, '\0');
    for (int k = 0; k < 4; ++k) {
        unsigned m = 0;
        for (int c : binds[k]->checkedIndexes())
            if (c >= 0 && c < 8) // a mask byte holds classes 0 to 7
                m |= 1u << c;
        masks[k] = char(m & 0xFF);
    }
    QV_TRACE() << "class masks:" << uint8_t(masks[0]) << uint8_t(masks[1]) << uint8_t(masks[2])
               << uint8_t(masks[3]);
    sendSet(RAXO_SET_MODEL_BIND, masks, tr("model bind 4 channel"));
}

void Page_Raxo_E::on_pb_pnp_clicked()
{
    QCheckBox *const outs[4] = {ui->cb_out1, ui->cb_out2, ui->cb_out3, ui->cb_out4};
    QComboBox *const pnps[4] = {ui->cb_pnp1, ui->cb_pnp2, ui->cb_pnp3, ui->cb_pnp4};
    const QString note = tr("4 channel PNP/NPN");
    uint8_t byte = 0;
    for (int k = 0; k < 4; ++k) {
        uint8_t row = 0;
        if (!comboRow(pnps[k], note, &row))
            return;
        if (outs[k]->isChecked())
            byte |= uint8_t(1 << k);
        if (row != 0)
            byte |= uint8_t(1 << (4 + k));
    }
    sendSet(RAXO_SET_OUTPUT, QByteArray(1, char(byte)), note);
}

void Page_Raxo_E::recv_modelData(QString path)
{
    std::vector<ModelInfo> infos;
    if (detector_ != nullptr)
        detector_->LoadModelsFromFile(path.toLocal8Bit().toStdString(), infos);
    setObjModels(infos);
}

void Page_Raxo_E::setObjModels(std::vector<ModelInfo> infos)
{
    MultiSelectComboBox *const binds[4] = {ui->cb_bind_idx1, ui->cb_bind_idx2, ui->cb_bind_idx3,
                                           ui->cb_bind_idx4};
    for (MultiSelectComboBox *b : binds)
        b->clearItems();
    const uint8_t *masks = lidarParam_ + raxo_param::kClassMasks;
    QV_TRACE() << "kept class masks:" << masks[0] << masks[1] << masks[2] << masks[3];
    if (detector_ == nullptr)
        return;
    for (size_t c = 0; c < infos.size(); ++c) {
        const QString name = QString::fromLocal8Bit(detector_->GetModelName(int(c)).c_str());
        for (int k = 0; k < 4; ++k)
            binds[k]->addItem(name, QVariant(), c < 8 && ((masks[k] >> c) & 1));
    }
}

// --- Firmware ----------------------------------------------------------------------------------

void Page_Raxo_E::on_pb_chooseFile_clicked()
{
    ui->le_update->setPlainText(choose_open_file(this, tr("Open File"), upgrade_chooser_start(ui->le_update),
                                                 tr("Firmware(*.bin *.lhl)")));
}

void Page_Raxo_E::on_pb_update_clicked()
{
    const QString path = ui->le_update->toPlainText();
    if (!path.contains("LDS-Raxo")) {
        warn(tr("Firmware name does not conform to specification"));
        return;
    }
    emit sig_upgrade(path, LIDAR_RAXO_E, MSG_FW_MOTOR);
}

void Page_Raxo_E::recv_params(QByteArray body)
{
    setInfo(reinterpret_cast<const uint8_t *>(body.constData()), size_t(body.size()));
}

void Page_Raxo_E::recv_algParams(QByteArray body)
{
    setAlgInfo(reinterpret_cast<const uint8_t *>(body.constData()), size_t(body.size()));
}
