#pragma once

#include <QMap>
#include <QString>

class BookEntry;

// The word a book text names an entry's family by ("D82" in "D82_80002"),
// taken from the type the server stored for it, so that an entry the dialog
// does not show goes back in the family it was read in.
class ZnBookWord
{
public:
    // A stored number goes by its name in the terminal-type table, or by the
    // name given for it here; a stored word (a server that keeps the word the
    // text named it by) as it stands. Empty when no word of a book text names
    // the stored type: a number the table has no name for (0, which a row
    // without a type reads as, among them), or a text that is no single word.
    static QString of(const BookEntry &entry, const QMap<int, QString> &names = {});
};
