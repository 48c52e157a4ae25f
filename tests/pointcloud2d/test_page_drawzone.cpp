// The zone editor built alone: its form, adding and editing shapes through its widgets, what it
// announces, and writing, copying and clearing zones with their refusals.

#include "page_drawzone.h"
#include "view2dtest.h"

#include "modalrecorder.h"
#include "widgettexts.h"

#include <QAction>
#include <QComboBox>
#include <QDoubleValidator>
#include <QGroupBox>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <cmath>

using ZONEALARM::ZoneShape;
using view2dtest::table_of;
using view2dtest::zone_shape;

namespace {

ZoneShape ellipse(int zone, int area = 0)
{
    return zone_shape(3, zone, {-1000, -1000, 1000, 1000}, area);
}

ZoneShape polygon20(int zone)
{
    std::vector<double> v;
    for (int i = 0; i < 20; ++i) {
        v.push_back(1000 * std::cos(i * 0.3));
        v.push_back(1000 * std::sin(i * 0.3) + 50);
    }
    return zone_shape(1, zone, v);
}

zones zones_arg(const QSignalSpy &spy, int i, int arg = 0)
{
    return spy.at(i).at(arg).value<zones>();
}

class DrawZoneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        page.autosaveTimer()->stop(); // the tests tick it themselves
        page.show();
    }

    template <typename T> T *w(const char *name)
    {
        T *c = page.findChild<T *>(name);
        EXPECT_NE(c, nullptr) << name;
        return c;
    }

    QAction *target(const QString &text)
    {
        for (QAction *a : page.zoneMenu()->actions())
            if (a->text() == text)
                return a;
        ADD_FAILURE() << text.toStdString();
        return nullptr;
    }

    void enter(const char *field, const QString &text)
    {
        auto *e = w<QLineEdit>(field);
        e->selectAll();
        QTest::keyClicks(e, text);
        QTest::keyClick(e, Qt::Key_Return);
    }

    int labelsOf(int kind) const { return kind; }
    QStringList labels()
    {
        return {w<QLabel>("lb_arg1")->text(), w<QLabel>("lb_arg2")->text(),
                w<QLabel>("lb_arg3")->text(), w<QLabel>("lb_arg4")->text()};
    }
    QStringList fields()
    {
        return {w<QLineEdit>("le_arg1")->text(), w<QLineEdit>("le_arg2")->text(),
                w<QLineEdit>("le_arg3")->text(), w<QLineEdit>("le_arg4")->text()};
    }

    testsupport::ModalRecorder modal;
    Page_DrawZone page;
};

} // namespace

TEST_F(DrawZoneTest, FormAtStart)
{
    EXPECT_EQ(page.windowTitle(), "DrawZone Tool");
    EXPECT_EQ(page.property("Class").toString(), "Page_DrawZone");
    EXPECT_FALSE(w<QComboBox>("cb_zone")->isEnabled());
    EXPECT_FALSE(w<QComboBox>("cb_shape")->isEnabled());
    EXPECT_FALSE(w<QComboBox>("cb_mode")->isEnabled());
    EXPECT_FALSE(w<QComboBox>("cb_changezone")->isEnabled());
    EXPECT_TRUE(w<QComboBox>("cb_editzone")->isEnabled());
    EXPECT_FALSE(w<QGroupBox>("gb_set2")->isVisible());
    EXPECT_TRUE(w<QGroupBox>("gb_set1")->isVisible());
    EXPECT_EQ(w<QComboBox>("cb_editzone")->count(), 16);
    EXPECT_EQ(w<QComboBox>("cb_editzone")->itemText(15), "F");
    for (const char *b : {"pb_ellipse", "pb_rect", "pb_span", "pb_raw"}) {
        EXPECT_FALSE(w<QPushButton>(b)->icon().isNull()) << b;
        EXPECT_FALSE(w<QPushButton>(b)->accessibleName().isEmpty()) << b;
    }
    QStringList menu;
    for (QAction *a : page.zoneMenu()->actions())
        menu << a->text();
    EXPECT_EQ(menu, QStringList({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "A", "B", "C",
                                 "D", "E", "F", "All"}));
    EXPECT_EQ(w<QToolButton>("pb_copyzone")->menu(), page.zoneMenu());
    EXPECT_EQ(w<QToolButton>("pb_clearzone")->menu(), page.zoneMenu());
    EXPECT_EQ(w<QToolButton>("pb_copyzone")->popupMode(), QToolButton::InstantPopup);
    const QStandardItemModel *m = page.vertexModel();
    EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString(), "Num");
    EXPECT_EQ(m->headerData(2, Qt::Horizontal).toString(), "Y");
    auto *v1 = qobject_cast<const QDoubleValidator *>(w<QLineEdit>("le_arg1")->validator());
    ASSERT_NE(v1, nullptr);
    EXPECT_EQ(v1->decimals(), 1);
    EXPECT_EQ(v1->top(), 99999);
    auto *v4 = qobject_cast<const QIntValidator *>(w<QLineEdit>("le_arg4")->validator());
    ASSERT_NE(v4, nullptr);
    EXPECT_EQ(v4->bottom(), -99999);
    EXPECT_EQ(page.deviceZone(), -1);
    EXPECT_EQ(page.currentRecord(), 0);
}

