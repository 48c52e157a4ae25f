// The zone table's rules: defaults, the checks before a write or copy with their refusal
// texts, the per-zone budget, and the table travelling through queued connections.

#include "zonetable.h"

#include <QCoreApplication>
#include <QObject>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace ZONEALARM;

namespace {

ZoneShape shape(int kind, std::initializer_list<double> params, int count = 2, int zone = 0)
{
    ZoneShape s;
    s.kind = kind;
    s.zone_id = uint8_t(zone);
    int i = 0;
    for (double p : params)
        s.param[i++] = p;
    s.point_count = count;
    return s;
}

ZoneShape polygon20(int zone)
{
    ZoneShape s;
    s.kind = ZONE_POLYGON;
    s.zone_id = uint8_t(zone);
    for (int j = 0; j < 20; ++j) {
        s.param[2 * j] = 100 + j;
        s.param[2 * j + 1] = 200 + j * j;
    }
    s.point_count = 20;
    return s;
}

const char *const ALL_ZERO = "The current parameter cannot all zero!";
const char *const NO_SECTOR = "The current parameter cannot form a sector!";
const char *const NEAR_10 = "The sector near distance  cannot be less than 10mm";
const char *const NO_RECT = "The current parameter cannot form a rectangle!";

} // namespace

TEST(ZoneTable, RecordsHaveTheDocumentedShape)
{
    ZoneShape s;
    EXPECT_EQ(s.kind, 0);
    EXPECT_EQ(s.point_count, 0);
    EXPECT_EQ(s.flag, 0);
    for (double p : s.param)
        EXPECT_EQ(p, 0.0);
    zones t;
    EXPECT_EQ(t.count, 0);
    EXPECT_EQ(sizeof(t.shapes) / sizeof(t.shapes[0]), 64u);
    EXPECT_EQ(sizeof(s.param) / sizeof(s.param[0]), 40u);
    Point_double p;
    EXPECT_EQ(p.x, 0.0);
    EXPECT_EQ(p.y, 0.0);
}

TEST(ZoneTable, DefaultShapes)
{
    struct Case {
        int kind;
        double p[4];
        int count;
    } cases[] = {
        {ZONE_ELLIPSE, {-1000, -1000, 1000, 1000}, 2},
        {ZONE_RECTANGLE, {-1000, -1000, 1000, 1000}, 2},
        {ZONE_SECTOR, {300, 1200, 3000, 1000}, 2},
        {ZONE_POLYGON, {0, 0, 0, 0}, 0},
        {ZONE_SUBTRACT, {0, 0, 0, 0}, 0},
    };
    for (const Case &c : cases) {
        const ZoneShape s = make_default_shape(c.kind, 7, 2);
        EXPECT_EQ(s.kind, c.kind);
        EXPECT_EQ(s.zone_id, 7);
        EXPECT_EQ(s.area, 2);
        EXPECT_EQ(s.point_count, c.count);
        EXPECT_EQ(s.flag, 0);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(s.param[i], c.p[i]) << "kind " << c.kind << " param " << i;
        for (int i = 4; i < ZONE_PARAMS; ++i)
            EXPECT_EQ(s.param[i], 0.0);
        // Every default the buttons make passes the checks as it is.
        ZoneShape v = s;
        if (c.count) {
            EXPECT_TRUE(validate_zone_shape(v).isEmpty());
        }
    }
}

TEST(ZoneTable, RefusalTexts)
{
    struct Case {
        const char *what;
        ZoneShape s;
        const char *refusal; // nullptr: passes
    } cases[] = {
        {"rectangle all zero", shape(ZONE_RECTANGLE, {0, 0, 0, 0}), ALL_ZERO},
        {"ellipse all zero", shape(ZONE_ELLIPSE, {0, 0, 0, 0}), ALL_ZERO},
        {"sector all zero", shape(ZONE_SECTOR, {0, 0, 0, 0}), ALL_ZERO},
        {"polygon whose first two vertices are (0, 0)", shape(ZONE_POLYGON, {0, 0, 0, 0, 500, 500}, 3), ALL_ZERO},
        {"subtractive polygon without vertices", shape(ZONE_SUBTRACT, {}, 0), ALL_ZERO},
        {"sector start equals end", shape(ZONE_SECTOR, {300, 300, 3000, 1000}), NO_SECTOR},
        {"sector near 5", shape(ZONE_SECTOR, {300, 1200, 3000, 5}), NEAR_10},
        {"sector near 9.9", shape(ZONE_SECTOR, {300, 1200, 3000, 9.9}), NEAR_10},
        {"sector far 5 becomes the near radius", shape(ZONE_SECTOR, {300, 1200, 5, 3000}), NEAR_10},
        {"sector near -20", shape(ZONE_SECTOR, {300, 1200, 3000, -20}), nullptr},
        {"sector near 10", shape(ZONE_SECTOR, {300, 1200, 3000, 10}), nullptr},
        {"sector radii reversed", shape(ZONE_SECTOR, {300, 1200, 1000, 3000}), nullptr},
        {"rectangle bottom equals top", shape(ZONE_RECTANGLE, {500, -1000, 500, 1000}), NO_RECT},
        {"rectangle left equals right", shape(ZONE_RECTANGLE, {-1000, 500, 1000, 500}), NO_RECT},
        {"rectangle", shape(ZONE_RECTANGLE, {-1000, -1000, 1000, 1000}), nullptr},
        {"ellipse centre x equals width", shape(ZONE_ELLIPSE, {1000, 0, 1000, 500}), nullptr},
        {"polygon", shape(ZONE_POLYGON, {0, 0, 1000, 0, 0, 1000}, 3), nullptr},
        {"record of an unknown kind", shape(9, {1, 2, 3, 4}), nullptr},
    };
    for (Case &c : cases) {
        const QString got = validate_zone_shape(c.s);
        if (c.refusal)
            EXPECT_EQ(got.toStdString(), c.refusal) << c.what;
        else
            EXPECT_TRUE(got.isEmpty()) << c.what << ": " << got.toStdString();
    }
    EXPECT_EQ(zone_refusal_title().toStdString(), "error");
    EXPECT_EQ(zone_count_refusal().toStdString(), "The number of alarm zones more than the maximum limit!");
}

