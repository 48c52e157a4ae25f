#include "statlabels.h"

#include <QLabel>
#include <QWidget>

std::array<StatLabels, 4> stat_labels(const QWidget *form, const char *suffix)
{
    std::array<StatLabels, 4> rows{};
    const char *axes[4] = {"x", "y", "z", "conf"};
    for (int a = 0; a < 4; ++a) {
        auto find = [&](const char *quantity) {
            return form->findChild<QLabel *>(QString("lb_%1%2%3").arg(quantity, axes[a], suffix));
        };
        rows[a] = {find("min"), find("max"), find("diff"), find("ave"), find("sd")};
    }
    return rows;
}

QString stat_text(float value)
{
    return QString::number(value, 'g', 6);
}

float label_value(const QLabel *label, bool *ok)
{
    return label->text().toFloat(ok);
}

void show_float_stats(const StatLabels &labels, const FloatStats &stats)
{
    labels.min->setText(stat_text(stats.min));
    labels.max->setText(stat_text(stats.max));
    labels.diff->setText(stat_text(stats.max - stats.min));
    labels.ave->setText(stat_text(stats.mean));
    labels.sd->setText(stat_text(stats.stddev));
}

void fold_stat_label(const QLabel *current, QLabel *multi, int mode, int n)
{
    const float now = label_value(current);
    bool ok = false;
    float old = label_value(multi, &ok);
    if (!ok)
        old = now;
    switch (mode) {
    case FoldMin:
        if (now <= old)
            multi->setText(stat_text(now));
        break;
    case FoldMax:
        if (now >= old)
            multi->setText(stat_text(now));
        break;
    case FoldMean:
        multi->setText(stat_text((float(n) * old + now) / float(n + 1)));
        break;
    default:
        break;
    }
}

void show_label_range(const StatLabels &multi)
{
    multi.diff->setText(stat_text(label_value(multi.max) - label_value(multi.min)));
}

void clear_multi_labels(const StatLabels &multi)
{
    multi.min->clear();
    multi.max->clear();
    multi.ave->clear();
    multi.sd->clear();
}
