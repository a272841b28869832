#pragma once

class QTableWidget;
class ZnTableRow;
class ZnTableRowIndex;

// Fills a whole table in one pass: sorting and updates are off while it lives,
// the row count is set once, and finished rows are appended in the order the
// caller walks its records, never searched for. The row count shrinks to the
// rows appended when the fill ends. Also the one way a single row is inserted or
// rewritten, so that all of a page's rows come from one row builder.
class ZnTableFill
{
public:
    enum Mode {
        NewCells,   // the table is emptied first
        ReuseCells, // cells already in the table take the new contents in place:
                    // no item is deleted and made again (tables without cell
                    // widgets whose rows always give every column)
    };

    // Empties the table (or keeps its cells, see Mode) and makes room for rowCount rows.
    ZnTableFill(QTableWidget *table, int rowCount, Mode mode = NewCells);
    ~ZnTableFill();
    ZnTableFill(const ZnTableFill &) = delete;
    ZnTableFill &operator=(const ZnTableFill &) = delete;

    // Puts the row's cells into the next row; more rows than announced grow the table.
    void append(ZnTableRow &row);
    int rowsAppended() const { return next; }

    // A new row at index at (0: the top) with the row's cells.
    static void insertRow(QTableWidget *table, int at, ZnTableRow &row);
    // Replaces the cells of an existing row; columns the row does not have are left.
    static void writeRow(QTableWidget *table, int at, ZnTableRow &row);
    // Asks the memory for the cells of a row that is about to be rewritten.
    static void prefetchRow(QTableWidget *table, int at);

private:
    static void put(QTableWidget *table, int at, ZnTableRow &row, bool reuse = false);

    QTableWidget *table;
    ZnTableRowIndex *index = nullptr;
    int next = 0;
    bool wasSorting = false;
    bool wasUpdating = true;
    bool wasBlocked = false;
    bool reuse = false;
};
