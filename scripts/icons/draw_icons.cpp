// Draws the program's own icons into resource/ (run by scripts/icons/draw_icons.sh). The icons
// are simple vector drawings so that they stay sharp at the toolbar sizes and carry no artwork
// from elsewhere.

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

const QColor kInk(40, 52, 72);
const QColor kAccent(33, 118, 204);
const QColor kRed(214, 48, 49);
const QColor kGreen(39, 160, 72);

using Draw = std::function<void(QPainter &, double)>;

bool save(const QString &path, int w, int h, const Draw &draw)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    draw(p, w);
    p.end();
    if (!img.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

QPen pen(const QColor &c, double w)
{
    QPen p(c, w);
    p.setCapStyle(Qt::RoundCap);
    p.setJoinStyle(Qt::RoundJoin);
    return p;
}

QPolygonF triangle(double x0, double y0, double x1, double y1, double x2, double y2)
{
    return QPolygonF({QPointF(x0, y0), QPointF(x1, y1), QPointF(x2, y2)});
}

// ---- playback toolbar ----

void first(QPainter &p, double s)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRoundedRect(QRectF(s * 0.16, s * 0.2, s * 0.1, s * 0.6), 2, 2);
    p.drawPolygon(triangle(s * 0.8, s * 0.2, s * 0.8, s * 0.8, s * 0.3, s * 0.5));
}

void previous(QPainter &p, double s)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawPolygon(triangle(s * 0.52, s * 0.2, s * 0.52, s * 0.8, s * 0.12, s * 0.5));
    p.drawPolygon(triangle(s * 0.9, s * 0.2, s * 0.9, s * 0.8, s * 0.5, s * 0.5));
}

void next(QPainter &p, double s)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawPolygon(triangle(s * 0.1, s * 0.2, s * 0.1, s * 0.8, s * 0.5, s * 0.5));
    p.drawPolygon(triangle(s * 0.48, s * 0.2, s * 0.48, s * 0.8, s * 0.88, s * 0.5));
}

void last(QPainter &p, double s)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawPolygon(triangle(s * 0.2, s * 0.2, s * 0.2, s * 0.8, s * 0.7, s * 0.5));
    p.drawRoundedRect(QRectF(s * 0.74, s * 0.2, s * 0.1, s * 0.6), 2, 2);
}

void circleRing(QPainter &p, double s)
{
    p.setPen(pen(kAccent, s * 0.07));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(s * 0.08, s * 0.08, s * 0.84, s * 0.84));
}

void playCircle(QPainter &p, double s)
{
    circleRing(p, s);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawPolygon(triangle(s * 0.4, s * 0.3, s * 0.4, s * 0.7, s * 0.72, s * 0.5));
}

void pauseCircle(QPainter &p, double s)
{
    circleRing(p, s);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawRoundedRect(QRectF(s * 0.35, s * 0.3, s * 0.1, s * 0.4), 2, 2);
    p.drawRoundedRect(QRectF(s * 0.55, s * 0.3, s * 0.1, s * 0.4), 2, 2);
}

void videoCamera(QPainter &p, double s)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRoundedRect(QRectF(s * 0.08, s * 0.28, s * 0.58, s * 0.44), s * 0.08, s * 0.08);
    p.drawPolygon(triangle(s * 0.66, s * 0.5, s * 0.92, s * 0.3, s * 0.92, s * 0.7));
    p.setBrush(kRed);
    p.drawEllipse(QPointF(s * 0.24, s * 0.42), s * 0.07, s * 0.07);
}

void camera(QPainter &p, double s)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRoundedRect(QRectF(s * 0.08, s * 0.28, s * 0.84, s * 0.54), s * 0.08, s * 0.08);
    p.drawRoundedRect(QRectF(s * 0.34, s * 0.18, s * 0.32, s * 0.14), s * 0.04, s * 0.04);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(s * 0.5, s * 0.55), s * 0.18, s * 0.18);
    p.setBrush(kAccent);
    p.drawEllipse(QPointF(s * 0.5, s * 0.55), s * 0.11, s * 0.11);
}

