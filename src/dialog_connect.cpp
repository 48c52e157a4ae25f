#include "dialog_connect.h"

#include "heartbeat.h"
#include "messagebox.h"
#include "sockethelpers.h"
#include "texthelpers.h"
#include "userpointdata.h"
#include "tracelog.h"
#include "ui_dialog_connect.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <QHeaderView>
#include <QIntValidator>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStringList>
#include <QTimer>

#include <cstring>
#include <mutex>
#include <thread>

namespace {

std::mutex &lookupMutex()
{
    static std::mutex m;
    return m;
}

Dialog_Connect::MacLookup &lookupSlot()
{
    static Dialog_Connect::MacLookup lookup;
    return lookup;
}

Dialog_Connect::MacLookup currentLookup()
{
    std::lock_guard<std::mutex> lock(lookupMutex());
    if (lookupSlot())
        return lookupSlot();
    return [](const char *ip, char *out) { return arp_resolve_mac(ip, out, 1000); };
}

// The part of an "IP" cell that names the host ("a.b.c.d" of "a.b.c.d:port").
QString hostOf(const QString &ipText)
{
    return ipText.section(':', 0, 0);
}

QString text8(const char *field, size_t width)
{
    return QString::fromStdString(trim_version_string(field, width));
}

QString address(const uint8_t bytes[4])
{
    return QString::fromStdString(heartbeat_address_text(bytes));
}

// What a heartbeat says, whichever of the two layouts it came in.
struct HeartbeatView {
    bool long112 = false;
    uint32_t seconds = 0;
    uint32_t nanoseconds = 0;
    QString sn;
    QString model;
    uint32_t version = 0;
    uint32_t id = 0;
    QString ip, mask, gateway, uploadIp;
    uint16_t listenPort = 0;
    uint16_t uploadPort = 0;
    uint16_t rpm1 = 0, rpm2 = 0;
    uint16_t motorTemp = 0;
};

template <typename Record> void fillCommon(const Record &h, HeartbeatView *v)
{
    v->seconds = h.seconds;
    v->nanoseconds = h.nanoseconds;
    v->sn = text8(h.sn, sizeof h.sn);
    v->model = text8(h.model, sizeof h.model);
    v->version = h.version;
    v->id = h.id;
    v->ip = address(h.ip);
    v->mask = address(h.mask);
    v->gateway = address(h.gateway);
    v->uploadIp = address(h.upload_ip);
    v->listenPort = h.listen_port;
    v->uploadPort = h.upload_port;
}

bool readHeartbeat(const QByteArray &data, HeartbeatView *v)
{
    if (data.size() == int(HEARTBEAT104_SIZE)) {
        Heartbeat104 h;
        std::memcpy(&h, data.constData(), sizeof h);
        fillCommon(h, v);
        return true;
    }
    if (data.size() == int(HEARTBEAT112_SIZE)) {
        Heartbeat112 h;
        std::memcpy(&h, data.constData(), sizeof h);
        fillCommon(h, v);
        v->long112 = true;
        v->rpm1 = h.rpm1;
        v->rpm2 = h.rpm2;
        v->motorTemp = h.motor_temp;
        return true;
    }
    return false;
}

// The "Time" cell: the device clock as local date and time, except that a Vimo-E sends its two
// fields the other way round and is shown as the plain number it then makes.
QString timeText(const HeartbeatView &v)
{
    if (v.long112 && v.model == QLatin1String(lidar_wire_name(LIDAR_VIMO_E))) {
        const double value = double(v.nanoseconds) * 1000.0 + double(v.seconds) / 1000000.0;
        return QString::number(qint64(value));
    }
    const double ms = double(v.seconds) * 1000.0 + double(v.nanoseconds) / 1000000.0;
    return QDateTime::fromMSecsSinceEpoch(qint64(ms)).toString("yyyy-MM-dd hh:mm:ss.zzz");
}

} // namespace

Dialog_Connect::MacLookup Dialog_Connect::setMacLookup(MacLookup lookup)
{
    std::lock_guard<std::mutex> lock(lookupMutex());
    MacLookup old = std::move(lookupSlot());
    lookupSlot() = std::move(lookup);
    return old;
}

Dialog_Connect::Dialog_Connect(QWidget *parent)
    : QDialog(parent), ui(new Ui::Dialog_Connect)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowTitle(tr("Device Connection Information"));

    DeviceInfoTable = new QStandardItemModel(0, COL_COUNT, this);
    DeviceInfoTable->setHorizontalHeaderLabels(
        {tr("Num "), tr("Time"), tr("SN"), tr("Model"), tr("Version"), tr("ID"), tr("IP"),
         tr("Mask"), tr("Gateway"), tr("ListenPort"), tr("UploadIP"), tr("UploadPort"), tr("Mac"),
         tr("RPM"), tr("Delay(s)")});

    QTableView *view = ui->servers;
    view->setModel(DeviceInfoTable);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setStyleSheet(
        "QHeaderView::section {background-color: rgb(209, 208, 224);color: rgb(27, 20, 100);}");
    view->setSortingEnabled(true);
    view->sortByColumn(COL_NUM, Qt::AscendingOrder);

    ui->le_listenport->setValidator(new QIntValidator(0, 99999, ui->le_listenport));
    ui->le_listenport->setText("10000");

    ageTimer_ = new QTimer(this);
    connect(ageTimer_, &QTimer::timeout, this, &Dialog_Connect::recv_timeout);
    ageTimer_->start(1000);
    macTimer_ = new QTimer(this);
    connect(macTimer_, &QTimer::timeout, this, &Dialog_Connect::recv_mac);
    macTimer_->start(3000);
}

