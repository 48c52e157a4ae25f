#pragma once
// The statistics rows that the analysis panel and the debug view show in label texts. The
// running multi-frame values live only in those texts: each new frame reads the previous value
// back, so every stage works on numbers rounded to six significant digits.

#include "floatstats.h"

#include <QString>

#include <array>

class QLabel;
class QWidget;

// The five value labels of one axis: minimum, maximum, range, mean, standard deviation.
struct StatLabels {
    QLabel *min;
    QLabel *max;
    QLabel *diff;
    QLabel *ave;
    QLabel *sd;
};

// The x, y, z and intensity rows of a form whose value labels are named "lb_" + quantity
// ("min", "max", "diff", "ave", "sd") + axis ("x", "y", "z", "conf") + suffix ("" for the
// current frame, "2" for the multi-frame statistics).
std::array<StatLabels, 4> stat_labels(const QWidget *form, const char *suffix);

// How a current value folds into its multi-frame label.
enum StatFold { FoldMin = 0, FoldMax = 1, FoldMean = 2 };

// A float as every statistics label and limit edit writes it: 'g', six significant digits.
QString stat_text(float value);

// A label's text as a float, false in *ok when it is not a number (empty, "xxx").
float label_value(const QLabel *label, bool *ok = nullptr);

// Writes minimum, maximum, range (max - min in single precision), mean and deviation.
void show_float_stats(const StatLabels &labels, const FloatStats &stats);

// Folds the current label's value into the multi-frame label: the smaller, the larger, or the
// running mean (n x old + new) / (n + 1) over n frames already folded. A multi-frame label that
// is not a number takes the current value.
void fold_stat_label(const QLabel *current, QLabel *multi, int mode, int n);

// Writes the multi-frame range as its maximum label's number minus its minimum label's number.
void show_label_range(const StatLabels &multi);

// Empties the minimum, maximum, mean and deviation labels; the range label keeps its text.
void clear_multi_labels(const StatLabels &multi);
