// Every form at its own size, in each language with the program's font, its fields filled with
// the widest values they are meant to hold: no text may be wider than the room its widget
// gives it. A failure names the form, the widget, the text and both widths. Each form is also
// saved as a picture (fit-<language>-<form>-<tab>.png in the build folder) for a look by eye.

#include "component_logoperate.h"
#include "dialog_alldata.h"
#include "dialog_config.h"
#include "dialog_connect.h"
#include "dialog_debug.h"
#include "dialog_detect_raxo.h"
#include "dialog_fix_point_detect.h"
#include "dialog_objecttrack.h"
#include "dialog_parsedata.h"
#include "dialog_question.h"
#include "dialog_software_info.h"
#include "dialog_traindata.h"
#include "dialog_voxelfilter.h"
#include "multiselectcombobox.h"
#include "page_admin.h"
#include "page_box.h"
#include "page_box_v0.h"
#include "page_drawzone.h"
#include "page_hoby_u.h"
#include "page_raxo_e.h"
#include "page_vimo_e.h"
#include "userpointdata.h"

#include "modalrecorder.h"
#include "pagetest.h"
#include "testsupport.h"
#include "widgettexts.h"

#include <gtest/gtest.h>

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QTabWidget>
#include <QToolButton>

#include <functional>
#include <memory>

namespace {

struct Form {
    const char *name;
    std::function<QWidget *()> make;
};

// The widest text each field is meant to hold, by object name; a field not listed keeps what
// the form or the page put there. Addresses and ports take their widest forms everywhere.
struct Widest {
    const char *form; // nullptr: every form
    const char *field;
    const char *text;
};

const Widest kWidest[] = {
    // Raxo page: distances in mm, energies, thresholds, filter settings, height, identity.
    {"page_raxo_e", "le_distance_filter_min", "100"},
    {"page_raxo_e", "le_distance_filter_max", "20000"},
    {"page_raxo_e", "le_intensity_distance_filter_min", "100"},
    {"page_raxo_e", "le_intensity_filter_min", "255"},
    {"page_raxo_e", "le_time_area_filter", "100"},
    {"page_raxo_e", "le_indoor_first_threshold", "400"},
    {"page_raxo_e", "le_indoor_second_threshold", "400"},
    {"page_raxo_e", "le_outdoor_first_threshold", "400"},
    {"page_raxo_e", "le_outdoor_second_threshold", "400"},
    {"page_raxo_e", "le_offset_distance", "50"},
    {"page_raxo_e", "le_cir", "10"},
    {"page_raxo_e", "le_fir", "100"},
    {"page_raxo_e", "le_frame_min_num", "10"},
    {"page_raxo_e", "le_obj_min_num", "100"},
    {"page_raxo_e", "le_height", "12345.6"},
    {"page_raxo_e", "le_id", "4294967295"},
    {"page_raxo_e", "le_sn", "SN0123456789"},
    // Algorithm-box parameters: counts 0 to 9, sizes 1 to 9999 mm.
    {"page_box_v0", "le_cir", "9"},
    {"page_box_v0", "le_fir", "9"},
    {"page_box_v0", "le_length", "9999"},
    {"page_box_v0", "le_width", "9999"},
    {"page_box_v0", "le_height", "9999"},
    {"page_box_v0", "le_similar_distance_factor", "99"},
    {"page_box_v0", "le_min_poiny_num", "99"},
    {"page_box_v0", "le_lidar_height", "12.35"}, // metres
    // Fenk-U and Vimo-E pages.
    {nullptr, "le_showtime", "99"},
    {nullptr, "le_pwm", "99"},
    {nullptr, "le_pwm_2", "99"},
};

// The object classes a site trains, as the Raxo page's class selectors list them.
const char *const kClasses[] = {"person", "forklift"};

QString widestFor(const char *form, const QLineEdit *e)
{
    const QString name = e->objectName();
    for (const Widest &w : kWidest)
        if ((w.form == nullptr || qstrcmp(w.form, form) == 0) && name == QLatin1String(w.field))
            return w.text;
    if (name.startsWith("txtIP"))
        return "255"; // one octet of an address field
    if (name.contains("ip") || name.contains("mask") || name.contains("gateway"))
        return "255.255.255.255";
    if (name.contains("port"))
        return "65535";
    return e->text();
}

QString plain(QString text)
{
    text.remove(QRegularExpression("&(?=[^&])"));
    return text;
}

// The room a line edit's text has: the contents rectangle less the frame, the text margins and
// the two pixels Qt keeps on each side.
int lineEditRoom(const QLineEdit *e)
{
    QStyleOptionFrame opt;
    opt.initFrom(e);
    opt.rect = e->contentsRect();
    opt.lineWidth = e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e) : 0;
    opt.midLineWidth = 0;
    opt.state |= QStyle::State_Sunken;
    const QRect r = e->style()->subElementRect(QStyle::SE_LineEditContents, &opt, e);
    const QMargins m = e->textMargins();
    return r.width() - m.left() - m.right() - 4;
}

