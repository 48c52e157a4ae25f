#pragma once
// One row per device model: what the session, the connection dialog and playback decide by
// model. The session (devicesession.h) reads which receiver a model runs and how, what it asks
// when its receiver starts, how its replies are read and which of its settings end or refresh
// it; playback reads its parsers. What the window shows of a model (its side page and buttons,
// the point table's columns) is the window's own table, keyed by the same model
// (modellayout.h). A new model is a row here and one there, with its receiver, page and parsers.
//
// Beside the two tables, the model is named where a thing belongs to one model by what it is:
// the connect action of each sensor (one menu entry and slot each), the algorithm box's start
// (its configurator asks for a box session), the raw-file question of playback (it offers the
// models in their order), and the session's receiver classes for a family's own
// settings (devicesession.cpp).

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
    VimoText, // LhCrcFrame text replies, and the parameter record
    BoxText,  // LhCrcFrame text replies
};

// A row names every field it sets; what a row leaves out is the unknown model's: no session, no
// replies, no parsers.
struct DeviceModel {
    uint8_t type = LIDAR_UNKNOWN; // LidarType

    // ---- the live session ----
    // Makes, binds and initialises the session's receiver (not started); nullptr for a model
    // without one. The box's target comes from its configurator, the sensors' from the
    // connection dialog.
    SensorReceiver *(*makeReceiver)(uint8_t type, const SessionTarget &target) = nullptr;
    // The stop is asked again while the receiver winds down (the box reports every stop call,
    // so it is asked once).
    bool repeatStop = false;
    // The complete frames sent when the receiver reports that it started, and again after a
    // data-type change was accepted; nullptr for none.
    std::vector<QByteArray> (*startQueries)(uint8_t type) = nullptr;
    ReplyFormat replies = ReplyFormat::None;
    // Set commands: their LhSumFrame type and the set codes whose acceptance ends the session
    // (the sensor moves to a new address) or asks the parameters again (-1 none).
    int setFrameType = -1;
    int addressSetCode = -1;
    int dataTypeSetCode = -1;
    // Frames the 3D view keeps, and the settings key (in "Standard") that overrides it at
    // connect time (nullptr none).
    int framesKept = 1;
    const char *framesKeptKey = nullptr;
    // The session edits the device's zones (the zone editor writes and reads them through the
    // receiver, the 2D view shows what it reads back), and reads object models and the page's
    // object tools (mounting height, data shown, tracked objects).
    bool zones = false;
    bool objectModels = false;
    // The connection dialog keeps the rows it has collected (a model that announces itself
    // rarely) instead of starting an empty list.
    bool keepsDialogRows = false;
    // The free-text command window talks to the device.
    bool freeTextCommands = false;
    // The receiver's voxel filter (the "tool" menu's entries) applies to the model's frames.
    bool voxelFilter = false;

    // ---- playback ----
    // Cuts a raw file into packets; nullptr: a raw file of this model holds nothing.
    void (*scanRaw)(const uint8_t *data, size_t size, PacketViews &out, PlaybackSink &sink) = nullptr;
    // Turns the packets into frames; the number of frames, -1 without a parser. `highest` is
    // the Fenk-U's highest plane type of the run.
    int (*parse)(const PacketView *packets, size_t n, PlaybackSink &sink, uint8_t *highest) = nullptr;
    // A "udpp" recording holds this model's packets.
    bool udppRecords = false;
};

// The row of a model; LIDAR_UNKNOWN's (no session, no parser) for any other number.
const DeviceModel &device_model(int type);
// The row of a model, nullptr for a number that names none.
const DeviceModel *find_device_model(int type);

// The model whose packets a "udpp" recording holds.
int udpp_model();

// True when both models run the same kind of receiver (Raxo-E and Raxo-S do).
bool same_receiver(int a, int b);

// The key a reply is matched with: the set code of a set command frame of the model, -1 for
// any other frame.
int device_set_code(const DeviceModel &model, const QByteArray &frame);
