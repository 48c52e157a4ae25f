#include "graphics_item_data.h"

#include "colorhelpers.h"

#include <QFontMetricsF>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsSceneWheelEvent>
#include <QPaintDevice>
#include <QPainter>
#include <QTimerEvent>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.1415926535898;
constexpr int kHalfSideMm = 64000; // the item covers about +-64 m at any ring step
constexpr int kCell = 100;         // scene units per grid cell

// Colour slots of one paint: intensities 0..255, every intensity above (their colour
// saturates to the same red), and selected points.
constexpr int kSaturatedSlot = 256;
constexpr int kSelectedSlot = 257;
constexpr int kColourSlots = 258;

int colour_slot(const UserPointData &p)
{
    if (p.selected)
        return kSelectedSlot;
    return p.intensity > 255 ? kSaturatedSlot : int(p.intensity);
}

int clamp_channel(double c)
{
    return int(std::min(255.0, std::max(0.0, c)));
}

QColor slot_colour(int slot)
{
    if (slot == kSelectedSlot)
        return QColor(255, 255, 255);
    double rgb[3];
    value_to_rgb(slot, rgb);
    // Intensities above 255 give channels outside 0..255; they show as the colour's limit.
    return QColor(clamp_channel(rgb[0]), clamp_channel(rgb[1]), clamp_channel(rgb[2]), 255);
}

