#include "messagebox.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QDialog>
#include <QMenu>
#include <QPointer>

#include <deque>

#include "tracelog.h"

namespace {
template <typename Handler> Handler &slot()
{
    static Handler h;
    return h;
}

template <typename Handler> Handler swap_in(Handler h)
{
    Handler old = std::move(slot<Handler>());
    slot<Handler>() = std::move(h);
    return old;
}

// The suffix a filter such as "PCL data (*.pcd)" names, or empty for "*.*" and "*".
QString filter_suffix(const QString &filter)
{
    const int star = filter.indexOf(QLatin1String("*."));
    if (star < 0)
        return QString();
    int end = star + 2;
    while (end < filter.size() && (filter[end].isLetterOrNumber() || filter[end] == QLatin1Char('_')))
        ++end;
    return filter.mid(star + 2, end - star - 2);
}

// A save chooser whose typed name without an extension gets the one of the filter the user
// has chosen. The dialog adds it before it checks for an existing file, so the question about
// replacing a file is asked about the name that is really written.
QString choose_save_with_suffix(const ChooserRequest &r)
{
    QFileDialog dialog(r.parent, r.caption, r.dir, r.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOptions(r.options);
    const auto follow = [&dialog](const QString &filter) { dialog.setDefaultSuffix(filter_suffix(filter)); };
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, follow);
    follow(dialog.selectedNameFilter());
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

QString choose(const ChooserRequest &r)
{
    if (slot<ChooserHandler>())
        return slot<ChooserHandler>()(r);
    switch (r.kind) {
    case ChooserKind::OpenFile:
        return QFileDialog::getOpenFileName(r.parent, r.caption, r.dir, r.filter, nullptr, r.options);
    case ChooserKind::SaveFile:
        return choose_save_with_suffix(r);
    case ChooserKind::Directory:
        return QFileDialog::getExistingDirectory(r.parent, r.caption, r.dir, r.options);
    }
    return QString();
}
} // namespace

QMessageBox::StandardButton show_warning(QWidget *parent, const QString &title, const QString &text,
                                         QMessageBox::StandardButtons buttons)
{
    if (slot<WarningHandler>())
        return slot<WarningHandler>()(parent, title, text, buttons);
    return QMessageBox::warning(parent, title, text, buttons);
}

WarningHandler set_warning_handler(WarningHandler h) { return swap_in(std::move(h)); }

namespace {

struct NetworkWarning {
    QPointer<QWidget> parent; // null again when that window goes: the box then stands alone
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
    int repeats = 0; // came again while waiting or shown

