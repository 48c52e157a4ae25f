#pragma once
// Stand-in for the algorithm-box front end until the algorithm-box issue builds it: the
// signals the main window connects and the heartbeat hand-over, and nothing else.

#include "heartbeat.h"
#include "zonetable.h"

#include <QObject>
#include <QString>

class AlgorithmBox : public QObject {
    Q_OBJECT

public:
    AlgorithmBox();

    // Shows the configurator (none yet).
    void show();
    // One box heartbeat for the configurator's list.
    void setBoxInfo(const BoxHeartbeat *info);

    int heartbeatsSeen() const { return heartbeats_; }

signals:
    void sig_start(QString ip, int port, int lidartype);
    void sig_zoneData(zones data);

private:
    int heartbeats_ = 0;
};
