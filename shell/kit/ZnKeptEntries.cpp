#include "ZnKeptEntries.h"

void ZnKeptEntries::stored(const QString &key, const QString &text)
{
    entries.append(qMakePair(key, text));
}

void ZnKeptEntries::storedUnwritable(const QString &key)
{
    unwritableKeys << key;
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

QStringList ZnKeptEntries::unwritable() const
{
    QStringList out;
    for (const QString &key : unwritableKeys) {
        if (!rows.contains(key))
            out << key;
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

QStringList ZnKeptEntries::besideChosen(const QStringList &chosen) const
{
    // A key may stand more than once: its n-th listed entry stays chosen while
    // the table holds it n times.
    using Anchor = QPair<QString, int>;
    QHash<QString, int> times, seen;
    for (const QString &key : chosen)
        ++times[key];
    QHash<Anchor, QStringList> after;
    QStringList out;
    Anchor anchor;
    bool anchored = false;
    for (const auto &e : entries) {
        if (rows.contains(e.first)) {
            const int n = seen[e.first]++;
            if (n < times.value(e.first)) {
                anchor = qMakePair(e.first, n);
                anchored = true;
            }
        } else if (anchored) {
            after[anchor] << e.second;
        } else {
            out << e.second;
        }
    }
    QHash<QString, int> placed;
    for (const QString &key : chosen) {
        out << key;
        out << after.take(qMakePair(key, placed[key]++));
    }
    return out;
}
