// Playback through the main window: files of every kind opened from the menu, the frame cache
// and the playback toolbar stepping through it, a file left while it still caches, the raw-data
// recording and its dump played back (also of a live session against a fake Raxo-E), a file
// chosen while a session runs, and the snapshot of the cloud to PCD and LAS.

#include "mainwindow.h"

#include "appsettings.h"
#include "capturefiles.h"
#include "component_logoperate.h"
#include "fakeraxo.h"
#include "inisettings.h"
#include "lasreader.h"
#include "laswriter.h"
#include "logmanager.h"
#include "mainwindowaccess.h"
#include "modalrecorder.h"
#include "pcdreader.h"
#include "pcdwriter.h"
#include "playbacktestutil.h"
#include "recvdataproc2.h"
#include "sessionfixture.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <memory>

namespace {

const char kDoc[] = "main_ini";

std::string setting(const char *key)
{
    return IniSettings::instance()->get_value("Standard", key, "", kDoc);
}

void setSetting(const char *key, const std::string &value)
{
    IniSettings::instance()->set_value("Standard", key, value, kDoc);
}

bool samePoints(const PointFrame &a, const PointFrame &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].x != b[i].x || a[i].y != b[i].y || a[i].z != b[i].z || a[i].intensity != b[i].intensity)
            return false;
    return true;
}

// The frames the worker makes of a file, played directly in this thread: what the window's
// cache must hold (frames without points are not kept).
std::vector<PointFrame> framesOf(const std::string &path, int lidartype)
{
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    proc.recv_playback(QString::fromStdString(path), proc.DetectLogType(QString::fromStdString(path)), lidartype);
    std::vector<PointFrame> out;
    for (const CachedFrame &f : rec.frames)
        if (!f.points.empty())
            out.push_back(f.points);
    return out;
}

// A frame of one point whose x tells which frame it is.
PointFrame marked(float x)
{
    UserPointData p;
    p.x = x;
    p.y = 1.0f;
    return PointFrame{p};
}

PointFrame cloud()
{
    PointFrame out;
    for (int i = 0; i < 300; ++i) {
        UserPointData p;
        p.x = 1.5f + float(i) * 0.25f;
        p.y = -2.25f + float(i) * 0.5f;
        p.z = 0.125f * float(i % 7);
        p.intensity = float(i * 3);
        out.push_back(p);
    }
    return out;
}

// A dump file's records: type and payload.
struct DumpRecordRead {
    uint16_t type;
    Bytes payload;
};

std::vector<DumpRecordRead> readDump(const Bytes &file)
{
    std::vector<DumpRecordRead> out;
    size_t at = 0;
    while (at + DUMP_HEADER_SIZE <= file.size()) {
        EXPECT_EQ(std::memcmp(file.data() + at, "LHLOGH", 6), 0) << "record at " << at;
        const uint16_t type = uint16_t(file[at + 16] | file[at + 17] << 8);
        const size_t length = size_t(file[at + 18] | file[at + 19] << 8);
        at += DUMP_HEADER_SIZE;
        if (at + length > file.size())
            break;
        out.push_back({type, Bytes(file.begin() + long(at), file.begin() + long(at + length))});
        at += length;
    }
    EXPECT_EQ(at, file.size());
    return out;
}

