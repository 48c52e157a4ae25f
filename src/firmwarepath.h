#pragma once
// The firmware file box of the sensor pages.

class QTextEdit;

// Shows the firmware path last handed to an upgrade ("upgrade_path" of section "Standard") when
// that file still exists; otherwise clears the stored key, so a moved or deleted file is not
// offered again.
void restore_upgrade_path(QTextEdit *box);
