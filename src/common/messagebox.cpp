#include "messagebox.h"

namespace {
WarningHandler &handler()
{
    static WarningHandler h;
    return h;
}
} // namespace

QMessageBox::StandardButton show_warning(QWidget *parent, const QString &title, const QString &text,
                                         QMessageBox::StandardButtons buttons)
{
    if (handler())
        return handler()(parent, title, text, buttons);
    return QMessageBox::warning(parent, title, text, buttons);
}

WarningHandler set_warning_handler(WarningHandler h)
{
    WarningHandler old = std::move(handler());
    handler() = std::move(h);
    return old;
}
