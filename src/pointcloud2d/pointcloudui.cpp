#include "pointcloudui.h"

#include "ui_pointcloudui.h"

#include "bgraphicsitem.h"
#include "graphics_item_data.h"
#include "graphics_scene.h"
#include "graphics_view.h"
#include "messagebox.h"
#include "page_drawzone.h"
#include "tracelog.h"
#include "zonemodalscope.h"

#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

// A drawing must stay within 40 m of the sensor.
constexpr double kMaxDrawMm = 40000.0;

int replayable_vertices(const ZONEALARM::ZoneShape &r)
{
    return std::max(0, std::min(r.point_count, int(ZONEALARM::ZONE_MAX_VERTICES)));
}

} // namespace

PointCloudUI::PointCloudUI(QWidget *parent) : QWidget(parent), ui(new Ui_PointCloudUI)
{
    register_zone_meta_types();
    ui->setupUi(this);
    setWindowTitle(tr("detect zone draw"));
    setAttribute(Qt::WA_MouseTracking);
    // The readout follows the mouse, not only while a button is down: the view's viewport
    // tracks it too (Qt turns that on by itself only once an item with a cursor is shown).
    ui->graphicsView->viewport()->setMouseTracking(true);

    m_scene = new Graphics_scene;
    m_scene->setSceneRect(-1073741824, -1073741824, 2147483647, 2147483647);
    m_scene->setBackgroundBrush(QBrush(QColor(0, 0, 0, 255)));

    m_item = new Graphics_Item_Data;
    m_item->setPos(0, 0);
    m_item->setRange(0);
    m_scene->addItem(m_item);
    m_item->setZValue(0);
    ui->graphicsView->setScene(m_scene);
    m_item->setGridMode(1);
    m_factor = m_item->factor();

    connect(m_item, &Graphics_Item_Data::sig_factor, this, &PointCloudUI::recv_factor,
            Qt::UniqueConnection);
    connect(m_item, &Graphics_Item_Data::sig_synScenePos, this, &PointCloudUI::recv_synScenePos,
            Qt::UniqueConnection);
    connect(ui->graphicsView, &Graphics_view::sig_mouseMovePoint, this,
            &PointCloudUI::recv_mouseMovePoint, Qt::UniqueConnection);
    connect(ui->graphicsView, &Graphics_view::sig_mouseMoveFrag, this,
            &PointCloudUI::recv_mouseMoveFrag, Qt::UniqueConnection);

    m_timer = new QTimer(this);
    connect(m_timer, &QTimer::timeout, this, &PointCloudUI::recv_refresh2);
    m_timer->start(100);
}

PointCloudUI::~PointCloudUI()
{
    m_timer->stop();
    ui->graphicsView->setScene(nullptr);
    delete m_scene; // the radar item and the shapes go with it
    delete ui;
}

Page_DrawZone *PointCloudUI::drawZone() const
{
    return m_drawZone;
}

Graphics_view *PointCloudUI::graphicsView() const
{
    return ui->graphicsView;
}

QList<BGraphicsItem *> PointCloudUI::shapes() const
{
    QList<BGraphicsItem *> out;
    for (QGraphicsItem *it : m_scene->items(Qt::AscendingOrder))
        if (it->parentItem() == nullptr && it->type() >= 1 && it->type() <= 5)
            out << static_cast<BGraphicsItem *>(it);
    std::sort(out.begin(), out.end(),
              [](BGraphicsItem *a, BGraphicsItem *b) { return a->uuid() < b->uuid(); });
    return out;
}

// ---- setters ------------------------------------------------------------------------------

void PointCloudUI::setDrawZone(Page_DrawZone *drawZone)
{
    m_drawZone = drawZone;
    if (drawZone == nullptr)
        return;
    connect(drawZone, &Page_DrawZone::sig_zonearg, drawZone,
            [this](zones data) { onZoneArg(data); }, Qt::DirectConnection);
    connect(drawZone, &Page_DrawZone::sig_editzone, drawZone, [this](int) { markDirty(); },
            Qt::DirectConnection);
}

void PointCloudUI::setPoints(std::vector<UserPointData> points)
{
    m_item->setPoints(std::move(points));
}

void PointCloudUI::clearPoints()
{
    m_item->clearPoints();
}

