#pragma once
// The parameters of the Raxo receiver's voxel outlier filter: the edge of a cubic cell in metres
// and the number of points a cell must exceed for its points to stay in the 3D frame. The dialog
// keeps nothing: each use starts with empty fields, and the values go out with sig_voxel_param.

#include <QDialog>

namespace Ui {
class Dialog_VoxelFilter;
}

class Dialog_VoxelFilter : public QDialog {
    Q_OBJECT

public:
    explicit Dialog_VoxelFilter(QWidget *parent = nullptr);
    ~Dialog_VoxelFilter() override;

signals:
    // isopen is always true from the dialog.
    void sig_voxel_param(bool isopen, float unit_size, int min_num);

private slots:
    void on_pb_apply_clicked();
    void on_pb_confirm_clicked();
    void on_pb_close_clicked();

private:
    // Reads both fields and emits them; false (with a warning, nothing emitted) when a field
    // holds a value the filter cannot use.
    bool emitParams();

    Ui::Dialog_VoxelFilter *ui;
};
