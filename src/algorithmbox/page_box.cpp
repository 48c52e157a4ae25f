#include "page_box.h"

#include "algorithmboxproc.h"
#include "dirhelpers.h"
#include "inisettings.h"
#include "messagebox.h"
#include "pinghelper.h"
#include "settingsdocument.h"
#include "sockethelpers.h"
#include "tracelog.h"
#include "ui_page_box.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QRegularExpression>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cstring>

namespace {

constexpr int kLidarTypeBox = 4;
constexpr int kCheckIntervalMs = 2000;
// A box not heard for this long leaves the list (the selected one stays, its dots grey), as a
// sensor's row leaves the connection dialog. Anyone on the network can announce boxes: the list
// holds kMaxListed at most, and a box beyond that is listed once another has gone.
constexpr int kBoxAgeMs = 3 * kCheckIntervalMs;
constexpr int kMaxListed = 256;
constexpr int kHeardRole = Qt::UserRole + 1; // when the entry's box was last heard (ms)
constexpr int kDotSize = 10;

// A text field of a box heartbeat: up to its first zero byte, never beyond its 16 bytes.
QString heartbeatText(const char (&field)[16])
{
    return QString::fromLatin1(field, int(strnlen(field, sizeof(field))));
}

QString withoutWhitespace(QString text)
{
    static const QRegularExpression blanks("\\s");
    return text.remove(blanks);
}

// The text after the first ":" of a reply; empty when it has none.
QString afterFirstColon(const QString &info)
{
    const int colon = info.indexOf(':');
    return colon < 0 ? QString() : info.mid(colon + 1);
}

// What the box puts between its reply's first ":" and its closing character.
QString valueBetweenColonAndEnd(const QString &info)
{
    const QString after = afterFirstColon(info);
    return after.isEmpty() ? after : after.chopped(1);
}

// The second ":"-separated field of a reply, or nothing when the reply has no ":".
QString secondField(const QString &info)
{
    const QStringList parts = info.split(':');
    return parts.size() > 1 ? parts.at(1) : QString();
}

QString rowText(const QStandardItemModel *model, int row)
{
    const QStandardItem *item = model->item(row);
    return item != nullptr ? item->text() : QString();
}

QString flagsText(uint16_t flags)
{
    return QString::number(flags, 2).rightJustified(12, '0');
}

} // namespace

// The window's icons live in this library's own resource file; a static library registers it
// only when asked.
static void register_algorithmbox_resources()
{
    Q_INIT_RESOURCE(algorithmbox);
}

Page_Box::Page_Box(QWidget *parent) : QWidget(parent), ui(new Ui::Page_Box)
{
    static const bool registered = (register_algorithmbox_resources(), true);
    (void)registered;
    ui->setupUi(this);
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(tr("Algorithm Box Configurator"));
    initTables();

    timer = new QTimer;
    connect(timer, SIGNAL(timeout()), this, SLOT(recv_autocheck()));
    timer->setInterval(kCheckIntervalMs);

    history_path = QStandardPaths::writableLocation(QStandardPaths::TempLocation) + "/QuorvelViewLog.txt";

    const QString upgrade = QString::fromStdString(
        IniSettings::instance()->get_value("Standard", "UpgradePath", "", kSettingsDoc));
    if (!upgrade.isEmpty())
        ui->le_boxupgrade->setText(upgrade);

    ui->gridLayout->setSizeConstraint(QLayout::SetFixedSize);

    ui->label_10->hide();
    ui->le_snValue->hide();
    ui->pb_snGet->hide();
    ui->pb_snSet->hide();
    ui->groupBox_2->hide();

    ui->groupBox_net->setEnabled(false);
    ui->groupBox_2->setEnabled(false);
    ui->groupBox_mac->setEnabled(false);
    ui->groupBox_upgrade->setEnabled(false);
    ui->pb_connect->setEnabled(false);

    showDetails(false);
}