// Height of the ink of a text (of a digit where the text is empty): where a widget is lower than
// this, the text is cut, not just tight.
int ink(const QFontMetrics &fm, const QString &text)
{
    return fm.tightBoundingRect(text.isEmpty() ? QString("0") : text.section('\n', 0, 0)).height();
}

int lineEditHeight(const QLineEdit *e)
{
    QStyleOptionFrame opt;
    opt.initFrom(e);
    opt.rect = e->contentsRect();
    opt.lineWidth = e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e) : 0;
    return e->style()->subElementRect(QStyle::SE_LineEditContents, &opt, e).height();
}

class FormFit : public ::testing::TestWithParam<const char *> {
protected:
    void SetUp() override
    {
        pagetest::load_settings();
        language_ = GetParam();
        translation_ = std::make_unique<testsupport::ScopedTranslation>(language_);
        ASSERT_TRUE(translation_->loaded());
        // The program's font: Arial (Liberation Sans), 8 pt in English, 10 pt otherwise.
        QApplication::setFont(QFont("Arial", language_ == "English" ? 8 : 10));
    }

    void fill(const char *formName, QWidget *form)
    {
        // Values the analysis panel shows: coordinates in metres with six significant digits,
        // intensities up to 255.
        if (qstrcmp(formName, "dialog_parsedata") == 0) {
            const QRegularExpression coordinate("^lb_(min|max|diff|ave|sd)[xyz]2?$");
            const QRegularExpression intensity("^lb_(min|max|diff|ave|sd)conf2?$");
            for (QLabel *l : form->findChildren<QLabel *>()) {
                if (coordinate.match(l->objectName()).hasMatch())
                    l->setText("-123.456");
                else if (intensity.match(l->objectName()).hasMatch())
                    l->setText(l->objectName().startsWith("lb_sd") ? "127.498" : "255");
            }
        }
        // The class selectors with every class of a site's model file ticked: the widest text
        // their faces show.
        for (MultiSelectComboBox *c : form->findChildren<MultiSelectComboBox *>()) {
            c->clearItems();
            for (const char *name : kClasses)
                c->addItem(name, QVariant(), true);
        }
        for (QLineEdit *e : form->findChildren<QLineEdit *>()) {
            if (qobject_cast<QAbstractSpinBox *>(e->parentWidget()) != nullptr
                || qobject_cast<QComboBox *>(e->parentWidget()) != nullptr)
                continue;
            const QString t = widestFor(formName, e);
            if (!t.isEmpty())
                e->setText(t);
        }
    }

