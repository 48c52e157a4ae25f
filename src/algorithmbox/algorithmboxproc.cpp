#include "algorithmboxproc.h"

#include "firmware.h"
#include "lhframe.h"
#include "sockethelpers.h"
#include "tracelog.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <vector>

namespace {

// First six characters of a reply and its class, compared in this order.
struct ReplyClass {
    const char *prefix;
    int type;
};

constexpr ReplyClass kReplyClasses[] = {
    {"REBOOT", 1}, {"LSADD:", 2}, {"LSDEL:", 3}, {"LSGETS", 4}, {"LSNET:", 5},  {"LSNETS", 6},
    {"LVERSH", 7}, {"LSMAC:", 8}, {"LQMACH", 9}, {"LUUIDH", 10}, {"LQUUID", 11},
};

std::mutex g_bind_mutex;
QString g_bind_ip;

} // namespace

AlgorithmBoxProc::AlgorithmBoxProc() : QThread(nullptr) {}

AlgorithmBoxProc::~AlgorithmBoxProc()
{
    running_ = false;
    wait();
}

void AlgorithmBoxProc::setBindAddress(const QString &ip)
{
    std::lock_guard<std::mutex> lock(g_bind_mutex);
    g_bind_ip = ip;
}

QString AlgorithmBoxProc::bindAddress()
{
    std::lock_guard<std::mutex> lock(g_bind_mutex);
    return g_bind_ip;
}

void AlgorithmBoxProc::sendCmd(int mode, QString text)
{
    if (mode != kTextCommand)
        return;
    const QByteArray bytes = text.toLocal8Bit();
    const QByteArray addr = boxAddr().toLocal8Bit();
    std::lock_guard<std::mutex> lock(sock_mutex_);
    if (sock_ == INVALID_SOCK)
        return;
    lh_send_crc_frame(sock_, addr.constData(), kBoxPort, kTextCommand,
                      uint16_t(std::rand() & 0x7FFF), size_t(bytes.size()), bytes.constData());
}

void AlgorithmBoxProc::setBoxAddr(QString ip, int port)
{
    std::lock_guard<std::mutex> lock(mutex_);
    box_addr_ = ip;
    box_port_ = port;
}

void AlgorithmBoxProc::setUpgradeFile(QString ip, QString path)
{
    std::lock_guard<std::mutex> lock(mutex_);
    upgrade_addr_ = ip;
    firmware_path_ = path;
    upgrade_pending_ = true;
}

bool AlgorithmBoxProc::upgradePending() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return upgrade_pending_;
}

void AlgorithmBoxProc::stop()
{
    running_ = false;
}

QString AlgorithmBoxProc::boxAddr() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return box_addr_;
}

// The configurator talks to one box at a time, the one it chose from the heartbeats: only that
// box's replies are answers to its commands. Anyone else on the network could otherwise answer
// in the box's name (and, as the destination followed the last sender, take the commands over).
bool AlgorithmBoxProc::fromBox(uint32_t source_be) const
{
    const QByteArray addr = boxAddr().toLatin1();
    uint32_t box = 0;
    return ipv4_from_canonical_text(addr.constData(), &box) && box == source_be;
}

int AlgorithmBoxProc::parseBoxMsg(int length, const uint8_t *data, char *text)
{
    text[0] = '\0';
    if (data == nullptr || length < 16 || data[0] != 'L' || data[1] != 'H')
        return -1;
    if (rd_u16(data + 2) != kTextReply)
        return -1;
    // A length field claiming more than the datagram carries, or more than the buffer holds,
    // is cut: the text is whatever both allow.
    size_t n = rd_u16(data + 6);
    const size_t carried = size_t(length) - LH_CRC_HEADER;
    if (n > carried)
        n = carried;
    if (n > kTextBufferSize - 1)
        n = kTextBufferSize - 1;
    std::memcpy(text, data + LH_CRC_HEADER, n);
    text[n] = '\0';
    for (const ReplyClass &c : kReplyClasses)
        if (std::strncmp(text, c.prefix, 6) == 0)
            return c.type;
    return -1;
}

void AlgorithmBoxProc::run()
{
    const QByteArray bind_ip = bindAddress().toLocal8Bit();
    const int sock = udp_open(kBoxPort, true, bind_ip.constData());
    if (sock == INVALID_SOCK) {
        emit sig_BoxMSG(boxAddr(), kSocketFailure, tr("open BOXPORT failed!"));
        udp_close(sock, true);
        return;
    }
    timeval rcv{};
    rcv.tv_usec = 1000;
    setsockopt(sock, SOL_SOCKET, SO_RCVTIMEO, &rcv, sizeof(rcv));
    {
        std::lock_guard<std::mutex> lock(sock_mutex_);
        sock_ = sock;
    }

    std::vector<uint8_t> buffer(kReceiveBufferSize);
    char text[kTextBufferSize];
    while (running_) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(sock, &readable);
        timeval tv{};
        tv.tv_sec = 1;
        const int ready = ::select(sock + 1, &readable, nullptr, nullptr, &tv);
        if (ready < 0) {
            // Never spin on a failing select: a short pause, and the running flag decides.
            if (errno != EINTR)
                QThread::msleep(10);
            continue;
        }
        if (ready > 0 && FD_ISSET(sock, &readable)) {
            std::memset(text, 0, sizeof(text));
            sockaddr_in from{};
            socklen_t from_len = sizeof(from);
            const ssize_t n = ::recvfrom(sock, buffer.data(), buffer.size(), 0,
                                         reinterpret_cast<sockaddr *>(&from), &from_len);
            if (n >= 0 && from_len >= sizeof(from) && from.sin_family == AF_INET
                && fromBox(from.sin_addr.s_addr)) {
                char addr[INET_ADDRSTRLEN] = {0};
                ipv4_to_text(from.sin_addr.s_addr, addr, sizeof(addr));
                if (n > 0) {
                    const int type = parseBoxMsg(int(n), buffer.data(), text);
                    if (type >= 1 && type <= 11)
                        emit sig_BoxMSG(QString::fromLatin1(addr), type, QString::fromLocal8Bit(text));
                }
            }
        }
        if (upgradePending())
            runUpgrade();
    }

    QV_TRACE() << "thread end";
    std::lock_guard<std::mutex> lock(sock_mutex_);
    udp_close(sock_, true);
    sock_ = INVALID_SOCK;
}

void AlgorithmBoxProc::runUpgrade()
{
    QString ip;
    int port;
    QString path;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ip = upgrade_addr_;
        port = box_port_;
        path = firmware_path_;
    }
    QV_TRACE() << ip << port << path;
    const bool ok = fw_upgrade_box(0, ip.toLocal8Bit().constData(), port,
                                   path.toLocal8Bit().constData());
    emit sig_BoxMSG(ip, kFirmwareResult, ok ? tr("firmware upgrade OK!") : tr("firmware upgrade NG!"));
    std::lock_guard<std::mutex> lock(mutex_);
    upgrade_pending_ = false;
}