// ---- 3D view toolbar ----

// An isometric cube with one face filled. Faces: top, bottom, front, back, left, right.
enum Face { Top, Bottom, Front, Back, Left, Right };

void cube(QPainter &p, double s, Face face)
{
    // Front square and the back square shifted up and right.
    const double a = s * 0.16, b = s * 0.62, d = s * 0.22;
    const QPointF f0(a, a + d), f1(b, a + d), f2(b, b + d), f3(a, b + d);
    const QPointF k0 = f0 + QPointF(d, -d), k1 = f1 + QPointF(d, -d), k2 = f2 + QPointF(d, -d),
                  k3 = f3 + QPointF(d, -d);
    QPolygonF poly;
    switch (face) {
    case Top: poly = QPolygonF({f0, f1, k1, k0}); break;
    case Bottom: poly = QPolygonF({f3, f2, k2, k3}); break;
    case Front: poly = QPolygonF({f0, f1, f2, f3}); break;
    case Back: poly = QPolygonF({k0, k1, k2, k3}); break;
    case Left: poly = QPolygonF({f0, k0, k3, f3}); break;
    case Right: poly = QPolygonF({f1, k1, k2, f2}); break;
    }
    QColor fill = kAccent;
    fill.setAlpha(190);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPolygon(poly);

    // Hidden edges dashed, visible ones solid.
    QPen hidden = pen(kInk, s * 0.035);
    hidden.setStyle(Qt::DashLine);
    p.setPen(hidden);
    p.drawLine(f3, k3);
    p.drawLine(k3, k0);
    p.drawLine(k3, k2);
    p.setPen(pen(kInk, s * 0.05));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(QPolygonF({f0, f1, f2, f3}));
    p.drawLine(f0, k0);
    p.drawLine(f1, k1);
    p.drawLine(f2, k2);
    p.drawLine(k0, k1);
    p.drawLine(k1, k2);
}

void rotateAbout(QPainter &p, double s, const QString &axis, const QColor &c)
{
    p.setPen(pen(c, s * 0.07));
    p.setBrush(Qt::NoBrush);
    const QRectF r(s * 0.12, s * 0.12, s * 0.76, s * 0.76);
    p.drawArc(r, 60 * 16, 290 * 16);
    // Arrow head at the arc's end (60 degrees).
    const double ang = 60.0 * M_PI / 180.0;
    const QPointF tip(s * 0.5 + std::cos(ang) * s * 0.38, s * 0.5 - std::sin(ang) * s * 0.38);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPolygon(triangle(tip.x() - s * 0.2, tip.y() - s * 0.04, tip.x() + s * 0.02,
                           tip.y() - s * 0.16, tip.x() + s * 0.02, tip.y() + s * 0.12));
    QFont f("Liberation Sans");
    f.setBold(true);
    f.setPixelSize(int(s * 0.4));
    p.setFont(f);
    p.setPen(kInk);
    p.drawText(QRectF(0, 0, s, s), Qt::AlignCenter, axis);
}

void coordinate(QPainter &p, double s)
{
    const QPointF o(s * 0.3, s * 0.7);
    auto arrow = [&](const QPointF &to, const QColor &c) {
        p.setPen(pen(c, s * 0.07));
        p.drawLine(o, to);
        const QPointF dir = (to - o) / std::hypot((to - o).x(), (to - o).y());
        const QPointF n(-dir.y(), dir.x());
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawPolygon(QPolygonF({to + dir * s * 0.08, to - dir * s * 0.06 + n * s * 0.08,
                                 to - dir * s * 0.06 - n * s * 0.08}));
    };
    arrow(QPointF(s * 0.86, s * 0.7), kRed);
    arrow(QPointF(s * 0.3, s * 0.12), kAccent);
    arrow(QPointF(s * 0.62, s * 0.36), kGreen);
}

