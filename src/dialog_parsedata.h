#pragma once
// The data-analysis panel, a page of the main window's property stack. For every drawn frame
// whose limited selection holds points it shows per-axis statistics of those points and folds
// them into multi-frame statistics; it owns the selection limits (typed, or taken from a
// rectangle selection) and the fixed-point templates that store them; its 3-sigma filter
// reports to its own debug view.

#include "dialog_debug.h"
#include "featurepoints.h"
#include "statlabels.h"
#include "userpointdata.h"

#include <QByteArray>
#include <QDialog>
#include <array>
#include <vector>

class QLabel;

namespace Ui {
class Dialog_ParseData;
}

class Dialog_ParseData : public QDialog {
    Q_OBJECT

public:
    explicit Dialog_ParseData(QWidget *parent = nullptr);
    ~Dialog_ParseData() override;

    // One drawn frame's selected points: current statistics, the multi-frame fold, test count.
    void parseFrame(std::vector<UserPointData> points);

    // The statistics of one point set into the record and the current-frame labels; with the
    // debug view open, the 3-sigma filter too.
    void frameStats(std::vector<UserPointData> points);

    // Folds the current-frame labels into the multi-frame labels.
    void multiStats();

    // One fold: mode 0 minimum, 1 maximum, 2 running mean over n frames already folded.
    void updateMultiLabel(QLabel *current, QLabel *multi, int mode, int n);

    // Restarts the statistics for a new set of limits.
    void resetStats();

    // The picked points of a rectangle selection become the limits: their statistics, their
    // bounds in the limit edits, enable set. Returns the record; emits nothing.
    FeaturePoints selectPoints(std::vector<UserPointData> points);

    // The limit edits (and the current intensity labels) into the record.
    void readLimits();

    // The display run state, sent back unchanged with every new set of limits.
    void setIsRun(bool run);

    // Refills the template list from the store.
    void read_ini();

    // The record as it stands (the limits last computed or read).
    FeaturePoints limits() const { return featurePoints; }
    bool isRun() const { return isrun; }
    int testCount() const { return testNum; }
    Dialog_Debug &debugView() { return debug; }

signals:
    void sig_dataLimit(FeaturePoints data, bool isrun);
    // Connected by the main window like every page's message signal; the panel has nothing to
    // report through it.
    void sig_data(int type, QByteArray info);

private slots:
    void on_pb_sigma_filter_clicked();
    void on_pb_select_range_clicked();
    void on_pb_reset_clicked();
    void on_pb_save_param_clicked();
    void on_pb_sync_param_clicked();

private:
    void sigmaFilter(const std::vector<UserPointData> &points);
    void applyLimits();

    Ui::Dialog_ParseData *ui;
    std::array<StatLabels, 4> currentLabels; // the form's rows, found once
    std::array<StatLabels, 4> multiLabels;
    bool isrun = false;
    int testNum = 0;
    FeaturePoints featurePoints;
    Dialog_Debug debug;
    std::vector<float> series[4]; // x, y, z, intensity of the current point set
    std::vector<float> kept[4];   // what passes the 3-sigma filter
};
