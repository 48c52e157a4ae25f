#include "graphics_scene.h"

#include <QGraphicsSceneMouseEvent>

Graphics_scene::Graphics_scene(QObject *parent) : QGraphicsScene(parent)
{
    // The radar item covers the whole scene and the shapes are few and remade often: an index
    // would only be rebuilt for nothing.
    setItemIndexMethod(QGraphicsScene::NoIndex);
}

void Graphics_scene::startCapture()
{
    m_capture = true;
    m_points.clear();
}

void Graphics_scene::stopCapture()
{
    m_capture = false;
    m_points.clear();
}

void Graphics_scene::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    if (!m_capture) {
        QGraphicsScene::mousePressEvent(event);
        return;
    }
    if (event->buttons() == Qt::LeftButton) {
        m_points.append(event->scenePos());
        emit updatePoint(event->scenePos(), m_points, 0);
    } else if (event->buttons() == Qt::RightButton && m_points.size() > 2) {
        const QList<QPointF> list = m_points;
        m_capture = false;
        m_points.clear();
        emit updatePoint(event->scenePos(), list, 1);
    }
    event->accept();
}
