// The training dialog as a user drives it: its form and saved fields, the dump scan, a training
// run over a synthetic dump through the process-wide detector and its threads, and the model
// list operations with their files in the test's temp folder.

#include "capturefiles.h"
#include "detectortesthelpers.h"
#include "dialog_traindata.h"
#include "inisettings.h"
#include "modalrecorder.h"
#include "testsupport.h"
#include "widgettexts.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableView>
#include <QTextBrowser>
#include <QTimer>

#include <condition_variable>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

const char *const kDoc = "main_ini";

// A fresh, empty settings file per test process (each test runs in its own).
void load_settings()
{
    static const bool loaded = [] {
        const std::string dir = testsupport::temp_dir();
        std::ofstream(dir + "/QuorvelView3D.ini").flush();
        return IniSettings::instance()->load(dir, "/QuorvelView3D.ini", kDoc);
    }();
    ASSERT_TRUE(loaded);
}

std::string stored(const char *key)
{
    return IniSettings::instance()->get_value("Standard", key, "<absent>", kDoc);
}

PointCloudAnomalyDetector &detector()
{
    return *PointCloudAnomalyDetector::GetInstance();
}

// The detector without models: a model file of none loaded.
void clear_models()
{
    const std::string path = testsupport::temp_dir() + "/none.bin";
    testsupport::write_file(path, {'0'});
    std::vector<ModelInfo> infos;
    ASSERT_TRUE(detector().LoadModelsFromFile(path, infos));
}

std::string write_temp(const std::string &name, const Bytes &bytes)
{
    const std::string path = testsupport::temp_dir() + "/" + name;
    testsupport::write_file(path, bytes);
    return path;
}

std::string read_text(const std::string &path)
{
    const std::vector<uint8_t> b = testsupport::read_file(path);
    return std::string(b.begin(), b.end());
}

Bytes record(const Bytes &payload)
{
    return make_dump_record(1, payload);
}

// A payload whose byte 3 is `type`.
Bytes payload(uint8_t type, size_t n = 12, uint8_t fill = 0)
{
    Bytes p(n, fill);
    p[3] = type;
    return p;
}

struct Dialog {
    Dialog()
    {
        load_settings();
        d = std::make_unique<Dialog_TrainData>();
        QObject::connect(d.get(), &Dialog_TrainData::sig_upgrade,
                         [this](QString, int, int) { ++upgrades; });
    }
    template <typename T> T *w(const char *name) const
    {
        T *c = d->findChild<T *>(name);
        EXPECT_TRUE(c) << name;
        return c;
    }
    void click(const char *name) { w<QPushButton>(name)->click(); }
    QStringList log() const
    {
        const QString t = w<QTextBrowser>("tb_print")->toPlainText();
        return t.isEmpty() ? QStringList() : t.split('\n');
    }
    bool waitLog(const QString &line, int timeout_ms = 60000) const
    {
        return testsupport::wait_until([&] { return log().contains(line); }, timeout_ms);
    }
    QTableView *table() const { return w<QTableView>("tv_models"); }
    int rows() const { return table()->model()->rowCount(); }
    QString cell(int row, int column) const { return table()->model()->index(row, column).data().toString(); }
    void selectRow(int row) { table()->setCurrentIndex(table()->model()->index(row, 0)); }

    std::unique_ptr<Dialog_TrainData> d;
    int upgrades = 0;
};

} // namespace