QStringList dumpsBelow(const QString &dir)
{
    QStringList out;
    QDirIterator it(dir, {"*.dump"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << it.next();
    return out;
}

class PlaybackWindowTest : public WindowSessionFixture {
protected:
    void SetUp() override
    {
        load_test_settings();
        setSetting("CallbackPath", "");
        setSetting("Logpath", "");
        ASSERT_NO_FATAL_FAILURE(makeWindow());
        // The tests tick by hand, so that "at the next tick" is a moment they choose.
        a->tickTimer()->stop();
        a->tick();
        a->log()->clear();
    }
    void TearDown() override
    {
        LogManager::instance()->stop(LogManager::kModeDump);
        LogManager::instance()->wait_stopped();
        LogManager::instance()->set_write_function(nullptr);
        WindowSessionFixture::TearDown();
    }

    Component_LogOperate *bar() { return a->logOperate(); }
    QAction *barAction(const QString &text)
    {
        for (QAction *act : bar()->actions())
            if (act->text() == text)
                return act;
        ADD_FAILURE() << "no toolbar action " << text.toStdString();
        return nullptr;
    }
    QAction *menuAction(const char *name) { return w->findChild<QAction *>(name); }

    // Opens `path` through the menu; `model` answers the model question (-1: closed).
    void open(const std::string &path, int model = -1)
    {
        modal.chooserAnswers.push_back(QString::fromStdString(path));
        modal.dialogAction = [this, model](QDialog *d) {
            QStringList labels;
            for (const QPushButton *b : d->findChildren<QPushButton *>())
                labels << b->text();
            questionLabels << labels.join(",");
            if (model < 0) {
                d->reject();
                return d->result();
            }
            return model;
        };
        menuAction("actionPlayBack")->trigger();
    }
    bool waitCached(int ms = 20000)
    {
        return testsupport::wait_until(
            [this] { return a->cacheProgress() == 100.0f && a->playbackAbandons() == 0; }, ms);
    }
    std::vector<PointFrame> cached() { return a->frameCache(); }

    // Recording started from the toolbar into a new "Logpath" below the temp folder: the log
    // names the dated folder it writes to, which exists; `folder` is that folder.
    void startRecording(const char *subdir, QString *folder)
    {
        const QString logpath = QString::fromStdString(testsupport::make_temp_subdir(subdir));
        setSetting("Logpath", logpath.toStdString());
        QAction *record = barAction("videoCamera");
        record->trigger();
        ASSERT_TRUE(record->isChecked());
        ASSERT_TRUE(LogManager::instance()->is_recording());
        const QStringList started = a->logLines().filter("writing log");
        ASSERT_EQ(started.size(), 1);
        const QRegularExpression folderLine(
            QString("^\\[ Log \\] writing log,write file path:%1/logdata/\\d{4}_\\d{2}_\\d{2}_\\d{2}_\\d{2}_\\d{2}/$")
                .arg(QRegularExpression::escape(logpath)));
        EXPECT_TRUE(folderLine.match(started[0]).hasMatch()) << started[0].toStdString();
        *folder = started[0].mid(started[0].indexOf(':') + 1);
        EXPECT_TRUE(QFileInfo(*folder).isDir());
    }
    // The recording below `folder` is one dump of `datagrams` as Raxo-E records, in order.
    void expectOneDumpHolding(const QString &folder, const std::vector<Bytes> &datagrams, QStringList *dumps)
    {
        *dumps = dumpsBelow(folder);
        ASSERT_EQ(dumps->size(), 1) << dumps->join(" ").toStdString();
        const std::vector<DumpRecordRead> recs = readDump(testsupport::read_file((*dumps)[0].toStdString()));
        ASSERT_EQ(recs.size(), datagrams.size());
        for (size_t i = 0; i < recs.size(); ++i) {
            EXPECT_EQ(recs[i].type, LIDAR_RAXO_E) << "record " << i;
            EXPECT_EQ(recs[i].payload, datagrams[i]) << "record " << i;
        }
    }
    // The stop returns at once; the finish line comes once the recorder's thread has put the
    // last record in its file.
    void stopRecording()
    {
        QAction *record = barAction("videoCamera");
        record->trigger();
        EXPECT_FALSE(record->isChecked());
        EXPECT_FALSE(LogManager::instance()->is_recording());
        EXPECT_TRUE(testsupport::wait_until(
            [this] { return a->logLines().back() == "[ Log ] write log finish,write file path"; }, 10000))
            << a->logLines().back().toStdString();
        EXPECT_EQ(a->logLines().filter("write log finish").size(), 1);
    }

    QStringList questionLabels;
};

// ---- every file kind ----

struct FileKind {
    const char *name;
    const char *file;
    int model;          // the answer to the model question; -1: no question
    int parsedAs;       // the lidar type the worker is given
};

std::vector<Bytes> raxoScan()
{
    return raxo_packets(6, 2, 100); // three frames of 200 points
}

std::string buildFile(const FileKind &k)
{
    const std::string name = k.file;
    std::vector<Bytes> records;
    if (name == "scan.dump") {
        for (const Bytes &p : raxoScan())
            records.push_back(make_dump_record(LIDAR_RAXO_E, p));
        return temp_file(name, concat(records));
    }
    if (name == "scan.pcap" || name == "scan.pcapng") {
        const int link = name == "scan.pcap" ? LINK_ETHERNET : LINK_LINUX_SLL;
        for (const Bytes &p : raxoScan())
            records.push_back(make_udp_frame(link, p));
        return temp_file(name, name == "scan.pcap" ? write_pcap(link, records) : write_pcapng(link, records));
    }
    if (name == "scan.bin")
        return temp_file(name, concat(raxoScan()));
    if (name == "scan.vimo") {
        // Records of whole 128-point packets, one byte apart, as the capture tool writes them.
        for (int k = 0; k < 4; ++k) {
            std::vector<VimoPoint> pts;
            for (uint32_t j = 0; j < 128; ++j)
                pts.push_back({1000 + j + uint32_t(k), 90000, 1000 * j, uint8_t(j)});
            records.push_back(make_udpp_record(make_vimo_e_packet(0, pts, 0, 0, 0, uint16_t(k))));
        }
        return temp_file(name, concat(records, 1));
    }
    const std::string path = testsupport::make_temp_subdir("points") + "/" + name;
    PointFrame points;
    for (int i = 0; i < 300; ++i) {
        UserPointData p;
        p.x = float(i) * 0.5f;
        p.y = -float(i) * 0.25f;
        p.z = 2.0f;
        p.intensity = float(i % 200);
        points.push_back(p);
    }
    const bool ok = name == "cloud.las" ? LasWriter().write(path.c_str(), points)
                                        : PcdWriter().write(path.c_str(), points);
    EXPECT_TRUE(ok) << name;
    return path;
}

const FileKind kKinds[] = {
    {"dump", "scan.dump", -1, LIDAR_UNKNOWN},
    {"pcap", "scan.pcap", LIDAR_RAXO_E, LIDAR_RAXO_E},
    {"pcapng", "scan.pcapng", LIDAR_RAXO_S, LIDAR_RAXO_S},
    {"raw", "scan.bin", LIDAR_RAXO_E, LIDAR_RAXO_E},
    {"vimo", "scan.vimo", -1, LIDAR_VIMO_E},
    {"las", "cloud.las", -1, LIDAR_UNKNOWN},
    {"pcd", "cloud.pcd", -1, LIDAR_UNKNOWN},
};

TEST_F(PlaybackWindowTest, EveryFileKindFillsTheCacheAndPlays)
{
    std::string previous = QDir::homePath().toStdString(); // nothing opened yet
    for (const FileKind &k : kKinds) {
        SCOPED_TRACE(k.name);
        const std::string path = buildFile(k);
        const std::vector<PointFrame> expected = framesOf(path, k.parsedAs);
        ASSERT_FALSE(expected.empty());

        questionLabels.clear();
        a->tick(); // the previous file's queued lines
        a->log()->clear();
        open(path, k.model);
        EXPECT_EQ(modal.chooserRequests.back().dir.toStdString(), previous) << "starts at the last file";
        previous = path;
        ASSERT_TRUE(waitCached());
        const std::vector<PointFrame> got = cached();
        ASSERT_EQ(got.size(), expected.size());
        for (size_t i = 0; i < got.size(); ++i)
            EXPECT_TRUE(samePoints(got[i], expected[i])) << "frame " << i;

        if (k.model >= 0)
            EXPECT_EQ(questionLabels,
                      QStringList({"LDS-Fenk-U,LDS-Raxo-E,LDS-Raxo-S,LDS-Vimo-E,Algorithm Box"}));
        else
            EXPECT_TRUE(questionLabels.isEmpty());
        EXPECT_EQ(bar()->frameCount, uint32_t(expected.size()));
        // A short file can play through at rate 10 before a loaded machine lets the wait see
        // it running: having ended counts as having been started.
        if (!bar()->isPlaying()) {
            a->tick();
            EXPECT_TRUE(a->logLines().join('\n').contains("Playback is end!"))
                << "the last frame started the timer";
        }
        EXPECT_FALSE(a->displayPaused());
        EXPECT_EQ(a->playbackFile(), QString::fromStdString(path));
        EXPECT_EQ(setting("CallbackPath"), path);
        // A packet file's model comes with its end report, which sets the frames kept anew.
        if (k.parsedAs == LIDAR_UNKNOWN && std::string(k.file) != "scan.dump")
            EXPECT_EQ(a->scene().framesKept(), 1);
    }
    const ChooserRequest &r = modal.chooserRequests.back();
    EXPECT_EQ(r.kind, ChooserKind::OpenFile);
    EXPECT_EQ(r.caption, "Open File");
    EXPECT_EQ(r.filter, "custom format (*.dump);;wireshark data(*.pcap);;wireshark data (*.pcapng);;LAS data "
                        "(*.las);;PCL data (*.pcd)");
    EXPECT_TRUE(modal.warnings.empty());
}

// The question closed: nothing stops, nothing is sent, what was shown stays.
TEST_F(PlaybackWindowTest, ClosedModelQuestionLeavesEverythingAsItWas)
{
    const std::string first = buildFile(kKinds[0]);
    open(first);
    ASSERT_TRUE(waitCached());
    const std::vector<PointFrame> before = cached();
    a->currentModel() = LIDAR_RAXO_E;
    barAction("play")->trigger(); // paused, so that its own run says nothing meanwhile
    a->tick();
    a->log()->clear();

    const std::string capture = buildFile(kKinds[1]);
    open(capture, -1);
    EXPECT_EQ(modal.dialogTitles.back(), "lidar model select|Dialog_Question");
    // Anything sent would have come back by now.
    QTest::qWait(300);
    a->tick();
    EXPECT_EQ(setting("CallbackPath"), capture) << "the chosen file is remembered all the same";
    EXPECT_EQ(a->playbackFile(), QString::fromStdString(first));
    EXPECT_EQ(a->currentModel(), LIDAR_RAXO_E);
    EXPECT_EQ(a->playbackAbandons(), 0) << "no stop message";
    EXPECT_TRUE(a->displayPaused());
    EXPECT_EQ(bar()->frameCount, uint32_t(before.size()));
    const std::vector<PointFrame> after = cached();
    ASSERT_EQ(after.size(), before.size());
    EXPECT_TRUE(a->logLines().isEmpty()) << a->logLines().join("\n").toStdString();
}

TEST_F(PlaybackWindowTest, NoFileChosenOrUnreadableFileDoesNothing)
{
    menuAction("actionPlayBack")->trigger(); // the chooser answers "" (cancelled)
    EXPECT_EQ(modal.chooserRequests.size(), 1u);
    EXPECT_EQ(a->playbackAbandons(), 0);

    const std::string gone = testsupport::make_temp_subdir("gone") + "/gone.dump";
    open(gone);
    a->tick();
    EXPECT_EQ(a->playbackAbandons(), 0) << "no stop message";
    EXPECT_TRUE(modal.dialogTitles.isEmpty());
    EXPECT_TRUE(a->logLines().contains("[ log infomation ] The playback file is open failed!"))
        << a->logLines().join("\n").toStdString();
}

TEST_F(PlaybackWindowTest, PlayWithAnEmptyCacheWarns)
{
    barAction("play")->trigger();
    ASSERT_EQ(modal.warnings.size(), 1u);
    EXPECT_EQ(modal.warnings[0].title, "error");
    EXPECT_EQ(modal.warnings[0].text, "No data can be playeback!");
    EXPECT_FALSE(bar()->isPlaying());
}

// The first file is left while it still caches: none of its frames reaches the new cache, and
// none of them starts its timer.
TEST_F(PlaybackWindowTest, SecondFileReplacesOneStillCaching)
{
    std::vector<Bytes> records;
    for (const Bytes &p : raxo_packets(40000, 2, 20, 1))
        records.push_back(make_dump_record(LIDAR_RAXO_E, p));
    const std::string large = temp_file("large.dump", concat(records));
    const std::string small = buildFile(kKinds[0]);
    const std::vector<PointFrame> expected = framesOf(small, LIDAR_UNKNOWN);

    // No event runs between the two: whatever the worker has done of the first by then is
    // still on its way to the window.
    open(large);
    open(small);
    ASSERT_TRUE(waitCached());
    QTest::qWait(200);
    const std::vector<PointFrame> got = cached();
    ASSERT_EQ(got.size(), expected.size());
    for (size_t i = 0; i < got.size(); ++i)
        EXPECT_TRUE(samePoints(got[i], expected[i])) << "frame " << i;
    a->tick();
    const QStringList lines = a->logLines();
    EXPECT_EQ(lines.filter("Caching is finish!").size(), 1);
    EXPECT_EQ(a->playbackFile(), QString::fromStdString(small));
}

// ---- the frame cache and the toolbar ----

class CachedWindowTest : public PlaybackWindowTest {
protected:
    void SetUp() override
    {
        PlaybackWindowTest::SetUp();
        bar()->setSourcePath("eleven frames");
        for (int k = 0; k < 11; ++k)
            w->recv_CacheData(marked(float(k)), k == 10 ? 100.0f : float(k) * 9.0f);
        // An empty final frame would not be kept either.
        w->recv_CacheData({}, 42.0f);
    }
    float shown() { return a->scene().currentFrame().empty() ? -1.0f : a->scene().currentFrame()[0].x; }
    QStringList flushed()
    {
        a->log()->clear();
        a->tick();
        return a->logLines();
    }
};

TEST_F(CachedWindowTest, RunAtRateTenShowsEachFrameThenEnds)
{
    EXPECT_EQ(cached().size(), 11u);
    EXPECT_EQ(bar()->frameCount, 11u);
    EXPECT_TRUE(bar()->isPlaying());
    EXPECT_EQ(bar()->playTimer().interval(), 100);
    for (int k = 0; k < 10; ++k) {
        bar()->recv_timeout();
        EXPECT_EQ(shown(), float(k));
        EXPECT_EQ(a->cacheIndex(), k);
        EXPECT_TRUE(a->redrawFlag());
    }
    EXPECT_FALSE(flushed().contains("[ log infomation ] Playback is end!"));
    bar()->recv_timeout();
    EXPECT_EQ(shown(), 9.0f) << "the run ends on the tick after frame 9";
    EXPECT_FALSE(bar()->isPlaying());
    EXPECT_TRUE(flushed().contains("[ log infomation ] Playback is end!"));
}

TEST_F(CachedWindowTest, StepsAndScrubsThroughTheToolbar)
{
    barAction("play")->trigger(); // pause
    EXPECT_FALSE(bar()->isPlaying());
    EXPECT_TRUE(a->displayPaused());

    struct Step {
        const char *action;
        float shown;
        bool ends;
    };
    const Step steps[] = {
        {"next", 1, false}, {"next", 2, false}, {"previous", 1, false}, {"first", 0, false},
        {"previous", 0, false}, {"last", 10, true}, {"next", 10, false}, {"previous", 9, false},
        {"next", 10, true},
    };
    for (const Step &s : steps) {
        SCOPED_TRACE(std::string(s.action) + " to " + std::to_string(s.shown));
        a->redrawFlag() = false;
        barAction(s.action)->trigger();
        EXPECT_EQ(shown(), s.shown);
        EXPECT_EQ(a->cacheIndex(), int(s.shown));
        EXPECT_TRUE(a->redrawFlag());
        EXPECT_EQ(flushed().contains("[ log infomation ] Playback is end!"), s.ends);
    }

    bar()->recv_sliderMoved(50);
    EXPECT_EQ(shown(), 5.0f);
    EXPECT_EQ(a->cacheIndex(), 5);

    barAction("play")->trigger(); // resumes from frame 5
    EXPECT_TRUE(bar()->isPlaying());
    EXPECT_FALSE(a->displayPaused());
    bar()->recv_timeout();
    EXPECT_EQ(shown(), 5.0f);
    bar()->recv_timeout();
    EXPECT_EQ(shown(), 6.0f);
}

// ---- recording ----

// What a receiver does with every datagram it accepts while recording runs, then the dump
// played back through the window.
TEST_F(PlaybackWindowTest, RecordedDatagramsPlayBackFrameByFrame)
{
    QString folder;
    ASSERT_NO_FATAL_FAILURE(startRecording("logpath", &folder));
    EXPECT_EQ(a->logLines().size(), 1) << "the folder line alone";

    const std::vector<Bytes> datagrams = raxo_packets(22, 2, 30);
    for (const Bytes &d : datagrams)
        log_dump_record(0, d.data(), d.size(), LIDAR_RAXO_E);
    stopRecording();

    QStringList dumps;
    ASSERT_NO_FATAL_FAILURE(expectOneDumpHolding(folder, datagrams, &dumps));

    // Played back: eleven frames of 60 points, the end report's lines in their order.
    a->log()->clear();
    open(dumps[0].toStdString());
    ASSERT_TRUE(waitCached());
    ASSERT_TRUE(testsupport::wait_until([this] { return a->currentModel() == LIDAR_RAXO_E; }));
    testsupport::drain_events();
    QStringList lines = a->logLines();
    EXPECT_EQ(lines, QStringList({"[ log infomation ] Caching is finish!", "[ lidar type ] lidar type:LDS-Raxo-E"}));
    a->tick();
    lines = a->logLines();
    EXPECT_EQ(lines.mid(2), QStringList({"[ log infomation ] playback cache end, package num:22 framenum:11 "}));

    const std::vector<PointFrame> expected = framesOf(dumps[0].toStdString(), LIDAR_UNKNOWN);
    ASSERT_EQ(cached().size(), 11u);
    ASSERT_EQ(expected.size(), 11u);
    for (size_t k = 0; k + 1 < expected.size(); ++k) {
        bar()->recv_timeout();
        EXPECT_TRUE(samePoints(a->scene().currentFrame(), expected[k])) << "tick " << k;
    }
    bar()->recv_timeout();
    a->log()->clear();
    a->tick();
    EXPECT_TRUE(a->logLines().contains("[ log infomation ] Playback is end!"));
    barAction("last")->trigger();
    EXPECT_TRUE(samePoints(a->scene().currentFrame(), expected.back()));
    barAction("previous")->trigger();
    EXPECT_TRUE(samePoints(a->scene().currentFrame(), expected[9]));
}

TEST_F(PlaybackWindowTest, RefusedRecordingLeavesTheActionOff)
{
    struct Refusal {
        const char *name;
        std::string logpath;
        const char *warning;
    };
    const Refusal refusals[] = {
        {"missing", testsupport::temp_dir() + "/no-such-folder", "The log save path is not exist!"},
        // Root writes anywhere chmod allows; the kernel's process file system takes no file.
        {"unwritable", "/proc", "The log path does not have write permission, please change the path."},
    };
    for (const Refusal &r : refusals) {
        SCOPED_TRACE(r.name);
        modal.clear();
        setSetting("Logpath", r.logpath);
        QAction *record = barAction("videoCamera");
        record->trigger();
        ASSERT_EQ(modal.warnings.size(), 1u);
        EXPECT_EQ(modal.warnings[0].title, "error");
        EXPECT_EQ(modal.warnings[0].text, r.warning);
        EXPECT_FALSE(record->isChecked());
        EXPECT_FALSE(LogManager::instance()->is_recording());
        EXPECT_TRUE(a->logLines().isEmpty());
    }
}

TEST_F(PlaybackWindowTest, RecordingThatCannotStartIsAnError)
{
    // The recorder already runs (another part of the program started it): the window's start
    // is refused by the recorder itself.
    const std::string other = testsupport::make_temp_subdir("other");
    ASSERT_TRUE(LogManager::instance()->start(other, "data", 1, LogManager::kModeDump));
    QAction *record = barAction("videoCamera");
    record->trigger();
    EXPECT_FALSE(record->isChecked());
    const QStringList lines = a->logLines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].startsWith("[ error infomation ] write log start failed,write file path:"))
        << lines[0].toStdString();
    EXPECT_TRUE(modal.warnings.empty());
}