    // Every text of the widgets shown now that is wider than its room.
    void check(const QString &formName, QWidget *form, QStringList &found)
    {
        const auto report = [&](const QWidget *w, const QString &text, int need, int room) {
            if (need <= room)
                return;
            found << QString("%1 %2 \"%3\": needs %4 px, has %5 px")
                         .arg(formName, w->objectName(), text)
                         .arg(need)
                         .arg(room);
        };
        const auto reportHeight = [&](const QWidget *w, const QString &text, int need, int room) {
            if (need <= room)
                return;
            found << QString("%1 %2 \"%3\": needs %4 px of height, has %5 px")
                         .arg(formName, w->objectName(), text)
                         .arg(need)
                         .arg(room);
        };
        for (QWidget *w : form->findChildren<QWidget *>()) {
            if (!w->isVisibleTo(form) || !w->isVisible() || w->width() <= 0)
                continue;
            const QFontMetrics fm = w->fontMetrics();
            if (auto *l = qobject_cast<QLabel *>(w)) {
                if (l->wordWrap() || l->text().isEmpty() || l->textFormat() == Qt::RichText
                    || Qt::mightBeRichText(l->text()))
                    continue;
                const int room = l->contentsRect().width() - 2 * l->margin()
                                 - (l->indent() > 0 ? l->indent() : 0);
                const QStringList lines = plain(l->text()).split('\n');
                for (const QString &line : lines)
                    report(l, line, fm.horizontalAdvance(line), room);
                reportHeight(l, l->text(), ink(fm, l->text()) * lines.size(), l->contentsRect().height());
            } else if (auto *e = qobject_cast<QLineEdit *>(w)) {
                if (e->echoMode() != QLineEdit::Normal)
                    continue;
                const QString text = e->text().isEmpty() ? e->placeholderText() : e->text();
                report(e, text, fm.horizontalAdvance(text), lineEditRoom(e));
                reportHeight(e, text, ink(fm, text), lineEditHeight(e));
            } else if (auto *c = qobject_cast<QComboBox *>(w)) {
                QStyleOptionComboBox opt;
                opt.initFrom(c);
                opt.editable = c->isEditable();
                opt.frame = c->hasFrame();
                const QRect field = c->style()->subControlRect(QStyle::CC_ComboBox, &opt,
                                                               QStyle::SC_ComboBoxEditField, c);
                // Qt draws the current row's text in the edit field, less a small margin.
                for (int i = 0; i < c->count(); ++i)
                    report(c, c->itemText(i), fm.horizontalAdvance(c->itemText(i)), field.width() - 4);
            } else if (auto *b = qobject_cast<QPushButton *>(w)) {
                if (b->text().isEmpty())
                    continue;
                QStyleOptionButton opt;
                opt.initFrom(b);
                opt.features = b->isFlat() ? QStyleOptionButton::Flat : QStyleOptionButton::None;
                const QRect r = b->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, b);
                const int iconRoom = b->icon().isNull() ? 0 : b->iconSize().width() + 4;
                report(b, plain(b->text()), fm.horizontalAdvance(plain(b->text())),
                       r.width() - iconRoom - 2);
                reportHeight(b, plain(b->text()), ink(fm, b->text()), r.height());
            } else if (qobject_cast<QCheckBox *>(w) != nullptr || qobject_cast<QRadioButton *>(w) != nullptr) {
                auto *box = static_cast<QAbstractButton *>(w);
                if (box->text().isEmpty())
                    continue;
                QStyleOptionButton opt;
                opt.initFrom(box);
                const QStyle::SubElement contents = qobject_cast<QCheckBox *>(w) != nullptr
                                                        ? QStyle::SE_CheckBoxContents
                                                        : QStyle::SE_RadioButtonContents;
                const QRect r = box->style()->subElementRect(contents, &opt, box);
                report(box, plain(box->text()), fm.horizontalAdvance(plain(box->text())), r.width());
            } else if (auto *g = qobject_cast<QGroupBox *>(w)) {
                if (g->title().isEmpty())
                    continue;
                // The title sits on the frame, indented by the style; a checkable box adds its
                // indicator.
                const int need = fm.horizontalAdvance(plain(g->title())) + (g->isCheckable() ? 20 : 0);
                report(g, plain(g->title()), need, g->width() - 12);
            }
        }
    }

    // Shows the form at its own size, and then as small as its layout lets it become (the main
    // window gives its pages no more than that when it starts at its own size), each tab in
    // turn, and checks what shows.
    QStringList look(const Form &f)
    {
        std::unique_ptr<QWidget> form(f.make());
        fill(f.name, form.get());
        const QSize own = form->size();
        form->show();
        QStringList found;
        for (const char *size : {"own", "least"}) {
            form->resize(QString(size) == "own" ? own : form->minimumSizeHint().expandedTo(QSize(1, 1)));
            QApplication::processEvents();
            const QString where = QString("%1 (%2 size %3x%4)")
                                      .arg(f.name, size)
                                      .arg(form->width())
                                      .arg(form->height());
            QList<QTabWidget *> tabs = form->findChildren<QTabWidget *>();
            int shot = 0;
            const auto snap = [&]() {
                QApplication::processEvents();
                form->grab().save(QString("%1/fit-%2-%3-%4-%5.png")
                                      .arg(QString::fromStdString(testsupport::binary_dir()), language_, f.name,
                                           size)
                                      .arg(shot++));
                check(where, form.get(), found);
            };
            for (QTabWidget *t : tabs)
                t->setCurrentIndex(0);
            snap();
            for (QTabWidget *t : tabs) {
                for (int i = 1; i < t->count(); ++i) {
                    if (!t->isTabEnabled(i))
                        continue;
                    t->setCurrentIndex(i);
                    snap();
                }
                t->setCurrentIndex(0);
            }
        }
        found.removeDuplicates();
        return found;
    }

    QString language_;
    std::unique_ptr<testsupport::ScopedTranslation> translation_;
};

