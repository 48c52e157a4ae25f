// Qt's own choosers as the program opens them (no handler installed: the real dialogs), in each
// language: a Chinese window's file, folder and colour choosers speak Chinese too, and a name
// typed into the save chooser without an extension gets the one of the filter chosen.

#include "messagebox.h"
#include "programentry.h"
#include "testsupport.h"
#include "widgettexts.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <functional>

namespace {

// Runs `act` on the modal dialog as soon as it is up; `act` closes it.
void whenModal(std::function<void(QDialog *)> act)
{
    auto *poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act]() {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        act(dialog);
    });
    poll->start(10);
}

// Texts a user reads on the dialog, without the entries of the folder shown and the object
// names the helper puts in front.
QStringList dialogTexts(QDialog *dialog)
{
    QStringList out;
    for (const QString &t : testsupport::visible_texts(dialog)) {
        const int colon = t.indexOf(": ");
        out << (colon >= 0 ? t.mid(colon + 2) : t);
    }
    return out;
}

class QtDialogs : public ::testing::TestWithParam<const char *> {
protected:
    void SetUp() override
    {
        english_ = QString(GetParam()) == "English";
        ours_ = std::make_unique<testsupport::ScopedTranslation>(GetParam());
        ASSERT_TRUE(ours_->loaded());
        const bool loaded = loadQtTranslation(GetParam(), qt_);
        EXPECT_EQ(loaded, !english_) << "English needs no catalogue; Chinese must find Qt's";
    }
    void TearDown() override { QCoreApplication::removeTranslator(&qt_); }

    // The English texts of Qt's dialogs that must not be left in a Chinese window.
    void expectLanguage(const QStringList &texts, const QStringList &english)
    {
        for (const QString &e : english) {
            if (english_)
                EXPECT_TRUE(texts.contains(e)) << e.toStdString() << " in " << texts.join(" | ").toStdString();
            else
                EXPECT_FALSE(texts.contains(e)) << e.toStdString() << " in " << texts.join(" | ").toStdString();
        }
        if (!english_)
            EXPECT_FALSE(testsupport::cjk_texts(texts).isEmpty());
    }

    bool english_ = true;
    std::unique_ptr<testsupport::ScopedTranslation> ours_;
    QTranslator qt_;
};

} // namespace

TEST_P(QtDialogs, FileAndFolderChoosersSpeakTheLanguage)
{
    const QString dir = QString::fromStdString(testsupport::make_temp_subdir("choose"));
    QStringList texts;
    whenModal([&texts](QDialog *d) {
        texts = dialogTexts(d);
        d->reject();
    });
    EXPECT_TRUE(choose_open_file(nullptr, "Open File", dir, "LAS data (*.las)").isEmpty());
    expectLanguage(texts, {"Look in:", "File &name:", "Files of type:", "&Open", "Cancel"});

    whenModal([&texts](QDialog *d) {
        texts = dialogTexts(d);
        d->reject();
    });
    EXPECT_TRUE(choose_directory(nullptr, "Open Directory", dir).isEmpty());
    expectLanguage(texts, {"Look in:", "Directory:", "&Choose", "Cancel"});
}

TEST_P(QtDialogs, ColourChooserSpeaksTheLanguage)
{
    QStringList texts;
    whenModal([&texts](QDialog *d) {
        texts = dialogTexts(d);
        d->reject();
    });
    EXPECT_FALSE(choose_color(Qt::red).isValid());
    expectLanguage(texts, {"&Pick Screen Color", "&Basic colors", "OK", "Cancel"});
}

TEST_P(QtDialogs, SaveChooserAddsTheChosenFiltersExtension)
{
    const QString dir = QString::fromStdString(testsupport::make_temp_subdir("save"));
    struct Case {
        const char *typed;
        int filter; // index in "(*.pcd);;(*.las)"
        const char *saved;
    };
    const Case cases[] = {
        {"cloud", 0, "cloud.pcd"},
        {"cloud", 1, "cloud.las"},
        {"cloud.las", 0, "cloud.las"},
        {"cloud.txt", 1, "cloud.txt"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.typed) + " " + std::to_string(c.filter));
        QString started;
        whenModal([&c, &started](QDialog *d) {
            auto *name = d->findChild<QLineEdit *>("fileNameEdit");
            auto *types = d->findChild<QComboBox *>("fileTypeCombo");
            if (name == nullptr || types == nullptr) {
                ADD_FAILURE() << "not Qt's own file dialog";
                d->reject();
                return;
            }
            started = name->text();
            // As a user does: the type chosen from the list, then the name typed.
            for (int i = types->currentIndex(); i < c.filter; ++i)
                QTest::keyClick(types, Qt::Key_Down);
            name->setText(c.typed);
            d->accept();
        });
        const QString got = choose_save_file(nullptr, "save file", dir + "/20261211_044500.pcd", "(*.pcd);;(*.las)");
        EXPECT_EQ(started, "20261211_044500.pcd") << "the proposed name is in the name field";
        EXPECT_EQ(got, dir + "/" + c.saved);
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, QtDialogs, ::testing::Values("English", "Chinese"));
