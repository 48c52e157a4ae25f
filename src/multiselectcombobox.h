#pragma once
// A combo box whose drop-down is a column of check boxes under a search field, so that several
// entries can be picked at once. The closed face is a read-only line edit listing the checked
// entries joined by ";". Row 0 of the list is always the search row; entry i sits in row i + 1.

#include <QComboBox>
#include <QString>
#include <QVariant>
#include <QVector>

class QEvent;
class QKeyEvent;
class QLineEdit;
class QListWidget;
class QWheelEvent;

class MultiSelectComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit MultiSelectComboBox(QWidget *parent = nullptr);

    // Appends one entry; the user data is not kept.
    void addItem(const QString &_text, const QVariant &_variant = QVariant(), bool _checked = false);
    // Index (row - 1) of every checked entry, in row order.
    QVector<int> checkedIndexes() const;
    // Unchecks every entry; each box that changes fires stateChange.
    void resetSelection();
    // Removes every entry; the search row stays.
    void clearItems();

    // A click on the closed face opens the list.
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Keeps the list open while the cursor is in the band right below the closed combo.
    void hidePopup() override;

    // Wide enough for the face to show what is ticked, up to kFaceChars average characters (two
    // class names; the Raxo page sets four faces side by side in its 708 pixels); a longer text
    // shows its start (and, once a box has changed, the whole of it as the tooltip).
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;
    static constexpr int kFaceChars = 13;

protected:
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

signals:
    void selectionChange(QString _data);

public slots:
    void stateChange(int _row);
    void onSearch(QString _text);
    void itemClicked(int _index);

private:
    // Shows `text` on the face from its start, and has the layouts make room for it.
    void showOnFace(const QString &text);
    // `hint` widened until the face's edit field holds the text it shows (within the limit).
    QSize roomForFace(QSize hint) const;

    QListWidget *list_;
    QLineEdit *display_;
    QLineEdit *search_;
};
