// The factory test, the point table and the voxel-filter dialog in each language: an English
// system reads no Chinese caption or report line, a Chinese one no English word of the code.

#include "analysistesthelpers.h"
#include "dialog_alldata.h"
#include "dialog_detect_raxo.h"
#include "dialog_objecttrack.h"
#include "dialog_voxelfilter.h"
#include "modalrecorder.h"
#include "widgettexts.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTextBrowser>

using namespace analysistest;

namespace {

class Languages : public ::testing::TestWithParam<const char *> {
protected:
    bool english() const { return QString(GetParam()) == "English"; }

    void expectLanguage(const QStringList &texts) const
    {
        // A lower-case word of two letters or more, other than the "xxx" of an empty value label.
        static const QRegularExpression word("\\b(?!xxx\\b)[a-z]{2,}\\b");
        if (english()) {
            EXPECT_TRUE(testsupport::cjk_texts(texts).isEmpty())
                << testsupport::cjk_texts(texts).join("\n").toStdString();
            return;
        }
        for (const QString &t : texts) {
            const QString text = t.contains(": ") ? t.section(": ", 1) : t;
            EXPECT_TRUE(testsupport::has_cjk(text) || !text.contains(word)) << t.toStdString();
        }
    }
};

} // namespace

TEST_P(Languages, EveryTextInTheSystemLanguage)
{
    pagetest::load_settings();
    testsupport::ScopedTranslation translation(GetParam());
    ASSERT_TRUE(translation.loaded());
    testsupport::ModalRecorder modal;

    // The factory test with a run of one frame that fails the intensity test for want of points
    // and passes the others: every report line appears.
    Dialog_Detect_Raxo factory;
    for (const char *e : {"le_xy_threshold", "le_z_threshold", "le_z_diff_threshold",
                          "le_board_depth_threshold", "le_noise_num_threshold"})
        edit(&factory, e)->setText("1000");
    for (const char *c : {"cb_conf", "cb_side", "cb_board_split", "cb_noise"})
        pagetest::child<QCheckBox>(&factory, c)->setChecked(true);
    edit(&factory, "le_test_frame_sum")->setText("1");
    edit(&factory, "le_pass_rate")->setText("0");
    pagetest::child<QPushButton>(&factory, "pb_start")->click();
    factory.detectFrame({point(0.1f, 0.5f, -0.05f), point(0.1f, -0.5f, -0.05f)});
    const QStringList report =
        pagetest::child<QTextBrowser>(&factory, "tb_print")->toPlainText().split('\n');
    ASSERT_EQ(report.size(), 6);
    expectLanguage(report);
    if (english()) {
        EXPECT_EQ(report[0], "Intensity uniformity: abnormal point cloud data");
        EXPECT_EQ(report[3], "Upper noise:1 count:0 reference:1000");
        EXPECT_EQ(report[5], "Passed, pass rate:0");
    } else {
        EXPECT_EQ(report[5], "成功，通过率:0");
    }

    // The point table with its block buttons and a refused jump.
    Dialog_AllData table;
    table.setLidarType(1);
    table.setData(std::vector<UserPointData>(400), true);
    edit(&table, "le_page")->setText("9");
    pagetest::child<QPushButton>(&table, "pb_jump")->click();
    ASSERT_EQ(modal.warnings.size(), 1u);
    expectLanguage({modal.warnings[0].title, modal.warnings[0].text});

    // The voxel dialog with a refused size.
    Dialog_VoxelFilter voxel;
    pagetest::child<QPushButton>(&voxel, "pb_apply")->click();
    ASSERT_EQ(modal.warnings.size(), 2u);
    expectLanguage({modal.warnings[1].title, modal.warnings[1].text});
    EXPECT_EQ(voxel.windowTitle(),
              english() ? "Voxel Filter Parameters" : "体素滤波参数");

    // The object table's captions, and the alarm texts of an object in every state.
    Dialog_ObjectTrack objects;
    EXPECT_EQ(objects.windowTitle(), english() ? "Object Move Information" : "目标移动信息");
    for (const QWidget *w : {static_cast<QWidget *>(&factory), static_cast<QWidget *>(&table),
                             static_cast<QWidget *>(&voxel), static_cast<QWidget *>(&objects)})
        expectLanguage(testsupport::visible_texts(w));
    ObjectListMsg list{};
    list.count = 1;
    list.objects[0].alarm_flags = 0x7;
    objects.setObjectList(&list);
    const QString alarm =
        objects.findChild<QTableView *>("tv_obj_track")->model()->index(0, 8).data().toString();
    EXPECT_EQ(alarm.trimmed(), english() ? "observewarmalarm" : "观察预警报警");
}

INSTANTIATE_TEST_SUITE_P(Inspection, Languages, ::testing::Values("English", "Chinese"));
