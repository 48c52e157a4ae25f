#include "page_drawzone.h"

#include "ui_page_drawzone.h"

#include "messagebox.h"
#include "zonemodalscope.h"

#include <QAction>
#include <QDoubleValidator>
#include <QHeaderView>
#include <QIntValidator>
#include <QLineEdit>
#include <QMenu>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVariant>

#include <cmath>

static void register_pointcloud2d_resources()
{
    Q_INIT_RESOURCE(pointcloud2d);
}

namespace {

using ZONEALARM::ZoneShape;

// Fields and vertex cells take millimetres up to this magnitude.
constexpr double kFieldLimit = 99999.0;

const char kZoneDigits[] = "0123456789ABCDEF";

bool is_polygon(int kind)
{
    return kind == ZONEALARM::ZONE_POLYGON || kind == ZONEALARM::ZONE_SUBTRACT;
}

bool is_unfinished_polygon(const ZoneShape &s)
{
    return is_polygon(s.kind) && s.point_count == 0;
}

QString six_digits(double v)
{
    // + 0.0: a value that rounds to minus zero shows as "0".
    return QString::number(std::round(v) + 0.0, 'g', 6);
}

QDoubleValidator *field_validator(int decimals, QObject *parent)
{
    auto *v = new QDoubleValidator(-kFieldLimit, kFieldLimit, decimals, parent);
    v->setNotation(QDoubleValidator::StandardNotation);
    v->setLocale(QLocale::c());
    return v;
}

// Vertex cells are edited like the fields: a number of at most 99999 mm, nothing else.
class VertexDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &) const override
    {
        auto *edit = new QLineEdit(parent);
        edit->setValidator(field_validator(3, edit));
        return edit;
    }
};

} // namespace

Page_DrawZone::Page_DrawZone(QWidget *parent) : QWidget(parent), ui(new Ui_Page_DrawZone)
{
    register_pointcloud2d_resources();
    register_zone_meta_types();
    ui->setupUi(this);
    setWindowTitle(tr("DrawZone Tool"));
    setProperty("Class", QStringLiteral("Page_DrawZone"));

    ui->le_arg1->setValidator(field_validator(1, this));
    ui->le_arg2->setValidator(field_validator(1, this));
    ui->le_arg3->setValidator(new QIntValidator(-99999, 99999, this));
    ui->le_arg4->setValidator(new QIntValidator(-99999, 99999, this));

    m_model = new QStandardItemModel(this);
    m_model->setHorizontalHeaderLabels({tr("Num"), tr("X"), tr("Y")});
    ui->tableView->setModel(m_model);
    ui->tableView->setItemDelegate(new VertexDelegate(ui->tableView));
    ui->tableView->setMinimumHeight(100);
    ui->tableView->setMaximumHeight(200);
    ui->tableView->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    ui->tableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    ui->tableView->verticalHeader()->hide();
    connect(m_model, &QStandardItemModel::dataChanged, this,
            &Page_DrawZone::recv_TableViewCellDataChanged);

    ui->cb_shape->setEnabled(false);
    ui->cb_mode->setEnabled(false);
    ui->cb_zone->setEnabled(false);
    ui->cb_zone->setEditable(false);
    ui->cb_changezone->setEnabled(false);
    ui->gb_set2->hide();

    // One menu of targets for both the copy and the clear button.
    m_menu = new QMenu(this);
    for (int i = 0; i < ZONEALARM::ZONE_IDS; ++i)
        m_menu->addAction(QString(QChar(kZoneDigits[i])));
    m_menu->addAction(tr("All"));
    ui->pb_copyzone->setMenu(m_menu);
    ui->pb_clearzone->setMenu(m_menu);

    m_timer = new QTimer(this);
    connect(m_timer, &QTimer::timeout, this, &Page_DrawZone::recv_autosave);
    m_timer->start(100);
}

