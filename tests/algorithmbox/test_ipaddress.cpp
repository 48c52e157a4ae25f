// The four-field address entry typed into with real key events, in a window with a field before
// and after it so that the focus moves can be seen.

#include "ipaddress.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

namespace {

class AddressEntry : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<QWidget>();
        auto *layout = new QVBoxLayout(window.get());
        before = new QLineEdit(window.get());
        before->setObjectName("before");
        entry = new IPAddress(window.get());
        after = new QLineEdit(window.get());
        after->setObjectName("after");
        layout->addWidget(before);
        layout->addWidget(entry);
        layout->addWidget(after);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        // Xvfb has no window manager to activate the window; Qt is told directly.
        QApplication::setActiveWindow(window.get());
        ASSERT_EQ(QApplication::activeWindow(), window.get());
        for (int i = 0; i < 4; ++i)
            field[i] = entry->findChild<QLineEdit *>(QString("txtIP%1").arg(i + 1));
    }

    // Types into whichever widget has the focus, one key at a time, as a user does.
    void type(const char *keys)
    {
        for (const char *k = keys; *k != '\0'; ++k)
            QTest::keyClick(QApplication::focusWidget(), *k);
    }
    void backspace() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace); }
    QString focused() const
    {
        QWidget *w = QApplication::focusWidget();
        return w != nullptr ? w->objectName() : QString();
    }
    QStringList texts() const
    {
        QStringList t;
        for (QLineEdit *f : field)
            t << f->text();
        return t;
    }

    std::unique_ptr<QWidget> window;
    QLineEdit *before = nullptr;
    QLineEdit *after = nullptr;
    IPAddress *entry = nullptr;
    QLineEdit *field[4] = {};
};

} // namespace

TEST_F(AddressEntry, BuiltAsFourFieldsWithDotsInAFrame)
{
    auto *frame = entry->findChild<QFrame *>("frameIP");
    ASSERT_NE(frame, nullptr);
    QStringList row;
    for (int i = 0; i < frame->layout()->count(); ++i) {
        QWidget *w = frame->layout()->itemAt(i)->widget();
        auto *label = qobject_cast<QLabel *>(w);
        row << (label != nullptr ? label->text() : w->objectName());
    }
    EXPECT_EQ(row, QStringList({"txtIP1", ".", "txtIP2", ".", "txtIP3", ".", "txtIP4"}));
    EXPECT_EQ(entry->sizeHint(), QSize(250, 20));
    EXPECT_EQ(entry->minimumSizeHint(), QSize(30, 10));
    EXPECT_EQ(entry->getIP(), "");
    EXPECT_EQ(entry->property("ip").toString(), "");
    // The style setters only keep their values; nothing is drawn from them.
    const QString sheet = entry->styleSheet();
    entry->setBgColor("#000000");
    entry->setBorderColor("#111111");
    entry->setBorderRadius(4);
    EXPECT_EQ(entry->styleSheet(), sheet);
}

TEST_F(AddressEntry, TypingLimitsOctetsAndMovesOnAfterAFullOne)
{
    struct Case {
        const char *keys;
        const char *kept;  // what txtIP1 holds afterwards
        const char *focus; // where the focus is afterwards
    };
    const Case cases[] = {
        {"192", "192", "txtIP2"},
        {"25", "25", "txtIP1"},
        {"256", "25", "txtIP1"},  // the 6 is refused
        {"012", "01", "txtIP1"},  // a leading zero cannot start a three-digit octet
        {"255", "255", "txtIP2"},
        {"99", "99", "txtIP1"},
        {"a7", "7", "txtIP1"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.keys);
        field[0]->clear();
        field[0]->setFocus();
        type(c.keys);
        EXPECT_EQ(field[0]->text(), c.kept);
        EXPECT_EQ(focused(), c.focus);
    }
}

TEST_F(AddressEntry, DotMovesOnAndBackspaceMovesBack)
{
    field[0]->setFocus();
    type("10.");
    EXPECT_EQ(focused(), "txtIP2");
    EXPECT_EQ(field[0]->text(), "10") << "the dot itself is not taken";
    EXPECT_EQ(entry->getIP(), "10...");
    type("0.0.7");
    EXPECT_EQ(texts(), QStringList({"10", "0", "0", "7"}));
    EXPECT_EQ(entry->getIP(), "10.0.0.7");
    type(".");
    EXPECT_EQ(focused(), "after") << "a dot in the last field leaves the entry";

    // Backspace on one character empties the field and goes back; on an empty one only goes back.
    field[3]->setFocus();
    backspace();
    EXPECT_EQ(field[3]->text(), "");
    EXPECT_EQ(focused(), "txtIP3");
    field[3]->setFocus();
    backspace();
    EXPECT_EQ(focused(), "txtIP3");
    EXPECT_EQ(field[2]->text(), "0");
    // Two characters: one is deleted and the focus stays.
    field[0]->setFocus();
    backspace();
    EXPECT_EQ(field[0]->text(), "1");
    EXPECT_EQ(focused(), "txtIP1");
    backspace();
    EXPECT_EQ(field[0]->text(), "");
    EXPECT_EQ(focused(), "before");
    EXPECT_EQ(entry->getIP(), ".0.0.");
}

TEST_F(AddressEntry, SetValueTakesWholeAddressesOnly)
{
    field[0]->setFocus();
    for (const char *bad : {"192.168.1.300", "abc", "1.2.3", "1.2.3.4.5", " 1.2.3.4", ""}) {
        SCOPED_TRACE(bad);
        entry->setValue(bad);
        EXPECT_EQ(entry->getIP(), "");
        EXPECT_EQ(texts(), QStringList({"", "", "", ""}));
    }
    EXPECT_EQ(focused(), "txtIP1");

    entry->setValue("192.168.1.10");
    EXPECT_EQ(texts(), QStringList({"192", "168", "1", "10"}));
    EXPECT_EQ(entry->getIP(), "192.168.1.10");
    EXPECT_EQ(focused(), "txtIP3") << "192 and 168 each move the focus on once";

    // The same address again changes nothing, not even the focus.
    field[0]->setFocus();
    entry->setProperty("ip", "192.168.1.10");
    EXPECT_EQ(focused(), "txtIP1");

    entry->setValue("001.002.003.004");
    EXPECT_EQ(texts(), QStringList({"001", "002", "003", "004"}));
    EXPECT_EQ(entry->property("ip").toString(), "001.002.003.004");
}

TEST_F(AddressEntry, ClearEmptiesTheFieldsAndFocusesTheFirst)
{
    entry->setValue("10.1.2.3");
    after->setFocus();
    entry->clear();
    EXPECT_EQ(texts(), QStringList({"", "", "", ""}));
    EXPECT_EQ(entry->getIP(), "...");
    EXPECT_EQ(focused(), "txtIP1");

    // On four empty fields nothing changes but the focus.
    IPAddress fresh(window.get());
    window->layout()->addWidget(&fresh);
    after->setFocus();
    fresh.clear();
    EXPECT_EQ(fresh.getIP(), "");
    EXPECT_EQ(QApplication::focusWidget(), fresh.findChild<QLineEdit *>("txtIP1"));
}
