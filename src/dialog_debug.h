#pragma once
// The debug view: page 0 shows the Raxo receiver's per-frame debug grid as two greyscale images
// (valid points and intensity), page 1 the statistics that the analysis panel's 3-sigma filter
// keeps. Two instances exist, each owned by value and without a parent: the main window's
// (images) and the analysis panel's (statistics).

#include "featurepoints.h"
#include "statlabels.h"

#include <QByteArray>
#include <QDialog>
#include <array>

namespace Ui {
class Dialog_Debug;
}

class Dialog_Debug : public QDialog {
    Q_OBJECT

public:
    // Bytes of one debug grid: u16 count, 54000 u16 intensities, 54000 valid-point bytes.
    static constexpr int kGridColumns = 360;
    static constexpr int kGridRows = 150;
    static constexpr int kGridCells = kGridColumns * kGridRows;
    static constexpr int kIntensityOffset = 2;
    static constexpr int kValidOffset = kIntensityOffset + 2 * kGridCells;
    static constexpr int kGridBytes = kValidOffset + kGridCells;

    explicit Dialog_Debug(QWidget *parent = nullptr);
    ~Dialog_Debug() override;

    // Shows page 0 (images) or page 1 (statistics).
    void setCurrentPage(int page);

    // Draws the two images of one grid: the first grid row at the bottom, columns mirrored,
    // scaled to 720 x 2*rows. A grid shorter than a whole record is refused (the images keep
    // what they showed); a count above the record's 150 rows is cut to 150 rows.
    void showImage(QByteArray grid);

    // Page 1 for one frame: the record's x, y, z and intensity statistics as the current frame,
    // folded into the multi-frame labels; `count` is the frame's point count before filtering.
    void showStatistics(int count, FeaturePoints stats);

    // Restarts the multi-frame statistics.
    void clearStatistics();

private:

    Ui::Dialog_Debug *ui;
    std::array<StatLabels, 4> currentLabels; // the form's rows, found once
    std::array<StatLabels, 4> multiLabels;
    int32_t testCount = 0;
};
