#pragma once
// The Raxo factory ground test. The sensor sits 5 cm above a flat floor; the operator selects the
// floor in the analysis panel, enables the tests that apply and starts a run. Every redraw then
// hands the selected points to detectFrame, which judges the frame with up to four tests, logs
// one line per test, and after the requested number of frames writes the summary and a green or
// red verdict with the pass rate.
//
// The thresholds and switches are kept in "main_ini", section "class Dialog_Detect_Raxo", one key
// per line edit and check box, named after the widget.

#include "userpointdata.h"

#include <QDialog>

#include <cstdint>
#include <vector>

namespace Ui {
class Dialog_Detect_Raxo;
}

class Dialog_Detect_Raxo : public QDialog {
    Q_OBJECT

public:
    explicit Dialog_Detect_Raxo(QWidget *parent = nullptr);
    ~Dialog_Detect_Raxo() override;

    // One test frame (the points of the analysis panel's selection). Does nothing while no run
    // is in progress.
    void detectFrame(const std::vector<UserPointData> &points);

    // Every named line edit and check box to and from the settings.
    void write_ini();
    void read_ini();

    // The four tests: each reads its thresholds from the form, appends its line to the log and
    // returns pass (true) or fail.
    bool checkIntensity(const std::vector<UserPointData> &points);
    bool checkEdge(const std::vector<UserPointData> &points);
    bool checkGroundLayer(const std::vector<UserPointData> &points);
    bool checkUpperNoise(const std::vector<UserPointData> &points);

    bool isRunning() const { return running; }

private slots:
    void on_pb_start_clicked();
    void on_pb_stop_clicked();
    void on_pb_clearlog_clicked();

private:
    void print(const QString &line);

    Ui::Dialog_Detect_Raxo *ui;
    int32_t testedCount = 0;
    int32_t passedCount = 0;
    int32_t intensityPassCount = 0;
    int32_t edgePassCount = 0;
    int32_t groundPassCount = 0;
    int32_t noisePassCount = 0;
    bool running = false;
    int32_t framesLeft = 0;
};
