#pragma once

#include <QObject>
#include <string>

class QCheckBox;
class QTableWidget;
class QTableWidgetItem;

// Turns a table into a pick list: column 0 carries a check box and the record id,
// the column-1 item's UserRole data is the tick flag. Multi-select mode adds a
// select-all box; single-select keeps at most one row ticked.
class ZnSelectTableCtrl : public QObject
{
    Q_OBJECT
public:
    ZnSelectTableCtrl();

    void initSingleSelect(QTableWidget *table, int mode);
    void initMultiSelect(QTableWidget *table, QCheckBox *selectAll, int mode);
    void setupColumns(int mode);
    void fillTable(int checkState, const std::string &name, int id, const std::string &type);

    // True once a row was clicked or the select-all box changed state.
    bool changed() const { return changedFlag; }
    bool isChanged() const { return changed(); }
    // Whether a row carries the tick flag; setTicked sets box, flag and colour.
    bool isTicked(int row) const;
    void setTicked(int row, bool on) { tick(row, on); }
    int checkedRow() const { return currentRow; }

public slots:
    void slot_checkBoxStateChanged(int state);
    void slot_tableItemClicked(QTableWidgetItem *item);
    void slot_singleTableItemClicked(QTableWidgetItem *item);

private:
    void tick(int row, bool on);

    QTableWidget *table = nullptr;
    QCheckBox *selectAllBox = nullptr;
    bool allChecked = false;
    bool changedFlag = false;
    int mode = 0;
    int currentRow = -1;
};
