#include "page_raxo_e.h"

#include "page_drawzone.h"

Page_Raxo_E::Page_Raxo_E(QWidget *parent) : QMainWindow(parent)
{
    drawZone_ = new Page_DrawZone(this);
    drawZone_->setObjectName("widget_zone");
    setCentralWidget(drawZone_);
}

void Page_Raxo_E::setInfo(const uint8_t *body, size_t length)
{
    lastInfoLength_ = body != nullptr ? length : 0;
}

void Page_Raxo_E::setAlgInfo(const uint8_t *body, size_t length)
{
    lastAlgInfoLength_ = body != nullptr ? length : 0;
}

Page_DrawZone *Page_Raxo_E::getDrawZone()
{
    return drawZone_;
}

void Page_Raxo_E::setLidarType(int type)
{
    lidarType_ = type;
}

bool Page_Raxo_E::isGrayImgShow()
{
    return false;
}

void Page_Raxo_E::recv_height(float) {}

void Page_Raxo_E::recv_modelData(QString) {}
