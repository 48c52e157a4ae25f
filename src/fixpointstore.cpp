#include "fixpointstore.h"

#include "inisettings.h"
#include "settingsdocument.h"

namespace {
const char kSection[] = "Fix_Point_Detect";
const char kKey[] = "data";
} // namespace

QString read_fix_point_store()
{
    return QString::fromStdString(
        IniSettings::instance()->get_value(kSection, kKey, "", kSettingsDoc));
}

void write_fix_point_store(const QString &text)
{
    IniSettings::instance()->set_value(kSection, kKey, text.toStdString(), kSettingsDoc);
}

QStringList fix_point_records(const QString &text)
{
    return text.split('|', Qt::SkipEmptyParts);
}
