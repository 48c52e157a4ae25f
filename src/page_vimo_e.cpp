#include "page_vimo_e.h"

Page_Vimo_E::Page_Vimo_E(QWidget *parent) : QWidget(parent) {}

void Page_Vimo_E::setInfo(VimoLidarInfo info)
{
    lastInfo_ = std::move(info);
}