Page_Box::~Page_Box()
{
    if (timer->isActive())
        timer->stop();
    delete timer;
    delete ui;
    delete model_before;
    delete model_after;
    delete model_after2;
}

void Page_Box::setProc(AlgorithmBoxProc *proc)
{
    proc_ = proc;
}

AlgorithmBoxProc *Page_Box::proc() const
{
    return proc_;
}

QString Page_Box::historyPath() const
{
    return history_path;
}

void Page_Box::setClock(std::function<qint64()> clock)
{
    clock_ = std::move(clock);
}

void Page_Box::setPingFunction(std::function<bool(const QString &, int)> ping)
{
    ping_ = std::move(ping);
}

qint64 Page_Box::now() const
{
    return clock_ ? clock_() : QDateTime::currentMSecsSinceEpoch();
}

void Page_Box::send(const QString &text)
{
    if (proc_)
        proc_->sendCmd(AlgorithmBoxProc::kTextCommand, text);
}

// ---------------------------------------------------------------- box list, selection, status

void Page_Box::setStatusStyle(QLabel *label, int status, int size)
{
    label->setText("");
    QString style = QString("min-width: %1px;").arg(size) + QString("min-height: %1px;").arg(size)
                    + QString("max-width: %1px;").arg(size) + QString("max-height: %1px;").arg(size)
                    + QString("border-radius: %1px;").arg(size / 2) + "border:1px solid black;";
    switch (status) {
    case 0:
        style += "background-color:rgb(190,190,190)";
        break;
    case 1:
        style += "background-color:rgb(255,255,0)";
        break;
    case 2:
        style += "background-color:rgb(0,255,0)";
        break;
    case 3:
        style += "background-color:rgb(255,0,0)";
        break;
    default:
        break;
    }
    label->setStyleSheet(style);
}

void Page_Box::setBoxInfo(BoxHeartbeat info)
{
    const QString box_ip = heartbeatText(info.box_ip);
    QListWidgetItem *entry = nullptr;
    for (int i = 0; i < ui->listWidget->count() && entry == nullptr; ++i)
        if (ui->listWidget->item(i)->text() == box_ip)
            entry = ui->listWidget->item(i);
    if (entry == nullptr && ui->listWidget->count() < kMaxListed) {
        ui->listWidget->addItem(box_ip);
        entry = ui->listWidget->item(ui->listWidget->count() - 1);
        records.push_back(info);
    } else if (entry == nullptr) {
        QV_TRACE_LIMITED() << "box list full:" << box_ip << "not listed";
    }
    if (entry != nullptr)
        entry->setData(kHeardRole, now());
    // The check also ages the list, selected box or not.
    if (!timer->isActive())
        timer->start();
    if (box_ip != selected_ip)
        return;

    const QString lidar_ip = heartbeatText(info.lidar_ip);
    const uint8_t status = info.status;
    const uint16_t flags = info.flags;
    const QString time = QDateTime::fromMSecsSinceEpoch(now()).toString("yyyy-MM-dd hh:mm:ss.zzz");
    QGridLayout *grid = ui->gridLayout_2;
    bool matched = false;
    if (grid->columnCount() == 4) {
        for (int row = 0; row < grid->rowCount(); ++row) {
            QLayoutItem *ip_item = grid->itemAtPosition(row, 1);
            auto *ip_label = ip_item != nullptr ? qobject_cast<QLabel *>(ip_item->widget()) : nullptr;
            if (ip_label == nullptr || ip_label->text() != lidar_ip)
                continue;
            matched = true;
            if (QLayoutItem *it = grid->itemAtPosition(row, 0))
                if (auto *l = qobject_cast<QLabel *>(it->widget()))
                    l->setText(time);
            if (QLayoutItem *it = grid->itemAtPosition(row, 2))
                if (auto *l = qobject_cast<QLabel *>(it->widget()))
                    setStatusStyle(l, status, kDotSize);
            if (QLayoutItem *it = grid->itemAtPosition(row, 3))
                if (auto *l = qobject_cast<QLabel *>(it->widget()))
                    l->setText(flagsText(flags));
        }
    }
    if (!matched) {
        while (QLayoutItem *it = grid->takeAt(0)) {
            delete it->widget();
            delete it;
        }
        auto *dot = new QLabel(ui->groupBox_3);
        setStatusStyle(dot, status, kDotSize);
        grid->addWidget(new QLabel(time, ui->groupBox_3), 0, 0);
        grid->addWidget(new QLabel(lidar_ip, ui->groupBox_3), 0, 1);
        grid->addWidget(dot, 0, 2);
        grid->addWidget(new QLabel(flagsText(flags), ui->groupBox_3), 0, 3);
    }
    last_heartbeat = now();
    if (!timer->isActive())
        timer->start();
}

