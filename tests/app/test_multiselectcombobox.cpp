// The multi-select combo box as a user drives it: entries ticked through the list, the text its
// closed face shows, the search row, and the wheel and clicks that must not change it.

#include "multiselectcombobox.h"

#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

struct Combo {
    Combo()
    {
        combo.resize(200, 26);
        combo.move(100, 100);
    }
    QListWidget *list() { return qobject_cast<QListWidget *>(combo.view()); }
    QLineEdit *display() { return combo.lineEdit(); }
    QLineEdit *search() { return qobject_cast<QLineEdit *>(list()->itemWidget(list()->item(0))); }
    QCheckBox *entry(int index) { return qobject_cast<QCheckBox *>(list()->itemWidget(list()->item(index + 1))); }
    QStringList emitted(const QSignalSpy &spy)
    {
        QStringList out;
        for (const auto &args : spy)
            out << args.at(0).toString();
        return out;
    }
    MultiSelectComboBox combo;
};

} // namespace

TEST(MultiSelectComboBox, StartsWithTheSearchRowAndAReadOnlyFace)
{
    Combo c;
    ASSERT_NE(c.list(), nullptr);
    EXPECT_EQ(c.combo.count(), 1);
    ASSERT_NE(c.search(), nullptr);
    EXPECT_EQ(c.search()->placeholderText(), "Search.........");
    EXPECT_TRUE(c.search()->isClearButtonEnabled());
    EXPECT_TRUE(c.display()->isReadOnly());
    EXPECT_EQ(c.display()->styleSheet(), "QLineEdit:disabled{background:rgb(233,233,233);}");
    EXPECT_TRUE(c.combo.checkedIndexes().isEmpty());
}

TEST(MultiSelectComboBox, FaceListsTheTickedEntries)
{
    Combo c;
    QSignalSpy changes(&c.combo, &MultiSelectComboBox::selectionChange);
    c.combo.addItem("car", QVariant(), true);
    c.combo.addItem("person", QVariant(42), false);
    c.combo.addItem("bike", QVariant(), true);
    // Entries that start ticked are appended to the text; nothing fires and no tooltip is set.
    EXPECT_EQ(c.display()->text(), "car;bike");
    EXPECT_EQ(c.display()->toolTip(), "");
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(c.combo.checkedIndexes(), (QVector<int>{0, 2}));
    EXPECT_EQ(c.combo.count(), 4);
    EXPECT_FALSE(c.combo.itemData(2).isValid()) << "user data is not kept";

    // Choosing a row in the list toggles its box; the first change rebuilds text and tooltip.
    c.combo.itemClicked(2);
    EXPECT_EQ(c.display()->text(), "car;person;bike");
    EXPECT_EQ(c.display()->toolTip(), "car;person;bike");
    EXPECT_EQ(c.combo.checkedIndexes(), (QVector<int>{0, 1, 2}));
    c.combo.itemClicked(0); // the search row
    EXPECT_EQ(c.combo.checkedIndexes(), (QVector<int>{0, 1, 2}));

    // The list's own activation reaches the same toggle.
    emit c.combo.activated(1);
    EXPECT_EQ(c.combo.checkedIndexes(), (QVector<int>{1, 2}));

    // Unticking the last ticked entry empties the face and emits an empty text.
    c.entry(1)->setChecked(false);
    c.entry(2)->setChecked(false);
    EXPECT_EQ(c.display()->text(), "");
    EXPECT_EQ(c.display()->toolTip(), "");
    EXPECT_EQ(c.emitted(changes), (QStringList{"car;person;bike", "person;bike", "bike", ""}));
}

// The face asks the layout for room to show what is ticked, up to a limit; a text longer than
// the face shows its start, whether ticked from the start or by the user.
TEST(MultiSelectComboBox, FaceMakesRoomForTheTickedNamesAndShowsTheirStart)
{
    Combo c;
    const auto fieldAt = [&c](int width) {
        QStyleOptionComboBox opt;
        opt.initFrom(&c.combo);
        opt.editable = true;
        opt.rect = QRect(0, 0, width, c.combo.height());
        return c.combo.style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, &c.combo).width();
    };
    const QFontMetrics fm(c.display()->font());
    const int bare = c.combo.minimumSizeHint().width();
    c.combo.addItem("person", QVariant(), true);
    c.combo.addItem("forklift", QVariant(), true);
    ASSERT_EQ(c.display()->text(), "person;forklift");
    EXPECT_GT(c.combo.minimumSizeHint().width(), bare);
    // Qt keeps two pixels of the edit field on each side of the text.
    EXPECT_GE(fieldAt(c.combo.minimumSizeHint().width()) - 4, fm.horizontalAdvance("person;forklift"));
    EXPECT_GE(c.combo.sizeHint().width(), c.combo.minimumSizeHint().width());

    // However many names are ticked, the face asks no more than its limit.
    const int two = c.combo.minimumSizeHint().width();
    for (const char *name : {"pallet_truck", "bicycle", "cart", "agv_robot"})
        c.combo.addItem(name, QVariant(), true);
    const int limit = c.combo.minimumSizeHint().width();
    EXPECT_GE(limit, two);
    c.combo.addItem("one_more_class_with_a_long_name", QVariant(), true);
    EXPECT_EQ(c.combo.minimumSizeHint().width(), limit);
    EXPECT_LE(fieldAt(limit) - 4, fm.averageCharWidth() * MultiSelectComboBox::kFaceChars + 6);

    // Too long for the face: its start shows.
    c.combo.resize(limit, c.combo.height());
    c.combo.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&c.combo));
    EXPECT_EQ(c.display()->cursorPosition(), 0);
    c.entry(1)->setChecked(false);
    EXPECT_EQ(c.display()->text(), "person;pallet_truck;bicycle;cart;agv_robot;one_more_class_with_a_long_name");
    EXPECT_EQ(c.display()->cursorPosition(), 0);
    EXPECT_EQ(c.display()->toolTip(), c.display()->text());
    // The text is scrolled to its start: the cursor before its first letter sits at the left.
    EXPECT_GE(c.display()->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x(), 0);
    EXPECT_LT(c.display()->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x(), 10);

    // Nothing ticked: the face asks what a bare combo does.
    c.combo.clearItems();
    EXPECT_EQ(c.combo.minimumSizeHint().width(), bare);
}

