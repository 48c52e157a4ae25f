#pragma once
// The 2D view's QGraphicsView: no scroll bars, the view stays centred on the scene origin (the
// 2D view re-centres it every 100 ms), and it tells the 2D view where the mouse is and whether
// a button is down.

#include <QGraphicsView>
#include <QPoint>

class Graphics_view : public QGraphicsView {
    Q_OBJECT

public:
    explicit Graphics_view(QWidget *parent = nullptr);

signals:
    // Every mouse move, in viewport coordinates.
    void sig_mouseMovePoint(QPoint data);
    // true on every press, false on every release.
    void sig_mouseMoveFrag(bool result);

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};
