#pragma once

#include <QStyledItemDelegate>

// The common tables' delegate: a cell shows at most a bounded part of its text,
// elided, so a name of any length neither widens a column sized to its contents
// nor makes a repaint lay out the whole text. The item keeps the full text.
class ZnElideDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};