TEST_F(DrawZoneTest, ShapeButtonsAddTheDefaultsAndAnnounceTheNewestWithItsFlag)
{
    struct Case {
        const char *button;
        int kind;
        QStringList labels, fields;
        QString shapeItem;
    };
    const Case cases[] = {
        {"pb_ellipse", 3, {"Center X", "Center Y", "Width", "Height"}, {"-1000", "-1000", "1000", "1000"}, "1.ellipse"},
        {"pb_rect", 2, {"Left", "Top", "Right", "Buttom"}, {"-1000", "1000", "1000", "-1000"}, "2.rect"},
        {"pb_span", 4, {"Start angle", "End angle", "Far distance", "Near distance"}, {"30", "120", "3000", "1000"}, "3.sector"},
        {"pb_ellipse", 3, {"Center X", "Center Y", "Width", "Height"}, {"-1000", "-1000", "1000", "1000"}, "1.ellipse"},
    };
    w<QComboBox>("cb_editzone")->setCurrentIndex(2);
    w<QComboBox>("cb_area")->setCurrentIndex(1);
    QSignalSpy announced(&page, &Page_DrawZone::sig_zonearg);
    int n = 0;
    for (const Case &c : cases) {
        QTest::mouseClick(w<QPushButton>(c.button), Qt::LeftButton);
        ++n;
        ASSERT_EQ(announced.size(), n);
        const zones t = zones_arg(announced, n - 1);
        ASSERT_EQ(t.count, n);
        for (int i = 0; i < n; ++i)
            EXPECT_EQ(t.shapes[i].flag, i == n - 1 ? 1 : 0) << c.button << " record " << i;
        const ZoneShape &s = t.shapes[n - 1];
        const ZoneShape d = ZONEALARM::make_default_shape(c.kind, 2, 1);
        EXPECT_EQ(s.kind, c.kind);
        EXPECT_EQ(s.zone_id, 2);
        EXPECT_EQ(s.area, 1);
        EXPECT_EQ(std::vector<double>(s.param, s.param + 40), std::vector<double>(d.param, d.param + 40));
        EXPECT_EQ(s.point_count, 2);
        EXPECT_EQ(labels(), c.labels);
        EXPECT_EQ(fields(), c.fields);
        EXPECT_EQ(w<QComboBox>("cb_shape")->currentText(), c.shapeItem);
        EXPECT_EQ(page.currentRecord(), n);
        EXPECT_EQ(page.shapeList()[n - 1].flag, 0); // the list keeps it unflagged
    }
    EXPECT_FALSE(page.isDirty());
}

