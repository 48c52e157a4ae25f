// The debug view: grid images built from debug grids written here, and the per-frame statistics
// with their multi-frame folds.

#include "analysistesthelpers.h"
#include "dialog_debug.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>
#include <QStackedWidget>

using namespace analysistest;

namespace {

constexpr int kCells = 54000;

// A grid record: count, then every cell c with intensity (c * 7) & 0xFFFF and valid byte c % 251.
QByteArray makeGrid(int count)
{
    QByteArray g(Dialog_Debug::kGridBytes, '\0');
    auto *b = reinterpret_cast<uchar *>(g.data());
    b[0] = uchar(count & 0xFF);
    b[1] = uchar(count >> 8);
    for (int c = 0; c < kCells; ++c) {
        const int v = (c * 7) & 0xFFFF;
        b[2 + 2 * c] = uchar(v & 0xFF);
        b[3 + 2 * c] = uchar(v >> 8);
        b[108002 + c] = uchar(c % 251);
    }
    return g;
}

void setCell(QByteArray &g, int row, int col, uint16_t intensity, uint8_t valid)
{
    auto *b = reinterpret_cast<uchar *>(g.data());
    const int c = row * 360 + col;
    b[2 + 2 * c] = uchar(intensity & 0xFF);
    b[3 + 2 * c] = uchar(intensity >> 8);
    b[108002 + c] = valid;
}

QImage shown(const Dialog_Debug &d, const char *label)
{
    const QLabel *l = d.findChild<QLabel *>(label);
    const QPixmap *pm = l ? l->pixmap() : nullptr;
    return pm ? pm->toImage() : QImage();
}

FeaturePoints withX(float min, float max, float mean, float sd, int count)
{
    FeaturePoints f;
    f.x = {min, max, mean, sd, count};
    f.y = {0, 1, 0.5f, 0.5f, count};
    f.z = {-1, -1, -1, 0, count};
    f.intensity = {3, 300, 100, 10, count};
    return f;
}

} // namespace

TEST(DebugView, StartsHiddenOnTheStatisticsPage)
{
    Dialog_Debug d;
    EXPECT_EQ(d.objectName(), "Dialog_Debug");
    EXPECT_EQ(d.size(), QSize(427, 530));
    EXPECT_TRUE(d.isHidden());
    EXPECT_FALSE(d.testAttribute(Qt::WA_QuitOnClose));
    EXPECT_FALSE(d.windowFlags() & Qt::WindowContextHelpButtonHint);
    auto *stack = d.findChild<QStackedWidget *>("stackedWidget");
    ASSERT_NE(stack, nullptr);
    EXPECT_EQ(stack->currentIndex(), 1);
    d.setCurrentPage(0);
    EXPECT_EQ(stack->currentIndex(), 0);
    for (const char *l : {"lb_select_num", "lb_numx", "lb_testnum", "lb_minconf2", "lb_diffz2"})
        EXPECT_EQ(labelText(&d, l), "xxx") << l;
}

TEST(DebugView, GridImages)
{
    struct Case {
        int count;
        int rows;
    } cases[] = {{54000, 150}, {27000, 75}, {3700, 10}, {359, 0}, {65535, 150}};
    for (const Case &c : cases) {
        Dialog_Debug d;
        QByteArray g = makeGrid(c.count);
        if (c.rows > 0) {
            setCell(g, 0, 0, 0x1234, 200); // above 255: only the low byte shows
            setCell(g, c.rows - 1, 359, 77, 9);
        }
        d.showImage(g);
        const QImage valid = shown(d, "lb_validnum");
        const QImage inten = shown(d, "lb_intensity");
        if (c.rows == 0) {
            EXPECT_TRUE(valid.isNull()) << c.count;
            continue;
        }
        ASSERT_EQ(valid.size(), QSize(720, 2 * c.rows)) << c.count;
        ASSERT_EQ(inten.size(), QSize(720, 2 * c.rows)) << c.count;
        // Row 0, column 0 at the bottom right, twice as large in both directions.
        for (int dx : {0, 1})
            for (int dy : {0, 1}) {
                EXPECT_EQ(qGray(valid.pixel(718 + dx, 2 * c.rows - 2 + dy)), 200) << c.count;
                EXPECT_EQ(qGray(inten.pixel(718 + dx, 2 * c.rows - 2 + dy)), 0x34) << c.count;
            }
        // The last row's last column at the top left.
        EXPECT_EQ(qGray(valid.pixel(0, 0)), 9) << c.count;
        EXPECT_EQ(qGray(inten.pixel(1, 1)), 77) << c.count;
        // Any other cell: row i, column k at image x = 2 (359 - k), y = 2 (rows - 1 - i).
        const int i = c.rows / 2, k = 100, cell = i * 360 + k;
        EXPECT_EQ(qGray(valid.pixel(2 * (359 - k), 2 * (c.rows - 1 - i))), cell % 251) << c.count;
        EXPECT_EQ(qGray(inten.pixel(2 * (359 - k) + 1, 2 * (c.rows - 1 - i))), (cell * 7) & 0xFF)
            << c.count;
        EXPECT_TRUE(d.findChild<QLabel *>("lb_validnum")->hasScaledContents());
    }
}

