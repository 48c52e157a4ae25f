#pragma once
// Answers every modal interaction of the program during a test and records what was asked:
// warnings (title, text), file and folder choosers, colour choosers, dialogs run modally and
// URLs opened. Restores the previous handlers when it goes out of scope.

#include "messagebox.h"

#include <QColor>
#include <QDialog>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

namespace testsupport {

struct RecordedWarning {
    QString title;
    QString text;
};

class ModalRecorder {
public:
    ModalRecorder();
    ~ModalRecorder();
    ModalRecorder(const ModalRecorder &) = delete;
    ModalRecorder &operator=(const ModalRecorder &) = delete;

    // Warnings, in order.
    std::vector<RecordedWarning> warnings;
    // The button a warning returns.
    QMessageBox::StandardButton warningAnswer = QMessageBox::Ok;
    // Runs inside every warning, where the real box would run its own event loop (timers fire
    // there, so code that may be re-entered can be tested).
    std::function<void()> duringWarning;
    // "title|text" of every warning, for compact assertions.
    QStringList warningLines() const;
    void clear();

    // Chooser requests in order, answered from `chooserAnswers` (front first); an empty queue
    // answers "" (cancelled).
    std::vector<ChooserRequest> chooserRequests;
    std::deque<QString> chooserAnswers;

    // Colour requests; answered from `colorAnswers`, else an invalid colour (cancelled).
    std::vector<QColor> colorRequests;
    std::deque<QColor> colorAnswers;

    // Modal dialogs: each is passed to `dialogAction` (if set) and its return value is what
    // the dialog's exec returns; without an action the dialog is rejected (0). `dialogTitles`
    // holds each dialog's window title and object name as "title|objectName".
    std::function<int(QDialog *)> dialogAction;
    QStringList dialogTitles;

    // URLs opened outside the program.
    std::vector<QUrl> openedUrls;

    // Pop-up menus: the texts of each menu's actions, in order ("" for a separator). Each is
    // answered from `menuAnswers` (front first) by triggering the action of that text; an empty
    // queue or an unknown text closes the menu without a choice. `duringMenu` runs inside every
    // menu, before the answer.
    std::vector<QStringList> menus;
    std::deque<QString> menuAnswers;
    std::function<void()> duringMenu;

private:
    WarningHandler oldWarning_;
    ChooserHandler oldChooser_;
    ColorHandler oldColor_;
    DialogHandler oldDialog_;
    UrlHandler oldUrl_;
    MenuHandler oldMenu_;
};

} // namespace testsupport
