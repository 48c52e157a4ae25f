#include "userpointdata.h"

#include <QObject>

void register_point_meta_types()
{
    qRegisterMetaType<std::vector<UserPointData>>("std::vector<UserPointData>");
}

QString msg_type_text(int type)
{
    switch (type) {
    case MSG_DEBUG: return QObject::tr("debug infomation");
    case MSG_WARM: return QObject::tr("warm infomation");
    case MSG_ERROR: return QObject::tr("error infomation");
    case MSG_RUN_STATE: return QObject::tr("run state");
    case MSG_ZONE_MONITOR: return QObject::tr("zone monitor");
    case MSG_FW_MOTOR: return QObject::tr("firmware motor upgrades");
    case MSG_FW_MCU: return QObject::tr("firmware mcu upgrades");
    case MSG_ZONE_UPGRADE: return QObject::tr("detect zone  upgrades");
    case MSG_MODEL_UPGRADE: return QObject::tr("model upgrades");
    case MSG_ALG_INFO: return QObject::tr("algorithm info upgrades");
    case MSG_CMD_INFO: return QObject::tr("cmd infomation");
    case MSG_LIDAR_TYPE: return QObject::tr("lidar type");
    case MSG_LOG: return QObject::tr("log infomation");
    case MSG_REBOOT: return QObject::tr("system reboot");
    default: return QString();
    }
}

bool msg_is_log_line(int type)
{
    switch (type) {
    case MSG_DEBUG:
    case MSG_WARM:
    case MSG_ERROR:
    case MSG_RUN_STATE:
    case MSG_FW_MOTOR:
    case MSG_FW_MCU:
    case MSG_ZONE_UPGRADE:
    case MSG_MODEL_UPGRADE:
    case MSG_LOG:
        return true;
    default:
        return false;
    }
}

const char *lidar_wire_name(int type)
{
    // Marked for translation: a sensor's display name is its wire name in the user's language.
    switch (type) {
    case LIDAR_FENK_U: return QT_TRANSLATE_NOOP("QObject", "LDS-Fenk-U");
    case LIDAR_RAXO_E: return QT_TRANSLATE_NOOP("QObject", "LDS-Raxo-E");
    case LIDAR_RAXO_S: return QT_TRANSLATE_NOOP("QObject", "LDS-Raxo-S");
    case LIDAR_VIMO_E: return QT_TRANSLATE_NOOP("QObject", "LDS-Vimo-E");
    default: return nullptr;
    }
}

QString lidar_type_name(int type)
{
    if (const char *wire = lidar_wire_name(type))
        return QObject::tr(wire);
    switch (type) {
    case LIDAR_ALG_BOX: return QObject::tr("Algorithm Box");
    case LIDAR_UNKNOWN: return QObject::tr("Unknown lidar model");
    default: return QString();
    }
}
