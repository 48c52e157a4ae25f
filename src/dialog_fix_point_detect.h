#pragma once
// The fixed-point template editor: lists the stored templates in a table and deletes them. It is
// built, run modally and destroyed by one menu command; the destructor stores the table, however
// the dialog was closed.

#include <QDialog>
#include <QModelIndex>

class QStandardItemModel;

namespace Ui {
class Dialog_Fix_Point_Detect;
}

class Dialog_Fix_Point_Detect : public QDialog {
    Q_OBJECT

public:
    explicit Dialog_Fix_Point_Detect(QWidget *parent = nullptr);
    ~Dialog_Fix_Point_Detect() override;

    // Fills the table from the store: one row per record, one cell per "_" field.
    void read_ini();
    // Stores the table: each row's own cells joined by "_", the rows joined by "|".
    void write_ini();

    QStandardItemModel *model() const { return model_; }
    int selectedRow() const { return selectRow; }

private slots:
    void on_tv_range_clicked(const QModelIndex &index);
    void on_pb_delete_clicked();
    void on_pb_save_clicked();

private:
    Ui::Dialog_Fix_Point_Detect *ui;
    QStandardItemModel *model_;
    int selectRow = -1;
};
