#include "dialog_traindata.h"

#include "inisettings.h"
#include "messagebox.h"
#include "settingsdocument.h"
#include "ui_dialog_traindata.h"

#include <QDateTime>
#include <QFile>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QTimer>

#include <new>

#include <unistd.h>

namespace {

const char *const kSection = "Standard";

PointCloudAnomalyDetector *detector()
{
    return PointCloudAnomalyDetector::GetInstance();
}

QString setting(const char *key, const char *fallback)
{
    return QString::fromStdString(IniSettings::instance()->get_value(kSection, key, fallback, kSettingsDoc));
}

void store(const char *key, const QByteArray &value)
{
    IniSettings::instance()->set_value(kSection, key, value.toStdString(), kSettingsDoc);
}

// The memory the machine has: a dump larger than this cannot be held whole.
uint64_t physical_memory()
{
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long page = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || page <= 0)
        return UINT64_MAX;
    return uint64_t(pages) * uint64_t(page);
}

// Unsigned decimal text as the configuration fields take it; anything else is 0.
uint32_t field_number(const QString &text)
{
    return text.toUInt(nullptr, 10);
}

} // namespace

Dialog_TrainData::Dialog_TrainData(QWidget *parent)
    : QDialog(parent), ui(new Ui::Dialog_TrainData), m_table(new QStandardItemModel(this)),
      m_reloadTimer(new QTimer(this))
{
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    ui->setupUi(this);

    m_table->setHorizontalHeaderLabels({tr("object name"), tr("sample num"), tr("time")});
    ui->tv_models->setModel(m_table);
    ui->tv_models->setSelectionBehavior(QAbstractItemView::SelectRows);
    ui->tv_models->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui->tv_models->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

    ui->le_errpoint_num->setText(setting("errpoint_num", "40"));
    ui->le_move_frame_num->setText(setting("move_frame_num", "1"));
    ui->le_offset_distance->setText(setting("offset_distance", "10"));
    ui->le_train_name->setText(setting("train_name", ""));
    m_trainPath = setting("TrainPath", "");
    m_testPath = setting("TestPath", "");
    ui->le_choose_traindata->setText(m_trainPath);
    ui->le_choose_testdata->setText(m_testPath);

    m_reloadTimer->setObjectName("reloadTimer");
    m_reloadTimer->setSingleShot(true);
    connect(m_reloadTimer, &QTimer::timeout, this, &Dialog_TrainData::reload);

    showModels();

    ui->pb_detectdata->hide();
    ui->le_choose_testdata->hide();
    ui->pb_choose_testdata->hide();
}

Dialog_TrainData::~Dialog_TrainData()
{
    store("errpoint_num", ui->le_errpoint_num->text().toLocal8Bit());
    store("move_frame_num", ui->le_move_frame_num->text().toLocal8Bit());
    store("offset_distance", ui->le_offset_distance->text().toLocal8Bit());
    store("train_name", ui->le_train_name->text().toLocal8Bit());
    if (PointCloudAnomalyDetector *d = detector())
        d->Reset();
    delete ui;
}

QString Dialog_TrainData::sensorModelPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::TempLocation) + "/" + "alg_model.bin";
}

void Dialog_TrainData::log(const QString &line)
{
    ui->tb_print->append(line);
}

void Dialog_TrainData::fillTable()
{
    PointCloudAnomalyDetector *d = detector();
    for (size_t i = 0; i < m_models.size(); ++i) {
        const ModelInfo info = m_models[i];
        const std::string name = d ? d->GetModelName(int(i)) : std::string("unknown");
        QList<QStandardItem *> row;
        row << new QStandardItem(QString::fromUtf8(name.data(), int(name.size())))
            << new QStandardItem(QString::number(info.sampleCount))
            << new QStandardItem(QDateTime::fromMSecsSinceEpoch(qint64(info.time))
                                     .toLocalTime()
                                     .toString("yyyy-MM-dd HH:mm:ss"));
        m_table->appendRow(row);
    }
}

void Dialog_TrainData::showModels()
{
    m_table->removeRows(0, m_table->rowCount());
    m_models.clear();
    if (PointCloudAnomalyDetector *d = detector())
        d->LoadModelsFromCache(m_models);
    fillTable();
}

bool Dialog_TrainData::loadModelFile(const QString &path)
{
    m_table->removeRows(0, m_table->rowCount());
    m_models.clear();
    bool ok = false;
    if (PointCloudAnomalyDetector *d = detector())
        ok = d->LoadModelsFromFile(path.toLocal8Bit().toStdString(), m_models);
    fillTable();
    return ok;
}