void Page_Box::recv_autocheck()
{
    dropSilentBoxes();
    if (now() - last_heartbeat <= kCheckIntervalMs)
        return;
    QGridLayout *grid = ui->gridLayout_2;
    for (int row = 0; row < grid->rowCount(); ++row)
        if (QLayoutItem *it = grid->itemAtPosition(row, 2))
            if (auto *dot = qobject_cast<QLabel *>(it->widget()))
                setStatusStyle(dot, 0, kDotSize);
}

void Page_Box::dropSilentBoxes()
{
    const qint64 t = now();
    for (int i = ui->listWidget->count() - 1; i >= 0; --i) {
        QListWidgetItem *entry = ui->listWidget->item(i);
        const QVariant heard = entry->data(kHeardRole);
        if (entry->text() == selected_ip || !heard.isValid() || t - heard.toLongLong() <= kBoxAgeMs)
            continue;
        const QString ip = entry->text();
        records.erase(std::remove_if(records.begin(), records.end(),
                                     [&](const BoxHeartbeat &r) { return heartbeatText(r.box_ip) == ip; }),
                      records.end());
        delete ui->listWidget->takeItem(i);
    }
}

void Page_Box::showDetails(bool show)
{
    const QString image = show ? ":/resource/algorithmbox/hide_details.png"
                               : ":/resource/algorithmbox/show_details.png";
    ui->pb_details->setIcon(QIcon(image));
    // The form draws the button's picture from its style sheet; it follows the icon so that
    // the arrow tells which way the next click goes.
    ui->pb_details->setStyleSheet(QString("image: url(%1);").arg(image));
    ui->pb_details->setMinimumSize(33, 33);
    ui->pb_details->setMaximumSize(33, 33);
    ui->pb_details->setIconSize(QSize(28, 28));
    ui->groupBox_mac->setVisible(show);
    ui->groupBox_upgrade->setVisible(show);
    ui->groupBox_net->setVisible(show);
}

void Page_Box::on_pb_details_clicked()
{
    showDetails(ui->groupBox_net->isHidden());
}

bool Page_Box::checkBoxSelected()
{
    if (!selected_ip.isEmpty())
        return true;
    show_warning(nullptr, tr("error"), tr("Please select the specified IP box first!"));
    return false;
}

void Page_Box::enableSettings()
{
    ui->groupBox_net->setEnabled(true);
    ui->groupBox_2->setEnabled(true);
    ui->groupBox_upgrade->setEnabled(true);
    ui->groupBox_mac->setEnabled(true);
    ui->pb_connect->setEnabled(true);
}

