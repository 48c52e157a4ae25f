#pragma once
// The live session with one device: its receiver, made from the model's row (devicemodels.h),
// the notes of the commands sent with the set codes their replies are matched by, the start
// queries, the pages' commands and uploads, and the stop. Replies are read by the family's
// reply reader (fenkreplyreader.h, raxoreplyreader.h, textreplyreader.h) and come out as what
// they mean: parameters for the pages, log lines, a setting confirmed, a session that must end.
// The window wires the pages and the views to these signals once; it keeps the connect actions,
// the side pages and the message log.
//
// One receiver at a time: a stopped one may still have posts on their way when the next has
// started. Only its log lines are still true; everything else it posted is dropped on arrival.

#include "devicemodels.h"
#include "fenkreplyreader.h"
#include "raxoreplyreader.h"
#include "sensorreceiver.h"
#include "textreplyreader.h"
#include "userpointdata.h"
#include "zonetable.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>

#include <functional>
#include <vector>

class RefreshPace;


// A command's note, under which its reply is logged, and the key the reply is matched by: the
// set code for a set command, -1 for any other.
struct PendingCommand {
    QString note;
    int key = -1;
};

class DeviceSession : public QObject {
    Q_OBJECT

public:
    explicit DeviceSession(QObject *parent = nullptr);
    ~DeviceSession() override;

    // Makes the model's receiver, wires it and starts it; false for a model without one. A
    // running session must have been stopped first.
    bool start(uint8_t model, const SessionTarget &target);
    // Asks the receiver to end and waits for it (its last posts are delivered meanwhile; the
    // user's input is not, so no session starts inside the wait); forgets the notes and every
    // reply waiting to refresh a page.
    void stop();

    bool isRunning() const { return !receiver_.isNull(); }
    // The model of the running session; LIDAR_UNKNOWN without one.
    uint8_t model() const { return model_; }
    SensorReceiver *receiver() const { return receiver_.data(); }

    // A page's command frame: sent when the running session is of the model's family; its note
    // (when not empty) waits for the reply. False, nothing kept, when it was not sent.
    bool send(const QByteArray &frame, const QString &note, int lidartype);
    // A firmware upload of the page's model to the running session's device.
    bool upload(const QString &path, int lidartype, int code);
    // Sends the model's start queries when the running session is of that model's family.
    void query(int model);
    // The session's own start queries.
    void queryParameters() { query(model_); }
    // A reply that reached the window from elsewhere (a playback, the message dispatcher), read
    // by the format of `shownModel`, the model the window shows.
    void readReply(const QByteArray &reply, uint8_t shownModel);
    void readVimoParameters(const QByteArray &record, uint8_t shownModel);
    // The device's heartbeat has gone: nothing that was sent will be answered.
    void forgetNotes() { notes_.clear(); }
    int notesWaiting() const { return notes_.size(); }

    // Settings of a family's own, for the running session's receiver; nothing for another.
    void setShowObjects(bool on);                               // algorithm box
    void ignoreErrors(int seconds);                             // Vimo-E
    void setShowMode(int mode);                                 // Raxo
    void setMountingHeight(float height);                       // Raxo
    void resetCompensation();                                   // Raxo
    bool setVoxelFilter(bool on, float unitSize, int minNum);   // Raxo; false for another
    bool hasVoxelFilter() const;

    // The motor temperature a "CPUTmp" reply is logged with (the connection dialog's, from the
    // heartbeats); -1 without one.
    void setMotorTemperature(std::function<float()> celsius) { motorTemperature_ = std::move(celsius); }

public slots:
    // The zone editor's write (10) or read (11) of the zone table, for a session of a model
    // that edits zones.
    void zoneCommand(int flag, zones data);

signals:
    // What the receiver posts that the session does not read itself: log lines (from any of
    // the session's receivers, past ones too), zone-monitor records, everything else by type.
    void message(int type, QByteArray data);
    // The receiver's loop runs; the start queries are out.
    void started();

    // Frames go by reference: the window takes its own copy.
    void frame(const std::vector<UserPointData> &points, int lidartype);
    void frame2D(const std::vector<UserPointData> &points, int lidartype);
    void debugImage(QByteArray image);
    void zonesRead(zones data);
    void heightFitted(float height);
    void modelFileRead(QString path);
    void progress(int rate, QString title, QString info);
    void uploadTypeReported(uint8_t type);
    void cacheCleaned();

    // What the replies say, for the pages (parameters come at a pace: refreshpace.h) and the log.
    void logLine(QString title, QString text);
    void fenkParameters(QByteArray body);
    void dataTypeMask(uint16_t mask);
    void raxoParameters(QByteArray body);
    void raxoAlgorithm(QByteArray body);
    void vimoParameters(QByteArray record);
    // A warning raised by a reply (a set result nobody waited for): a network warning's box.
    void warning(QString title, QString text);
    // An accepted setting moved the device to another address: the session cannot go on.
    void mustEnd();

private:
    friend struct DeviceSessionTestAccess;

    // Wires a signal of the receiver to a handler that runs only while it is the session's.
    template <typename Receiver, typename... Args, typename... OwnArgs>
    void forward(Receiver *r, void (Receiver::*signal)(Args...), void (DeviceSession::*own)(OwnArgs...));
    void onMessage(const SensorReceiver *from, int type, const QByteArray &data);
    void readerWiring();
    void confirmSetting(uint32_t result, const QString &title);
    QString takeNote();
    // Counts a command that went to the device: an algorithm query is answered once.
    void noteSent(const QByteArray &frame);
    template <typename Receiver> Receiver *receiverAs() const;

    QPointer<SensorReceiver> receiver_;
    uint8_t model_ = LIDAR_UNKNOWN;
    // The notes of the commands sent, oldest first, each with the key its reply is matched by.
    QVector<PendingCommand> notes_;
    // Raxo algorithm-parameter queries sent and not answered yet: each answer reads the detector
    // models back once. A reply nobody asked for reads nothing.
    int algQueriesAsked_ = 0;
    // The model whose format the reply being read has: what a setting it confirms starts
    // follows that model's row.
    uint8_t readingModel_ = LIDAR_UNKNOWN;
    std::function<float()> motorTemperature_;

    FenkReplyReader fenk_;
    RaxoReplyReader raxo_;
    TextReplyReader text_;
    RefreshPace *fenkPace_ = nullptr;
    RefreshPace *raxoPace_ = nullptr;
    RefreshPace *raxoAlgPace_ = nullptr;
    RefreshPace *vimoPace_ = nullptr;
};
