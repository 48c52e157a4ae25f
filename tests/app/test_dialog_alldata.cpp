// The paged point table as a widget of its own: blocks and pages for each device model, the block
// buttons made once per frame phase, page wrap-around and jumps, the data-type columns, and the
// points picked in the table.

#include "analysistesthelpers.h"
#include "dialog_alldata.h"
#include "modalrecorder.h"

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QFrame>
#include <QGridLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>

using namespace analysistest;

namespace {

using Frame = std::vector<UserPointData>;

// Point i (from 0) at x = i, y = i / 2, z = -i, with every other field telling its number.
Frame frameOf(int n)
{
    Frame f;
    for (int i = 0; i < n; ++i) {
        UserPointData p = point(float(i), float(i) / 2, -float(i), uint16_t(i % 65536));
        p.distance = float(i) + 0.25f;
        p.depth = uint16_t((i + 1) % 65536);
        p.deep_field = uint16_t((i + 2) % 65536);
        f.push_back(p);
    }
    return f;
}

struct Table {
    Table()
    {
        table = dialog.findChild<QTableView *>("tableView");
        model = table->model();
    }

    // The block buttons in the order the grid holds them, as the user sees them.
    std::vector<QPushButton *> buttons() const
    {
        std::vector<QPushButton *> out;
        auto *grid = dialog.findChild<QGridLayout *>("gridLayout");
        for (int i = 0; i < grid->count(); ++i)
            if (auto *b = qobject_cast<QPushButton *>(grid->itemAt(i)->widget()))
                out.push_back(b);
        return out;
    }

    QStringList buttonTexts() const
    {
        QStringList out;
        for (QPushButton *b : buttons())
            out << (b->isEnabled() ? b->text() : "-");
        return out;
    }

    int rows() const { return model->rowCount(); }
    QString cell(int row, int column) const
    {
        return model->index(row, column).data().toString();
    }
    QString page() const { return labelText(const_cast<Dialog_AllData *>(&dialog), "lb_page"); }
    bool shown(int column) const { return !table->isColumnHidden(column); }

    void click(const char *name)
    {
        pagetest::child<QPushButton>(&dialog, name)->click();
    }
    void jump(const QString &page)
    {
        edit(&dialog, "le_page")->setText(page);
        click("pb_jump");
    }

    Dialog_AllData dialog;
    QTableView *table = nullptr;
    QAbstractItemModel *model = nullptr;
};

QStringList rowTexts(int from, int to)
{
    QStringList out;
    for (int i = from; i <= to; ++i)
        out << QString("row%1").arg(i);
    return out;
}

} // namespace

