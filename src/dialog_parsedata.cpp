#include "dialog_parsedata.h"

Dialog_ParseData::Dialog_ParseData(QWidget *parent) : QDialog(parent) {}

void Dialog_ParseData::setIsRun(bool isrun)
{
    isrun_ = isrun;
}

void Dialog_ParseData::parseFrame(std::vector<UserPointData>, uint8_t) {}

FeaturePoints Dialog_ParseData::selectPoints(std::vector<UserPointData>, uint8_t)
{
    FeaturePoints limits;
    limits.enable = true;
    return limits;
}

void Dialog_ParseData::read_ini()
{
    ++readIniCount_;
}
