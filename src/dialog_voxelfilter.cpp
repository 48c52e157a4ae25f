#include "dialog_voxelfilter.h"

#include "messagebox.h"
#include "ui_dialog_voxelfilter.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>

Dialog_VoxelFilter::Dialog_VoxelFilter(QWidget *parent)
    : QDialog(parent), ui(new Ui::Dialog_VoxelFilter)
{
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    ui->setupUi(this);
    setWindowTitle(tr("Vitamin Filtration Parameters"));
}

Dialog_VoxelFilter::~Dialog_VoxelFilter()
{
    delete ui;
}

bool Dialog_VoxelFilter::emitParams()
{
    constexpr int kMaxCount = std::numeric_limits<int>::max();
    const QString count = ui->le_voxel_min_num->text().trimmed();
    bool countOk = false;
    const qulonglong countValue = count.toULongLong(&countOk, 10);
    // A run of digits too large for the filter's count; any other text counts as 0.
    static const QRegularExpression digits("^\\+?[0-9]+$");
    if (digits.match(count).hasMatch() && (!countOk || countValue > qulonglong(kMaxCount))) {
        show_warning(this, tr("error"),
                     tr("The minimum number of points per cell must not exceed %1!").arg(kMaxCount));
        return false;
    }
    const uint minNum = count.toUInt(nullptr, 10);

    // A cell of no size (or none at all) would switch the 2D frames off and filter nothing.
    bool sizeOk = false;
    const float unitSize = ui->le_voxel_unit_size->text().toFloat(&sizeOk);
    if (!sizeOk || !(unitSize > 0.0f) || !std::isfinite(unitSize)) {
        show_warning(this, tr("error"), tr("The voxel cell size must be a positive number of metres!"));
        return false;
    }
    emit sig_voxel_param(true, unitSize, int(minNum));
    return true;
}

void Dialog_VoxelFilter::on_pb_apply_clicked()
{
    emitParams();
}

void Dialog_VoxelFilter::on_pb_confirm_clicked()
{
    if (emitParams())
        accept();
}

void Dialog_VoxelFilter::on_pb_close_clicked()
{
    accept();
}
