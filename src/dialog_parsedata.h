#pragma once
// Stand-in for the data-analysis panel until the inspection issue builds it: the signals the
// main window connects and the calls it makes, and nothing else.

#include "featurepoints.h"
#include "userpointdata.h"

#include <QByteArray>
#include <QDialog>

#include <cstdint>
#include <vector>

class Dialog_ParseData : public QDialog {
    Q_OBJECT

public:
    explicit Dialog_ParseData(QWidget *parent = nullptr);

    void setIsRun(bool isrun);
    void parseFrame(std::vector<UserPointData> points, uint8_t type);
    FeaturePoints selectPoints(std::vector<UserPointData> points, uint8_t type);
    // Reloads the fixed-point template names from the settings.
    void read_ini();

    bool isRun() const { return isrun_; }
    int readIniCount() const { return readIniCount_; }

signals:
    void sig_data(int type, QByteArray info);
    void sig_dataLimit(FeaturePoints data, bool isrun);

private:
    bool isrun_ = false;
    int readIniCount_ = 0;
};
