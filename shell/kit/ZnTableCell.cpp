#include "ZnTableCell.h"

ZnTableCell::ZnTableCell(const QString &t) : QTableWidgetItem(Type)
{
    keepText(t);
}

ZnTableCell::ZnTableCell(const QString &t, int data) : QTableWidgetItem(Type), userData(data), hasUserData(true)
{
    keepText(t);
}

void ZnTableCell::keepText(const QString &t)
{
    // Shared texts (states, kinds) cost nothing more; a number's text is one
    // allocation per cell, and there is one on most rows.
    bool ok = false;
    const int value = t.size() <= 11 ? t.toInt(&ok) : 0;
    if (ok && QString::number(value) == t) {
        number = value;
        numeric = true;
    } else {
        keptText = t;
    }
}

QVariant ZnTableCell::data(int role) const
{
    QVariant set = QTableWidgetItem::data(role);
    if (set.isValid())
        return set;
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return numeric ? QString::number(number) : keptText;
    if (role == Qt::UserRole && hasUserData)
        return userData;
    return set;
}

QTableWidgetItem *ZnTableCell::clone() const
{
    return new ZnTableCell(*this);
}

void ZnTableCell::assign(QTableWidgetItem &to, const QTableWidgetItem &from)
{
    to = from;
    const bool kept = from.type() == Type;
    if (to.type() == Type) {
        auto &cell = static_cast<ZnTableCell &>(to);
        const auto *source = kept ? static_cast<const ZnTableCell *>(&from) : nullptr;
        cell.keptText = source ? source->keptText : QString();
        cell.number = source ? source->number : 0;
        cell.numeric = source && source->numeric;
        cell.userData = source ? source->userData : 0;
        cell.hasUserData = source && source->hasUserData;
    } else if (kept) {
        // A plain item keeps everything in its role values.
        to.setData(Qt::DisplayRole, from.data(Qt::DisplayRole));
        const QVariant data = from.data(Qt::UserRole);
        if (data.isValid())
            to.setData(Qt::UserRole, data);
    }
}