TEST(PointTable, FormAndEmptyFrames)
{
    Table t;
    EXPECT_EQ(t.dialog.objectName(), "Dialog_AllData");
    EXPECT_EQ(t.dialog.size(), QSize(841, 553));
    const QStringList headers = {"Index",      "X",     "Y",     "Z",
                                 "distance",   "confidence", "depth", "deep field"};
    ASSERT_EQ(t.model->columnCount(), 8);
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(t.model->headerData(c, Qt::Horizontal).toString(), headers[c]);
    EXPECT_EQ(t.table->selectionMode(), QAbstractItemView::MultiSelection);
    EXPECT_EQ(t.table->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(t.table->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_TRUE(t.table->verticalHeader()->isHidden());
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(t.shown(c), c != 4 && c != 6 && c != 7) << c;
    EXPECT_TRUE(pagetest::child<QFrame>(&t.dialog, "frame_page")->isHidden());

    // Nothing happens for an empty frame, before or after a real one.
    t.dialog.setLidarType(LIDAR_RAXO_E);
    t.dialog.setData({}, true);
    EXPECT_TRUE(t.buttons().empty());
    EXPECT_EQ(labelText(&t.dialog, "lb_selectnum"), "xxx");
    EXPECT_TRUE(pagetest::child<QFrame>(&t.dialog, "frame_page")->isHidden());
    t.dialog.setData(frameOf(3), true);
    t.dialog.setData({}, true);
    EXPECT_EQ(labelText(&t.dialog, "lb_selectnum"), "3");
    EXPECT_EQ(t.rows(), 3);
    EXPECT_EQ(t.buttonTexts(), QStringList({"row1"}));
}

TEST(PointTable, HundredRaxoPoints)
{
    Table t;
    t.dialog.setLidarType(LIDAR_RAXO_E);
    t.dialog.setData(frameOf(100), true);
    EXPECT_FALSE(pagetest::child<QFrame>(&t.dialog, "frame_page")->isHidden());
    EXPECT_EQ(t.buttonTexts(), QStringList({"row1"}));
    EXPECT_EQ(t.buttons()[0]->font().pointSize(), 10);
    EXPECT_EQ(labelText(&t.dialog, "lb_selectnum"), "100");
    EXPECT_EQ(t.page(), "1/1");
    ASSERT_EQ(t.rows(), 100);
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(t.shown(c), c <= 5) << c;
    EXPECT_EQ(t.cell(0, 0), "1");
    EXPECT_EQ(t.cell(99, 0), "100");
    // Point 41: x 41, y 20.5, z -41, distance 41.25, intensity 41; no depth for a Raxo.
    const QStringList row = {"42", "41", "20.5", "-41", "41.25", "41", "", ""};
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(t.cell(41, c), row[c]) << c;
}

TEST(PointTable, BlocksAndPagesPerModel)
{
    // 4501 Raxo points: 31 blocks of 150, two pages.
    {
        Table t;
        t.dialog.setLidarType(LIDAR_RAXO_S);
        t.dialog.setData(frameOf(4501), true);
        EXPECT_EQ(t.buttonTexts(), rowTexts(1, 30));
        EXPECT_EQ(t.page(), "1/2");
        EXPECT_EQ(t.rows(), 150);
        t.click("pb_nextPage");
        EXPECT_EQ(t.page(), "2/2");
        QStringList second = {"row31"};
        for (int i = 1; i < 30; ++i)
            second << "-";
        EXPECT_EQ(t.buttonTexts(), second);
        for (size_t i = 1; i < 30; ++i)
            EXPECT_EQ(t.buttons()[i]->text(), "") << i;
        ASSERT_EQ(t.rows(), 1);
        EXPECT_EQ(t.cell(0, 0), "4501");
        EXPECT_EQ(t.cell(0, 1), "4500");
    }
    // The same for a Fenk-U: 113 blocks of 40, four pages, the last block holding 21 points.
    {
        Table t;
        t.dialog.setLidarType(LIDAR_FENK_U);
        EXPECT_EQ(t.dialog.rowsPerBlock(), 40);
        t.dialog.setData(frameOf(4501), true);
        EXPECT_EQ(t.page(), "1/4");
        EXPECT_EQ(t.rows(), 40);
        t.jump("4");
        EXPECT_EQ(t.page(), "4/4");
        QStringList last = rowTexts(91, 113);
        for (int i = 0; i < 7; ++i)
            last << "-";
        EXPECT_EQ(t.buttonTexts(), last);
        t.buttons()[22]->click();
        ASSERT_EQ(t.rows(), 21);
        EXPECT_EQ(t.cell(0, 0), "4481");
        EXPECT_EQ(t.cell(20, 0), "4501");
        // Every field of a Fenk-U point is filled, shown or not.
        const QStringList row = {"4501", "4500", "2250", "-4500", "4500.25", "4500", "4501", "4502"};
        for (int c = 0; c < 8; ++c)
            EXPECT_EQ(t.cell(20, c), row[c]) << c;
        EXPECT_FALSE(t.shown(4));
    }
    // A Vimo-E: 128 per block, columns X, Y, Z and confidence.
    {
        Table t;
        t.dialog.setLidarType(LIDAR_VIMO_E);
        t.dialog.setData(frameOf(300), true);
        EXPECT_EQ(t.buttonTexts(), rowTexts(1, 3));
        EXPECT_EQ(t.rows(), 128);
        const QStringList row = {"2", "1", "0.5", "-1", "", "1", "", ""};
        for (int c = 0; c < 8; ++c)
            EXPECT_EQ(t.cell(1, c), row[c]) << c;
    }
}

TEST(PointTable, RowsPerBlockBeforeTheModelIsKnown)
{
    Table t;
    EXPECT_EQ(t.dialog.rowsPerBlock(), 150);
    t.dialog.setData(frameOf(151), true);
    EXPECT_EQ(t.buttonTexts(), rowTexts(1, 2));
    EXPECT_EQ(t.page(), "1/1");
    EXPECT_EQ(t.rows(), 150);
    for (uint8_t type : {uint8_t(0), uint8_t(3), uint8_t(2), uint8_t(4), uint8_t(5), uint8_t(200)}) {
        t.dialog.setLidarType(type);
        EXPECT_EQ(t.dialog.rowsPerBlock(), type == 0 ? 40 : type == 3 ? 128 : 150) << int(type);
        EXPECT_EQ(t.dialog.lidarType(), type);
    }
    // A model code outside the known ones fills only the index.
    t.dialog.setData(frameOf(2), true);
    EXPECT_EQ(t.cell(1, 0), "2");
    for (int c = 1; c < 8; ++c)
        EXPECT_EQ(t.cell(1, c), "") << c;
}

TEST(PointTable, ButtonsAreMadeOncePerPhase)
{
    Table t;
    t.dialog.setLidarType(LIDAR_RAXO_E);
    t.dialog.setData(frameOf(300), true);
    EXPECT_EQ(t.buttonTexts(), rowTexts(1, 2));
    // 40 blocks later: still the two buttons, relabelled.
    t.dialog.setData(frameOf(6000), true);
    EXPECT_EQ(t.buttonTexts(), rowTexts(1, 2));
    EXPECT_EQ(t.page(), "1/2");

    // Cleared: no rows, no buttons; the frame and its labels stay.
    t.dialog.clearData();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(t.buttons().empty());
    EXPECT_TRUE(t.dialog.findChildren<QPushButton *>(QRegularExpression("^$")).isEmpty());
    EXPECT_EQ(t.rows(), 0);
    EXPECT_EQ(t.dialog.pointCount(), 6000u);
    EXPECT_EQ(labelText(&t.dialog, "lb_selectnum"), "6000");

    // The next frame makes them anew, as many as its page needs; five per line.
    t.dialog.setData(frameOf(1500), true);
    EXPECT_EQ(t.buttonTexts(), rowTexts(1, 10));
    auto *grid = t.dialog.findChild<QGridLayout *>("gridLayout");
    int row = -1, column = -1, rs = 0, cs = 0;
    grid->getItemPosition(grid->indexOf(t.buttons()[7]), &row, &column, &rs, &cs);
    EXPECT_EQ(std::make_pair(row, column), std::make_pair(1, 2));

    // Cleared on a later page: the next frame makes the buttons of that page, none when the
    // page lies beyond its last block.
    t.dialog.clearData();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    t.dialog.setData(frameOf(4600), true); // 31 blocks, 2 pages
    t.click("pb_nextPage");
    t.dialog.clearData();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    t.dialog.setData(frameOf(4600), true);
    EXPECT_EQ(t.buttonTexts(), QStringList({"row31"}));
    t.dialog.clearData();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    t.dialog.setData(frameOf(100), true);
    EXPECT_TRUE(t.buttons().empty());
    EXPECT_EQ(t.page(), "2/1");
    EXPECT_EQ(t.rows(), 0);
}

TEST(PointTable, PagesWrapAroundAndJumps)
{
    Table t;
    testsupport::ModalRecorder modal;
    // Before any frame both page buttons stay on page 0.
    t.click("pb_nextPage");
    t.click("pb_lastPage");
    t.dialog.setLidarType(LIDAR_RAXO_E);
    t.dialog.setData(frameOf(150 * 65), true); // 65 blocks: pages of 30, 30 and 5
    EXPECT_EQ(t.page(), "1/3");
    t.click("pb_lastPage");
    EXPECT_EQ(t.page(), "3/3");
    EXPECT_EQ(t.buttonTexts().mid(0, 6), QStringList({"row61", "row62", "row63", "row64", "row65", "-"}));
    t.click("pb_nextPage");
    EXPECT_EQ(t.page(), "1/3");
    EXPECT_EQ(t.buttonTexts(), rowTexts(1, 30));
    t.click("pb_nextPage");
    EXPECT_EQ(t.page(), "2/3");
    EXPECT_EQ(t.cell(0, 0), "4501");

    // Jumps outside 1 to 3 are refused and change nothing.
    for (const char *page : {"0", "4", "", "two", "-1"}) {
        modal.clear();
        t.jump(page);
        EXPECT_EQ(modal.warningLines(),
                  QStringList({"error|Set page number error, current page range[1,3]"}))
            << page;
        EXPECT_EQ(t.page(), "2/3") << page;
        EXPECT_EQ(t.cell(0, 0), "4501") << page;
    }
    modal.clear();
    t.jump("3");
    EXPECT_TRUE(modal.warnings.empty());
    EXPECT_EQ(t.page(), "3/3");
    EXPECT_EQ(t.cell(0, 0), "9001");
}

TEST(PointTable, ChosenBlockFollowsThePage)
{
    Table t;
    t.dialog.setLidarType(LIDAR_RAXO_E);
    t.dialog.setData(frameOf(150 * 33), true); // pages of 30 and 3 blocks
    t.buttons()[5]->click();
    EXPECT_EQ(t.buttons()[5]->font().pointSize(), 12);
    EXPECT_TRUE(t.buttons()[5]->font().bold());
    EXPECT_EQ(t.cell(0, 0), "751");
    t.buttons()[2]->click();
    EXPECT_EQ(t.buttons()[5]->font().pointSize(), 10);
    EXPECT_FALSE(t.buttons()[5]->font().bold());
    EXPECT_EQ(t.cell(0, 0), "301");
    t.buttons()[5]->click();

    // On the page of three blocks the sixth position holds nothing.
    t.click("pb_nextPage");
    EXPECT_EQ(t.rows(), 0);
    EXPECT_EQ(t.buttonTexts().mid(0, 4), QStringList({"row31", "row32", "row33", "-"}));
    t.click("pb_nextPage");
    EXPECT_EQ(t.cell(0, 0), "751");

    // A new frame keeps the chosen block.
    t.dialog.setData(frameOf(150 * 6), true);
    EXPECT_EQ(t.cell(0, 0), "751");
    EXPECT_EQ(t.rows(), 150);
}

TEST(PointTable, DataTypeColumnsFollowTheirBits)
{
    // mask, then whether distance (4), depth (6) and deep field (7) show.
    struct Case {
        uint16_t mask;
        bool distance, depth, deepField;
    };
    const Case cases[] = {
        {0x14, true, true, false}, {0, false, false, false}, {0x20, false, false, true},
        {0x34, true, true, true},  {0x10, false, true, false}, {0x04, true, false, false},
    };
    Table t;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.mask);
        t.dialog.setDataType(c.mask);
        EXPECT_EQ(t.dialog.dataType(), c.mask);
        EXPECT_EQ(t.shown(4), c.distance);
        EXPECT_EQ(t.shown(6), c.depth);
        EXPECT_EQ(t.shown(7), c.deepField);
    }

    // A Raxo session shows the distance; a Vimo-E session after it keeps the column, empty.
    Table s;
    s.dialog.setLidarType(LIDAR_RAXO_E);
    s.dialog.setData(frameOf(10), true);
    EXPECT_TRUE(s.shown(4));
    EXPECT_EQ(s.cell(3, 4), "3.25");
    s.dialog.clearData();
    s.dialog.setLidarType(LIDAR_VIMO_E);
    s.dialog.setData(frameOf(10), true);
    EXPECT_TRUE(s.shown(4));
    EXPECT_EQ(s.cell(3, 4), "");
    EXPECT_EQ(s.cell(3, 1), "3");
}

