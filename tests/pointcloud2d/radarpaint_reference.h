#pragma once
// The radar item's paint done literally: the whole grid and all its labels at every paint, one
// pen and one point per point, as the item was first described. The tests compare the item's
// own paint with it pixel for pixel; the benchmark times the two side by side.

#include <QRect>

class Graphics_Item_Data;
class QPainter;

// Paints `item` as it stands into `painter` (item coordinates), for a viewport of `viewRect`.
// Leaves the item untouched (its objects are drawn, not emptied).
void radar_paint_reference(const Graphics_Item_Data &item, QPainter *painter, const QRect &viewRect);
