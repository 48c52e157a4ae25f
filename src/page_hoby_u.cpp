#include "page_hoby_u.h"

Page_Hoby_U::Page_Hoby_U(QWidget *parent) : QWidget(parent) {}

void Page_Hoby_U::setInfo(const uint8_t *body, size_t length)
{
    lastInfoLength_ = body != nullptr ? length : 0;
}