    bool same(const QString &t, const QString &x) const { return title == t && text == x; }
};

// The box of show_network_warning that is open and the warnings waiting for it to close
// (GUI thread only).
struct NetworkWarnings {
    bool open = false;
    NetworkWarning shown;
    std::deque<NetworkWarning> waiting;
};

NetworkWarnings &network_warnings()
{
    static NetworkWarnings w;
    return w;
}

// Different warnings that wait at most; a sender that keeps inventing texts gets the rest said
// in the log instead.
constexpr size_t kNetworkWarningsWaiting = 16;

void log_warning(const QString &title, const QString &text, int repeats)
{
    if (slot<WarningLogHandler>()) {
        slot<WarningLogHandler>()(title, text, repeats);
        return;
    }
    QV_TRACE_LIMITED() << title << text << repeats;
}

void show_next_network_warning();

// Shows one warning in its box; when the box closes, says how often it came meanwhile and has
// the next waiting one shown once the caller has gone on.
QMessageBox::StandardButton show_network_box(NetworkWarning warning)
{
    NetworkWarnings &w = network_warnings();
    w.open = true;
    w.shown = std::move(warning);
    const QMessageBox::StandardButton answer =
        show_warning(w.shown.parent, w.shown.title, w.shown.text, w.shown.buttons);
    const NetworkWarning closed = std::move(w.shown);
    w.shown = NetworkWarning();
    w.open = false;
    if (closed.repeats > 0)
        log_warning(closed.title, closed.text, closed.repeats);
    if (!w.waiting.empty()) {
        if (QCoreApplication::instance() != nullptr)
            QMetaObject::invokeMethod(QCoreApplication::instance(), &show_next_network_warning, Qt::QueuedConnection);
        else
            show_next_network_warning();
    }
    return answer;
}

void show_next_network_warning()
{
    NetworkWarnings &w = network_warnings();
    if (w.open || w.waiting.empty())
        return; // the box that is open calls again when it closes
    NetworkWarning next = std::move(w.waiting.front());
    w.waiting.pop_front();
    show_network_box(std::move(next));
}

} // namespace

QMessageBox::StandardButton show_network_warning(QWidget *parent, const QString &title,
                                                 const QString &text,
                                                 QMessageBox::StandardButtons buttons)
{
    NetworkWarnings &w = network_warnings();
    if (!w.open && w.waiting.empty())
        return show_network_box({parent, title, text, buttons, 0});
    if (w.open && w.shown.same(title, text)) {
        ++w.shown.repeats;
        return QMessageBox::NoButton;
    }
    for (NetworkWarning &waiting : w.waiting) {
        if (waiting.same(title, text)) {
            ++waiting.repeats;
            return QMessageBox::NoButton;
        }
    }
    if (w.waiting.size() >= kNetworkWarningsWaiting) {
        log_warning(title, text, 0);
        return QMessageBox::NoButton;
    }
    w.waiting.push_back({parent, title, text, buttons, 0});
    return QMessageBox::NoButton;
}

WarningLogHandler set_warning_log_handler(WarningLogHandler h) { return swap_in(std::move(h)); }

bool network_warning_open() { return network_warnings().open; }

int network_warnings_waiting() { return int(network_warnings().waiting.size()); }

QString choose_open_file(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter, QFileDialog::Options options)
{
    return choose({ChooserKind::OpenFile, parent, caption, dir, filter, options});
}

QString choose_save_file(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter, QFileDialog::Options options)
{
    return choose({ChooserKind::SaveFile, parent, caption, dir, filter, options});
}

QString choose_directory(QWidget *parent, const QString &caption, const QString &dir,
                         QFileDialog::Options options)
{
    return choose({ChooserKind::Directory, parent, caption, dir, QString(), options});
}

ChooserHandler set_chooser_handler(ChooserHandler h) { return swap_in(std::move(h)); }

QString chooser_start_folder(const QString &stored)
{
    // Choosers hand back absolute paths; anything else was not stored by them.
    if (!stored.isEmpty() && QFileInfo(stored).isAbsolute()) {
        const QFileInfo info(stored);
        const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
        if (QFileInfo(folder).isDir())
            return folder;
    }
    return QDir::homePath();
}

QColor choose_color(const QColor &initial, QWidget *parent, const QString &title)
{
    if (slot<ColorHandler>())
        return slot<ColorHandler>()(initial, parent, title);
    return QColorDialog::getColor(initial, parent, title);
}

ColorHandler set_color_handler(ColorHandler h) { return swap_in(std::move(h)); }

int run_dialog(QDialog *dialog)
{
    if (slot<DialogHandler>())
        return slot<DialogHandler>()(dialog);
    return dialog->exec();
}

DialogHandler set_dialog_handler(DialogHandler h) { return swap_in(std::move(h)); }

bool open_url(const QUrl &url)
{
    if (slot<UrlHandler>())
        return slot<UrlHandler>()(url);
    return QDesktopServices::openUrl(url);
}

UrlHandler set_url_handler(UrlHandler h) { return swap_in(std::move(h)); }

QAction *run_menu(QMenu *menu, const QPoint &pos)
{
    if (slot<MenuHandler>())
        return slot<MenuHandler>()(menu, pos);
    return menu->exec(pos);
}

MenuHandler set_menu_handler(MenuHandler h) { return swap_in(std::move(h)); }