Page_DrawZone::~Page_DrawZone()
{
    m_timer->stop();
    delete ui;
}

QLineEdit *Page_DrawZone::field(int i) const
{
    QLineEdit *fields[4] = {ui->le_arg1, ui->le_arg2, ui->le_arg3, ui->le_arg4};
    return fields[i];
}

zones Page_DrawZone::table() const
{
    zones t;
    t.count = std::min(m_list.size(), ZONEALARM::ZONE_MAX_SHAPES);
    for (int i = 0; i < t.count; ++i)
        t.shapes[i] = m_list[i];
    return t;
}

void Page_DrawZone::replaceList(const zones &table)
{
    m_list.clear();
    for (int i = 0; i < table.count; ++i)
        m_list.append(table.shapes[i]);
    if (m_current > m_list.size())
        m_current = 0;
}

void Page_DrawZone::warn(const QString &text)
{
    // The warning may have been asked for from a shape's handler (delete, copy): the 2D view
    // must not rebuild, and so delete that shape, while it is open.
    ZoneModalScope modal;
    show_warning(this, ZONEALARM::zone_refusal_title(), text, QMessageBox::Ok);
}

bool Page_DrawZone::refuseWhenFull(int records)
{
    // The device table has 64 entries; a 65th shape would have nowhere to go.
    if (records < ZONEALARM::ZONE_MAX_SHAPES)
        return false;
    warn(ZONEALARM::zone_count_refusal());
    return true;
}

// ---- the two forms ------------------------------------------------------------------------

void Page_DrawZone::showFields(int kind)
{
    ui->gb_set1->show();
    ui->gb_set2->hide();
    QStringList labels;
    switch (kind) {
    case ZONEALARM::ZONE_ELLIPSE:
        labels = QStringList{tr("Center X"), tr("Center Y"), tr("Width"), tr("Height")};
        ui->cb_shape->setCurrentIndex(0);
        break;
    case ZONEALARM::ZONE_RECTANGLE:
        labels = QStringList{tr("Left"), tr("Top"), tr("Right"), tr("Buttom")};
        ui->cb_shape->setCurrentIndex(1);
        break;
    case ZONEALARM::ZONE_SECTOR:
        labels = QStringList{tr("Start angle"), tr("End angle"), tr("Far distance"), tr("Near distance")};
        ui->cb_shape->setCurrentIndex(2);
        break;
    default:
        return;
    }
    ui->lb_arg1->setText(labels[0]);
    ui->lb_arg2->setText(labels[1]);
    ui->lb_arg3->setText(labels[2]);
    ui->lb_arg4->setText(labels[3]);
    ui->cb_mode->setCurrentIndex(0);
}

void Page_DrawZone::showTable()
{
    ui->gb_set1->hide();
    ui->gb_set2->show();
    m_model->removeRows(0, m_model->rowCount());
    ui->cb_mode->setCurrentIndex(0);
    ui->cb_shape->setCurrentIndex(3);
}

void Page_DrawZone::setVertexRow(int row, double x, double y)
{
    auto cell = [](const QString &text, bool editable) {
        auto *item = new QStandardItem(text);
        item->setEditable(editable);
        return item;
    };
    m_model->setItem(row, 0, cell(QString::number(row + 1), false));
    m_model->setItem(row, 1, cell(QString::number(qint64(std::trunc(x))), true));
    m_model->setItem(row, 2, cell(QString::number(qint64(std::trunc(y))), true));
}

// ---- adding shapes ------------------------------------------------------------------------

