#include "programentry.h"

#include "dirhelpers.h"
#include "inisettings.h"
#include "mainwindow.h"
#include "messagebox.h"
#include "settingsdocument.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QSurfaceFormat>
#include <QTranslator>
#include <QVTKOpenGLNativeWidget.h>

QString settings_directory()
{
    return QStandardPaths::writableLocation(QStandardPaths::TempLocation);
}

QString resolve_language(const std::string &stored)
{
    if (stored != "Auto")
        return QString::fromStdString(stored);
    switch (QLocale::system().language()) {
    case QLocale::Chinese:
        return QStringLiteral("Chinese");
    case QLocale::English:
        return QStringLiteral("English");
    default:
        show_warning(nullptr, "error", "System language is not support!", QMessageBox::Ok);
        return QStringLiteral("English");
    }
}

static QString qt_locale_of_language(const QString &name)
{
    if (name == QLatin1String("Chinese"))
        return QStringLiteral("zh_CN");
    return QString();
}

bool loadQtTranslation(const QString &name, QTranslator &qtTranslator)
{
    const QString locale = qt_locale_of_language(name);
    if (locale.isEmpty())
        return false;
    // The file and colour choosers and the standard buttons are Qt's own; without its
    // catalogue they stay English in a Chinese window. qtbase holds every text of the widgets
    // the program uses; the older all-in-one "qt_" file is the fallback.
    const QString dir = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
    if (!qtTranslator.load("qtbase_" + locale, dir) && !qtTranslator.load("qt_" + locale, dir))
        return false;
    QCoreApplication::installTranslator(&qtTranslator);
    return true;
}

void loadLanguage(const QString &name, QTranslator &translator)
{
    QApplication::setFont(QFont("Arial", name == "English" ? 8 : 10));
    // A missing translation leaves the texts untranslated; that is not an error.
    (void)translator.load(QString("%1/translations/%2.qm")
                              .arg(QCoreApplication::applicationDirPath(), name));
    QCoreApplication::installTranslator(&translator);
}

int program_main(int argc, char **argv)
{
    // VTK's render widget needs its surface format in place before the application exists.
    QSurfaceFormat::setDefaultFormat(QVTKOpenGLNativeWidget::defaultFormat());
    QApplication app(argc, argv);

    const QString dir = settings_directory();
    // Created without following a link someone may have planted in the shared temp folder.
    create_empty_file((dir + kSettingsFile).toLocal8Bit().toStdString());
    IniSettings::instance()->load(dir.toLocal8Bit().toStdString(), kSettingsFile, kSettingsDoc);
    const std::string stored =
        IniSettings::instance()->get_value("Standard", "Language", "Auto", kSettingsDoc);

    const QString language = resolve_language(stored);
    QTranslator qtTranslator;
    (void)loadQtTranslation(language, qtTranslator);
    QTranslator translator;
    loadLanguage(language, translator);

    MainWindow *w = MainWindow::instance();
    w->show();
    w->setWindowTitle("QuorvelView3D");
    return app.exec();
}