TEST_F(DrawZoneTest, PolygonButtonReplacesAnUnfinishedPolygon)
{
    page.setZones(table_of({ellipse(0)}));
    QSignalSpy announced(&page, &Page_DrawZone::sig_zonearg);
    QTest::mouseClick(w<QPushButton>("pb_raw"), Qt::LeftButton);
    QTest::mouseClick(w<QPushButton>("pb_raw"), Qt::LeftButton);
    ASSERT_EQ(page.shapeList().size(), 2);
    EXPECT_EQ(page.shapeList()[1].kind, 1);
    EXPECT_EQ(page.shapeList()[1].point_count, 0);
    EXPECT_EQ(page.currentRecord(), 2);
    EXPECT_TRUE(w<QGroupBox>("gb_set2")->isVisible());
    EXPECT_FALSE(w<QGroupBox>("gb_set1")->isVisible());
    EXPECT_EQ(w<QComboBox>("cb_shape")->currentText(), "4.polygon");
    // Announced at the next tick only, and once.
    EXPECT_EQ(announced.size(), 0);
    page.recv_autosave();
    page.recv_autosave();
    ASSERT_EQ(announced.size(), 1);
    EXPECT_EQ(zones_arg(announced, 0).count, 2);
}

TEST_F(DrawZoneTest, FieldsWriteTheShownRecordAsDecimals)
{
    struct Case {
        const char *button;
        const char *field;
        QString text;
        int param;
        double value;
    };
    const Case cases[] = {
        {"pb_ellipse", "le_arg1", "1000.5", 0, 1000.5},
        {"pb_ellipse", "le_arg4", "2500", 3, 2500},
        {"pb_rect", "le_arg1", "-750.5", 1, -750.5},  // Left
        {"pb_rect", "le_arg2", "250.5", 2, 250.5},    // Top
        {"pb_rect", "le_arg4", "-3000", 0, -3000},    // Buttom
        {"pb_span", "le_arg1", "30.5", 0, 305},       // degrees to tenths
        {"pb_span", "le_arg2", "200", 1, 2000},
        {"pb_span", "le_arg3", "4000", 2, 4000},
        {"pb_span", "le_arg4", "-20", 3, -20},
    };
    for (const Case &c : cases) {
        QTest::mouseClick(w<QPushButton>(c.button), Qt::LeftButton);
        enter(c.field, c.text);
        EXPECT_DOUBLE_EQ(page.shapeList().last().param[c.param], c.value) << c.button << " " << c.field;
        EXPECT_TRUE(page.isDirty());
        page.recv_autosave();
    }
}

TEST_F(DrawZoneTest, NearDistanceBelowTenIsRefusedAndTheFieldRestored)
{
    QTest::mouseClick(w<QPushButton>("pb_span"), Qt::LeftButton);
    enter("le_arg4", "5");
    EXPECT_EQ(modal.warningLines(),
              QStringList{"error|The sector near distance  cannot be less than 10mm"});
    EXPECT_EQ(w<QLineEdit>("le_arg4")->text(), "1000");
    EXPECT_EQ(page.shapeList().last().param[3], 1000);
}

TEST_F(DrawZoneTest, WriteExchangesTheRadiiAndKeepsThem)
{
    page.setZones(table_of({zone_shape(4, 0, {300, 1200, 1000, 3000}), ellipse(1)}));
    QSignalSpy cmd(&page, &Page_DrawZone::sig_zoneCmd);
    QSignalSpy announced(&page, &Page_DrawZone::sig_zonearg);
    QTest::mouseClick(w<QPushButton>("pb_setzone"), Qt::LeftButton);
    EXPECT_TRUE(modal.warnings.empty());
    ASSERT_EQ(cmd.size(), 1);
    EXPECT_EQ(cmd[0][0].toInt(), 10);
    const zones written = zones_arg(cmd, 0, 1);
    ASSERT_EQ(written.count, 2);
    EXPECT_EQ(written.shapes[0].param[2], 3000);
    EXPECT_EQ(written.shapes[0].param[3], 1000);
    ASSERT_EQ(announced.size(), 1);
    EXPECT_EQ(zones_arg(announced, 0).shapes[0].param[2], 3000);
    EXPECT_EQ(page.shapeList()[0].param[2], 3000);
    EXPECT_EQ(page.shapeList()[0].param[3], 1000);

    QSignalSpy read(&page, &Page_DrawZone::sig_zoneCmd);
    QTest::mouseClick(w<QPushButton>("pb_readzone"), Qt::LeftButton);
    ASSERT_EQ(read.size(), 1);
    EXPECT_EQ(read[0][0].toInt(), 11);
}