TEST(TrainDialog, FormAndDefaultsOnAFreshSettingsFile)
{
    clear_models();
    Dialog t;
    Dialog_TrainData &d = *t.d;
    EXPECT_EQ(d.objectName(), "Dialog_TrainData");
    EXPECT_EQ(d.windowTitle(), "Dialog");
    EXPECT_EQ(d.size(), QSize(679, 571));
    EXPECT_FALSE(d.windowFlags() & Qt::WindowContextHelpButtonHint);

    const std::vector<std::pair<const char *, QString>> groups = {
        {"groupBox_4", "模型列表"}, {"groupBox", "模型参数"}, {"groupBox_2", "模型训练"}};
    for (const auto &g : groups)
        EXPECT_EQ(t.w<QGroupBox>(g.first)->title(), g.second);
    const std::vector<std::pair<const char *, QString>> buttons = {
        {"pb_delrow", "删除"}, {"pb_import", "导入"}, {"pb_extport", "导出"},
        {"pb_loadCache", "加载雷达缓存"}, {"pb_writelidar", "写入在线雷达"},
        {"pb_import_abnormal_model", "导入异常模型"}, {"pb_choose_traindata", "选择训练数据"},
        {"pb_choose_testdata", "选择测试数据"}, {"pb_start_train", "开始训练"},
        {"pb_end_train", "终止训练"}, {"pb_detectdata", "测试模式"}, {"pb_clearlog", "清空日志"}};
    for (const auto &b : buttons)
        EXPECT_EQ(t.w<QPushButton>(b.first)->text(), b.second) << b.first;
    const std::vector<std::pair<const char *, QString>> labels = {
        {"label", ""}, {"label_3", "距离阈值"}, {"label_2", "异常点数阈值"}, {"label_4", "运动检测阈值"},
        {"label_22", "训练对象名称"}};
    for (const auto &l : labels)
        EXPECT_EQ(t.w<QLabel>(l.first)->text(), l.second) << l.first;
    EXPECT_EQ(t.w<QLabel>("label_3")->buddy(), t.w<QLineEdit>("le_offset_distance"));

    QTableView *tv = t.table();
    EXPECT_EQ(tv->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(tv->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(tv->horizontalHeader()->sectionResizeMode(0), QHeaderView::Stretch);
    const QStringList headers = {"object name", "sample num", "time"};
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(tv->model()->headerData(c, Qt::Horizontal).toString(), headers[c]);
    EXPECT_EQ(t.rows(), 0);

    EXPECT_EQ(t.w<QLineEdit>("le_offset_distance")->text(), "10");
    EXPECT_EQ(t.w<QLineEdit>("le_errpoint_num")->text(), "40");
    EXPECT_EQ(t.w<QLineEdit>("le_move_frame_num")->text(), "1");
    EXPECT_EQ(t.w<QLineEdit>("le_train_name")->text(), "");
    EXPECT_EQ(t.w<QLabel>("le_choose_traindata")->text(), "");
    EXPECT_EQ(t.w<QLabel>("le_choose_testdata")->text(), "");

    d.show();
    for (const char *hidden : {"pb_detectdata", "le_choose_testdata", "pb_choose_testdata"})
        EXPECT_FALSE(d.findChild<QWidget *>(hidden)->isVisible()) << hidden;
    EXPECT_TRUE(t.w<QPushButton>("pb_start_train")->isVisible());
}

TEST(TrainDialog, FieldsAndPathsAreStoredAndReadBack)
{
    clear_models();
    testsupport::ModalRecorder modal;
    const QString train = QString::fromStdString(testsupport::temp_dir()) + "/训练.dump";
    const QString test = QString::fromStdString(testsupport::temp_dir()) + "/test.dump";
    {
        Dialog t;
        t.w<QLineEdit>("le_offset_distance")->setText("12");
        t.w<QLineEdit>("le_errpoint_num")->setText("30");
        t.w<QLineEdit>("le_move_frame_num")->setText("2");
        t.w<QLineEdit>("le_train_name")->setText("箱子");

        modal.chooserAnswers = {train, test, ""};
        t.click("pb_choose_traindata");
        t.click("pb_choose_testdata");
        // A cancelled chooser keeps the path.
        t.click("pb_choose_traindata");
        ASSERT_EQ(modal.chooserRequests.size(), 3u);
        EXPECT_EQ(modal.chooserRequests[0].kind, ChooserKind::OpenFile);
        EXPECT_EQ(modal.chooserRequests[0].caption, "Open File");
        EXPECT_EQ(modal.chooserRequests[0].dir, "");
        EXPECT_EQ(modal.chooserRequests[0].filter, "train data (*.*)");
        EXPECT_EQ(modal.chooserRequests[1].filter, "test data (*.*)");
        EXPECT_EQ(modal.chooserRequests[2].dir, train) << "starts at the path shown";
        EXPECT_EQ(t.w<QLabel>("le_choose_traindata")->text(), train);
        EXPECT_EQ(t.w<QLabel>("le_choose_testdata")->text(), test);
        // Paths are stored when chosen, the fields only when the dialog goes.
        EXPECT_EQ(stored("TrainPath"), train.toStdString());
        EXPECT_EQ(stored("TestPath"), test.toStdString());
        EXPECT_EQ(stored("errpoint_num"), "<absent>");
    }
    EXPECT_EQ(stored("offset_distance"), "12");
    EXPECT_EQ(stored("errpoint_num"), "30");
    EXPECT_EQ(stored("move_frame_num"), "2");
    EXPECT_EQ(stored("train_name"), "箱子");

    Dialog again;
    EXPECT_EQ(again.w<QLineEdit>("le_offset_distance")->text(), "12");
    EXPECT_EQ(again.w<QLineEdit>("le_errpoint_num")->text(), "30");
    EXPECT_EQ(again.w<QLineEdit>("le_move_frame_num")->text(), "2");
    EXPECT_EQ(again.w<QLineEdit>("le_train_name")->text(), "箱子");
    EXPECT_EQ(again.w<QLabel>("le_choose_traindata")->text(), train);
    EXPECT_EQ(again.w<QLabel>("le_choose_testdata")->text(), test);
}

TEST(TrainDialog, DumpScan)
{
    const Bytes pts = payload(14, 30, 0xAB);
    const Bytes imu = payload(4, 60, 0xCD);
    const Bytes other = payload(1, 30);
    // A header that claims no header and no payload: on its own it would never advance.
    Bytes zero = record(Bytes(8, 0));
    zero[7] = 0;
    zero[18] = zero[19] = 0;
    Bytes longHeader = record(pts);
    longHeader[7] = 24;
    Bytes past = record(imu);
    past.resize(past.size() - 1);

    struct Case {
        const char *name;
        Bytes file;
        std::vector<Bytes> points;
        std::vector<Bytes> imu;
    };
    const std::vector<Case> cases = {
        {"two records", concat({record(imu), record(pts)}), {pts}, {imu}},
        {"a corrupt byte between two records", concat({record(pts), Bytes{0x4C}, record(imu)}), {pts}, {imu}},
        {"a record running past the end", concat({record(pts), record(imu), past}), {pts}, {imu}},
        {"zero header and payload lengths", concat({zero, record(pts)}), {pts}, {}},
        {"a header length other than 20", concat({longHeader, record(imu)}), {}, {imu}},
        {"other types and payloads under 4 bytes", concat({record(other), record(Bytes{0, 0, 0}), record(pts)}),
         {pts}, {}},
        {"20 bytes", record(Bytes()), {}, {}},
        {"a record ending at the last byte", record(payload(14, 4)), {payload(14, 4)}, {}},
        {"empty", {}, {}, {}},
    };
    for (const Case &c : cases) {
        const DumpPackets got = scan_dump(c.file.data(), c.file.size());
        EXPECT_EQ(got.points, c.points) << c.name;
        EXPECT_EQ(got.imu, c.imu) << c.name;
    }
    ASSERT_EQ(record(Bytes()).size(), 20u);
}

TEST(TrainDialog, PointPacketsOnlyTrainNothing)
{
    clear_models();
    RaxoScene scene;
    scene.object(40, 59, 100, 103, 5.0);
    Bytes file;
    for (const Bytes &p : scene.packets())
        append(file, record(p));
    const std::string path = write_temp("points.dump", file);
    {
        testsupport::ModalRecorder modal;
        Dialog t;
        t.w<QLineEdit>("le_train_name")->setText("box");
        modal.chooserAnswers = {QString::fromStdString(path)};
        t.click("pb_choose_traindata");
        t.click("pb_start_train");
        EXPECT_EQ(t.log(), QStringList({"read file ok,pointcloud packet:450 imu packet:0", "read imu ng",
                                        "read pointcloud  ok", "train end"}));
        ASSERT_TRUE(t.waitLog("reload train model"));
        EXPECT_EQ(t.rows(), 0);
        EXPECT_TRUE(detector().GetModels().empty());
        EXPECT_EQ(detector().WorkerCount(), 0);
    }
}

TEST(TrainDialog, RefusedRunsFeedNothing)
{
    clear_models();
    testsupport::ModalRecorder modal;
    Dialog t;
    // No file chosen: the detector starts, nothing is fed and no run is open.
    t.w<QLineEdit>("le_train_name")->setText("box");
    t.click("pb_start_train");
    EXPECT_EQ(t.log(), QStringList({"The train data file path is open failed!"}));
    EXPECT_FALSE(t.d->isRunning());
    t.click("pb_end_train");
    EXPECT_EQ(t.log().size(), 1) << "no run to end";

    // Names the model file cannot carry are refused before anything starts.
    const std::string path = write_temp("one.dump", record(payload(14)));
    modal.chooserAnswers = {QString::fromStdString(path)};
    t.click("pb_choose_traindata");
    detector().Reset();
    for (const QString name : {"", "a box", "box\t"}) {
        t.click("pb_clearlog");
        t.w<QLineEdit>("le_train_name")->setText(name);
        t.click("pb_start_train");
        EXPECT_EQ(t.log(), QStringList({"The train object name must not be empty nor hold white space!"}))
            << name.toStdString();
        EXPECT_EQ(detector().WorkerCount(), 0);
    }

    // A file larger than the machine's memory is refused, not read.
    const std::string huge = testsupport::temp_dir() + "/huge.dump";
    const long long size = (long long)sysconf(_SC_PHYS_PAGES) * sysconf(_SC_PAGE_SIZE) * 2;
    std::fclose(std::fopen(huge.c_str(), "wb"));
    ASSERT_EQ(truncate(huge.c_str(), off_t(size)), 0);
    modal.chooserAnswers = {QString::fromStdString(huge)};
    t.click("pb_choose_traindata");
    t.click("pb_clearlog");
    t.w<QLineEdit>("le_train_name")->setText("box");
    t.click("pb_start_train");
    EXPECT_EQ(t.log(), QStringList({QString("The data file is too large to read: %1 bytes").arg(size)}));
    EXPECT_FALSE(t.d->isRunning());
    ::unlink(huge.c_str());
}

TEST(TrainDialog, SyntheticDumpTrainedListedAndExported)
{
    clear_models();
    // One object 5 m ahead, 20 rows by 4 columns, 15 cm deep: its cluster is its 80 cells.
    RaxoScene scene;
    const std::vector<Point3f> cluster = put_one_object(scene);
    const int frames = 3;
    Bytes file;
    for (int i = 0; i < 2; ++i)
        append(file, record(raxo_imu_level_packet(0.0f, 0.0f, 9.8f)));
    append(file, record(payload(1, 40))); // another kind of record on the way
    const RaxoScene empty;
    const std::vector<Bytes> emptyPackets = empty.packets();
    for (int i = 0; i < kDetectorBackgroundFrames; ++i)
        for (const Bytes &p : emptyPackets)
            append(file, record(p));
    const std::vector<Bytes> objectPackets = scene.packets();
    for (int i = 0; i < frames; ++i)
        for (const Bytes &p : objectPackets)
            append(file, record(p));
    const std::string path = write_temp("box.dump", file);

    // The timer thread is held on the last frame's clusters: the reload must wait for it.
    struct Hold {
        std::mutex mutex;
        std::condition_variable cv;
        int elements = 0;
        bool held = true;
    };
    auto hold = std::make_shared<Hold>();
    detector().SetClusterTap([hold, frames](const PacketData &) {
        std::unique_lock<std::mutex> lock(hold->mutex);
        // Bounded: a dialog that joined the workers here would otherwise hang the test.
        if (++hold->elements == frames)
            hold->cv.wait_for(lock, std::chrono::seconds(20), [&] { return !hold->held; });
    });
    auto release = [hold] {
        std::lock_guard<std::mutex> lock(hold->mutex);
        hold->held = false;
        hold->cv.notify_all();
    };

    testsupport::ModalRecorder modal;
    Dialog t;
    // Gone before the dialog, whose end joins the workers: a failed check never leaves the
    // timer thread held.
    struct Releaser {
        std::function<void()> f;
        ~Releaser() { f(); }
    } releaser{release};
    t.w<QLineEdit>("le_train_name")->setText("box");
    modal.chooserAnswers = {QString::fromStdString(path)};
    t.click("pb_choose_traindata");
    const uint64_t before = uint64_t(QDateTime::currentMSecsSinceEpoch());
    t.click("pb_start_train");
    const int packets = (kDetectorBackgroundFrames + frames) * RaxoScene::kPackets;
    const QString still = QString("read imu ok,pitch:%1 roll:%2")
                              .arg(QString::number(float(detector().GetPitch()), 'g', 6),
                                   QString::number(float(detector().GetRoll()), 'g', 6));
    EXPECT_EQ(t.log(), QStringList({QString("read file ok,pointcloud packet:%1 imu packet:2").arg(packets),
                                    still, "read pointcloud  ok", "train end"}));
    EXPECT_EQ(detector().GetConfig().min_cluster_points, 40);
    // A second after the run the workers are still busy: the reload looks again shortly
    // instead of waiting, and the dialog stays responsive.
    QTimer *reload = t.d->findChild<QTimer *>("reloadTimer");
    ASSERT_NE(reload, nullptr);
    const bool rearmed = testsupport::wait_until(
        [&] { return reload->isActive() && reload->interval() == Dialog_TrainData::kReloadPollMs; }, 60000);
    EXPECT_TRUE(rearmed);
    EXPECT_FALSE(t.log().contains("reload train model"));
    EXPECT_EQ(detector().WorkerCount(), 2);
    release();
    ASSERT_TRUE(t.waitLog("reload train model"));
    detector().SetClusterTap(nullptr);
    const uint64_t after = uint64_t(QDateTime::currentMSecsSinceEpoch());
    EXPECT_EQ(t.log().size(), 5);
    EXPECT_EQ(detector().WorkerCount(), 0) << "the reload resets the detector";

    ASSERT_EQ(t.rows(), 1);
    EXPECT_EQ(t.cell(0, 0), "box");
    EXPECT_EQ(t.cell(0, 1), QString::number(frames));
    ASSERT_EQ(t.d->shownModels().size(), 1u);
    const uint64_t time = t.d->shownModels()[0].time;
    EXPECT_GE(time, before);
    EXPECT_LE(time, after);
    EXPECT_EQ(t.cell(0, 2), QDateTime::fromMSecsSinceEpoch(qint64(time)).toString("yyyy-MM-dd HH:mm:ss"));

    // Exported: the model's mean is the cluster's features averaged over the frames.
    const std::string out = testsupport::temp_dir() + "/export.bin";
    modal.chooserAnswers = {QString::fromStdString(out)};
    t.click("pb_extport");
    ASSERT_EQ(modal.chooserRequests.size(), 2u);
    EXPECT_EQ(modal.chooserRequests[1].kind, ChooserKind::SaveFile);
    EXPECT_EQ(modal.chooserRequests[1].caption, "Open File");
    EXPECT_EQ(modal.chooserRequests[1].filter, "model file (*.bin)");
    EXPECT_EQ(t.log().back(), "export file ok");

    const ObjectFeature f = reference_features(cluster);
    const ObjectFeature mean = mean_of_samples(f, frames);
    const std::string want = "1\r\n" + model_text("box", frames, time, mean);
    const std::string got = read_text(out);
    const QStringList wantLines = QString::fromStdString(want).split("\r\n");
    const QStringList gotLines = QString::fromStdString(got).split("\r\n");
    ASSERT_EQ(gotLines.size(), wantLines.size()) << got;
    for (int i = 0; i < wantLines.size(); ++i)
        EXPECT_EQ(gotLines[i], wantLines[i]) << "line " << i;
}

TEST(TrainDialog, DeleteAndTheEmptyModel)
{
    clear_models();
    ASSERT_TRUE(detector().AddModel("car"));
    ASSERT_TRUE(detector().AddModel("person"));
    testsupport::ModalRecorder modal;
    Dialog t;
    ASSERT_EQ(t.rows(), 2);
    EXPECT_EQ(t.cell(1, 0), "person");
    EXPECT_EQ(t.cell(1, 1), "0");

    t.click("pb_delrow");
    EXPECT_TRUE(t.log().isEmpty()) << "nothing selected";

    t.selectRow(0);
    t.click("pb_delrow");
    EXPECT_EQ(t.log().back(), "delete model name:car OK");
    EXPECT_EQ(t.rows(), 1);
    EXPECT_EQ(t.d->shownModels().size(), 2u) << "the shown list stays as it was";
    EXPECT_EQ(detector().GetModelName(0), "person");

    // The row of a model the detector no longer holds goes, with NG.
    ASSERT_TRUE(detector().RemoveModel("person"));
    t.selectRow(0);
    t.click("pb_delrow");
    EXPECT_EQ(t.log().back(), "delete model name:person NG");
    EXPECT_EQ(t.rows(), 0);

    t.click("pb_import_abnormal_model");
    t.click("pb_import_abnormal_model");
    const QStringList log = t.log();
    EXPECT_EQ(log.mid(log.size() - 2), QStringList({"create abnormal model:ok", "create abnormal model:ng"}));
    ASSERT_EQ(t.rows(), 1);
    EXPECT_EQ(t.cell(0, 0), "unknown");
    EXPECT_EQ(t.cell(0, 1), "0");
}

TEST(TrainDialog, ImportExportAndTheSensorCache)
{
    clear_models();
    const std::string models = "2\r\nchair 5 1700000000000\r\n0.5 0.5 1 0.1\r\n8 1 0 0 0 0 0 0 0\r\n"
                               "5 0.2 0.2 0.2 0.2 0.2\r\ntable 7 1700000001000\r\n1 2 0.8 0.3\r\n"
                               "8 0.5 0.5 0 0 0 0 0 0\r\n5 0.2 0.2 0.2 0.2 0.2\r\n";
    const std::string file = write_temp("models.bin", Bytes(models.begin(), models.end()));
    testsupport::ModalRecorder modal;
    load_settings();
    IniSettings::instance()->set_value("Standard", "ExportModelPath", "/exports", kDoc);
    Dialog t;

    modal.chooserAnswers = {QString::fromStdString(file)};
    t.click("pb_import");
    ASSERT_EQ(modal.chooserRequests.size(), 1u);
    EXPECT_EQ(modal.chooserRequests[0].kind, ChooserKind::OpenFile);
    EXPECT_EQ(modal.chooserRequests[0].caption, "Open File");
    EXPECT_EQ(modal.chooserRequests[0].dir, "");
    EXPECT_EQ(modal.chooserRequests[0].filter, "model file (*.bin)");
    EXPECT_EQ(stored("ImportModelPath"), file);
    EXPECT_EQ(t.log().back(), "import file ok");
    ASSERT_EQ(t.rows(), 2);
    EXPECT_EQ(t.cell(0, 0), "chair");
    EXPECT_EQ(t.cell(1, 0), "table");
    EXPECT_EQ(t.cell(1, 1), "7");
    EXPECT_EQ(t.cell(1, 2), QDateTime::fromMSecsSinceEpoch(1700000001000LL).toString("yyyy-MM-dd HH:mm:ss"));

    // Exported as the detector writes it; the chooser starts at the stored export folder.
    const std::string out = testsupport::temp_dir() + "/out.bin";
    modal.chooserAnswers = {QString::fromStdString(out)};
    t.click("pb_extport");
    EXPECT_EQ(modal.chooserRequests.back().dir, "/exports");
    EXPECT_EQ(t.log().back(), "export file ok");
    EXPECT_EQ(read_text(out), PointCloudAnomalyDetector::formatModelFile(detector().GetModels()));
    EXPECT_EQ(stored("ExportModelPath"), "/exports") << "never written";

    // Failures are reported as such.
    const QString nowhere = QString::fromStdString(testsupport::temp_dir()) + "/no/such/folder/x.bin";
    modal.chooserAnswers = {nowhere, nowhere};
    t.click("pb_extport");
    EXPECT_EQ(t.log().back(), "export file failed: " + nowhere);
    t.click("pb_import");
    EXPECT_EQ(t.log().back(), "import file failed: " + nowhere);
    EXPECT_EQ(t.rows(), 0);
    EXPECT_EQ(modal.chooserRequests.back().dir, QString::fromStdString(file)) << "starts at the last import";

    // A cancelled chooser does nothing.
    const int lines = t.log().size();
    t.click("pb_import");
    t.click("pb_extport");
    EXPECT_EQ(t.log().size(), lines);

    // The file a Raxo sensor sent back.
    const QString cache = Dialog_TrainData::sensorModelPath();
    EXPECT_EQ(cache, QStandardPaths::writableLocation(QStandardPaths::TempLocation) + "/alg_model.bin");
    testsupport::write_file(cache.toStdString(), Bytes(models.begin(), models.end()));
    t.click("pb_loadCache");
    ASSERT_EQ(t.rows(), 2);
    EXPECT_EQ(t.cell(0, 0), "chair");
    EXPECT_EQ(t.log().size(), lines);
}

TEST(TrainDialog, WritingForTheSensorSavesWithinTheLimitAndSendsNothing)
{
    clear_models();
    for (int i = 0; i < 9; ++i)
        ASSERT_TRUE(detector().AddModel("m" + std::to_string(i)));
    const QString cache = Dialog_TrainData::sensorModelPath();
    ::unlink(cache.toLocal8Bit().constData());
    testsupport::ModalRecorder modal;
    load_settings();
    IniSettings::instance()->set_value("Standard", "upgrade_path", "/firmware.bin", kDoc);
    Dialog t;
    ASSERT_EQ(t.rows(), 9);

    t.click("pb_writelidar");
    EXPECT_EQ(modal.warningLines(), QStringList({"error|The maximum number of models is 8"}));
    EXPECT_FALSE(QFile::exists(cache));
    EXPECT_TRUE(t.log().isEmpty());

    // The detector's list counts: after a delete the table was not refilled, yet 8 remain.
    t.selectRow(8);
    t.click("pb_delrow");
    modal.clear();
    t.click("pb_writelidar");
    EXPECT_TRUE(modal.warnings.empty());
    EXPECT_EQ(read_text(cache.toStdString()), PointCloudAnomalyDetector::formatModelFile(detector().GetModels()));
    EXPECT_EQ(detector().GetModels().size(), 8u);
    EXPECT_EQ(t.log().back(),
              "Uploading models to a sensor is not available; the model file was saved to " + cache);
    EXPECT_EQ(t.upgrades, 0);
    EXPECT_EQ(stored("upgrade_path"), "/firmware.bin");
}

TEST(TrainDialog, TestRunRunsUntilEnded)
{
    clear_models();
    ASSERT_TRUE(detector().AddModel("unknown"));
    Bytes file = record(raxo_imu_level_packet(0.0f, 0.0f, 9.8f));
    const RaxoScene empty;
    for (const Bytes &p : empty.packets())
        append(file, record(p));
    const std::string path = write_temp("test.dump", file);

    testsupport::ModalRecorder modal;
    Dialog t;
    modal.chooserAnswers = {QString::fromStdString(path)};
    t.click("pb_choose_testdata");
    t.click("pb_detectdata");
    const QStringList log = t.log();
    ASSERT_EQ(log.size(), 3) << log.join('|').toStdString();
    EXPECT_EQ(log[0], "read file ok,pointcloud packet:450 imu packet:1");
    EXPECT_TRUE(log[1].startsWith("read imu ok,pitch:"));
    EXPECT_EQ(log[2], "read pointcloud  ok");
    EXPECT_TRUE(t.d->isRunning());
    EXPECT_FALSE(detector().IsTraining());
    EXPECT_EQ(detector().WorkerCount(), 2) << "the workers go on until the run is ended";

    t.click("pb_end_train");
    EXPECT_FALSE(t.d->isRunning());
    EXPECT_EQ(t.log().back(), "train end");
    ASSERT_TRUE(t.waitLog("reload train model"));
    EXPECT_EQ(detector().WorkerCount(), 0);
    ASSERT_EQ(t.rows(), 1);
    EXPECT_EQ(t.cell(0, 1), "0") << "nothing trained";
}

namespace {

class TrainLanguages : public ::testing::TestWithParam<const char *> {};

} // namespace

// An English system reads no Chinese caption, a Chinese one the code's texts in Chinese.
TEST_P(TrainLanguages, CaptionsAndLogInTheSystemLanguage)
{
    clear_models();
    const bool english = QString(GetParam()) == "English";
    testsupport::ScopedTranslation translation(GetParam());
    ASSERT_TRUE(translation.loaded());
    testsupport::ModalRecorder modal;
    Dialog t;
    t.d->show();
    t.click("pb_start_train");
    t.w<QLineEdit>("le_train_name")->setText("box");
    t.click("pb_start_train");
    t.click("pb_import_abnormal_model");
    QStringList texts = testsupport::visible_texts(t.d.get());
    for (int c = 0; c < 3; ++c)
        texts << t.table()->model()->headerData(c, Qt::Horizontal).toString();
    texts << t.log();
    if (english) {
        EXPECT_TRUE(testsupport::cjk_texts(texts).isEmpty())
            << testsupport::cjk_texts(texts).join("\n").toStdString();
        EXPECT_TRUE(texts.contains("pb_writelidar: Write to online sensor"));
        EXPECT_EQ(t.d->windowTitle(), "Model Training");
        EXPECT_EQ(t.log(), QStringList({"The train object name must not be empty nor hold white space!",
                                        "The train data file path is open failed!", "create abnormal model:ok"}));
    } else {
        EXPECT_EQ(t.d->windowTitle(), "模型训练");
        EXPECT_TRUE(texts.contains("pb_writelidar: 写入在线雷达")) << texts.join("\n").toStdString();
        EXPECT_TRUE(texts.contains("对象名称"));
        EXPECT_EQ(t.log(), QStringList({"训练对象名称不能为空，也不能包含空白字符！", "训练数据文件打开失败！",
                                        "创建异常模型：ok"}));
    }
}

INSTANTIATE_TEST_SUITE_P(Training, TrainLanguages, ::testing::Values("English", "Chinese"));
