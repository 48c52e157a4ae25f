#include "dialog_fix_point_detect.h"

#include "fixpointstore.h"
#include "messagebox.h"
#include "tracelog.h"
#include "ui_dialog_fix_point_detect.h"

#include <QHeaderView>
#include <QStandardItemModel>

Dialog_Fix_Point_Detect::Dialog_Fix_Point_Detect(QWidget *parent)
    : QDialog(parent), ui(new Ui::Dialog_Fix_Point_Detect)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowTitle(tr("fix point detect"));

    model_ = new QStandardItemModel(0, kFixPointFields, this);
    const QString headers[kFixPointFields] = {
        tr("custom name "),       tr("horizontal min angle"), tr("horizontal max angle"),
        tr("vertical min angle"), tr("vertical max angle"),   tr("x axis min"),
        tr("x axis max"),         tr("y axis min"),           tr("y axis max"),
        tr("z axis min"),         tr("z axis max")};
    for (int c = 0; c < kFixPointFields; ++c)
        model_->setHorizontalHeaderItem(c, new QStandardItem(headers[c]));
    ui->tv_range->setModel(model_);
    ui->tv_range->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ui->tv_range->horizontalHeader()->setStyleSheet(
        "QHeaderView::section {background-color: rgb(209, 208, 224);color: rgb(27, 20, 100);}");
    ui->groupBox_3->hide();
    read_ini();
}

Dialog_Fix_Point_Detect::~Dialog_Fix_Point_Detect()
{
    write_ini();
    delete ui;
}

void Dialog_Fix_Point_Detect::read_ini()
{
    // Empty records of a hand-edited text give no row, so deleting and storing never turn one
    // into a template of empty fields.
    const QStringList records = fix_point_records(read_fix_point_store());
    for (int i = 0; i < records.size(); ++i) {
        const QStringList fields = records[i].split('_');
        for (int j = 0; j < fields.size(); ++j)
            model_->setItem(i, j, new QStandardItem(fields[j]));
    }
}

void Dialog_Fix_Point_Detect::write_ini()
{
    QV_TRACE() << "fix point rows:" << model_->rowCount() << "columns:" << model_->columnCount();
    QStringList rows;
    for (int i = 0; i < model_->rowCount(); ++i) {
        // A row keeps the fields it was read with: padding it to the widest record would give
        // every template that record's field count, and none could be applied any more.
        int last = -1;
        for (int j = 0; j < model_->columnCount(); ++j)
            if (model_->item(i, j))
                last = j;
        if (last < 0)
            continue;
        QStringList fields;
        for (int j = 0; j <= last; ++j) {
            const QStandardItem *item = model_->item(i, j);
            fields << (item ? item->text() : QString());
        }
        rows << fields.join('_');
    }
    write_fix_point_store(rows.join('|'));
}

void Dialog_Fix_Point_Detect::on_tv_range_clicked(const QModelIndex &index)
{
    selectRow = index.row();
}

void Dialog_Fix_Point_Detect::on_pb_delete_clicked()
{
    if (selectRow < 0) {
        show_warning(nullptr, tr("error"), tr("please choose one row delete"));
        return;
    }
    // The remembered row stays: a second press removes the row that moved into its place.
    model_->removeRow(selectRow);
}

void Dialog_Fix_Point_Detect::on_pb_save_clicked()
{
    accept();
}
