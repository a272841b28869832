#pragma once

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QPair>
#include <QSet>
#include <QStringList>

#include <string>
#include <vector>

// A stored list (a console's book, a group's members) as read, against the
// rows of the pick table that edits it. The table may not list every entry (a
// terminal, region or console no list here holds); the operator cannot uncheck
// what he never saw, so a save writes those entries back as they were.
class ZnKeptEntries
{
    Q_DECLARE_TR_FUNCTIONS(ZnKeptEntries)

public:
    // Which list it is, for the words of a refusal.
    enum List { Monitors, Contacts, Sources, Regions, GroupMembers, RegionMembers };
    explicit ZnKeptEntries(List list) : list(list) {}

    // The refusal of a save that writes every member of a record (a group's
    // consoles, a region's terminals) while some are stored, as unread, by
    // ids that are no numbers the console keeps; empty when it may go.
    static QString membersRefusal(List list, const std::vector<std::string> &unread);

    // The stored list was read (empty, perhaps). Till then nothing of it is
    // known: a save would go out over entries no row could show.
    void setRead() { read = true; }
    bool isRead() const { return read; }

    // One stored entry, in stored order: the key a row listing it carries and
    // the text a save writes for it.
    void stored(const QString &key, const QString &text);
    void stored(const QString &key) { stored(key, key); }
    // One stored entry no text can write back as it is stored (a family the
    // book text has no word for). While no row lists it, a save would drop it
    // or change it, so none may go out (refusal()).
    void storedUnwritable(const QString &key);
    // One stored entry whose id is no number the console keeps (a word, empty,
    // beyond int), as the server wrote it. Written back it would name another
    // item and no row can list it: while it is stored, no save may go out.
    void storedUnreadable(const QString &id);
    // The key one row of the table carries.
    void listed(const QString &key);

    // The stored entries no row lists, in stored order.
    QStringList unlisted() const;
    // What the operator is told when a save may not go out, naming the entries
    // that cannot be written back; empty when it may.
    QString refusal() const;
    // What a save writes where the table sets the order: the chosen rows'
    // texts in table order, then the unlisted entries.
    QStringList afterChosen(const QStringList &chosen) const;
    // What a save writes where the stored order counts (a ring order): an entry
    // keeps its place while it is unlisted or still chosen, newly chosen ones
    // follow in table order, and each is written once. chosen holds the rows'
    // keys, each written as it stands.
    QStringList inStoredOrder(const QStringList &chosen) const;
    // What a save writes where the table sets the order of its own rows and the
    // others' places count too (a play order): the chosen keys in table order,
    // each unlisted entry right after the listed entry it followed when read, or
    // the one before that if it is no longer chosen, and so on; first of all
    // when none before it is. Left untouched, the list goes back as read.
    QStringList besideChosen(const QStringList &chosen) const;

private:
    const List list;
    bool read = false;
    QList<QPair<QString, QString>> entries;
    QSet<QString> rows;
    // Entries that cannot be written back, in stored order: the key of one of
    // an unwritable family, or the id as stored of an unreadable one (no key).
    struct Unwritable
    {
        QString key, id;
    };
    QList<Unwritable> unwritable;
};
