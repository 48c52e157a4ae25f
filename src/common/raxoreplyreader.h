#pragma once
// Reads the Raxo sensors' command replies (raxoprotocol.h) into what they say. A reply too short
// for what its type carries says nothing.

#include <QByteArray>
#include <QObject>

#include <cstdint>

class RaxoReplyReader : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void read(const QByteArray &reply);

signals:
    void calibrated();                   // 0x8000: the IMU zero position was taken
    void parameters(QByteArray body);    // 0x8001: RaxoLidarParam
    void setResult(uint32_t result);     // 0x8002: 0 accepted
    void runState(uint8_t state);        // 0x8005
    void algorithm(QByteArray body);     // 0x8006: RaxoAlgParam
    void networkErrors(uint32_t stamp, uint32_t count); // 0x8008
};
