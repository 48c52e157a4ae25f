#include "radarpaint_reference.h"

#include "colorhelpers.h"
#include "graphics_item_data.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("Graphics_Item_Data", text);
}

int clamp_channel(double c)
{
    return int(std::min(255.0, std::max(0.0, c)));
}

} // namespace

void radar_paint_reference(const Graphics_Item_Data &item, QPainter *painter, const QRect &viewRect)
{
    painter->setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = item.boundingRect();
    const int W = int(bounds.width()), H = int(bounds.height());
    painter->fillRect(QRectF(-W / 2, -H / 2, W, H), item.background());
    painter->setRenderHint(QPainter::SmoothPixmapTransform);

    const int rings = item.rings();
    if (item.gridMode() == 1) {
        painter->save();
        painter->setPen(QPen(QBrush(Qt::white), 0.3));
        const int dx = (W / 2) / rings, dy = (H / 2) / rings;
        for (int k = 0; k < rings; ++k) {
            painter->drawLine(QPointF(-W / 2, k * dy), QPointF(W / 2, k * dy));
            painter->drawLine(QPointF(-W / 2, -k * dy), QPointF(W / 2, -k * dy));
            painter->drawLine(QPointF(k * dx, -H / 2), QPointF(k * dx, H / 2));
            painter->drawLine(QPointF(-k * dx, -H / 2), QPointF(-k * dx, H / 2));
        }
        painter->restore();

        painter->save();
        painter->setPen(Qt::white);
        QFont font = painter->font();
        font.setPointSize(viewRect.height() <= 500 ? 6 : 10);
        painter->setFont(font);
        const int d = (W / 2) / rings;
        for (int k = 1; k <= rings; ++k) {
            const QString text = QString("%1").arg(k * item.step(), 0, 10);
            painter->drawText(QPointF(k * d, 0), text);
            painter->drawText(QPointF(-k * d, 0), text);
            painter->drawText(QPointF(0, k * d), text);
            painter->drawText(QPointF(0, -k * d), text);
        }
        painter->restore();
    }

    const double f = item.factor();
    for (const UserPointData &p : item.points()) {
        QColor c(255, 255, 255);
        if (!p.selected) {
            double rgb[3];
            value_to_rgb(p.intensity, rgb);
            c = QColor(clamp_channel(rgb[0]), clamp_channel(rgb[1]), clamp_channel(rgb[2]), 255);
        }
        painter->setPen(QPen(QBrush(c), item.m_pointSize, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
        painter->drawPoint(QPointF(p.x * 1000.0 * f, p.y * 1000.0 * f));
    }

    const int w = viewRect.width(), h = viewRect.height();
    const int px = int(item.pos().x()), py = int(item.pos().y());
    QFont font = painter->font();
    font.setPointSize(30);
    painter->setFont(font);
    painter->setPen(Qt::red);
    painter->drawText(QPointF(w / 40 - w / 2 - px, h / 2 - h / 25 - py), item.alarmText());
    if (item.alarmZone() >= 0) {
        // h/25 below the top edge leaves less than the digit's height on a view under about
        // 800 pixels: the baseline goes no higher than that height.
        const int baseline = std::max(h / 25, QFontMetrics(font, painter->device()).capHeight() + 2);
        painter->drawText(QPointF(w / 2 - w / 40 - px, baseline - h / 2 - py),
                          QString::asprintf("%X", unsigned(item.alarmZone())));
    }

    font.setPointSize(15);
    painter->setFont(font);
    painter->setPen(Qt::yellow);
    const double angle = Graphics_Item_Data::readoutAngle(item.m_cursorX, item.m_cursorY, item.m_direction);
    const QPointF at(w / 30 - w / 2 - px, h / 30 - h / 2 - py);
    painter->drawText(at, tr("X:%1").arg(item.m_cursorX));
    painter->drawText(at + QPointF(0, 25), tr("Y:%1").arg(item.m_cursorY));
    painter->drawText(at + QPointF(0, 50), tr("angle:%1").arg(angle));

    if (item.hasFieldOfView() && item.fieldOfViewStart() != 0.0f && item.fieldOfViewSpan() != 0.0f) {
        painter->setBrush(QBrush(QColor(204, 202, 202, 80)));
        painter->setPen(Qt::NoPen);
        painter->drawPie(bounds, int(item.fieldOfViewStart() * 16), int(item.fieldOfViewSpan() * 16));
    }

    if (item.m_showObjects && !item.objects().empty()) {
        painter->setPen(QPen(QBrush(Qt::green), item.m_pointSize));
        painter->setBrush(Qt::NoBrush);
        font.setPointSize(15);
        painter->setFont(font);
        const float ff = float(f);
        for (const TrackedObject &o : item.objects()) {
            const float X = o.center_x * 1000.0f * ff;
            const float Y = -(o.center_y * 1000.0f * ff);
            const float L = o.length * 1000.0f * ff;
            const float B = o.width * 1000.0f * ff;
            painter->drawRect(QRectF(X - L / 2, Y - B / 2, L, B));
            painter->drawText(QPoint(int(X - 15), int(Y - 15)),
                              tr("ID:%1").arg(item.className(o.class_index)));
        }
    }
}
