// Fixed-point templates saved, listed, applied and deleted through the analysis panel and the
// template editor, against the settings file on disk.

#include "analysistesthelpers.h"
#include "dialog_fix_point_detect.h"
#include "dialog_parsedata.h"
#include "inisettings.h"
#include "modalrecorder.h"
#include "pagetest.h"
#include "settingsdocument.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

#include <cfloat>

using namespace analysistest;

namespace {

const char *const kLimitEdits[] = {"le_horizontail_min", "le_horizontail_max", "le_vertical_min",
                                   "le_vertical_max",    "le_minx",            "le_maxx",
                                   "le_miny",            "le_maxy",            "le_minz",
                                   "le_maxz"};

class Templates : public ::testing::Test {
protected:
    void SetUp() override
    {
        pagetest::load_settings();
        store("");
    }

    static void store(const QString &text)
    {
        IniSettings::instance()->set_value("Fix_Point_Detect", "data", text.toStdString(),
                                           kSettingsDoc);
    }

    // The "data" line of section [Fix_Point_Detect] as the file on disk holds it.
    static QString onDisk()
    {
        QFile f(QString::fromStdString(testsupport::temp_dir()) + kSettingsFile);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        bool inSection = false;
        for (const QString &line : QString::fromUtf8(f.readAll()).split('\n')) {
            const QString t = line.trimmed();
            if (t.startsWith('['))
                inSection = t == "[Fix_Point_Detect]";
            else if (inSection && t.startsWith("data"))
                return t.section('=', 1).trimmed();
        }
        return "<no data line>";
    }

    static QStringList listed(const Dialog_ParseData &panel)
    {
        const auto *cb = panel.findChild<QComboBox *>("cb_fix_point_detect");
        QStringList items;
        for (int i = 0; i < cb->count(); ++i)
            items << cb->itemText(i);
        return items;
    }

    static void save(Dialog_ParseData &panel, const QString &name,
                     const QStringList &limits = QStringList())
    {
        edit(&panel, "le_custom_name")->setText(name);
        for (int i = 0; i < 10; ++i)
            edit(&panel, kLimitEdits[i])->setText(i < limits.size() ? limits[i] : QString());
        panel.findChild<QPushButton *>("pb_save_param")->click();
    }

    static void apply(Dialog_ParseData &panel, int index)
    {
        panel.findChild<QComboBox *>("cb_fix_point_detect")->setCurrentIndex(index);
        panel.findChild<QPushButton *>("pb_sync_param")->click();
    }

    static QStringList row(const QStandardItemModel *m, int r)
    {
        QStringList cells;
        for (int c = 0; c < m->columnCount(); ++c)
            cells << (m->item(r, c) ? m->item(r, c)->text() : QString("<none>"));
        return cells;
    }

    static void clickRow(Dialog_Fix_Point_Detect &editor, int r)
    {
        auto *tv = editor.findChild<QTableView *>("tv_range");
        const QRect rect = tv->visualRect(tv->model()->index(r, 0));
        QTest::mouseClick(tv->viewport(), Qt::LeftButton, {}, rect.center());
    }

    testsupport::ModalRecorder modal;
};


} // namespace

TEST_F(Templates, SaveListAndApplyThroughThePanel)
{
    Dialog_ParseData panel;
    LimitCapture cap(panel);
    EXPECT_TRUE(listed(panel).isEmpty()); // not read at construction

    save(panel, "A");
    EXPECT_EQ(onDisk(), "A__________");
    save(panel, "B", {"-45", "45", "-10", "30", "1", "2", "-1", "1", "-0.5", "0.5"});
    EXPECT_EQ(onDisk(), "A__________|B_-45_45_-10_30_1_2_-1_1_-0.5_0.5");
    EXPECT_EQ(listed(panel), QStringList({"A", "B"}));
    EXPECT_TRUE(modal.warnings.empty());

    // Refusals store nothing.
    save(panel, "");
    save(panel, "B");
    save(panel, "C_1");
    save(panel, "D", {"1|2"});
    save(panel, "b"); // the repeat check is case-sensitive
    EXPECT_EQ(modal.warningLines(),
              QStringList({"error|Please input fix point custom name!",
                           "error|custom name is repeat",
                           "error|custom name and limits can not contain \"_\" or \"|\"!",
                           "error|custom name and limits can not contain \"_\" or \"|\"!"}));
    EXPECT_EQ(listed(panel), QStringList({"A", "B", "b"}));

    // Applying B fills the edits and sends the limits with the stored run state.
    for (const char *e : kLimitEdits)
        edit(&panel, e)->clear();
    panel.setIsRun(true);
    apply(panel, 1);
    ASSERT_EQ(cap.count, 1);
    EXPECT_TRUE(cap.isrun);
    EXPECT_TRUE(cap.last.enable);
    EXPECT_EQ(edit(&panel, "le_custom_name")->text(), "B");
    EXPECT_EQ(edit(&panel, "le_horizontail_min")->text(), "-45");
    EXPECT_EQ(edit(&panel, "le_maxz")->text(), "0.5");
    EXPECT_EQ(cap.last.horizontal_min, -45.0f);
    EXPECT_EQ(cap.last.vertical_max, 30.0f);
    EXPECT_EQ(cap.last.x.min, 1.0f);
    EXPECT_EQ(cap.last.z.max, 0.5f);

    // A's empty limits switch on an open box and angle window: every point is inside.
    apply(panel, 0);
    ASSERT_EQ(cap.count, 2);
    EXPECT_TRUE(cap.last.enable);
    EXPECT_EQ(cap.last.x.min, -FLT_MAX);
    EXPECT_TRUE(feature_points_inside(cap.last, -1e6f, 1e6f, 123));
}

