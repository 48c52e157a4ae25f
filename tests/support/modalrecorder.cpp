#include "modalrecorder.h"

#include <QAction>
#include <QMenu>

namespace testsupport {

ModalRecorder::ModalRecorder()
{
    oldWarning_ = set_warning_handler(
        [this](QWidget *, const QString &title, const QString &text, QMessageBox::StandardButtons) {
            warnings.push_back({title, text});
            if (duringWarning)
                duringWarning();
            return warningAnswer;
        });
    oldChooser_ = set_chooser_handler([this](const ChooserRequest &r) {
        chooserRequests.push_back(r);
        if (chooserAnswers.empty())
            return QString();
        QString a = chooserAnswers.front();
        chooserAnswers.pop_front();
        return a;
    });
    oldColor_ = set_color_handler([this](const QColor &initial, QWidget *, const QString &) {
        colorRequests.push_back(initial);
        if (colorAnswers.empty())
            return QColor();
        QColor c = colorAnswers.front();
        colorAnswers.pop_front();
        return c;
    });
    oldDialog_ = set_dialog_handler([this](QDialog *d) {
        dialogTitles << d->windowTitle() + "|" + d->objectName();
        if (dialogAction)
            return dialogAction(d);
        return 0;
    });
    oldUrl_ = set_url_handler([this](const QUrl &u) {
        openedUrls.push_back(u);
        return true;
    });
    oldMenu_ = set_menu_handler([this](QMenu *menu, const QPoint &) -> QAction * {
        QStringList texts;
        for (QAction *a : menu->actions())
            texts << a->text();
        menus.push_back(texts);
        if (duringMenu)
            duringMenu();
        if (menuAnswers.empty())
            return nullptr;
        const QString answer = menuAnswers.front();
        menuAnswers.pop_front();
        for (QAction *a : menu->actions()) {
            if (!a->isSeparator() && a->text() == answer) {
                a->trigger();
                return a;
            }
        }
        return nullptr;
    });
}

ModalRecorder::~ModalRecorder()
{
    set_warning_handler(std::move(oldWarning_));
    set_chooser_handler(std::move(oldChooser_));
    set_color_handler(std::move(oldColor_));
    set_dialog_handler(std::move(oldDialog_));
    set_url_handler(std::move(oldUrl_));
    set_menu_handler(std::move(oldMenu_));
}

QStringList ModalRecorder::warningLines() const
{
    QStringList l;
    for (const auto &w : warnings)
        l << w.title + "|" + w.text;
    return l;
}

void ModalRecorder::clear()
{
    warnings.clear();
    chooserRequests.clear();
    colorRequests.clear();
    dialogTitles.clear();
    openedUrls.clear();
    menus.clear();
}

} // namespace testsupport
