#include "dialog_debug.h"

#include "tracelog.h"
#include "ui_dialog_debug.h"

#include <QImage>
#include <QPixmap>

Dialog_Debug::Dialog_Debug(QWidget *parent) : QDialog(parent), ui(new Ui::Dialog_Debug)
{
    ui->setupUi(this);
    currentLabels = stat_labels(this, "");
    multiLabels = stat_labels(this, "2");
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

void Dialog_Debug::showStatistics(int count, FeaturePoints stats)
{
    ui->lb_select_num->setText(QString::number(count));
    const FloatStats series[4] = {stats.x, stats.y, stats.z, stats.intensity};
    QLabel *const counts[4] = {ui->lb_numx, ui->lb_numy, ui->lb_numz, ui->lb_numconf};
    for (int a = 0; a < 4; ++a) {
        show_float_stats(currentLabels[a], series[a]);
        counts[a]->setText(QString::number(series[a].count));
        fold_stat_label(currentLabels[a].min, multiLabels[a].min, FoldMin, testCount);
        fold_stat_label(currentLabels[a].max, multiLabels[a].max, FoldMax, testCount);
        fold_stat_label(currentLabels[a].ave, multiLabels[a].ave, FoldMean, testCount);
        fold_stat_label(currentLabels[a].sd, multiLabels[a].sd, FoldMean, testCount);
        show_label_range(multiLabels[a]);
    }
    ++testCount;
    ui->lb_testnum->setText(QString::number(testCount));
}

void Dialog_Debug::clearStatistics()
{
    testCount = 0;
    for (const StatLabels &labels : multiLabels)
        clear_multi_labels(labels);
}
