// The voxel-filter parameters dialog: what each button emits, what it refuses, and that every
// use starts empty.

#include "analysistesthelpers.h"
#include "dialog_voxelfilter.h"
#include "modalrecorder.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace analysistest;

namespace {

struct Emitted {
    bool on;
    float size;
    int count;
};

struct Voxel {
    Voxel()
    {
        QObject::connect(&dialog, &Dialog_VoxelFilter::sig_voxel_param,
                         [this](bool on, float size, int count) {
                             emitted.push_back({on, size, count});
                         });
    }
    void fill(const QString &size, const QString &count)
    {
        edit(&dialog, "le_voxel_unit_size")->setText(size);
        edit(&dialog, "le_voxel_min_num")->setText(count);
    }
    void click(const char *name)
    {
        pagetest::child<QPushButton>(&dialog, name)->click();
    }

    Dialog_VoxelFilter dialog;
    std::vector<Emitted> emitted;
};

} // namespace

TEST(VoxelDialog, Form)
{
    Voxel v;
    EXPECT_EQ(v.dialog.objectName(), "Dialog_VoxelFilter");
    EXPECT_EQ(v.dialog.size(), QSize(359, 216));
    EXPECT_EQ(v.dialog.windowTitle(), "Vitamin Filtration Parameters");
    EXPECT_FALSE(v.dialog.windowFlags() & Qt::WindowContextHelpButtonHint);
    EXPECT_EQ(edit(&v.dialog, "le_voxel_unit_size")->text(), "");
    EXPECT_EQ(edit(&v.dialog, "le_voxel_min_num")->text(), "");
    EXPECT_EQ(pagetest::child<QPushButton>(&v.dialog, "pb_apply")->text(), "应用");
}

TEST(VoxelDialog, ApplyConfirmAndClose)
{
    testsupport::ModalRecorder modal;
    {
        Voxel v;
        v.dialog.show();
        v.fill("0.1", "8");
        v.click("pb_apply");
        v.click("pb_apply");
        ASSERT_EQ(v.emitted.size(), 2u);
        for (const Emitted &e : v.emitted) {
            EXPECT_TRUE(e.on);
            EXPECT_EQ(e.size, 0.1f);
            EXPECT_EQ(e.count, 8);
        }
        EXPECT_TRUE(v.dialog.isVisible()) << "apply keeps the dialog open";

        v.fill("0.25", "");
        v.click("pb_confirm");
        ASSERT_EQ(v.emitted.size(), 3u);
        EXPECT_EQ(v.emitted[2].size, 0.25f);
        EXPECT_EQ(v.emitted[2].count, 0) << "an empty count is 0";
        EXPECT_FALSE(v.dialog.isVisible());
        EXPECT_EQ(v.dialog.result(), QDialog::Accepted);
    }
    {
        Voxel v;
        v.dialog.show();
        v.fill("0.1", "8");
        v.click("pb_close");
        EXPECT_TRUE(v.emitted.empty());
        EXPECT_FALSE(v.dialog.isVisible());
        EXPECT_EQ(v.dialog.result(), QDialog::Accepted);
    }
    // A new dialog starts empty whatever the last one sent.
    Voxel again;
    EXPECT_EQ(edit(&again.dialog, "le_voxel_unit_size")->text(), "");
    EXPECT_EQ(edit(&again.dialog, "le_voxel_min_num")->text(), "");
    EXPECT_TRUE(modal.warnings.empty());
}

TEST(VoxelDialog, RefusesValuesTheFilterCannotUse)
{
    testsupport::ModalRecorder modal;
    const QString sizeText = "error|The voxel cell size must be a positive number of metres!";
    const QString countText =
        "error|The minimum number of points per cell must not exceed 2147483647!";
    struct Case {
        const char *size;
        const char *count;
        QString warning; // empty: accepted
        float sentSize;
        int sentCount;
    } cases[] = {
        {"", "", sizeText, 0, 0},
        {"0", "5", sizeText, 0, 0},
        {"-0.05", "5", sizeText, 0, 0},
        {"abc", "5", sizeText, 0, 0},
        {"inf", "5", sizeText, 0, 0},
        {"nan", "5", sizeText, 0, 0},
        {"1e60", "5", sizeText, 0, 0},
        {"0.05", "2147483648", countText, 0, 0},
        {"0.05", "99999999999999999999999", countText, 0, 0},
        {"0.05", "2147483647", "", 0.05f, 2147483647},
        {"0.05", " 12 ", "", 0.05f, 12},
        {"0.05", "-3", "", 0.05f, 0},
        {"0.05", "many", "", 0.05f, 0},
        {"2", "0", "", 2.0f, 0},
    };
    for (const Case &c : cases) {
        for (const char *button : {"pb_apply", "pb_confirm"}) {
            Voxel v;
            v.dialog.show();
            modal.clear();
            v.fill(c.size, c.count);
            v.click(button);
            const std::string what = std::string(c.size) + " / " + c.count + " / " + button;
            if (c.warning.isEmpty()) {
                EXPECT_TRUE(modal.warnings.empty()) << what;
                ASSERT_EQ(v.emitted.size(), 1u) << what;
                EXPECT_EQ(v.emitted[0].size, c.sentSize) << what;
                EXPECT_EQ(v.emitted[0].count, c.sentCount) << what;
            } else {
                EXPECT_EQ(modal.warningLines(), QStringList({c.warning})) << what;
                EXPECT_TRUE(v.emitted.empty()) << what;
                EXPECT_TRUE(v.dialog.isVisible()) << what << ": a refusal keeps the dialog open";
            }
        }
    }
}