const Form kForms[] = {
    {"page_raxo_e", [] {
         auto *p = new Page_Raxo_E;
         p->setLidarType(2); // every tab reachable, the IO groups shown
         return p;
     }},
    {"page_hoby_u", [] { return new Page_Hoby_U; }},
    {"page_vimo_e", [] { return new Page_Vimo_E; }},
    {"page_admin", [] { return new Page_Admin; }},
    {"page_box_v0", [] { return new Page_Box_V0; }},
    {"page_box", [] { return new Page_Box; }},
    {"page_drawzone", [] { return new Page_DrawZone; }},
    {"dialog_alldata", [] { return new Dialog_AllData; }},
    {"dialog_config", [] { return new Dialog_Config; }},
    {"dialog_connect", [] { return new Dialog_Connect; }},
    {"dialog_debug", [] { return new Dialog_Debug; }},
    {"dialog_detect_raxo", [] { return new Dialog_Detect_Raxo; }},
    {"dialog_fix_point_detect", [] { return new Dialog_Fix_Point_Detect; }},
    {"dialog_objecttrack", [] { return new Dialog_ObjectTrack; }},
    {"dialog_parsedata", [] { return new Dialog_ParseData; }},
    {"dialog_software_info", [] { return new Dialog_Software_Info; }},
    {"dialog_voxelfilter", [] { return new Dialog_VoxelFilter; }},
    {"dialog_traindata", [] { return new Dialog_TrainData; }},
    {"component_logoperate", [] { return new Component_LogOperate; }},
    {"dialog_question", [] {
         QStringList labels;
         for (int t = LIDAR_FENK_U; t <= LIDAR_ALG_BOX; ++t)
             labels << lidar_type_name(t);
         return new Dialog_Question(QCoreApplication::translate("MainWindow", "lidar model select"), labels);
     }},
};

} // namespace

TEST_P(FormFit, EveryTextFitsItsWidget)
{
    testsupport::ModalRecorder modal;
    for (const Form &f : kForms) {
        SCOPED_TRACE(f.name);
        const QStringList found = look(f);
        EXPECT_TRUE(found.isEmpty()) << found.join("\n").toStdString();
    }
}

// A window's title says what it is: none is left at the designer's "Dialog" or "Form".
TEST_P(FormFit, EveryWindowHasATitleOfItsOwn)
{
    testsupport::ModalRecorder modal;
    const QStringList generic = {"Dialog", "对话框", "Form", "窗体", "表单", "Vitamin Filtration Parameters",
                                 "Page_Raxo_E", "Page_Hoby_U", "Page_Vimo_E"};
    QStringList titles;
    for (const Form &f : kForms) {
        std::unique_ptr<QWidget> form(f.make());
        const QString title = form->windowTitle();
        EXPECT_FALSE(title.isEmpty()) << f.name;
        EXPECT_FALSE(generic.contains(title)) << f.name << ": " << title.toStdString();
        if (language_ == "English")
            EXPECT_FALSE(testsupport::has_cjk(title)) << f.name << ": " << title.toStdString();
        else
            EXPECT_TRUE(testsupport::has_cjk(title)) << f.name << ": " << title.toStdString();
        titles << title;
    }
    const int all = titles.size();
    titles.removeDuplicates();
    EXPECT_EQ(titles.size(), all) << "two windows share a title";
}

INSTANTIATE_TEST_SUITE_P(Languages, FormFit, ::testing::Values("English", "Chinese"));
