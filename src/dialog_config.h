#pragma once
// The log settings: shows and changes the folder below which recordings are written
// ("Standard"/"Logpath" of the settings). Run modally on the caller's stack.

#include <QDialog>
#include <QString>

namespace Ui {
class Dialog_Config;
}

class Dialog_Config : public QDialog {
    Q_OBJECT

public:
    explicit Dialog_Config(QWidget *parent = nullptr);
    ~Dialog_Config() override;

private slots:
    void on_pb_setlogpath_clicked();
    void on_pb_close_clicked();

private:
    Ui::Dialog_Config *ui;
    QString logpath;
};

// True when a file can be created in `folder`: a temporary file is made there and removed
// again at once. The recorder and the snapshot ask the same before they write.
bool folder_is_writable(const QString &folder);
