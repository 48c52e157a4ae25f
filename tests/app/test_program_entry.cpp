// The program's entry run for real in a child process (this binary with --child): the parent
// sets the child's TMPDIR, LANG and settings, the child starts the program, reports what it
// sees once the window is up, and closes the window the way a user would. With --record-child
// the child connects a fake Raxo-E, records its stream on a slow disk and ends the program the
// way the parent says: the window's close button, or a signal from the parent.

#include "component_logoperate.h"
#include "dialog_connect.h"
#include "fakeraxo.h"
#include "logmanager.h"
#include "mainwindow.h"
#include "mainwindowaccess.h"
#include "messagebox.h"
#include "programentry.h"
#include "testsupport.h"
#include "userpointdata.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDirIterator>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVTKOpenGLNativeWidget.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>
#include <unistd.h>

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

// ---- the recording child ----

// The fake sensor, its stream and how the program is to end; the child's own.
struct RecordChild {
    std::string how; // "close", or the signal the parent sends
    std::unique_ptr<FakeRaxo> fake;
    int localPort = 0;
    std::atomic<bool> streaming{false};
    std::thread streamer;
    int step = 0;
};
RecordChild *recordChild = nullptr;

// 3,000 datagrams of some 1 kB a second, numbered by their packet index, until told to stop.
void stream_from_fake(RecordChild &c)
{
    std::vector<RaxoPoint> pts;
    for (int j = 0; j < 100; ++j)
        pts.push_back(raxo_point(uint16_t(300 + j), int16_t(50 + j), int16_t(j), 0, 9));
    const auto start = std::chrono::steady_clock::now();
    for (uint16_t k = 1; c.streaming.load() && k < 60000; ++k) {
        std::vector<uint8_t> p = raxo_point_packet(1, uint16_t(k % 360), 0, pts, k % 20 == 0 ? RAXO_FRAME_END : 0);
        wr_u16(&p[7], k);
        c.fake->send_data(p);
        std::this_thread::sleep_until(start + std::chrono::microseconds(333) * k);
    }
}

void record_child_step()
{
    RecordChild &c = *recordChild;
    MainWindow *w = nullptr;
    for (QWidget *t : QApplication::topLevelWidgets())
        if (auto *m = qobject_cast<MainWindow *>(t))
            w = m;
    auto again = [] { QTimer::singleShot(20, record_child_step); };
    if (w == nullptr || !w->isVisible() || w->windowTitle().isEmpty())
        return again();
    MainWindowTestAccess a(*w);
    if (c.step == 0) {
        // The session as a user connects it; the window binds 127.0.0.1, the fake 127.0.0.2.
        w->setBindAddress("127.0.0.1");
        c.fake = std::make_unique<FakeRaxo>();
        c.localPort = testsupport::free_udp_port();
        set_dialog_handler([&c](QDialog *dialog) {
            auto *d = qobject_cast<Dialog_Connect *>(dialog);
            if (d == nullptr)
                return 0;
            d->lidarip = QString::fromStdString(c.fake->ip());
            d->lidarport = uint16_t(c.fake->listen_port());
            d->lidarsn = "RAXO-E-QUIT";
            d->selectrow = 0;
            d->findChild<QLineEdit *>("le_listenport")->setText(QString::number(c.localPort));
            QTest::mouseClick(d->findChild<QPushButton *>("pb_connect"), Qt::LeftButton);
            return d->result();
        });
        w->findChild<QAction *>("actionRaxo_E")->trigger();
        c.step = 1;
        return again();
    }
    if (c.step == 1) {
        if (a.session().raxoReceiver() == nullptr || c.fake->commands().empty())
            return again();
        c.fake->set_host("127.0.0.1", c.localPort);
        // A disk of 2 MB/s under a stream of 3 MB/s: at the end, a good part of the recording
        // still waits in memory.
        LogManager::instance()->set_write_function([](int fd, const void *data, size_t n) {
            std::this_thread::sleep_for(std::chrono::microseconds(n / 2));
            return ::write(fd, data, n);
        });
        for (QAction *act : a.logOperate()->actions())
            if (act->text() == "videoCamera")
                act->trigger();
        report(QString("RECORDING=%1").arg(LogManager::instance()->is_recording()));
        c.streaming = true;
        c.streamer = std::thread(stream_from_fake, std::ref(c));
        c.step = 2;
        return again();
    }
    if (c.step == 2) {
        if (LogManager::instance()->stats().taken < 3000)
            return again();
        c.step = 3;
        if (c.how == "close")
            w->close();
        else
            report("READY"); // the parent sends its signal now; the stream goes on meanwhile
    }
}

void record_child_pre_routine()
{
    set_warning_handler([](QWidget *, const QString &title, const QString &text, auto) {
        report("WARN=" + title + "|" + text);
        return QMessageBox::Ok;
    });
    QTimer::singleShot(0, record_child_step);
}