void Page_DrawZone::addShape(int kind)
{
    if (refuseWhenFull(m_list.size()))
        return;
    m_lock = true;
    showFields(kind);
    QStringList texts;
    if (kind == ZONEALARM::ZONE_ELLIPSE)
        texts = QStringList{"-1000", "-1000", "1000", "1000"};
    else if (kind == ZONEALARM::ZONE_RECTANGLE)
        texts = QStringList{"-1000", "1000", "1000", "-1000"}; // Left, Top, Right, Buttom
    else
        texts = QStringList{"30", "120", "3000", "1000"};
    for (int i = 0; i < 4; ++i)
        field(i)->setText(texts[i]);
    const ZoneShape record =
        ZONEALARM::make_default_shape(kind, ui->cb_editzone->currentIndex(), ui->cb_area->currentIndex());
    m_list.append(record);
    m_current = m_list.size();
    zones t = table();
    t.shapes[t.count - 1].flag = 1;
    emit sig_zonearg(t);
    m_lock = false;
}

void Page_DrawZone::on_pb_ellipse_clicked()
{
    addShape(ZONEALARM::ZONE_ELLIPSE);
}

void Page_DrawZone::on_pb_rect_clicked()
{
    addShape(ZONEALARM::ZONE_RECTANGLE);
}

void Page_DrawZone::on_pb_span_clicked()
{
    addShape(ZONEALARM::ZONE_SECTOR);
}

void Page_DrawZone::startPolygon(int kind, int zone)
{
    // Only one polygon is drawn at a time: an unfinished one makes room for the new one.
    int kept = 0;
    for (const ZoneShape &s : qAsConst(m_list))
        kept += is_unfinished_polygon(s) ? 0 : 1;
    if (refuseWhenFull(kept))
        return;
    m_lock = true;
    showTable();
    for (int i = m_list.size() - 1; i >= 0; --i)
        if (is_unfinished_polygon(m_list[i]))
            m_list.removeAt(i);
    m_list.append(ZONEALARM::make_default_shape(kind, zone, ui->cb_area->currentIndex()));
    m_current = m_list.size();
    ui->cb_mode->setCurrentIndex(kind == ZONEALARM::ZONE_SUBTRACT ? 1 : 0);
    m_dirty = true;
    m_lock = false;
}

void Page_DrawZone::on_pb_raw_clicked()
{
    // The table form shows mode 0 when it opens: a polygon that adds to its zone.
    startPolygon(ZONEALARM::ZONE_POLYGON, ui->cb_editzone->currentIndex());
}

void Page_DrawZone::addFilterPolygon()
{
    startPolygon(ZONEALARM::ZONE_SUBTRACT, ui->cb_zone->currentIndex());
}

// ---- editing the shown record -------------------------------------------------------------

void Page_DrawZone::on_cb_area_activated(int index)
{
    if (m_lock || m_current <= 0 || m_current > m_list.size())
        return;
    m_list[m_current - 1].area = uint8_t(index);
    m_dirty = true;
}

void Page_DrawZone::editField(int i)
{
    if (m_lock || m_current <= 0 || m_current > m_list.size())
        return;
    ZoneShape &r = m_list[m_current - 1];
    // Decimal texts everywhere: "1000.5" is 1000.5, not 0. The validators keep them finite.
    const double value = field(i)->text().toDouble();
    switch (r.kind) {
    case ZONEALARM::ZONE_ELLIPSE:
        r.param[i] = value;
        break;
    case ZONEALARM::ZONE_RECTANGLE: {
        static const int param_of_field[4] = {1, 2, 3, 0}; // Left, Top, Right, Buttom
        r.param[param_of_field[i]] = value;
        break;
    }
    case ZONEALARM::ZONE_SECTOR:
        if (i < 2) {
            r.param[i] = value * 10;
        } else if (i == 2) {
            r.param[2] = value;
        } else if (std::fabs(value) < 10) {
            // Put the old radius back first: the warning takes the focus, and the field would
            // report the refused text a second time.
            field(3)->setText(six_digits(r.param[3]));
            warn(tr("The sector near distance  cannot be less than 10mm"));
        } else {
            r.param[3] = value;
        }
        break;
    default:
        break;
    }
    m_dirty = true;
}

void Page_DrawZone::on_le_arg1_editingFinished()
{
    editField(0);
}

