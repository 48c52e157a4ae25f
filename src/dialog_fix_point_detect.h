#pragma once
// Stand-in for the fixed-point template editor until the inspection issue builds it.

#include <QDialog>

class Dialog_Fix_Point_Detect : public QDialog {
    Q_OBJECT

public:
    explicit Dialog_Fix_Point_Detect(QWidget *parent = nullptr);
};
