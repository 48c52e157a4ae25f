#include "textreplyreader.h"

#include "tracelog.h"
#include "vimoprotocol.h"

void TextReplyReader::read(const QByteArray &reply)
{
    const int end = reply.indexOf('\0');
    emit text(QString::fromLocal8Bit(end < 0 ? reply : reply.left(end)));
}

void TextReplyReader::readParameters(const QByteArray &record)
{
    if (size_t(record.size()) == VIMO_PARAM_SIZE)
        emit parameters(record);
}

bool TextReplyReader::mcuTemperature(const QString &text, float *celsius)
{
    const int at = text.indexOf("CPUTmp");
    if (at < 0)
        return false;
    const QString from = text.mid(at);
    QString value = from.mid(7);
    const int comma = value.indexOf(',');
    if (comma >= 0)
        value = value.left(comma);
    *celsius = value.toFloat() / 10.0f; // not a number: 0
    QV_TRACE_LIMITED() << from << from.size() << value;
    return true;
}