void PointCloudUI::setObjects(int show, std::vector<TrackedObject> objects)
{
    m_item->setObjects(show, std::move(objects));
}

void PointCloudUI::setClassNames(std::function<QString(int)> names)
{
    m_item->setClassNames(std::move(names));
}

void PointCloudUI::setShowObjects(int show)
{
    m_item->m_showObjects = uint8_t(show);
    m_item->update();
}

void PointCloudUI::setAlarm(int zone, QString text)
{
    m_item->setAlarm(zone, text);
}

void PointCloudUI::setBackground(QColor color)
{
    m_item->setBackground(color);
}

void PointCloudUI::setPointSize(int size)
{
    m_item->m_pointSize = size;
    m_item->update();
}

void PointCloudUI::setScanDirection(int direction)
{
    m_direction = uint8_t(direction);
    m_item->m_direction = m_direction;
    m_item->update();
}

void PointCloudUI::setscancenter(bool reset)
{
    const QSize size = ui->graphicsView->viewport()->size();
    if (reset) {
        m_item->setPos(0, 0);
        QV_TRACE() << "viewport" << size;
        m_item->setRange(0);
        m_offset = QPoint(0, 0);
    }
    m_item->resizeView(reset, size);
    m_redraw = Rebuild;
}

void PointCloudUI::onZoneArg(zones data)
{
    if (data.count < 0 || data.count > ZONEALARM::ZONE_MAX_SHAPES)
        return;
    m_zones = data;
    m_redraw = Rebuild;
}

void PointCloudUI::markDirty()
{
    m_redraw = Rebuild;
}

// ---- slots --------------------------------------------------------------------------------

void PointCloudUI::recv_factor(double factor)
{
    m_factor = factor;
    m_redraw = Rebuild;
}

void PointCloudUI::recv_refresh2()
{
    const bool due = m_redraw == Rebuild || (m_redraw == RebuildAfterDrag && !m_mousePressed);
    // A menu or warning of a shape, of this view or of the editor is open: the code that opened
    // it may belong to a shape the rebuild would delete. The rebuild waits for it to close.
    if (due && !ZoneModalScope::active()) {
        // Idle first: whatever asks for a rebuild while this one runs (inside its warning) is
        // kept for the next tick.
        m_redraw = Idle;
        const zones copy = m_zones;
        recv_zonearg(copy);
    }
    m_curSize = ui->graphicsView->viewport()->size();
    const QPointF centre((m_curSize.width() - m_prevSize.width()) * 0.5,
                         (m_curSize.height() - m_prevSize.height()) * 0.5);
    m_offset = m_item->positionOffset().toPoint();
    m_factor = m_item->factor();
    m_prevSize = m_curSize;
    ui->graphicsView->centerOn(centre);
}

void PointCloudUI::recv_refresh()
{
    m_redraw = Rebuild;
}

void PointCloudUI::recv_synScenePos(QPointF point)
{
    m_offset = point.toPoint();
    m_redraw = Rebuild;
}

void PointCloudUI::recv_mouseMovePoint(QPoint pos)
{
    const QRect r = ui->graphicsView->rect();
    const int w = r.width(), h = r.height();
    m_item->m_cursorX = (pos.x() - w / 2 - m_offset.x()) / m_factor;
    m_item->m_cursorY = (h / 2 + m_offset.y() - pos.y()) / m_factor;
    m_item->update();
}

void PointCloudUI::recv_mouseMoveFrag(bool flag)
{
    m_mousePressed = flag;
}

void PointCloudUI::recv_zoneCmd(int, zones) {}

void PointCloudUI::recv_zoneData(zones data)
{
    if (m_drawZone != nullptr)
        m_drawZone->setZones(data);
    recv_zonearg(data);
}

// ---- rebuilding the shapes ----------------------------------------------------------------

