#pragma once

#include <list>

class BookEntry;
class ZnKeptEntries;

// A book as the server stored it, taken into what a save keeps of it. An entry
// whose id is no number the console keeps is kept as unreadable, whatever its
// family, so that a changed book holding it is held back.
class ZnStoredBook
{
public:
    // Keeps entry as unreadable when its id is no such number; false otherwise,
    // and the caller keeps it.
    static bool keptUnreadable(ZnKeptEntries &kept, const BookEntry &entry);
    // Keeps every entry by its id alone (audio sources, regions).
    static void keepIds(ZnKeptEntries &kept, const std::list<BookEntry> &book);
};