TEST_F(DrawZoneTest, WriteRefusals)
{
    std::vector<ZoneShape> five, six;
    for (int i = 0; i < 5; ++i)
        five.push_back(polygon20(11));
    six = five;
    six.push_back(polygon20(11));
    ZoneShape zeroPoly = polygon20(0);
    zeroPoly.param[0] = zeroPoly.param[1] = zeroPoly.param[2] = zeroPoly.param[3] = 0;
    struct Case {
        const char *what;
        std::vector<ZoneShape> records;
        QString refusal; // empty: written
    };
    const Case cases[] = {
        {"all zero", {ellipse(0), zone_shape(3, 0, {0, 0, 0, 0})}, "The current parameter cannot all zero!"},
        {"polygon from (0,0) twice", {zeroPoly}, "The current parameter cannot all zero!"},
        {"sector without sweep", {zone_shape(4, 0, {900, 900, 3000, 1000})}, "The current parameter cannot form a sector!"},
        {"sector near 5", {zone_shape(4, 0, {300, 1200, 3000, 5})}, "The sector near distance  cannot be less than 10mm"},
        {"sector near -20", {zone_shape(4, 0, {300, 1200, 3000, -20})}, ""},
        {"flat rectangle", {zone_shape(2, 0, {500, -1000, 500, 1000})}, "The current parameter cannot form a rectangle!"},
        {"ellipse centre x = width", {zone_shape(3, 0, {1000, 0, 1000, 500})}, ""},
        {"five 20-vertex polygons", five, ""},
        {"six 20-vertex polygons", six, "Zone ID:B:The number of alarm zones more than the maximum limit!"},
    };
    for (const Case &c : cases) {
        modal.clear();
        page.setZones(table_of(c.records));
        QSignalSpy cmd(&page, &Page_DrawZone::sig_zoneCmd);
        QTest::mouseClick(w<QPushButton>("pb_setzone"), Qt::LeftButton);
        if (c.refusal.isEmpty()) {
            EXPECT_TRUE(modal.warnings.empty()) << c.what;
            EXPECT_EQ(cmd.size(), 1) << c.what;
        } else {
            EXPECT_EQ(modal.warningLines(), QStringList{"error|" + c.refusal}) << c.what;
            EXPECT_EQ(cmd.size(), 0) << c.what;
            EXPECT_EQ(page.shapeList().size(), int(c.records.size()));
        }
    }
}

TEST_F(DrawZoneTest, CopyZoneToAnotherAndToAll)
{
    const ZoneShape a = zone_shape(2, 0, {-100, -200, 300, 400});
    const ZoneShape b = ellipse(3);
    const ZoneShape c = zone_shape(4, 0, {300, 1200, 3000, 1000});
    const ZoneShape other = ellipse(5);
    page.setZones(table_of({a, b, c, other}));
    QSignalSpy cmd(&page, &Page_DrawZone::sig_zoneCmd);
    emit w<QToolButton>("pb_copyzone")->triggered(target("3"));
    ASSERT_EQ(cmd.size(), 1);
    EXPECT_EQ(cmd[0][0].toInt(), 10);
    const zones t = zones_arg(cmd, 0, 1);
    ASSERT_EQ(t.count, 5);
    const int ids[] = {0, 3, 0, 3, 5};
    const int kinds[] = {2, 2, 4, 4, 3};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(t.shapes[i].zone_id, ids[i]) << i;
        EXPECT_EQ(t.shapes[i].kind, kinds[i]) << i;
    }
    EXPECT_EQ(page.shapeList().size(), 5);

    // Onto itself: each record of the zone gains a duplicate.
    page.setZones(table_of({a, other}));
    emit w<QToolButton>("pb_copyzone")->triggered(target("0"));
    ASSERT_EQ(page.shapeList().size(), 3);
    EXPECT_EQ(page.shapeList()[1].zone_id, 0);

    // "All": sixteen copies of each record of the zone, other zones dropped.
    page.setZones(table_of({a, other, c}));
    emit w<QToolButton>("pb_copyzone")->triggered(target("All"));
    ASSERT_EQ(page.shapeList().size(), 32);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(page.shapeList()[i].zone_id, i);
        EXPECT_EQ(page.shapeList()[i].kind, 2);
        EXPECT_EQ(page.shapeList()[16 + i].kind, 4);
    }

    // Five records to "All" would make 80: refused, nothing changes.
    std::vector<ZoneShape> five(5, a);
    page.setZones(table_of(five));
    QSignalSpy none(&page, &Page_DrawZone::sig_zoneCmd);
    emit w<QToolButton>("pb_copyzone")->triggered(target("All"));
    EXPECT_EQ(modal.warningLines(),
              QStringList{"error|The number of alarm zones more than the maximum limit!"});
    EXPECT_EQ(none.size(), 0);
    EXPECT_EQ(page.shapeList().size(), 5);
}

