#pragma once
// Stand-in for the debug view until the inspection issue builds it.

#include <QByteArray>
#include <QDialog>

class Dialog_Debug : public QDialog {
    Q_OBJECT

public:
    explicit Dialog_Debug(QWidget *parent = nullptr);

    // 0: the debug images, 1: the statistics.
    void setCurrentPage(int page);
    void showImage(QByteArray grid);

    int currentPage() const { return page_; }

private:
    int page_ = 0;
};
