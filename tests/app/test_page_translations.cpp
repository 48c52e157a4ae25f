// The pages in each language the program ships: with English.qm no visible text holds a Chinese
// character, with Chinese.qm the captions are Chinese. Each tab is also saved as a picture in the
// build folder (pages-<language>-<page>-<tab>.png) for a look by eye.

#include "page_admin.h"
#include "page_box_v0.h"
#include "page_hoby_u.h"
#include "page_raxo_e.h"
#include "page_vimo_e.h"

#include "pagetest.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>
#include <QTranslator>

#include <memory>

namespace {

bool has_cjk(const QString &s)
{
    for (QChar c : s)
        if (c.unicode() >= 0x2E80 && c.unicode() <= 0x9FFF)
            return true;
    return false;
}

// Every text a user reads on the page, with where it stands.
QStringList visible_texts(QWidget *page)
{
    QStringList out;
    out << "title:" + page->windowTitle();
    for (QLabel *l : page->findChildren<QLabel *>())
        out << l->objectName() + ":" + l->text();
    for (QAbstractButton *b : page->findChildren<QAbstractButton *>())
        out << b->objectName() + ":" + b->text();
    for (QGroupBox *g : page->findChildren<QGroupBox *>())
        out << g->objectName() + ":" + g->title();
    for (QTabWidget *t : page->findChildren<QTabWidget *>())
        for (int i = 0; i < t->count(); ++i)
            out << t->widget(i)->objectName() + ":" + t->tabText(i);
    return out;
}

class Translated : public ::testing::TestWithParam<const char *> {
protected:
    void SetUp() override
    {
        pagetest::load_settings();
        language_ = GetParam();
        translator_ = std::make_unique<QTranslator>();
        const QString qm = QString("%1/translations/%2.qm")
                               .arg(QString::fromStdString(testsupport::binary_dir()), language_);
        ASSERT_TRUE(translator_->load(qm)) << qm.toStdString();
        QApplication::installTranslator(translator_.get());
        QApplication::setFont(QFont("Arial", language_ == "English" ? 8 : 10));
    }
    void TearDown() override { QApplication::removeTranslator(translator_.get()); }

    // Shows each tab in turn and saves it; returns the page's texts.
    QStringList look_at(QWidget *page, const QString &name)
    {
        page->show();
        auto *tabs = page->findChild<QTabWidget *>("tabWidget");
        const int n = tabs != nullptr ? tabs->count() : 1;
        for (int i = 0; i < n; ++i) {
            if (tabs != nullptr)
                tabs->setCurrentIndex(i);
            QApplication::processEvents();
            page->grab().save(QString("%1/pages-%2-%3-%4.png")
                                  .arg(QString::fromStdString(testsupport::binary_dir()), language_,
                                       name)
                                  .arg(i));
        }
        return visible_texts(page);
    }

    QString language_;
    std::unique_ptr<QTranslator> translator_;
};

} // namespace

TEST_P(Translated, EveryCaptionIsInTheLanguage)
{
    Page_Hoby_U fenk;
    Page_Vimo_E vimo;
    Page_Admin admin;
    Page_Box_V0 box;
    const std::vector<std::pair<QString, QStringList>> pages = {
        {"fenku", look_at(&fenk, "fenku")},
        {"vimo", look_at(&vimo, "vimo")},
        {"admin", look_at(&admin, "admin")},
        {"box", look_at(&box, "box")},
    };
    for (const auto &p : pages) {
        for (const QString &t : p.second) {
            const QString text = t.section(':', 1);
            if (language_ == "English") {
                EXPECT_FALSE(has_cjk(text)) << p.first.toStdString() << " " << t.toStdString();
            }
        }
    }
    if (language_ == "Chinese") {
        EXPECT_TRUE(pages[0].second.contains("tab_2:基本信息"));
        EXPECT_TRUE(pages[1].second.contains("pb_start:开始旋转"));
        EXPECT_TRUE(pages[2].second.contains("pb_send:发送"));
        EXPECT_TRUE(pages[3].second.contains("pb_setstaticframe:对比帧标定"));
        EXPECT_TRUE(pages[3].second.contains("groupBox_alarminfo:具体报警信息"));
    } else {
        EXPECT_TRUE(pages[0].second.contains("tab_2:Basic info"));
        EXPECT_TRUE(pages[1].second.contains("pb_start:Start rotating"));
        EXPECT_TRUE(pages[2].second.contains("pb_send:Send"));
        EXPECT_TRUE(pages[3].second.contains("pb_setstaticframe:Calibrate ref. frame"));
        EXPECT_TRUE(pages[3].second.contains("groupBox_alarminfo:Alarm details"));
    }
}