void Page_DrawZone::on_le_arg2_editingFinished()
{
    editField(1);
}

void Page_DrawZone::on_le_arg3_editingFinished()
{
    editField(2);
}

void Page_DrawZone::on_le_arg4_editingFinished()
{
    editField(3);
}

void Page_DrawZone::recv_TableViewCellDataChanged(const QModelIndex &topLeft,
                                                  const QModelIndex &bottomRight,
                                                  const QVector<int> &)
{
    if (m_lock || m_current <= 0 || m_current > m_list.size())
        return;
    ZoneShape &r = m_list[m_current - 1];
    if (!is_polygon(r.kind))
        return;
    const int vertices = std::min(r.point_count, int(ZONEALARM::ZONE_MAX_VERTICES));
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
        for (int col = std::max(1, topLeft.column()); col <= std::min(2, bottomRight.column()); ++col) {
            QStandardItem *cell = m_model->item(row, col);
            if (cell == nullptr || row >= vertices)
                continue;
            double &target = r.param[2 * row + (col == 2 ? 1 : 0)];
            bool ok = false;
            const double v = cell->text().toDouble(&ok);
            if (!ok || !std::isfinite(v) || std::fabs(v) > kFieldLimit) {
                m_lock = true;
                cell->setText(QString::number(qint64(std::trunc(target))));
                m_lock = false;
                continue;
            }
            target = v;
            m_dirty = true;
        }
    }
}

// ---- what the 2D view reports -------------------------------------------------------------

void Page_DrawZone::fillArgs(int uuid, ZONEALARM::ZoneShape record, int flag)
{
    // A shape may report after its record went (deleted from its own menu).
    if (uuid < 0 || uuid >= m_list.size())
        return;
    if (record.flag != 0 || flag != -1) {
        m_lock = true;
        showFields(record.kind);
        const double *p = record.param;
        QStringList texts;
        switch (record.kind) {
        case ZONEALARM::ZONE_ELLIPSE:
            texts = QStringList{six_digits(p[0]), six_digits(p[1]), six_digits(p[2]), six_digits(p[3])};
            break;
        case ZONEALARM::ZONE_RECTANGLE:
            texts = QStringList{six_digits(p[1]), six_digits(p[2]), six_digits(p[3]), six_digits(p[0])};
            break;
        case ZONEALARM::ZONE_SECTOR:
            texts = QStringList{QString::number(std::round(p[0]) / 10.0, 'f', 1),
                     QString::number(std::round(p[1]) / 10.0, 'f', 1), six_digits(p[2]),
                     six_digits(p[3])};
            break;
        default:
            break;
        }
        for (int i = 0; i < texts.size(); ++i)
            field(i)->setText(texts[i]);
        ui->cb_area->setCurrentIndex(record.area);
        ui->cb_zone->setCurrentIndex(record.zone_id);
        ui->cb_mode->setCurrentIndex(record.kind == ZONEALARM::ZONE_SUBTRACT ? 1 : 0);
        m_current = uuid + 1;
        record.flag = 0;
        m_lock = false;
    }
    m_list[uuid] = record;
}

void Page_DrawZone::fillTable(int uuid, ZONEALARM::ZoneShape record, int flag)
{
    if (uuid < 0 || uuid >= m_list.size())
        return;
    if (flag != 3) {
        m_lock = true;
        showTable();
        m_current = uuid + 1;
        ui->cb_area->setCurrentIndex(record.area);
        ui->cb_zone->setCurrentIndex(record.zone_id);
        const int vertices = std::min(record.point_count, int(ZONEALARM::ZONE_MAX_VERTICES));
        for (int f = 0; f < vertices; ++f)
            setVertexRow(f, record.param[2 * f], record.param[2 * f + 1]);
        ui->cb_mode->setCurrentIndex(record.kind == ZONEALARM::ZONE_SUBTRACT ? 1 : 0);
        record.flag = 0;
        m_lock = false;
    }
    m_list[uuid] = record;
}