Dialog_Connect::~Dialog_Connect()
{
    delete ui;
}

QString Dialog_Connect::cellText(int row, int column) const
{
    const QStandardItem *it = DeviceInfoTable->item(row, column);
    return it != nullptr ? it->text() : QString();
}

void Dialog_Connect::setCell(int row, int column, const QString &text)
{
    if (QStandardItem *it = DeviceInfoTable->item(row, column))
        it->setText(text);
    else
        DeviceInfoTable->setItem(row, column, new QStandardItem(text));
}

void Dialog_Connect::recv_heartbeat(QByteArray data)
{
    HeartbeatView hb;
    if (!readHeartbeat(data, &hb))
        return;
    if (hb.model != lidarmodel)
        return;

    // A 104-byte heartbeat without a serial number is known by its address instead.
    int row = -1;
    const bool byIp = !hb.long112 && hb.sn.isEmpty();
    for (int r = 0; r < DeviceInfoTable->rowCount(); ++r) {
        if (byIp ? cellText(r, COL_IP) == hb.ip : cellText(r, COL_SN) == hb.sn) {
            row = r;
            break;
        }
    }

    const QString time = timeText(hb);
    const QString rpm = hb.long112 ? QString("%1/%2").arg(hb.rpm1).arg(hb.rpm2 / 10) : QString();

    if (row >= 0) {
        if (hb.long112 && hb.sn == lidarsn)
            motortemp = float(hb.motorTemp / 10.0);
        setCell(row, COL_TIME, time);
        setCell(row, COL_ID, QString::number(hb.id));
        setCell(row, COL_IP, hb.ip);
        setCell(row, COL_MASK, hb.mask);
        setCell(row, COL_GATEWAY, hb.gateway);
        setCell(row, COL_LISTENPORT, QString::number(hb.listenPort));
        setCell(row, COL_UPLOADIP, hb.uploadIp);
        setCell(row, COL_UPLOADPORT, QString::number(hb.uploadPort));
        if (hb.long112)
            setCell(row, COL_RPM, rpm);
    } else {
        QList<QStandardItem *> items;
        const QString cells[COL_COUNT] = {
            QString::number(DeviceInfoTable->rowCount()),
            time,
            hb.sn,
            hb.model,
            QString::fromStdString(heartbeat_version_text(hb.version)),
            QString::number(hb.id),
            hb.ip,
            hb.mask,
            hb.gateway,
            QString::number(hb.listenPort),
            hb.uploadIp,
            QString::number(hb.uploadPort),
            QString(),
            rpm,
            QString(),
        };
        for (const QString &c : cells)
            items << new QStandardItem(c);
        DeviceInfoTable->appendRow(items);
        row = DeviceInfoTable->rowCount() - 1;

        // The chosen sensor is back (or heard for the first time since the list was emptied).
        if (hb.sn == lidarsn) {
            lidarip = hb.ip;
            lidarport = hb.listenPort;
            localport = hb.uploadPort;
            if (hb.long112)
                motortemp = float(hb.motorTemp / 10.0);
            isconnect = true;
            emit sig_lidarOnLine(hb.sn);
        }
    }
    setCell(row, COL_DELAY, "0");
}

void Dialog_Connect::clearLidarList()
{
    DeviceInfoTable->removeRows(0, DeviceInfoTable->rowCount());
}

void Dialog_Connect::removeOtherModels()
{
    for (int r = DeviceInfoTable->rowCount() - 1; r >= 0; --r) {
        if (cellText(r, COL_MODEL) == lidarmodel)
            continue;
        // The row chosen goes with its row; one chosen below it moves up.
        if (r == selectrow)
            selectrow = -1;
        else if (r < selectrow)
            --selectrow;
        DeviceInfoTable->removeRow(r);
    }
}

void Dialog_Connect::recv_timeout()
{
    for (int r = DeviceInfoTable->rowCount() - 1; r >= 0; --r) {
        const int delay = cellText(r, COL_DELAY).toInt(); // empty or not a number: 0
        if (delay < 3) {
            setCell(r, COL_DELAY, QString::number(delay + 1));
            continue;
        }
        if (cellText(r, COL_SN) == lidarsn) {
            emit sig_lidarOffLine(lidarsn);
            isconnect = false;
        }
        DeviceInfoTable->removeRow(r);
    }
    centerWidget(this);
}