// A disk far slower than the data: the window is told what the recording loses while it
// runs, its stop returns with the disk still behind, and once the last record is in its file
// the loss in all and then the finish line.
TEST_F(PlaybackWindowTest, SlowDiskRecordingSaysWhatItLost)
{
    testsupport::Gate disk;
    LogManager::instance()->set_write_function([&disk](int fd, const void *data, size_t n) {
        disk.wait();
        return ::write(fd, data, n);
    });
    QString folder;
    ASSERT_NO_FATAL_FAILURE(startRecording("slowlog", &folder));
    constexpr size_t kPayload = 60000;
    constexpr int kRecords = int(LogManager::kMaxWaiting / (kPayload + DUMP_HEADER_SIZE)) + 100;
    Bytes d(kPayload, 0x11);
    for (int i = 0; i < kRecords; ++i)
        log_dump_record(0, d.data(), d.size(), LIDAR_RAXO_E);
    const QString lostSoFar = "^\\[ warm infomation \\] recording lost \\d+ records so far: the disk does not keep "
                              "up with the data$";
    ASSERT_TRUE(testsupport::wait_until([&] { return !a->logLines().filter(QRegularExpression(lostSoFar)).isEmpty(); }))
        << a->logLines().join("\n").toStdString();

    QAction *record = barAction("videoCamera");
    record->trigger();
    EXPECT_FALSE(record->isChecked());
    testsupport::drain_events();
    EXPECT_TRUE(a->logLines().filter("write log finish").isEmpty()) << "the disk has taken nothing yet";
    disk.open();
    ASSERT_TRUE(testsupport::wait_until(
        [this] { return a->logLines().back() == "[ Log ] write log finish,write file path"; }, 60000));
    const LogManager::Stats st = LogManager::instance()->stats();
    EXPECT_GT(st.lost, 0u);
    EXPECT_EQ(st.written + st.lost, st.taken);
    EXPECT_EQ(st.taken, uint64_t(kRecords));
    const QStringList lines = a->logLines();
    EXPECT_EQ(lines[lines.size() - 2],
              QString("[ warm infomation ] recording lost %1 of %2 records: the disk did not keep up with the data")
                  .arg(st.lost)
                  .arg(st.taken));
    size_t inFiles = 0;
    for (const QString &dump : dumpsBelow(folder)) // more than 50 MB kept: two files
        inFiles += readDump(testsupport::read_file(dump.toStdString())).size();
    EXPECT_EQ(inFiles, size_t(st.written));
}

