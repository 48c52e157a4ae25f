#pragma once

#include <QString>
#include <string>

class QTranslator;

// Everything main does: settings, language, the main window and the event loop.
int program_main(int argc, char **argv);

// Language name for a stored "Language" value: "Auto" follows the system locale (Chinese or
// English; any other language warns and falls back to English); any other value is the name.
QString resolve_language(const std::string &stored);

// Application font for the language, then "<application folder>/translations/<name>.qm" into
// the translator, which is installed even when the file is missing.
void loadLanguage(const QString &name, QTranslator &translator);

// Qt's own catalogue for the language (its file and colour choosers, standard buttons) from
// Qt's translations folder into `qtTranslator`, installed when found. English needs none.
// False when there is nothing to load.
bool loadQtTranslation(const QString &name, QTranslator &qtTranslator);

// "<temporary folder>/QuorvelView3D.ini"'s folder as main loads it (the file's name and the
// document's are in settingsdocument.h).
QString settings_directory();