void Page_Box::on_listWidget_itemClicked(QListWidgetItem *item)
{
    if (item == nullptr)
        return;
    selected_ip = item->text();
    // A box listed again (after "LSNET:" emptied the list) has one record per listing, and each
    // one selects it again. The loop walks a copy: a warning's own event loop may let a
    // heartbeat add a record meanwhile.
    const std::vector<BoxHeartbeat> all = records;
    for (const BoxHeartbeat &record : all) {
        if (heartbeatText(record.box_ip) != selected_ip)
            continue;
        sensor_port = record.lidar_port;
        if (proc_)
            proc_->setBoxAddr(heartbeatText(record.box_ip), AlgorithmBoxProc::kBoxPort);
        ui->ip->setValue(heartbeatText(record.box_ip));
        ui->mask->setValue(heartbeatText(record.box_mask));
        ui->gateway->setValue(heartbeatText(record.box_gateway));
        on_pb_getlidars_clicked();
        if (checkBoxSelected()) {
            enableSettings();
            send("LSNETS");
        }
        if (checkBoxSelected())
            send("LQMACH");
    }
}

void Page_Box::on_pb_connect_clicked()
{
    if (selected_ip.isEmpty()) {
        show_warning(nullptr, tr("error"), tr("Please select the lidar to be connected first!"));
        return;
    }
    emit sig_start(selected_ip, sensor_port, kLidarTypeBox);
    hide();
}

void Page_Box::on_pb_cancel_clicked()
{
    hide();
}

void Page_Box::on_pb_del_clicked()
{
    clearGrid();
}

void Page_Box::clearGrid()
{
    while (QLayoutItem *it = ui->gridLayout_2->takeAt(0)) {
        delete it->widget();
        delete it;
    }
    ui->listWidget->clear();
    selected_ip.clear();
    records.clear();
    ui->ip->clear();
    ui->mask->clear();
    ui->gateway->clear();
    ui->le_snValue->clear();
    ui->le_macValue->clear();
}

void Page_Box::on_pb_add_clicked()
{
    BoxHeartbeat test{};
    std::memset(&test, 0, sizeof(test));
    std::strncpy(test.box_ip, "192.168.6.128", sizeof(test.box_ip));
    std::strncpy(test.lidar_ip, "192.168.137.200", sizeof(test.lidar_ip));
    setBoxInfo(test);
}

// ---------------------------------------------------------------- box commands and replies

void Page_Box::on_pb_getbox_clicked()
{
    if (!checkBoxSelected())
        return;
    enableSettings();
    send("LSNETS");
}

bool Page_Box::pingtest(QString ip, int timeout)
{
    if (ping_)
        return ping_(ip, timeout);
    return ping_answered(ip, timeout);
}

void Page_Box::on_pb_setbox_clicked()
{
    const QString ip = ui->ip->getIP();
    // Only a well-formed address is handed to ping; anything else fails the address check below.
    const bool answered = is_ipv4(ip.toLatin1().constData()) && pingtest(ip, 1);
    if ((answered || ip.contains("192.168.158")) && ip != selected_ip) {
        show_warning(nullptr, tr("error"),
                     tr("This IP is an internal IP or is occupied. Please choose another IP"));
        return;
    }
    const QString mask = ui->mask->getIP();
    const QString gateway = ui->gateway->getIP();
    char normalised[128] = {0};
    if (!format_ip_config(true, ip.toLatin1().constData(), mask.toLatin1().constData(),
                          gateway.toLatin1().constData(), AlgorithmBoxProc::kBoxPort, normalised)) {
        show_warning(nullptr, tr("error"), tr("IP/Mask/Gateway mismatch, please modify and try again"));
        return;
    }
    if (proc_) {
        const QString command = QString("LSNET:%1 %2 %3").arg(ip, mask, gateway);
        QV_TRACE() << command;
        send(command);
    }
}

void Page_Box::on_pb_macGet_clicked()
{
    if (checkBoxSelected())
        send("LQMACH");
}

void Page_Box::on_pb_snGet_clicked()
{
    if (checkBoxSelected())
        send("LUUIDH");
}

void Page_Box::on_pb_restart_clicked()
{
    if (checkBoxSelected())
        send("REBOOT");
}

