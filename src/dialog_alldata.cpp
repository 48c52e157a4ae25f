#include "dialog_alldata.h"

#include "modellayout.h"
#include "messagebox.h"
#include "tracelog.h"
#include "ui_dialog_alldata.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QHeaderView>
#include <QPushButton>
#include <QStandardItemModel>

#include <algorithm>
#include <mutex>

namespace {

// Guards the picked point positions.
std::mutex g_selectMutex;

constexpr int kButtonsPerPage = 30;
constexpr int kButtonsPerLine = 5;

enum Column {
    ColIndex = 0,
    ColX,
    ColY,
    ColZ,
    ColDistance,
    ColConfidence,
    ColDepth,
    ColDeepField,
    ColumnCount
};

void setButtonFont(QAbstractButton *button, int points, int weight)
{
    QFont font = button->font();
    font.setPointSize(points);
    font.setWeight(weight);
    button->setFont(font);
}

QString number(float v)
{
    return QString::number(double(v), 'g', 6);
}

} // namespace

Dialog_AllData::Dialog_AllData(QWidget *parent)
    : QWidget(parent), ui(new Ui::Dialog_AllData), m_model(new QStandardItemModel(this)),
      m_buttonGroup(nullptr)
{
    ui->setupUi(this);

    m_model->setColumnCount(ColumnCount);
    const QString headers[ColumnCount] = {tr("Index"),      tr("X"),     tr("Y"),
                                          tr("Z"),          tr("distance"), tr("confidence"),
                                          tr("depth"),      tr("deep field")};
    for (int c = 0; c < ColumnCount; ++c)
        m_model->setHorizontalHeaderItem(c, new QStandardItem(headers[c]));
    QHeaderView *header = ui->tableView->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Stretch);
    header->setStyleSheet(
        "QHeaderView::section {background-color: rgb(240, 240, 240);color: rgb(0, 0, 0);}");
    ui->tableView->setModel(m_model);
    ui->tableView->verticalHeader()->hide();
    ui->tableView->verticalHeader()->setMinimumSectionSize(50);
    ui->tableView->verticalHeader()->setMaximumSectionSize(150);
    ui->tableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    ui->tableView->setSelectionMode(QAbstractItemView::MultiSelection);
    ui->tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(header, &QHeaderView::sectionClicked, this, &Dialog_AllData::onHeaderClicked);
    ui->tableView->setColumnHidden(ColDistance, true);
    ui->tableView->setColumnHidden(ColDepth, true);
    ui->tableView->setColumnHidden(ColDeepField, true);

    m_buttonGroup = new QButtonGroup(this);
    ui->frame_page->hide();
}

Dialog_AllData::~Dialog_AllData()
{
    delete ui;
}

int Dialog_AllData::pageCount() const
{
    return (m_blockCount + kButtonsPerPage - 1) / kButtonsPerPage;
}

void Dialog_AllData::setData(const std::vector<UserPointData> &points, bool relabel)
{
    if (points.empty())
        return;
    // The pages and picks read the frame later: the table keeps a copy (of its own frame when
    // a block or page button shows it again).
    if (&points != &m_points)
        m_points = points;
    const qint64 n = qint64(m_points.size());
    ui->lb_selectnum->setText(QString::number(n));

    const qint64 rows = m_rowsPerBlock;
    m_blockCount = int((n + rows - 1) / rows);
    const int inUse = std::min(m_blockCount - kButtonsPerPage * m_page, kButtonsPerPage);
    const int pages = pageCount();

    if (m_buttonsPending) {
        for (int i = 0; i < inUse; ++i) {
            auto *button = new QPushButton(tr("row%1").arg(i + 1));
            setButtonFont(button, 10, QFont::Normal);
            m_buttonGroup->addButton(button, i);
        }
        for (QAbstractButton *button : m_buttonGroup->buttons()) {
            const int i = m_buttonGroup->id(button);
            ui->gridLayout->addWidget(button, i / kButtonsPerLine, i % kButtonsPerLine);
        }
        connect(m_buttonGroup, &QButtonGroup::idClicked, this,
                &Dialog_AllData::clickItem, Qt::UniqueConnection);
        m_buttonsPending = false;
    }

    if (relabel) {
        int k = 0;
        for (QAbstractButton *button : m_buttonGroup->buttons()) {
            if (k < inUse) {
                button->setEnabled(true);
                button->setText(tr("row%1").arg(kButtonsPerPage * m_page + k + 1));
                ++k;
            } else {
                button->setEnabled(false);
                button->setText(QString());
            }
        }
    }

    ui->frame_page->show();
    ui->lb_page->setText(QString("%1/%2").arg(m_page + 1).arg(pages));

    m_model->removeRows(0, m_model->rowCount());
    const qint64 first = firstShown();
    const ModelLayout *model = find_model_layout(m_lidarType);
    if (model != nullptr && model->tableDistance && !model->tableMaskColumns)
        ui->tableView->setColumnHidden(ColDistance, false);
    for (int row = 0; row < rows && first + row < n; ++row)
        fillRow(row, first + row);
}

