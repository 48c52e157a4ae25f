#pragma once
// One row per device model: everything the program decides by model. The session code reads
// which receiver a model runs and how, what it asks when its receiver starts, how its replies
// are read and which of its settings end or refresh a session; the window reads its side page
// and buttons; the point table its columns; playback its parsers. A new model is a new row
// (and its receiver, page and parsers); nothing else switches on the model.

#include "playbacksink.h"
#include "userpointdata.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

class SensorReceiver;

// Where a live session's receiver talks: the device's address and port, the host's port and
// the local address to bind (empty: any).
struct SessionTarget {
    QString ip;
    int port = 0;
    int localPort = 0;
    QString bindAddress;
};

// How the command replies of a model read.
enum class ReplyFormat {
    None,     // no live session, no replies
    FenkSum,  // LhSumFrame replies of the Fenk-U
    RaxoSum,  // LhSumFrame replies of the Raxo family
    Text,     // LhCrcFrame text replies
};

struct DeviceModel {
    uint8_t type; // LidarType

    // ---- the live session ----
    // Makes, binds and initialises the session's receiver (not started); nullptr for a model
    // without one. The box's target comes from its configurator, the sensors' from the
    // connection dialog.
    SensorReceiver *(*makeReceiver)(uint8_t type, const SessionTarget &target);
    // The stop is asked again while the receiver winds down (the box reports every stop call,
    // so it is asked once).
    bool repeatStop;
    // The complete frames sent when the receiver reports that it started, and again after a
    // data-type change was accepted; nullptr for none.
    std::vector<QByteArray> (*startQueries)(uint8_t type);
    ReplyFormat replies;
    // Set commands: their LhSumFrame type and the set codes whose acceptance ends the session
    // (the sensor moves to a new address) or asks the parameters again (-1 none).
    int setFrameType;
    int addressSetCode;
    int dataTypeSetCode;
    // Frames the 3D view keeps, and the settings key (in "Standard") that overrides it at
    // connect time (nullptr none).
    int framesKept;
    const char *framesKeptKey;
    // The session edits the device's zones (the zone editor writes and reads them through the
    // receiver, the 2D view shows what it reads back), and reads object models and the page's
    // object tools (mounting height, data shown, tracked objects).
    bool zones;
    bool objectModels;
    // The connection dialog keeps the rows it has collected (a model that announces itself
    // rarely) instead of starting an empty list.
    bool keepsDialogRows;

    // ---- the side page ----
    bool frameView;     // the view-options frame is shown
    int hiddenButtons[4]; // property buttons hidden; -1 ends the list
    int shownButtons[3];  // property buttons shown; -1 ends the list
    int page;           // the page of the side stack, also the button checked
    bool raxoPage;      // the Raxo page is told the model (its Raxo-S parts)

    // ---- the point table ----
    bool tablePoints;   // x, y, z and intensity columns (an unknown model shows the index alone)
    bool tableDistance; // the distance column
    bool tablePlanes;   // the depth and deep-field columns
    // The distance and plane columns follow the data-type mask the sensor reports; otherwise
    // the distance column of a model that has one is always shown.
    bool tableMaskColumns;
    int rowsPerBlock;   // rows of the sensor's grid a block button stands for

    // ---- playback ----
    // Cuts a raw file into packets; nullptr: a raw file of this model holds nothing.
    void (*scanRaw)(const uint8_t *data, size_t size, PacketViews &out, PlaybackSink &sink);
    // Turns the packets into frames; the number of frames, -1 without a parser. `highest` is
    // the Fenk-U's highest plane type of the run.
    int (*parse)(const PacketView *packets, size_t n, PlaybackSink &sink, uint8_t *highest);
    // A "udpp" recording holds this model's packets.
    bool udppRecords;
};

// The row of a model; LIDAR_UNKNOWN's (no session, no parser) for any other number.
const DeviceModel &device_model(int type);
// The row of a model, nullptr for a number that names none.
const DeviceModel *find_device_model(int type);

// True when both models run the same kind of receiver (Raxo-E and Raxo-S do).
bool same_receiver(int a, int b);

// The key a reply is matched with: the set code of a set command frame of the model, -1 for
// any other frame.
int device_set_code(const DeviceModel &model, const QByteArray &frame);