void Page_Box::on_pb_version_clicked()
{
    if (checkBoxSelected())
        send("LVERSH");
}

void Page_Box::on_pb_macSet_clicked()
{
    if (!checkBoxSelected() || !proc_)
        return;
    const QString mac = ui->le_macValue->text();
    if (!is_mac(mac.toLatin1().constData())) {
        show_warning(nullptr, tr("error"), tr("MAC address format error!"));
        return;
    }
    send(QString("LSMAC:%1H").arg(mac));
    const QString time = QDateTime::fromMSecsSinceEpoch(now()).toString("yyyy-MM-dd hh:mm:ss");
    writeHistory(history_path, QString("%1 MAC set %2 ").arg(time, mac));
}

void Page_Box::on_pb_snSet_clicked()
{
    if (!checkBoxSelected() || !proc_)
        return;
    const QString sn = ui->le_snValue->text();
    send(QString("LQUUID:%1H").arg(sn));
    const QString time = QDateTime::fromMSecsSinceEpoch(now()).toString("yyyy-MM-dd hh:mm:ss");
    writeHistory(history_path, QString("%1 SN set %2 ").arg(time, sn));
}

void Page_Box::on_pb_choose_clicked()
{
    // From the folder of the file in the field (the one last chosen, or last sent to a box).
    QString last = ui->le_boxupgrade->text();
    if (last.isEmpty())
        last = QString::fromStdString(IniSettings::instance()->get_value("Standard", "UpgradePath", "", kSettingsDoc));
    const QString path = choose_open_file(this, tr("Open File"), chooser_start_folder(last),
                                          tr("box firmware file (*.bin)"));
    if (!path.isEmpty())
        ui->le_boxupgrade->setText(path);
}

void Page_Box::on_pb_upgrade_clicked()
{
    const QString path = ui->le_boxupgrade->text();
    if (!QFileInfo::exists(path)) {
        show_warning(nullptr, tr("error"), tr("filename:%1 is not exist!").arg(path));
        return;
    }
    if (proc_) {
        // The transfer goes to the address in the field; after "刷新" that field is empty and
        // nothing may be sent. One transfer at a time: the thread would drop a second request.
        const QString ip = ui->ip->getIP();
        if (!is_ipv4(ip.toLatin1().constData())) {
            show_warning(nullptr, tr("error"), tr("Please select the specified IP box first!"));
        } else if (proc_->upgradePending()) {
            show_warning(nullptr, tr("error"),
                         tr("A firmware upgrade is in progress, please wait until it ends!"));
        } else {
            proc_->setBoxAddr(ip, AlgorithmBoxProc::kFirmwarePort);
            QV_TRACE() << "box update port:" << AlgorithmBoxProc::kFirmwarePort;
            proc_->setUpgradeFile(ip, path);
        }
    }
    IniSettings::instance()->set_value("Standard", "UpgradePath", path.toStdString(), kSettingsDoc);
}

void Page_Box::on_pb_history_clicked()
{
    if (QFileInfo::exists(history_path)) {
        open_url(QUrl::fromLocalFile(history_path));
        return;
    }
    show_warning(nullptr, tr("error"),
                 tr("No available history files, please modify your Mac and try again!"));
}

void Page_Box::writeHistory(const QString &path, const QString &line)
{
    const QByteArray bytes = (line + "\n").toLocal8Bit();
    append_file_nofollow(path.toLocal8Bit().toStdString(), bytes.constData(), size_t(bytes.size()));
}