void PointCloudUI::recv_zonearg(zones data)
{
    m_factor = m_item->factor();
    if (data.count < 0 || data.count > ZONEALARM::ZONE_MAX_SHAPES)
        return;
    m_zones = data;
    if (ZoneModalScope::active()) {
        // A handler of a shape may be on the stack below the open menu or warning.
        m_redraw = Rebuild;
        return;
    }
    if (m_drawZone == nullptr)
        return;
    m_filters.clear();

    // The shapes first, then their deletion: each takes its handles (also in the scene's
    // list) with it.
    QList<QGraphicsItem *> doomed;
    for (QGraphicsItem *it : m_scene->items())
        if (it->parentItem() == nullptr && it->type() >= 1 && it->type() <= 5)
            doomed << it;
    for (QGraphicsItem *it : qAsConst(doomed)) {
        m_scene->removeItem(it);
        delete it;
    }

    const int zone = m_drawZone->editZone();
    bool tooFar = false;
    for (int i = 0; i < m_zones.count; ++i) {
        const ZONEALARM::ZoneShape &r = m_zones.shapes[i];
        if (r.zone_id != zone)
            continue;
        if (r.point_count != 0 &&
            std::any_of(r.param, r.param + 4, [](double p) { return p > kMaxDrawMm; }))
            tooFar = true;
        if (r.kind == ZONEALARM::ZONE_SUBTRACT) {
            QVector<QPointF> poly;
            for (int j = 0; j < replayable_vertices(r); ++j)
                poly << QPointF(r.param[2 * j], -r.param[2 * j + 1]);
            m_filters << poly;
        }
    }
    if (tooFar) {
        // Once per rebuild; the records are drawn all the same. The table may be the device's,
        // read back as often as it answers: one such box at a time.
        ZoneModalScope modal;
        show_network_warning(nullptr, tr("error"),
                             tr("Maximum distance of graphic drawing cannot exceed 40 meters!"),
                             QMessageBox::Ok);
    }

    bool capture = false;
    bool replayed = false;
    for (int i = 0; i < m_zones.count; ++i) {
        ZONEALARM::ZoneShape &r = m_zones.shapes[i];
        if (r.zone_id != zone)
            continue;
        const double *p = r.param;
        BGraphicsItem *shape = nullptr;
        switch (r.kind) {
        case ZONEALARM::ZONE_ELLIPSE:
            shape = new BEllipse(p[0], p[1], p[2], p[3], r.area, i, m_factor, m_offset, r.kind,
                                 m_filters);
            break;
        case ZONEALARM::ZONE_RECTANGLE:
            shape = new BRectangle(p[0], p[1], p[2], p[3], r.area, i, m_factor, m_offset, r.kind,
                                   m_filters);
            break;
        case ZONEALARM::ZONE_SECTOR:
            if (r.param[3] > r.param[2])
                std::swap(r.param[2], r.param[3]);
            shape = new BConcentricSector(0, 0, p[2], p[3], 900 - p[0], 900 - p[1], r.area, i,
                                          m_factor, m_offset, r.kind, m_filters);
            break;
        case ZONEALARM::ZONE_POLYGON:
        case ZONEALARM::ZONE_SUBTRACT:
            shape = new BPolygon(r.area, i, m_factor, m_offset, r.kind, m_filters);
            connect(m_scene, &Graphics_scene::updatePoint, static_cast<BPolygon *>(shape),
                    &BPolygon::pushPoint, Qt::UniqueConnection);
            break;
        default:
            continue;
        }
        connectShape(shape, r.kind);
        if (r.kind == ZONEALARM::ZONE_POLYGON || r.kind == ZONEALARM::ZONE_SUBTRACT) {
            if (r.point_count == 0) {
                capture = true; // the user draws this one now
            } else {
                replayPolygon(shape, i);
                replayed = true;
            }
            shape->setCacheMode(QGraphicsItem::DeviceCoordinateCache);
        }
        m_scene->addItem(shape);
    }
    // An empty polygon keeps the capture on even when a finished one is replayed after it.
    if (capture)
        m_scene->startCapture();
    else if (replayed)
        m_scene->stopCapture();
}

void PointCloudUI::replayPolygon(BGraphicsItem *shape, int index)
{
    auto *poly = static_cast<BPolygon *>(shape);
    const ZONEALARM::ZoneShape r = m_zones.shapes[index];
    const QPointF at = poly->pos();
    QList<QPointF> list;
    for (int j = 0; j < replayable_vertices(r); ++j) {
        const double x = r.param[2 * j], y = r.param[2 * j + 1];
        const QPointF p(m_offset.x() + x * m_factor - at.x(),
                        m_offset.y() - (y * m_factor + at.y()));
        list << p;
        poly->pushPoint(p, list, 0);
    }
    if (index == m_subIndex) {
        // Shown to the user once more as just finished (flag 2); reset after the report, which
        // names it again, so that the next rebuild replays it like any other.
        poly->pushPoint(list.first(), list, 1);
        m_subIndex = -1;
    } else {
        poly->pushPoint(list.first(), list, 2);
    }
}