int record_child_main(char **argv, const char *how)
{
    RecordChild c;
    c.how = how;
    recordChild = &c;
    qAddPreRoutine(record_child_pre_routine);
    const int rc = program_main(1, argv);
    c.streaming = false;
    if (c.streamer.joinable())
        c.streamer.join();
    // What the recorder took, wrote and lost, read once program_main has returned.
    const LogManager::Stats st = LogManager::instance()->stats();
    report(QString("TAKEN=%1").arg(st.taken));
    report(QString("WRITTEN=%1").arg(st.written));
    report(QString("LOST=%1").arg(st.lost));
    report(QString("FINISHED=%1").arg(st.finished));
    c.fake.reset();
    return rc;
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
// With a signal, the child is sent it once it has printed "READY".
ChildResult run_child(const std::string &lang, const char *ini, const QStringList &args = {"--child"},
                      int signal = 0)
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
    p.start(QCoreApplication::applicationFilePath(), args);
    ChildResult r;
    QByteArray out;
    if (signal != 0) {
        // Generous, as below.
        QElapsedTimer waited;
        waited.start();
        while (!out.contains("READY\n") && p.state() != QProcess::NotRunning && !waited.hasExpired(240000)) {
            p.waitForReadyRead(1000);
            out += p.readAllStandardOutput();
        }
        if (out.contains("READY\n"))
            ::kill(pid_t(p.processId()), signal);
    }
    // Generous: a sanitizer build of the GL stack on a loaded machine starts slowly.
    if (!p.waitForFinished(240000)) {
        p.kill();
        p.waitForFinished();
        r.err = "child did not finish\n" + QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    r.err = QString::fromUtf8(p.readAllStandardError());
    r.exit_code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    out += p.readAllStandardOutput();
    for (const auto &l : QString::fromUtf8(out).split('\n', Qt::SkipEmptyParts))
        r.lines << l;
    return r;
}

// The number after "KEY=" in the child's lines; -1 when it did not say.
long long value_of(const ChildResult &r, const QString &key)
{
    for (const QString &l : r.lines)
        if (l.startsWith(key + "="))
            return l.mid(key.size() + 1).toLongLong();
    return -1;
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

// Ending the program while it records, in each ordinary way: every record the receiver took is
// in the dump, the dump is whole records to its end, and the folder carries its end time.
TEST(ProgramEntry, QuittingWhileRecordingKeepsEveryRecord)
{
    struct Case {
        const char *name;
        int signal; // 0: the window's close button
    } cases[] = {{"close", 0}, {"SIGTERM", SIGTERM}, {"SIGINT", SIGINT}, {"SIGHUP", SIGHUP}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string logpath = testsupport::make_temp_subdir("quitlog");
        const std::string ini = "[Standard]\nLogpath = " + logpath + "\n";
        const ChildResult r = run_child("en_US.UTF-8", ini.c_str(), {"--record-child", c.name}, c.signal);
        const std::string ctx = r.lines.join("\n").toStdString() + "\n" + r.err.toStdString();
        EXPECT_EQ(r.exit_code, 0) << ctx;
        EXPECT_TRUE(r.has("RECORDING=1")) << ctx;
        EXPECT_EQ(r.count_prefix("WARN="), 0) << ctx;
        const long long taken = value_of(r, "TAKEN");
        ASSERT_GE(taken, 3000) << ctx;
        EXPECT_EQ(value_of(r, "LOST"), 0) << ctx;
        EXPECT_EQ(value_of(r, "WRITTEN"), taken) << ctx;
        EXPECT_EQ(value_of(r, "FINISHED"), 1) << ctx;

        // One recording folder, renamed with its end time, holding whole records only.
        QStringList folders;
        QDirIterator it(QString::fromStdString(logpath + "/logdata"), QDir::Dirs | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            folders << it.next();
        ASSERT_EQ(folders.size(), 2) << folders.join(" ").toStdString(); // the dated folder, and its stream's
        EXPECT_TRUE(QFileInfo(folders.filter(QRegularExpression("/\\d{8}_\\d{6}-\\d{8}_\\d{6}$")).value(0)).isDir())
            << folders.join(" ").toStdString();
        long long records = 0;
        int lastIndex = 0;
        bool ordered = true;
        for (const auto &e : std::filesystem::recursive_directory_iterator(logpath)) {
            if (!e.is_regular_file())
                continue;
            const std::vector<uint8_t> f = testsupport::read_file(e.path().string());
            size_t at = 0;
            while (at + DUMP_HEADER_SIZE <= f.size() && std::memcmp(&f[at], "LHLOGH", 6) == 0) {
                const size_t length = rd_u16(&f[at + 18]);
                if (at + DUMP_HEADER_SIZE + length > f.size())
                    break;
                const int index = rd_u16(&f[at + DUMP_HEADER_SIZE + 7]);
                ordered = ordered && index > lastIndex;
                lastIndex = index;
                at += DUMP_HEADER_SIZE + length;
                ++records;
            }
            EXPECT_EQ(at, f.size()) << "the dump parses to its end: " << e.path();
        }
        EXPECT_EQ(records, taken) << "every record the receiver took";
        EXPECT_TRUE(ordered);
    }
}

int main(int argc, char **argv)
{
    if (argc > 2 && std::strcmp(argv[1], "--record-child") == 0)
        return record_child_main(argv, argv[2]);
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
