#pragma once
// Reads the text replies of the Vimo-E sensor and the algorithm box (an LhCrcFrame's payload, as
// their receivers post it) into their text, and the Vimo-E's parameter record (vimoprotocol.h).

#include <QByteArray>
#include <QObject>
#include <QString>

class TextReplyReader : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // A text reply: its text up to the first zero byte, in the local 8-bit encoding.
    void read(const QByteArray &reply);
    // The Vimo-E's parameter reply: a record of VIMO_PARAM_SIZE bytes, or nothing.
    void readParameters(const QByteArray &record);

    // "CPUTmp", one separator, then the MCU temperature in tenths up to the next ","; 0 for a
    // value that is no number. False when the text holds no "CPUTmp".
    static bool mcuTemperature(const QString &text, float *celsius);

signals:
    void text(QString text);
    void parameters(QByteArray record);
};
