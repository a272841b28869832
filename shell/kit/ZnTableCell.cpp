#include "ZnTableCell.h"

ZnTableCell::ZnTableCell(const QString &t) : QTableWidgetItem(Type), text(t) {}

ZnTableCell::ZnTableCell(const QString &t, int data)
    : QTableWidgetItem(Type), text(t), userData(data), hasUserData(true)
{
}

QVariant ZnTableCell::data(int role) const
{
    QVariant set = QTableWidgetItem::data(role);
    if (set.isValid())
        return set;
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return text;
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
        cell.text = source ? source->text : QString();
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