TEST(MultiSelectComboBox, ResetAndClearUntickEachBoxThenDropTheRows)
{
    Combo c;
    c.combo.addItem("a", QVariant(), true);
    c.combo.addItem("b", QVariant(), false);
    c.combo.addItem("c", QVariant(), true);
    QSignalSpy changes(&c.combo, &MultiSelectComboBox::selectionChange);
    c.combo.clearItems();
    EXPECT_EQ(c.emitted(changes), (QStringList{"c", ""}));
    EXPECT_EQ(c.combo.count(), 1);
    EXPECT_EQ(c.display()->text(), "");
    EXPECT_NE(c.search(), nullptr) << "the search row stays";

    // Entries added after a clear start a new face.
    c.combo.addItem("d", QVariant(), true);
    EXPECT_EQ(c.display()->text(), "d");
    changes.clear();
    c.combo.resetSelection();
    EXPECT_EQ(c.emitted(changes), (QStringList{""}));
    EXPECT_EQ(c.combo.count(), 2);
    c.combo.resetSelection(); // nothing left to change
    EXPECT_EQ(changes.count(), 1);
}

TEST(MultiSelectComboBox, SearchIgnoresCaseAndAnEmptyTextShowsAll)
{
    Combo c;
    for (const char *name : {"truck", "person", "Forklift"})
        c.combo.addItem(name);
    QTest::keyClicks(c.search(), "RK");
    EXPECT_FALSE(c.list()->item(0)->isHidden());
    EXPECT_TRUE(c.list()->item(1)->isHidden());
    EXPECT_TRUE(c.list()->item(2)->isHidden());
    EXPECT_FALSE(c.list()->item(3)->isHidden());
    c.search()->setText("TRUCK");
    EXPECT_FALSE(c.list()->item(1)->isHidden());
    EXPECT_TRUE(c.list()->item(3)->isHidden());
    // Rows added later are shown whatever the filter says.
    c.combo.addItem("van");
    EXPECT_FALSE(c.list()->item(4)->isHidden());
    c.search()->clear();
    for (int r = 0; r < c.list()->count(); ++r)
        EXPECT_FALSE(c.list()->item(r)->isHidden()) << r;
}

TEST(MultiSelectComboBox, WheelChangesNothing)
{
    Combo c;
    c.combo.addItem("a");
    c.combo.addItem("b", QVariant(), true);
    c.combo.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&c.combo));
    const int index = c.combo.currentIndex();
    for (int delta : {-120, 120, -120}) {
        QWheelEvent wheel(QPointF(10, 10), QPointF(c.combo.mapToGlobal(QPoint(10, 10))), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&c.combo, &wheel);
    }
    EXPECT_EQ(c.combo.currentIndex(), index);
    EXPECT_EQ(c.combo.checkedIndexes(), (QVector<int>{1}));
    EXPECT_EQ(c.display()->text(), "b");
}

TEST(MultiSelectComboBox, ClickOnTheFaceOpensTheListAndTheBandBelowKeepsItOpen)
{
    Combo c;
    c.combo.addItem("a");
    c.combo.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&c.combo));

    c.combo.setEnabled(false);
    QTest::mouseClick(c.display(), Qt::LeftButton);
    EXPECT_FALSE(c.list()->isVisible()) << "a disabled combo stays closed";
    c.combo.setEnabled(true);

    QTest::mouseClick(c.display(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return c.list()->isVisible(); }, 2000));

    const int w = c.combo.width(), h = c.combo.height();
    // Inside the band right below the closed combo: the list stays.
    QCursor::setPos(c.combo.mapToGlobal(QPoint(w / 2, h + h / 2)));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return c.combo.mapFromGlobal(QCursor::pos()) == QPoint(w / 2, h + h / 2); }, 2000));
    c.combo.hidePopup();
    EXPECT_TRUE(c.list()->isVisible());
    // Further down: it closes.
    QCursor::setPos(c.combo.mapToGlobal(QPoint(w / 2, 3 * h)));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return c.combo.mapFromGlobal(QCursor::pos()) == QPoint(w / 2, 3 * h); }, 2000));
    c.combo.hidePopup();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !c.list()->isVisible(); }, 2000));
}
