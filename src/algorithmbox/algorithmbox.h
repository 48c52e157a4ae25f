#pragma once
// What the main window holds for the algorithm box: on first show it starts the box command
// thread and builds the configurator window, wires them together, relays the window's connect
// request, and hands every box heartbeat to the window.

#include "heartbeat.h"
#include "zonetable.h"

#include <QObject>
#include <QPointer>
#include <QString>

class AlgorithmBoxProc;
class Page_Box;

class AlgorithmBox : public QObject {
    Q_OBJECT
public:
    AlgorithmBox();
    ~AlgorithmBox() override;

    // Creates the thread and the window on the first call; shows the window on every call.
    void show();

    // Shows the window first when it does not exist yet, then lists the box in it.
    void setBoxInfo(BoxHeartbeat info);

    // The window (null before the first show) and the thread (null before the first show and
    // once it has ended and deleted itself).
    Page_Box *window() const { return page_; }
    AlgorithmBoxProc *commandThread() const;

signals:
    void sig_start(QString ip, int port, int lidartype);
    void sig_zoneData(ZONEALARM::zones data);

private:
    Page_Box *page_ = nullptr;
    // The thread deletes itself when its loop ends (its port failed to open, or the front end
    // went away): never touched after that, and never started a second time.
    QPointer<AlgorithmBoxProc> proc_;
    bool proc_started_ = false;
};
