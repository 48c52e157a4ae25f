#pragma once
// The table of the objects a Raxo sensor tracks ("Object Move Information"): up to 16 rows, one
// per object id, with its centre, size, class name, alarm state and the time of its last
// report. A known id keeps its row; a new one takes the row written longest ago among those not
// refreshed by the same list. Rows not refreshed in the current second turn grey.

#include "pointcloudanomalydetector.h"
#include "zonemonitor.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <vector>

class QStandardItemModel;

namespace Ui {
class Dialog_ObjectTrack;
}

class Dialog_ObjectTrack : public QDialog {
    Q_OBJECT

public:
    static constexpr int kRows = 16;

    explicit Dialog_ObjectTrack(QWidget *parent = nullptr);
    ~Dialog_ObjectTrack() override;

    // The main window's object models, handed over before every list.
    void setObjModels(std::vector<ModelInfo> models);
    // Updates the rows from one object list (at most its 16 records are read).
    void setObjectList(const ObjectListMsg *list);
    // Sizes the window to the table, within 0.9 of the screen's available area.
    void fitToTable();

    // Milliseconds since 1970; the wall clock unless a test sets another.
    using Clock = std::function<int64_t()>;
    void setClock(Clock clock);

    int64_t slotStamp(int row) const { return slotStamps[row]; }
    int32_t slotId(int row) const { return slotIds[row]; }
    size_t modelCount() const { return models.size(); }

private:
    void writeRow(int row, const TrackedObject &object, int64_t now, const QString &time);

    Ui::Dialog_ObjectTrack *ui;
    QStandardItemModel *model;
    int64_t slotStamps[kRows];
    int32_t slotIds[kRows];
    std::vector<ModelInfo> models;
    Clock clock;
};