TEST(DebugView, ShortGridIsRefused)
{
    Dialog_Debug d;
    d.showImage(QByteArray(100, '\x40'));
    d.showImage(makeGrid(54000).left(Dialog_Debug::kGridBytes - 1));
    EXPECT_TRUE(shown(d, "lb_validnum").isNull());
    EXPECT_EQ(labelText(&d, "lb_validnum"), "1");

    // A refused grid leaves the last image in place.
    d.showImage(makeGrid(27000));
    d.showImage(QByteArray());
    EXPECT_EQ(shown(d, "lb_intensity").size(), QSize(720, 150));
}

TEST(DebugView, StatisticsAndFolds)
{
    Dialog_Debug d;
    d.showStatistics(40, withX(1, 5, 1, 0.25f, 38));
    EXPECT_EQ(labelText(&d, "lb_select_num"), "40");
    EXPECT_EQ(labelText(&d, "lb_minx"), "1");
    EXPECT_EQ(labelText(&d, "lb_maxx"), "5");
    EXPECT_EQ(labelText(&d, "lb_diffx"), "4");
    EXPECT_EQ(labelText(&d, "lb_avex"), "1");
    EXPECT_EQ(labelText(&d, "lb_sdx"), "0.25");
    EXPECT_EQ(labelText(&d, "lb_numx"), "38");
    EXPECT_EQ(labelText(&d, "lb_diffconf"), "297");
    // "xxx" is not a number: the first frame takes its own values.
    EXPECT_EQ(labelText(&d, "lb_minx2"), "1");
    EXPECT_EQ(labelText(&d, "lb_sdx2"), "0.25");
    EXPECT_EQ(labelText(&d, "lb_diffx2"), "4");
    EXPECT_EQ(labelText(&d, "lb_testnum"), "1");

    d.showStatistics(41, withX(-2, 4, 2, 0.5f, 41));
    d.showStatistics(42, withX(0.5f, 7, 3, 0.75f, 42));
    EXPECT_EQ(labelText(&d, "lb_minx2"), "-2");
    EXPECT_EQ(labelText(&d, "lb_maxx2"), "7");
    EXPECT_EQ(labelText(&d, "lb_diffx2"), "9");
    EXPECT_EQ(labelText(&d, "lb_avex2"), "2");
    EXPECT_EQ(labelText(&d, "lb_sdx2"), "0.5");
    EXPECT_EQ(labelText(&d, "lb_testnum"), "3");
    EXPECT_EQ(labelText(&d, "lb_numz"), "42");

    d.clearStatistics();
    for (const char *a : {"x", "y", "z", "conf"})
        for (const char *v : {"min", "max", "ave", "sd"})
            EXPECT_EQ(labelText(&d, (QString("lb_%1%2").arg(v, a) + "2").toLatin1()), "") << v << a;
    EXPECT_EQ(labelText(&d, "lb_diffx2"), "9");
    EXPECT_EQ(labelText(&d, "lb_testnum"), "3");
    EXPECT_EQ(labelText(&d, "lb_minx"), "0.5");

    d.showStatistics(7, withX(10, 11, 10.5f, 0.5f, 7));
    EXPECT_EQ(labelText(&d, "lb_avex2"), "10.5");
    EXPECT_EQ(labelText(&d, "lb_diffx2"), "1");
    EXPECT_EQ(labelText(&d, "lb_testnum"), "1");
}
