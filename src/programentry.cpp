#include "programentry.h"

#include "dirhelpers.h"
#include "inisettings.h"
#include "logmanager.h"
#include "mainwindow.h"
#include "messagebox.h"
#include "settingsdocument.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QSurfaceFormat>
#include <QTranslator>
#include <QVTKOpenGLNativeWidget.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// An interrupt from the terminal, a kill or the end of the login session ends the program the
// way its window's close button does: the event loop ends and the shut-down below runs, so a
// recording loses nothing. The handler only writes to a pipe that the event loop watches; a
// second signal of the kind finds the default action again and ends the program at once.
int quitPipe[2] = {-1, -1};

void on_quit_signal(int sig)
{
    const int saved = errno;
    const char c = char(sig);
    (void)!::write(quitPipe[1], &c, 1);
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    ::sigaction(sig, &dfl, nullptr);
    errno = saved;
}

void quit_on_signals(QCoreApplication &app)
{
    if (::pipe2(quitPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto *notifier = new QSocketNotifier(quitPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
        char c[16];
        while (::read(quitPipe[0], c, sizeof(c)) > 0) {
        }
        QCoreApplication::quit();
    });
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction old {};
        ::sigaction(sig, nullptr, &old);
        if (old.sa_handler == SIG_IGN)
            continue; // started with the signal ignored (nohup): it stays so
        struct sigaction sa {};
        sa.sa_handler = on_quit_signal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        ::sigaction(sig, &sa, nullptr);
    }
}

} // namespace

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
    quit_on_signals(app);

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
    const int rc = app.exec();
    // The window stays, but its session and the recording end here, in that order: once the
    // receiver has stopped, every record it took is in the recorder's hands, and the wait
    // leaves each of them in its file and the folder renamed.
    w->recv_data(MSG_STOP, QByteArray());
    LogManager::instance()->stop(LogManager::kModeDestroy);
    LogManager::instance()->wait_stopped();
    return rc;
}
