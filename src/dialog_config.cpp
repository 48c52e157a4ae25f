#include "dialog_config.h"

#include "inisettings.h"
#include "messagebox.h"
#include "settingsdocument.h"
#include "ui_dialog_config.h"

#include <QCoreApplication>
#include <QTemporaryFile>

bool folder_is_writable(const QString &folder)
{
    QTemporaryFile probe(folder + "/XXXXXX");
    return probe.open();
}

Dialog_Config::Dialog_Config(QWidget *parent)
    : QDialog(parent), ui(new Ui::Dialog_Config)
{
    ui->setupUi(this);
    ui->lb_logsavepath->setWordWrap(true);
    setWindowTitle(tr("Config"));

    const std::string stored = IniSettings::instance()->get_value("Standard", "Logpath", "", kSettingsDoc);
    logpath = stored.empty() ? QCoreApplication::applicationDirPath() : QString::fromStdString(stored);
    ui->lb_logsavepath->setText(logpath);
}

Dialog_Config::~Dialog_Config()
{
    delete ui;
}

void Dialog_Config::on_pb_setlogpath_clicked()
{
    const QString folder = choose_directory(
        this, tr("Open Directory"),
        chooser_start_folder(QString::fromStdString(
            IniSettings::instance()->get_value("Standard", "Logpath", "", kSettingsDoc))),
        QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    if (folder.isEmpty())
        return;
    if (!folder_is_writable(folder)) {
        show_warning(this, tr("error"),
                     tr("The log path does not have write permission, please change the path."));
        return;
    }
    logpath = folder;
    ui->lb_logsavepath->setText(folder);
    IniSettings::instance()->set_value("Standard", "Logpath", folder.toUtf8().toStdString(), kSettingsDoc);
}

void Dialog_Config::on_pb_close_clicked()
{
    accept();
}
