#pragma once
// The paged point table: the points of the displayed cloud, one block at a time. A grid of block
// buttons (at most 30 per page, five per line) chooses the block; two page buttons and a jump
// field move between pages of 30 blocks. Points per block follow the device model: 40 for
// Fenk-U, 128 for Vimo-E, 150 for the others.

#include "userpointdata.h"

#include <QByteArray>
#include <QModelIndex>
#include <QWidget>

#include <cstdint>
#include <vector>

class QButtonGroup;
class QStandardItemModel;

namespace Ui {
class Dialog_AllData;
}

class Dialog_AllData : public QWidget {
    Q_OBJECT

public:
    explicit Dialog_AllData(QWidget *parent = nullptr);
    ~Dialog_AllData() override;

    // Shows a frame (an empty one changes nothing). With `relabel` the block buttons take the
    // numbers of the current page.
    void setData(const std::vector<UserPointData> &points, bool relabel);
    // Empties the table and removes the block buttons; the next frame makes them anew.
    void clearData();
    // Fenk-U data-type mask: 0x04 shows "distance", 0x10 "depth", 0x20 "deep field". A column
    // once shown stays shown.
    void setDataType(uint16_t mask);
    // The model of the data shown, which sets the points per block.
    void setLidarType(uint8_t type);

    uint8_t lidarType() const { return m_lidarType; }
    uint16_t dataType() const { return m_dataType; }
    int rowsPerBlock() const { return m_rowsPerBlock; }
    size_t pointCount() const { return m_points.size(); }
    // Point positions picked in the table (sorted, no duplicates).
    std::vector<int> selectedIndices() const;

signals:
    void sig_data(int type, QByteArray info);

private slots:
    void clickItem(int id);
    void on_tableView_pressed(const QModelIndex &index);
    void onHeaderClicked(int section);
    void on_pb_jump_clicked();
    void on_pb_nextPage_clicked();
    void on_pb_lastPage_clicked();

private:
    int pageCount() const;
    // Sets the page, numbers every block button after it and shows the frame again.
    void showPage(int page);
    void fillRow(int row, qint64 position);
    // Position in the frame of the table's first row.
    qint64 firstShown() const;
    // Adds `count` positions from `first` to the picked ones; the caller holds the lock.
    void addSelected(int first, int count);

    Ui::Dialog_AllData *ui;
    QStandardItemModel *m_model;
    QButtonGroup *m_buttonGroup;
    int m_chosenButton = 0;
    uint8_t m_lidarType = 0;
    uint16_t m_dataType = 0;
    std::vector<int> m_selectIndex;
    int m_page = 0;
    int m_blockCount = 0;
    // Until the main window names the model, blocks hold 150 points.
    int m_rowsPerBlock = 150;
    bool m_buttonsPending = true;
    std::vector<UserPointData> m_points;
};
