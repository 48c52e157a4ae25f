#pragma once
// Every modal warning of the program goes through here. Tests install a handler that records
// the title and text instead of blocking on a dialog.

#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

using WarningHandler = std::function<QMessageBox::StandardButton(
    QWidget *parent, const QString &title, const QString &text, QMessageBox::StandardButtons buttons)>;

// QMessageBox::warning, unless a handler is installed.
QMessageBox::StandardButton show_warning(QWidget *parent, const QString &title, const QString &text,
                                         QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// Installs `handler` (an empty one restores the real dialog); returns the previous one.
WarningHandler set_warning_handler(WarningHandler handler);