namespace {
QStringList g_trace;
void captureTrace(QtMsgType, const QMessageLogContext &, const QString &msg)
{
    g_trace << msg;
}
} // namespace

TEST(PointTable, PickedPoints)
{
    Table t;
    t.dialog.setLidarType(LIDAR_RAXO_E);
    t.dialog.setData(frameOf(150 * 40), true);
    t.dialog.resize(841, 553);
    t.dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&t.dialog));
    t.buttons()[2]->click();
    t.click("pb_nextPage"); // page 2, button 2: block 32, points 4800 onwards

    g_trace.clear();
    const QtMessageHandler old = qInstallMessageHandler(captureTrace);
    for (int row : {3, 1, 3}) {
        const QRect r = t.table->visualRect(t.model->index(row, 1));
        QTest::mousePress(t.table->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseRelease(t.table->viewport(), Qt::LeftButton, {}, r.center());
    }
    qInstallMessageHandler(old);
    EXPECT_EQ(t.dialog.selectedIndices(), std::vector<int>({4801, 4803}));
    ASSERT_EQ(g_trace.size(), 3);
    EXPECT_TRUE(g_trace[0].contains("dialog_alldata")) << g_trace[0].toStdString();
    EXPECT_TRUE(g_trace[0].contains(":Dialog_AllData::on_tableView_pressed]")) << g_trace[0].toStdString();
    EXPECT_TRUE(g_trace[2].endsWith("2 3 4803 2")) << g_trace[2].toStdString();

    // A header click picks every point of the block shown.
    QTest::mouseClick(t.table->horizontalHeader()->viewport(), Qt::LeftButton, {},
                      QPoint(t.table->horizontalHeader()->sectionViewportPosition(2) + 5, 5));
    const std::vector<int> picked = t.dialog.selectedIndices();
    ASSERT_EQ(picked.size(), 150u);
    EXPECT_EQ(picked.front(), 4800);
    EXPECT_EQ(picked.back(), 4949);
}
