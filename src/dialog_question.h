#pragma once
// A choice among labels: one button per label in a row, and exec() returns the index of the
// button pressed (0 for the first), or -1 when the window is closed without a choice, so that
// the caller can tell a cancel from the first label.

#include <QDialog>
#include <QString>
#include <QStringList>

class QButtonGroup;
class QHBoxLayout;

class Dialog_Question : public QDialog {
    Q_OBJECT

public:
    explicit Dialog_Question(const QString &title, const QStringList &labels,
                             QWidget *parent = nullptr);

    // What exec() returns when no button was pressed.
    static constexpr int kNoChoice = -1;

    void reject() override;

private:
    QHBoxLayout *horizontalLayout_2 = nullptr;
    QButtonGroup *group_ = nullptr;
};
