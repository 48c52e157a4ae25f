// The analysis panel, the template editor and the debug view in each language: an English
// system reads no Chinese caption, a Chinese one no English code text.

#include "dialog_debug.h"
#include "dialog_fix_point_detect.h"
#include "dialog_parsedata.h"
#include "inisettings.h"
#include "programentry.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QStandardItemModel>
#include <QTranslator>

#include <fstream>

namespace {

bool hasCjk(const QString &s)
{
    for (QChar c : s)
        if ((c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF) ||
            (c.unicode() >= 0x3000 && c.unicode() <= 0x303F))
            return true;
    return false;
}

// Title, captions, button and group texts, and the editor's header texts.
QStringList texts(const QWidget *w)
{
    QStringList out{w->windowTitle()};
    for (const QLabel *l : w->findChildren<QLabel *>())
        out << l->text();
    for (const QAbstractButton *b : w->findChildren<QAbstractButton *>())
        out << b->text();
    for (const QGroupBox *g : w->findChildren<QGroupBox *>())
        out << g->title();
    for (const QStandardItemModel *m : w->findChildren<QStandardItemModel *>())
        for (int c = 0; c < m->columnCount(); ++c)
            out << m->headerData(c, Qt::Horizontal).toString();
    return out;
}

class Languages : public ::testing::TestWithParam<const char *> {
protected:
    void SetUp() override
    {
        static const bool loaded = [] {
            const std::string dir = testsupport::temp_dir();
            std::ofstream(dir + kSettingsFile).flush();
            return IniSettings::instance()->load(dir, kSettingsFile, kSettingsDoc);
        }();
        ASSERT_TRUE(loaded);
        const QString qm = QString::fromStdString(testsupport::binary_dir()) +
                           "/translations/" + GetParam() + ".qm";
        ASSERT_TRUE(translator.load(qm)) << qm.toStdString();
        QApplication::installTranslator(&translator);
    }
    void TearDown() override { QApplication::removeTranslator(&translator); }

    QTranslator translator;
};

} // namespace

TEST_P(Languages, EveryTextInTheSystemLanguage)
{
    const bool english = QString(GetParam()) == "English";
    Dialog_ParseData panel;
    Dialog_Fix_Point_Detect editor;
    Dialog_Debug debug;
    for (const QWidget *w : {static_cast<QWidget *>(&panel), static_cast<QWidget *>(&editor),
                             static_cast<QWidget *>(&debug)}) {
        for (const QString &t : texts(w)) {
            if (english)
                EXPECT_FALSE(hasCjk(t)) << w->objectName().toStdString() << ": " << t.toStdString();
            else
                EXPECT_TRUE(t.isEmpty() || hasCjk(t) || !t.contains(QRegExp("[a-wyz]{2,}")))
                    << w->objectName().toStdString() << ": " << t.toStdString();
        }
    }
    EXPECT_EQ(panel.windowTitle(), english ? "Data Analysis" : "数据分析");
    EXPECT_EQ(editor.windowTitle(), english ? "fix point detect" : "定点检测");
}

INSTANTIATE_TEST_SUITE_P(Analysis, Languages, ::testing::Values("English", "Chinese"));
