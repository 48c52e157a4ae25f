#pragma once
// The dialog in which the user picks the sensor to connect to. It lists every sensor of the
// expected model that is heard on the heartbeat channel, ages the rows whose heartbeats stop,
// looks the MAC addresses up in the background and hands the choice back to the main window.
// The window keeps one for the whole run; it hears every heartbeat whether shown or not, so it
// also reports when the chosen sensor falls silent or comes back.

#include <QByteArray>
#include <QHash>
#include <QDialog>
#include <QModelIndex>
#include <QSize>
#include <QString>

#include <cstdint>
#include <functional>

class QStandardItemModel;
class QTableView;
class QTimer;

namespace Ui {
class Dialog_Connect;
}

class Dialog_Connect : public QDialog {
    Q_OBJECT

public:
    // Columns of DeviceInfoTable.
    enum Column {
        COL_NUM = 0,
        COL_TIME,
        COL_SN,
        COL_MODEL,
        COL_VERSION,
        COL_ID,
        COL_IP,
        COL_MASK,
        COL_GATEWAY,
        COL_LISTENPORT,
        COL_UPLOADIP,
        COL_UPLOADPORT,
        COL_MAC,
        COL_RPM,
        COL_DELAY,
        COL_COUNT
    };

    explicit Dialog_Connect(QWidget *parent = nullptr);
    ~Dialog_Connect() override;

    // One heartbeat datagram, as the listener passed it on (104 or 112 bytes; others ignored).
    void recv_heartbeat(QByteArray data);
    // Empties the table; nothing else changes.
    void clearLidarList();
    // Removes the rows of every model but `lidarmodel`, for a run that keeps the rows it has
    // collected: a sensor of another model is neither listed nor still chosen.
    void removeOtherModels();

    // How a MAC address is looked up: fills `out` (64 zeroed characters) and returns true, or
    // returns false. The default reads the kernel's ARP table, and has an address on a network
    // attached to this host resolved when the table does not hold it yet. Tests install their
    // own; an empty function restores the default. Returns the previous one.
    using MacLookup = std::function<bool(const char *ip, char *out)>;
    static MacLookup setMacLookup(MacLookup lookup);

    // Lookup passes (one every 3 s) before an address that did not resolve is tried again.
    static constexpr int kMacRetryPasses = 10;

    // Read and written by the main window.
    QStandardItemModel *DeviceInfoTable = nullptr;
    QString lidarip;
    uint16_t lidarport = 0;
    uint32_t localport = 0;
    bool isconnect = false;
    int32_t selectrow = -1;

private:
    Ui::Dialog_Connect *ui;
    QTimer *ageTimer_ = nullptr;
    QTimer *macTimer_ = nullptr;

public:
    QString lidarsn = QStringLiteral("nan");
    float motortemp = -1.0f;
    // The model whose sensors are listed, as their heartbeats carry it (lidar_wire_name), never
    // a translated display name.
    QString lidarmodel;

signals:
    void sig_lidarOnLine(QString sn);
    void sig_lidarOffLine(QString sn);

public slots:
    void recv_timeout();
    void recv_mac();
    void on_pb_unConnect_clicked();
    void on_servers_clicked(QModelIndex index);
    void on_pb_connect_clicked();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString cellText(int row, int column) const;
    void setCell(int row, int column, const QString &text);
    // A lookup result, on the GUI thread: the rows still showing `ip` with no MAC yet.
    void applyMac(const QString &ip, const QString &mac);

    bool macbusy = false;
    // Lookup passes so far, and the pass in which each address without a MAC was last tried.
    int macPass_ = 0;
    QHash<QString, int> macTriedAt_;
};

// Size that shows the whole table: header, columns and rows, frame, grid and the scroll bars
// that the current viewport needs. (0, 0) without a model.
QSize tableViewSize(const QTableView *view);

// Moves a window to the middle of the primary screen's available area.
void centerWidget(QWidget *widget);