void Dialog_Connect::recv_mac()
{
    // Passes stand for time: one is counted even while an earlier one still runs.
    ++macPass_;
    if (macbusy)
        return;
    // The addresses come from heartbeats, which anyone on the link can write: each is tried
    // once and then again only every kMacRetryPasses passes, not at the timer's pace for ever.
    QHash<QString, int> stillWanted;
    QStringList ips;
    for (int r = 0; r < DeviceInfoTable->rowCount(); ++r) {
        if (!cellText(r, COL_MAC).isEmpty())
            continue;
        const QString ip = hostOf(cellText(r, COL_IP));
        if (stillWanted.contains(ip))
            continue;
        const auto tried = macTriedAt_.constFind(ip);
        if (tried != macTriedAt_.constEnd() && macPass_ - tried.value() < kMacRetryPasses) {
            stillWanted.insert(ip, tried.value());
            continue;
        }
        stillWanted.insert(ip, macPass_);
        ips << ip;
    }
    // Addresses no longer listed are forgotten, so the record is as long as the table.
    macTriedAt_ = stillWanted;
    if (ips.isEmpty())
        return;
    macbusy = true;
    // The pass outlives nothing it does not own: it works on its own copy of the addresses
    // and posts its results to the GUI thread, where the guard tells whether this dialog still
    // exists. Resolving waits up to a second for each silent device, so a pass can outlast the
    // timer's period: the dialog stays busy until the pass reports back, and passes never pile
    // up behind each other.
    QPointer<Dialog_Connect> guard(this);
    MacLookup lookup = currentLookup();
    std::thread([guard, ips, lookup]() {
        QList<QPair<QString, QString>> found;
        for (const QString &ip : ips) {
            char out[64] = {};
            const QByteArray ip8 = ip.toLocal8Bit();
            if (lookup(ip8.constData(), out))
                found.append({ip, QString::fromLocal8Bit(out)});
        }
        QCoreApplication *app = QCoreApplication::instance();
        if (app == nullptr)
            return;
        QMetaObject::invokeMethod(
            app, [guard, found]() {
                if (!guard)
                    return;
                for (const auto &ipMac : found)
                    guard->applyMac(ipMac.first, ipMac.second);
                guard->macbusy = false;
            },
            Qt::QueuedConnection);
    }).detach();
}

void Dialog_Connect::applyMac(const QString &ip, const QString &mac)
{
    for (int r = 0; r < DeviceInfoTable->rowCount(); ++r)
        if (hostOf(cellText(r, COL_IP)) == ip && cellText(r, COL_MAC).isEmpty())
            setCell(r, COL_MAC, mac);
    macTriedAt_.remove(ip);
}

void Dialog_Connect::on_pb_unConnect_clicked()
{
    isconnect = false;
    accept();
}

void Dialog_Connect::on_servers_clicked(QModelIndex index)
{
    if (!index.isValid())
        return;
    selectrow = index.row();
    lidarip = cellText(selectrow, COL_IP);
    lidarport = uint16_t(cellText(selectrow, COL_LISTENPORT).toUInt());
    lidarsn = cellText(selectrow, COL_SN);
    ui->le_listenport->setText(cellText(selectrow, COL_UPLOADPORT));
    QV_TRACE() << lidarsn << selectrow;
}

void Dialog_Connect::on_pb_connect_clicked()
{
    const uint port = ui->le_listenport->text().toUInt(); // not a number: 0
    if (port < 1001 || port > 65534) {
        show_warning(this, tr("error"), tr("The range of values for the host listening port (1000,65535)"));
        return;
    }
    if (selectrow == -1) {
        show_warning(this, tr("error"), tr("Please select the lidar to be connected first"));
        return;
    }
    localport = port;
    selectrow = -1;
    isconnect = true;
    accept();
}

void Dialog_Connect::paintEvent(QPaintEvent *event)
{
    // Wide enough for every column; the user keeps the height.
    const QSize want = tableViewSize(ui->servers);
    if (want.width() + 9 != width())
        resize(want.width() + 9, height());
    QDialog::paintEvent(event);
}

QSize tableViewSize(const QTableView *view)
{
    const QAbstractItemModel *m = view->model();
    if (m == nullptr)
        return QSize(0, 0);
    const int frame = 2 * view->frameWidth();
    // A hidden header takes no room.
    int w = (view->verticalHeader()->isHidden() ? 0 : view->verticalHeader()->width()) + frame;
    for (int c = 0; c < m->columnCount(); ++c)
        w += view->columnWidth(c);
    int h = (view->horizontalHeader()->isHidden() ? 0 : view->horizontalHeader()->height()) + frame;
    for (int r = 0; r < m->rowCount(); ++r)
        h += view->rowHeight(r);
    if (view->showGrid()) {
        w += m->columnCount();
        h += m->rowCount();
    }
    if (m->rowCount() > 0 && view->viewport()->height() < h)
        w += view->verticalScrollBar()->sizeHint().width();
    if (m->columnCount() > 0 && view->viewport()->width() < w)
        h += view->horizontalScrollBar()->sizeHint().height();
    return QSize(w, h);
}

void centerWidget(QWidget *widget)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect a = screen->availableGeometry();
    widget->move(a.left() + (a.width() - widget->width()) / 2,
                 a.top() + (a.height() - widget->height()) / 2);
}
