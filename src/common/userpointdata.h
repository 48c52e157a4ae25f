#pragma once
// The vocabulary every worker and window shares: the point record, the device model code and
// the message code carried by sig_data.

#include <QMetaType>
#include <QString>
#include <cstdint>
#include <vector>

#pragma pack(push, 1)
struct UserPointData {
    float x = 0.0f;          // metres, sensor frame
    float y = 0.0f;
    float z = 0.0f;
    uint16_t intensity = 0;  // intensity byte, or the Fenk-U confidence
    float distance = 0.0f;   // metres for Raxo; Fenk-U: the distance plane value as sent
    uint16_t depth = 0;      // Fenk-U depth plane
    uint16_t deep_field = 0; // Fenk-U "deep field" plane
    uint8_t selected = 0;    // set by the main window inside the analysis limits
};
#pragma pack(pop)
static_assert(sizeof(UserPointData) == 23, "UserPointData is a packed 23-byte record");

using PointFrame = std::vector<UserPointData>;
Q_DECLARE_METATYPE(std::vector<UserPointData>)

// Registers the frame type under the name the queued connections use,
// "std::vector<UserPointData>". Safe to call more than once.
void register_point_meta_types();

// Program-wide device model code, carried as `lidartype`.
enum LidarType : int {
    LIDAR_FENK_U = 0,
    LIDAR_RAXO_E = 1,
    LIDAR_RAXO_S = 2,
    LIDAR_VIMO_E = 3,
    LIDAR_ALG_BOX = 4,
    LIDAR_UNKNOWN = 5,
};

// Type code of every sig_data signal.
enum MsgType : int {
    MSG_DEBUG = 1,
    MSG_WARM = 2,
    MSG_ERROR = 3,
    MSG_RUN_STATE = 4,
    MSG_VIMO_PARAM = 5,
    MSG_RECV_STARTED = 6,
    MSG_ZONE_MONITOR = 7,
    MSG_FW_MOTOR = 8,
    MSG_FW_MCU = 9,
    MSG_ZONE_UPGRADE = 10,
    MSG_MODEL_UPGRADE = 12,
    MSG_ALG_INFO = 14,
    MSG_CMD_INFO = 16,
    MSG_HEARTBEAT = 17,
    MSG_LIDAR_TYPE = 18,
    MSG_DATA_TYPE = 19,
    MSG_STOP = 20,
    MSG_BOX_HEARTBEAT = 21,
    MSG_LOG = 22,
    MSG_REBOOT = 25,
    MSG_ATTITUDE = 26,
};

// Title shown in front of a message of this type; empty for codes without a title.
QString msg_type_text(int type);
// Messages that only add a line to the message log: true whichever session they came from.
bool msg_is_log_line(int type);

// Display name of a model code; empty outside 0..5.
QString lidar_type_name(int type);
// A sensor's model as its heartbeats carry it ("LDS-Raxo-E"), never translated: what heartbeats
// are matched with. Null for the box and for codes that are no sensor.
const char *lidar_wire_name(int type);