// A write that fails ends the recording: the log names the file and the error, the record
// action is off again, and no finish line claims a success.
TEST_F(PlaybackWindowTest, FailedWriteEndsTheRecordingInTheLog)
{
    LogManager::instance()->set_write_function([](int, const void *, size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    });
    QString folder;
    ASSERT_NO_FATAL_FAILURE(startRecording("fulllog", &folder));
    const std::string file = LogManager::instance()->current_file(0);
    const Bytes d(100, 0x22);
    log_dump_record(0, d.data(), d.size(), LIDAR_RAXO_E);
    QAction *record = barAction("videoCamera");
    ASSERT_TRUE(testsupport::wait_until([&] { return !record->isChecked(); }, 10000));
    EXPECT_FALSE(LogManager::instance()->is_recording());
    LogManager::instance()->wait_stopped();
    testsupport::drain_events();
    const QStringList lines = a->logLines();
    ASSERT_EQ(lines.size(), 2) << lines.join("\n").toStdString();
    // The folder is renamed as a stop renames it; the line names the file where it now is.
    const QRegularExpression failed(
        QString("^\\[ error infomation \\] recording stopped: writing %1-\\d{8}_\\d{6}/%2 failed: %3; 0 records written$")
            .arg(QRegularExpression::escape(QFileInfo(QString::fromStdString(file)).path()),
                 QRegularExpression::escape(QFileInfo(QString::fromStdString(file)).fileName()),
                 QRegularExpression::escape(QString::fromLocal8Bit(std::strerror(ENOSPC)))));
    EXPECT_TRUE(failed.match(lines[1]).hasMatch()) << lines[1].toStdString();
    EXPECT_TRUE(lines.filter("write log finish").isEmpty());

    // The next click starts a new recording.
    a->log()->clear();
    record->trigger();
    EXPECT_TRUE(record->isChecked());
    EXPECT_TRUE(LogManager::instance()->is_recording());
    EXPECT_EQ(a->logLines().filter("writing log").size(), 1);
}

