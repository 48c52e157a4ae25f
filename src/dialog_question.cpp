#include "dialog_question.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPushButton>

Dialog_Question::Dialog_Question(const QString &title, const QStringList &labels, QWidget *parent)
    : QDialog(parent)
{
    if (objectName().isEmpty())
        setObjectName("Dialog_Question");
    resize(400, 85);
    horizontalLayout_2 = new QHBoxLayout(this);
    horizontalLayout_2->setObjectName("horizontalLayout_2");
    setWindowTitle(title);

    group_ = new QButtonGroup(this);
    for (int i = 0; i < labels.size(); ++i) {
        auto *button = new QPushButton(labels.at(i), this);
        group_->addButton(button, i);
        horizontalLayout_2->addWidget(button);
    }
    // The press itself decides, not the release.
    connect(group_, &QButtonGroup::idPressed, this, &QDialog::done);
}

void Dialog_Question::reject()
{
    done(kNoChoice);
}