TEST(ZoneTable, SectorRadiiAreExchangedInTheRecord)
{
    ZoneShape s = shape(ZONE_SECTOR, {300, 1200, 1000, 3000});
    EXPECT_TRUE(validate_zone_shape(s).isEmpty());
    EXPECT_EQ(s.param[2], 3000.0);
    EXPECT_EQ(s.param[3], 1000.0);

    ZoneShape equal = shape(ZONE_SECTOR, {300, 1200, 2000, 2000});
    EXPECT_TRUE(validate_zone_shape(equal).isEmpty());
    EXPECT_EQ(equal.param[2], 2000.0);
    EXPECT_EQ(equal.param[3], 2000.0);

    // The exchange made by a table check stays in the table that is written.
    zones t;
    t.count = 1;
    t.shapes[0] = shape(ZONE_SECTOR, {300, 1200, 1000, 3000});
    EXPECT_TRUE(validate_zone_table(t).isEmpty());
    EXPECT_EQ(t.shapes[0].param[2], 3000.0);
    EXPECT_EQ(t.shapes[0].param[3], 1000.0);
}

TEST(ZoneTable, EntrySizes)
{
    EXPECT_EQ(zone_entry_size(shape(ZONE_RECTANGLE, {1, 2, 3, 4})), 20);
    EXPECT_EQ(zone_entry_size(shape(ZONE_ELLIPSE, {1, 2, 3, 4})), 20);
    EXPECT_EQ(zone_entry_size(shape(ZONE_SECTOR, {1, 2, 3, 4})), 20);
    EXPECT_EQ(zone_entry_size(shape(ZONE_POLYGON, {1, 2, 3, 4, 5, 6}, 3)), 28);
    EXPECT_EQ(zone_entry_size(polygon20(0)), 164);
    EXPECT_EQ(zone_entry_size(shape(ZONE_SUBTRACT, {}, 0)), 0);
    EXPECT_EQ(zone_entry_size(shape(ZONE_POLYGON, {}, 35)), 164); // at most 20 vertices are written
    EXPECT_EQ(zone_entry_size(shape(6, {1, 2, 3, 4})), 0);
}

TEST(ZoneTable, BudgetPerZoneId)
{
    struct Case {
        const char *what;
        std::vector<ZoneShape> shapes;
        const char *refusal;
    };
    std::vector<ZoneShape> five, six, rects48, rects49, two_zones;
    for (int i = 0; i < 5; ++i)
        five.push_back(polygon20(3));
    six = five;
    six.push_back(polygon20(3));
    for (int i = 0; i < 48; ++i)
        rects48.push_back(shape(ZONE_RECTANGLE, {0, 0, 100.0 + i, 100}, 2, 10));
    rects49 = rects48;
    rects49.push_back(shape(ZONE_RECTANGLE, {0, 0, 500, 100}, 2, 10));
    // Zones 12 and 5 are both over: the lower id is named.
    for (int i = 0; i < 6; ++i) {
        two_zones.push_back(polygon20(12));
        two_zones.push_back(polygon20(5));
    }
    std::vector<ZoneShape> spread; // six 20-vertex polygons over two ids
    for (int i = 0; i < 6; ++i)
        spread.push_back(polygon20(i % 2));

    const Case cases[] = {
        {"five 20-vertex polygons", five, nullptr},
        {"six 20-vertex polygons", six, "Zone ID:3:The number of alarm zones more than the maximum limit!"},
        {"48 rectangles fill the block", rects48, nullptr},
        {"49 rectangles do not fit", rects49, "Zone ID:A:The number of alarm zones more than the maximum limit!"},
        {"two zones over", two_zones, "Zone ID:5:The number of alarm zones more than the maximum limit!"},
        {"six polygons over two ids", spread, nullptr},
    };
    for (const Case &c : cases) {
        const QString got = check_zone_budget(c.shapes.data(), int(c.shapes.size()));
        if (c.refusal)
            EXPECT_EQ(got.toStdString(), c.refusal) << c.what;
        else
            EXPECT_TRUE(got.isEmpty()) << c.what << ": " << got.toStdString();
    }
    EXPECT_EQ(zone_budget_used(five.data(), 5, 3), 820);
    EXPECT_EQ(zone_budget_used(rects48.data(), 48, 10), 960);
}

