#include "firmwarepath.h"

#include "inisettings.h"

#include <QFileInfo>
#include <QString>
#include <QTextEdit>

void restore_upgrade_path(QTextEdit *box)
{
    IniSettings *ini = IniSettings::instance();
    const QString path =
        QString::fromStdString(ini->get_value("Standard", "upgrade_path", "", "main_ini"));
    if (!path.isEmpty() && QFileInfo::exists(path))
        box->setPlainText(path);
    else
        ini->set_value("Standard", "upgrade_path", "", "main_ini");
}
