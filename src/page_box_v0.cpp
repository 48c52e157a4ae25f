#include "page_box_v0.h"
#include "ui_page_box_v0.h"

#include "boxprotocol.h"
#include "lhframe.h"
#include "messagebox.h"
#include "pagehelpers.h"
#include "userpointdata.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QIntValidator>
#include <QLabel>

#include <cmath>

namespace {

constexpr int kIoRows = 3;    // observe, warning, alarm
constexpr int kIoOutputs = 4; // outputs 1 to 4
constexpr int kLampSize = 10;
// The box takes the mounting height as 16 bits of millimetres.
constexpr float kMaxHeightMm = 65535.0f;

} // namespace

Page_Box_V0::Page_Box_V0(QWidget *parent) : QWidget(parent), ui(new Ui::Page_Box_V0)
{
    ui->setupUi(this);

    // Both validators are children of the page and live as long as it.
    auto *count = new QIntValidator(0, 9, this);
    ui->le_cir->setValidator(count);
    ui->le_fir->setValidator(count);
    auto *size = new QIntValidator(1, 9999, this);
    ui->le_length->setValidator(size);
    ui->le_width->setValidator(size);
    ui->le_height->setValidator(size);

    for (QLabel *lamp : {ui->lb_c_alarm, ui->lb_c_warm, ui->lb_c_obs, ui->lb_p_alarm, ui->lb_p_warm,
                         ui->lb_p_obs, ui->lb_base_alarm, ui->lb_base_warm, ui->lb_base_obs})
        setLampStyle(lamp, LampGrey, kLampSize);

    // The form's fixed minimum of 100 pixels would override what the grid needs, and a larger
    // font (the Chinese captions are set bigger) then clips its rows: never less than the grid.
    ui->groupBox_alarminfo->setMinimumHeight(
        qMax(ui->groupBox_alarminfo->minimumHeight(),
             ui->groupBox_alarminfo->layout()->totalMinimumSize().height()));

    io_group_ = new QButtonGroup(this);
    io_group_->setExclusive(false);
    const QLabel *rowCaptions[kIoRows] = {ui->label_39, ui->label_28, ui->label_23};
    for (int r = 0; r < kIoRows; ++r) {
        for (int k = 0; k < kIoOutputs; ++k) {
            auto *box = new QCheckBox(this);
            box->setStyleSheet("QCheckBox::indicator {\nwidth: 20px;\nheight: 20px;\n}; ");
            // The boxes carry no caption: name them by the row and output they join.
            const QString name = QString("%1 %2").arg(rowCaptions[r]->text()).arg(k + 1);
            box->setAccessibleName(name);
            box->setToolTip(name);
            io_group_->addButton(box, kIoOutputs * r + k);
            ui->gridLayout_8->addWidget(box, r, k);
        }
    }
    // idClicked is Qt 5.15's name for buttonClicked(int).
    connect(io_group_, &QButtonGroup::idClicked, this, &Page_Box_V0::recv_cb_ioclick);
}

Page_Box_V0::~Page_Box_V0()
{
    delete ui;
}

QByteArray Page_Box_V0::buildCmdFrame(int cmd, int len, const char *data)
{
    return text_command_frame(static_cast<uint16_t>(cmd), data, len);
}

void Page_Box_V0::setIP(QString ip)
{
    box_ip_ = ip;
}

void Page_Box_V0::setLampStyle(QLabel *label, int colour, int size)
{
    static const char *const colours[] = {"rgb(190,190,190)", "rgb(0,255,0)", "rgb(0,0,255)",
                                          "rgb(255,255,0)", "rgb(255,0,0)"};
    label->setText(QString());
    QString style = QString("min-width: %1px;min-height: %1px;max-width: %1px;max-height: %1px;"
                            "border-radius: %2px;border:1px solid black;background-color:")
                        .arg(size)
                        .arg(size / 2);
    if (colour >= LampGrey && colour <= LampRed)
        style += colours[colour];
    label->setStyleSheet(style);
}

bool Page_Box_V0::sendText(const QString &text, const QString &note)
{
    const QByteArray bytes = text.toLocal8Bit();
    const QByteArray frame = buildCmdFrame(S_PACK, bytes.size(), bytes.constData());
    if (frame.isEmpty()) {
        show_warning(nullptr, tr("error"), tr("The command is too long to send!"));
        return false;
    }
    emit sig_sendcmd(frame, note, LIDAR_ALG_BOX);
    return true;
}

void Page_Box_V0::on_pb_setstaticframe_clicked()
{
    sendText("LSSFCH", tr("init first frame"));
    emit sig_reset();
}