TEST_F(DrawZoneTest, ClearAZoneAndAll)
{
    page.setZones(table_of({ellipse(0), ellipse(3), ellipse(3), ellipse(7)}));
    QSignalSpy cmd(&page, &Page_DrawZone::sig_zoneCmd);
    QSignalSpy announced(&page, &Page_DrawZone::sig_zonearg);
    emit w<QToolButton>("pb_clearzone")->triggered(target("3"));
    ASSERT_EQ(cmd.size(), 1);
    EXPECT_EQ(zones_arg(cmd, 0, 1).count, 2);
    EXPECT_EQ(page.shapeList().size(), 2);
    EXPECT_EQ(page.shapeList()[1].zone_id, 7);
    emit w<QToolButton>("pb_clearzone")->triggered(target("All"));
    ASSERT_EQ(cmd.size(), 2);
    EXPECT_EQ(cmd[1][0].toInt(), 10);
    EXPECT_EQ(zones_arg(cmd, 1, 1).count, 0);
    EXPECT_EQ(zones_arg(announced, 1).count, 0);
    EXPECT_TRUE(page.shapeList().isEmpty());
    EXPECT_EQ(page.currentRecord(), 0);
}

TEST_F(DrawZoneTest, ASixtyFifthShapeIsRefused)
{
    std::vector<ZoneShape> full(64, ellipse(0));
    page.setZones(table_of(full));
    QSignalSpy announced(&page, &Page_DrawZone::sig_zonearg);
    const QString refusal = "error|The number of alarm zones more than the maximum limit!";
    for (const char *b : {"pb_ellipse", "pb_rect", "pb_span", "pb_raw"}) {
        modal.clear();
        QTest::mouseClick(w<QPushButton>(b), Qt::LeftButton);
        EXPECT_EQ(modal.warningLines(), QStringList{refusal}) << b;
    }
    modal.clear();
    page.recv_item_copy(3);
    page.addFilterPolygon();
    EXPECT_EQ(modal.warningLines(), QStringList({refusal, refusal}));
    EXPECT_EQ(page.shapeList().size(), 64);
    EXPECT_FALSE(page.isDirty());
    EXPECT_EQ(announced.size(), 0);

    // An unfinished polygon among them is replaced, so a new one fits.
    full.back() = zone_shape(1, 0, {});
    page.setZones(table_of(full));
    modal.clear();
    QTest::mouseClick(w<QPushButton>("pb_raw"), Qt::LeftButton);
    EXPECT_TRUE(modal.warnings.empty());
    EXPECT_EQ(page.shapeList().size(), 64);
    // A table of 65 is not taken.
    zones big = table_of(std::vector<ZoneShape>(64, ellipse(1)));
    big.count = 65;
    page.setZones(big);
    EXPECT_EQ(page.shapeList().last().kind, 1);
}

