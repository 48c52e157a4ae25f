#include "dialog_parsedata.h"

#include "fixpointstore.h"
#include "messagebox.h"
#include "tracelog.h"
#include "ui_dialog_parsedata.h"

#include <cfloat>

Dialog_ParseData::Dialog_ParseData(QWidget *parent)
    : QDialog(parent), ui(new Ui::Dialog_ParseData), debug(nullptr)
{
    ui->setupUi(this);
    currentLabels = stat_labels(this, "");
    multiLabels = stat_labels(this, "2");
    setWindowTitle(tr("Data Analysis"));
    // No window type: the panel lives as a page of the main window, not as a dialog.
    setWindowFlags(Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    setModal(false);
    setAttribute(Qt::WA_QuitOnClose, false);
    ui->groupBox_3->hide();
    ui->pb_save_param->hide();
    ui->pb_sync_param->hide();
    ui->frame_fix_point_detect->hide();
}

Dialog_ParseData::~Dialog_ParseData()
{
    delete ui;
}

void Dialog_ParseData::parseFrame(std::vector<UserPointData> points)
{
    frameStats(std::move(points));
    multiStats();
    ++testNum;
    ui->lb_testnum->setText(QString::number(testNum));
}

void Dialog_ParseData::frameStats(std::vector<UserPointData> points)
{
    ui->lb_select_num->setText(QString::number(points.size()));

    // The series buffers stay with the panel: a draw hands over up to ten frames of points,
    // and fresh buffers per draw would cost more than the sums themselves.
    const size_t n = points.size();
    for (std::vector<float> &s : series)
        s.resize(n);
    float *xs = series[0].data(), *ys = series[1].data(), *zs = series[2].data(),
          *is = series[3].data();
    float hmin = FLT_MAX, hmax = -FLT_MAX, vmin = FLT_MAX, vmax = -FLT_MAX;
    for (size_t i = 0; i < n; ++i) {
        const UserPointData &p = points[i];
        const float x = p.x, y = p.y, z = p.z;
        xs[i] = x;
        ys[i] = y;
        zs[i] = z;
        is[i] = float(p.intensity);
        const float h = horizontal_angle_degrees(x, y);
        const float v = vertical_angle_degrees(x, y, z);
        if (h < hmin)
            hmin = h;
        if (h > hmax)
            hmax = h;
        if (v < vmin)
            vmin = v;
        if (v > vmax)
            vmax = v;
    }
    featurePoints.x = float_stats(xs, n);
    featurePoints.y = float_stats(ys, n);
    featurePoints.z = float_stats(zs, n);
    featurePoints.intensity = float_stats(is, n);
    featurePoints.horizontal_min = hmin;
    featurePoints.horizontal_max = hmax;
    featurePoints.vertical_min = vmin;
    featurePoints.vertical_max = vmax;

    const FloatStats series[4] = {featurePoints.x, featurePoints.y, featurePoints.z,
                                  featurePoints.intensity};
        for (int a = 0; a < 4; ++a)
        show_float_stats(currentLabels[a], series[a]);

    if (!debug.isHidden())
        sigmaFilter(points);
}

void Dialog_ParseData::sigmaFilter(const std::vector<UserPointData> &points)
{
    const FloatStats *stats[4] = {&featurePoints.x, &featurePoints.y, &featurePoints.z,
                                  &featurePoints.intensity};
    float lower[4], upper[4];
    for (int a = 0; a < 4; ++a) {
        lower[a] = stats[a]->mean - 3.0f * stats[a]->stddev;
        upper[a] = stats[a]->mean + 3.0f * stats[a]->stddev;
    }
    for (std::vector<float> &k : kept)
        k.clear();
    for (const UserPointData &p : points) {
        const float values[4] = {p.x, p.y, p.z, float(p.intensity)};
        // Each axis on its own: a point may pass in x and fail in z. A NaN fails both tests.
        for (int a = 0; a < 4; ++a)
            if (lower[a] <= values[a] && values[a] <= upper[a])
                kept[a].push_back(values[a]);
    }
    FeaturePoints filtered;
    filtered.x = float_stats(kept[0].data(), kept[0].size());
    filtered.y = float_stats(kept[1].data(), kept[1].size());
    filtered.z = float_stats(kept[2].data(), kept[2].size());
    filtered.intensity = float_stats(kept[3].data(), kept[3].size());
    debug.showStatistics(int(points.size()), filtered);
}

void Dialog_ParseData::updateMultiLabel(QLabel *current, QLabel *multi, int mode, int n)
{
    fold_stat_label(current, multi, mode, n);
}

void Dialog_ParseData::multiStats()
{
    for (int a = 0; a < 4; ++a)
        updateMultiLabel(currentLabels[a].min, multiLabels[a].min, FoldMin, testNum);
    for (int a = 0; a < 4; ++a)
        updateMultiLabel(currentLabels[a].max, multiLabels[a].max, FoldMax, testNum);
    for (int a = 0; a < 4; ++a)
        updateMultiLabel(currentLabels[a].ave, multiLabels[a].ave, FoldMean, testNum);
    for (int a = 0; a < 4; ++a)
        updateMultiLabel(currentLabels[a].sd, multiLabels[a].sd, FoldMean, testNum);
    for (int a = 0; a < 4; ++a)
        show_label_range(multiLabels[a]);
}

void Dialog_ParseData::resetStats()
{
    testNum = 0;
    for (FloatStats *s : {&featurePoints.x, &featurePoints.y, &featurePoints.z,
                          &featurePoints.intensity}) {
        s->min = zero_to_flt_max(0.0f, false);
        s->max = zero_to_flt_max(0.0f, true);
        s->mean = 0.0f;
    }
    for (const StatLabels &labels : multiLabels)
        clear_multi_labels(labels);
    debug.clearStatistics();
}

void Dialog_ParseData::on_pb_sigma_filter_clicked()
{
    debug.setCurrentPage(1);
    debug.show();
}

FeaturePoints Dialog_ParseData::selectPoints(std::vector<UserPointData> points)
{
    resetStats();
    frameStats(std::move(points));
    ui->le_minx->setText(stat_text(featurePoints.x.min));
    ui->le_miny->setText(stat_text(featurePoints.y.min));
    ui->le_minz->setText(stat_text(featurePoints.z.min));
    ui->le_maxx->setText(stat_text(featurePoints.x.max));
    ui->le_maxy->setText(stat_text(featurePoints.y.max));
    ui->le_maxz->setText(stat_text(featurePoints.z.max));
    ui->le_horizontail_min->setText(stat_text(featurePoints.horizontal_min));
    ui->le_horizontail_max->setText(stat_text(featurePoints.horizontal_max));
    ui->le_vertical_min->setText(stat_text(featurePoints.vertical_min));
    ui->le_vertical_max->setText(stat_text(featurePoints.vertical_max));
    ++testNum;
    ui->lb_testnum->setText(QString::number(testNum));
    featurePoints.enable = true;
    return featurePoints;
}

void Dialog_ParseData::readLimits()
{
    // A text that is not a number reads as 0, and 0 is an open side.
    auto value = [](const QString &text) { return text.toFloat(); };
    featurePoints.x.min = zero_to_flt_max(value(ui->le_minx->text()), false);
    featurePoints.y.min = zero_to_flt_max(value(ui->le_miny->text()), false);
    featurePoints.z.min = zero_to_flt_max(value(ui->le_minz->text()), false);
    featurePoints.intensity.min = zero_to_flt_max(value(ui->lb_minconf->text()), false);
    featurePoints.x.max = zero_to_flt_max(value(ui->le_maxx->text()), true);
    featurePoints.y.max = zero_to_flt_max(value(ui->le_maxy->text()), true);
    featurePoints.z.max = zero_to_flt_max(value(ui->le_maxz->text()), true);
    featurePoints.intensity.max = zero_to_flt_max(value(ui->lb_maxconf->text()), true);
    featurePoints.x.mean = value(ui->lb_avex->text());
    featurePoints.y.mean = value(ui->lb_avey->text());
    featurePoints.z.mean = value(ui->lb_avez->text());
    featurePoints.intensity.mean = value(ui->lb_aveconf->text());
    featurePoints.horizontal_min = value(ui->le_horizontail_min->text());
    featurePoints.horizontal_max = value(ui->le_horizontail_max->text());
    featurePoints.vertical_min = value(ui->le_vertical_min->text());
    featurePoints.vertical_max = value(ui->le_vertical_max->text());
}

void Dialog_ParseData::applyLimits()
{
    resetStats();
    readLimits();
    featurePoints.enable = true;
    emit sig_dataLimit(featurePoints, isrun);
}

void Dialog_ParseData::on_pb_select_range_clicked()
{
    applyLimits();
}

void Dialog_ParseData::on_pb_reset_clicked()
{
    resetStats();
    featurePoints.enable = false;
    emit sig_dataLimit(featurePoints, isrun);
}

void Dialog_ParseData::setIsRun(bool run)
{
    isrun = run;
}

void Dialog_ParseData::read_ini()
{
    ui->cb_fix_point_detect->clear();
    for (const QString &record : fix_point_records(read_fix_point_store()))
        ui->cb_fix_point_detect->addItem(record.section('_', 0, 0));
}

void Dialog_ParseData::on_pb_save_param_clicked()
{
    const QString name = ui->le_custom_name->text();
    if (name.isEmpty()) {
        show_warning(nullptr, tr("error"), tr("Please input fix point custom name!"));
        return;
    }
    if (ui->cb_fix_point_detect->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0) {
        show_warning(nullptr, tr("error"), tr("custom name is repeat"));
        return;
    }
    const QString fields[kFixPointFields] = {
        name,
        ui->le_horizontail_min->text(), ui->le_horizontail_max->text(),
        ui->le_vertical_min->text(),    ui->le_vertical_max->text(),
        ui->le_minx->text(),            ui->le_maxx->text(),
        ui->le_miny->text(),            ui->le_maxy->text(),
        ui->le_minz->text(),            ui->le_maxz->text()};
    // The separators are not escaped in the store: a field holding one would split its record
    // and leave a template that can never be applied.
    for (const QString &field : fields) {
        if (field.contains('_') || field.contains('|')) {
            show_warning(nullptr, tr("error"),
                         tr("custom name and limits can not contain \"_\" or \"|\"!"));
            return;
        }
    }
    // One pass per text, so a "%1" typed into a field is kept as typed, not filled in.
    const QString record =
        QString("%1_%2_%3_%4_%5").arg(fields[0], fields[1], fields[2], fields[3], fields[4]) +
        QString("_%1_%2_%3_%4_%5_%6")
            .arg(fields[5], fields[6], fields[7], fields[8], fields[9], fields[10]);
    const QString stored = read_fix_point_store();
    write_fix_point_store(stored.isEmpty() ? record : stored + "|" + record);
    read_ini();
}

void Dialog_ParseData::on_pb_sync_param_clicked()
{
    const int index = ui->cb_fix_point_detect->currentIndex();
    if (index < 0)
        return;
    const QString stored = read_fix_point_store();
    QV_TRACE() << "fix point data:" << stored << "index:" << index;
    const QStringList records = fix_point_records(stored);
    if (index >= records.size())
        return;
    const QStringList fields = records[index].split('_');
    QV_TRACE() << "fix point fields:" << fields.size();
    if (fields.size() != kFixPointFields)
        return;
    ui->le_custom_name->setText(fields[0]);
    QLineEdit *const edits[kFixPointFields - 1] = {
        ui->le_horizontail_min, ui->le_horizontail_max, ui->le_vertical_min,
        ui->le_vertical_max,    ui->le_minx,            ui->le_maxx,
        ui->le_miny,            ui->le_maxy,            ui->le_minz,
        ui->le_maxz};
    for (int i = 0; i < kFixPointFields - 1; ++i)
        edits[i]->setText(fields[i + 1]);
    applyLimits();
}
