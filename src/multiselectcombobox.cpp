#include "multiselectcombobox.h"

#include "tracelog.h"

#include <QCheckBox>
#include <QCursor>
#include <QEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QListWidgetItem>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <algorithm>

namespace {

QCheckBox *box_of(QListWidget *list, int row)
{
    return qobject_cast<QCheckBox *>(list->itemWidget(list->item(row)));
}

} // namespace

MultiSelectComboBox::MultiSelectComboBox(QWidget *parent)
    : QComboBox(parent), list_(new QListWidget(this)), display_(new QLineEdit(this)),
      search_(new QLineEdit(this))
{
    auto *searchRow = new QListWidgetItem(list_);
    search_->setPlaceholderText(tr("Search........."));
    search_->setClearButtonEnabled(true);
    list_->setItemWidget(searchRow, search_);

    display_->setReadOnly(true);
    display_->installEventFilter(this);
    display_->setStyleSheet("QLineEdit:disabled{background:rgb(233,233,233);}");

    setModel(list_->model());
    setView(list_);
    setLineEdit(display_);

    connect(search_, SIGNAL(textChanged(const QString &)), this, SLOT(onSearch(const QString &)));
    connect(this, QOverload<int>::of(&QComboBox::activated), this, &MultiSelectComboBox::itemClicked);
}

void MultiSelectComboBox::addItem(const QString &_text, const QVariant &, bool _checked)
{
    auto *row = new QListWidgetItem(list_);
    auto *box = new QCheckBox(_text, this);
    box->setChecked(_checked);
    if (_checked) {
        const QString before = display_->text();
        showOnFace(before.isEmpty() ? _text : before + ";" + _text);
        QV_TRACE() << "MultiSelectComboBox::addItem" << before << display_->text();
    }
    list_->setItemWidget(row, box);
    // Connected after the initial state is set, so that state fires nothing.
    connect(box, &QCheckBox::stateChanged, this, &MultiSelectComboBox::stateChange);
}

QVector<int> MultiSelectComboBox::checkedIndexes() const
{
    QVector<int> out;
    for (int r = 1; r < list_->count(); ++r) {
        QCheckBox *box = box_of(list_, r);
        if (box != nullptr && box->isChecked())
            out.append(r - 1);
    }
    return out;
}

void MultiSelectComboBox::resetSelection()
{
    for (int r = 1; r < list_->count(); ++r) {
        if (QCheckBox *box = box_of(list_, r))
            box->setChecked(false);
    }
}

void MultiSelectComboBox::clearItems()
{
    showOnFace(QString());
    resetSelection();
    for (int r = list_->count() - 1; r >= 1; --r)
        delete list_->takeItem(r);
}

void MultiSelectComboBox::stateChange(int)
{
    QString text;
    for (int r = 1; r < list_->count(); ++r) {
        QCheckBox *box = box_of(list_, r);
        if (box != nullptr && box->isChecked()) {
            text += box->text() + ";";
            QV_TRACE() << "MultiSelectComboBox::stateChange" << text;
        }
    }
    text.chop(1);
    showOnFace(text);
    display_->setToolTip(text);
    emit selectionChange(text);
}

void MultiSelectComboBox::onSearch(QString _text)
{
    for (int r = 1; r < list_->count(); ++r) {
        QCheckBox *box = box_of(list_, r);
        const bool match = box != nullptr && box->text().contains(_text, Qt::CaseInsensitive);
        list_->item(r)->setHidden(!match);
    }
}

void MultiSelectComboBox::itemClicked(int _index)
{
    if (_index == 0)
        return; // the search row
    if (QCheckBox *box = box_of(list_, _index))
        box->setChecked(!box->isChecked());
}

bool MultiSelectComboBox::eventFilter(QObject *watched, QEvent *event)
{
    // A click on the closed combo's text opens the list.
    if (watched == display_ && event->type() == QEvent::MouseButtonRelease && isEnabled()) {
        showPopup();
        return true;
    }
    return false;
}

void MultiSelectComboBox::wheelEvent(QWheelEvent *)
{
    // The wheel never changes the selection.
}

void MultiSelectComboBox::keyPressEvent(QKeyEvent *event)
{
    QComboBox::keyPressEvent(event);
}

void MultiSelectComboBox::hidePopup()
{
    // Clicks in the band right below the closed combo (where the search row lies when the list
    // opens downwards) keep the list open, so typing a search does not close it.
    const QPoint at = mapFromGlobal(QCursor::pos());
    const int w = width();
    const int h = height();
    if (at.x() >= 0 && at.x() <= w && at.y() >= h && at.y() <= 2 * h)
        return;
    QComboBox::hidePopup();
}

void MultiSelectComboBox::showOnFace(const QString &text)
{
    if (text.isEmpty())
        display_->clear();
    else
        display_->setText(text);
    // A line edit scrolls to its cursor, which setText leaves at the end: a face too narrow
    // would show the end of the list and cut its first name.
    display_->setCursorPosition(0);
    updateGeometry();
}

QSize MultiSelectComboBox::roomForFace(QSize hint) const
{
    const QString shown = display_->text();
    if (shown.isEmpty())
        return hint;
    const QFontMetrics fm(display_->font());
    const int text = std::min(fm.horizontalAdvance(shown), fm.averageCharWidth() * kFaceChars);
    // The line edit keeps two pixels on each side of its text, and one for the cursor.
    const QMargins margins = display_->textMargins();
    const int wanted = text + margins.left() + margins.right() + 5;
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    opt.rect = QRect(QPoint(0, 0), hint);
    const int field = style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this).width();
    if (field < wanted)
        hint.rwidth() += wanted - field;
    return hint;
}

QSize MultiSelectComboBox::minimumSizeHint() const
{
    return roomForFace(QComboBox::minimumSizeHint());
}

QSize MultiSelectComboBox::sizeHint() const
{
    return roomForFace(QComboBox::sizeHint());
}
