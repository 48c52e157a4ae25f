#include "dialog_fix_point_detect.h"

Dialog_Fix_Point_Detect::Dialog_Fix_Point_Detect(QWidget *parent) : QDialog(parent)
{
    setObjectName("Dialog_Fix_Point_Detect");
}
