#pragma once

#include <QString>
#include <QVarLengthArray>

#include <string>

class QTableWidgetItem;

// The finished cells of one table row, built before the row enters a table (a
// cell styled after it is in the table costs a redraw each time). Cells are
// added left to right; the row owns them until a table takes them.
class ZnTableRow
{
public:
    ZnTableRow() = default;
    ZnTableRow(ZnTableRow &&other) noexcept;
    ZnTableRow &operator=(ZnTableRow &&other) noexcept;
    ZnTableRow(const ZnTableRow &) = delete;
    ZnTableRow &operator=(const ZnTableRow &) = delete;
    ~ZnTableRow();

    // The next cell, with data as its int Qt::UserRole data; returned for styling.
    QTableWidgetItem *add(const QString &text, int data);
    // The same from local 8-bit text.
    QTableWidgetItem *addLocal(const std::string &text, int data);
    // A cell whose data reads as 0 without being stored: one allocation less per
    // cell, which counts in tables of many thousand rows.
    QTableWidgetItem *addText(const QString &text);
    QTableWidgetItem *addLocalText(const std::string &text);

    void reserve(int columns) { cells.reserve(size_t(columns)); }
    int size() const { return int(cells.size()); }
    bool isEmpty() const { return cells.empty(); }
    QTableWidgetItem *cell(int column) const;
    // Hands the cell over to the caller (a table); null when taken already.
    QTableWidgetItem *take(int column);
    // Deletes the cells not taken; the room stays, so one row can be reused for the next.
    void clear();

private:
    // Rows are made by the ten thousand: no allocation of their own for the usual widths.
    QVarLengthArray<QTableWidgetItem *, 12> cells;
};
