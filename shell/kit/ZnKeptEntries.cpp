#include "ZnKeptEntries.h"

#include "ZnTipsInfo.h"

void ZnKeptEntries::stored(const QString &key, const QString &text)
{
    entries.append(qMakePair(key, text));
}

void ZnKeptEntries::storedUnwritable(const QString &key)
{
    unwritable.append({key, key});
}

void ZnKeptEntries::storedUnreadable(const QString &id)
{
    // Quoted: an empty id, or one with blanks, stays in view among the others.
    unwritable.append({QString(), QLatin1Char('"') + id + QLatin1Char('"')});
}

QString ZnKeptEntries::membersRefusal(List list, const std::vector<std::string> &unread)
{
    ZnKeptEntries kept(list);
    for (const std::string &id : unread)
        kept.storedUnreadable(QString::fromStdString(id));
    return kept.refusal();
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

QString ZnKeptEntries::refusal() const
{
    QStringList ids;
    bool unreadable = false;
    for (const Unwritable &e : unwritable) {
        if (e.key.isNull() || !rows.contains(e.key))
            ids << e.id;
        unreadable = unreadable || e.key.isNull();
    }
    if (ids.isEmpty())
        return QString();
    const QString named = ZnTipsInfo::someIdsText(ids);
    // Entries of a family no word names are told as such; any other cause is
    // told without one.
    switch (list) {
    case Monitors:
        return unreadable ? tr("The monitor list holds terminals that cannot be written back (ID %1); "
                               "the monitor list was not changed.")
                                .arg(named)
                          : tr("The monitor list holds terminals of a type that cannot be written back (ID %1); "
                               "the monitor list was not changed.")
                                .arg(named);
    case Contacts:
        return unreadable ? tr("The contact list holds terminals that cannot be written back (ID %1); "
                               "the contact list was not changed.")
                                .arg(named)
                          : tr("The contact list holds terminals of a type that cannot be written back (ID %1); "
                               "the contact list was not changed.")
                                .arg(named);
    case Sources:
        return tr("The audio source list holds tasks that cannot be written back (ID %1); "
                  "the audio source list was not changed.")
            .arg(named);
    case Regions:
        return tr("The region list holds regions that cannot be written back (ID %1); "
                  "the region list was not changed.")
            .arg(named);
    case GroupMembers:
        return tr("The group holds consoles that cannot be written back (ID %1); the group was not changed.")
            .arg(named);
    case RegionMembers:
        return tr("The region holds terminals that cannot be written back (ID %1); the region was not changed.")
            .arg(named);
    }
    return QString();
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