void Page_Box_V0::on_pb_cir_clicked()
{
    sendText(QString("LSCIR:%1H").arg(ui->le_cir->text()), tr("set circle num"));
}

void Page_Box_V0::on_pb_fir_clicked()
{
    sendText(QString("LSFIR:%1H").arg(ui->le_fir->text()), tr("set filter point num"));
}

void Page_Box_V0::on_pb_carsize_clicked()
{
    // One substitution pass: a typed "%2" stays text instead of taking the next field's place.
    const QString text = QString("LSCAR:%1,%2,%3H")
                             .arg(ui->le_length->text().rightJustified(4, '0'),
                                  ui->le_width->text().rightJustified(4, '0'),
                                  ui->le_height->text().rightJustified(4, '0'));
    sendText(text, tr("set car detect factor"));
}

void Page_Box_V0::on_pb_factor_clicked()
{
    // These two fields take any text, of any length; rightJustified never cuts it.
    const QString text = QString("LSFACTOR:%1,%2H")
                             .arg(ui->le_similar_distance_factor->text().rightJustified(2, '0'),
                                  ui->le_min_poiny_num->text().rightJustified(2, '0'));
    sendText(text, tr("set near points factor"));
}

void Page_Box_V0::on_cb_iconshow_clicked(bool checked)
{
    emit sig_iconshow(checked);
    emit sig_reset();
}

void Page_Box_V0::recv_cb_ioclick(int id)
{
    // The matrix reaches the box only through pb_out; a click only takes the focus.
    if (QAbstractButton *box = io_group_->button(id))
        box->setFocus(Qt::OtherFocusReason);
}

void Page_Box_V0::on_pb_pnp_clicked()
{
    auto on = [](const QCheckBox *b) { return QString(b->isChecked() ? "1" : "0"); };
    const QString text = QString("LSPNP:%1%2%3%4%5%6%7H")
                             .arg(on(ui->cb_out1), on(ui->cb_out2), on(ui->cb_out3),
                                  on(ui->cb_out4), QString("00"), QString("0"),
                                  QString::number(ui->cb_pnp->currentIndex()));
    sendText(text, tr("set pnp/npn"));
}

void Page_Box_V0::on_pb_out_clicked()
{
    int rows[kIoRows] = {0, 0, 0};
    for (int r = 0; r < kIoRows; ++r)
        for (int k = 0; k < kIoOutputs; ++k)
            if (io_group_->button(kIoOutputs * r + k)->isChecked())
                rows[r] |= 1 << k;
    sendText(QString::asprintf("LSOUT:%02x%02x%02xH", rows[0], rows[1], rows[2]),
             tr("set IO board output param"));
}

void Page_Box_V0::showUploadType(int type)
{
    // What the box reports is shown, never sent back to it as a setting of the user's.
    reporting_ = true;
    ui->cb_upload_data_type->setCurrentIndex(type);
    reporting_ = false;
}

void Page_Box_V0::on_cb_upload_data_type_currentIndexChanged(int index)
{
    // A box reporting a type the combo box does not list leaves it without a valid index:
    // nothing is sent back for that, but the display still falls back to points.
    if (!reporting_ && index >= 0 && index < ui->cb_upload_data_type->count())
        sendText(QString("LSPST:%1H").arg(index), tr("set upload data type"));
    bool objects = false;
    if (index == 2) {
        ui->cb_iconshow->show();
        objects = ui->cb_iconshow->isChecked();
    } else {
        ui->cb_iconshow->hide();
        ui->cb_iconshow->setChecked(false);
    }
    emit sig_iconshow(objects);
    emit sig_reset();
}

void Page_Box_V0::on_pb_set_height_clicked()
{
    bool ok = false;
    float metres = ui->le_lidar_height->text().toFloat(&ok);
    // Text that is no number reads as 0; a number too large for a float comes back infinite
    // and is refused below with the other heights that do not fit.
    if (!ok && !std::isinf(metres))
        metres = 0.0f;
    const float mm = metres * 1000.0f;
    if (!(metres >= 0.0f) || !(mm < kMaxHeightMm + 1.0f)) {
        show_warning(nullptr, tr("error"), tr("The lidar height must be between 0 and 65.535 m!"));
        return;
    }
    // Truncated toward zero, as the box expects: 0.0015 m is 1 mm.
    const unsigned height = static_cast<unsigned>(mm);
    sendText(QString("LSHEIGHT:%1H").arg(height), tr("set lidar height"));
}
