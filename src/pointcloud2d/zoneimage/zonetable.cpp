#include "zonetable.h"

#include <QCoreApplication>
#include <QDebug>
#include <cmath>
#include <utility>

void register_zone_meta_types()
{
    qRegisterMetaType<ZONEALARM::zones>("zones");
    qRegisterMetaType<ZONEALARM::zones>("ZONEALARM::zones");
    qRegisterMetaType<Point_double>("Point_double");
}

namespace ZONEALARM {

namespace {

// The refusals are the zone editor's texts; they are translated in its context.
QString tr_editor(const char *text)
{
    return QCoreApplication::translate("Page_DrawZone", text);
}

} // namespace

QString zone_refusal_title()
{
    return tr_editor(QT_TRANSLATE_NOOP("Page_DrawZone", "error"));
}

QString zone_count_refusal()
{
    return tr_editor(QT_TRANSLATE_NOOP("Page_DrawZone", "The number of alarm zones more than the maximum limit!"));
}

ZoneShape make_default_shape(int kind, int zone_id, int area)
{
    ZoneShape s;
    s.kind = kind;
    s.zone_id = uint8_t(zone_id);
    s.area = uint8_t(area);
    switch (kind) {
    case ZONE_ELLIPSE:   // centre (-1000, -1000), 1000 wide, 1000 high
    case ZONE_RECTANGLE: // bottom -1000, left -1000, top 1000, right 1000
        s.param[0] = -1000;
        s.param[1] = -1000;
        s.param[2] = 1000;
        s.param[3] = 1000;
        s.point_count = 2;
        break;
    case ZONE_SECTOR: // 30.0 to 120.0 degrees, far 3000, near 1000
        s.param[0] = 300;
        s.param[1] = 1200;
        s.param[2] = 3000;
        s.param[3] = 1000;
        s.point_count = 2;
        break;
    default: // polygons get their vertices from the 2D view as the user clicks them
        s.point_count = 0;
        break;
    }
    return s;
}

QString validate_zone_shape(ZoneShape &shape)
{
    double *p = shape.param;
    if (p[0] == 0 && p[1] == 0 && p[2] == 0 && p[3] == 0)
        return tr_editor(QT_TRANSLATE_NOOP("Page_DrawZone", "The current parameter cannot all zero!"));
    switch (shape.kind) {
    case ZONE_SECTOR:
        if (p[0] == p[1])
            return tr_editor(QT_TRANSLATE_NOOP("Page_DrawZone", "The current parameter cannot form a sector!"));
        if (p[2] <= p[3])
            std::swap(p[2], p[3]); // far must be the larger radius; equal radii stay as they are
        if (std::fabs(p[3]) < 10)
            return tr_editor(QT_TRANSLATE_NOOP("Page_DrawZone", "The sector near distance  cannot be less than 10mm"));
        return QString();
    case ZONE_RECTANGLE:
        if (p[0] == p[2] || p[1] == p[3])
            return tr_editor(QT_TRANSLATE_NOOP("Page_DrawZone", "The current parameter cannot form a rectangle!"));
        return QString();
    default:
        return QString();
    }
}

int zone_entry_size(const ZoneShape &shape)
{
    switch (shape.kind) {
    case ZONE_RECTANGLE:
    case ZONE_ELLIPSE:
    case ZONE_SECTOR:
        return 4 + 4 * 4;
    case ZONE_POLYGON:
    case ZONE_SUBTRACT: {
        int n = shape.point_count;
        if (n <= 0)
            return 0;
        if (n > ZONE_MAX_VERTICES)
            n = ZONE_MAX_VERTICES;
        return 4 + 8 * n;
    }
    default:
        return 0;
    }
}

int zone_budget_used(const ZoneShape *shapes, int count, int zone_id)
{
    int used = 0;
    for (int i = 0; i < count; ++i)
        if (shapes[i].zone_id == zone_id)
            used += zone_entry_size(shapes[i]);
    return used;
}

QString check_zone_budget(const ZoneShape *shapes, int count)
{
    for (int id = 0; id < ZONE_IDS; ++id) {
        const int used = zone_budget_used(shapes, count, id);
        if (used > 0)
            qDebug() << "zone" << id << "definition bytes" << used;
        // The device keeps the definitions of one zone id in a 960-byte block; a table whose
        // entries do not fit would come back from the device without its last shapes.
        if (used > ZONE_DEF_BLOCK)
            return tr_editor(QT_TRANSLATE_NOOP("Page_DrawZone", "Zone ID:%1:The number of alarm zones more than the maximum limit!"))
                .arg(QString::number(id, 16).toUpper());
    }
    return QString();
}

QString validate_zone_table(zones &table)
{
    if (table.count < 0 || table.count > ZONE_MAX_SHAPES)
        return zone_count_refusal();
    for (int i = 0; i < table.count; ++i) {
        const QString refusal = validate_zone_shape(table.shapes[i]);
        if (!refusal.isEmpty())
            return refusal;
    }
    return check_zone_budget(table.shapes, table.count);
}

} // namespace ZONEALARM
