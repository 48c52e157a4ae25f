#include "pagehelpers.h"

#include "inisettings.h"
#include "lhframe.h"
#include "messagebox.h"
#include "settingsdocument.h"
#include "sockethelpers.h"

#include <QFileInfo>
#include <QStringList>
#include <QTextEdit>

#include <cstdlib>
#include <cstring>
#include <vector>

void restore_upgrade_path(QTextEdit *box)
{
    IniSettings *ini = IniSettings::instance();
    const QString path =
        QString::fromStdString(ini->get_value("Standard", "upgrade_path", "", kSettingsDoc));
    if (!path.isEmpty() && QFileInfo::exists(path))
        box->setPlainText(path);
    else
        ini->set_value("Standard", "upgrade_path", "", kSettingsDoc);
}

QString upgrade_chooser_start(const QTextEdit *box)
{
    const QString shown = box->toPlainText();
    return chooser_start_folder(!shown.isEmpty() ? shown
                                                 : QString::fromStdString(IniSettings::instance()->get_value(
                                                       "Standard", "upgrade_path", "", kSettingsDoc)));
}

bool check_typed_address(bool with_mask, const QString &ip, const QString &mask,
                         const QString &gateway, const QString &port_text, char *formatted,
                         uint16_t *port)
{
    const uint32_t p = port_text.toUInt(nullptr, 10);
    // Without the flag the mask and gateway are not looked at: single blanks stand for them.
    const QByteArray m = with_mask ? mask.toLocal8Bit() : QByteArray(" ");
    const QByteArray g = with_mask ? gateway.toLocal8Bit() : QByteArray(" ");
    if (p > 65535
        || !format_ip_config(with_mask, ip.toLocal8Bit().constData(), m.constData(), g.constData(),
                             int(p), formatted))
        return false;
    *port = uint16_t(p);
    return true;
}

QByteArray text_command_frame(uint16_t pack, const char *text, int len)
{
    if (len < 0)
        return QByteArray();
    const std::vector<uint8_t> f =
        lh_make_crc_frame(pack, static_cast<uint16_t>(std::rand() & 0x7FFF), text, size_t(len));
    return QByteArray(reinterpret_cast<const char *>(f.data()), int(f.size()));
}

QByteArray address_octets(const QString &text)
{
    QByteArray out(4, '\0');
    const QStringList parts = text.split('.');
    for (int i = 0; i < 4 && i < parts.size(); ++i)
        out[i] = char(parts[i].toUShort(nullptr, 10) & 0xFF);
    return out;
}

QString address_text(const uint8_t *p)
{
    return QString("%1.%2.%3.%4").arg(p[0]).arg(p[1]).arg(p[2]).arg(p[3]);
}

QString version_text(uint32_t v)
{
    return QString("%1 %2 %3").arg(v >> 26).arg((v >> 20) & 0x3F).arg(v & 0xFFFFF);
}

QString field_text(const uint8_t *p, size_t width)
{
    const void *zero = std::memchr(p, 0, width);
    const size_t n = zero != nullptr ? size_t(static_cast<const uint8_t *>(zero) - p) : width;
    return QString::fromLocal8Bit(reinterpret_cast<const char *>(p), int(n));
}

QByteArray le_u16_bytes(uint16_t v)
{
    QByteArray out(2, '\0');
    wr_u16(reinterpret_cast<uint8_t *>(out.data()), v);
    return out;
}

QByteArray le_u32_bytes(uint32_t v)
{
    QByteArray out(4, '\0');
    wr_u32(reinterpret_cast<uint8_t *>(out.data()), v);
    return out;
}
