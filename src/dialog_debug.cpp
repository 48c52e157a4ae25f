#include "dialog_debug.h"

Dialog_Debug::Dialog_Debug(QWidget *parent) : QDialog(parent) {}

void Dialog_Debug::setCurrentPage(int page)
{
    page_ = page;
}

void Dialog_Debug::showImage(QByteArray) {}
