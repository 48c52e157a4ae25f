#include "page_admin.h"

#include "ui_page_admin.h"

#include "lhframe.h"
#include "lhtextcommand.h"
#include "sockethelpers.h"
#include "tracelog.h"
#include "userpointdata.h"

#include <QDateTime>
#include <QHeaderView>
#include <QStandardItem>
#include <QStandardItemModel>

#include <cstring>

namespace {

constexpr size_t kReplyCap = 1024;
constexpr int kBudgetSec = 5;
constexpr int kMaxDatagrams = 10000;

QString now_text()
{
    return QDateTime::currentDateTime().toString("yyyy-MM-dd hh:mm:ss.zzz");
}

} // namespace

Page_Admin::Page_Admin(QWidget *parent) : QWidget(parent), ui(new Ui_Page_Admin)
{
    ui->setupUi(this);

    model_ = new QStandardItemModel(this);
    model_->setHorizontalHeaderItem(0, new QStandardItem(tr("TIME")));
    model_->setHorizontalHeaderItem(1, new QStandardItem(tr("CMD")));
    model_->setHorizontalHeaderItem(2, new QStandardItem(tr("RETURN")));
    ui->tableView->setModel(model_);
    ui->tableView->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    ui->tableView->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ui->tableView->verticalHeader()->hide();
    ui->tableView->setWordWrap(true);
    ui->tableView->horizontalHeader()->setStyleSheet(
        "QHeaderView::section {background-color: rgb(209, 208, 224);color: rgb(27, 20, 100);}");

    ui->cb_pack->addItem("C_PACK", int(C_PACK));
    ui->cb_pack->addItem("S_PACK", int(S_PACK));

    sock_ = udp_open_unbound();
    if (sock_ == INVALID_SOCK)
        emit sig_data(MSG_ERROR, tr("create cmd socket failed").toLocal8Bit());
}

Page_Admin::~Page_Admin()
{
    QV_TRACE() << "Page_Admin::~Page_Admin";
    if (sock_ != INVALID_SOCK)
        udp_close(sock_, true);
    delete ui;
}

void Page_Admin::on_pb_send_clicked()
{
    const QString cmd = ui->le_cmd->text();
    const int pack = ui->cb_pack->currentData().toInt();
    const QString packText = ui->cb_pack->currentText();

    const int r = model_->rowCount();
    model_->setItem(r, 0, new QStandardItem(now_text()));
    model_->setItem(r, 1, new QStandardItem(QString("%1/%2").arg(cmd, packText)));

    // A command that would move the sensor to another address is not sent from here.
    if (cmd.contains("LSUDP")) {
        model_->setItem(r, 1, new QStandardItem(tr("LSUDP is disabled")));
        return;
    }

    // The frame's length field counts bytes of the encoded text, not characters.
    const QByteArray payload = cmd.toLocal8Bit();
    uint8_t reply[kReplyCap] = {};
    int replyLen = 0;
    const bool answered = lh_request_crc_frame(
        sock_, ip_.toLocal8Bit().constData(), port_, size_t(payload.size()), payload.constData(),
        uint16_t(pack), &replyLen, reply, sizeof(reply), kBudgetSec, kMaxDatagrams);
    if (answered) {
        // The reply holds replyLen bytes; its text ends at the first zero byte within them.
        const size_t n = size_t(replyLen);
        const void *zero = std::memchr(reply, 0, n);
        const size_t text = zero != nullptr ? size_t(static_cast<const uint8_t *>(zero) - reply) : n;
        appendReply(QString::fromLocal8Bit(reinterpret_cast<const char *>(reply), int(text)));
    } else {
        appendReply(tr("no response"));
    }
    QV_TRACE() << "socket:" << sock_ << "ip:" << ip_ << "port:" << port_;
}

void Page_Admin::appendReply(const QString &text)
{
    const int a = model_->rowCount();
    model_->setItem(a, 2, new QStandardItem(text));
    model_->setItem(a, 0, new QStandardItem(now_text()));
}
