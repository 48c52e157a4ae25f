#pragma once
// The alarm-zone editor. It holds the list of zone shapes (at most 64) and the forms to add,
// edit, copy, clear, read and write them; the 2D view draws the shapes of the zone being
// edited and reports the user's drags back through fillArgs and fillTable. Writes and reads go
// to the current device's receiver through sig_zoneCmd; a table read back arrives through the
// 2D view (setZones).

#include "zonetable.h"

#include <QList>
#include <QVector>
#include <QWidget>

class QAction;
class QLineEdit;
class QMenu;
class QModelIndex;
class QStandardItemModel;
class QTimer;
class Ui_Page_DrawZone;

class Page_DrawZone : public QWidget {
    Q_OBJECT

public:
    explicit Page_DrawZone(QWidget *parent = nullptr);
    ~Page_DrawZone() override;

    // A table read back from a device; a count above 64 is ignored.
    void setZones(zones data);
    // Shows record `uuid` (ellipse, rectangle, sector) in the four fields when its flag is set
    // or `flag` is not -1, and stores it into the list. A uuid outside the list is ignored.
    void fillArgs(int uuid, ZONEALARM::ZoneShape record, int flag);
    // Shows polygon `uuid` in the vertex table unless `flag` is 3, and stores it into the list.
    void fillTable(int uuid, ZONEALARM::ZoneShape record, int flag);
    // Appends an empty subtractive polygon for the 2D view to capture.
    void addFilterPolygon();
    // The zone the device reports as active.
    void setChangeZone(int id);

    // The list as a table: its size as count, its records in order.
    zones table() const;
    const QList<ZONEALARM::ZoneShape> &shapeList() const { return m_list; }
    // 1-based index of the record shown in the form, 0 for none.
    int currentRecord() const { return m_current; }
    int editZone() const { return m_editZone; }
    int deviceZone() const { return m_deviceZone; }
    bool isDirty() const { return m_dirty; }
    QStandardItemModel *vertexModel() const { return m_model; }
    QMenu *zoneMenu() const { return m_menu; }
    QTimer *autosaveTimer() const { return m_timer; }

signals:
    void sig_zonearg(zones data);
    // ZONEALARM::ZONE_CMD_WRITE the table to the device, or ZONE_CMD_READ the device's.
    void sig_zoneCmd(int flag, zones data);
    void sig_editzone(int id);

public slots:
    void on_pb_ellipse_clicked();
    void on_pb_rect_clicked();
    void on_pb_span_clicked();
    void on_pb_raw_clicked();
    void on_cb_area_activated(int index);
    void on_le_arg1_editingFinished();
    void on_le_arg2_editingFinished();
    void on_le_arg3_editingFinished();
    void on_le_arg4_editingFinished();
    void on_cb_editzone_currentIndexChanged(int index);
    void on_pb_readzone_clicked();
    void on_pb_setzone_clicked();
    void on_pb_copyzone_triggered(QAction *action);
    void on_pb_clearzone_triggered(QAction *action);
    void recv_autosave();
    void recv_TableViewCellDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                                       const QVector<int> &roles = QVector<int>());
    void recv_item_copy(int uuid);
    void recv_item_delete(int uuid);

private:
    void addShape(int kind);
    // Replaces every unfinished polygon by a new empty one of `kind` in `zone`.
    void startPolygon(int kind, int zone);
    // Writes `t` to the device (after the zone checks when `validate`), announces it and keeps
    // it as the list.
    void writeZones(zones t, bool validate);
    void showFields(int kind);
    void showTable();
    void editField(int field);
    void setVertexRow(int row, double x, double y);
    bool refuseWhenFull(int records);
    void warn(const QString &text);
    // Replaces the list (after a write, copy, clear or read) and drops a current record that
    // is no longer in it.
    void replaceList(const zones &table);
    QLineEdit *field(int i) const;

    Ui_Page_DrawZone *ui;
    int m_current = 0;
    QStandardItemModel *m_model = nullptr;
    QList<ZONEALARM::ZoneShape> m_list;
    QTimer *m_timer = nullptr;
    bool m_dirty = false;
    bool m_lock = false;
    int m_deviceZone = -1;
    int m_editZone = 0;
    QMenu *m_menu = nullptr;
};