void grid(QPainter &p, double s)
{
    p.setPen(pen(kInk, s * 0.04));
    for (int i = 0; i <= 4; ++i) {
        const double v = s * (0.12 + 0.19 * i);
        p.drawLine(QPointF(v, s * 0.12), QPointF(v, s * 0.88));
        p.drawLine(QPointF(s * 0.12, v), QPointF(s * 0.88, v));
    }
}

void scatter(QPainter &p, double s, bool fadeOutside)
{
    const QPointF pts[] = {{0.2, 0.25}, {0.35, 0.62}, {0.5, 0.4}, {0.62, 0.55}, {0.45, 0.5},
                           {0.78, 0.2}, {0.82, 0.8}, {0.15, 0.85}, {0.55, 0.7}, {0.4, 0.3}};
    const QRectF box(s * 0.3, s * 0.28, s * 0.4, s * 0.48);
    for (const QPointF &q : pts) {
        const QPointF at(q.x() * s, q.y() * s);
        QColor c = kAccent;
        if (fadeOutside && !box.contains(at))
            c.setAlpha(60);
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawEllipse(at, s * 0.05, s * 0.05);
    }
    QPen dash = pen(kInk, s * 0.035);
    dash.setStyle(Qt::DashLine);
    p.setPen(dash);
    p.setBrush(Qt::NoBrush);
    p.drawRect(box);
}

void partHide(QPainter &p, double s) { scatter(p, s, true); }

void circling(QPainter &p, double s)
{
    QPen dash = pen(kAccent, s * 0.05);
    dash.setStyle(Qt::DashLine);
    p.setPen(dash);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(s * 0.1, s * 0.1, s * 0.55, s * 0.5));
    // Mouse pointer at the far corner.
    QPolygonF arrow({QPointF(0.58, 0.52), QPointF(0.58, 0.95), QPointF(0.68, 0.84),
                     QPointF(0.76, 0.98), QPointF(0.83, 0.94), QPointF(0.75, 0.8),
                     QPointF(0.9, 0.8)});
    for (QPointF &q : arrow)
        q *= s;
    p.setPen(pen(Qt::white, s * 0.03));
    p.setBrush(kInk);
    p.drawPolygon(arrow);
}

void magnifier(QPainter &p, double s, bool plus)
{
    p.setPen(pen(kInk, s * 0.08));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(s * 0.42, s * 0.42), s * 0.28, s * 0.28);
    p.setPen(pen(kInk, s * 0.13));
    p.drawLine(QPointF(s * 0.63, s * 0.63), QPointF(s * 0.88, s * 0.88));
    p.setPen(pen(kAccent, s * 0.07));
    p.drawLine(QPointF(s * 0.3, s * 0.42), QPointF(s * 0.54, s * 0.42));
    if (plus)
        p.drawLine(QPointF(s * 0.42, s * 0.3), QPointF(s * 0.42, s * 0.54));
}

void center(QPainter &p, double s)
{
    p.setPen(pen(kInk, s * 0.06));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(s * 0.5, s * 0.5), s * 0.3, s * 0.3);
    p.drawLine(QPointF(s * 0.5, s * 0.06), QPointF(s * 0.5, s * 0.3));
    p.drawLine(QPointF(s * 0.5, s * 0.7), QPointF(s * 0.5, s * 0.94));
    p.drawLine(QPointF(s * 0.06, s * 0.5), QPointF(s * 0.3, s * 0.5));
    p.drawLine(QPointF(s * 0.7, s * 0.5), QPointF(s * 0.94, s * 0.5));
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    p.drawEllipse(QPointF(s * 0.5, s * 0.5), s * 0.08, s * 0.08);
}

