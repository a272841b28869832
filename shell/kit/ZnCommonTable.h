#pragma once

#include <QColor>
#include <QString>

class QTableWidget;
class QTableWidgetItem;

// Helpers over QTableWidget. Every list table keeps its record id as the
// Qt::UserRole data of a row's cells (as a rule column 0); texts from std::string
// are decoded with the locale codec. Null tables and items are tolerated throughout.
namespace ZnCommon {

// The common table look: word wrap, no focus frame, headers not highlighted, not
// editable, whole-row selection, last column stretched, long texts elided
// (ZnElideDelegate). The int is not read.
void initTableWidget(QTableWidget* table, int unused = 0);

// New item at (row, column) carrying id. Null when the table is null or the cell
// lies outside the table (no item is made then).
QTableWidgetItem* setTableItem(QTableWidget* table, const char* text, int row, int column, int id);
QTableWidgetItem* setTableItem2(QTableWidget* table, const QString& text, int row, int column, quint64 data);
void setItemTextAndData(QTableWidgetItem* item, const char* text, int id);
// The cell's id, or -1 when the cell has no item.
int itemIntData(QTableWidget* table, int row, int column);

// -1 for a null table, else 0.
int clearTable(QTableWidget* table);
int removeTableRow(QTableWidget* table, int row);

// Exchanges text and id of the cells of two rows below columnCount where both have
// items, then selects rowA.
void swapRows(QTableWidget* table, int rowA, int rowB, int columnCount);
// Text and id of every selected item in column.
void setSelectedColumnText(QTableWidget* table, int column, const char* text, int id);
// Background of every cell of the row that has an item; returns the column count.
int setRowBackground(QTableWidget* table, int row, const QColor& colour);
void setItemStyle(QTableWidgetItem* item, int alignment, const QColor& colour);

} // namespace ZnCommon
