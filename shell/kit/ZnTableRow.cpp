#include "ZnTableRow.h"

#include "ZnTableCell.h"

ZnTableRow::ZnTableRow(ZnTableRow &&other) noexcept : cells(other.cells)
{
    other.cells.clear();
}

ZnTableRow &ZnTableRow::operator=(ZnTableRow &&other) noexcept
{
    if (this != &other) {
        clear();
        cells = other.cells;
        other.cells.clear();
    }
    return *this;
}

ZnTableRow::~ZnTableRow()
{
    clear();
}

QTableWidgetItem *ZnTableRow::add(const QString &text, int data)
{
    auto *item = new ZnTableCell(text, data);
    cells.push_back(item);
    return item;
}

QTableWidgetItem *ZnTableRow::addLocal(const std::string &text, int data)
{
    return add(QString::fromLocal8Bit(text.data(), int(text.size())), data);
}

QTableWidgetItem *ZnTableRow::addText(const QString &text)
{
    auto *item = new ZnTableCell(text);
    cells.push_back(item);
    return item;
}

QTableWidgetItem *ZnTableRow::addLocalText(const std::string &text)
{
    return addText(QString::fromLocal8Bit(text.data(), int(text.size())));
}

QTableWidgetItem *ZnTableRow::cell(int column) const
{
    return column >= 0 && column < size() ? cells[column] : nullptr;
}

QTableWidgetItem *ZnTableRow::take(int column)
{
    if (column < 0 || column >= size())
        return nullptr;
    QTableWidgetItem *item = cells[column];
    cells[column] = nullptr;
    return item;
}

void ZnTableRow::clear()
{
    for (QTableWidgetItem *item : cells)
        delete item;
    cells.clear();
}