// ---- a live session beside playback and recording ----

// The window connected to a fake Raxo-E as a user would connect it; the window's sockets bind
// 127.0.0.1, the fake sits on 127.0.0.2.
class LiveSessionTest : public PlaybackWindowTest {
protected:
    void SetUp() override
    {
        PlaybackWindowTest::SetUp();
        ASSERT_TRUE(fake.ok());
    }

    // Returns once the parameter query has reached the fake, so that nothing the session sends
    // by itself is still on its way.
    void connectRaxoE()
    {
        answerConnect(fake.ip(), fake.listen_port(), local, "RAXO-E-REC");
        trigger("actionRaxo_E");
        ASSERT_NE(a->session().raxoReceiver(), nullptr);
        ASSERT_EQ(a->currentModel(), LIDAR_RAXO_E);
        ASSERT_TRUE(waitCommands(fake, 1));
        fake.set_host("127.0.0.1", local);
    }

    // One frame of `n` points from the fake, waited for and drawn at a tick.
    void sendFrameOf(int n)
    {
        std::vector<RaxoPoint> pts;
        for (int j = 0; j < n; ++j)
            pts.push_back(raxo_point(uint16_t(300 + j), int16_t(50 + j), int16_t(j), 0, 9));
        const Bytes packet = raxo_point_packet(1, 0, 0, pts, RAXO_FRAME_END);
        ASSERT_EQ(fake.send_data(packet), int(packet.size()));
        ASSERT_TRUE(testsupport::wait_until([&] { return a->scene().currentFrame().size() == size_t(n); }, 10000));
        a->tick();
    }