bool Dialog_TrainData::runFile(const QString &path, bool train)
{
    PointCloudAnomalyDetector *d = detector();
    if (!d)
        return false;

    // A name the model file cannot carry would break the file the model is saved to.
    const QByteArray name = ui->le_train_name->text().toLocal8Bit();
    if (train && !PointCloudAnomalyDetector::isUsableModelName(name.toStdString())) {
        log(tr("The train object name must not be empty nor hold white space!"));
        return false;
    }

    DetectorConfig config;
    config.min_cluster_points = uint8_t(field_number(ui->le_errpoint_num->text()));
    config.motion_frames = uint8_t(field_number(ui->le_move_frame_num->text()));
    config.distance_threshold = float(field_number(ui->le_offset_distance->text()));
    d->Start(config);
    if (train)
        d->SetTrainName(name.toStdString());

    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        log(tr("The train data file path is open failed!"));
        return false;
    }
    const qint64 size = file.size();
    std::vector<uint8_t> bytes;
    bool held = size >= 0 && uint64_t(size) <= physical_memory();
    if (held) {
        try {
            bytes.resize(size_t(size));
        } catch (const std::bad_alloc &) {
            held = false;
        } catch (const std::length_error &) {
            held = false;
        }
    }
    if (!held) {
        log(tr("The data file is too large to read: %1 bytes").arg(size));
        return false;
    }
    if (size > 0 && file.read(reinterpret_cast<char *>(bytes.data()), size) != size) {
        log(tr("The train data file path is open failed!"));
        return false;
    }
    file.close();
    m_run = 1;

    const DumpPackets packets = scan_dump(bytes.data(), bytes.size());
    bytes = std::vector<uint8_t>();
    log(tr("read file ok,pointcloud packet:%1 imu packet:%2").arg(packets.points.size()).arg(packets.imu.size()));

    bool still = false;
    for (const std::vector<uint8_t> &p : packets.imu)
        if (d->ProcessImuPacket(p.data(), p.size()) != 0)
            still = true;
    if (still)
        log(tr("read imu ok,pitch:%1 roll:%2").arg(float(d->GetPitch())).arg(float(d->GetRoll())));
    else
        log(tr("read imu ng"));

    for (const std::vector<uint8_t> &p : packets.points)
        d->ProcessPointPacket(p.data(), p.size());
    log(tr("read pointcloud  ok"));
    return true;
}

void Dialog_TrainData::startReload()
{
    m_reloadTimer->start(kReloadDelayMs);
}

void Dialog_TrainData::reload()
{
    PointCloudAnomalyDetector *d = detector();
    // The workers may still be on the last frames: look again shortly rather than wait here.
    if (d && d->WorkerCount() > 0 && !d->IsDrained()) {
        m_reloadTimer->start(kReloadPollMs);
        return;
    }
    if (d)
        d->Reset();
    showModels();
    log(tr("reload train model"));
}

void Dialog_TrainData::on_pb_start_train_clicked()
{
    runFile(m_trainPath, true);
    if (m_run) {
        m_run = 0;
        startReload();
        log(tr("train end"));
    }
}

void Dialog_TrainData::on_pb_detectdata_clicked()
{
    // The run stays open: the workers classify and track until the user ends it.
    runFile(m_testPath, false);
}

void Dialog_TrainData::on_pb_end_train_clicked()
{
    if (!m_run)
        return;
    m_run = 0;
    startReload();
    log(tr("train end"));
}

void Dialog_TrainData::on_pb_delrow_clicked()
{
    const QModelIndex current = ui->tv_models->currentIndex();
    if (!current.isValid())
        return;
    const QString name = m_table->index(current.row(), 0).data().toString();
    m_table->removeRow(current.row());
    PointCloudAnomalyDetector *d = detector();
    const bool removed = d && d->RemoveModel(name.toLocal8Bit().toStdString());
    log(tr("delete model name:%1 %2").arg(name, removed ? "OK" : "NG"));
}

void Dialog_TrainData::on_pb_import_abnormal_model_clicked()
{
    PointCloudAnomalyDetector *d = detector();
    const bool added = d && d->AddModel("unknown");
    log(tr("create abnormal model:%1").arg(added ? "ok" : "ng"));
    showModels();
}

void Dialog_TrainData::on_pb_choose_traindata_clicked()
{
    const QString path =
        choose_open_file(this, tr("Open File"), ui->le_choose_traindata->text(), tr("train data (*.*)"));
    if (path.isEmpty())
        return;
    m_trainPath = path;
    store("TrainPath", path.toUtf8());
    ui->le_choose_traindata->setText(path);
}

void Dialog_TrainData::on_pb_choose_testdata_clicked()
{
    const QString path =
        choose_open_file(this, tr("Open File"), ui->le_choose_testdata->text(), tr("test data (*.*)"));
    if (path.isEmpty())
        return;
    m_testPath = path;
    store("TestPath", path.toUtf8());
    ui->le_choose_testdata->setText(path);
}

void Dialog_TrainData::on_pb_clearlog_clicked()
{
    ui->tb_print->clear();
}

void Dialog_TrainData::on_pb_import_clicked()
{
    const QString path =
        choose_open_file(this, tr("Open File"), setting("ImportModelPath", ""), tr("model file (*.bin)"));
    if (path.isEmpty())
        return;
    store("ImportModelPath", path.toUtf8());
    if (loadModelFile(path))
        log(tr("import file ok"));
    else
        log(tr("import file failed: %1").arg(path));
}

void Dialog_TrainData::on_pb_extport_clicked()
{
    const QString path =
        choose_save_file(this, tr("Open File"), setting("ExportModelPath", ""), tr("model file (*.bin)"));
    if (path.isEmpty())
        return;
    PointCloudAnomalyDetector *d = detector();
    if (d && d->SaveModels(path.toLocal8Bit().toStdString()))
        log(tr("export file ok"));
    else
        log(tr("export file failed: %1").arg(path));
}

void Dialog_TrainData::on_pb_loadCache_clicked()
{
    const QString path = sensorModelPath();
    if (!loadModelFile(path))
        log(tr("load model file failed: %1").arg(path));
}

void Dialog_TrainData::on_pb_writelidar_clicked()
{
    PointCloudAnomalyDetector *d = detector();
    if (!d)
        return;
    // The detector's own list: a delete leaves the shown list as it was.
    std::vector<ModelInfo> held;
    d->LoadModelsFromCache(held);
    if (held.size() > size_t(kMaxSensorModels)) {
        show_warning(nullptr, tr("error"), tr("The maximum number of models is 8"), QMessageBox::Ok);
        return;
    }
    const QString path = sensorModelPath();
    if (!d->SaveModels(path.toLocal8Bit().toStdString())) {
        log(tr("export file failed: %1").arg(path));
        return;
    }
    log(tr("Uploading models to a sensor is not available; the model file was saved to %1").arg(path));
}
