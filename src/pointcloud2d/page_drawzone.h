#pragma once
// Stand-in for the alarm-zone editor page until the 2D view issue builds it: the signals and
// operations the main window, the receivers and the 2D view use, and nothing else.

#include "zonetable.h"

#include <QWidget>

class Page_DrawZone : public QWidget {
    Q_OBJECT

public:
    explicit Page_DrawZone(QWidget *parent = nullptr);

    // A table read back from a device (a count above 64 is ignored).
    void setZones(zones data);
    // The zone the device reports as active.
    void setChangeZone(int id);

    int deviceZone() const { return deviceZone_; }

signals:
    void sig_zonearg(zones data);
    void sig_zoneCmd(int flag, zones data);
    void sig_editzone(int id);

private:
    zones zones_;
    int deviceZone_ = -1;
};