    FakeRaxo fake;
    const int local = testsupport::free_udp_port();
};

// Every datagram a live session takes while recording runs lands in the dump as it came off the
// wire, and the dump plays back the frames the session showed.
TEST_F(LiveSessionTest, RecordedSessionPlaysBackTheSameFrames)
{
    ASSERT_NO_FATAL_FAILURE(connectRaxoE());
    // The frames the session posts, as the window receives them.
    std::vector<PointFrame> live;
    QObject liveContext;
    QObject::connect(a->session().raxoReceiver(), &RecvDataProc2::sig_framedata, &liveContext,
                     [&live](std::vector<UserPointData> f, int) { live.push_back(std::move(f)); });

    a->log()->clear();
    QString folder;
    ASSERT_NO_FATAL_FAILURE(startRecording("livelog", &folder));

    // Some 10 kB in all: far below what the receiver's socket buffer holds, so none is lost.
    const std::vector<Bytes> datagrams = raxo_packets(24, 3, 40);
    size_t recordBytes = 0;
    for (const Bytes &d : datagrams) {
        recordBytes += DUMP_HEADER_SIZE + d.size();
        ASSERT_EQ(fake.send_data(d), int(d.size()));
    }
    // The receiver writes each datagram to the dump before it decodes it.
    const std::string file = LogManager::instance()->current_file(0);
    ASSERT_FALSE(file.empty());
    ASSERT_TRUE(testsupport::wait_until(
        [&] { return QFileInfo(QString::fromStdString(file)).size() >= qint64(recordBytes); }, 10000))
        << QFileInfo(QString::fromStdString(file)).size() << " of " << recordBytes << " bytes";
    ASSERT_TRUE(testsupport::wait_until([&] { return live.size() == 8; }, 10000)) << live.size();
    stopRecording();

    QStringList dumps;
    ASSERT_NO_FATAL_FAILURE(expectOneDumpHolding(folder, datagrams, &dumps));

    // The dump opened through the menu ends the session and fills the cache with the frames
    // the session posted, one by one.
    QPointer<RecvDataProc2> receiver(a->session().raxoReceiver());
    open(dumps[0].toStdString());
    ASSERT_TRUE(waitCached());
    EXPECT_EQ(a->session().raxoReceiver(), nullptr);
    ASSERT_TRUE(testsupport::wait_until([&] { return receiver.isNull(); }, 10000));
    EXPECT_TRUE(bar()->isPlaying());
    EXPECT_FALSE(bar()->liveSource);
    const std::vector<PointFrame> expected = framesOf(dumps[0].toStdString(), LIDAR_UNKNOWN);
    const std::vector<PointFrame> got = cached();
    ASSERT_EQ(expected.size(), 8u);
    ASSERT_EQ(got.size(), expected.size());
    for (size_t k = 0; k < got.size(); ++k) {
        EXPECT_TRUE(samePoints(got[k], expected[k])) << "frame " << k;
        EXPECT_TRUE(samePoints(got[k], live[k])) << "frame " << k << " as the session showed it";
    }
    for (size_t k = 0; k + 1 < expected.size(); ++k) {
        bar()->recv_timeout();
        EXPECT_TRUE(samePoints(a->scene().currentFrame(), expected[k])) << "tick " << k;
    }
}

