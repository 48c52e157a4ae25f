#include "page_drawzone.h"

#include <QVariant>

Page_DrawZone::Page_DrawZone(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(tr("DrawZone Tool"));
    setProperty("Class", QStringLiteral("Page_DrawZone"));
}

void Page_DrawZone::setZones(zones data)
{
    if (data.count > ZONEALARM::ZONE_MAX_SHAPES)
        return;
    zones_ = data;
}

void Page_DrawZone::setChangeZone(int id)
{
    deviceZone_ = id;
}
