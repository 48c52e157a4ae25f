#pragma once
// The user's window onto the object detector: train a named model from a recorded Raxo dump,
// list, delete, import and export the models, and save them for a sensor. Test mode (feed a
// second dump without training, so the workers classify and track) is built but its widgets
// stay hidden.
//
// Runs block the GUI thread while the file is read and fed; the detector's workers go on
// afterwards and the list is reloaded once they have finished with every frame.

#include "dumpscan.h"
#include "pointcloudanomalydetector.h"

#include <QDialog>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

class QStandardItemModel;
class QTimer;

namespace Ui {
class Dialog_TrainData;
}

class Dialog_TrainData : public QDialog {
    Q_OBJECT

public:
    explicit Dialog_TrainData(QWidget *parent = nullptr);
    ~Dialog_TrainData() override;

    // The models the dialog saves for a sensor at most.
    static constexpr int kMaxSensorModels = 8;
    // The reload follows a run's end by this much, then waits for the workers in short steps.
    static constexpr int kReloadDelayMs = 1000;
    static constexpr int kReloadPollMs = 50;

    // Refills the table (and the shown list) from the detector's models.
    void showModels();
    // Replaces the detector's models with the file's and refills the table from them; false
    // when the file could not be read (the table then shows no models).
    bool loadModelFile(const QString &path);

    // The list the table was last filled from.
    const std::vector<ModelInfo> &shownModels() const { return m_models; }
    bool isRunning() const { return m_run != 0; }
    // The temporary folder's "alg_model.bin", where the sensor's models come back and where
    // the dialog saves them for a sensor.
    static QString sensorModelPath();

signals:
    // Kept for the main window's connection; the dialog never emits it: no model file is
    // uploaded to a sensor.
    void sig_upgrade(QString path, int lidartype, int updatetype);

private slots:
    void on_pb_start_train_clicked();
    void on_pb_end_train_clicked();
    void on_pb_delrow_clicked();
    void on_pb_choose_traindata_clicked();
    void on_pb_choose_testdata_clicked();
    void on_pb_detectdata_clicked();
    void on_pb_clearlog_clicked();
    void on_pb_import_clicked();
    void on_pb_extport_clicked();
    void on_pb_loadCache_clicked();
    void on_pb_writelidar_clicked();
    void on_pb_import_abnormal_model_clicked();

private:
    // Feeds the file at `path` to the detector (started with the fields' configuration);
    // false when nothing could be fed.
    bool runFile(const QString &path, bool train);
    void startReload();
    void reload();
    void log(const QString &line);
    void fillTable();

    Ui::Dialog_TrainData *ui;
    QStandardItemModel *m_table;
    std::vector<ModelInfo> m_models;
    QString m_trainPath;
    QString m_testPath;
    uint8_t m_run = 0;
    QTimer *m_reloadTimer;
};