// A capture file chosen and its model question closed while a session runs: the session goes
// on as if nothing had been chosen.
TEST_F(LiveSessionTest, ClosedModelQuestionKeepsTheSessionRunning)
{
    ASSERT_NO_FATAL_FAILURE(connectRaxoE());
    ASSERT_TRUE(testsupport::wait_until(
        [this] { return a->logLines().contains("[ Info ] get lidar parameters  OK"); }, 10000));
    ASSERT_NO_FATAL_FAILURE(sendFrameOf(2));
    ASSERT_EQ(a->scene().cloud()->GetNumberOfPoints(), 2);
    QPointer<RecvDataProc2> receiver(a->session().raxoReceiver());
    const size_t commandsBefore = fake.commands().size();
    const int sidePage = a->find<QStackedWidget>("stackedWidget_2")->currentIndex();

    const std::string capture = buildFile(kKinds[1]);
    open(capture, -1);
    ASSERT_FALSE(modal.dialogTitles.isEmpty());
    EXPECT_EQ(modal.dialogTitles.back(), "lidar model select|Dialog_Question");
    // Anything sent would have reached the fake by now.
    QTest::qWait(300);
    a->tick();

    EXPECT_EQ(fake.commands().size(), commandsBefore);
    ASSERT_FALSE(receiver.isNull());
    EXPECT_EQ(a->session().raxoReceiver(), receiver.data());
    EXPECT_TRUE(receiver->isRunning());
    EXPECT_EQ(a->currentModel(), LIDAR_RAXO_E);
    EXPECT_FALSE(a->displayPaused());
    EXPECT_EQ(a->scene().framesKept(), 1);
    EXPECT_TRUE(bar()->isPlaying());
    EXPECT_TRUE(bar()->liveSource);
    EXPECT_EQ(a->find<QStackedWidget>("stackedWidget_2")->currentIndex(), sidePage);
    EXPECT_TRUE(a->playbackFile().isEmpty());
    EXPECT_EQ(a->playbackAbandons(), 0) << "no stop message";
    EXPECT_TRUE(a->frameCache().empty());
    EXPECT_EQ(bar()->frameCount, 0u);

    // The session still draws what the sensor sends.
    ASSERT_NO_FATAL_FAILURE(sendFrameOf(3));
    EXPECT_EQ(a->scene().cloud()->GetNumberOfPoints(), 3);
    EXPECT_EQ(fake.commands().size(), commandsBefore);
}

// ---- snapshot ----

PointFrame readPcd(const std::string &path)
{
    const Bytes bytes = testsupport::read_file(path);
    PointFrame out;
    PcdReader reader;
    EXPECT_TRUE(reader.read(reinterpret_cast<const char *>(bytes.data()), bytes.size(), out));
    return out;
}

PointFrame readLas(const std::string &path)
{
    const Bytes bytes = testsupport::read_file(path);
    LasReader reader;
    PointFrame out;
    if (!reader.open(bytes.data(), bytes.size())) {
        ADD_FAILURE() << reader.error_text();
        return out;
    }
    const LasHeader &h = reader.header();
    LasPoint p;
    for (uint64_t i = 0; reader.read_point(i, &p); ++i) {
        UserPointData u;
        u.x = float(double(p.X) * h.scale[0] + h.offset[0]);
        u.y = float(double(p.Y) * h.scale[1] + h.offset[1]);
        u.z = float(double(p.Z) * h.scale[2] + h.offset[2]);
        u.intensity = p.intensity;
        out.push_back(u);
    }
    return out;
}

