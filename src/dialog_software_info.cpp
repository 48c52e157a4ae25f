#include "dialog_software_info.h"

#include "appresources.h"
#include "messagebox.h"
#include "ui_dialog_software_info.h"

#include <QPixmap>
#include <QUrl>

Dialog_Software_Info::Dialog_Software_Info(QWidget *parent)
    : QDialog(parent), ui(new Ui::Dialog_Software_Info)
{
    init_app_resources();
    ui->setupUi(this);
    setWindowFlags(Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint);
    setWindowTitle(tr("Software Information"));

    // The link opens in the desktop's browser, through the program's one door to the outside.
    ui->lb_url->setOpenExternalLinks(false);
    ui->lb_url->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    ui->lb_url->setAlignment(Qt::AlignCenter);
    ui->lb_url->setText(QString("<a style='color: blue;' href=\"%1\">%1</a>").arg(kWebSite));
    connect(ui->lb_url, &QLabel::linkActivated, this, [](const QString &link) { open_url(QUrl(link)); });

    ui->lb_softwareversion->setText(kVersion);
    ui->lb_softwaretime->setText(QString::number(kRelease));
    ui->lb_logo->setPixmap(QPixmap(":/resource/company.png"));
}

Dialog_Software_Info::~Dialog_Software_Info()
{
    delete ui;
}
