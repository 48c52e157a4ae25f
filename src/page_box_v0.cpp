#include "page_box_v0.h"

#include <QComboBox>
#include <QVBoxLayout>

Page_Box_V0::Page_Box_V0(QWidget *parent) : QWidget(parent)
{
    // Found by its object name by whoever sets the upload type the box reports.
    cb_upload_data_type = new QComboBox(this);
    cb_upload_data_type->setObjectName("cb_upload_data_type");
    cb_upload_data_type->addItems({"0", "1", "2"});
    cb_upload_data_type->hide();
}

void Page_Box_V0::setIP(QString ip)
{
    ip_ = ip;
}
