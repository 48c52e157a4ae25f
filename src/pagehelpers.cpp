#include "pagehelpers.h"

#include "inisettings.h"
#include "lhframe.h"
#include "sockethelpers.h"

#include <QFileInfo>
#include <QTextEdit>

#include <cstdlib>
#include <vector>

void restore_upgrade_path(QTextEdit *box)
{
    IniSettings *ini = IniSettings::instance();
    const QString path =
        QString::fromStdString(ini->get_value("Standard", "upgrade_path", "", "main_ini"));
    if (!path.isEmpty() && QFileInfo::exists(path))
        box->setPlainText(path);
    else
        ini->set_value("Standard", "upgrade_path", "", "main_ini");
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