TEST(ZoneTable, TableChecksRunInOrder)
{
    zones t;
    EXPECT_TRUE(validate_zone_table(t).isEmpty()); // an empty table is valid

    t.count = 65;
    EXPECT_EQ(validate_zone_table(t), zone_count_refusal());
    t.count = -1;
    EXPECT_EQ(validate_zone_table(t), zone_count_refusal());

    // The first failing record wins over a later one and over the budget.
    t = zones();
    for (int i = 0; i < 6; ++i)
        t.shapes[t.count++] = polygon20(1);
    t.shapes[t.count++] = shape(ZONE_RECTANGLE, {5, 1, 5, 2});
    t.shapes[t.count++] = shape(ZONE_SECTOR, {1, 1, 3, 4});
    EXPECT_EQ(validate_zone_table(t).toStdString(), NO_RECT);
    t.shapes[6] = shape(ZONE_RECTANGLE, {5, 1, 6, 2});
    EXPECT_EQ(validate_zone_table(t).toStdString(), NO_SECTOR);
    t.shapes[7] = shape(ZONE_SECTOR, {1, 2, 300, 40});
    EXPECT_EQ(validate_zone_table(t).toStdString(),
              "Zone ID:1:The number of alarm zones more than the maximum limit!");
    t.count = 5 + 2;
    t.shapes[5] = shape(ZONE_RECTANGLE, {5, 1, 6, 2});
    t.shapes[6] = shape(ZONE_SECTOR, {1, 2, 300, 40});
    EXPECT_TRUE(validate_zone_table(t).isEmpty());
}

// A table travels by value through queued connections under both of its spellings.
class ZoneSender : public QObject {
    Q_OBJECT
signals:
    void sig_plain(zones data);
    void sig_qualified(int flag, ZONEALARM::zones data);
};

class ZoneReceiver : public QObject {
    Q_OBJECT
public slots:
    void on_plain(zones data) { plain = data; ++calls; }
    void on_qualified(int flag, ZONEALARM::zones data)
    {
        qualified = data;
        last_flag = flag;
        ++calls;
    }

public:
    zones plain, qualified;
    int last_flag = 0;
    int calls = 0;
};

TEST(ZoneTable, MetaTypeUnderBothNames)
{
    register_zone_meta_types();
    register_zone_meta_types(); // twice is harmless
    const int id = qMetaTypeId<ZONEALARM::zones>();
    EXPECT_EQ(QMetaType::type("zones"), id);
    EXPECT_EQ(QMetaType::type("ZONEALARM::zones"), id);

    ZoneSender tx;
    ZoneReceiver rx;
    ASSERT_TRUE(QObject::connect(&tx, SIGNAL(sig_plain(zones)), &rx, SLOT(on_plain(zones)), Qt::QueuedConnection));
    ASSERT_TRUE(QObject::connect(&tx, &ZoneSender::sig_qualified, &rx, &ZoneReceiver::on_qualified,
                                 Qt::QueuedConnection));
    zones t;
    t.count = 2;
    t.shapes[0] = make_default_shape(ZONE_SECTOR, 4, 1);
    t.shapes[1] = polygon20(15);
    t.shapes[1].flag = 1;
    emit tx.sig_plain(t);
    emit tx.sig_qualified(10, t);
    t.count = 0; // the receivers hold copies
    QCoreApplication::processEvents();
    ASSERT_EQ(rx.calls, 2);
    EXPECT_EQ(rx.last_flag, 10);
    for (const zones *z : {&rx.plain, &rx.qualified}) {
        EXPECT_EQ(z->count, 2);
        EXPECT_EQ(z->shapes[0].param[1], 1200.0);
        EXPECT_EQ(z->shapes[0].zone_id, 4);
        EXPECT_EQ(z->shapes[1].param[39], 200.0 + 19 * 19);
        EXPECT_EQ(z->shapes[1].flag, 1);
    }
}

#include "test_zonetable.moc"