void Page_Box::recv_BoxMSG(QString ip, int type, QString info)
{
    Q_UNUSED(ip);
    switch (type) {
    case 1:
        show_network_warning(nullptr, tr("warm"), tr("algorithm box is reboot!"));
        break;
    case 2:
    case 3:
        break;
    case 4:
        rebuildServedLists(info);
        break;
    case 5:
        // The box takes its new address: it is listed again when its next heartbeat comes.
        ui->listWidget->clear();
        break;
    case 6: {
        const int colon = info.indexOf(':');
        const int first = info.indexOf(' ');
        const int last = info.lastIndexOf(' ');
        ui->ip->setValue(info.mid(colon + 1, first - colon - 1));
        ui->mask->setValue(info.mid(first + 1, last - first - 1));
        ui->gateway->setValue(info.mid(last + 1));
        break;
    }
    case 7: {
        const QStringList parts = info.split(':');
        if (parts.size() == 2)
            ui->lb_version->setText(parts.at(1));
        break;
    }
    case 8:
        QV_TRACE_LIMITED() << info;
        if (secondField(info) == "NG") {
            show_network_warning(nullptr, tr("error"), info);
        } else {
            writeHistory(history_path, "MAC set ok");
            show_network_warning(nullptr, tr("warm"), tr("MAC set ok!"));
        }
        break;
    case 9:
        QV_TRACE_LIMITED() << info;
        if (secondField(info) == "NG")
            show_network_warning(nullptr, tr("error"), info);
        else
            ui->le_macValue->setText(valueBetweenColonAndEnd(info));
        break;
    case 10: {
        const QString sn = valueBetweenColonAndEnd(info);
        QV_TRACE_LIMITED() << info;
        QV_TRACE_LIMITED() << sn;
        ui->le_snValue->setText(sn);
        break;
    }
    case 11:
        QV_TRACE_LIMITED() << info;
        if (secondField(info) == "NG") {
            show_network_warning(nullptr, tr("error"), info);
        } else {
            show_network_warning(nullptr, tr("warm"), tr("SN set ok"));
            writeHistory(history_path, "SN set ok");
        }
        break;
    case AlgorithmBoxProc::kFirmwareResult:
        show_network_warning(nullptr, tr("warm"), info);
        clearGrid();
        break;
    case AlgorithmBoxProc::kSocketFailure:
        show_network_warning(nullptr, tr("error"), info);
        proc_ = nullptr;
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------- served-sensor lists

void Page_Box::initTables()
{
    model_before = new QStandardItemModel;
    model_after = new QStandardItemModel;
    model_after2 = new QStandardItemModel;
    const struct {
        QTableView *view;
        QStandardItemModel *model;
        bool editable;
    } tables[] = {
        {ui->tableView_before, model_before, true},
        {ui->tableView_after, model_after, false},
        {ui->tableView_after2, model_after2, false},
    };
    for (const auto &t : tables) {
        t.model->setColumnCount(1);
        t.model->setHorizontalHeaderItem(0, new QStandardItem(tr("ip:port")));
        t.view->setModel(t.model);
        t.view->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
        t.view->horizontalHeader()->setStyleSheet(
            "QHeaderView::section {background-color: rgb(209, 208, 224);color: rgb(27, 20, 100);}");
        t.view->verticalHeader()->hide();
        if (!t.editable)
            t.view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    }
}

void Page_Box::on_pb_getlidars_clicked()
{
    if (!proc_)
        return;
    model_after->removeRows(0, model_after->rowCount());
    model_after2->removeRows(0, model_after2->rowCount());
    send("LSGETS");
    // The box is given time to answer the lists before the version query follows.
    QThread::msleep(100);
    send("LVERSH");
}

void Page_Box::on_pb_edit_clicked()
{
    model_before->appendRow(new QStandardItem(tr("please edit!")));
}

void Page_Box::on_tableView_before_clicked(const QModelIndex &index)
{
    row_before = index.row();
}

void Page_Box::on_tableView_after_clicked(const QModelIndex &index)
{
    row_after = index.row();
}

void Page_Box::on_tableView_after2_clicked(const QModelIndex &index)
{
    row_after2 = index.row();
}

void Page_Box::on_pb_input_clicked()
{
    moveIn(model_after, list_io_a, 0);
}

void Page_Box::on_pb_input2_clicked()
{
    moveIn(model_after2, list_io_b, 1);
}

void Page_Box::on_pb_output_clicked()
{
    moveOut(model_after, row_after, list_io_a, 0);
}

void Page_Box::on_pb_output2_clicked()
{
    moveOut(model_after2, row_after2, list_io_b, 1);
}

void Page_Box::moveIn(QStandardItemModel *target, QStringList &reported, int io)
{
    if (row_before < 0 || row_before >= model_before->rowCount())
        return;
    const QString entry = withoutWhitespace(rowText(model_before, row_before));
    for (const QStandardItemModel *model : {model_after, model_after2}) {
        for (int row = 0; row < model->rowCount(); ++row) {
            if (withoutWhitespace(rowText(model, row)) == entry) {
                show_warning(nullptr, tr("error"), tr("Configuration already exists, please add it again"));
                return;
            }
        }
    }
    model_before->removeRow(row_before);
    target->appendRow(new QStandardItem(entry));
    row_before = -1;
    setLidarINI(target, reported, io, true);
    send("LSGETS");
}

void Page_Box::moveOut(QStandardItemModel *source, int &row, QStringList &reported, int io)
{
    if (row < 0 || row >= source->rowCount())
        return;
    const QString entry = rowText(source, row);
    source->removeRow(row);
    model_before->appendRow(new QStandardItem(entry));
    row = -1;
    setLidarINI(source, reported, io, false);
    send("LSGETS");
}

void Page_Box::setLidarINI(QStandardItemModel *model, const QStringList &reported, int io, bool add)
{
    QStringList current;
    QStringList added;
    for (int row = 0; row < model->rowCount(); ++row) {
        const QString entry = withoutWhitespace(rowText(model, row));
        const QStringList parts = entry.split(':');
        if (entry.size() < 12 || parts.size() != 2) {
            show_warning(nullptr, tr("error"), tr("add lidar config failed:format error,row:%1").arg(row + 1));
            return;
        }
        if (!is_ipv4(parts.at(0).toLatin1().constData())) {
            show_warning(nullptr, tr("error"), tr("add lidar config failed:ip format error,row:%1").arg(row + 1));
            return;
        }
        const int port = parts.at(1).toInt();
        if (port < 1000 || port > 65535) {
            show_warning(nullptr, tr("error"),
                         tr("add lidar config failed:port range error,row:%1").arg(row + 1));
            return;
        }
        current << entry;
        if (!reported.contains(entry))
            added << entry;
    }
    QStringList removed;
    for (const QString &entry : reported)
        if (!current.contains(entry))
            removed << entry;
    added.removeDuplicates();
    removed.removeDuplicates();

    const QStringList &changes = add ? added : removed;
    if (changes.isEmpty())
        return;
    QStringList list;
    for (const QString &entry : changes) {
        const QStringList parts = entry.split(':');
        list << QString("%1 %2 %3").arg(parts.at(0)).arg(parts.at(1).toInt()).arg(io);
    }
    const QString command = (add ? "LSADD:" : "LSDEL:") + list.join('|');
    QV_TRACE() << command;
    send(command);
}

void Page_Box::rebuildServedLists(const QString &info)
{
    const QStringList parts = afterFirstColon(info).split('|');
    model_after->removeRows(0, model_after->rowCount());
    model_after2->removeRows(0, model_after2->rowCount());
    list_io_a.clear();
    list_io_b.clear();
    for (const QString &part : parts) {
        const QStringList pieces = part.split(' ');
        if (pieces.size() != 3)
            continue;
        const QString entry = QString("%1:%2").arg(pieces.at(0), pieces.at(1));
        if (pieces.at(2).toInt() != 0) {
            model_after2->appendRow(new QStandardItem(entry));
            list_io_b << entry;
        } else {
            model_after->appendRow(new QStandardItem(entry));
            list_io_a << entry;
        }
    }
}