void PointCloudUI::connectShape(BGraphicsItem *shape, int kind)
{
    Page_DrawZone *editor = m_drawZone;
    connect(shape, &BGraphicsItem::sig_copy, shape,
            [editor](int uuid) {
                if (editor != nullptr)
                    editor->recv_item_copy(uuid);
            },
            Qt::DirectConnection);
    connect(shape, &BGraphicsItem::sig_delete, shape,
            [editor](int uuid) {
                if (editor != nullptr)
                    editor->recv_item_delete(uuid);
            },
            Qt::DirectConnection);
    connect(shape, &BGraphicsItem::sig_filter, shape,
            [this] {
                if (m_drawZone != nullptr)
                    m_drawZone->addFilterPolygon();
                m_redraw = Rebuild;
            },
            Qt::DirectConnection);
    connect(shape, &BGraphicsItem::sig_refresh, shape, [this] { m_redraw = Rebuild; },
            Qt::DirectConnection);
    connect(shape, &BGraphicsItem::sig_syn, shape,
            [this, kind](Point_double *data, int size, int uuid, int flag) {
                writeBack(kind, data, size, uuid, flag);
            },
            Qt::DirectConnection);
}

void PointCloudUI::writeBack(int kind, const Point_double *data, int size, int uuid, int flag)
{
    // A shape outlives no rebuild, but its record may have gone from a shorter copy since.
    if (uuid < 0 || uuid >= m_zones.count)
        return;
    ZONEALARM::ZoneShape &r = m_zones.shapes[uuid];
    switch (kind) {
    case ZONEALARM::ZONE_ELLIPSE:
        for (int j = 0; j < std::min(size, ZONEALARM::ZONE_PARAMS / 2); ++j) {
            r.param[2 * j] = data[j].x;
            r.param[2 * j + 1] = data[j].y;
        }
        if (m_drawZone != nullptr)
            m_drawZone->fillArgs(uuid, r, flag);
        break;
    case ZONEALARM::ZONE_RECTANGLE:
        if (size < 2)
            return;
        r.param[0] = data[0].x;
        r.param[1] = data[0].y;
        r.param[2] = data[1].x;
        r.param[3] = data[1].y;
        if (m_drawZone != nullptr)
            m_drawZone->fillArgs(uuid, r, flag);
        m_scene->update();
        break;
    case ZONEALARM::ZONE_SECTOR:
        if (size < 2)
            return;
        r.param[0] = std::round(data[0].x);
        r.param[1] = std::round(data[0].y);
        r.param[2] = data[1].x;
        r.param[3] = data[1].y;
        if (m_drawZone != nullptr)
            m_drawZone->fillArgs(uuid, r, flag);
        if (flag == -1)
            m_redraw = RebuildAfterDrag;
        break;
    case ZONEALARM::ZONE_POLYGON:
    case ZONEALARM::ZONE_SUBTRACT: {
        if (size <= 0) {
            m_scene->stopCapture();
            m_redraw = Rebuild;
            return;
        }
        // A record holds 20 vertices; a drawing of more is refused by the shape itself.
        const int n = std::min(size, int(ZONEALARM::ZONE_MAX_VERTICES));
        for (int j = 0; j < ZONEALARM::ZONE_PARAMS / 2; ++j) {
            r.param[2 * j] = j < n ? data[j].x : 0.0;
            r.param[2 * j + 1] = j < n ? -data[j].y : 0.0;
        }
        r.point_count = n;
        if (flag == 2 && r.kind == ZONEALARM::ZONE_SUBTRACT) {
            m_subIndex = uuid;
            m_redraw = Rebuild;
        }
        if (m_drawZone != nullptr)
            m_drawZone->fillTable(uuid, r, flag);
        break;
    }
    default:
        break;
    }
}
