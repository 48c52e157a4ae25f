#include "dialog_objecttrack.h"

#include "texthelpers.h"
#include "ui_dialog_objecttrack.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QStandardItemModel>

#include <algorithm>

namespace {

constexpr int kColumns = 10;
constexpr int kTimeColumn = 9;
// Model names are shown as far as the sensor's 16-byte name field would hold them.
constexpr size_t kNameBytes = 16;

QString className(int32_t index)
{
    const PointCloudAnomalyDetector *detector = PointCloudAnomalyDetector::GetInstance();
    const std::string name = detector != nullptr ? detector->GetModelName(index) : "unknown";
    const std::string cut = trim_version_string(name.data(), std::min(name.size(), kNameBytes));
    return QString::asprintf("%16s", cut.c_str());
}

} // namespace

Dialog_ObjectTrack::Dialog_ObjectTrack(QWidget *parent)
    : QDialog(parent), ui(new Ui::Dialog_ObjectTrack), model(nullptr),
      clock([] { return int64_t(QDateTime::currentMSecsSinceEpoch()); })
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowTitle(tr("Object Move Information"));
    ui->verticalLayout->setContentsMargins(0, 0, 0, 0);
    ui->verticalLayout->setSpacing(0);
    std::fill(std::begin(slotStamps), std::end(slotStamps), 0);
    std::fill(std::begin(slotIds), std::end(slotIds), -1);

    model = new QStandardItemModel(this);
    const QString headers[kColumns] = {tr("id"),     tr("center x"),    tr("center y"),
                                       tr("center z"), tr("length"),    tr("width"),
                                       tr("height"), tr("object name"), tr("alarm type"),
                                       tr("time")};
    for (int c = 0; c < kColumns; ++c)
        model->setHorizontalHeaderItem(c, new QStandardItem(headers[c]));

    QTableView *view = ui->tv_obj_track;
    view->setModel(model);
    view->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    view->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setCornerButtonEnabled(false);
    view->setTabKeyNavigation(false);
    view->setShowGrid(false);
    // Columns as wide as their texts, and the window as wide as the columns: stretching them
    // all alike would cut the class names and times short in a window fitted to the table.
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(25);
}

Dialog_ObjectTrack::~Dialog_ObjectTrack()
{
    delete ui;
}

void Dialog_ObjectTrack::setClock(Clock c)
{
    clock = std::move(c);
}

void Dialog_ObjectTrack::setObjModels(std::vector<ModelInfo> list)
{
    models = std::move(list);
}

void Dialog_ObjectTrack::writeRow(int row, const TrackedObject &object, int64_t now,
                                  const QString &time)
{
    QString alarm;
    if (object.alarm_flags & ZONE_FLAG_OBSERVE)
        alarm += tr("observe");
    if (object.alarm_flags & ZONE_FLAG_WARNING)
        alarm += tr("warm");
    if (object.alarm_flags & ZONE_FLAG_ALARM)
        alarm += tr("alarm");
    const QString cells[kColumns] = {
        QString::asprintf("%3d", int(object.id)),
        QString::asprintf("%3.3f", double(object.center_x)),
        QString::asprintf("%3.3f", double(object.center_y)),
        QString::asprintf("%3.3f", double(object.center_z)),
        QString::asprintf("%3.3f", double(object.length)),
        QString::asprintf("%3.3f", double(object.width)),
        QString::asprintf("%3.3f", double(object.height)),
        className(object.class_index),
        QString::asprintf("%16s", alarm.toUtf8().constData()),
        time,
    };
    for (int c = 0; c < kColumns; ++c)
        model->setItem(row, c, new QStandardItem(cells[c]));
    slotStamps[row] = now;
}

void Dialog_ObjectTrack::setObjectList(const ObjectListMsg *list)
{
    if (list == nullptr)
        return;
    std::vector<TrackedObject> objects;
    object_list_decode(reinterpret_cast<const uint8_t *>(list), sizeof(ObjectListMsg), &objects);
    const int64_t now = clock();
    const QString time = QDateTime::fromMSecsSinceEpoch(now).toString("hh:mm:ss");

    bool written[kRows] = {};
    std::vector<bool> placed(objects.size(), false);
    // Known ids keep their rows.
    for (size_t i = 0; i < objects.size(); ++i) {
        for (int r = 0; r < kRows && slotIds[r] != -1; ++r) {
            if (slotIds[r] == int32_t(objects[i].id)) {
                writeRow(r, objects[i], now, time);
                written[r] = true;
                placed[i] = true;
                break;
            }
        }
    }
    // New ids take the row written longest ago among those this list did not refresh; its new
    // stamp sends the next new id elsewhere.
    for (size_t i = 0; i < objects.size(); ++i) {
        if (placed[i])
            continue;
        int oldest = -1;
        for (int r = 0; r < kRows; ++r)
            if (!written[r] && (oldest < 0 || slotStamps[r] < slotStamps[oldest]))
                oldest = r;
        if (oldest >= 0)
            writeRow(oldest, objects[i], now, time);
    }

    fitToTable();

    if (objects.empty())
        return;
    const QBrush grey(QColor(200, 200, 200), Qt::SolidPattern);
    for (int r = 0; r < kRows && r < model->rowCount(); ++r) {
        const QStandardItem *id = model->item(r, 0);
        if (id == nullptr)
            continue;
        slotIds[r] = int32_t(id->text().trimmed().toUInt());
        const QStandardItem *stamp = model->item(r, kTimeColumn);
        if (stamp != nullptr && stamp->text() != time)
            for (int c = 0; c < kColumns; ++c)
                if (QStandardItem *cell = model->item(r, c))
                    cell->setBackground(grey);
    }
}

void Dialog_ObjectTrack::fitToTable()
{
    // Measured with the fonts and style the window will show: a window not yet shown is not
    // polished yet.
    ensurePolished();
    QTableView *view = ui->tv_obj_track;
    view->resizeColumnsToContents();
    view->resizeRowsToContents();
    // What the columns need, asked of the texts themselves: the header's own section sizes are
    // laid out later, when the window shows. So are the headers' sizes: their hints stand in.
    const QHeaderView *top = view->horizontalHeader();
    const QHeaderView *side = view->verticalHeader();
    const QAbstractItemView *items = view;
    int columns = 0;
    for (int c = 0; c < model->columnCount(); ++c)
        columns += std::max(items->sizeHintForColumn(c), top->sectionSizeHint(c));
    const int frame = 2 * view->frameWidth();
    const int width = columns + (side->isHidden() ? 0 : side->sizeHint().width()) + frame;
    const int height = (top->isHidden() ? 0 : top->sizeHint().height()) + side->length() + frame;
    view->setFixedSize(width, height);
    setFixedSize(width, height);

    // A dialog placed off every screen is bounded by the primary one.
    QScreen *screen = QGuiApplication::screenAt(pos());
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect available = screen->availableGeometry();
    const QSize limit(qRound(available.width() * 0.9), qRound(available.height() * 0.9));
    if (limit.width() < this->width() || limit.height() < this->height()) {
        // The view shrinks with the window, so that its scroll bars reach the rest of the table.
        setFixedSize(limit);
        view->setFixedSize(limit);
        view->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        view->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }
}