TEST_F(PlaybackWindowTest, SnapshotWritesPcdAndLasThatReadBack)
{
    // A played frame: a point file opened, its one frame shown at once and drawn at the tick.
    const std::string dir = testsupport::make_temp_subdir("snap");
    const std::string source = dir + "/source.pcd";
    ASSERT_TRUE(PcdWriter().write(source.c_str(), cloud()));
    open(source);
    ASSERT_TRUE(waitCached());
    a->tick();
    ASSERT_EQ(a->scene().accumulatedCloud().size(), cloud().size());
    for (const char *name : {"/shot.pcd", "/shot.las"}) {
        SCOPED_TRACE(name);
        const std::string path = dir + name;
        modal.chooserAnswers.push_back(QString::fromStdString(path));
        barAction("camera")->trigger();
        EXPECT_TRUE(modal.warnings.empty());
        EXPECT_EQ(setting("CallbackPath"), path);
        EXPECT_EQ(a->logLines().back(), QString("[ Log ] point cloud saved,write file path:%1").arg(path.c_str()));
        const PointFrame back = std::string(name).find("pcd") != std::string::npos ? readPcd(path) : readLas(path);
        ASSERT_EQ(back.size(), cloud().size());
        for (size_t i = 0; i < back.size(); ++i) {
            EXPECT_NEAR(back[i].x, cloud()[i].x, 1e-5) << i;
            EXPECT_NEAR(back[i].y, cloud()[i].y, 1e-5) << i;
            EXPECT_NEAR(back[i].z, cloud()[i].z, 1e-5) << i;
            // Copies: the point record is packed, and a reference to its field may be misaligned.
            const auto got = back[i].intensity, want = cloud()[i].intensity;
            EXPECT_EQ(got, want) << i;
        }
    }
    const ChooserRequest &r = modal.chooserRequests.back();
    EXPECT_EQ(r.kind, ChooserKind::SaveFile);
    EXPECT_EQ(r.caption, "save file");
    EXPECT_EQ(r.filter, "(*.pcd);;(*.las)");
    // Each snapshot chooser starts in the folder of the last file, on a fresh name: never on
    // the played file (of another kind) nor on the last snapshot.
    const QRegularExpression fresh("^\\d{8}_\\d{6}(_\\d+)?\\.pcd$");
    for (size_t i : {size_t(1), size_t(2)}) {
        SCOPED_TRACE(i);
        const QFileInfo start(modal.chooserRequests[i].dir);
        EXPECT_EQ(start.absolutePath().toStdString(), dir);
        EXPECT_TRUE(fresh.match(start.fileName()).hasMatch()) << start.fileName().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(r.dir));

    // The next playback file dialog starts there too.
    menuAction("actionPlayBack")->trigger();
    EXPECT_EQ(modal.chooserRequests.back().dir.toStdString(), dir + "/shot.las");
}

TEST_F(PlaybackWindowTest, SnapshotRefusalsAreReported)
{
    const std::string dir = testsupport::make_temp_subdir("snapfail");
    PointFrame far = cloud();
    far[3].x = 5000.0f; // beyond what LAS's scaled integers hold

    struct Case {
        const char *name;
        std::string path;
        PointFrame cloud;
        const char *warning; // nullptr: the text starts with `prefix`
        const char *prefix;
        bool remembered;
    };
    const Case cases[] = {
        {"empty cloud", dir + "/empty.pcd", {}, "Point cloud image does not exist!", nullptr, true},
        {"upper-case suffix", dir + "/shot.PCD", cloud(), nullptr, "The point cloud file must end in .pcd or .las",
         true},
        {"out of LAS range", dir + "/far.las", far, nullptr, "The point cloud file could not be written", true},
        {"unwritable folder", "/proc/shot.pcd", cloud(),
         "The log path does not have write permission, please change the path.", nullptr, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        modal.clear();
        setSetting("CallbackPath", "before");
        a->scene().accumulatedCloud() = c.cloud;
        modal.chooserAnswers.push_back(QString::fromStdString(c.path));
        barAction("camera")->trigger();
        ASSERT_EQ(modal.warnings.size(), 1u);
        EXPECT_EQ(modal.warnings[0].title, "error");
        if (c.warning != nullptr)
            EXPECT_EQ(modal.warnings[0].text, c.warning);
        else
            EXPECT_TRUE(modal.warnings[0].text.startsWith(c.prefix)) << modal.warnings[0].text.toStdString();
        EXPECT_EQ(setting("CallbackPath"), c.remembered ? c.path : "before");
    }
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir + "/shot.PCD")));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir + "/empty.pcd")));
}

// With no file opened or saved yet, and with a stored file whose folder is gone, the snapshot
// chooser starts in the home folder, on a fresh name.
TEST_F(PlaybackWindowTest, SnapshotChooserStartsAtHomeWithNothingStored)
{
    for (const char *stored : {"", "/no/such/folder/shot.pcd"}) {
        SCOPED_TRACE(stored);
        modal.clear();
        setSetting("CallbackPath", stored);
        barAction("camera")->trigger(); // the chooser answers "" (cancelled)
        ASSERT_EQ(modal.chooserRequests.size(), 1u);
        const QFileInfo start(modal.chooserRequests[0].dir);
        EXPECT_EQ(start.absolutePath(), QDir::homePath());
        EXPECT_EQ(start.suffix(), "pcd");
        EXPECT_FALSE(start.exists());
        EXPECT_EQ(setting("CallbackPath"), stored) << "a cancelled chooser changes nothing";
    }
}

} // namespace
