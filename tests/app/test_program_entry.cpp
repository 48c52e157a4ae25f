// The program's entry run for real in a child process (this binary with --child): the parent
// sets the child's TMPDIR, LANG and settings, the child starts the program, reports what it
// sees once the window is up, and closes the window the way a user would.

#include "mainwindow.h"
#include "messagebox.h"
#include "programentry.h"
#include "testsupport.h"
#include "userpointdata.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>
#include <QVTKOpenGLNativeWidget.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

void report(const QString &line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

void inspect_and_close()
{
    // Look the window up among the top-level widgets instead of through its accessor: this
    // timer can fire inside event processing during the window's own construction, and
    // calling the accessor then would re-enter its initialisation.
    MainWindow *w = nullptr;
    for (QWidget *t : QApplication::topLevelWidgets())
        if (auto *m = qobject_cast<MainWindow *>(t))
            w = m;
    if (w == nullptr || !w->isVisible() || w->windowTitle().isEmpty()) {
        QTimer::singleShot(50, inspect_and_close);
        return;
    }
    const QFont f = QApplication::font();
    report("TITLE=" + w->windowTitle());
    report(QString("FONT=%1 %2").arg(f.family()).arg(f.pointSize()));
    report("TR=" + msg_type_text(MSG_RUN_STATE));
    auto *vtk = w->findChild<QVTKOpenGLNativeWidget *>();
    report(QString("VTK=%1").arg(vtk != nullptr && vtk->isVisible() && vtk->renderWindow() != nullptr));
    const QString ini = settings_directory() + "/QuorvelView3D.ini";
    report(QString("INI=%1").arg(QFileInfo::exists(ini)));
    w->close();
}

void child_pre_routine()
{
    set_warning_handler([](QWidget *, const QString &title, const QString &text, auto) {
        report("WARN=" + title + "|" + text);
        return QMessageBox::Ok;
    });
    QTimer::singleShot(0, inspect_and_close);
}

struct ChildResult {
    int exit_code = -1;
    QStringList lines;
    QString err; // the child's stderr, shown when a check fails
    bool has(const QString &l) const { return lines.contains(l); }
    int count_prefix(const QString &p) const
    {
        int n = 0;
        for (const auto &l : lines)
            n += l.startsWith(p);
        return n;
    }
};

// Runs the program in a child with its own temp folder and LANG; `ini` is written first when set.
ChildResult run_child(const std::string &lang, const char *ini)
{
    const std::string tmp = testsupport::make_temp_subdir("entry");
    if (ini != nullptr)
        std::ofstream(tmp + "/QuorvelView3D.ini") << ini;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", QString::fromStdString(tmp));
    env.insert("LANG", QString::fromStdString(lang));
    env.remove("LC_ALL");
    env.remove("LANGUAGE");
    env.remove("LC_MESSAGES");
    p.setProcessEnvironment(env);
    p.start(QCoreApplication::applicationFilePath(), {"--child"});
    ChildResult r;
    // Generous: a sanitizer build of the GL stack on a loaded machine starts slowly.
    if (!p.waitForFinished(240000)) {
        p.kill();
        p.waitForFinished();
        r.err = "child did not finish\n" + QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    r.err = QString::fromUtf8(p.readAllStandardError());
    r.exit_code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    for (const auto &l : QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts))
        r.lines << l;
    return r;
}

} // namespace

TEST(ProgramEntry, FirstStartCreatesSettingsAndShowsTheWindow)
{
    const ChildResult r = run_child("en_US.UTF-8", nullptr);
    EXPECT_EQ(r.exit_code, 0) << r.lines.join("\n").toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.has("TITLE=QuorvelView3D"));
    // Created empty by the entry; the configuration pages then store their cleared firmware
    // path in it while the window is built.
    EXPECT_TRUE(r.has("INI=1")) << "the settings file is created";
    EXPECT_TRUE(r.has("FONT=Arial 8"));
    EXPECT_TRUE(r.has("VTK=1"));
    EXPECT_TRUE(r.has("TR=run state"));
    EXPECT_EQ(r.count_prefix("WARN="), 0);
}

TEST(ProgramEntry, LanguageResolution)
{
    struct Case {
        const char *lang;
        const char *ini;
        const char *font;
        const char *tr;
        bool warns;
    } cases[] = {
        {"de_DE.UTF-8", nullptr, "FONT=Arial 8", "TR=run state", true},
        {"zh_CN.UTF-8", nullptr, "FONT=Arial 10", "TR=运行状态", false},
        {"de_DE.UTF-8", "[Standard]\nLanguage = Chinese\n", "FONT=Arial 10", "TR=运行状态", false},
        {"zh_CN.UTF-8", "[Standard]\nLanguage = English\n", "FONT=Arial 8", "TR=run state", false},
        // lower-case "auto" is a language name of its own: no such translation, 10 pt
        {"de_DE.UTF-8", "[standard]\nlanguage = auto\n", "FONT=Arial 10", "TR=run state", false},
    };
    for (const auto &c : cases) {
        const ChildResult r = run_child(c.lang, c.ini);
        const std::string ctx = std::string(c.lang) + " / " + (c.ini ? c.ini : "(no file)") + "\n"
                              + r.lines.join("\n").toStdString() + "\n" + r.err.toStdString();
        EXPECT_EQ(r.exit_code, 0) << ctx;
        EXPECT_TRUE(r.has("TITLE=QuorvelView3D")) << ctx;
        EXPECT_TRUE(r.has(c.font)) << ctx;
        EXPECT_TRUE(r.has(QString::fromUtf8(c.tr))) << ctx;
        EXPECT_EQ(r.count_prefix("WARN="), c.warns ? 1 : 0) << ctx;
        if (c.warns) {
            EXPECT_TRUE(r.has("WARN=error|System language is not support!")) << ctx;
        }
    }
}

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--child") == 0) {
        qAddPreRoutine(child_pre_routine);
        return program_main(1, argv);
    }
    const std::string tmp = testsupport::setup_private_tmpdir();
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    const int rc = RUN_ALL_TESTS();
    testsupport::cleanup_private_tmpdir(tmp);
    return rc;
}
