#pragma once
// Command thread of the algorithm box: one UDP socket on port 6666. The configurator sends the
// box's text commands through it from the GUI thread; the loop reads the box's text replies,
// classifies each by its first six characters and posts it as sig_BoxMSG, and carries out a
// firmware upgrade (port 6665) when one has been asked for. Only datagrams from the box
// address (the box the configurator chose, setBoxAddr) are read as replies; anything else is
// dropped before it is parsed, and never changes where the commands go.

#include <QString>
#include <QThread>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>

class AlgorithmBoxProc : public QThread {
    Q_OBJECT
public:
    static constexpr int kBoxPort = 6666;
    static constexpr uint16_t kTextCommand = 117;
    static constexpr uint16_t kTextReply = 0xFF8A; // ~117: what the box answers a text with
    static constexpr size_t kTextBufferSize = 512;
    static constexpr size_t kReceiveBufferSize = 8192;
    static constexpr int kFirmwarePort = 6665;

    // Reply classes of sig_BoxMSG besides the eleven text classes.
    static constexpr int kFirmwareResult = 21;
    static constexpr int kSocketFailure = -1;

    AlgorithmBoxProc();
    ~AlgorithmBoxProc() override;

    // Sends `text` (local 8-bit encoding) to the box's port 6666 as an LhCrcFrame of command
    // 117. Nothing happens for any other mode or while the socket is not open.
    void sendCmd(int mode, QString text);

    // Destination of the commands; `port` is the firmware transfer's port.
    void setBoxAddr(QString ip, int port);

    // Asks the loop to send the image at `path` to `ip` (on the port of the last setBoxAddr).
    // The transfer goes to this address even when another device speaks on port 6666 meanwhile.
    void setUpgradeFile(QString ip, QString path);

    // True from setUpgradeFile until the loop has finished that transfer.
    bool upgradePending() const;

    // The loop ends within one second (or when a running transfer ends).
    void stop();

    // Classifies one datagram of `length` bytes: the reply class 1 to 11, or -1. The reply text,
    // zero-terminated and cut to what the datagram carries and the buffer holds, is left in
    // `text`, which must hold kTextBufferSize bytes.
    static int parseBoxMsg(int length, const uint8_t *data, char *text);

    // Local address the socket binds (empty: any). Tests bind 127.0.0.1 so that a fake box on
    // 127.0.0.2 can hold port 6666 too. Read when a thread starts; any thread may set it.
    static void setBindAddress(const QString &ip);
    static QString bindAddress();

signals:
    void sig_BoxMSG(QString ip, int type, QString info);

protected:
    void run() override;

private:
    void runUpgrade();
    QString boxAddr() const;
    // The datagram's source (network order) is the box address.
    bool fromBox(uint32_t source_be) const;

    std::atomic<bool> running_{true};

    // The socket is used by the GUI thread (sendCmd) and the loop (select, recvfrom, close);
    // the lock keeps a send from reaching a descriptor the loop has just closed.
    mutable std::mutex sock_mutex_;
    int sock_ = -1;

    // The box address, the box port, the upgrade request and the firmware path are shared by
    // both threads (the GUI thread writes them, the loop reads them).
    mutable std::mutex mutex_;
    QString box_addr_;
    int box_port_ = 0;
    bool upgrade_pending_ = false;
    QString upgrade_addr_;
    QString firmware_path_;
};
