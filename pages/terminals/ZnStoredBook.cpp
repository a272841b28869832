#include "ZnStoredBook.h"

#include "BookEntry.h"
#include "ZnKeptEntries.h"

bool ZnStoredBook::keptUnreadable(ZnKeptEntries &kept, const BookEntry &entry)
{
    if (entry.hasItemId)
        return false;
    kept.storedUnreadable(QString::fromStdString(entry.itemIdText));
    return true;
}

void ZnStoredBook::keepIds(ZnKeptEntries &kept, const std::list<BookEntry> &book)
{
    for (const BookEntry &e : book) {
        if (!keptUnreadable(kept, e))
            kept.stored(QString::number(e.itemId));
    }
}
