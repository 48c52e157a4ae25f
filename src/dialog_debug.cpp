#include "dialog_debug.h"

#include "tracelog.h"
#include "ui_dialog_debug.h"

#include <QImage>
#include <QPixmap>

Dialog_Debug::Dialog_Debug(QWidget *parent) : QDialog(parent), ui(new Ui::Dialog_Debug)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    // Closing the view must never end the program.
    setAttribute(Qt::WA_QuitOnClose, false);
}

Dialog_Debug::~Dialog_Debug()
{
    delete ui;
}

void Dialog_Debug::setCurrentPage(int page)
{
    ui->stackedWidget->setCurrentIndex(page);
}

void Dialog_Debug::showImage(QByteArray grid)
{
    if (grid.size() < kGridBytes) {
        QV_TRACE() << "debug grid refused, bytes:" << grid.size();
        return;
    }
    const auto *bytes = reinterpret_cast<const uchar *>(grid.constData());
    const int count = bytes[0] | (bytes[1] << 8);
    int rows = count / kGridColumns;
    if (rows > kGridRows) {
        QV_TRACE() << "debug grid count" << count << "cut to" << kGridRows << "rows";
        rows = kGridRows;
    }

    QImage valid(kGridColumns, rows, QImage::Format_Grayscale8);
    QImage intensity(kGridColumns, rows, QImage::Format_Grayscale8);
    for (int i = 0; i < rows; ++i) {
        uchar *validLine = valid.scanLine(rows - 1 - i);
        uchar *intensityLine = intensity.scanLine(rows - 1 - i);
        for (int j = 0; j < kGridColumns; ++j) {
            const int cell = i * kGridColumns + (kGridColumns - 1 - j);
            validLine[j] = bytes[kValidOffset + cell];
            // Little-endian u16: the low byte comes first.
            intensityLine[j] = bytes[kIntensityOffset + 2 * cell];
        }
    }
    const QSize shown(2 * kGridColumns, 2 * rows);
    ui->lb_validnum->setPixmap(QPixmap::fromImage(
        valid.scaled(shown, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    ui->lb_intensity->setPixmap(QPixmap::fromImage(
        intensity.scaled(shown, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    ui->lb_validnum->setScaledContents(true);
    ui->lb_intensity->setScaledContents(true);
}

std::array<StatLabels, 4> Dialog_Debug::currentLabels() const
{
    return {{{ui->lb_minx, ui->lb_maxx, ui->lb_diffx, ui->lb_avex, ui->lb_sdx},
             {ui->lb_miny, ui->lb_maxy, ui->lb_diffy, ui->lb_avey, ui->lb_sdy},
             {ui->lb_minz, ui->lb_maxz, ui->lb_diffz, ui->lb_avez, ui->lb_sdz},
             {ui->lb_minconf, ui->lb_maxconf, ui->lb_diffconf, ui->lb_aveconf, ui->lb_sdconf}}};
}

std::array<StatLabels, 4> Dialog_Debug::multiLabels() const
{
    return {{{ui->lb_minx2, ui->lb_maxx2, ui->lb_diffx2, ui->lb_avex2, ui->lb_sdx2},
             {ui->lb_miny2, ui->lb_maxy2, ui->lb_diffy2, ui->lb_avey2, ui->lb_sdy2},
             {ui->lb_minz2, ui->lb_maxz2, ui->lb_diffz2, ui->lb_avez2, ui->lb_sdz2},
             {ui->lb_minconf2, ui->lb_maxconf2, ui->lb_diffconf2, ui->lb_aveconf2,
              ui->lb_sdconf2}}};
}

void Dialog_Debug::showStatistics(int count, FeaturePoints stats)
{
    ui->lb_select_num->setText(QString::number(count));
    const FloatStats series[4] = {stats.x, stats.y, stats.z, stats.intensity};
    QLabel *const counts[4] = {ui->lb_numx, ui->lb_numy, ui->lb_numz, ui->lb_numconf};
    const auto current = currentLabels();
    const auto multi = multiLabels();
    for (int a = 0; a < 4; ++a) {
        show_float_stats(current[a], series[a]);
        counts[a]->setText(QString::number(series[a].count));
        fold_stat_label(current[a].min, multi[a].min, FoldMin, testCount);
        fold_stat_label(current[a].max, multi[a].max, FoldMax, testCount);
        fold_stat_label(current[a].ave, multi[a].ave, FoldMean, testCount);
        fold_stat_label(current[a].sd, multi[a].sd, FoldMean, testCount);
        show_label_range(multi[a]);
    }
    ++testCount;
    ui->lb_testnum->setText(QString::number(testCount));
}

void Dialog_Debug::clearStatistics()
{
    testCount = 0;
    for (const StatLabels &labels : multiLabels())
        clear_multi_labels(labels);
}