TEST_F(DrawZoneTest, CopyAndDeleteFromAShape)
{
    page.setZones(table_of({ellipse(0), ellipse(1), ellipse(2), ellipse(3), ellipse(4)}));
    page.recv_item_delete(7);
    EXPECT_EQ(modal.warningLines(), QStringList{"error|!!! 5 7"});
    page.recv_item_delete(-1);
    EXPECT_EQ(page.shapeList().size(), 5);
    page.recv_item_delete(2);
    ASSERT_EQ(page.shapeList().size(), 4);
    EXPECT_EQ(page.shapeList()[2].zone_id, 3);
    page.recv_item_copy(1);
    page.recv_item_copy(9);   // gone meanwhile: ignored
    page.recv_item_copy(-1);
    ASSERT_EQ(page.shapeList().size(), 5);
    EXPECT_EQ(page.shapeList()[4].zone_id, 1);
    EXPECT_TRUE(page.isDirty());
}

TEST_F(DrawZoneTest, WhatTheViewReportsIsShownAndStored)
{
    page.setZones(table_of({ellipse(0), zone_shape(4, 0, {300, 1200, 3000, 1000}), zone_shape(1, 0, {0, 0, 1000.7, -20.9, 500, 800})}));
    // A sector being dragged (-1) of an unflagged record is stored, not shown.
    ZoneShape sector = page.shapeList()[1];
    sector.param[0] = 455;
    page.fillArgs(1, sector, -1);
    EXPECT_EQ(page.currentRecord(), 0);
    EXPECT_EQ(page.shapeList()[1].param[0], 455);
    // Any other report shows it: angles in degrees with one decimal.
    page.fillArgs(1, sector, 1);
    EXPECT_EQ(page.currentRecord(), 2);
    EXPECT_EQ(fields(), QStringList({"45.5", "120.0", "3000", "1000"}));
    EXPECT_EQ(labels()[0], "Start angle");
    // A flagged record is shown even while dragged, and its flag is cleared.
    ZoneShape e = page.shapeList()[0];
    e.flag = 1;
    e.param[0] = 1234.56;
    e.param[1] = -0.4;
    page.fillArgs(0, e, -1);
    EXPECT_EQ(page.currentRecord(), 1);
    EXPECT_EQ(fields(), QStringList({"1235", "0", "1000", "1000"}));
    EXPECT_EQ(page.shapeList()[0].flag, 0);

    // A polygon report fills the vertex table, truncated; flag 3 (replayed) only stores.
    ZoneShape poly = page.shapeList()[2];
    page.fillTable(2, poly, 2);
    EXPECT_EQ(page.currentRecord(), 3);
    ASSERT_EQ(page.vertexModel()->rowCount(), 3);
    EXPECT_EQ(page.vertexModel()->item(1, 0)->text(), "2");
    EXPECT_EQ(page.vertexModel()->item(1, 1)->text(), "1000");
    EXPECT_EQ(page.vertexModel()->item(1, 2)->text(), "-20");
    page.fillArgs(0, e, 0);
    poly.param[0] = 77;
    page.fillTable(2, poly, 3);
    EXPECT_EQ(page.currentRecord(), 1);
    EXPECT_EQ(page.shapeList()[2].param[0], 77);

    // Reports from shapes whose record went are ignored.
    const QList<ZoneShape> before = page.shapeList();
    page.fillArgs(3, e, 0);
    page.fillArgs(-1, e, 0);
    page.fillTable(7, poly, 2);
    EXPECT_EQ(page.shapeList().size(), before.size());
    EXPECT_EQ(page.currentRecord(), 1);
}

