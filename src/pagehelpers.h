#pragma once
// What the device pages share: the firmware file box, the check of a typed device address and
// the frame of a text command.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

class QTextEdit;

// Shows the firmware path last handed to an upgrade ("upgrade_path" of section "Standard") when
// that file still exists; otherwise clears the stored key, so a moved or deleted file is not
// offered again.
void restore_upgrade_path(QTextEdit *box);

// Where the firmware chooser starts: the folder of the file in the box (the one last chosen),
// or, with the box empty, of the file last handed to an upgrade; the home folder before either.
QString upgrade_chooser_start(const QTextEdit *box);

// A device address as typed: the IPv4 text (with mask and gateway when `with_mask`) and the port
// text, read as an unsigned decimal number (0 when it is not one). True when format_ip_config
// accepts them; `formatted` (64 characters) then holds its zero-padded text and `port` the port.
bool check_typed_address(bool with_mask, const QString &ip, const QString &mask,
                         const QString &gateway, const QString &port_text, char *formatted,
                         uint16_t *port);

// The four octets of a dotted address that check_typed_address has accepted, first octet first
// (each part's low 8 bits).
QByteArray address_octets(const QString &text);
// Four bytes of a parameter reply, first octet first, as "a.b.c.d".
QString address_text(const uint8_t *p);
// A version word of a parameter reply: its top 6 bits, the next 6 and the low 20, "%1 %2 %3".
QString version_text(uint32_t v);
// A text field of a parameter reply: up to its first zero byte, never past the field.
QString field_text(const uint8_t *p, size_t width);
// Little-endian bytes of a set body.
QByteArray le_u16_bytes(uint16_t v);
QByteArray le_u32_bytes(uint32_t v);

// One text-command LhCrcFrame: "LH", the pack type, a fresh rand() sequence, the length rounded
// up to 4, the len bytes at text zero-padded, the word CRC. Empty when the text does not fit one
// frame (more than 2036 bytes) or len is negative.
QByteArray text_command_frame(uint16_t pack, const char *text, int len);
