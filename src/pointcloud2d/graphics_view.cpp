#include "graphics_view.h"

#include <QMouseEvent>

Graphics_view::Graphics_view(QWidget *parent) : QGraphicsView(parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setCursor(Qt::PointingHandCursor);
    setRenderHint(QPainter::Antialiasing);
    setSceneRect(-1073741824, -1073741824, 2147483647, 2147483647);
}

void Graphics_view::mouseMoveEvent(QMouseEvent *event)
{
    emit sig_mouseMovePoint(event->pos());
    QGraphicsView::mouseMoveEvent(event);
}

void Graphics_view::mousePressEvent(QMouseEvent *event)
{
    emit sig_mouseMoveFrag(true);
    QGraphicsView::mousePressEvent(event);
}

void Graphics_view::mouseReleaseEvent(QMouseEvent *event)
{
    emit sig_mouseMoveFrag(false);
    QGraphicsView::mouseReleaseEvent(event);
}