void Dialog_AllData::fillRow(int row, qint64 position)
{
    const UserPointData &p = m_points[size_t(position)];
    m_model->setItem(row, ColIndex, new QStandardItem(QString::number(position + 1)));
    auto put = [this, row](int column, const QString &text) {
        m_model->setData(m_model->index(row, column), text);
    };
    // Every model shows x, y, z and the intensity; the distance is a Fenk-U and Raxo field, depth
    // and deep field are Fenk-U planes. An unknown model shows the index alone.
    const ModelLayout *model = find_model_layout(m_lidarType);
    if (model == nullptr || !model->tablePoints)
        return;
    put(ColX, number(p.x));
    put(ColY, number(p.y));
    put(ColZ, number(p.z));
    if (model->tableDistance)
        put(ColDistance, number(p.distance));
    put(ColConfidence, QString::number(p.intensity));
    if (model->tablePlanes) {
        put(ColDepth, QString::number(p.depth));
        put(ColDeepField, QString::number(p.deep_field));
    }
}

void Dialog_AllData::clearData()
{
    m_buttonsPending = true;
    m_model->removeRows(0, m_model->rowCount());
    const QList<QAbstractButton *> buttons = m_buttonGroup->buttons();
    for (auto it = buttons.rbegin(); it != buttons.rend(); ++it) {
        QAbstractButton *button = *it;
        m_buttonGroup->removeButton(button);
        ui->gridLayout->removeWidget(button);
        button->hide();
        button->deleteLater();
    }
}

void Dialog_AllData::setDataType(uint16_t mask)
{
    m_dataType = mask;
    // Each column follows its bit both ways: a sensor switched to a narrower data type no
    // longer sends the field, and an empty column would read as zeros that are not there.
    ui->tableView->setColumnHidden(ColDistance, (mask & 0x04) == 0);
    ui->tableView->setColumnHidden(ColDepth, (mask & 0x10) == 0);
    ui->tableView->setColumnHidden(ColDeepField, (mask & 0x20) == 0);
}

void Dialog_AllData::setLidarType(uint8_t type)
{
    m_lidarType = type;
    m_rowsPerBlock = model_layout(type).rowsPerBlock;
}

void Dialog_AllData::clickItem(int id)
{
    if (QAbstractButton *old = m_buttonGroup->button(m_chosenButton))
        setButtonFont(old, 10, QFont::Normal);
    if (QAbstractButton *chosen = m_buttonGroup->button(id))
        setButtonFont(chosen, 12, QFont::Bold);
    m_chosenButton = id;
    m_model->removeRows(0, m_model->rowCount());
    setData(m_points, false);
}

void Dialog_AllData::showPage(int page)
{
    m_page = page;
    for (QAbstractButton *button : m_buttonGroup->buttons())
        button->setText(
            tr("row%1").arg(kButtonsPerPage * m_page + m_buttonGroup->id(button) + 1));
    setData(m_points, true);
}

void Dialog_AllData::on_pb_lastPage_clicked()
{
    const int pages = pageCount();
    showPage(pages == 0 ? 0 : (m_page - 1 < 0 ? pages - 1 : m_page - 1));
}

void Dialog_AllData::on_pb_nextPage_clicked()
{
    const int pages = pageCount();
    showPage(pages == 0 || m_page + 1 > pages - 1 ? 0 : m_page + 1);
}

void Dialog_AllData::on_pb_jump_clicked()
{
    const int pages = pageCount();
    const int page = ui->le_page->text().toInt(nullptr, 10);
    if (page < 1 || page > pages) {
        show_warning(nullptr, tr("error"),
                     tr("Set page number error, current page range[1,%2]").arg(pages));
        return;
    }
    showPage(page - 1);
}

std::vector<int> Dialog_AllData::selectedIndices() const
{
    std::lock_guard<std::mutex> lock(g_selectMutex);
    return m_selectIndex;
}

qint64 Dialog_AllData::firstShown() const
{
    return (qint64(m_chosenButton) + qint64(kButtonsPerPage) * m_page) * m_rowsPerBlock;
}

void Dialog_AllData::addSelected(int first, int count)
{
    for (int i = 0; i < count; ++i)
        m_selectIndex.push_back(first + i);
    std::sort(m_selectIndex.begin(), m_selectIndex.end());
    m_selectIndex.erase(std::unique(m_selectIndex.begin(), m_selectIndex.end()),
                        m_selectIndex.end());
}

void Dialog_AllData::on_tableView_pressed(const QModelIndex &index)
{
    // The picked point's position in the frame.
    const int added = int(firstShown() + index.row());
    std::lock_guard<std::mutex> lock(g_selectMutex);
    addSelected(added, 1);
    QV_TRACE() << m_chosenButton << index.row() << added << m_selectIndex.size();
}

void Dialog_AllData::onHeaderClicked(int)
{
    // Every point the table shows.
    const int first = int(firstShown());
    const int shown = m_model->rowCount();
    std::lock_guard<std::mutex> lock(g_selectMutex);
    addSelected(first, shown);
}
