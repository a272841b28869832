#pragma once

#include <QString>
#include <QTableWidgetItem>

#include <cstddef>
#include <new>

// A cell made by the row builder. Pages hold them by the hundred thousand, so a
// cell keeps its text and int data in itself instead of in the item's list of
// role values, and in as little room as it can:
// - a text that is just a number (ids, volumes) is kept as that number;
// - a Latin-1 text of up to 15 characters (addresses, most names) is kept in
//   the cell's own bytes;
// - any other text is a shared string; short ones (states, kinds) are shared
//   with every other cell showing the same words.
// Cells come from a pool of their own, without the allocator's per-block header.
// A value set later through setData() (an edit, a restyle, a new volume) goes
// the ordinary way, announced to the table, and wins over the kept one.
class ZnTableCell final : public QTableWidgetItem
{
public:
    enum { Type = QTableWidgetItem::UserType + 1 };

    explicit ZnTableCell(const QString &text);
    ZnTableCell(const QString &text, int data);
    ZnTableCell(const ZnTableCell &other);
    ZnTableCell &operator=(const ZnTableCell &) = delete;
    ~ZnTableCell() override;

    QVariant data(int role) const override;
    QTableWidgetItem *clone() const override;

    // Gives the cell to the contents of another, in place and unannounced, as a
    // refill that reuses its cells does (the item's assignment copies only the
    // role values).
    static void assign(QTableWidgetItem &to, const QTableWidgetItem &from);

    static void *operator new(std::size_t size);
    static void operator delete(void *p, std::size_t size);

    // The most characters kept in the cell itself.
    static constexpr int kInlineChars = 15;

private:
    enum Kind : quint8 { Latin1 = 0, Number = 1, Shared = 2 };

    void keep(const QString &t);
    void copyKept(const ZnTableCell &other);
    void release();
    QString keptText() const;
    QString *shared() { return std::launder(reinterpret_cast<QString *>(payload)); }
    const QString *shared() const { return std::launder(reinterpret_cast<const QString *>(payload)); }
    Kind kind() const { return Kind(tag & 3); }
    int inlineSize() const { return tag >> 4; }

    int userData = 0; // sits in the item's tail padding
    // The kept text: a QString (Shared), an int (Number) or the characters (Latin1).
    alignas(QString) char payload[kInlineChars];
    // Bits 0-1 the kind, bit 2 whether userData is set, bits 4-7 the inline length.
    quint8 tag = 0;
};
