#pragma once

#include <QString>
#include <QTableWidgetItem>

// A cell made by the row builder. Its text and its int data are kept in the cell
// itself instead of in the item's list of role values, whose block (grown once
// more for the second role) is most of a cell's memory in tables of many thousand
// rows. A value set later through setData() (an edit, a restyle, a new volume)
// goes the ordinary way, announced to the table, and wins over the kept one.
// A text that is just a number (ids, volumes) is kept as that number.
class ZnTableCell : public QTableWidgetItem
{
public:
    enum { Type = QTableWidgetItem::UserType + 1 };

    explicit ZnTableCell(const QString &text);
    ZnTableCell(const QString &text, int data);

    QVariant data(int role) const override;
    QTableWidgetItem *clone() const override;

    // Gives the cell to the contents of another, in place and unannounced, as a
    // refill that reuses its cells does (the item's assignment copies only the
    // role values).
    static void assign(QTableWidgetItem &to, const QTableWidgetItem &from);

private:
    void keepText(const QString &t);

    QString keptText;
    int number = 0; // the text, when numeric
    int userData = 0;
    bool numeric = false;
    bool hasUserData = false;
};
