#pragma once

#include <QString>
#include <QVariant>

class QTableWidget;
class QTableWidgetItem;

// Small cell and row helpers over one table (not owned); cells without an item
// read as empty.
class ZnTableWidgetHelper
{
public:
    explicit ZnTableWidgetHelper(QTableWidget *table);

    void appendRow();
    void clearRows();
    int currentRow() const;
    QTableWidgetItem *item(int row, int col) const;
    QVariant itemData(int row, int col) const;
    QString itemText(int row, int col) const;
    QTableWidget *table() const { return tableWidget; }
    void placeItem(int row, int col, QTableWidgetItem *item);
    void setText(int row, int col, const QString &text);
    void setItemData(int row, int col, const QVariant &data);
    void removeRow(int row);
    void selectRow(int row);

private:
    QTableWidget *tableWidget;
};
