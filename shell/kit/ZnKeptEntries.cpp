#include "ZnKeptEntries.h"

void ZnKeptEntries::stored(const QString &key, const QString &text)
{
    entries.append(qMakePair(key, text));
}

void ZnKeptEntries::listed(const QString &key)
{
    rows.insert(key);
}

QStringList ZnKeptEntries::unlisted() const
{
    QStringList out;
    for (const auto &e : entries) {
        if (!rows.contains(e.first))
            out << e.second;
    }
    return out;
}

QStringList ZnKeptEntries::afterChosen(const QStringList &chosen) const
{
    return chosen + unlisted();
}

QStringList ZnKeptEntries::inStoredOrder(const QStringList &chosen) const
{
    QStringList out, placed;
    for (const auto &e : entries) {
        if ((!rows.contains(e.first) || chosen.contains(e.first)) && !placed.contains(e.first)) {
            placed << e.first;
            out << e.second;
        }
    }
    for (const QString &key : chosen) {
        if (!placed.contains(key)) {
            placed << key;
            out << key;
        }
    }
    return out;
}