void colorful(QPainter &p, double s)
{
    // The intensity ramp the view paints: blue (low) through green to red (high).
    QLinearGradient g(QPointF(0, s * 0.85), QPointF(0, s * 0.15));
    g.setColorAt(0.0, QColor(0, 0, 255));
    g.setColorAt(0.25, QColor(0, 255, 255));
    g.setColorAt(0.5, QColor(0, 255, 0));
    g.setColorAt(0.75, QColor(255, 255, 0));
    g.setColorAt(1.0, QColor(255, 0, 0));
    p.setPen(pen(kInk, s * 0.04));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(s * 0.3, s * 0.12, s * 0.4, s * 0.76), s * 0.08, s * 0.08);
}

// ---- About box logo ----

void logo(QPainter &p, double w)
{
    const double h = 64;
    p.setPen(pen(kAccent, 7));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(34, h / 2), 22, 22);
    p.drawLine(QPointF(46, h / 2 + 12), QPointF(58, h / 2 + 24));
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    for (int i = 0; i < 3; ++i)
        p.drawEllipse(QPointF(26 + i * 8, h / 2 - 4 + (i % 2) * 8), 3, 3);
    QFont f("Liberation Sans");
    f.setBold(true);
    f.setPixelSize(30);
    p.setFont(f);
    p.setPen(kInk);
    p.drawText(QRectF(68, 0, w - 68, h), Qt::AlignVCenter | Qt::AlignLeft, "Quorvel");
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("resource");
    QDir().mkpath(root + "/playback");
    QDir().mkpath(root + "/images");
    bool ok = true;
    const int pb = 48;
    ok &= save(root + "/playback/first.png", pb, pb, first);
    ok &= save(root + "/playback/previous.png", pb, pb, previous);
    ok &= save(root + "/playback/playCircle.png", pb, pb, playCircle);
    ok &= save(root + "/playback/pauseCircle.png", pb, pb, pauseCircle);
    ok &= save(root + "/playback/next.png", pb, pb, next);
    ok &= save(root + "/playback/last.png", pb, pb, last);
    ok &= save(root + "/playback/videoCamera.png", pb, pb, videoCamera);
    ok &= save(root + "/playback/camera.png", pb, pb, camera);

    const int tb = 64;
    ok &= save(root + "/images/up.png", tb, tb, [](QPainter &p, double s) { cube(p, s, Top); });
    ok &= save(root + "/images/bottom.png", tb, tb, [](QPainter &p, double s) { cube(p, s, Bottom); });
    ok &= save(root + "/images/front.png", tb, tb, [](QPainter &p, double s) { cube(p, s, Front); });
    ok &= save(root + "/images/back.png", tb, tb, [](QPainter &p, double s) { cube(p, s, Back); });
    ok &= save(root + "/images/left.png", tb, tb, [](QPainter &p, double s) { cube(p, s, Left); });
    ok &= save(root + "/images/right.png", tb, tb, [](QPainter &p, double s) { cube(p, s, Right); });
    ok &= save(root + "/images/rotate_x.png", tb, tb,
               [](QPainter &p, double s) { rotateAbout(p, s, "X", kRed); });
    ok &= save(root + "/images/rotate_y.png", tb, tb,
               [](QPainter &p, double s) { rotateAbout(p, s, "Y", kGreen); });
    ok &= save(root + "/images/rotate_z.png", tb, tb,
               [](QPainter &p, double s) { rotateAbout(p, s, "Z", kAccent); });
    ok &= save(root + "/images/coodinate.png", tb, tb, coordinate);
    ok &= save(root + "/images/grid.png", tb, tb, grid);
    ok &= save(root + "/images/part_hide.png", tb, tb, partHide);
    ok &= save(root + "/images/circle.png", tb, tb, circling);
    ok &= save(root + "/images/zoomin2.png", tb, tb,
               [](QPainter &p, double s) { magnifier(p, s, true); });
    ok &= save(root + "/images/zoomout2.png", tb, tb,
               [](QPainter &p, double s) { magnifier(p, s, false); });
    ok &= save(root + "/images/center.png", tb, tb, center);
    ok &= save(root + "/images/colorful.png", tb, tb, colorful);

    ok &= save(root + "/company.png", 220, 64, logo);
    return ok ? 0 : 1;
}
