#pragma once
// Every modal interaction of the program goes through here: warnings, the file, folder and
// colour choosers, running a modal dialog and opening a URL outside the program. Tests install
// handlers that record and answer them instead of blocking on a dialog.

#include <QColor>
#include <QFileDialog>
#include <QMessageBox>
#include <QString>
#include <QUrl>
#include <functional>

class QAction;
class QDialog;
class QMenu;
class QPoint;
class QWidget;

using WarningHandler = std::function<QMessageBox::StandardButton(
    QWidget *parent, const QString &title, const QString &text, QMessageBox::StandardButtons buttons)>;

// QMessageBox::warning, unless a handler is installed.
QMessageBox::StandardButton show_warning(QWidget *parent, const QString &title, const QString &text,
                                         QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// Installs `handler` (an empty one restores the real dialog); returns the previous one.
WarningHandler set_warning_handler(WarningHandler handler);

// A warning raised by what arrived from the network (a reply, a device's message). A modal box
// runs an event loop of its own, in which the next datagram is handled: a box per datagram
// nests without bound. So at most one such box is open at a time: while it is, the same
// warning again is only counted, and a different one waits its turn (once, however often it
// comes; up to 16 different ones, any further one goes to the warning log instead). When the
// box closes, the count of its repeats goes to the log in one entry, and the first warning
// waiting is shown from the event loop, after the caller has gone on. Otherwise as
// show_warning; a warning that waits returns NoButton.
QMessageBox::StandardButton show_network_warning(QWidget *parent, const QString &title,
                                                 const QString &text,
                                                 QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// Where the warnings that show_network_warning does not show go (the main window's message log);
// `repeats` is 0 for a warning turned away, else the number of times the warning came again
// while it waited or its box was open. Without a handler they go to the trace output, at the trace's pace.
using WarningLogHandler =
    std::function<void(const QString &title, const QString &text, int repeats)>;

WarningLogHandler set_warning_log_handler(WarningLogHandler handler);

// True while a box of show_network_warning is open.
bool network_warning_open();
// Network warnings waiting for their box.
int network_warnings_waiting();

// The file and folder choosers. An empty result means the user cancelled.
enum class ChooserKind { OpenFile, SaveFile, Directory };

struct ChooserRequest {
    ChooserKind kind;
    QWidget *parent;
    QString caption;
    QString dir;
    QString filter;               // empty for a folder
    QFileDialog::Options options;
};

using ChooserHandler = std::function<QString(const ChooserRequest &request)>;

// QFileDialog::getOpenFileName / getSaveFileName / getExistingDirectory, unless a handler is
// installed. The save chooser adds the chosen filter's extension to a name typed without one.
QString choose_open_file(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter, QFileDialog::Options options = {});
QString choose_save_file(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter, QFileDialog::Options options = {});
QString choose_directory(QWidget *parent, const QString &caption, const QString &dir,
                         QFileDialog::Options options = QFileDialog::ShowDirsOnly);

ChooserHandler set_chooser_handler(ChooserHandler handler);

// Where a file or folder chooser starts for a stored path (a folder, or a file whose folder is
// meant): that folder while it exists, otherwise the user's home folder. The program's own
// folder is never where a user looks for recordings or firmware.
QString chooser_start_folder(const QString &stored);

// QColorDialog::getColor (an invalid colour means cancelled), unless a handler is installed.
using ColorHandler =
    std::function<QColor(const QColor &initial, QWidget *parent, const QString &title)>;

QColor choose_color(const QColor &initial, QWidget *parent = nullptr,
                    const QString &title = QString());

ColorHandler set_color_handler(ColorHandler handler);

// Runs a modal dialog: QDialog::exec, unless a handler is installed. The handler gets the
// dialog (built, not yet shown) and returns what exec would have: it may drive the dialog's
// widgets and return dialog->result(), or show it and run a local loop itself.
using DialogHandler = std::function<int(QDialog *dialog)>;

int run_dialog(QDialog *dialog);

DialogHandler set_dialog_handler(DialogHandler handler);

// QDesktopServices::openUrl, unless a handler is installed.
using UrlHandler = std::function<bool(const QUrl &url)>;

bool open_url(const QUrl &url);

UrlHandler set_url_handler(UrlHandler handler);

// Runs a pop-up menu at `pos` (QMenu::exec), unless a handler is installed. Returns the action
// chosen, or null. A handler that chooses an action triggers it, as the menu would.
using MenuHandler = std::function<QAction *(QMenu *menu, const QPoint &pos)>;

QAction *run_menu(QMenu *menu, const QPoint &pos);

MenuHandler set_menu_handler(MenuHandler handler);