void Page_DrawZone::recv_item_copy(int uuid)
{
    if (uuid < 0 || uuid >= m_list.size())
        return;
    if (refuseWhenFull(m_list.size()))
        return;
    m_list.append(m_list[uuid]);
    m_dirty = true;
}

void Page_DrawZone::recv_item_delete(int uuid)
{
    if (m_list.size() < uuid + 1) {
        ZoneModalScope modal;
        show_warning(this, ZONEALARM::zone_refusal_title(),
                     tr("!!! %1 %2").arg(m_list.size()).arg(uuid), QMessageBox::Ok);
    } else if (uuid >= 0) {
        m_list.removeAt(uuid);
        if (m_current > m_list.size())
            m_current = 0;
    }
    m_dirty = true;
}

// ---- zones and the device -----------------------------------------------------------------

void Page_DrawZone::setZones(zones data)
{
    if (data.count < 0 || data.count > ZONEALARM::ZONE_MAX_SHAPES)
        return;
    replaceList(data);
}

void Page_DrawZone::setChangeZone(int id)
{
    if (id < 0 || id >= ZONEALARM::ZONE_IDS)
        return;
    ui->cb_changezone->setCurrentIndex(id);
    m_deviceZone = id;
}

void Page_DrawZone::on_cb_editzone_currentIndexChanged(int index)
{
    m_editZone = index;
    emit sig_editzone(index);
}

void Page_DrawZone::on_pb_readzone_clicked()
{
    emit sig_zoneCmd(ZONEALARM::ZONE_CMD_READ, table());
}

void Page_DrawZone::writeZones(zones t, bool validate)
{
    if (validate) {
        // A sector's radii exchanged by the check are what is written and kept.
        const QString refusal = ZONEALARM::validate_zone_table(t);
        if (!refusal.isEmpty()) {
            warn(refusal);
            return;
        }
    }
    emit sig_zoneCmd(ZONEALARM::ZONE_CMD_WRITE, t);
    emit sig_zonearg(t);
    replaceList(t);
}

void Page_DrawZone::on_pb_setzone_clicked()
{
    writeZones(table(), true);
}

void Page_DrawZone::on_pb_copyzone_triggered(QAction *action)
{
    const int target = QString(kZoneDigits).indexOf(action->text());
    const int from = m_editZone;
    QList<ZoneShape> out;
    for (const ZoneShape &r : qAsConst(m_list)) {
        if (target >= 0) {
            if (r.zone_id == from) {
                out << r;
                ZoneShape c = r;
                c.zone_id = uint8_t(target);
                out << c;
            } else if (r.zone_id != target) {
                out << r;
            }
        } else if (r.zone_id == from) {
            for (int id = 0; id < ZONEALARM::ZONE_IDS; ++id) {
                ZoneShape c = r;
                c.zone_id = uint8_t(id);
                out << c;
            }
        }
    }
    if (out.size() > ZONEALARM::ZONE_MAX_SHAPES) {
        warn(ZONEALARM::zone_count_refusal());
        return;
    }
    zones t;
    t.count = out.size();
    for (int i = 0; i < t.count; ++i)
        t.shapes[i] = out[i];
    writeZones(t, true);
}

void Page_DrawZone::on_pb_clearzone_triggered(QAction *action)
{
    const int target = QString(kZoneDigits).indexOf(action->text());
    zones t;
    if (target >= 0) {
        for (const ZoneShape &r : qAsConst(m_list))
            if (r.zone_id != target)
                t.shapes[t.count++] = r;
    }
    // A clear is a write: the device gets the remaining zones at once, without validation.
    writeZones(t, false);
}

void Page_DrawZone::recv_autosave()
{
    if (!m_dirty)
        return;
    m_dirty = false;
    emit sig_zonearg(table());
}
