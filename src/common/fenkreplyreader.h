#pragma once
// Reads the Fenk-U's command replies (fenkprotocol.h) into what they say. A reply too short for
// what its type carries says nothing.

#include <QByteArray>
#include <QObject>

#include <cstdint>

class FenkReplyReader : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void read(const QByteArray &reply);

signals:
    // The parameter reply (0x8007): its body, and the data-type mask it carries.
    void parameters(QByteArray body, uint16_t dataTypeMask);
    // A set result (0x8008): 0 accepted, anything else the sensor's refusal code.
    void setResult(uint32_t result);
};