QPen point_pen(const QColor &c, int width)
{
    return QPen(QBrush(c), width, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

// k in [0, last] with lo <= sign * k * d <= hi, as [first, end) (empty when first >= end).
void k_range(double lo, double hi, double d, int sign, int last, int *first, int *end)
{
    double a = sign > 0 ? lo / d : -hi / d;
    double b = sign > 0 ? hi / d : -lo / d;
    a = std::max(0.0, std::ceil(a));
    b = std::min(double(last), std::floor(b));
    *first = int(a);
    *end = b < a ? int(a) : int(b) + 1;
}

} // namespace

Graphics_Item_Data::Graphics_Item_Data(QGraphicsItem *parent)
    : QObject(nullptr), QGraphicsItem(parent)
{
    m_rect = QRect(-m_range, -m_range, 2 * m_range, 2 * m_range);
    m_steps = {10, 20, 50, 100, 200, 500, 1000, 2000, 5000};
    m_buckets.resize(kColourSlots);
    setProperty("Class", QStringLiteral("Graphics_Item_Data"));
    setFlags(ItemIsMovable | ItemIsSelectable | ItemSendsGeometryChanges);
    m_timerId = startTimer(200, Qt::CoarseTimer);
}

QRectF Graphics_Item_Data::boundingRect() const
{
    return QRectF(m_rect);
}

void Graphics_Item_Data::setRange(int)
{
    m_step = 1000;
    m_factor = double(m_range) / m_rings / m_step;
    prepareGeometryChange();
    m_rect = QRect(-m_range, -m_range, 2 * m_range, 2 * m_range);
}

void Graphics_Item_Data::applyStep()
{
    m_rings = kHalfSideMm / m_step;
    m_range = m_rings * kCell;
    prepareGeometryChange();
    m_rect = QRect(-m_range, -m_range, 2 * m_range, 2 * m_range);
    m_factor = double(m_range) / m_rings / m_step;
}

void Graphics_Item_Data::setPoints(std::vector<UserPointData> points)
{
    m_points.clear();
    m_points.reserve(points.size());
    float min360 = 360.0f, max360 = 0.0f, min180 = 180.0f, max180 = -180.0f;
    for (const UserPointData &p : points) {
        if (p.x == 0.0f && p.y == 0.0f)
            continue;
        const float l = float(std::atan2(p.y, p.x) * 180.0f / kPi);
        const float m = l < 0 ? l + 360.0f : l;
        min360 = std::min(min360, m);
        max360 = std::max(max360, m);
        min180 = std::min(min180, l);
        max180 = std::max(max180, l);
        UserPointData q = p;
        q.y = -q.y;
        m_points.push_back(q);
    }
    // A frame without a point off the origin covers no bearing: no wedge, rather than the
    // full disc its untouched bounds would describe.
    m_fovValid = !m_points.empty();
    if (max360 - min360 > 180.0f) {
        // The bearings straddle +x: measure them from -180 instead.
        m_fovStart = min180;
        m_fovSpan = max180 - min180;
    } else {
        m_fovStart = min360;
        m_fovSpan = max360 - min360;
    }
    update();
}

void Graphics_Item_Data::clearPoints()
{
    m_points.clear();
    update();
}

void Graphics_Item_Data::setObjects(int show, std::vector<TrackedObject> objects)
{
    m_showObjects = uint8_t(show);
    m_objects.swap(objects);
    update();
}

void Graphics_Item_Data::setClassNames(std::function<QString(int)> names)
{
    m_classNames = std::move(names);
    update();
}

QString Graphics_Item_Data::className(int classIndex) const
{
    return m_classNames ? m_classNames(classIndex) : QStringLiteral("unknown");
}

void Graphics_Item_Data::setAlarm(int zone, QString text)
{
    m_alarmZone = zone;
    m_alarmText = text;
    m_tick = 0;
    update();
}

void Graphics_Item_Data::setBackground(QColor color)
{
    m_background = color;
    update();
}

void Graphics_Item_Data::setGridMode(int mode)
{
    m_gridMode = mode;
    update();
}

void Graphics_Item_Data::resizeView(bool reset, QSize size)
{
    if (reset) {
        m_posOffset = QPointF(0, 0);
        m_step = 1000;
    }
    m_viewRect.setSize(size);
    update();
}

int Graphics_Item_Data::ringStepDelta(int step, bool coarser) const
{
    const QVector<int> &l = m_steps;
    if (coarser) {
        for (int i = 0; i + 1 < l.size(); ++i)
            if (l[i] <= step && step < l[i + 1])
                return l[i + 1] / 10;
        return step < l.first() ? 2 : 0;
    }
    for (int i = 0; i + 1 < l.size(); ++i)
        if (l[i] < step && step <= l[i + 1])
            return l[i + 1] / 10;
    if (step < l.first())
        return 0;
    return step > l.last() ? 500 : 0;
}

double Graphics_Item_Data::readoutAngle(double x, double y, int direction)
{
    double angle = 90.0 - std::atan2(y, x) * 180.0 / kPi;
    // kPi is a hair above pi, so straight ahead leaves 2e-13 instead of 0: that is forward too.
    if (angle <= 1e-9)
        angle += 360.0;
    if (direction == 1)
        angle = 360.0 - angle;
    return angle;
}

// ---- painting ----------------------------------------------------------------------------
//
// Only what the painted area shows is drawn: at the finest ring step the grid has 6400 rings
// per half side (25,600 lines and as many labels), of which a screen shows a few dozen.

void Graphics_Item_Data::paintGrid(QPainter *painter, const QRectF &visible)
{
    painter->save();
    painter->setPen(QPen(QBrush(Qt::white), 0.3));
    const int w = int(m_rect.width()), h = int(m_rect.height());
    const int dx = (w / 2) / m_rings;
    const int dy = (h / 2) / m_rings;
    const double m = 2.0; // half the pen and the antialiased pixel around it
    const bool xSpan = visible.right() >= -w / 2 - m && visible.left() <= w / 2 + m;
    const bool ySpan = visible.bottom() >= -h / 2 - m && visible.top() <= h / 2 + m;
    int hp0, hp1, hn0, hn1, vp0, vp1, vn0, vn1;
    k_range(visible.top() - m, visible.bottom() + m, dy, +1, m_rings - 1, &hp0, &hp1);
    k_range(visible.top() - m, visible.bottom() + m, dy, -1, m_rings - 1, &hn0, &hn1);
    k_range(visible.left() - m, visible.right() + m, dx, +1, m_rings - 1, &vp0, &vp1);
    k_range(visible.left() - m, visible.right() + m, dx, -1, m_rings - 1, &vn0, &vn1);
    const int first = std::min({hp0, hn0, vp0, vn0});
    const int end = std::max({hp1, hn1, vp1, vn1});
    for (int k = first; k < end; ++k) {
        if (xSpan && k >= hp0 && k < hp1)
            painter->drawLine(QPointF(-w / 2, k * dy), QPointF(w / 2, k * dy));
        if (xSpan && k >= hn0 && k < hn1)
            painter->drawLine(QPointF(-w / 2, -k * dy), QPointF(w / 2, -k * dy));
        if (ySpan && k >= vp0 && k < vp1)
            painter->drawLine(QPointF(k * dx, -h / 2), QPointF(k * dx, h / 2));
        if (ySpan && k >= vn0 && k < vn1)
            painter->drawLine(QPointF(-k * dx, -h / 2), QPointF(-k * dx, h / 2));
    }
    painter->restore();
}

void Graphics_Item_Data::paintLabels(QPainter *painter, const QRectF &visible)
{
    painter->save();
    painter->setPen(Qt::white);
    QFont font = painter->font();
    font.setPointSize(m_viewRect.height() <= 500 ? 6 : 10);
    painter->setFont(font);
    const QFontMetricsF fm(painter->font(), painter->device());
    // The widest label and the text's extent around its baseline, with a margin.
    const double tw = fm.horizontalAdvance(QString::number(qint64(m_rings) * m_step)) + 4;
    const double up = fm.ascent() + 2, down = fm.descent() + 2;
    const int d = (int(m_rect.width()) / 2) / m_rings;
    // An anchor at (ax, ay) shows when [ax, ax + tw] x [ay - up, ay + down] meets the area.
    const bool onX = visible.top() <= down && visible.bottom() >= -up;  // anchors (+-k*d, 0)
    const bool onY = visible.left() <= tw && visible.right() >= 0;      // anchors (0, +-k*d)
    int xp0, xp1, xn0, xn1, yp0, yp1, yn0, yn1;
    k_range(visible.left() - tw, visible.right(), d, +1, m_rings, &xp0, &xp1);
    k_range(visible.left() - tw, visible.right(), d, -1, m_rings, &xn0, &xn1);
    k_range(visible.top() - down, visible.bottom() + up, d, +1, m_rings, &yp0, &yp1);
    k_range(visible.top() - down, visible.bottom() + up, d, -1, m_rings, &yn0, &yn1);
    const int first = std::max(1, std::min({xp0, xn0, yp0, yn0}));
    const int end = std::max({xp1, xn1, yp1, yn1});
    for (int k = first; k < end; ++k) {
        const QString text = QString("%1").arg(k * m_step, 0, 10);
        if (onX && k >= xp0 && k < xp1)
            painter->drawText(QPointF(k * d, 0), text);
        if (onX && k >= xn0 && k < xn1)
            painter->drawText(QPointF(-k * d, 0), text);
        if (onY && k >= yp0 && k < yp1)
            painter->drawText(QPointF(0, k * d), text);
        if (onY && k >= yn0 && k < yn1)
            painter->drawText(QPointF(0, -k * d), text);
    }
    painter->restore();
}

void Graphics_Item_Data::paintPoints(QPainter *painter, const QRectF &visible)
{
    const double m = m_pointSize + 1.0;
    const QRectF area = visible.adjusted(-m, -m, m, m);
    for (QVector<QPointF> &b : m_buckets)
        b.clear();
    for (const UserPointData &p : m_points) {
        const QPointF at(p.x * 1000.0 * m_factor, p.y * 1000.0 * m_factor);
        if (area.contains(at))
            m_buckets[colour_slot(p)].append(at);
    }
    for (int slot = 0; slot < kColourSlots; ++slot) {
        const QVector<QPointF> &b = m_buckets[slot];
        if (b.isEmpty())
            continue;
        painter->setPen(point_pen(slot_colour(slot), m_pointSize));
        painter->drawPoints(b.constData(), b.size());
    }
}

void Graphics_Item_Data::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *widget)
{
    painter->setRenderHint(QPainter::Antialiasing);
    QPaintDevice *device = painter->device();
    const QRect deviceRect = device != nullptr ? QRect(0, 0, device->width(), device->height())
                                               : QRect();
    m_viewRect = widget != nullptr ? widget->rect() : deviceRect;

    // The painted area in item coordinates.
    QRectF visible = painter->worldTransform().inverted().mapRect(QRectF(deviceRect));
    if (painter->hasClipping())
        visible = visible.intersected(painter->clipBoundingRect());

    const int W = m_rect.width(), H = m_rect.height();
    painter->fillRect(QRectF(-W / 2, -H / 2, W, H).intersected(visible.adjusted(-2, -2, 2, 2)),
                      m_background);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);

    if (m_gridMode == 1) {
        paintGrid(painter, visible);
        paintLabels(painter, visible);
    }

    paintPoints(painter, visible);

    const int w = m_viewRect.width(), h = m_viewRect.height();
    const int px = int(pos().x()), py = int(pos().y());

    QFont font = painter->font();
    font.setPointSize(30);
    painter->setFont(font);
    painter->setPen(Qt::red);
    painter->drawText(QPointF(w / 40 - w / 2 - px, h / 2 - h / 25 - py), m_alarmText);
    if (m_alarmZone >= 0) {
        // h/25 below the top edge leaves less than the digit's height on a view under about
        // 800 pixels: the baseline goes no higher than that height.
        const int baseline = std::max(h / 25, QFontMetrics(font, painter->device()).capHeight() + 2);
        painter->drawText(QPointF(w / 2 - w / 40 - px, baseline - h / 2 - py),
                          QString::asprintf("%X", unsigned(m_alarmZone)));
    }

    font.setPointSize(15);
    painter->setFont(font);
    painter->setPen(Qt::yellow);
    const double angle = readoutAngle(m_cursorX, m_cursorY, m_direction);
    const QPointF at(w / 30 - w / 2 - px, h / 30 - h / 2 - py);
    painter->drawText(at, tr("X:%1").arg(m_cursorX));
    painter->drawText(at + QPointF(0, 25), tr("Y:%1").arg(m_cursorY));
    painter->drawText(at + QPointF(0, 50), tr("angle:%1").arg(angle));

    if (m_fovValid && m_fovStart != 0.0f && m_fovSpan != 0.0f) {
        painter->setBrush(QBrush(QColor(204, 202, 202, 80)));
        painter->setPen(Qt::NoPen);
        painter->drawPie(boundingRect(), int(m_fovStart * 16), int(m_fovSpan * 16));
    }

    if (m_showObjects && !m_objects.empty()) {
        painter->setPen(QPen(QBrush(Qt::green), m_pointSize));
        painter->setBrush(Qt::NoBrush);
        font.setPointSize(15);
        painter->setFont(font);
        const float f = float(m_factor);
        for (const TrackedObject &o : m_objects) {
            const float X = o.center_x * 1000.0f * f;
            const float Y = -(o.center_y * 1000.0f * f);
            const float L = o.length * 1000.0f * f;
            const float B = o.width * 1000.0f * f;
            painter->drawRect(QRectF(X - L / 2, Y - B / 2, L, B));
            painter->drawText(QPoint(int(X - 15), int(Y - 15)),
                              tr("ID:%1").arg(className(o.class_index)));
        }
        // A list is drawn by one paint only.
        m_objects.clear();
    }
}

// ---- mouse, wheel, timer -----------------------------------------------------------------

void Graphics_Item_Data::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    QGraphicsItem::mousePressEvent(event);
    event->accept();
}

void Graphics_Item_Data::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    QGraphicsItem::mouseMoveEvent(event);
    m_posOffset = pos();
    emit sig_synScenePos(m_posOffset);
}

void Graphics_Item_Data::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    QGraphicsItem::mouseReleaseEvent(event);
}

void Graphics_Item_Data::wheelEvent(QGraphicsSceneWheelEvent *event)
{
    if (event->delta() > 0)
        m_step -= ringStepDelta(m_step, false);
    else
        m_step += ringStepDelta(m_step, true);
    applyStep();
    event->accept();
    emit sig_factor(m_factor);
    update();
}

void Graphics_Item_Data::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_timerId) {
        QObject::timerEvent(event);
        return;
    }
    ++m_tick;
    if (m_tick > 25) {
        m_alarmZone = -1;
        m_alarmText = QString();
    }
    update();
}
