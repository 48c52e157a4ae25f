// The tracked-object table as a window of its own: object lists built here, a clock the test
// sets, class names from a model file loaded into the program's detector, and the rows, texts
// and shading a user reads.

#include "analysistesthelpers.h"
#include "dialog_objecttrack.h"
#include "pointcloudanomalydetector.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

#include <cstring>

namespace {

// 10:00:00.000 local time on a working day; lists are stamped relative to it.
int64_t at(int64_t offsetMs)
{
    return QDateTime(QDate(2026, 1, 8), QTime(10, 0, 0)).toMSecsSinceEpoch() + offsetMs;
}

struct Obj {
    uint8_t id;
    int32_t cls = -1;
    uint8_t flags = 0;
    float cx = 0, cy = 0, cz = 0;
    float l = 1, w = 1, h = 1;
};

ObjectListMsg listOf(std::initializer_list<Obj> objects, int count = -1)
{
    ObjectListMsg msg;
    std::memset(&msg, 0, sizeof msg);
    msg.count = uint8_t(count < 0 ? int(objects.size()) : count);
    int i = 0;
    for (const Obj &o : objects) {
        TrackedObject &t = msg.objects[i++];
        t.id = o.id;
        t.class_index = o.cls;
        t.alarm_flags = o.flags;
        t.center_x = o.cx;
        t.center_y = o.cy;
        t.center_z = o.cz;
        t.length = o.l;
        t.width = o.w;
        t.height = o.h;
    }
    return msg;
}

struct Table {
    Table()
    {
        dialog.setClock([this] { return now; });
        view = dialog.findChild<QTableView *>("tv_obj_track");
        model = qobject_cast<QStandardItemModel *>(view->model());
    }

    void feed(int64_t offsetMs, const ObjectListMsg &msg)
    {
        now = at(offsetMs);
        dialog.setObjModels(std::vector<ModelInfo>(3));
        dialog.setObjectList(&msg);
    }

    // The ids of the rows from the top, as shown.
    QStringList ids() const
    {
        QStringList out;
        for (int r = 0; r < model->rowCount(); ++r)
            out << model->item(r, 0)->text();
        return out;
    }

    QString cell(int row, int column) const { return model->item(row, column)->text(); }

    bool grey(int row) const
    {
        for (int c = 0; c < 10; ++c) {
            const QBrush b = model->item(row, c)->background();
            const bool isGrey = b.style() == Qt::SolidPattern && b.color() == QColor(200, 200, 200);
            if (c > 0 && isGrey != grey0(row))
                ADD_FAILURE() << "row " << row << " shaded unevenly";
        }
        return grey0(row);
    }
    bool grey0(int row) const
    {
        const QBrush b = model->item(row, 0)->background();
        return b.style() == Qt::SolidPattern && b.color() == QColor(200, 200, 200);
    }

    Dialog_ObjectTrack dialog;
    QTableView *view = nullptr;
    QStandardItemModel *model = nullptr;
    int64_t now = 0;
};

} // namespace

