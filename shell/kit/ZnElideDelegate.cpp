#include "ZnElideDelegate.h"

#include "ZnServerText.h"

void ZnElideDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (option->text.size() > ZnServerText::kMaxShown)
        option->text = ZnServerText::bounded(option->text);
}