TEST_P(Translated, NotesReadInTheLanguageAlone)
{
    // The notes are what the log shows after a reply; the window matches replies by the code
    // that was sent, so a note carries no English words for it to find.
    const QString notes[] = {
        Page_Hoby_U::tr("data type"),          Page_Hoby_U::tr("lidar ip mask gateway port"),
        Page_Hoby_U::tr("lidar upload ip port"), Page_Raxo_E::tr("lidar ip mask gateway port"),
        Page_Raxo_E::tr("distance filter"),    Page_Raxo_E::tr("get algorithm parameters"),
        Page_Raxo_E::tr("start"),
    };
    for (const QString &note : notes) {
        if (language_ == "Chinese") {
            EXPECT_TRUE(has_cjk(note)) << note.toStdString();
            EXPECT_FALSE(note.contains(QRegularExpression("[a-z]"))) << note.toStdString();
        } else {
            EXPECT_FALSE(has_cjk(note)) << note.toStdString();
        }
    }
}

TEST_P(Translated, RaxoPageInTheLanguage)
{
    Page_Raxo_E raxo;
    raxo.setLidarType(2); // every tab reachable, the IO groups shown
    QStringList texts = look_at(&raxo, "raxo");
    for (QComboBox *c : raxo.findChildren<QComboBox *>())
        for (int i = 0; i < c->count(); ++i)
            texts << c->objectName() + ":" + c->itemText(i);
    for (QLineEdit *e : raxo.findChildren<QLineEdit *>())
        if (!e->placeholderText().isEmpty())
            texts << e->objectName() + ":" + e->placeholderText();
    if (language_ == "English") {
        for (const QString &t : texts)
            EXPECT_FALSE(has_cjk(t.section(':', 1))) << t.toStdString();
        EXPECT_TRUE(texts.contains("pb_flush:Refresh"));
        EXPECT_TRUE(texts.contains("label_11:Mounting height (m)"));
        EXPECT_TRUE(texts.contains("pb_imu_gyro: Set"));
        EXPECT_TRUE(texts.contains("cb_pointdata_packet:Single echo, thinned (360X75)"));
        EXPECT_TRUE(texts.contains("le_time_area_filter:0 means off"));
        EXPECT_EQ(Page_Raxo_E::tr("compare frame "), "compare frame ");
    } else {
        EXPECT_TRUE(texts.contains("pb_flush:刷新"));
        EXPECT_TRUE(texts.contains("label_11:水平高度(m)"));
        EXPECT_TRUE(texts.contains("pb_imu_gyro: 设置"));
        EXPECT_TRUE(texts.contains("tab_zone:防区参数"));
        EXPECT_TRUE(has_cjk(Page_Raxo_E::tr("compare frame ")));
    }
    // The notes of the result lines never hold the words that make the main window query again.
    for (const char *note : {"pointdata upload", "dev status upload", "model bind 4 channel"})
        EXPECT_FALSE(Page_Raxo_E::tr(note).contains("data type")) << note;
}

INSTANTIATE_TEST_SUITE_P(Languages, Translated, ::testing::Values("English", "Chinese"));