TEST(ObjectTable, Form)
{
    Table t;
    EXPECT_EQ(t.dialog.objectName(), "Dialog_ObjectTrack");
    EXPECT_EQ(t.dialog.windowTitle(), "Object Move Information");
    EXPECT_FALSE(t.dialog.windowFlags() & Qt::WindowContextHelpButtonHint);
    ASSERT_NE(t.model, nullptr);
    const QStringList headers = {"id",     "center x",    "center y",   "center z", "length",
                                 "width",  "height",      "object name", "alarm type", "time"};
    ASSERT_EQ(t.model->columnCount(), 10);
    for (int c = 0; c < 10; ++c)
        EXPECT_EQ(t.model->headerData(c, Qt::Horizontal).toString(), headers[c]);
    EXPECT_EQ(t.view->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(t.view->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_FALSE(t.view->showGrid());
    EXPECT_EQ(t.view->verticalHeader()->defaultSectionSize(), 25);
    for (int r = 0; r < Dialog_ObjectTrack::kRows; ++r) {
        EXPECT_EQ(t.dialog.slotStamp(r), 0);
        EXPECT_EQ(t.dialog.slotId(r), -1);
    }
}

TEST(ObjectTable, RowsFollowIdsAndSeconds)
{
    Table t;
    // First list: ids 5 and 9 in rows 0 and 1, with their cells.
    t.feed(100, listOf({{5, -1, 0, 1.5f, -0.25f, 12.3456f, 0.5f, 0.6f, 1.75f}, {9}}));
    EXPECT_EQ(t.ids(), QStringList({"  5", "  9"}));
    const QStringList row0 = {"  5",   "1.500", "-0.250", "12.346",           "0.500",
                              "0.600", "1.750", "         unknown", QString(16, ' '),
                              "10:00:00"};
    for (int c = 0; c < 10; ++c)
        EXPECT_EQ(t.cell(0, c), row0[c]) << c;
    EXPECT_FALSE(t.grey(0));
    EXPECT_FALSE(t.grey(1));
    EXPECT_EQ(t.dialog.slotId(0), 5);
    EXPECT_EQ(t.dialog.slotId(1), 9);
    EXPECT_EQ(t.dialog.slotStamp(1), at(100));
    EXPECT_EQ(t.dialog.modelCount(), 3u);

    // Within the same second a list without id 5 leaves row 0 white.
    t.feed(900, listOf({{9}}));
    EXPECT_FALSE(t.grey(0));
    EXPECT_EQ(t.dialog.slotStamp(0), at(100));

    // A second later: 9 refreshed in place, 12 in the first free row, 5 grey.
    t.feed(1100, listOf({{9, -1, 0, 2.0f}, {12}}));
    EXPECT_EQ(t.ids(), QStringList({"  5", "  9", " 12"}));
    EXPECT_EQ(t.cell(1, 1), "2.000");
    EXPECT_EQ(t.cell(1, 9), "10:00:01");
    EXPECT_TRUE(t.grey(0));
    EXPECT_FALSE(t.grey(1));
    EXPECT_FALSE(t.grey(2));

    // An empty list changes no row and no shading.
    t.feed(5000, listOf({}));
    EXPECT_EQ(t.ids(), QStringList({"  5", "  9", " 12"}));
    EXPECT_TRUE(t.grey(0));
    EXPECT_FALSE(t.grey(1));
    EXPECT_EQ(t.dialog.slotStamp(2), at(1100));

    // Id 0 is an ordinary id; a refreshed grey row turns white again.
    t.feed(6000, listOf({{0}, {5}}));
    EXPECT_EQ(t.ids(), QStringList({"  5", "  9", " 12", "  0"}));
    EXPECT_FALSE(t.grey(0));
    EXPECT_TRUE(t.grey(1));
    EXPECT_FALSE(t.grey(3));
    EXPECT_EQ(t.dialog.slotId(3), 0);
}

TEST(ObjectTable, FullTableReplacesTheOldestRowNotRefreshed)
{
    Table t;
    // Sixteen ids, one per list, 100 ms apart: row r written at r * 100 ms.
    for (int r = 0; r < 16; ++r)
        t.feed(r * 100, listOf({{uint8_t(100 + r)}}));
    ASSERT_EQ(t.model->rowCount(), 16);
    // Three known ids, among them the oldest row's, and a new one: the new id takes row 1, the
    // oldest of the 13 rows this list did not refresh.
    t.feed(2000, listOf({{100}, {200}, {105}, {107}}));
    EXPECT_EQ(t.model->rowCount(), 16);
    EXPECT_EQ(t.cell(1, 0), "200");
    EXPECT_EQ(t.dialog.slotId(1), 200);
    for (int r : {0, 5, 7})
        EXPECT_EQ(t.cell(r, 0), QString::number(100 + r)) << r;
    // The next new id takes the next oldest, row 2.
    t.feed(2100, listOf({{201}}));
    EXPECT_EQ(t.cell(2, 0), "201");
    EXPECT_EQ(t.model->rowCount(), 16);
}

TEST(ObjectTable, AtMostSixteenRecordsAreRead)
{
    Table t;
    ObjectListMsg msg = listOf({{1}, {2}, {3}}, 200);
    for (int i = 3; i < 16; ++i)
        msg.objects[i].id = uint8_t(10 + i);
    t.feed(0, msg);
    EXPECT_EQ(t.model->rowCount(), 16);
    EXPECT_EQ(t.cell(15, 0), " 25");
}

TEST(ObjectTable, ClassNamesAndAlarmTexts)
{
    // Models saved by a detector of the test's own and loaded into the program's detector from
    // the file, as the main window loads the file a sensor sends back.
    const std::string file = testsupport::make_temp_subdir("models") + "/alg_model.bin";
    {
        PointCloudAnomalyDetector trainer;
        for (const char *name : {"person", "forklift_with_a_long_name", "car#2"})
            ASSERT_TRUE(trainer.AddModel(name)) << name;
        ASSERT_TRUE(trainer.SaveModels(file));
    }
    PointCloudAnomalyDetector *detector = PointCloudAnomalyDetector::GetInstance();
    ASSERT_NE(detector, nullptr);
    std::vector<ModelInfo> infos;
    ASSERT_TRUE(detector->LoadModelsFromFile(file, infos));
    ASSERT_EQ(infos.size(), 3u);

    Table t;
    t.feed(0, listOf({{1, 0, 0x1},
                      {2, 1, 0x6},
                      {3, 2, 0x7},
                      {4, -1, 0x2},
                      {5, 3, 0x4},
                      {6, 1000, 0}}));
    QStringList names, alarms;
    for (const char *n : {"person", "forklift_with_a_", "car", "unknown", "unknown", "unknown"})
        names << QString(n).rightJustified(16);
    for (const char *a : {"observe", "warmalarm", "observewarmalarm", "warm", "alarm", ""})
        alarms << QString(a).rightJustified(16);
    for (int r = 0; r < 6; ++r) {
        EXPECT_EQ(t.cell(r, 7), names[r]) << r;
        EXPECT_EQ(t.cell(r, 8), alarms[r]) << r;
    }

    // An empty model list names everything unknown.
    std::vector<ModelInfo> none;
    const std::string empty = testsupport::make_temp_subdir("nomodels") + "/alg_model.bin";
    testsupport::write_file(empty, {'0', '\r', '\n'});
    detector->LoadModelsFromFile(empty, none);
    t.feed(1000, listOf({{1, 0, 0}}));
    EXPECT_EQ(t.cell(0, 7), "         unknown");
}

TEST(ObjectTable, FitsTheTableWithinTheScreen)
{
    // Fitted while hidden, as the main window feeds it before it first shows it.
    Table t;
    t.feed(0, listOf({{1, 0, 0x7}, {2}}));
    t.dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&t.dialog));
    // Every cell and header text fits its column; the window is fixed to the table.
    const QAbstractItemView *items = t.view;
    for (int c = 0; c < 10; ++c) {
        EXPECT_GE(t.view->columnWidth(c), items->sizeHintForColumn(c)) << c;
        EXPECT_GE(t.view->columnWidth(c), t.view->horizontalHeader()->sectionSizeHint(c)) << c;
    }
    EXPECT_EQ(t.view->size(), t.dialog.size());
    EXPECT_LE(t.view->horizontalHeader()->length(), t.view->viewport()->width());
    EXPECT_EQ(t.dialog.minimumSize(), t.dialog.maximumSize());
    EXPECT_GE(t.view->viewport()->height(),
              t.view->verticalHeader()->length());

    // A table larger than 0.9 of the screen is bounded by it and scrolls; so is a window placed
    // off every screen, by the primary screen.
    const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
    const QSize limit(qRound(avail.width() * 0.9), qRound(avail.height() * 0.9));
    for (const QPoint place : {QPoint(0, 0), QPoint(-50000, -50000)}) {
        Table big;
        big.dialog.move(place);
        QFont font = big.dialog.font();
        font.setPointSize(72);
        big.view->setFont(font);
        big.view->horizontalHeader()->setFont(font);
        ObjectListMsg msg = listOf({});
        msg.count = 16;
        for (int i = 0; i < 16; ++i)
            msg.objects[i].id = uint8_t(i + 1);
        big.feed(0, msg);
        EXPECT_EQ(big.dialog.size(), limit) << place.x();
        EXPECT_EQ(big.view->size(), limit) << place.x();
        EXPECT_EQ(big.view->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
        EXPECT_EQ(big.view->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    }
}