TEST_F(DrawZoneTest, VertexCellsAreBoundedLikeTheFields)
{
    page.setZones(table_of({zone_shape(5, 0, {0, 0, 1000, 0, 500, 800})}));
    page.fillTable(0, page.shapeList()[0], 2);
    EXPECT_EQ(w<QComboBox>("cb_mode")->currentIndex(), 1);
    struct Case {
        int row, col;
        QString text;
        double stored; // the parameter afterwards
        QString shown;
    };
    const Case cases[] = {
        {1, 1, "-250.5", -250.5, "-250.5"},
        {2, 2, "99999", 99999, "99999"},
        {1, 2, "123456", 0, "0"},      // out of range: the cell shows the record again
        {2, 1, "nan", 500, "500"},
        {0, 1, "inf", 0, "0"},
        {0, 2, "text", 0, "0"},
    };
    for (const Case &c : cases) {
        page.vertexModel()->item(c.row, c.col)->setText(c.text);
        EXPECT_DOUBLE_EQ(page.shapeList()[0].param[2 * c.row + c.col - 1], c.stored) << c.text.toStdString();
        EXPECT_EQ(page.vertexModel()->item(c.row, c.col)->text(), c.shown) << c.text.toStdString();
    }
    // The editor itself accepts only numbers within the bounds.
    QTableView *view = w<QTableView>("tableView");
    QWidget *editor = view->itemDelegate()->createEditor(view->viewport(), QStyleOptionViewItem(),
                                                         page.vertexModel()->index(0, 1));
    auto *edit = qobject_cast<QLineEdit *>(editor);
    ASSERT_NE(edit, nullptr);
    EXPECT_FALSE(edit->validator() == nullptr);
    int pos = 0;
    QString big = "123456";
    EXPECT_NE(edit->validator()->validate(big, pos), QValidator::Acceptable);
    delete editor;
}

TEST_F(DrawZoneTest, AreaEditZoneAndDeviceZone)
{
    QTest::mouseClick(w<QPushButton>("pb_ellipse"), Qt::LeftButton);
    auto *area = w<QComboBox>("cb_area");
    emit area->activated(2);
    EXPECT_EQ(page.shapeList()[0].area, 2);
    QSignalSpy edit(&page, &Page_DrawZone::sig_editzone);
    w<QComboBox>("cb_editzone")->setCurrentIndex(10);
    ASSERT_EQ(edit.size(), 1);
    EXPECT_EQ(edit[0][0].toInt(), 10);
    EXPECT_EQ(page.editZone(), 10);
    page.setChangeZone(4);
    EXPECT_EQ(page.deviceZone(), 4);
    EXPECT_EQ(w<QComboBox>("cb_changezone")->currentText(), "4");
    page.setChangeZone(16);
    EXPECT_EQ(page.deviceZone(), 4);
}

namespace {
class DrawZoneLanguages : public ::testing::TestWithParam<const char *> {};
} // namespace

TEST_P(DrawZoneLanguages, EveryTextInTheSystemLanguage)
{
    const bool english = QString(GetParam()) == "English";
    testsupport::ScopedTranslation translation(GetParam());
    ASSERT_TRUE(translation.loaded());
    Page_DrawZone page;
    QTest::mouseClick(page.findChild<QPushButton *>("pb_span"), Qt::LeftButton);
    QStringList texts = testsupport::visible_texts(&page);
    QTest::mouseClick(page.findChild<QPushButton *>("pb_ellipse"), Qt::LeftButton);
    texts << testsupport::visible_texts(&page);
    QTest::mouseClick(page.findChild<QPushButton *>("pb_rect"), Qt::LeftButton);
    texts << testsupport::visible_texts(&page);
    const QRegularExpression word("\\b[a-z]{2,}\\b", QRegularExpression::CaseInsensitiveOption);
    if (english) {
        EXPECT_TRUE(testsupport::cjk_texts(texts).isEmpty())
            << testsupport::cjk_texts(texts).join("\n").toStdString();
        EXPECT_TRUE(texts.contains("pb_setzone: Write zones"));
        EXPECT_TRUE(texts.contains("lb_arg4: Buttom"));
    } else {
        for (const QString &t : texts) {
            const QString text = t.section(": ", 1);
            EXPECT_TRUE(testsupport::has_cjk(text) || !text.contains(word)) << t.toStdString();
        }
        EXPECT_TRUE(texts.contains("pb_setzone: 写入防区"));
        EXPECT_EQ(page.windowTitle(), "防区绘制工具");
    }
}

INSTANTIATE_TEST_SUITE_P(DrawZone, DrawZoneLanguages, ::testing::Values("English", "Chinese"));