TEST_F(Templates, HandEditedTextsWithEmptyOrOddRecords)
{
    const QString a = "A_-45_45_-10_30_1_2_-1_1_-0.5_0.5";
    const QString b = "B_0_90________";
    const QString odd = "X_1_2_3_4_5_6_7_8_9_10_11_12";
    store("|" + a + "||" + b + "|" + odd + "|");

    Dialog_ParseData panel;
    LimitCapture cap(panel);
    panel.read_ini();
    EXPECT_EQ(listed(panel), QStringList({"A", "B", "X"}));
    // The list and the records it picks stay together across the empty records.
    apply(panel, 1);
    ASSERT_EQ(cap.count, 1);
    EXPECT_EQ(edit(&panel, "le_custom_name")->text(), "B");
    EXPECT_EQ(cap.last.horizontal_max, 90.0f);
    // The odd record is listed but applies nothing.
    apply(panel, 2);
    EXPECT_EQ(cap.count, 1);
    EXPECT_EQ(edit(&panel, "le_custom_name")->text(), "B");

    {
        Dialog_Fix_Point_Detect editor;
        const QStandardItemModel *m = editor.model();
        ASSERT_EQ(m->rowCount(), 3);
        EXPECT_EQ(m->columnCount(), 13); // the odd record's extra fields get extra columns
        EXPECT_EQ(row(m, 0).mid(0, 11), a.split('_'));
        EXPECT_EQ(row(m, 0).mid(11), QStringList({"<none>", "<none>"}));
        EXPECT_EQ(row(m, 2), odd.split('_'));
        EXPECT_EQ(m->headerData(11, Qt::Horizontal).toString(), "12");
    }
    // Each row is stored with its own fields: A and B stay usable.
    EXPECT_EQ(onDisk(), a + "|" + b + "|" + odd);
    panel.read_ini();
    apply(panel, 0);
    ASSERT_EQ(cap.count, 2);
    EXPECT_EQ(cap.last.vertical_min, -10.0f);
}

TEST_F(Templates, EditorListsAndDeletes)
{
    Dialog_ParseData panel;
    save(panel, "one", {"1"});
    save(panel, "two", {"2"});
    save(panel, "three", {"3"});
    const QString three = "three_3_________";
    ASSERT_EQ(onDisk(), "one_1_________|two_2_________|" + three);

    {
        Dialog_Fix_Point_Detect editor;
        EXPECT_EQ(editor.windowTitle(), "fix point detect");
        EXPECT_EQ(editor.size(), QSize(960, 640));
        EXPECT_FALSE(editor.windowFlags() & Qt::WindowContextHelpButtonHint);
        const QStandardItemModel *m = editor.model();
        const QStringList headers = {"custom name ",       "horizontal min angle",
                                     "horizontal max angle", "vertical min angle",
                                     "vertical max angle", "x axis min",
                                     "x axis max",         "y axis min",
                                     "y axis max",         "z axis min",
                                     "z axis max"};
        for (int c = 0; c < 11; ++c)
            EXPECT_EQ(m->headerData(c, Qt::Horizontal).toString(), headers[c]);
        ASSERT_EQ(m->rowCount(), 3);
        EXPECT_EQ(row(m, 1)[0], "two");
        auto *tv = editor.findChild<QTableView *>("tv_range");
        EXPECT_EQ(tv->editTriggers(), QAbstractItemView::NoEditTriggers);
        EXPECT_EQ(tv->selectionBehavior(), QAbstractItemView::SelectRows);
        EXPECT_FALSE(tv->verticalHeader()->isVisible());

        editor.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
        EXPECT_FALSE(editor.findChild<QWidget *>("groupBox_3")->isVisible());

        // Without a chosen row nothing is deleted.
        editor.findChild<QPushButton *>("pb_delete")->click();
        EXPECT_EQ(modal.warningLines(), QStringList({"error|please choose one row delete"}));
        EXPECT_EQ(m->rowCount(), 3);

        // Two presses with row 0 chosen remove the first two templates.
        clickRow(editor, 0);
        EXPECT_EQ(editor.selectedRow(), 0);
        editor.findChild<QPushButton *>("pb_delete")->click();
        editor.findChild<QPushButton *>("pb_delete")->click();
        ASSERT_EQ(m->rowCount(), 1);
        EXPECT_EQ(row(m, 0)[0], "three");
        editor.findChild<QPushButton *>("pb_save")->click();
        EXPECT_EQ(editor.result(), QDialog::Accepted);
        // Nothing is stored before the editor goes.
        EXPECT_EQ(onDisk(), "one_1_________|two_2_________|" + three);
    }
    EXPECT_EQ(onDisk(), three);
    panel.read_ini();
    EXPECT_EQ(listed(panel), QStringList({"three"}));

    {
        // Deleting every row, closed with Escape: the store empties.
        Dialog_Fix_Point_Detect editor;
        editor.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
        clickRow(editor, 0);
        editor.findChild<QPushButton *>("pb_delete")->click();
        editor.findChild<QPushButton *>("pb_delete")->click(); // past the last row: nothing
        EXPECT_EQ(editor.model()->rowCount(), 0);
        QTest::keyClick(&editor, Qt::Key_Escape);
        EXPECT_EQ(editor.result(), QDialog::Rejected);
    }
    EXPECT_EQ(onDisk(), "");
    panel.read_ini();
    EXPECT_TRUE(listed(panel).isEmpty());
    // An empty list applies nothing.
    LimitCapture cap(panel);
    panel.findChild<QPushButton *>("pb_sync_param")->click();
    EXPECT_EQ(cap.count, 0);
}
