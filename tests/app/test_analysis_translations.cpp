// The analysis panel, the template editor and the debug view in each language: an English
// system reads no Chinese caption, a Chinese one no English word of the code's texts.

#include "dialog_debug.h"
#include "dialog_fix_point_detect.h"
#include "dialog_parsedata.h"
#include "pagetest.h"
#include "widgettexts.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

namespace {

class Languages : public ::testing::TestWithParam<const char *> {};

} // namespace

TEST_P(Languages, EveryTextInTheSystemLanguage)
{
    pagetest::load_settings();
    const bool english = QString(GetParam()) == "English";
    testsupport::ScopedTranslation translation(GetParam());
    ASSERT_TRUE(translation.loaded());

    Dialog_ParseData panel;
    Dialog_Fix_Point_Detect editor;
    Dialog_Debug debug;
    // A lower-case word of two letters or more, other than the "xxx" of an empty value label.
    const QRegularExpression word("\\b(?!xxx\\b)[a-z]{2,}\\b");
    for (const QWidget *w : {static_cast<QWidget *>(&panel), static_cast<QWidget *>(&editor),
                             static_cast<QWidget *>(&debug)}) {
        const QStringList texts = testsupport::visible_texts(w);
        if (english) {
            EXPECT_TRUE(testsupport::cjk_texts(texts).isEmpty())
                << testsupport::cjk_texts(texts).join("\n").toStdString();
        } else {
            for (const QString &t : texts) {
                const QString text = t.section(": ", 1);
                EXPECT_TRUE(testsupport::has_cjk(text) || !text.contains(word)) << t.toStdString();
            }
        }
    }
    EXPECT_EQ(panel.windowTitle(), english ? "Data Analysis" : "数据分析");
    EXPECT_EQ(editor.windowTitle(), english ? "fix point detect" : "定点检测");
}

INSTANTIATE_TEST_SUITE_P(Analysis, Languages, ::testing::Values("English", "Chinese"));
